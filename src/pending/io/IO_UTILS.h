#pragma once
#include <string>
#include <vector>
void get_OS_abs_path(int kind, std::string& out_path);
int opensave_getitems(const std::string& wrk_path, int file_type, std::vector<std::string>& out_files,
                      std::vector<int>& out_file_types);
void set_path_to_right_dirchars(std::string& path);
void check_len(const std::string& text);
