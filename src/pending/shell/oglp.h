#pragma once
#include <string>
void OGL_viewport(int dims, float rat_x1, float pix_x1, float rat_y1, float pix_y1, float rat_x2, float pix_x2,
                  float near_clip, float rat_y2, float pix_y2, float far_clip, float zoom, int auto_scale);
void OGL_pix_specs(int);
void OGL_nrml_colors();
void OGL_sbuff();
void OGL_plot_back_col();
float OGL_string(int color, float x, float y, const std::string& input, float dx, int charset, int just);
float chr_dx(const char& n);
