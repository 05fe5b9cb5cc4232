#pragma once
#include <string>
void BTN_frame1(int type, float x_center, float y_center, float dx_control, int color);
void BTN_frame2(int type, float x, float y, float dx, float dy, std::string input_label);
void BTN_begin_focus_ring();
void BTN_unfocus_any();
int BTN_zap_boxes(int pressed);
