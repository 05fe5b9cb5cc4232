#pragma once
// Well-known folders, free space and drives. Folders come back with a trailing '/'.
#include <cstdint>
#include <string>
#include <vector>

std::string sys_program_folder(); // the folder holding the running program
std::string sys_desktop_folder(); // XDG_DESKTOP_DIR, else ~/Desktop when it exists, else $HOME
std::string sys_home_folder();    // $HOME (stands in for the program-files folder)
std::string sys_temp_folder();    // $TMPDIR, else /tmp
std::string sys_prefs_folder();   // $XDG_CONFIG_HOME, else ~/.config

// A new folder inside `parent` that only this user can enter (with a trailing '/'); empty on failure.
std::string sys_make_private_folder(const std::string& parent, const std::string& prefix);

// Bytes free to an unprivileged user on the file system holding `path`; false when unknown.
bool sys_free_space(const std::string& path, uint64_t& bytes);

enum { sys_drive_fixed = 3, sys_drive_cdrom = 5 };
struct sys_drive_struct {
	std::string root; // mount point with a trailing '/'
	int type;         // sys_drive_fixed or sys_drive_cdrom
};
// Mount points of the system, with optical media as CD/DVD drives, then the --media=PATH drive.
std::vector<sys_drive_struct> sys_drives();
