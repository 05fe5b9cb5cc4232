#include "installer/choose.h"

#include <algorithm>
#include <set>
#include <string_view>
#include <vector>

#include "installer/directory.h"
#include "installer/engine.h"
#include "installer/sign_ahead.h"
#include "installer/stg.h"
#include "io/IO_UTILS.h"
#include "shell/hl_alert.h"
#include "shell/hl_init.h"

select_alert_func select_alert_asker = nullptr;

// The part of a manifest path below the installation folder.
static std::string_view below_install(std::string_view path)
{
	size_t cut = path.find('/');
	return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

void trim_dest_folder(std::string& path)
{
	path.erase(0, path.size() - below_install(path).size());
}

int path_leaves_install(const std::string& path)
{
	std::string rel(below_install(path));
	// An empty part is a path with no file, which has an alert of its own.
	return !rel.empty() && (has_drive_prefix(rel) || !entry_name_stays_inside(rel)) ? 1 : 0;
}

std::string dest_path_exp_of(const std::string& manifest_path)
{
	std::string rel = manifest_path;
	trim_dest_folder(rel);
	return dest_dir_path + rel;
}

void examine_files(const std::string& message)
{
	std::vector<file_history_struct>& files = sim_info.files;
	size_t n = files.size();
	size_t every = std::max<size_t>(1, n / 200);
	sign_ahead_class signer(n, [&files](size_t i) { return dest_path_exp_of(files[i].versions.back().path); });
	for (size_t i = 0; i < n; ++i) {
		file_version_struct& v = files[i].versions.back();
		if (i % every == 0) dir_progress_bar(0, float(i), float(n), 1, message, dest_path_exp_of(v.path));
		v.sig_have = "NONE";
		signer.take(i, v.sig_have);
		v.on_disk = v.sig_want == v.sig_have;
		if (v.sig_want != "GONE" && !v.on_disk && is_for_this_os(v)) {
			stg.down_req += v.down_size;
			stg.disk_req += v.disk_size;
			if (v.os_type >= 1 && v.os_type <= 3) this_install_has_exes = 1;
		}
	}
}

int select_alert(const std::string& dest_path_exp, int is_gone)
{
	return select_alert_asker ? select_alert_asker(dest_path_exp, is_gone) : select_cancel;
}

static bool contains(const std::vector<std::string>& dirs, const std::string& dir)
{
	return std::find(dirs.begin(), dirs.end(), dir) != dirs.end();
}

static bool some_version_is(const file_history_struct& h, const std::string& sig)
{
	return std::any_of(h.versions.begin(), h.versions.end(), [&](const file_version_struct& r) { return r.sig_want == sig; });
}

int choose_files()
{
	std::vector<std::string> dosave_dirs, nosave_dirs;
	for (file_history_struct& h : sim_info.files) {
		file_version_struct& v = h.versions.back();
		bool act = false;
		if (is_for_this_os(v)) {
			bool is_gone = v.sig_want == "GONE";
			bool is_ondisk = v.sig_have != "NONE";
			bool is_latest = is_ondisk && v.sig_have == v.sig_want;
			bool is_custom = is_ondisk && !is_latest && !some_version_is(h, v.sig_have);
			if (!is_ondisk)
				act = !is_gone;
			else if (!is_custom)
				act = !is_latest;
			else {
				std::string dest_path_exp = dest_path_exp_of(v.path);
				std::string path_only;
				get_path_with_path(path_only, dest_path_exp);
				if (contains(dosave_dirs, path_only))
					act = true;
				else if (!contains(nosave_dirs, path_only)) {
					xer << "File: " << dest_path_exp << "  sig_want=" << v.sig_want << "  sig_have=" << v.sig_have << "\n";
					switch (select_alert(dest_path_exp, is_gone)) {
					case select_replace: act = true; break;
					case select_keep: break;
					case select_replace_folder: act = true; dosave_dirs.push_back(path_only); break;
					case select_keep_folder: nosave_dirs.push_back(path_only); break;
					default: return 0;
					}
				}
			}
			v.want_to_grab_it = act && !is_gone;
			v.want_to_nuke_it = act && is_gone;
		} else {
			v.want_to_grab_it = v.want_to_nuke_it = 0;
		}
	}
	return 1;
}

void make_dir_error(const std::string& path, int err)
{
	__MACIBM_alert(0,
	               "I am unable to install or update Velmora. An error occurred while creating new folders. Make sure you are installing to a directory that you have access to!",
	               "Error: " + error_str(err), "Install Location: " + dest_dir_path, "Install Path:" + path, t_alert,
	               "choose", __LINE__);
}

// Creates one folder; true when it failed in a way the user must hear about (and has been told).
static bool make_dir_reported(const std::string& path)
{
	int err = make_folder(path);
	if (!show_make_dir_err(err)) return false;
	make_dir_error(path, err);
	return true;
}

void make_dirs()
{
	// The destination, one level at a time; what lies before the first '/' is taken to exist.
	std::string dest = dest_dir_path;
	if (!dest.empty() && dest.back() == '/') dest.pop_back();
	std::vector<std::string> chain;
	for (size_t p = dest.find('/'); p != std::string::npos;) {
		p = dest.find('/', p + 1);
		if (p != std::string::npos) chain.push_back(dest.substr(0, p));
	}
	chain.push_back(dest);
	for (const std::string& part : chain)
		if (make_dir_reported(part)) break;

	// Every folder that a file of this installation lives in, parents first.
	std::set<std::string> folders;
	for (const file_history_struct& h : sim_info.files) {
		const file_version_struct& v = h.versions.back();
		if (v.sig_want == "GONE" || !is_for_this_os(v)) continue;
		std::string rel = v.path;
		trim_dest_folder(rel);
		for (size_t p = rel.find('/'); p != std::string::npos; p = rel.find('/', p + 1))
			if (p > 0) folders.insert(rel.substr(0, p));
	}
	for (const std::string& folder : folders)
		if (make_dir_reported(dest_dir_path + folder)) break;

	for (const char* fixed : {"Output", "Output/FMS plans", "Output/logbooks", "Output/movies", "Output/situations",
	                          "Resources", "Resources/preferences"})
		make_dir_reported(dest_dir_path + fixed);
}
