#include "installer/main.h"

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "installer/build_flags.h"
#include "installer/choose.h"
#include "installer/engine.h"
#include "installer/media.h"
#include "installer/stg.h"
#include "installer/sub_wins.h"
#include "installer/unattended.h"
#include "io/IO_UTILS.h"
#include "io/pref.h"
#include "net/mirrors.h"
#include "platform/sys_files.h"
#include "runtime/PlatformUtils.h"
#include "shell/hl_alert.h"
#include "shell/hl_init.h"
#include "shell/hl_mnw.h"

stg_class stg;
std::string dest_dir_path;
std::string dvd_path;
std::string temp_path;
std::string install_name;
const std::string no_install_name = "Not Yet Scanned";
std::string crnt_file_name;
std::string crnt_file_path;
std::string server_name[max_servers];
std::string server_path[max_servers];
std::string server_desc[max_servers];
void* active_inst = nullptr;
int active_windstyle = 0;

// Every later path is the destination followed by a relative path: without its separator the names
// would run together.
static void ensure_folder_path(std::string& folder)
{
	if (!folder.empty() && folder.back() != '/') folder += '/';
}

std::string destination_from_command_line(const char* cmd_line)
{
	std::istringstream words(cmd_line ? cmd_line : "");
	std::string word, dest;
	while (words >> word) {
		if (word[0] == '-') continue;
		if (!dest.empty()) dest += ' ';
		dest += word;
	}
	ensure_folder_path(dest);
	return dest;
}

static void log_well_known_folders()
{
	static const char* const prefixes[] = {"os_dir_this_app\t\t=", "os_dir_desktop\t\t=", "os_dir_default_apps\t=",
	                                       "os_dir_temp\t\t\t=", "os_dir_prefs\t\t\t="};
	for (int kind = 0; kind < 5; ++kind) {
		std::string folder;
		get_OS_abs_path(kind, folder);
		xer << prefixes[kind] << folder << "\n";
	}
	xer << "\n";
}

static void assign_start_values()
{
	stg.step = 0;
	stg.got_404 = 0;
	stg.got_failed_install = 0;
	stg.num_servers = -1;
	stg.sel_server = 0;
	stg.dir_scan = 0;
	stg.crnt_file_stat = 3;
	stg.crnt_file_rat = 0;
	stg.use_max_cpu = 0;
	stg.rename_folder = 1;
	stg.always_ask_dir = 0;
	stg.stream_count = 0;
	stg.down_req = 0;
	stg.disk_req = 0;
	stg.download_os = 2;
}

int WinMain(void* instance, void* prev_instance, const char* cmd_line, int show_cmd)
{
	active_inst = instance;
	active_windstyle = show_cmd;
	if (prev_instance) return 0;
	const char* argv[] = {cmd_line};
	MACIBM_init(1, argv);
	log_well_known_folders();
	// The default destination sits in the user's home folder, which stands in for the program-files folder.
	std::string home;
	get_OS_abs_path(2, home);
	dest_dir_path = home + "Velmora 9" + "/";
	xer << "dest_dir_path=" << dest_dir_path << "\n";
	// The downloads and the directory file go to a folder of our own: names in the shared temporary
	// folder could be taken over by another user of the machine.
	std::string system_temp;
	get_OS_abs_path(3, system_temp);
	temp_path = sys_make_private_folder(system_temp, "velmora-");
	if (temp_path.empty()) temp_path = system_temp;
	stls.text[602] = "OK";
	install_name = no_install_name;
	assign_start_values();
	select_alert_asker = ask_in_question_window;
	unattended_start();
	if constexpr (is_net) {
		std::string problem = read_server_list();
		if (!problem.empty()) __MACIBM_alert(0, "I cannot use the list of download servers.", problem, "", "", t_alert, "main", __LINE__);
	} else {
		check_any(0, 0);
	}
	pref_class::IO_set(11, 0);
	ensure_folder_path(dest_dir_path);
	xer << "After searching, I think that dvd_path=" << dvd_path << "\n";
	std::string given = destination_from_command_line(cmd_line);
	if (!given.empty()) dest_dir_path = given;
	else if (stg.always_ask_dir) pick_dest_path();
	while (!app_done) MACIBM_event_proc();
	// Closed in the middle of an installation: the archives already downloaded are unpacked before
	// the pool stops, and the transfers in flight are ended.
	if (stg.step == 1) reset_next();
	MACIBM_finishup(1);
	if (temp_path != system_temp) {
		std::error_code ignored;
		std::filesystem::remove_all(temp_path, ignored);
	}
	return unattended_exit_code();
}

int pick_dest_path()
{
	char buf[2048];
	snprintf(buf, sizeof buf, "%s", dest_dir_path.c_str());
	if (!GetFilePathFromUser(2, "Pick a folder to install Velmora to! Be sure to pick your existing folder if you already have one!",
	                         "This is my Velmora destination", 1, dest_dir_path.c_str(), buf))
		return 0;
	dest_dir_path = buf;
	if (path_is_to_a_sim()) return 1;
	dest_dir_path += (install_name == no_install_name ? std::string("Velmora 9") : install_name) + "/";
	return 1;
}

int path_is_to_a_sim()
{
	std::vector<std::string> names;
	std::vector<int> types;
	opensave_getitems(dest_dir_path, 0, names, types);
	static const char* const wanted[] = {"Airfoils", "Instructions", "Output", "Resources"};
	for (const char* w : wanted) {
		bool found = false;
		for (size_t i = 0; i < names.size() && !found; ++i) found = types[i] == 1 && names[i].find(w) != std::string::npos;
		if (!found) return 0;
	}
	return 1;
}
