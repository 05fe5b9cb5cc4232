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
	colr.set_pulse_colors(3.14159f / 40); // the pulse at its brightest
	OGL_plot_back_col();
	stls.win_name = "Widgets";
	BTN_fillwin(1, 1);
	OGL_string(40, 512, 712, "Bars, frames, buttons, boxes and text of the interface image", 0, font_prop, 1);

	// Frame styles 11 to 19 with their numbers, style 20 from the installer picture.
	for (int style = 11; style <= 20; ++style) {
		const int i = style - 11;
		const float x = 30 + (i % 5) * 200, y = 560 - (i / 5) * 110;
		BTN_frame2(style, x, y, 170, 80, "Frame " + std::to_string(style));
	}

	// Bar styles 0 to 10 (there is no 6).
	int row = 0;
	for (int style : {0, 1, 2, 3, 4, 5, 7, 8, 9, 10}) {
		const float x = row < 5 ? 160 : 430, y = 400 - (row % 5) * 34;
		BTN_frame1(style, x, y, 200, 0);
		OGL_string(43, x - 115, y - 3, std::to_string(style), 0, font_prop, 2);
		++row;
	}

	// Buttons, check boxes, list selection, labels and wrapped text.
	BTN_subwin(0, 13, 600, 130, 400, 300, "Controls");
	BTN_action(680, 380, 0, 0, 1, "Install", "-");
	BTN_action(820, 380, 120, 1, 1, "Pressed", "-");
	BTN_action(680, 340, 100, 1, 2, "Red label", "a side label");
	static int ticked = 1, unticked = 0, choice = 2;
	BTN_bool(720, 290, &ticked, "Ticked|on", 0);
	BTN_bool(720, 260, &unticked, "Not ticked|off", 0);
	for (int i = 1; i <= 3; ++i) BTN_is_int(940, 320 - i * 30, &choice, i, "Choice " + std::to_string(i));
	BTN_util_draw_label(720, 210, 0, "A label split near its middle", 0);
	BTN_util_draw_label(740, 210, 2, "-A label kept whole", 0);
	OGL_string(45, 620, 175, "Text wraps at the width it is given, breaking after a space, a hyphen or a slash: "
	                         "left/right and well-known words stay whole.", 360, font_prop, 0);

	// The font on a progress display, as the start-up shows it.
	BTN_frame2(15, 40, 40, 520, 80, "Progress");
	OGL_string(47, 60, 92, "0123456789 abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ", 0, font_prop, 0);
	OGL_string(47, 60, 78, "!@#$%^&*()-_+=[]|\\':;<.>,?/` \xFB\xC1\xE1\xC9\xE9\xCD\xED\xD3\xF3\xDA\xFA\xD1\xF1\xBF", 0,
	           font_prop, 0);
	BTN_frame1(4, 300, 60, 480, 0);
	BTN_frame1(5, 180, 60, 240, 0);
}

void draw_panel_sample()
{
	OGL_plot_back_col();
	MACIBM_startwind(1, 0);
	BTN_fillwin(1, 21);
	BTN_subwin(0, 12, -1, 50, -1, -1, "");
	OGL_string(43, 250, 240, "A closable panel: its close boxes sit in the upper corners, and Enter closes it "
	                         "too.", 400, font_prop, 1);
	static int agree = 0;
	BTN_bool(250, 150, &agree, "I agree|", 0);
	BTN_action(150, 22, 100, 0, 1, "Decline", "-");
	BTN_action(350, 22, 100, 0, 1, "Accept", "-");
}

} // namespace

class screenshots_test : public shell_gl_test {};

TEST_F(screenshots_test, widgets)
{
	draw_widget_sample();
	save_png(screenshot_path("widgets.png"), 0, 0, 1024, 768);
	draw_panel_sample();
	save_png(screenshot_path("widgets_panel.png"), int(mnw.win_x) - 20, int(mnw.win_y) - 20, 540, 340);
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
