// Colours, the GL state cache, the primitives and the text of the 2D drawing layer.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <vector>

#include "shell/colr.h"
#include "shell/hl_mnw.h"
#include "shell/oglp.h"
#include "shell_gl.h"

namespace {

// The glyph quads of recorded text, one per drawn character, in drawing order.
struct glyph_struct {
	float x0, y0, x1, y1, s0, t0;
};

std::vector<glyph_struct> glyphs(const std::vector<OGL_vertex_struct>& v)
{
	std::vector<glyph_struct> out;
	for (size_t i = 0; i + 3 < v.size(); i += 4)
		out.push_back({v[i].x, v[i].y, v[i + 2].x, v[i + 2].y, v[i].s, v[i].t});
	return out;
}

// Number of glyphs on each text line, top line first.
std::vector<int> glyphs_per_line(const std::vector<glyph_struct>& g)
{
	std::map<float, int, std::greater<float>> lines;
	for (const glyph_struct& q : g) ++lines[q.y0];
	std::vector<int> out;
	for (auto& l : lines) out.push_back(l.second);
	return out;
}

} // namespace

TEST(colr, default_table_and_gamma)
{
	const colr_class c;
	EXPECT_EQ(c.win_gamma[0], 0);
	EXPECT_EQ(c.win_gamma[1], 3);
	EXPECT_EQ(c.win_gamma[128], 145); // 255 x (128 / 255)^(1.8 / 2.2), rounded
	EXPECT_EQ(c.win_gamma[255], 255);
	EXPECT_EQ(c.has_gamma, 1);
	EXPECT_FLOAT_EQ(c.col_rgb[1][1], 0.2f);
	EXPECT_FLOAT_EQ(c.col_rgb[72][0], 0.49f);
	EXPECT_FLOAT_EQ(c.col_rgb[102][2], 0.9f);
	for (int unlisted : {11, 23, 30, 48, 73, 86, 104})
		EXPECT_EQ(c.col_rgb[unlisted][0] + c.col_rgb[unlisted][1] + c.col_rgb[unlisted][2], 0) << unlisted;
}

TEST(colr, pulse_colours_follow_the_clock)
{
	colr_class c;
	const float t = 0.1f, p = 0.7f + 0.3f * std::sin(2.0f);
	c.set_pulse_colors(t);
	EXPECT_FLOAT_EQ(c.pulse_alpha, p);
	EXPECT_FLOAT_EQ(c.col_rgb[79][2], p);
	EXPECT_FLOAT_EQ(c.col_rgb[80][1], 0.5f * p);
	EXPECT_FLOAT_EQ(c.col_rgb[81][1], 0.3f * p);
	EXPECT_FLOAT_EQ(c.col_rgb[82][2], p);
	EXPECT_FLOAT_EQ(c.col_rgb[83][1], 0.8f * p);
	EXPECT_FLOAT_EQ(c.col_rgb[84][2], 0.2f * p);
}

TEST(colr, palette_comes_from_the_swatch_pixels)
{
	std::vector<unsigned char> image(512 * 512 * 4, 0);
	const auto put = [&](int col, int row, int r, int g, int b) {
		unsigned char* p = &image[(row * 512 + col) * 4];
		p[0] = r, p[1] = g, p[2] = b, p[3] = 255;
	};
	put(319, 155, 51, 67, 86);
	put(319, 147, 78, 78, 73);
	put(319, 123, 255, 255, 255);
	put(395, 115, 220, 220, 220);
	put(319, 67, 127, 220, 175);
	colr_class c;
	c.read_palette(image.data());
	EXPECT_FLOAT_EQ(c.col_rgb[34][2], 86 / 255.0f);
	EXPECT_FLOAT_EQ(c.col_rgb[44][0], 220 / 255.0f);
	EXPECT_FLOAT_EQ(c.col_rgb[47][1], 220 / 255.0f);
	EXPECT_FLOAT_EQ(c.col_rgb[39][0], (78 + 255) / 510.0f);
}

TEST(chr_dx, widths_follow_the_table)
{
	const std::pair<char, float> cases[] = {
		{',', 2}, {' ', 3}, {'I', 3}, {'\xFB', 3}, {'-', 4}, {'c', 5}, {'7', 6}, {'\xD1', 6}, {'K', 7},
		{'&', 8}, {'w', 9}, {'M', 10}, {'%', 11}, {'"', 0}, {'~', 0}, {'\n', 0}, {'\xFF', 0},
	};
	for (auto [ch, w] : cases) EXPECT_EQ(chr_dx(ch), w) << int(static_cast<unsigned char>(ch));
}

class oglp_test : public shell_gl_test {};

TEST_F(oglp_test, alpha_at_or_below_099_is_translucent)
{
	// White over black: a translucent colour shows its alpha, an opaque one full white.
	const std::pair<float, int> cases[] = {{0.5f, 128}, {0.99f, 252}, {0.995f, 255}, {1.0f, 255}};
	for (auto [asked, red] : cases) {
		clear();
		OGL_fillrect(0, asked, 0, 0, 4, 4);
		EXPECT_NEAR(pixel(1, 1).r, red, 1) << asked;
		EXPECT_EQ(pixel(1, 1).r == 255, asked > 0.99f) << asked;
	}
}

TEST_F(oglp_test, state_changes_only_when_the_cached_value_differs)
{
	OGL_setstate(1, 1, 3, alpha_blend, 9, 11);
	EXPECT_TRUE(glIsEnabled(GL_BLEND));
	EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
	EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
	// Changed behind the cache's back: the same request issues nothing.
	glDisable(GL_BLEND);
	OGL_setstate(1, 1, 3, alpha_blend, 9, 11);
	EXPECT_FALSE(glIsEnabled(GL_BLEND));
	// Once forgotten, the state is read again and set.
	OGL_forget_state();
	OGL_setstate(1, 0, 3, alpha_both, 8, 11);
	EXPECT_TRUE(glIsEnabled(GL_BLEND));
	EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
	EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
	EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
	OGL_setstate(1, 0, 3, alpha_blend, 9, 11);
	EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
}

TEST_F(oglp_test, pix_specs_lay_out_the_surface)
{
	OGL_pix_specs(0);
	EXPECT_EQ(mnw.x2_pix, 1024);
	EXPECT_EQ(mnw.y2_pix, 768);
	EXPECT_EQ(mnw.extra_sx, 0);
	EXPECT_EQ(mnw.extra_ty, 0);
	EXPECT_EQ(mnw.x_ctr, 512);
	EXPECT_EQ(mnw.y_ctr, 384);
	GLint vp[4];
	glGetIntegerv(GL_VIEWPORT, vp);
	EXPECT_EQ(vp[2], 1024);
	EXPECT_EQ(vp[3], 768);
}

TEST_F(oglp_test, primitives_add_the_window_origin)
{
	mnw.win_x = 100;
	mnw.win_y = 50;
	record();
	OGL_line(0, 1, 10, 20, 30, 40);
	OGL_fillrect(0, 1, 1, 2, 3, 4);
	const std::vector<OGL_vertex_struct> v = recorded();
	ASSERT_EQ(v.size(), 6u);
	EXPECT_EQ(v[0].mode, unsigned(GL_LINES));
	EXPECT_EQ(v[0].x, 110.5f);
	EXPECT_EQ(v[0].y, 70.5f);
	EXPECT_EQ(v[1].x, 130.5f);
	EXPECT_EQ(v[1].y, 90.5f);
	const float quad[4][2] = {{101, 52}, {101, 56}, {104, 56}, {104, 52}};
	for (int i = 0; i < 4; ++i) {
		EXPECT_EQ(v[2 + i].x, quad[i][0]);
		EXPECT_EQ(v[2 + i].y, quad[i][1]);
	}
}

TEST_F(oglp_test, lines_land_on_pixel_centres_and_empty_rectangles_draw_nothing)
{
	OGL_line(0, 1, 10, 10, 50, 10);
	OGL_fillrect(0, 1, 100, 100, 0, 20);
	EXPECT_EQ(pixel(30, 10).r, 255);
	EXPECT_EQ(pixel(30, 9).r, 0);
	EXPECT_EQ(pixel(30, 11).r, 0);
	for (int x = 98; x <= 102; ++x) EXPECT_EQ(pixel(x, 110).r, 0) << x;
}

TEST_F(oglp_test, rectangles_blend_with_their_alpha)
{
	OGL_fillrect(69, 1.0f, 0, 0, 10, 10);  // red, opaque
	OGL_fillrect(56, 0.5f, 0, 0, 10, 10);  // green over it, half
	const rgba_struct p = pixel(5, 5);
	EXPECT_NEAR(p.r, 128, 2);
	EXPECT_NEAR(p.g, 128, 2);
	EXPECT_EQ(pixel(10, 10).g, 0);
}

TEST_F(oglp_test, background_covers_the_surface_whatever_the_window)
{
	open_window(995);
	const colr_class saved = colr;
	colr.assign(34, 0, 0, 1);
	OGL_plot_back_col();
	colr = saved;
	EXPECT_EQ(pixel(0, 0).b, 255);
	EXPECT_EQ(pixel(1023, 767).b, 255);
}

TEST_F(oglp_test, glyphs_come_from_the_grid)
{
	record();
	str_one_line(0, 10.7f, 20.9f, "H0\xF1", font_prop, 0);
	const std::vector<glyph_struct> g = glyphs(recorded());
	ASSERT_EQ(g.size(), 3u);
	// 'H' is cell (4, 1); '0' (1, 0); n-tilde (19, 4). Cells are 14 x 15 texels.
	EXPECT_EQ(g[0].x0, 10);
	EXPECT_EQ(g[0].y0, 16);
	EXPECT_EQ(g[0].x1, 24);
	EXPECT_EQ(g[0].y1, 31);
	EXPECT_FLOAT_EQ(g[0].s0, 56 / 512.0f);
	EXPECT_FLOAT_EQ(g[0].t0, 15 / 512.0f);
	EXPECT_EQ(g[1].x0, 18);  // 10.7 + 8, truncated
	EXPECT_FLOAT_EQ(g[1].s0, 14 / 512.0f);
	EXPECT_FLOAT_EQ(g[1].t0, 0);
	EXPECT_FLOAT_EQ(g[2].s0, 19 * 14 / 512.0f);
	EXPECT_FLOAT_EQ(g[2].t0, 60 / 512.0f);
}

TEST_F(oglp_test, fixed_pitch_sets_advance_evenly)
{
	record();
	str_one_line(0, 0, 0, "Mi.", font_fixed, 0);
	const std::vector<glyph_struct> g = glyphs(recorded());
	ASSERT_EQ(g.size(), 3u);
	EXPECT_EQ(g[1].x0, 10);
	EXPECT_EQ(g[2].x0, 20);
}

TEST_F(oglp_test, right_aligned_text_ends_at_x)
{
	mnw.win_x = 7;
	record();
	OGL_string(0, 200, 100, "Hello~", 0, font_prop, 2);
	const std::vector<glyph_struct> g = glyphs(recorded());
	ASSERT_EQ(g.size(), 6u);
	// H e l l o: 8 + 6 + 3 + 3 + 7; the tilde is outside the width table and adds nothing.
	EXPECT_EQ(g[0].x0, 207 - 27);
	EXPECT_EQ(g[4].x0 + 7, 207);
	EXPECT_EQ(g[5].x0, 207);
	EXPECT_EQ(g[0].y0, 100 - 6);
}

TEST_F(oglp_test, centred_text_straddles_x)
{
	record();
	OGL_string(0, 300, 100, "MM", 0, font_prop, 1);
	const std::vector<glyph_struct> g = glyphs(recorded());
	ASSERT_EQ(g.size(), 2u);
	EXPECT_EQ(g[0].x0, 290);
	EXPECT_EQ(g[1].x0, 300);
}

TEST_F(oglp_test, wrapping_breaks_after_the_separator_before_a_word_that_would_overrun)
{
	struct wrap_case {
		const char* text;
		float dx;
		std::vector<int> per_line;
	};
	const wrap_case cases[] = {
		// "The quick brown " reaches 90; "fox" estimated at 18 more passes 100.
		{"The quick brown fox jumps over the lazy dog", 100, {16, 19, 8}},
		{"The quick brown fox jumps over the lazy dog", 9999, {43}},
		{"The quick brown fox jumps over the lazy dog", 0, {43}},
		// A word longer than the width is never split.
		{"Supercalifragilisticexpialidocious is long", 100, {35, 7}},
		// A slash and a hyphen are break points too, and stay on the broken line.
		{"aaaaaaaaaaaaaa/bbbbbbbbbbbbbb-cccccccccccccc", 100, {15, 15, 14}},
		{"one\ntwo", 100, {3, 3}},
	};
	for (const wrap_case& c : cases) {
		record();
		OGL_string(0, 0, 500, c.text, c.dx, font_prop, 0);
		EXPECT_EQ(glyphs_per_line(glyphs(recorded())), c.per_line) << c.text << " at " << c.dx;
	}
}

TEST_F(oglp_test, string_returns_the_next_line)
{
	mnw.win_y = 40;
	EXPECT_EQ(OGL_string(0, 0, 500, "The quick brown fox jumps over the lazy dog", 100, font_prop, 0), 470);
	EXPECT_EQ(OGL_string(0, 0, 500, "no wrap", 0, font_prop, 0), 500);
	record();
	EXPECT_EQ(OGL_string(0, 0, 500, "\n\n\n", 100, font_prop, 0), 470);
	EXPECT_TRUE(recorded().empty());
}

TEST_F(oglp_test, text_is_drawn_from_the_font_image)
{
	str_one_line(0, 100, 100, "W", font_prop, 0);
	int lit = 0;
	for (int y = 96; y < 111; ++y)
		for (int x = 100; x < 114; ++x) lit += pixel(x, y).r > 128;
	EXPECT_GT(lit, 10);
	EXPECT_LT(lit, 14 * 15 / 2) << "a glyph, not a solid cell";
	for (int x = 90; x < 124; ++x) EXPECT_EQ(pixel(x, 94).r, 0) << "below the cell";
}

TEST_F(oglp_test, an_unknown_character_set_is_fatal)
{
	const std::string log = fatal_alert_log([] { str_one_line(0, 0, 0, "x", 101, 0); });
	EXPECT_NE(log.find("String proc with bad charset!\n"), std::string::npos) << log;
	EXPECT_NE(log.find("(oglp line 494)"), std::string::npos) << log;
}

TEST_F(oglp_test, the_palette_of_the_interface_image)
{
	struct swatch_case {
		int index, r, g, b;
	};
	const swatch_case cases[] = {
		{34, 51, 67, 86},    {35, 78, 78, 73},    {36, 13, 27, 44},  {37, 125, 126, 121}, {38, 255, 255, 255},
		{40, 238, 238, 238}, {41, 13, 27, 44},    {42, 93, 99, 110}, {43, 34, 41, 53},    {44, 220, 220, 220},
		{45, 39, 44, 52},    {46, 36, 43, 53},    {47, 127, 220, 175},
	};
	for (const swatch_case& c : cases) {
		EXPECT_FLOAT_EQ(colr.col_rgb[c.index][0], c.r / 255.0f) << c.index;
		EXPECT_FLOAT_EQ(colr.col_rgb[c.index][1], c.g / 255.0f) << c.index;
		EXPECT_FLOAT_EQ(colr.col_rgb[c.index][2], c.b / 255.0f) << c.index;
	}
	EXPECT_FLOAT_EQ(colr.col_rgb[39][0], (78 + 255) / 510.0f);
}
