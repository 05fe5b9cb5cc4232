#include "shell/hl_alert_panel.h"

#include "shell/butn.h"
#include "shell/hl_alert.h"
#include "shell/hl_mnw.h"
#include "shell/oglp.h"

namespace {
const float line_y[4] = {205, 165, 125, 85};
const float where_y = 45;
const float button_y = 18;
const int text_color = 43;
const int ok_text = 602;
}

bool MACIBM_alert_panel(const std::string& s1, const std::string& s2, const std::string& s3, const std::string& s4,
                        int type, const std::string& where)
{
	OGL_plot_back_col();
	BTN_fillwin(1, 21);
	BTN_subwin(0, 13, -1, 35, -1, -1, "");
	const float mid = mnw.win_dx * 0.5f, wrap = mnw.win_dx * 0.9f;
	const std::string* lines[4] = {&s1, &s2, &s3, &s4};
	for (int i = 0; i < 4; ++i) OGL_string(text_color, mid, line_y[i], *lines[i], wrap, font_prop, 1);
	if (type == t_exit) OGL_string(text_color, mid, where_y, where, wrap, font_prop, 1);
	const int clicked = BTN_action(mid, button_y, 0, 0, 1, stls.text[ok_text], "-");
	return clicked || return_hit;
}
