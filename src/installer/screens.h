#pragma once
// The installer screen: its step machine, what it shows, and the reading and examining display.
#include <string>

extern float text_x;
extern float base_x1, base_x2;
extern int informed;
extern int disk_space_avail;
extern float totl_inst_rat;
extern float tot_availabl;
extern float tot_disk_req;
extern std::string tot_availabl_str, tot_disk_req_str;
extern std::string dir_path, dir_path_path;

// The percentage with one decimal and an integer part at least two wide (" 0.0", "100.0").
std::string percent_text(float rat);
// The remaining time at the rate stream 0 has kept so far, e.g. "3 minutes".
std::string remaining_time_text(int files, int position, float elapsed);
// Draws the reading or examining progress box and shows it at once.
void draw_dir_progress(float fill, const std::string& message1, const std::string& message2, const std::string& rel_path_exp);
