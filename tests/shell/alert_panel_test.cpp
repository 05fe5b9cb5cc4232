// The drawn alert panel: its lines, the location line of fatal alerts and its OK button.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "shell/hl_alert.h"
#include "shell/hl_alert_panel.h"
#include "shell/hl_mnw.h"
#include "shell_gl.h"

namespace {

// The glyph cells (14 x 15) among recorded quads: their lower left corners, relative to the window.
std::vector<std::pair<float, float>> glyph_corners(const std::vector<OGL_vertex_struct>& v)
{
	std::vector<std::pair<float, float>> out;
	for (size_t i = 0; i + 3 < v.size(); i += 4)
		if (v[i + 1].y - v[i].y == 15 && v[i + 2].x - v[i].x == 14) out.push_back({v[i].x - mnw.win_x, v[i].y - mnw.win_y});
	return out;
}

// The bottom edges of the text lines drawn, top line first.
std::vector<float> text_rows(const std::vector<OGL_vertex_struct>& v)
{
	std::map<float, int, std::greater<float>> rows;
	for (auto [x, y] : glyph_corners(v)) ++rows[y];
	std::vector<float> out;
	for (auto& r : rows) out.push_back(r.first);
	return out;
}

} // namespace

class alert_panel_test : public shell_gl_test {
protected:
	void SetUp() override
	{
		shell_gl_test::SetUp();
		stls.text[602] = "OK";
		return_hit = 0;
		open_window(995);
	}
};

TEST_F(alert_panel_test, lines_and_location)
{
	record();
	EXPECT_FALSE(MACIBM_alert_panel("One", "Two", "Three", "Four", t_alert, "(unit line 7)"));
	// Lines at 205, 165, 125, 85; the button label at 18 - 3; glyph cells start 6 below.
	EXPECT_EQ(text_rows(recorded()), (std::vector<float>{199, 159, 119, 79, 9}));
	record();
	EXPECT_FALSE(MACIBM_alert_panel("One", "", "", "", t_exit, "(unit line 7)"));
	EXPECT_EQ(text_rows(recorded()), (std::vector<float>{199, 39, 9}));
}

TEST_F(alert_panel_test, long_lines_wrap_inside_the_panel)
{
	record();
	MACIBM_alert_panel("This line is far too long to be shown on one line of a panel only four hundred and twenty wide",
	                   "", "", "", t_alert, "");
	const std::vector<OGL_vertex_struct> v = recorded();
	EXPECT_EQ(text_rows(v), (std::vector<float>{199, 189, 9}));
	for (auto [x, y] : glyph_corners(v)) {
		EXPECT_GE(x, 0);
		EXPECT_LE(x, 420 - 14);
	}
}

TEST_F(alert_panel_test, ok_or_enter_confirms)
{
	mnw.mx = 210;
	mnw.my = 18;
	mnw.mouse_clicked = 1;
	EXPECT_TRUE(MACIBM_alert_panel("Note", "", "", "", t_alert, ""));
	mnw.mx = 100;
	EXPECT_FALSE(MACIBM_alert_panel("Note", "", "", "", t_alert, ""));
	mnw.mouse_clicked = 0;
	return_hit = 1;
	EXPECT_TRUE(MACIBM_alert_panel("Note", "", "", "", t_alert, ""));
}
