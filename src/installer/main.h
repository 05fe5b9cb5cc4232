#pragma once
#include <string>
// The program's entry, the choice of destination and the installer's per-frame step.

int WinMain(void* instance, void* prev_instance, const char* cmd_line, int show_cmd);
int pick_dest_path();
int path_is_to_a_sim();
void APP_update();

// The destination named on a command line that also carries options: the words that do not begin
// with '-', joined by single spaces, with a trailing '/'; empty when there are none.
std::string destination_from_command_line(const char* cmd_line);
