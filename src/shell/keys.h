#pragma once
// The keyboard handler: key events become toolkit key codes with modifier flags, the one-frame
// pulses for Enter, Escape and Delete, and presses of the commands bound to keys.
#include <vector>

struct sys_event_struct;

// Modifier and transition flags of a key.
enum {
	qrkb_ShiftFlag = 1,
	qrkb_OptionAltFlag = 2,
	qrkb_ControlFlag = 4,
	qrkb_DownFlag = 8, // the key went down (not an auto-repeat)
	qrkb_UpFlag = 16,  // the key came up
};
const int qrkb_ModifierFlags = qrkb_ShiftFlag | qrkb_OptionAltFlag | qrkb_ControlFlag;

// Toolkit key codes: the PC keyboard's virtual-key codes, with the punctuation keys moved.
enum {
	QRKB_VK_BACK = 0x08,
	QRKB_VK_TAB = 0x09,
	QRKB_VK_RETURN = 0x0D,
	QRKB_VK_ESCAPE = 0x1B,
	QRKB_VK_LEFT = 0x25,
	QRKB_VK_UP = 0x26,
	QRKB_VK_RIGHT = 0x27,
	QRKB_VK_DOWN = 0x28,
	QRKB_VK_DELETE = 0x2E,
	QRKB_VK_NUMPAD0 = 0x60,
	QRKB_VK_NUMPAD9 = 0x69,
	QRKB_VK_DECIMAL = 0x6E,
	QRKB_VK_EQUAL = 0xB0,
	QRKB_VK_MINUS = 0xB1,
	QRKB_VK_RBRACE = 0xB2,
	QRKB_VK_LBRACE = 0xB3,
	QRKB_VK_QUOTE = 0xB4,
	QRKB_VK_SEMICOLON = 0xB5,
	QRKB_VK_BACKSLASH = 0xB6,
	QRKB_VK_COMMA = 0xB7,
	QRKB_VK_SLASH = 0xB8,
	QRKB_VK_PERIOD = 0xB9,
	QRKB_VK_BACKQUOTE = 0xBA,
	QRKB_VK_ENTER = 0xBB,
};

// Virtual key to toolkit key code; 0 for keys the toolkit does not know.
extern const unsigned char qrkb_Key_Map[256];

struct key_binding {
	int vkey;  // toolkit key code
	int flag;  // the modifier flags that must be held
	int cmnd;  // command index
	int hold;  // 1 between the bound key's down and up
};

class keys_class {
public:
	int global_vkey_hit = 0;  // key code of the last key handled
	int global_flag_hit = 0;  // its flags
	std::vector<key_binding> key_bindings;
	int ShiftToggle = 0, ControlToggle = 0, OptionKeyToggle = 0;

	// One key-down or key-up message of the window; 1 when it was handled, 0 when it was ignored.
	int handle_key_raw(const sys_event_struct& ev);
	void execute_key_cmnd(int vkey, int flags);
	// Once per frame: the command of every held binding is pressed again.
	void run_repeat_keys();
	// 0 loads the default bindings of the command table; 1 (save) writes nothing.
	void keys_io(int save);
};

extern keys_class keys;
