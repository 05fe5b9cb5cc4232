#pragma once
// Key events of the window system, described the way the toolkit's keyboard handler reads them: the
// virtual-key code, scan code and extended flag of the PC keyboard, and the character the key
// produces with the modifiers and lock keys held.

struct sys_event_struct;

struct sys_key_struct {
	int down = 0;      // 1 the key went down, 0 it came up
	int repeat = 0;    // a key-down sent while the key is held
	int vkey = 0;      // virtual-key code (0x41 'A', 0x0D Return, 0x25 left arrow ...), 0 when unknown
	int scan = 0;      // scan code (0x2A left Shift, 0x1D Control, 0x38 Alt, 0x3A Caps Lock ...)
	int extended = 0;  // the extended-key flag (right-hand modifiers, arrows, keypad Enter ...)
	int character = 0; // what the keyboard layout produces (Shift, Caps Lock and Control applied); 0 none
};

// A key-down or key-up message of the window.
sys_key_struct sys_translate_key(const sys_event_struct& ev);
