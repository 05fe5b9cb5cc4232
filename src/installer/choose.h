#pragma once
// Comparing the manifest with the destination folder, and deciding what to install and delete.
#include <string>

// Signs every current version's file in the destination and sums the sizes still needed
// (stg.down_req, stg.disk_req, this_install_has_exes). The last step of read_directory.
void examine_files(const std::string& message);

// Decides every file; asks about files the user modified. 0 when the user cancelled.
int choose_files();

enum {
	select_replace = 1,
	select_keep = 2,
	select_cancel = 3,
	select_replace_folder = 4,
	select_keep_folder = 5
};
// The question about one modified file. Replies: select_replace (or delete), select_keep,
// select_cancel, select_replace_folder, select_keep_folder.
int select_alert(const std::string& dest_path_exp, int is_gone);
// Who answers select_alert: the question window, or an unattended run or a test. While nobody is
// there to ask, the answer is select_cancel, so nothing the user changed is touched.
typedef int (*select_alert_func)(const std::string& dest_path_exp, int is_gone);
extern select_alert_func select_alert_asker;

void make_dirs();
void make_dir_error(const std::string& path, int err);
// Where a manifest path lives on disk: dest_dir_path followed by the path below the installation folder.
std::string dest_path_exp_of(const std::string& manifest_path);
// Drops the first component (the installation folder's name) of a manifest path, in place.
void trim_dest_folder(std::string& path);
// 1 when a manifest path's part below the installation folder is absolute or climbs out with "..".
int path_leaves_install(const std::string& path);
