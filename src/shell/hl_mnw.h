#pragma once
// The window and input state, the top windows and the menu table.
#include <string>
#include <vector>

struct sys_event_struct;

class mnw_class {
public:
	int alias_req = 0, alias_act = 0;
	int current_con = 0;
	int pixel_format = 0;
	void* window[2] = {};
	void* context[2] = {};
	void* dc[2] = {};
	int sec_mon_inuse = 0, sec_mon_inited = 0;
	int top_win_cmnd = 0, top_win_now = 0, top_win_mouse = 0;
	int is_modal = 0;
	float win_x = 0, win_y = 0, win_dx = 0, win_dy = 0;
	int cursor_type = 0;
	int menu_up = 0;
	int x_res_now = 0, y_res_now = 0, col_res_now = 0;
	int set_res = 0, tex_res = 0, x_res_req = 0, y_res_req = 0, col_res_req = 0;
	float x_ctr = 0, y_ctr = 0, extra_sx = 0, extra_ty = 0;
	int set_app_to_monitor = 0;
	float x1_pix = 0, y1_pix = 0, x2_pix = 0, y2_pix = 0;
	float xy_scale_coc = 0, xy_scale_now = 0;
	float mx = 0, my = 0;
	int mouse_clicked = 0, mouse_did_click = 0, mouse_double_clicked = 0, mouse_lifted = 0;
	int now_dragging = 0, delay_dragging = 0;
	int mouse_wheel = 0;
	int key_hit = 0, key_pressed = 0;
	float m_move_time = 0, m_down_time = 0;
	int any_key_is_down = 0;
	int lang = 0;
	int typing_message = 0;
	int prefs_found = 0;
	int track_cpu = 0;      // the frame profiler writes to the log while set
	int keylist_up = 1;
	int p_dragging = -1;
};

struct item_struct {
	std::string item_name;
	int item_code = 0;
	signed char is_korean = 0;
	short itemx1 = 0, itemy1 = 0, itemx2 = 0, itemy2 = 0;
};

struct menu_struct {
	std::string menu_name;
	int menu_prnt = 0;
	short menux1 = 0, menuy1 = 0, menux2 = 0, menuy2 = 0;
	std::vector<item_struct> item;
};

extern mnw_class mnw;
extern int OS_mouse_showing;
extern int win_started;
extern int app_done;
extern int plot_init_lights;
extern int return_hit, escape_hit, delete_hit;
extern std::vector<menu_struct> menu;
extern int active_popup_code, select_popup_code, popup_menu_select;
extern float m_x1, m_y1, m_x2, m_y2;

void IBM_handlewin(const sys_event_struct& ev);
void MACIBM_startwind(int top_win_new, int unused);
void MACIBM_handleclick(int enter_close);
void MACIBM_clear_menus(int level);
void standard_gui();
void mouse_help_per_wind(int top_win_new);
float menu_dx(const std::string& s);
// The mouse lies inside the box (bounds included), in the current top window's units.
bool mouse_in_box(float x1, float y1, float x2, float y2);
// Panels that close through their corner boxes or the Enter key: all but the main screen and 995-999.
bool is_closable_panel(int win);
void APP_handlemenu(int item_code);

// One frame of the program (the main loop).
void MACIBM_event_proc();
// Called once a frame, after the frame is drawn and before it is shown; null when nobody listens.
// It lets a driver (a scripted test, an unattended run) look at the frame and queue the next input.
extern void (*MACIBM_frame_hook)();
