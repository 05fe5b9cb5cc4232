#pragma once
// The manifest: every file of every system, each with every version ever distributed, read from the
// directory file.
#include <set>
#include <string>
#include <vector>

// One FILE line of the directory file: one version of one path.
struct file_version_struct {
	int use_type = 0;        // usage class 0..4, carried only
	int os_type = 0;         // 0 every system, 1..3 the systems' program files, up to 6
	int version_num = 0;     // carried only
	float down_size = 0;     // kilobytes (of 1000 bytes) to transfer
	float disk_size = 0;     // kilobytes installed
	std::string sig_want;    // MD5 of this version, or "GONE" when this version removes the file
	std::string sig_have;    // MD5 of the file on disk, or "NONE"; set by the examination
	std::string path;        // first component is the installation folder's name
	int on_disk = 0;         // the file on disk is this version
	int want_to_grab_it = 0; // the engine must install this version
	int want_to_nuke_it = 0; // the engine must delete the file
};

// All versions of one path in file order; the last one is the current version.
struct file_history_struct {
	std::vector<file_version_struct> versions;
};

struct sim_info_struct {
	std::vector<file_history_struct> files;
};

extern sim_info_struct sim_info;
extern int this_install_has_exes;         // a program file (os_type 1..3) is needed
extern std::set<std::string> deleted_files; // folders that held a deleted file, each ending with '/'
extern int f;                             // FILE lines read over the whole run, for the progress display

// Reads the directory file into sim_info and examines the destination folder against it.
// Returns 2 when the header is not a directory file's, 3 when read and examined.
int read_directory(const std::string& disk_path, const std::string& message);
// The reaction of a network build to a directory file newer than it understands: the program ends.
void new_format(const std::string& path);
int path_has_no_file(const std::string& path);
// 1 when the version belongs to this installation's operating system.
int is_for_this_os(const file_version_struct& v);
