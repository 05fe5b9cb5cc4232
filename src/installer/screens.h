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
extern std::string shown_status, shown_lines[3]; // the status line and message lines of the last frame

// The Install button may be used: the comparison is done, something is to install and it fits.
int install_enabled();
// What a click on the enabled Install button does: folders, licence, and the choice of files.
void press_install();

// Free space counts as enough only when it is more than the need.
int disk_space_sufficient(float availabl, float need);
// The filled part of the progress bar for the installed fraction: none up to 2 %; else its centre (on an
// even unit) and its width (a multiple of 4).
bool progress_fill(float rat, float& centre, float& width);
// The percentage with one decimal and an integer part at least two wide (" 0.0", "100.0").
std::string percent_text(float rat);
// The remaining time at the rate stream 0 has kept so far, e.g. "3 minutes".
std::string remaining_time_text(int files, int position, float elapsed);
// Draws the reading or examining progress box and shows it at once.
void draw_dir_progress(float fill, const std::string& message1, const std::string& message2, const std::string& rel_path_exp);
