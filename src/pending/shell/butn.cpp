#include "shell/butn.h"
void BTN_frame1(int, float, float, float, int) {}
void BTN_frame2(int, float, float, float, float, std::string) {}
void BTN_begin_focus_ring() {}
void BTN_unfocus_any() {}
int BTN_zap_boxes(int) { return 0; }
