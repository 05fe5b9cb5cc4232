#pragma once
// The window's input, as the few kinds of message the window procedure knows.

enum sys_event_type {
	sys_ev_create,
	sys_ev_paint,
	sys_ev_close,
	sys_ev_key_down,
	sys_ev_key_up,
	sys_ev_mouse_move,
	sys_ev_button_down,
	sys_ev_button_up,
	sys_ev_wheel,
};

struct sys_event_struct {
	int type = sys_ev_paint;
	int x = 0, y = 0;   // mouse position in pixels from the window's upper left corner
	int wheel = 0;      // wheel movement, 120 to a notch
	int keycode = 0;    // SDL keycode of a key message
	int scancode = 0;   // SDL scancode of a key message
	int mods = 0;       // SDL modifier state of a key message
	int repeat = 0;     // the key message is an automatic repeat
};

void sys_post_create();                     // queues the creation message of a new window
bool sys_peek_event(sys_event_struct& ev);  // takes the next message, never waits
void sys_wait_event(int ms);                // waits up to ms for any message, takes none
void sys_request_close();                   // asks the program to end, as closing the window does
