#include "shell/hl_mnw.h"

#include <cmath>

#include "installer/main.h"
#include "installer/stg.h"
#include "platform/sys_events.h"
#include "platform/sys_video.h"
#include "runtime/HL_THREAD.h"
#include "runtime/xtim.h"
#include "shell/butn.h"
#include "shell/hl_alert.h"
#include "shell/hl_init.h"
#include "shell/keys.h"
#include "shell/oglp.h"
#include "textures/tman.h"

mnw_class mnw;
int OS_mouse_showing = 1;
int win_started = 0;
int app_done = 0;
int plot_init_lights = 0;
int return_hit = 0, escape_hit = 0, delete_hit = 0;
std::vector<menu_struct> menu;
int active_popup_code = 0, select_popup_code = 0, popup_menu_select = 0;
float m_x1 = 0, m_y1 = 0, m_x2 = 0, m_y2 = 0;
void (*MACIBM_frame_hook)() = nullptr;

static const int popup_slot = 1519;

struct top_win_struct {
	int id;
	int title_entry; // -1: the fixed title below
	const char* title;
	float dx, dy;
};

static const top_win_struct top_windows[] = {
	{1, -1, "EULA", 500, 300},   {2, -1, "Prefs", 600, 380},  {993, -1, "Livery", 561, 474},
	{994, 612, "", 600, 300},    {995, 600, "", 420, 250},    {996, 601, "", 300, 166},
	{997, 601, "", 700, 146},    {998, 613, "", 561, 474},    {999, 76, "", 330, 474},
};

void IBM_handlewin(const sys_event_struct& ev)
{
	switch (ev.type) {
	case sys_ev_create: have_created_ibm_win = 1; break;
	case sys_ev_paint: MACIBM_startwind(mnw.top_win_now, 0); break;
	case sys_ev_close: app_done = 1; break;
	case sys_ev_key_down:
		keys.handle_key_raw(ev);
		mnw.key_hit = 1;
		mnw.any_key_is_down = 1;
		break;
	case sys_ev_key_up:
		mnw.any_key_is_down = 0;
		keys.handle_key_raw(ev);
		break;
	case sys_ev_mouse_move:
		mnw.mx = float(unsigned(ev.x) & 0xFFFF) / mnw.xy_scale_now;
		mnw.my = float(unsigned(mnw.y_res_now - ev.y) & 0xFFFF) / mnw.xy_scale_now;
		mnw.top_win_mouse = mnw.top_win_cmnd;
		mnw.mx -= mnw.win_x;
		mnw.my -= mnw.win_y;
		break;
	case sys_ev_button_down:
		mnw.mouse_clicked = 1;
		MACIBM_handleclick(0);
		break;
	case sys_ev_button_up: mnw.mouse_lifted = 1; break;
	case sys_ev_wheel: mnw.mouse_wheel += ev.wheel / 120; break;
	}
}

// Centres a panel of size `size` on a surface of `res` pixels; a panel larger than the surface sits at 0.
static float centre_origin(int res, float size)
{
	float h = (res - size * mnw.xy_scale_now) * 0.5f;
	float n = std::round(h);
	float origin = std::trunc(n / mnw.xy_scale_now);
	return origin > 0 ? origin : 0;
}

void MACIBM_startwind(int top_win_new, int)
{
	plot_init_lights = 1;
	mouse_help_per_wind(top_win_new);
	OGL_viewport(2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1.0f, 0);
	mnw.win_dx = float(mnw.x_res_now);
	mnw.win_dy = float(mnw.y_res_now);
	mnw.is_modal = 0;
	for (const top_win_struct& t : top_windows) {
		if (t.id != top_win_new) continue;
		stls.win_name = t.title_entry < 0 ? t.title : stls.text[t.title_entry];
		mnw.win_dx = t.dx;
		mnw.win_dy = t.dy;
		mnw.is_modal = 1;
	}
	BTN_unfocus_any();
	mnw.menu_up = -1;
	mnw.top_win_now = mnw.top_win_cmnd = top_win_new;
	mnw.win_x = centre_origin(mnw.x_res_now, mnw.win_dx);
	mnw.win_y = centre_origin(mnw.y_res_now, mnw.win_dy);
	mnw.now_dragging = mnw.mouse_clicked = mnw.mouse_wheel = 0;
	if (menu.size() > popup_slot) menu[popup_slot].menux1 = menu[popup_slot].menuy1 = menu[popup_slot].menux2 = menu[popup_slot].menuy2 = -1;
}

bool mouse_in_box(float x1, float y1, float x2, float y2)
{
	return x1 <= mnw.mx && mnw.mx <= x2 && y1 <= mnw.my && mnw.my <= y2;
}

bool is_closable_panel(int win) { return win != 0 && !(win >= 995 && win <= 999); }

static bool route_to_menu_titles()
{
	for (int i = 0; i < popup_slot && i < int(menu.size()); ++i) {
		const menu_struct& m = menu[i];
		if (m.menu_prnt != -1 && m.menu_prnt != mnw.menu_up) continue;
		if (!mouse_in_box(m.menux1, m.menuy1, m.menux2, m.menuy2)) continue;
		mnw.menu_up = (mnw.menu_up == i) ? -1 : i;
		mnw.mouse_clicked = 0;
		return true;
	}
	return false;
}

static bool route_to_menu_items()
{
	if (mnw.menu_up < 0 || mnw.menu_up >= int(menu.size())) return false;
	const std::vector<item_struct>& items = menu[mnw.menu_up].item;
	for (size_t k = 0; k < items.size(); ++k) {
		const item_struct& it = items[k];
		if (it.item_name.empty() || it.item_name[0] == '-' || it.item_name[0] == '=') continue;
		if (!mouse_in_box(it.itemx1, it.itemy1, it.itemx2, it.itemy2)) continue;
		if (mnw.menu_up == popup_slot) {
			popup_menu_select = int(k);
			select_popup_code = active_popup_code;
			active_popup_code = 0;
		} else {
			APP_handlemenu(it.item_code);
		}
		mnw.menu_up = -1;
		mnw.mouse_clicked = 0;
		return true;
	}
	return false;
}

void MACIBM_handleclick(int enter_close)
{
	if (is_closable_panel(mnw.top_win_now)) {
		bool in_left = mouse_in_box(0, mnw.win_dy - 20, 25, mnw.win_dy);
		bool in_right = mouse_in_box(mnw.win_dx - 25, mnw.win_dy - 20, mnw.win_dx, mnw.win_dy);
		if (enter_close || in_left || in_right) {
			BTN_zap_boxes(1);
			OGL_sbuff();
			return_hit = 0;
			MACIBM_startwind(0, 0);
			return;
		}
	}
	if (mnw.top_win_now == 0 && route_to_menu_titles()) return;
	if (route_to_menu_items()) return;
	mnw.menu_up = -1;
}

void MACIBM_clear_menus(int level)
{
	if (level != 1) return;
	menu.assign(popup_slot + 1, menu_struct());
}

void APP_handlemenu(int) {}

float menu_dx(const std::string& s)
{
	return mnw.lang == 6 ? 8.0f * float(s.size()) : str_dx(s);
}

// The installer defines no menus, so an empty table draws nothing; the bar and items appear only for
// menus that exist.
void standard_gui()
{
	if (mnw.menu_up < 0 || mnw.menu_up >= int(menu.size()) || menu[mnw.menu_up].menu_name.empty()) return;
	if (mnw.menu_up != popup_slot) BTN_frame1(0, mnw.x_res_now * 0.5f, mnw.y_res_now - 9.0f, float(mnw.x_res_now), 0);
}

static void draw_tooltip()
{
	const std::string& text = stls.help_message;
	float h = float((int(text.size()) / 50) * 10 + 20);
	h = h < 60 ? 60 : (h > 300 ? 300 : h);
	float x = mnw.mx - 415;
	if (x < 10 - mnw.win_x) x = 10 - mnw.win_x;
	if (x > mnw.x_res_now - 10 - mnw.win_x - 400) x = mnw.x_res_now - 10 - mnw.win_x - 400;
	float y = mnw.my + 15;
	if (y < 10 - mnw.win_y) y = 10 - mnw.win_y;
	if (y > mnw.y_res_now - 20 - mnw.win_y - h) y = mnw.y_res_now - 20 - mnw.win_y - h;
	BTN_frame2(14, x - 10, y - 10, 420, h + 20, "");
	OGL_string(47, x + 3, y + h - 10, text, 394, 100, 0);
}

void mouse_help_per_wind(int top_win_new)
{
	float t = xtim.real_time;
	if (!stls.help_message.empty() && t - mnw.m_move_time > 1.0f) draw_tooltip();
	stls.help_message.clear();
	xtim.profile_chart("help", 0);
	if (t - mnw.m_move_time >= 10.0f && mnw.top_win_now == 0) mnw.cursor_type = 2;
	if (top_win_new >= 993 && top_win_new <= 999) mnw.cursor_type = 0;
	if (mnw.cursor_type > 1 && OS_mouse_showing) {
		sys_show_cursor(false);
		OS_mouse_showing = 0;
	}
	if (mnw.cursor_type < 2 && !OS_mouse_showing) {
		sys_show_cursor(true);
		OS_mouse_showing = 1;
	}
}

// Drains the window's messages through the window procedure; true when there was at least one.
static bool drain_messages()
{
	bool any = false;
	sys_event_struct ev;
	while (sys_peek_event(ev)) {
		IBM_handlewin(ev);
		any = true;
	}
	return any;
}

static void report_texture_failures()
{
	static const char* const line3 = "Please see the log.txt file for a detailed list of missing files.";
	if (tman.has_scene_load_fail()) {
		__MACIBM_alert(0, "Some scenery textures could not be loaded.",
		               "This may be an installation problem or you may have a damaged add-on scenery package.", line3, "",
		               t_alert, "hl_mnw", 1556);
		tman.mute_scene_load_fail();
	}
	if (tman.has_plane_load_fail()) {
		__MACIBM_alert(0, "Some textures for the aircraft you selected could not be loaded.",
		               "This may be an installation problem or you may have a damaged add-on aircraft package.", line3, "",
		               t_alert, "hl_mnw", 1557);
		tman.mute_plane_load_fail();
	}
	if (tman.has_instl_load_fail()) {
		__MACIBM_alert(0, "Some textures could not be loaded.",
		               "This may be an installation problem.  Run the installer/updater again to get these missing textures.",
		               line3, "", t_alert, "hl_mnw", 1558);
		tman.mute_instl_load_fail();
	}
}

// Sliding along the menu bar while a menu is open switches to the menu under the mouse.
static void follow_menu_hover()
{
	if (mnw.menu_up < 0) return;
	for (int i = 0; i < popup_slot && i < int(menu.size()); ++i) {
		const menu_struct& m = menu[i];
		if (i == mnw.menu_up || m.menu_prnt != -1 || m.menu_name.empty()) continue;
		if (mouse_in_box(m.menux1, m.menuy1, m.menux2, m.menuy2)) {
			MACIBM_handleclick(0);
			return;
		}
	}
}

void MACIBM_event_proc()
{
	xtim.profile_chart("init", 0);
	return_hit = escape_hit = delete_hit = 0;
	mnw.mouse_clicked = mnw.mouse_lifted = mnw.key_hit = 0;
	if (mnw.top_win_now == -1) mnw.top_win_now = 0;
	if (!win_started) {
		win_started = 1;
		MACIBM_startwind(mnw.top_win_now, 0);
	}
	xtim.profile_chart("startwin", 0);
	int wait_allowance = stg.use_max_cpu ? 0 : 1;
	if (mnw.top_win_now == 995) wait_allowance = 10;
	xtim.profile_chart("event1", 0);
	bool handled = drain_messages();
	xtim.profile_chart("event2", 0);
	if (!handled && wait_allowance > 0) {
		sys_wait_event(wait_allowance * 16);
		xtim.profile_chart("event3", 0);
		drain_messages();
		xtim.profile_chart("event4", 0);
	}
	xtim.profile_chart("event", 0);
	xtim.profile_chart("netlist", 0);
	if (mnw.top_win_now == 0) {
		THREAD_check_exception(1);
		report_texture_failures();
	}
	xtim.xtim_update();
	keys.run_repeat_keys();
	mnw.cursor_type = 0;
	follow_menu_hover();
	xtim.profile_chart("menu", 0);
	BTN_begin_focus_ring();
	if (mnw.is_modal == 0) APP_update();
	mouse_help_per_wind(mnw.top_win_now);
	standard_gui();
	if (MACIBM_frame_hook) MACIBM_frame_hook();
	OGL_sbuff();
	xtim.profile_chart("sbuff", 0);
	xtim.total_frames += 1;
	xtim.profile_chart("oglwork", 0);
	xtim.profile_chart("finish", 1);
}
