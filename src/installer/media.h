#pragma once
// Finds the install disc among the drives, by the marker file dvd_version.txt at its root, and reads
// the name of the installation the disc carries.
#include <string>
#include <vector>

#include "platform/sys_files.h"

extern float next_check_time; // xtim.real_time before which a search answers from found_thing
extern int found_thing;       // the last search found a disc
// The drives a search walks: the platform's list; tests put their own drives in its place.
extern std::vector<sys_drive_struct> (*media_drives)();

// Searches the CD/DVD drives for the install disc (what: 0, the only thing searched for), at most
// once an hour unless forced. 1 when a disc was found; dvd_path is then its root.
int check_any(int what, int force);
// 1 when the drive holds an install disc; dvd_path then becomes the drive's root.
int check_dvd(std::string root);
// Reads the installation's name from the disc's marker file into install_name. 1 when the marker
// file is a valid one, whether or not it names the installation.
int read_dvd_version();
// The same for a marker file anywhere, such as one fetched from a web server.
int read_version_file(const std::string& path);
