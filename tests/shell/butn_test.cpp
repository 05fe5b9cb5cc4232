// Bars, frames, the small widgets, labels and the focus hooks.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "shell/butn.h"
#include "shell/colr.h"
#include "shell/hl_alert.h"
#include "shell/hl_mnw.h"
#include "shell/oglp.h"
#include "shell_gl.h"

namespace {

// One recorded quad: its corners and texel rectangle (texture coordinates times `tex_size`).
struct quad_struct {
	float x0, y0, x1, y1, s0, t0, s1, t1;
};

std::vector<quad_struct> quads(const std::vector<OGL_vertex_struct>& v, float tex_size = 512)
{
	std::vector<quad_struct> out;
	for (size_t i = 0; i + 3 < v.size(); i += 4)
		out.push_back({v[i].x, v[i].y, v[i + 2].x, v[i + 2].y, v[i].s * tex_size, v[i].t * tex_size,
		               v[i + 2].s * tex_size, v[i + 2].t * tex_size});
	return out;
}

// Text lines of recorded glyphs (top line first): their glyph counts.
std::vector<int> line_lengths(const std::vector<quad_struct>& q)
{
	std::map<float, int, std::greater<float>> lines;
	for (const quad_struct& g : q) ++lines[g.y0];
	std::vector<int> out;
	for (auto& l : lines) out.push_back(l.second);
	return out;
}

const float eps = 1e-3f;

} // namespace

class butn_test : public shell_gl_test {
protected:
	void click_at(float x, float y)
	{
		mnw.mx = x;
		mnw.my = y;
		mnw.mouse_clicked = 1;
	}
};

TEST_F(butn_test, bar_of_style_4_and_width_200)
{
	record();
	BTN_frame1(4, 300, 50, 200, 0);
	const std::vector<quad_struct> q = quads(recorded());
	ASSERT_EQ(q.size(), 25u); // cap, 22 full pieces, one of 4, cap
	EXPECT_EQ(q[0].x0, 200);
	EXPECT_EQ(q[0].x1, 210);
	EXPECT_NEAR(q[0].s0, 112, eps);
	EXPECT_NEAR(q[0].s1, 122, eps);
	for (int i = 1; i <= 22; ++i) {
		EXPECT_EQ(q[i].x0, 210 + 8 * (i - 1));
		EXPECT_EQ(q[i].x1 - q[i].x0, 8);
		EXPECT_NEAR(q[i].s0, 122, eps);
		EXPECT_NEAR(q[i].s1, 130, eps);
	}
	EXPECT_EQ(q[23].x0, 386);
	EXPECT_EQ(q[23].x1, 390);
	EXPECT_NEAR(q[23].s1, 126, eps);
	EXPECT_EQ(q[24].x0, 390);
	EXPECT_EQ(q[24].x1, 400);
	EXPECT_NEAR(q[24].s0, 130, eps);
	EXPECT_NEAR(q[24].s1, 140, eps);
	for (const quad_struct& p : q) {
		EXPECT_EQ(p.y0, 42);
		EXPECT_EQ(p.y1, 58);
		EXPECT_NEAR(p.t0, 161, eps);
		EXPECT_NEAR(p.t1, 177, eps);
	}
}

TEST_F(butn_test, bar_widths_and_offsets)
{
	struct bar_case {
		int style;
		float width;
		size_t quads;
		float left, right, bottom;
	};
	const bar_case cases[] = {
		{4, 196, 25, 202, 398, 42},  // exact fit: the last middle piece has width 0
		{4, 12, 2, 294, 306, 42},    // narrower than the two caps: they overlap
		{4, 16, 3, 292, 308, 42},    // caps nearly meet: the middle piece shrinks to nothing
		{4, 101, 13, 249, 351, 42},  // an odd width becomes the next even one
		{1, 100, 4, 250, 350, 34},   // heading bars sit 3 lower
		{9, 100, 5, 248, 352, 37},   // with shadow margins
	};
	for (const bar_case& c : cases) {
		record();
		BTN_frame1(c.style, 300, 50, c.width, 0);
		const std::vector<quad_struct> q = quads(recorded());
		ASSERT_EQ(q.size(), c.quads) << c.style << " " << c.width;
		EXPECT_EQ(q.front().x0, c.left) << c.style << " " << c.width;
		EXPECT_EQ(q.back().x1, c.right) << c.style << " " << c.width;
		EXPECT_EQ(q.front().y0, c.bottom) << c.style << " " << c.width;
		for (const quad_struct& p : q) EXPECT_GE(p.x1, p.x0) << c.style << " " << c.width;
	}
	record();
	BTN_frame1(4, 300, 50, 196, 0);
	const quad_struct last_piece = quads(recorded())[23];
	EXPECT_EQ(last_piece.x1, last_piece.x0);
}

TEST_F(butn_test, frame_of_style_12_at_100_100_300_by_200)
{
	record();
	BTN_frame2(12, 100, 100, 300, 200, "");
	const std::vector<quad_struct> q = quads(recorded());
	const float col_edges[] = {91, 126, 156, 186, 216, 246, 276, 306, 336, 366, 374, 409};
	const float row_edges[] = {86, 116, 156, 196, 236, 274, 304};
	ASSERT_EQ(q.size(), 11u * 6u);
	for (int r = 0; r < 6; ++r)
		for (int c = 0; c < 11; ++c) {
			const quad_struct& p = q[r * 11 + c];
			EXPECT_EQ(p.x0, col_edges[c]) << r << "," << c;
			EXPECT_EQ(p.x1, col_edges[c + 1]) << r << "," << c;
			EXPECT_EQ(p.y0, row_edges[r]) << r << "," << c;
			EXPECT_EQ(p.y1, row_edges[r + 1]) << r << "," << c;
		}
	// Texels: corners fixed, the cut middle pieces show as much of the tile as they are long.
	EXPECT_NEAR(q[0].s0, 102, eps);
	EXPECT_NEAR(q[0].s1, 137, eps);
	EXPECT_NEAR(q[0].t0, 358, eps);
	EXPECT_NEAR(q[0].t1, 388, eps);
	EXPECT_NEAR(q[9].s0, 137, eps);
	EXPECT_NEAR(q[9].s1, 145, eps);
	EXPECT_NEAR(q[10].s0, 167, eps);
	EXPECT_NEAR(q[10].s1, 202, eps);
	EXPECT_NEAR(q[4 * 11].t0, 388, eps);
	EXPECT_NEAR(q[4 * 11].t1, 426, eps);
	EXPECT_NEAR(q[5 * 11].t0, 428, eps);
	EXPECT_NEAR(q[5 * 11].t1, 458, eps);
}

TEST_F(butn_test, frame_titles)
{
	struct title_case {
		int style;
		float x0, y0;
	};
	// "Title" is 22 units wide; glyph cells start 6 below the text line.
	const title_case cases[] = {{12, 239, 278}, {11, 239, 281}, {20, 110, 278}};
	for (const title_case& c : cases) {
		record();
		BTN_frame2(c.style, 100, 100, 300, 200, "Title");
		const std::vector<quad_struct> q = quads(recorded(), c.style == 20 ? 1024 : 512);
		ASSERT_GE(q.size(), 5u);
		const quad_struct& t = q[q.size() - 5];
		EXPECT_EQ(t.x0, c.x0) << c.style;
		EXPECT_EQ(t.y0, c.y0) << c.style;
	}
	record();
	BTN_frame2(20, 0, 0, 41, 41, "");
	EXPECT_NEAR(quads(recorded(), 1024)[0].s0, 774, eps);
}

TEST_F(butn_test, closable_panels_get_close_boxes)
{
	open_window(1);
	record();
	BTN_fillwin(1, 21);
	std::vector<quad_struct> q = quads(recorded());
	ASSERT_GE(q.size(), 2u);
	const quad_struct& right = q.back();
	EXPECT_EQ(right.x0, mnw.win_x + 500 - 16 - 9);
	EXPECT_EQ(right.y0, mnw.win_y + 300 - 10 - 9);
	EXPECT_NEAR(right.s0, 120, eps);
	EXPECT_NEAR(right.t0, 178, eps);

	open_window(995);
	record();
	BTN_fillwin(1, 21);
	q = quads(recorded());
	for (const quad_struct& p : q) EXPECT_FALSE(std::abs(p.s0 - 120) < eps && std::abs(p.t0 - 178) < eps);
}

TEST_F(butn_test, close_boxes_report_a_click_inside_either)
{
	open_window(1);
	EXPECT_EQ(BTN_zap_boxes(0), 0);
	click_at(16 + 9, 300 - 10 - 9);
	EXPECT_EQ(BTN_zap_boxes(0), 1);
	click_at(500 - 16, 300 - 10);
	EXPECT_EQ(BTN_zap_boxes(0), 1);
	click_at(16 + 9.5f, 300 - 10);
	EXPECT_EQ(BTN_zap_boxes(0), 0);
	record();
	BTN_zap_boxes(1);
	EXPECT_NEAR(quads(recorded())[0].t0, 197, eps);
}

TEST_F(butn_test, window_background_and_sub_window_defaults)
{
	open_window(995); // 420 x 250
	record();
	BTN_fillwin(0, 1);
	std::vector<quad_struct> q = quads(recorded());
	// Frame 12 over the window, then the heading bar across it at win_dy - 50 (3 lower for style 1).
	EXPECT_EQ(q.front().x0, mnw.win_x - 9);
	EXPECT_EQ(q.back().x1, mnw.win_x + 420);
	EXPECT_EQ(q.back().y0, mnw.win_y + 250 - 50 - 3 - 13);

	float x2 = 0, y2 = 0;
	record();
	BTN_subwin(5, 13, -1, 35, -1, -1, "", &x2, &y2);
	q = quads(recorded());
	EXPECT_EQ(q.front().x0, mnw.win_x + 10 - 9);
	EXPECT_EQ(q.front().y0, mnw.win_y + 35 - 14);
	EXPECT_EQ(q.back().x1, mnw.win_x + 410 + 9);
	EXPECT_EQ(q.back().y1, mnw.win_y + 250 - 28 - 5 + 4);
	EXPECT_EQ(x2, 420);
	EXPECT_EQ(y2, 250 - 28 - 5 + 10);
}

TEST_F(butn_test, push_button_width_and_click)
{
	record();
	EXPECT_EQ(BTN_action(300, 100, 0, 0, 1, "Go|Stay{help}", "-"), 0);
	std::vector<quad_struct> q = quads(recorded());
	// As wide as the whole label, 63 units, plus 21: the even width 84.
	EXPECT_EQ(q.front().x0, 258);
	EXPECT_EQ(line_lengths(q).size(), 2u); // the bar and one line of text ("Go")

	click_at(300 + 42, 100 + 10);
	EXPECT_EQ(BTN_action(300, 100, 0, 0, 1, "Go|Stay{help}", "-"), 1);
	click_at(300 + 42.5f, 100);
	EXPECT_EQ(BTN_action(300, 100, 0, 0, 1, "Go|Stay{help}", "-"), 0);
	click_at(300, 100);
	mnw.menu_up = 3;
	EXPECT_EQ(BTN_action(300, 100, 0, 0, 1, "Go|Stay{help}", "-"), 0);
}

TEST_F(butn_test, push_button_shows_the_press_at_once)
{
	click_at(300, 100);
	record();
	EXPECT_EQ(BTN_action(300, 100, 80, 0, 1, "Install", "-"), 1);
	const std::vector<quad_struct> q = quads(recorded());
	int pressed_strips = 0;
	for (const quad_struct& p : q) pressed_strips += std::abs(p.t0 - 459) < eps;
	EXPECT_GT(pressed_strips, 0);

	record();
	EXPECT_EQ(BTN_action(300, 100, 80, 0, 0, "Install", "-"), 1);
	for (const quad_struct& p : quads(recorded())) EXPECT_GT(std::abs(p.t0 - 459), eps);
}

TEST_F(butn_test, side_labels)
{
	record();
	BTN_action(300, 100, 80, 0, 0, "OK", "");
	const size_t plain = recorded().size();
	record();
	BTN_action(300, 100, 80, 0, 0, "OK", "-");
	EXPECT_EQ(recorded().size(), plain);
	record();
	BTN_action(300, 100, 80, 0, 0, "OK", "Note");
	const std::vector<quad_struct> q = quads(recorded());
	ASSERT_EQ(q.size() * 4, plain + 16);
	EXPECT_EQ(q[q.size() - 4].x0, 350);
	EXPECT_EQ(q[q.size() - 4].y0, 101);
}

TEST_F(butn_test, check_box_hit_zone)
{
	struct hit_case {
		float dx, dy;
		int toggles;
	};
	const hit_case cases[] = {{8, 12, 1}, {-8, -4, 1}, {0, 0, 1}, {8.1f, 0, 0}, {0, 12.1f, 0}, {0, -4.1f, 0}};
	for (const hit_case& c : cases) {
		int var = 0;
		click_at(200 + c.dx, 300 + c.dy);
		EXPECT_EQ(BTN_bool(200, 300, &var, "Label", 0), c.toggles) << c.dx << "," << c.dy;
		EXPECT_EQ(var, c.toggles);
	}
	int var = 1;
	click_at(200, 300);
	EXPECT_EQ(BTN_bool(200, 300, &var, "Label", 0), 1);
	EXPECT_EQ(var, 0);
}

TEST_F(butn_test, check_box_help_and_pictures)
{
	int var = 1;
	mnw.mx = 200;
	mnw.my = 300;
	stls.help_message.clear();
	record();
	EXPECT_EQ(BTN_bool(200, 300, &var, "Left|Right{Shown after a second}", 0), 0);
	EXPECT_EQ(stls.help_message, "Shown after a second}");
	const std::vector<quad_struct> q = quads(recorded());
	ASSERT_GE(q.size(), 2u);
	EXPECT_EQ(q[0].x0, 191);
	EXPECT_EQ(q[0].y0, 294);
	EXPECT_NEAR(q[0].s0, 139, eps);
	EXPECT_NEAR(q[0].t0, 178, eps);
	EXPECT_NEAR(q[1].t0, 197, eps);
	// "Left" ends at x - 12; "Right" starts at x + 12.
	EXPECT_EQ(q[2].x0, 188 - 20);
	EXPECT_EQ(q[6].x0, 212);
}

TEST_F(butn_test, list_selection)
{
	int sel = 2;
	click_at(100, 100);
	EXPECT_EQ(BTN_is_int(100, 100, &sel, 5, "Five"), 1);
	EXPECT_EQ(sel, 5);
	EXPECT_EQ(BTN_is_int(100, 100, &sel, 5, "Five"), 1);
	EXPECT_EQ(sel, 5) << "clicking the selected entry keeps it";
	mnw.mouse_clicked = 0;
	record();
	BTN_is_int(100, 100, &sel, 5, "");
	const std::vector<quad_struct> q = quads(recorded());
	ASSERT_EQ(q.size(), 2u);
	EXPECT_NEAR(q[0].s0, 83, eps);
	EXPECT_NEAR(q[1].t0, 142, eps);
}

TEST(BTN_expand_label, parts)
{
	struct label_case {
		const char *in, *l1, *l2, *help;
	};
	const label_case cases[] = {
		{"Plain", "Plain", "", ""},
		{"Left|Right", "Left", "Right", ""},
		{"Left|Right{Help}", "Left", "Right", "Help}"},
		{"Only{Help", "Only", "", "Help"},
		{"a|b|c", "a|b", "c", ""},
		{"a{b{c", "a{b", "", "c"},
		{"", "", "", ""},
		{"x{", "x", "", ""},
	};
	for (const label_case& c : cases) {
		std::string l1, l2, help;
		BTN_expand_label(c.in, &l1, &l2, &help);
		EXPECT_EQ(l1, c.l1) << c.in;
		EXPECT_EQ(l2, c.l2) << c.in;
		EXPECT_EQ(help, c.help) << c.in;
	}
}

TEST_F(butn_test, labels_split_near_their_middle)
{
	struct split_case {
		const char* label;
		int side;
		std::vector<int> lines;
	};
	const split_case cases[] = {
		{"Install to folder", 0, {7, 9}},
		{"aaaaa bbb cccc", 2, {5, 8}},     // a tie: the first separator wins
		{"Install to folder", 1, {17}},    // centred labels stay whole
		{"-Keep this one whole", 0, {19}}, // a leading '-' keeps it whole and is not drawn
		{" abcdefghijkl", 0, {13}},        // only a separator at position 0
		{"abcdefghijkl/", 2, {13}},        // only a separator at the end
		{"Twelve chars", 0, {12}},         // 12 characters are not split
	};
	for (const split_case& c : cases) {
		record();
		BTN_util_draw_label(400, 200, c.side, c.label, 0);
		EXPECT_EQ(line_lengths(quads(recorded())), c.lines) << c.label;
	}
	record();
	BTN_util_draw_label(400, 200, 0, "Install to folder", 0);
	const std::vector<quad_struct> q = quads(recorded());
	EXPECT_EQ(q[0].y0, 200 + 5 - 6);
	EXPECT_EQ(q[6].x0 + 3, 400); // "Install" ends at x
	EXPECT_EQ(q[7].y0, 200 - 5 - 6);
	record();
	BTN_util_draw_label(400, 200, 0, "", 0);
	EXPECT_TRUE(recorded().empty());
}

TEST_F(butn_test, red_labels_pulse)
{
	colr.set_pulse_colors(0.3f);
	BTN_util_draw_label(100, 100, 1, "Hot", 1);
	GLfloat c[4];
	glGetFloatv(GL_CURRENT_COLOR, c);
	EXPECT_FLOAT_EQ(c[0], colr.col_rgb[81][0]);
	EXPECT_FLOAT_EQ(c[1], colr.col_rgb[81][1]);
}

TEST_F(butn_test, keys_reach_only_a_focused_widget_of_the_open_window)
{
	int ch = 0, vk = 0, fl = 0;
	BTN_begin_focus_ring();
	EXPECT_EQ(BTN_dispatch_to_focus('a', 0x41, 8), 0);
	focus_ring.push_back({7, &ch, &vk, &fl, {0x41}});
	focus_id = 7;
	wind_focus = 0;
	EXPECT_EQ(BTN_dispatch_to_focus('b', 0x42, 8), 0) << "a key it does not take";
	EXPECT_EQ(BTN_dispatch_to_focus('a', 0x41, 9), 1);
	EXPECT_EQ(ch, 'a');
	EXPECT_EQ(vk, 0x41);
	EXPECT_EQ(fl, 9);
	open_window(995);
	focus_id = 7;
	wind_focus = 995;
	EXPECT_EQ(BTN_dispatch_to_focus('a', 0x41, 8), 0) << "never while an alert is up";
	BTN_unfocus_any();
	BTN_begin_focus_ring();
	EXPECT_TRUE(focus_ring.empty());
	EXPECT_EQ(focus_id, 0);
}

TEST_F(butn_test, unknown_styles_are_fatal)
{
	for (int style : {-1, 6, 11}) {
		const std::string log = fatal_alert_log([=] { BTN_frame1(style, 0, 0, 100, 0); });
		EXPECT_NE(log.find("Bad BTN_frame1 call!\n"), std::string::npos) << style;
		EXPECT_NE(log.find("(butn line 378)"), std::string::npos) << style;
	}
	for (int style : {10, 21}) {
		const std::string log = fatal_alert_log([=] { BTN_frame2(style, 0, 0, 100, 100, ""); });
		EXPECT_NE(log.find("Bad BTN_frame2 call!\n"), std::string::npos) << style;
		EXPECT_NE(log.find("(butn line 442)"), std::string::npos) << style;
	}
}

TEST_F(butn_test, repeated_pieces_join_without_seams)
{
	// Pixels of a run that differ from its first one.
	const auto same_run = [](int x0, int y0, int dx, int dy, int n) {
		const std::vector<unsigned char> p = gl_read_pixels(x0, y0, dx ? n : 1, dy ? n : 1);
		int differing = 0;
		for (int i = 1; i < n; ++i)
			for (int c = 0; c < 3; ++c) differing += p[i * 4 + c] != p[c];
		return differing;
	};
	BTN_frame2(12, 100, 100, 300, 200, "");
	EXPECT_EQ(same_run(130, 200, 1, 0, 240), 0) << "across the middle columns";
	EXPECT_EQ(same_run(250, 120, 0, 1, 150), 0) << "up the middle rows";
	EXPECT_EQ(pixel(50, 50).r, 0) << "outside the frame";
	BTN_frame1(4, 300, 450, 200, 0);
	EXPECT_EQ(same_run(212, 450, 1, 0, 176), 0) << "along the bar";
	EXPECT_NE(pixel(300, 450).r, 0);
}
