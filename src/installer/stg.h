#pragma once
// The installer's run state and the global strings that name folders and the installation.
#include <string>

class stg_class {
public:
	int dir_scan = 0;       // 0 searching for media, 1 directory file extracted, 2 unreadable, 3 read and compared
	int download_os = 0;    // manifest operating-system code of the files to install
	int log_actions = 0;    // non-zero: the engine logs each file action
	int step = 0;           // 0 ready, 1 installing, 2 finished
	int got_404 = 0;        // a download failed
	int got_failed_install = 0;
	int num_servers = 0;    // -1 also means the media's version file is not read yet
	int sel_server = 0;
	int tiles_chosen[18][36] = {};
	int tiles_on_disk[18][36] = {};
	int crnt_file_stat = 0; // 0 deleting, 1 installing, 2 skipping (same file), 3 browsing past
	float crnt_file_rat = 0;
	int use_max_cpu = 0;
	int rename_folder = 0;
	int stream_count = 0;
	int always_ask_dir = 0;
	float down_req = 0;     // kilobytes (of 1000 bytes) to transfer
	float disk_req = 0;     // kilobytes of disk space needed
};

extern stg_class stg;

extern std::string dest_dir_path;
extern std::string dvd_path;
extern std::string temp_path;
extern std::string install_name;
extern const std::string no_install_name; // "Not Yet Scanned"
extern std::string crnt_file_name;
extern std::string crnt_file_path;

constexpr int max_servers = 10;
extern std::string server_name[max_servers];
extern std::string server_path[max_servers];
extern std::string server_desc[max_servers];

extern void* active_inst;
extern int active_windstyle;
