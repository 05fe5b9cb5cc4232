#pragma once
// The installer's picture buttons, icons, size texts, the licence window and the question window.
#include <string>

extern int agreed;

int interface_rect(float x, float y, float s, float t, float w, float h, int hot, int tint);
void interface_icon(float x, float y, int n);
void set_size_str(float kb, std::string& out);
int handle_EULA();
// The question about a modified file, asked in its own window (997); the reply as select_alert gives it.
int ask_in_question_window(const std::string& dest_path_exp, int is_gone);

// A number with one decimal, rounded half away from zero; `width` pads the integer part with spaces.
std::string one_decimal(double v, int width);
