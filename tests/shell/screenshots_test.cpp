// Pictures of the alert panel and of every widget, kept under docs/ (see screenshot_path), and the
// checks that they show what they should.
#include <gtest/gtest.h>

#include <string>

#include "shell/butn.h"
#include "shell/colr.h"
#include "shell/hl_alert.h"
#include "shell/hl_alert_panel.h"
#include "shell/hl_mnw.h"
#include "shell/oglp.h"
#include "shell_gl.h"

namespace {

void draw_widget_sample()
{
	OGL_plot_back_col();
	stls.win_name = "Widgets";
	BTN_fillwin(1, 1);
	OGL_string(38, 512, 700, "Bars, frames, buttons, boxes and text of the interface image", 0, font_prop, 1);

	// Frame styles 11 to 19 with their numbers, style 20 from the installer picture.
	for (int style = 11; style <= 20; ++style) {
		const int i = style - 11;
		const float x = 30 + (i % 5) * 196, y = 470 + (i / 5) * 110;
		BTN_frame2(style, x, y, 170, 80, "Frame " + std::to_string(style));
	}

	// Bar styles 0 to 10 (no 6).
	float y = 430;
	for (int style : {0, 1, 2, 3, 4, 5, 7, 8, 9, 10}) {
		const float x = style < 5 ? 150 : 430;
		const float yy = y - (style < 5 ? style : style - 5 - (style > 6)) * 34;
		BTN_frame1(style, x, yy, 200, 0);
		OGL_string(43, x - 130, yy - 3, std::to_string(style), 0, font_prop, 2);
	}

	// Buttons, check boxes, list selection, labels.
	BTN_subwin(0, 13, 600, 100, 400, 340, "Controls");
	BTN_action(700, 400, 0, 0, 1, "Install", "-");
	BTN_action(860, 400, 120, 1, 1, "Pressed", "-");
	BTN_action(700, 360, 120, 1, 2, "Red label", "a side label");
	static int ticked = 1, unticked = 0, choice = 2;
	BTN_bool(700, 310, &ticked, "Ticked|on", 0);
	BTN_bool(700, 280, &unticked, "Not ticked|off", 0);
	for (int i = 1; i <= 3; ++i) BTN_is_int(900, 320 - i * 30, &choice, i, "Choice " + std::to_string(i));
	BTN_util_draw_label(760, 180, 0, "A label split near its middle", 0);
	BTN_util_draw_label(780, 180, 2, "-A label kept whole", 0);
	OGL_string(45, 620, 140, "Text wraps at the width it is given, breaking after a space, a hyphen or a slash: "
	                         "left/right and well-known words stay whole.", 360, font_prop, 0);

	// Progress bar on its frame, as the start-up shows it.
	BTN_frame2(15, 40, 40, 480, 60, "Progress");
	BTN_frame1(4, 280, 60, 440, 0);
	BTN_frame1(5, 170, 60, 220, 0);
	OGL_string(47, 60, 78, "0123456789 abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ", 0, font_prop, 0);
	OGL_string(47, 60, 68, "!@#$%^&*()-_+=[]|\\':;<.>,?/` \xFB\xC1\xE1\xC9\xE9\xCD\xED\xD3\xF3\xDA\xFA\xD1\xF1\xBF", 0,
	           font_prop, 0);
}

} // namespace

class screenshots_test : public shell_gl_test {};

TEST_F(screenshots_test, widgets)
{
	draw_widget_sample();
	open_window(1);
	BTN_fillwin(1, 21);
	OGL_string(43, 250, 150, "A closable panel: its close boxes sit in the upper corners.", 300, font_prop, 1);
	save_png(screenshot_path("widgets.png"), 0, 0, 1024, 768);
}

TEST_F(screenshots_test, alert_panel)
{
	stls.text[602] = "OK";
	open_window(995);
	MACIBM_alert_panel("The installation could not be finished.", "The disk is full.",
	                   "Please free some space on the destination drive and try again.", "", t_exit,
	                   "(install line 412)");
	save_png(screenshot_path("alert.png"), int(mnw.win_x) - 20, int(mnw.win_y) - 20, 460, 290);
}
