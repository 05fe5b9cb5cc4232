#pragma once
// The desktop's own file and folder dialogs, run as a child program (zenity, else kdialog).
#include <string>

enum { sys_dialog_open = 0, sys_dialog_save = 1, sys_dialog_folder = 2 };

enum sys_dialog_result { sys_dialog_chosen, sys_dialog_cancelled, sys_dialog_unavailable };

// Runs the dialog and waits for it; `chosen` is the path it printed. `start` is the folder to open in
// (with the proposed name appended in save mode).
sys_dialog_result sys_run_dialog(int kind, const std::string& title, const std::string& start, std::string& chosen);
