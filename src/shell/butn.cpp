#include "shell/butn.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "shell/colr.h"
#include "shell/hl_alert.h"
#include "shell/hl_mnw.h"
#include "shell/oglp.h"
#include "textures/tman.h"

std::vector<focus_info_t> focus_ring;
int focus_id = 0;
int wind_focus = -1;

namespace {

const int interface_tex = 392;
const int installer_tex = 393;
const float interface_size = 512;
const float installer_size = 1024;

struct bar_style_struct {
	bool valid;
	float border, strip, height, s, t, shadow, centre_shift;
};

const bar_style_struct bar_styles[] = {
	{true, 10, 100, 26, 1, 487, 0, -3},   // 0 menu bar
	{true, 20, 100, 26, 102, 487, 0, -3}, // 1 heading of a window background
	{true, 10, 52, 26, 304, 486, 0, 0},   // 2 push button
	{true, 10, 52, 26, 304, 459, 0, 0},   // 3 push button, pressed
	{true, 10, 28, 16, 112, 161, 0, 0},   // 4 progress
	{true, 10, 28, 16, 83, 161, 0, 0},    // 5 progress
	{false, 0, 0, 0, 0, 0, 0, 0},
	{true, 10, 65, 24, 240, 242, 0, 0},
	{true, 7, 16, 16, 289, 219, 0, 0},
	{true, 10, 51, 26, 262, 133, 2, 0},
	{true, 26, 68, 24, 357, 488, 2, 0},
};

struct frame_style_struct {
	float s, t;
	float shadow_side, shadow_bottom, shadow_top;
	float tile;
	float side, bottom, top;
	int texture;
};

const int first_frame_style = 11;
const frame_style_struct frame_styles[] = {
	{1, 358, 9, 14, 4, 100, 35, 30, 30, interface_tex},   // 11 window background with heading
	{102, 358, 9, 14, 4, 100, 35, 30, 30, interface_tex}, // 12 window background
	{203, 358, 9, 14, 4, 100, 35, 30, 30, interface_tex},
	{304, 358, 9, 14, 4, 100, 35, 30, 30, interface_tex}, // 14 tooltip
	{405, 358, 9, 14, 4, 100, 35, 30, 30, interface_tex}, // 15 progress displays
	{1, 289, 2, 2, 2, 68, 23.8f, 20.4f, 20.4f, interface_tex},
	{70, 315, 8, 13, 2, 42, 20, 26, 14, interface_tex},   // 17 menu
	{113, 315, 8, 13, 2, 42, 14.7f, 12.6f, 12.6f, interface_tex},
	{440, 12, 6, 9, 4, 44, 15.4f, 13.2f, 13.2f, interface_tex},
	{774, 78, 1, 1, 1, 41, 14.35f, 12.3f, 12.3f, installer_tex}, // 20 installer screens
};

// Pictures of the small widgets: texel centres in the interface image.
const float check_s = 148, check_t = 187, check_ticked_t = 206;
const float list_s = 92, list_t = 132, list_selected_t = 151;
const float close_s = 129, close_t = 187, close_pressed_t = 206;
const float picture_half = 9;

// One band along an axis: its position range and the texel range it shows.
struct band_struct {
	float p0, p1, t0, t1;
};

// A fixed first border, `repeats` middle pieces (the last cut where the last border starts) and a
// fixed last border, over [start, start + length), from a strip of first + middle + last texels.
std::vector<band_struct> split_bands(float start, float length, float origin, float first, float middle,
                                     float last, int repeats)
{
	std::vector<band_struct> bands;
	const float end = start + length;
	bands.push_back({start, start + first, origin, origin + first});
	for (int i = 0; i < repeats; ++i) {
		const float p0 = start + first + i * middle;
		// A span shorter than the two borders leaves no room: the piece shrinks to nothing rather
		// than turning inside out.
		const float p1 = std::max(p0, std::min(p0 + middle, end - last));
		bands.push_back({p0, p1, origin + first, origin + first + (p1 - p0)});
	}
	const float last_t = origin + first + middle;
	bands.push_back({end - last, end, last_t, last_t + last});
	return bands;
}

int truncated(float v)
{
	return static_cast<int>(v);
}

float round_half_away(float v)
{
	return std::round(v);
}

bool menu_closed()
{
	return mnw.menu_up == -1;
}

// The label split nearest its middle, or npos when it stays on one line.
size_t label_split_point(const std::string& s)
{
	const long mid = static_cast<long>(s.size() / 2);
	size_t best = std::string::npos;
	for (size_t i = 1; i + 1 < s.size(); ++i)
		if (wrap_point(s[i]) &&
		    (best == std::string::npos || std::labs(static_cast<long>(i) - mid) < std::labs(static_cast<long>(best) - mid)))
			best = i;
	return best;
}

void draw_label_line(float x, float y, int side, const std::string& text, int color)
{
	const int just = side == 0 ? 2 : side == 1 ? 1 : 0;
	OGL_string(color, x, y, text, 0, font_prop, just);
}


} // namespace

void BTN_frame1(int type, float x_center, float y_center, float dx_control, int color)
{
	if (type < 0 || type > 10 || !bar_styles[type].valid) {
		__MACIBM_alert(0, "Bad BTN_frame1 call!", "", "", "", t_exit, "butn", 378);
		return;
	}
	const bar_style_struct& b = bar_styles[type];
	const float xc = round_half_away(x_center);
	const float width = round_half_away(dx_control / 2) * 2 + 2 * b.shadow;
	y_center += b.centre_shift;

	OGL_setstate(1, 1, 3, alpha_blend, 9, 11);
	colr.set_index(color, 1.0f);
	tman.bind_ref(interface_tex, 0, 0);

	const float left = xc - width / 2;
	const float middle = b.strip - 2 * b.border;
	const int repeats = truncated((width - 2 * b.border) / middle) + 1;
	const float y0 = y_center - b.height / 2, y1 = y_center + b.height / 2;
	const float wx = mnw.win_x, wy = mnw.win_y;
	OGL_begin(GL_QUADS);
	for (const band_struct& c : split_bands(left, width, b.s, b.border, middle, b.border, repeats))
		OGL_tex_rect(wx + c.p0, wy + y0, wx + c.p1, wy + y1, c.t0 / interface_size, b.t / interface_size,
		             c.t1 / interface_size, (b.t + b.height) / interface_size);
	OGL_end();
}

void BTN_frame2(int type, float x, float y, float dx, float dy, const std::string& input_label)
{
	if (type < first_frame_style || type > 20) {
		__MACIBM_alert(0, "Bad BTN_frame2 call!", "", "", "", t_exit, "butn", 442);
		return;
	}
	const frame_style_struct& f = frame_styles[type - first_frame_style];
	const float title_x = type == 20 ? x + 10 : x + dx / 2 - str_dx(input_label) / 2;
	const float title_y = type == 11 ? y + dy - 13 : y + dy - 16;

	const float left = x - f.shadow_side, width = dx + 2 * f.shadow_side;
	const float bottom = y - f.shadow_bottom, height = dy + f.shadow_bottom + f.shadow_top;
	const float tex_size = f.texture == installer_tex ? installer_size : interface_size;

	OGL_setstate(1, 1, 3, alpha_blend, 9, 11);
	colr.set_index(0, 1.0f);
	tman.bind_ref(f.texture, 0, 0);

	const float mid_dx = f.tile - 2 * f.side, mid_dy = f.tile - f.bottom - f.top;
	const int col_repeats = truncated((width - 2 * f.side) / mid_dx) + 1;
	const int row_repeats = std::max(0, truncated((height - f.bottom - f.top) / mid_dy)) + 1;
	const std::vector<band_struct> cols = split_bands(left, width, f.s, f.side, mid_dx, f.side, col_repeats);
	const std::vector<band_struct> rows = split_bands(bottom, height, f.t, f.bottom, mid_dy, f.top, row_repeats);
	const float wx = mnw.win_x, wy = mnw.win_y;
	OGL_begin(GL_QUADS);
	for (const band_struct& r : rows)
		for (const band_struct& c : cols)
			OGL_tex_rect(wx + c.p0, wy + r.p0, wx + c.p1, wy + r.p1, c.t0 / tex_size, r.t0 / tex_size,
			             c.t1 / tex_size, r.t1 / tex_size);
	OGL_end();

	const int title_color = type == 15 ? 47 : type == 11 ? 40 : 43;
	OGL_string(title_color, title_x, title_y, input_label, 0, font_prop, 0);
	if (type == 11 && is_closable_panel(mnw.top_win_now)) BTN_zap_boxes(0);
}

void BTN_fillwin(int bar, int fill_type)
{
	BTN_frame2(bar ? 11 : 12, 0, 0, mnw.win_dx, mnw.win_dy, stls.win_name);
	if (fill_type == 1)
		BTN_frame1(1, mnw.win_dx * 0.5f, mnw.win_dy - 50, mnw.win_dx, 0);
	else if (fill_type != 21)
		BTN_frame2(fill_type, 10, 10, mnw.win_dx - 20, mnw.win_dy - 40, "");
}

void BTN_subwin(float tab_dy, int win_type, float x, float y, float dx, float dy, const std::string& str,
                float* x2, float* y2)
{
	if (x < 0) x = 10;
	if (y < 0) y = 10;
	if (dx < 0) dx = mnw.win_dx - 10 - x;
	if (dy < 0) dy = mnw.win_dy - 28 - y - tab_dy;
	BTN_frame2(win_type, x, y, dx, dy, str);
	if (x2) *x2 = x + dx + 10;
	if (y2) *y2 = y + dy + 10;
}

int BTN_action(float x_center, float y_center, float dx_control, int pressed, int show_press,
               const std::string& input_label, const std::string& side_label)
{
	std::string label1, label2, help;
	BTN_expand_label(input_label, &label1, &label2, &help);
	const float width = dx_control <= 0 ? str_dx(input_label) + 21 : dx_control;
	const float text_y = y_center - 3;

	BTN_frame1(2, x_center, y_center, width, 0);
	if (pressed) BTN_frame1(3, x_center, y_center, width, 0);
	BTN_util_draw_label(x_center, text_y, 1, label1, show_press == 2 && pressed);
	if (side_label != "-") OGL_string(45, x_center + width / 2 + 10, text_y + 10, side_label, 500, font_prop, 0);

	if (!menu_closed() || !mnw.mouse_clicked) return 0;
	if (!mouse_in_box(x_center - width / 2, y_center - 10, x_center + width / 2, y_center + 10)) return 0;
	if (!pressed && show_press) {
		// The pressed look reaches the screen before the action, which may take a while.
		BTN_frame1(3, x_center, y_center, width, 0);
		BTN_util_draw_label(x_center, text_y, 1, label1, 0);
		OGL_sbuff();
	}
	return 1;
}

int BTN_bool(float x, float y, int* var, const std::string& input_label, int is_list_sel)
{
	std::string label1, label2, help;
	BTN_expand_label(input_label, &label1, &label2, &help);
	const float s = is_list_sel ? list_s : check_s;
	BTN_util_element(x, y + 3, s, is_list_sel ? list_t : check_t, picture_half, picture_half, 0);
	if (*var)
		BTN_util_element(x, y + 3, s, is_list_sel ? list_selected_t : check_ticked_t, picture_half, picture_half, 0);
	BTN_util_draw_label(x - 12, y, 0, label1, 0);
	BTN_util_draw_label(x + 12, y, 2, label2, 0);

	if (!menu_closed() || !mouse_in_box(x - 8, y - 4, x + 8, y + 12)) return 0;
	stls.help_message = help;
	if (!mnw.mouse_clicked) return 0;
	*var = *var == 0;
	return 1;
}

int BTN_is_int(float x, float y, int* var, int target, const std::string& input_label)
{
	int flag = *var == target;
	const int clicked = BTN_bool(x, y, &flag, input_label, 1);
	if (flag) *var = target;
	return clicked;
}

int BTN_zap_boxes(int pressed)
{
	const float y = mnw.win_dy - 10;
	for (float x : {16.0f, mnw.win_dx - 16}) {
		BTN_util_element(x, y, close_s, pressed ? close_pressed_t : close_t, picture_half, picture_half, 0);
		if (menu_closed() && mnw.mouse_clicked && mouse_in_box(x - picture_half, y - picture_half, x + picture_half, y + picture_half))
			return 1;
	}
	return 0;
}

void BTN_util_element(float xc, float yc, float sc, float tc, float sdx, float sdy, int color)
{
	const float s1 = (sc - sdx) / interface_size, s2 = (sc + sdx) / interface_size;
	const float t1 = (tc - sdy) / interface_size, t2 = (tc + sdy) / interface_size;
	const float x1 = xc - sdx, x2 = xc + sdx, y1 = yc - sdy, y2 = yc + sdy;
	OGL_2dquad(interface_tex, color, 1.0f, x1, y1, s1, t1, x1, y2, s1, t2, x2, y2, s2, t2, x2, y1, s2, t1, 1,
	           alpha_blend);
}

void BTN_util_draw_label(float x, float y, int side, const std::string& input_label, int is_red)
{
	if (input_label.empty()) return;
	const int color = is_red ? 81 : 43;
	if (input_label[0] == '-') {
		draw_label_line(x, y, side, input_label.substr(1), color);
		return;
	}
	const size_t split = side != 1 && input_label.size() > 12 ? label_split_point(input_label) : std::string::npos;
	if (split == std::string::npos) {
		draw_label_line(x, y, side, input_label, color);
		return;
	}
	draw_label_line(x, y + 5, side, input_label.substr(0, split), color);
	draw_label_line(x, y - 5, side, input_label.substr(split + 1), color);
}

void BTN_expand_label(const std::string& input_label, std::string* label1, std::string* label2,
                      std::string* help)
{
	const size_t brace = std::min(input_label.rfind('{'), input_label.size());
	const size_t found_bar = input_label.rfind('|');
	const size_t bar = found_bar == std::string::npos ? brace : found_bar;
	*label1 = input_label.substr(0, bar);
	*label2 = bar < brace ? input_label.substr(bar + 1, brace - bar - 1) : "";
	*help = brace + 1 < input_label.size() ? input_label.substr(brace + 1) : "";
}

void BTN_begin_focus_ring()
{
	focus_ring.clear();
}

void BTN_unfocus_any()
{
	focus_id = 0;
	wind_focus = -1;
}

int BTN_dispatch_to_focus(int charcode, int vkey, int flags)
{
	if (mnw.top_win_now == 995 || focus_id == 0 || wind_focus != mnw.top_win_now) return 0;
	for (const focus_info_t& f : focus_ring) {
		if (f.id != focus_id || std::find(f.keys.begin(), f.keys.end(), vkey) == f.keys.end()) continue;
		*f.char_slot = charcode;
		*f.vkey_slot = vkey;
		*f.flag_slot = flags;
		return 1;
	}
	return 0;
}
