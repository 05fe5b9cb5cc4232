#include "io/IO_UTILS.h"
#include <dirent.h>
#include <sys/stat.h>
#include "platform/sys_files.h"
void get_OS_abs_path(int kind, std::string& out)
{
	out = kind == 0 ? sys_program_folder() : kind == 1 ? sys_desktop_folder() : kind == 2 ? sys_home_folder() : kind == 3 ? sys_temp_folder() : sys_prefs_folder();
}
int opensave_getitems(const std::string& p, int, std::vector<std::string>& names, std::vector<int>& types)
{
	DIR* d = opendir(p.c_str());
	if (!d) return 0;
	while (dirent* e = readdir(d)) {
		std::string n = e->d_name;
		if (n[0] == '.') continue;
		struct stat st;
		stat((p + n).c_str(), &st);
		names.push_back(n);
		types.push_back(S_ISDIR(st.st_mode) ? 1 : 0);
	}
	closedir(d);
	return int(names.size());
}
void set_path_to_right_dirchars(std::string&) {}
void check_len(const std::string&) {}
