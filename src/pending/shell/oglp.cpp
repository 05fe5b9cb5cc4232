#include "shell/oglp.h"
#include "platform/sys_video.h"
void OGL_viewport(int, float, float, float, float, float, float, float, float, float, float, float, int) {}
void OGL_pix_specs(int) {}
void OGL_nrml_colors() {}
void OGL_sbuff() { sys_swap_window(); }
void OGL_plot_back_col() {}
float OGL_string(int, float, float y, const std::string&, float, int, int) { return y; }
float chr_dx(const char&) { return 6; }
