#include "shell/oglp.h"

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "platform/sys_video.h"
#include "runtime/xtim.h"
#include "shell/colr.h"
#include "shell/hl_alert.h"
#include "shell/hl_mnw.h"
#include "textures/OGL_extensions.h"
#include "textures/tman.h"

oglp_class oglp;
std::vector<OGL_vertex_struct>* OGL_vertex_record = nullptr;

namespace {

// ---- the GL state cache -------------------------------------------------------------------------

const int state_unknown = -1;
const int depth_writes_at_start = 11;

struct gl_state_struct {
	int fog = state_unknown;
	int tex_units = state_unknown;
	int lighting = state_unknown;
	int alpha_mode = state_unknown;
	int depth_read = state_unknown;
	int depth_write = depth_writes_at_start;
};

gl_state_struct gl_now;

void set_enabled(GLenum cap, bool on)
{
	if (on)
		glEnable(cap);
	else
		glDisable(cap);
}

int enabled_texture_units()
{
	int n = glIsEnabled(GL_TEXTURE_2D) ? 1 : 0;
	if (n == 0 || !glActiveTextureARB) return n;
	while (n < ren.num_tex_units) {
		glActiveTextureARB(GL_TEXTURE0_ARB + n);
		const bool on = glIsEnabled(GL_TEXTURE_2D);
		if (!on) break;
		++n;
	}
	glActiveTextureARB(GL_TEXTURE0_ARB);
	return n;
}

void query_state_once()
{
	if (gl_now.fog == state_unknown) gl_now.fog = glIsEnabled(GL_FOG) ? 0 : 1;
	if (gl_now.tex_units == state_unknown) gl_now.tex_units = enabled_texture_units();
	if (gl_now.lighting == state_unknown) gl_now.lighting = glIsEnabled(GL_LIGHTING) ? 2 : 3;
	if (gl_now.alpha_mode == state_unknown)
		gl_now.alpha_mode = 4 + (glIsEnabled(GL_BLEND) ? 1 : 0) + (glIsEnabled(GL_ALPHA_TEST) ? 2 : 0);
	if (gl_now.depth_read == state_unknown) gl_now.depth_read = glIsEnabled(GL_DEPTH_TEST) ? 8 : 9;
}

// Units above 0 are reachable only through the multitexture entry point; without it only unit 0 is
// switched.
void set_texture_units(int from, int to)
{
	const int lo = std::min(from, to), hi = std::max(from, to);
	for (int u = lo; u < hi; ++u) {
		if (u > 0 && !glActiveTextureARB) break;
		if (u > 0) glActiveTextureARB(GL_TEXTURE0_ARB + u);
		set_enabled(GL_TEXTURE_2D, u < to);
	}
	if (hi > 1 && glActiveTextureARB) glActiveTextureARB(GL_TEXTURE0_ARB);
}

// ---- the bitmap font ----------------------------------------------------------------------------

struct glyph_cell_struct {
	signed char column, row;
};

// Rows 0-4 of the glyph grid; every byte not in it shows cell (0, 0), the blank.
const char* const glyph_rows[5] = {
	" 0123456789AaBbCcDdEe",
	"FfGgHhIiJjKkLlMmNnOoP",
	"pQqRrSsTtUuVvWwXxYyZz",
	"!@#$%^&*()-_+=[]|\\':;",
	"<.>,?/`\xFB\xC1\xE1\xC9\xE9\xCD\xED\xD3\xF3\xDA\xFA\xD1\xF1\xBF",
};

const std::array<glyph_cell_struct, 256> glyph_cells = [] {
	std::array<glyph_cell_struct, 256> cells{};
	for (int r = 0; r < 5; ++r)
		for (int c = 0; glyph_rows[r][c]; ++c)
			cells[static_cast<unsigned char>(glyph_rows[r][c])] = {static_cast<signed char>(c),
			                                                       static_cast<signed char>(r)};
	return cells;
}();

struct width_group_struct {
	float width;
	const char* chars;
};

const width_group_struct width_groups[] = {
	{2, ",."},
	{3, " '/:;I\\`ijl|\xFB"},
	{4, "!()-J[]frst"},
	{5, "c"},
	{6, "#$*0123456789?EFLPSTZ^_aekvxyz\xBF\xC1\xC9\xCD\xD1\xD3\xDA\xE1\xE9\xED\xF1\xF3\xFA"},
	{7, "+<=>BCKRVXYbdghnopqu"},
	{8, "&ADGHNU"},
	{9, "@OQw"},
	{10, "Mm"},
	{11, "%W"},
};

const std::array<float, 256> char_widths = [] {
	std::array<float, 256> w{};
	for (const width_group_struct& g : width_groups)
		for (const char* p = g.chars; *p; ++p)
			w[static_cast<unsigned char>(*p)] = g.width;
	return w;
}();

struct charset_struct {
	int id, texture;
	float cell_dx, cell_dy;
	int pitch;
};

const charset_struct charsets[] = {
	{font_prop, 392, 14, 15, 0},
	{font_fixed, 392, 14, 15, 10},
	{font_korean, 396, 13, 13, 15},
};

const float font_texture_size = 512;
const float line_pitch = 10;

const charset_struct* find_charset(int charset)
{
	for (const charset_struct& c : charsets)
		if (c.id == charset) return &c;
	return nullptr;
}

glyph_cell_struct cell_of(int charset, unsigned char b)
{
	if (charset == font_korean) return {static_cast<signed char>(b % 40), static_cast<signed char>(b / 40)};
	return glyph_cells[b];
}

float advance(int pitch, char b)
{
	return pitch > 0 ? pitch : chr_dx(b);
}

} // namespace

bool wrap_point(char b)
{
	return b == ' ' || b == '-' || b == '/';
}

// ---- projection ---------------------------------------------------------------------------------

void OGL_viewport(int dims, float, float, float, float, float, float, float, float, float, float, float zoom,
                  int)
{
	if (dims != 2) return; // the installer draws in 2D only
	glViewport(0, 0, static_cast<int>(mnw.x_res_now), static_cast<int>(mnw.y_res_now));
	glMatrixMode(GL_PROJECTION);
	glLoadIdentity();
	glOrtho(mnw.x1_pix / zoom, mnw.x2_pix / zoom, mnw.y1_pix / zoom, mnw.y2_pix / zoom, -1, 1);
	glMatrixMode(GL_MODELVIEW);
	glLoadIdentity();
}

void OGL_pix_specs(int)
{
	mnw.xy_scale_coc = mnw.xy_scale_now = 1.0f;
	mnw.x1_pix = mnw.y1_pix = 0;
	mnw.x2_pix = mnw.x_res_now;
	mnw.y2_pix = mnw.y_res_now;
	mnw.extra_ty = std::max(0, mnw.y_res_now - 768);
	mnw.extra_sx = mnw.top_win_now == -1 ? 0 : std::max(0.0f, (mnw.x_res_now - 1024) * 0.5f);
	mnw.x_ctr = mnw.x_res_now * 0.5f;
	mnw.y_ctr = 384;
	if (mnw.top_win_now >= 0) OGL_viewport(2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1.0f, 0);
}

// ---- state --------------------------------------------------------------------------------------

void OGL_setstate(int fog, int tex_units, int lighting, int alpha_mode, int depth_read, int depth_write)
{
	query_state_once();
	if (fog != gl_now.fog) {
		set_enabled(GL_FOG, fog == 0);
		gl_now.fog = fog;
	}
	if (tex_units != gl_now.tex_units) {
		set_texture_units(gl_now.tex_units, tex_units);
		gl_now.tex_units = tex_units;
	}
	if (lighting != gl_now.lighting) {
		set_enabled(GL_LIGHTING, lighting == 2);
		gl_now.lighting = lighting;
	}
	if (alpha_mode != gl_now.alpha_mode) {
		set_enabled(GL_BLEND, alpha_mode == alpha_blend || alpha_mode == alpha_both);
		set_enabled(GL_ALPHA_TEST, alpha_mode == alpha_test || alpha_mode == alpha_both);
		gl_now.alpha_mode = alpha_mode;
	}
	if (depth_read != gl_now.depth_read) {
		set_enabled(GL_DEPTH_TEST, depth_read == 8);
		gl_now.depth_read = depth_read;
	}
	if (depth_write != gl_now.depth_write) {
		glDepthMask(depth_write == 10 ? GL_TRUE : GL_FALSE);
		gl_now.depth_write = depth_write;
	}
}

void OGL_forget_state()
{
	gl_now = gl_state_struct();
}

void OGL_nrml_colors()
{
	glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

// ---- vertices -----------------------------------------------------------------------------------

namespace {
unsigned record_mode = 0;
}

void OGL_begin(unsigned mode)
{
	record_mode = mode;
	glBegin(mode);
}

void OGL_vertex(float x, float y)
{
	if (OGL_vertex_record) OGL_vertex_record->push_back({record_mode, x, y, 0, 0});
	glVertex2f(x, y);
}

void OGL_tex_vertex(float s, float t, float x, float y)
{
	if (OGL_vertex_record) OGL_vertex_record->push_back({record_mode, x, y, s, t});
	glTexCoord2f(s, t);
	glVertex2f(x, y);
}

void OGL_end()
{
	glEnd();
}

void OGL_tex_rect(float x1, float y1, float x2, float y2, float s1, float t1, float s2, float t2)
{
	OGL_tex_vertex(s1, t1, x1, y1);
	OGL_tex_vertex(s1, t2, x1, y2);
	OGL_tex_vertex(s2, t2, x2, y2);
	OGL_tex_vertex(s2, t1, x2, y1);
}

// ---- primitives ---------------------------------------------------------------------------------

void OGL_sbuff()
{
	glColor3f(1, 1, 1);
	xtim.profile_chart("sb1", 0);
	sys_swap_window();
	xtim.profile_chart("sb2", 0);
}

void OGL_plot_back_col()
{
	OGL_setstate(1, 0, 3, alpha_blend, 9, 11);
	colr.set_index(34, 1.0f);
	OGL_begin(GL_QUADS);
	OGL_vertex(0, 0);
	OGL_vertex(0, mnw.y_res_now);
	OGL_vertex(mnw.x_res_now, mnw.y_res_now);
	OGL_vertex(mnw.x_res_now, 0);
	OGL_end();
}

void OGL_line(int color, float alpha, float x1, float y1, float x2, float y2)
{
	OGL_setstate(1, 0, 3, alpha_blend, 9, 11);
	colr.set_index(color, alpha);
	OGL_begin(GL_LINES);
	OGL_vertex(mnw.win_x + x1 + 0.5f, mnw.win_y + y1 + 0.5f);
	OGL_vertex(mnw.win_x + x2 + 0.5f, mnw.win_y + y2 + 0.5f);
	OGL_end();
}

void OGL_fillrect(int color, float alpha, float x, float y, float dx, float dy)
{
	OGL_setstate(1, 0, 3, alpha_blend, 9, 11);
	colr.set_index(color, alpha);
	x += mnw.win_x;
	y += mnw.win_y;
	OGL_begin(GL_QUADS);
	OGL_vertex(x, y);
	OGL_vertex(x, y + dy);
	OGL_vertex(x + dx, y + dy);
	OGL_vertex(x + dx, y);
	OGL_end();
}

void OGL_2dquad(int tex, int col, float alp, float x1, float y1, float s1, float t1, float x2, float y2,
                float s2, float t2, float x3, float y3, float s3, float t3, float x4, float y4, float s4,
                float t4, int num_tex, int alB)
{
	OGL_setstate(1, std::clamp(num_tex, 0, ren.num_tex_units), 3, alB, 9, 11);
	if (tex > 0) tman.bind_ref(tex, 0, tex == 418 ? 17 : 0);
	colr.set_index(col, alp);
	const float wx = mnw.win_x, wy = mnw.win_y;
	OGL_begin(GL_QUADS);
	OGL_tex_vertex(s1, t1, wx + x1, wy + y1);
	OGL_tex_vertex(s2, t2, wx + x2, wy + y2);
	OGL_tex_vertex(s3, t3, wx + x3, wy + y3);
	OGL_tex_vertex(s4, t4, wx + x4, wy + y4);
	OGL_end();
}

// ---- text ---------------------------------------------------------------------------------------

float chr_dx(const char& n)
{
	return char_widths[static_cast<unsigned char>(n)];
}

float str_dx(const std::string& s)
{
	float w = 0;
	for (char b : s) w += chr_dx(b);
	return w;
}

int OGL_strtex(int charset, int color, float* s1_pix, float* t1_pix, float* ds_pix, float* dt_pix)
{
	*s1_pix = *t1_pix = *ds_pix = *dt_pix = 0;
	const charset_struct* cs = find_charset(charset);
	if (!cs) {
		__MACIBM_alert(0, "String proc with bad charset!", "", "", "", t_exit, "oglp", 494);
		return 0;
	}
	OGL_setstate(1, 1, 3, alpha_blend, 9, 11);
	colr.set_index(color, 1.0f);
	tman.bind_ref(cs->texture, 0, 0);
	*ds_pix = cs->cell_dx;
	*dt_pix = cs->cell_dy;
	return cs->pitch;
}

void str_one_line(int color, float x, float y, const std::string& input, int charset, int just)
{
	float s0, t0, cw, ch;
	const int pitch = OGL_strtex(charset, color, &s0, &t0, &cw, &ch);
	if (just == 1) x -= str_dx(input) * 0.5f;
	if (just == 2) x -= str_dx(input);
	const float ds = cw / font_texture_size, dt = ch / font_texture_size;
	OGL_begin(GL_QUADS);
	for (char b : input) {
		if (b == '\r' || b == '\n' || b == '\t') continue;
		const float qx = std::trunc(x), qy = std::trunc(y) - 4;
		const glyph_cell_struct cell = cell_of(charset, static_cast<unsigned char>(b));
		const float s = (s0 + cell.column * cw) / font_texture_size, t = (t0 + cell.row * ch) / font_texture_size;
		OGL_tex_rect(qx, qy, qx + cw, qy + ch, s, t, s + ds, t + dt);
		x += advance(pitch, b);
	}
	OGL_end();
}

float OGL_string(int color, float x, float y, const std::string& input, float dx, int charset, int just)
{
	float s0, t0, cw, ch;
	const int pitch = OGL_strtex(charset, color, &s0, &t0, &cw, &ch);
	const float x1 = std::round(x + mnw.win_x);
	float line_y = std::round(y + mnw.win_y - 2);
	if (dx <= 0 || dx >= 9999) {
		str_one_line(color, x1, line_y, input, charset, just);
		return line_y - mnw.win_y + 2;
	}
	const float x2 = x1 + dx;
	std::string line;
	float pen = x1;
	const auto break_line = [&] {
		str_one_line(color, x1, line_y, line, charset, just);
		line_y -= line_pitch;
		line.clear();
		pen = x1;
	};
	for (size_t c = 0; c < input.size(); ++c) {
		const char b = input[c];
		line += b;
		pen += advance(pitch, b);
		if (b == '\n' || c + 1 == input.size()) {
			break_line();
		} else if (wrap_point(b)) {
			// The next word is estimated at 6 units a character.
			float word_end = pen;
			for (size_t k = c + 1; k < input.size() && input[k] != '\0' && !wrap_point(input[k]); ++k)
				word_end += 6;
			if (word_end > x2) break_line();
		}
	}
	return line_y - mnw.win_y + 2;
}
