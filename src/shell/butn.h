#pragma once
// The widgets: immediate-mode functions that draw themselves from pieces of the interface image each
// frame and report what the user did to them in that frame. Positions are relative to the top window.
#include <string>
#include <vector>

// A bar: the strip of style `type` (0-10, not 6) centred on (x_center, y_center), tinted with `color`.
void BTN_frame1(int type, float x_center, float y_center, float dx_control, int color);
// A frame of style `type` (11-20) around the rectangle with lower left (x, y), titled `input_label`.
void BTN_frame2(int type, float x, float y, float dx, float dy, const std::string& input_label);
// The background of the current top window.
void BTN_fillwin(int bar, int fill_type);
// A frame inside the window; negative arguments take the window's defaults. *x2, *y2 (when given)
// receive the right and top edges plus 10.
void BTN_subwin(float tab_dy, int win_type, float x, float y, float dx, float dy, const std::string& str,
                float* x2 = nullptr, float* y2 = nullptr);
// Push button; 1 when clicked this frame. dx_control <= 0 sizes it to its label.
int BTN_action(float x_center, float y_center, float dx_control, int pressed, int show_press,
               const std::string& input_label, const std::string& side_label);
// Check box (or list-selection box) that toggles *var; 1 when clicked this frame.
int BTN_bool(float x, float y, int* var, const std::string& input_label, int is_list_sel);
// List-selection box, selected while *var == target; clicking it selects it.
int BTN_is_int(float x, float y, int* var, int target, const std::string& input_label);
// The two close boxes of a closable panel; 1 when one was clicked this frame.
int BTN_zap_boxes(int pressed);
// One picture of the interface image: texels centred on (sc, tc) with half-extents (sdx, sdy), drawn
// at the same size centred on (xc, yc).
void BTN_util_element(float xc, float yc, float sc, float tc, float sdx, float sdy, int color);
// Label text at a widget. side: 0 right-aligned ending at x, 1 centred, 2 left-aligned from x.
void BTN_util_draw_label(float x, float y, int side, const std::string& input_label, int is_red);
// Splits "label1|label2{help" into its parts.
void BTN_expand_label(const std::string& input_label, std::string* label1, std::string* label2,
                      std::string* help);

// The keyboard focus ring: widgets that take keys join it each frame. A key offered to the focused
// widget is written into its slots for it to read in the next frame.
struct focus_info_t {
	int id;                // the widget
	int* char_slot;        // receives the character
	int* vkey_slot;        // receives the toolkit key code
	int* flag_slot;        // receives the flags
	std::vector<int> keys; // the key codes it accepts
};

extern std::vector<focus_info_t> focus_ring;
extern int focus_id;   // the focused widget, 0 for none
extern int wind_focus; // the top window that holds the focus

void BTN_begin_focus_ring();
void BTN_unfocus_any();
// Offers a key to the focused widget; non-zero when it took the key.
int BTN_dispatch_to_focus(int charcode, int vkey, int flags);
