#pragma once
// 2D drawing: the projection, the cached GL state, lines, rectangles, textured quads and text in
// the bitmap font of the interface image. Positions are interface units relative to the current
// top window unless a function says otherwise.
#include <string>
#include <vector>

class oglp_class {
public:
	float font_size = 1.0f; // glyphs are drawn at their cell size
};

extern oglp_class oglp;

// Character sets of the bitmap font.
enum { font_prop = 100, font_fixed = 102, font_korean = 103 };

// Alpha modes of OGL_setstate.
enum { alpha_none = 4, alpha_blend = 5, alpha_test = 6, alpha_both = 7 };

void OGL_viewport(int dims, float rat_x1, float pix_x1, float rat_y1, float pix_y1, float rat_x2,
                  float pix_x2, float near_clip, float rat_y2, float pix_y2, float far_clip, float zoom,
                  int auto_scale);
void OGL_pix_specs(int);

// fog 0 on / 1 off; tex_units enabled; lighting 2 on / 3 off; alpha mode 4-7; depth test 8 on / 9 off;
// depth writes 10 on / 11 off. A state is changed only when the cached value differs.
void OGL_setstate(int fog, int tex_units, int lighting, int alpha_mode, int depth_read, int depth_write);
// Forgets the cached state, so that the next OGL_setstate queries it again (after a new context).
void OGL_forget_state();
void OGL_nrml_colors();
void OGL_sbuff();
void OGL_plot_back_col();
void OGL_line(int color, float alpha, float x1, float y1, float x2, float y2);
void OGL_fillrect(int color, float alpha, float x, float y, float dx, float dy);
void OGL_2dquad(int tex, int col, float alp, float x1, float y1, float s1, float t1, float x2, float y2,
                float s2, float t2, float x3, float y3, float s3, float t3, float x4, float y4, float s4,
                float t4, int num_tex, int alB);

// Prepares a character set (state, colour, texture); returns its fixed advance, 0 when proportional.
int OGL_strtex(int charset, int color, float* s1_pix, float* t1_pix, float* ds_pix, float* dt_pix);
// One line of text at surface coordinates (the window origin is not added). just: 0 left, 1 centre,
// 2 right.
void str_one_line(int color, float x, float y, const std::string& input, int charset, int just);
// Text wrapped at width dx (no wrapping for dx <= 0 or >= 9999); returns the y of a following line.
float OGL_string(int color, float x, float y, const std::string& input, float dx, int charset, int just);
float chr_dx(const char& n);
// Sum of chr_dx over a string.
float str_dx(const std::string& s);
// Text may break after this character: a blank, a hyphen or a slash.
bool wrap_point(char b);

// Every vertex the primitives above (and the widgets) emit goes through these. While
// OGL_vertex_record points at a vector, each vertex is also appended to it, in surface coordinates.
struct OGL_vertex_struct {
	unsigned mode; // the GL primitive it belongs to
	float x, y, s, t;
};
extern std::vector<OGL_vertex_struct>* OGL_vertex_record;

void OGL_begin(unsigned mode);
void OGL_vertex(float x, float y);
void OGL_tex_vertex(float s, float t, float x, float y);
void OGL_end();
// A textured quad from (x1, y1) to (x2, y2) showing texture coordinates (s1, t1) to (s2, t2), emitted
// lower left, upper left, upper right, lower right; inside OGL_begin(GL_QUADS) / OGL_end.
void OGL_tex_rect(float x1, float y1, float x2, float y2, float s1, float t1, float s2, float t2);
