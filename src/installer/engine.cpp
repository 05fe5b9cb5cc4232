#include "installer/engine.h"

#include <algorithm>
#include <vector>

#include "installer/build_flags.h"
#include "installer/choose.h"
#include "installer/directory.h"
#include "installer/screens.h"
#include "installer/stg.h"
#include "io/IO_UTILS.h"
#include "io/p7z.h"
#include "io/zip.h"
#include "net/http.h"
#include "net/mirrors.h"
#include "runtime/HL_THREAD.h"
#include "runtime/xtim.h"
#include "shell/hl_alert.h"
#include "shell/hl_init.h"

next_class next;
dir_progress_struct dir_progress[2];

int streams_for_rate(float rate)
{
	if (rate > 200) return 9;
	if (rate > 150) return 8;
	if (rate > 100) return 6;
	if (rate > 50) return 4;
	return 2;
}

struct file_names_struct {
	std::string dest_path_exp;
	std::string src_path;      // the archive on the disc, or its path on the server
	std::string dest_path_zip; // where stream k downloads it: one of the stream's two temporary archives
};

// The server each stream's download in flight was started on. A slot keeps its first request, so a
// transfer goes on from there after another stream's failure changed the chosen server.
static int stream_server[4];

// Which of its two temporary archives stream k downloads into next: the other one may be waiting
// to be unpacked meanwhile.
static int stream_archive[4];

// The server stream k fetches its file from.
static int server_of(int k)
{
	if (!http.down[k + 2]) stream_server[k] = stg.sel_server;
	return stream_server[k];
}

static file_names_struct names_of(int k, const file_version_struct& v)
{
	std::string suffix = v.path.find("Global Scenery") != std::string::npos ? ".7z" : ".zip";
	std::string source = is_net ? server_path[server_of(k)] : dvd_path + install_name + "/";
	std::string archive = temp_path + std::to_string(k) + (stream_archive[k] ? "b" : "a") + suffix;
	return {dest_path_exp_of(v.path), source + v.path + suffix, archive};
}

static void log_result(const char* what, const std::string& path, int code)
{
	xer << what << path << ", with result=" << code << ".\n";
}

static file_version_struct& version_of(int history) { return sim_info.files[history].versions.back(); }

static void count_installed(file_version_struct& v)
{
	v.on_disk = 1;
	next.comp_down += v.down_size;
	next.totl_disk += v.disk_size;
}

// One archive to unpack into the folder of its file.
struct unpack_struct {
	std::string zip, dest_path_exp;
	int history = -1;             // the file it installs; -1 for none
	int code = 0, delete_code = 0;
	std::string log;              // what the unpacking logged on a worker, for the main thread to write
	THREAD_call* call = nullptr;  // while on the pool
};

// Per stream, the download the pool is unpacking, and the next one when it came in meanwhile. The
// stream goes on downloading while the pool unpacks, so the network and the processors work at once.
static unpack_struct unpacking[4], arrived[4];

// Touches no alert and no shared state, so that it can run on a worker.
static void unpack(unpack_struct& u)
{
	unlock_file(u.dest_path_exp);
	std::string out_directory;
	get_path_with_path(out_directory, u.dest_path_exp);
	bool is_7z = u.zip.size() >= 3 && u.zip.compare(u.zip.size() - 3, 3, ".7z") == 0;
	u.code = is_7z ? p7z_to_file(u.zip, out_directory) : zip_to_file(u.zip, out_directory);
	// Only a downloaded copy is removed: an archive read from the disc is the disc's own file.
	if (install_type == 0 && is_net) u.delete_code = delete_file(u.zip);
}

static void* unpack_job(void* arg)
{
	unpack_struct& u = *static_cast<unpack_struct*>(arg);
	unpack(u);
	u.log = xer_take_held();
	return nullptr;
}

static void report_unpack(const unpack_struct& u)
{
	xer << u.log;
	if (u.code) {
		stg.got_failed_install = 1;
		__MACIBM_alert(0, "The installer cannot extract a file.", "Error: " + error_str(u.code),
		               "Compressed File: " + u.zip, "Destination: " + u.dest_path_exp, t_alert, "engine", __LINE__);
	}
	if (!stg.log_actions) return;
	log_result("EXPANDING file ", u.dest_path_exp, u.code);
	if (install_type == 0 && is_net) log_result("DELETING  file ", u.zip, u.delete_code);
}

void extract_and_delete_file(const std::string& dest_path_zip, const std::string& dest_path_exp)
{
	unpack_struct u;
	u.zip = dest_path_zip;
	u.dest_path_exp = dest_path_exp;
	unpack(u);
	report_unpack(u);
}

static void start_unpack(int k, const unpack_struct& u)
{
	unpacking[k] = u;
	unpacking[k].call = THREAD_start_call(unpack_job, &unpacking[k]);
}

// Once the pool is done with stream k's unpacking (waiting up to wait_ms): reports it, counts its
// file as installed and hands the pool the archive that waited for it.
static void finish_unpack(int k, int wait_ms)
{
	unpack_struct& u = unpacking[k];
	if (!u.call || !THREAD_finish_call(u.call, wait_ms)) return;
	u.call = nullptr;
	report_unpack(u);
	count_installed(version_of(u.history));
	if (arrived[k].history < 0) return;
	start_unpack(k, arrived[k]);
	arrived[k].history = -1;
}

// The schedule being dropped may still have downloads in flight: end them and remove their parts,
// so that no stream later takes up a stale transfer for another file. Archives that are in are
// unpacked first, since each replaces its file whole.
static void drop_downloads()
{
	// A fatal alert on a worker ends it with its call unfinished: that report ends the program.
	for (int k = 0; k < 4; ++k)
		while (unpacking[k].call) {
			finish_unpack(k, 100);
			THREAD_check_exception(0);
		}
	for (int k = 0; k < 4; ++k) {
		std::string part = http.cancel(k + 2);
		if (!part.empty()) delete_file(part);
	}
}

void reset_next()
{
	if constexpr (is_net) drop_downloads();
	int start_streams = install_type == 0 ? 2 : 1;
	next.next_index = 0;
	for (int i = 0; i < 4; ++i) {
		next.stream_active[i] = next.stream_waiting[i] = i < start_streams;
		next.stream_index[i] = 0;
	}
	next.star_time = xtim.real_time;
	next.file_down = next.comp_down = next.totl_disk = 0;
}

static void delete_one(const std::string& dest_path_exp)
{
	stg.crnt_file_stat = 0;
	unlock_file(dest_path_exp);
	int code = delete_file(dest_path_exp);
	if (stg.log_actions) log_result("now we want to nuke a file: DELETING  file ", dest_path_exp, code);
	std::string folder;
	get_path_with_path(folder, dest_path_exp);
	while (folder.size() > dest_dir_path.size()) {
		deleted_files.insert(folder);
		std::string parent;
		get_path_with_path(parent, folder);
		if (parent.size() >= folder.size()) break;
		folder.swap(parent);
	}
}

// The share of the download in `slot` that has arrived: whole percents, -0.01 while the server has
// not announced a length, 0 when the slot is empty.
static float download_share(int slot)
{
	const down_class* d = http.down[slot];
	if (!d) return 0;
	int percent = d->mIncomingLength > 0 ? int(d->mReceivedPayload * 100LL / d->mIncomingLength) : -1;
	return percent * 0.01f;
}

// One step of stream k's download of its file; true once the archive is in and handed on to be
// unpacked. A stream whose last archive still waits for the pool starts no download. A failed
// download is handed out again and retried on another server, with no limit.
static bool fetch_one(int k, const file_names_struct& n, const file_version_struct& v)
{
	if (arrived[k].history >= 0) return false;
	int r = http.net_check(k + 2, server_name[server_of(k)], n.src_path, n.dest_path_zip);
	if (r == 0) {
		stg.crnt_file_rat = download_share(k + 2);
		next.file_down += stg.crnt_file_rat * v.down_size;
		return false;
	}
	if (r == 2) {
		delete_file(n.dest_path_zip); // the error page, or the part that came
		next.next_index = std::min(next.next_index, next.stream_index[k]);
		download_failed(n.src_path);
		return false;
	}
	stg.got_404 = 0;
	stream_archive[k] ^= 1;
	unpack_struct u;
	u.zip = n.dest_path_zip;
	u.dest_path_exp = n.dest_path_exp;
	u.history = next.stream_index[k];
	if (unpacking[k].call)
		arrived[k] = u;
	else
		start_unpack(k, u);
	return true;
}

// Installs stream k's file: unpacked straight from the disc, or downloaded over several calls into
// a temporary archive and unpacked on the pool. True when the stream is done with the file.
static bool install_one(int k, const file_names_struct& n, file_version_struct& v)
{
	stg.crnt_file_stat = 1;
	if constexpr (is_net) return fetch_one(k, n, v);
	if (k != 0)
		__MACIBM_alert(0, "Trying to do a DVD install with multiple streams!",
		               "The shark with the laser on his head is getting very dizzy!", "", "", t_exit, "engine", __LINE__);
	extract_and_delete_file(n.src_path, n.dest_path_exp);
	stg.crnt_file_rat = 1;
	count_installed(v);
	return true;
}

// After a stream finished its file: follow the transfer rate with the number of streams, then
// retire this stream or let it wait for the next history.
static void stream_done(int k)
{
	float elapsed = xtim.real_time - next.star_time;
	if (elapsed <= 1) elapsed = 1;
	int target = streams_for_rate((next.comp_down + next.file_down) / elapsed);
	if (stg.stream_count) target = stg.stream_count;
	if (install_type) target = 1;
	int active = int(std::count(next.stream_active, next.stream_active + 4, 1));
	if (target > active && active < 4) { // above four, all four run
		int* idle = std::find(next.stream_active, next.stream_active + 4, 0);
		next.stream_waiting[idle - next.stream_active] = *idle = 1;
	}
	if (target < active)
		next.stream_active[k] = 0;
	else
		next.stream_waiting[k] = 1;
}

static void step_stream(int k)
{
	file_version_struct& v = sim_info.files[next.stream_index[k]].versions.back();
	file_names_struct n = names_of(k, v);
	next.stream_waiting[k] = 0;
	get_file_with_path(crnt_file_name, n.src_path);
	// While a download failure is shown, the path keeps naming the file that failed.
	if (!stg.got_404) crnt_file_path = n.src_path;
	if (path_has_no_file(v.path))
		__MACIBM_alert(0, "I am working through the list and found a path that has no file!",
		               "This is impossible to download or delete!", "It is:", v.path, t_exit, "engine", __LINE__);
	bool done = true;
	if (v.want_to_nuke_it)
		delete_one(n.dest_path_exp);
	else if (v.want_to_grab_it)
		done = install_one(k, n, v);
	else
		stg.crnt_file_stat = v.on_disk ? 2 : 3;
	if (done) stream_done(k);
}

static void remove_emptied_folders()
{
	for (auto it = deleted_files.rbegin(); it != deleted_files.rend(); ++it) {
		std::vector<std::string> names;
		std::vector<int> types;
		if (opensave_getitems(*it, 0, names, types) != 0) continue;
		int code = delete_file(*it);
		if (stg.log_actions) log_result("cleanup: DELETING  file ", *it, code);
	}
}

// A name from the disc that names one folder, so the renaming stays beside the destination.
static bool is_one_folder_name(const std::string& name)
{
	return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

static void rename_install_folder()
{
	if (!this_install_has_exes || !stg.rename_folder || !is_one_folder_name(install_name)) return;
	std::string parent, old_name;
	get_path_with_path(parent, dest_dir_path);
	get_file_with_path(old_name, dest_dir_path);
	if (!old_name.empty() && old_name.back() == '/') old_name.pop_back();
	// Only a folder named the installer's way is renamed after the disc: a folder the user named, such
	// as a home folder given as the destination, keeps its name.
	if (old_name.rfind("Velmora", 0) != 0) return;
	if (rename_file(parent, old_name, install_name) == 0) dest_dir_path = parent + install_name + "/";
}

// The pool's part of a pass: finished unpackings are reported, and those under way count as
// kilobytes in flight.
static void collect_unpacks()
{
	for (int k = 0; k < 4; ++k) {
		finish_unpack(k, 0);
		if (unpacking[k].call) next.file_down += version_of(unpacking[k].history).down_size;
		if (arrived[k].history >= 0) next.file_down += version_of(arrived[k].history).down_size;
	}
}

// When no stream needs a new history, every step of the pass was a poll. Rather than spin, the
// engine waits a moment for the network, or for the pool when nothing is downloading, and so leaves
// the processors to the workers that unpack.
static void wait_when_idle()
{
	for (int k = 0; k < 4; ++k)
		if (next.stream_active[k] && next.stream_waiting[k]) return;
	for (int k = 0; k < 4; ++k)
		if (http.down[k + 2]) return http.wait_for_network(1);
	for (int k = 0; k < 4; ++k)
		if (unpacking[k].call) return finish_unpack(k, 1);
}

static bool streams_busy(int count)
{
	for (int k = 0; k < 4; ++k) {
		if (next.stream_active[k] && next.stream_index[k] >= 0 && next.stream_index[k] < count) return true;
		if (unpacking[k].call) return true;
	}
	return false;
}

int grab_files()
{
	int count = int(sim_info.files.size());
	next.file_down = 0;
	if constexpr (is_net) collect_unpacks();
	for (int k = 0; k < 4; ++k) {
		if (!next.stream_active[k]) continue;
		if (next.stream_waiting[k]) {
			next.stream_index[k] = next.next_index;
			next.next_index = std::clamp(next.next_index + 1, 0, count);
		}
		if (next.stream_index[k] >= 0 && next.stream_index[k] < count) step_stream(k);
	}
	if constexpr (is_net) wait_when_idle();
	if (streams_busy(count)) return stg.got_failed_install;
	next.dir_done = 1;
	remove_emptied_folders();
	rename_install_folder();
	return 1;
}

void dir_progress_bar(float d1, float d, float d2, int call_type, const std::string& message1,
                      const std::string& rel_path_exp)
{
	dir_progress_struct& p = dir_progress[call_type != 0];
	p.fill = d1 == d2 ? 0.52f : std::clamp(0.04f + 0.96f * (d - d1) / (d2 - d1), 0.04f, 1.0f);
	p.message1 = message1;
	p.message2 = call_type == 0 ? "Currently SCANNING the directory text file." : "Currently EXAMINING the hard disk.";
	p.rel_path_exp = rel_path_exp;
	++p.shown;
	if (ogl_inited) draw_dir_progress(p.fill, p.message1, p.message2, p.rel_path_exp);
}
