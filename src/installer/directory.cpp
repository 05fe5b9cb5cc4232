#include "installer/directory.h"

#include <algorithm>

#include "installer/build_flags.h"
#include "installer/choose.h"
#include "installer/engine.h"
#include "installer/stg.h"
#include "io/IO_UTILS.h"
#include "io/xmap.h"
#include "shell/hl_alert.h"
#include "shell/hl_mnw.h"

sim_info_struct sim_info;
int this_install_has_exes = 0;
std::set<std::string> deleted_files;
int f = 0;

int path_has_no_file(const std::string& path)
{
	return path.empty() || path.back() == '/';
}

int is_for_this_os(const file_version_struct& v)
{
	return v.os_type == stg.download_os || v.os_type == 0 || (v.os_type == 6 && stg.download_os == 3);
}

// The newer installer is offered by the same server whose files were too new for this one.
static std::string vendor_download_url()
{
	if (stg.sel_server < 0 || stg.sel_server >= stg.num_servers) return "";
	return "http://" + server_name[stg.sel_server] + server_path[stg.sel_server];
}

void new_format(const std::string& path)
{
	const std::string url = vendor_download_url();
	__MACIBM_alert(0, "OK I am checking the Quorvik servers and I am finding file formats that are newer than I can understand!",
	               "In other words, you need to get a new installer!",
	               "Please download the newest installer from the Downloads section of " + (url.empty() ? "the Quorvik servers." : url),
	               path, t_alert, "directory", __LINE__);
	if (!url.empty()) go_to_URL(url);
	stg.step = 2;
	app_done = 1;
}

static void fatal_path(const char* what, const std::string& path)
{
	__MACIBM_alert(0, what, "This is impossible to download or delete!", "It is:", path, t_exit, "directory", __LINE__);
}

// Field 7 of records that a network build never offers.
static bool net_skips(const std::string& name)
{
	return name.find("900 red terrain") != std::string::npos || name.find("Earth Orbit Textures") != std::string::npos;
}

static void read_file_line(xmap_class& m, const std::string& prefix, const std::string& message)
{
	file_version_struct v;
	v.use_type = std::clamp(m.read_int(), 0, 4);
	v.os_type = std::clamp(m.read_int(), 0, 6);
	v.version_num = m.read_int();
	v.down_size = float(m.read_int());
	v.disk_size = float(m.read_int());
	v.sig_want = m.read_token();
	std::string name = m.read_rest();
	m.skip_eol();

	if (!(is_net && net_skips(name))) {
		v.path = prefix + name;
		if (sim_info.files.empty() || sim_info.files.back().versions.back().path != v.path)
			sim_info.files.emplace_back();
		if (path_has_no_file(v.path))
			fatal_path("I am reading the directory text file and found a path that has no file!", v.path);
		if (path_leaves_install(v.path))
			fatal_path("I am reading the directory text file and found a path that leaves the installation folder!", v.path);
		sim_info.files.back().versions.push_back(std::move(v));
	}
	if (f++ % 500 == 0) dir_progress_bar(0, float(m.mCrt - m.mBegin), float(m.mEnd - m.mBegin), 0, message, name);
}

int read_directory(const std::string& disk_path, const std::string& message)
{
	deleted_files.clear();
	stg.down_req = 0;
	stg.disk_req = 0;
	this_install_has_exes = 0;
	sim_info.files.clear();

	xmap_class m(disk_path);
	if (!m.mBegin)
		__MACIBM_alert(0, "I tried to read a directory file that does not exist!", "The file is:", disk_path, "", t_exit,
		               "directory", __LINE__);
	static const int versions[] = {840, 900, 0};
	if (!m.check_file(bin_code_text, versions, "INSTALLER", nullptr)) {
		if (is_net) new_format(disk_path);
		return 2;
	}
	std::string prefix;
	while (m.mCrt < m.mEnd) {
		if (m.match_word("DIR")) {
			prefix = m.read_rest();
			m.skip_eol();
		} else if (m.match_word("FILE")) {
			read_file_line(m, prefix, message);
		} else {
			m.skip_line();
		}
	}
	examine_files(message);
	return 3;
}
