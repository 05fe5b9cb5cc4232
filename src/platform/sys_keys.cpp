#include "platform/sys_keys.h"

#include <SDL2/SDL.h>

#include "platform/sys_events.h"

#include <array>
#include <cstring>

namespace {

struct key_place_struct {
	unsigned char vkey, scan, extended;
	char plain; // the character on an unshifted US keyboard, 0 none
};

const int key_count = SDL_NUM_SCANCODES;

// Keypad keys change their virtual key with Num Lock: the digit codes while it is on, the
// navigation codes while it is off.
struct keypad_struct {
	SDL_Scancode code;
	unsigned char numlock_vkey, nav_vkey, scan;
};

const keypad_struct keypad[] = {
	{SDL_SCANCODE_KP_0, 0x60, 0x2D, 0x52}, {SDL_SCANCODE_KP_1, 0x61, 0x23, 0x4F},
	{SDL_SCANCODE_KP_2, 0x62, 0x28, 0x50}, {SDL_SCANCODE_KP_3, 0x63, 0x22, 0x51},
	{SDL_SCANCODE_KP_4, 0x64, 0x25, 0x4B}, {SDL_SCANCODE_KP_5, 0x65, 0x0C, 0x4C},
	{SDL_SCANCODE_KP_6, 0x66, 0x27, 0x4D}, {SDL_SCANCODE_KP_7, 0x67, 0x24, 0x47},
	{SDL_SCANCODE_KP_8, 0x68, 0x26, 0x48}, {SDL_SCANCODE_KP_9, 0x69, 0x21, 0x49},
	{SDL_SCANCODE_KP_PERIOD, 0x6E, 0x2E, 0x53},
};

const std::array<key_place_struct, key_count> key_places = [] {
	std::array<key_place_struct, key_count> t{};
	const auto put = [&](int code, int vkey, int scan, int extended, char plain) {
		t[code] = {static_cast<unsigned char>(vkey), static_cast<unsigned char>(scan),
		           static_cast<unsigned char>(extended), plain};
	};
	const unsigned char letter_scans[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
	                                        0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
	                                        0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
	for (int i = 0; i < 26; ++i) put(SDL_SCANCODE_A + i, 'A' + i, letter_scans[i], 0, static_cast<char>('a' + i));
	for (int i = 0; i < 9; ++i) put(SDL_SCANCODE_1 + i, '1' + i, 0x02 + i, 0, static_cast<char>('1' + i));
	put(SDL_SCANCODE_0, '0', 0x0B, 0, '0');
	put(SDL_SCANCODE_RETURN, 0x0D, 0x1C, 0, '\r');
	put(SDL_SCANCODE_ESCAPE, 0x1B, 0x01, 0, 27);
	put(SDL_SCANCODE_BACKSPACE, 0x08, 0x0E, 0, 8);
	put(SDL_SCANCODE_TAB, 0x09, 0x0F, 0, '\t');
	put(SDL_SCANCODE_SPACE, 0x20, 0x39, 0, ' ');
	put(SDL_SCANCODE_MINUS, 0xBD, 0x0C, 0, '-');
	put(SDL_SCANCODE_EQUALS, 0xBB, 0x0D, 0, '=');
	put(SDL_SCANCODE_LEFTBRACKET, 0xDB, 0x1A, 0, '[');
	put(SDL_SCANCODE_RIGHTBRACKET, 0xDD, 0x1B, 0, ']');
	put(SDL_SCANCODE_BACKSLASH, 0xDC, 0x2B, 0, '\\');
	put(SDL_SCANCODE_NONUSHASH, 0xDC, 0x2B, 0, '\\');
	put(SDL_SCANCODE_SEMICOLON, 0xBA, 0x27, 0, ';');
	put(SDL_SCANCODE_APOSTROPHE, 0xDE, 0x28, 0, '\'');
	put(SDL_SCANCODE_GRAVE, 0xC0, 0x29, 0, '`');
	put(SDL_SCANCODE_COMMA, 0xBC, 0x33, 0, ',');
	put(SDL_SCANCODE_PERIOD, 0xBE, 0x34, 0, '.');
	put(SDL_SCANCODE_SLASH, 0xBF, 0x35, 0, '/');
	put(SDL_SCANCODE_NONUSBACKSLASH, 0xE2, 0x56, 0, '\\');
	put(SDL_SCANCODE_CAPSLOCK, 0x14, 0x3A, 0, 0);
	const unsigned char f_scans[12] = {0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, 0x41, 0x42, 0x43, 0x44, 0x57, 0x58};
	for (int i = 0; i < 12; ++i) put(SDL_SCANCODE_F1 + i, 0x70 + i, f_scans[i], 0, 0);
	const unsigned char f13_scans[12] = {0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x76};
	for (int i = 0; i < 12; ++i) put(SDL_SCANCODE_F13 + i, 0x7C + i, f13_scans[i], 0, 0);
	put(SDL_SCANCODE_PRINTSCREEN, 0x2C, 0x37, 1, 0);
	put(SDL_SCANCODE_SCROLLLOCK, 0x91, 0x46, 0, 0);
	put(SDL_SCANCODE_PAUSE, 0x13, 0x45, 0, 0);
	put(SDL_SCANCODE_INSERT, 0x2D, 0x52, 1, 0);
	put(SDL_SCANCODE_HOME, 0x24, 0x47, 1, 0);
	put(SDL_SCANCODE_PAGEUP, 0x21, 0x49, 1, 0);
	put(SDL_SCANCODE_DELETE, 0x2E, 0x53, 1, 0);
	put(SDL_SCANCODE_END, 0x23, 0x4F, 1, 0);
	put(SDL_SCANCODE_PAGEDOWN, 0x22, 0x51, 1, 0);
	put(SDL_SCANCODE_RIGHT, 0x27, 0x4D, 1, 0);
	put(SDL_SCANCODE_LEFT, 0x25, 0x4B, 1, 0);
	put(SDL_SCANCODE_DOWN, 0x28, 0x50, 1, 0);
	put(SDL_SCANCODE_UP, 0x26, 0x48, 1, 0);
	put(SDL_SCANCODE_NUMLOCKCLEAR, 0x90, 0x45, 1, 0);
	put(SDL_SCANCODE_KP_DIVIDE, 0x6F, 0x35, 1, '/');
	put(SDL_SCANCODE_KP_MULTIPLY, 0x6A, 0x37, 0, '*');
	put(SDL_SCANCODE_KP_MINUS, 0x6D, 0x4A, 0, '-');
	put(SDL_SCANCODE_KP_PLUS, 0x6B, 0x4E, 0, '+');
	put(SDL_SCANCODE_KP_ENTER, 0x0D, 0x1C, 1, '\r');
	for (const keypad_struct& k : keypad) put(k.code, k.nav_vkey, k.scan, 0, 0);
	put(SDL_SCANCODE_APPLICATION, 0x5D, 0x5D, 1, 0);
	put(SDL_SCANCODE_LCTRL, 0x11, 0x1D, 0, 0);
	put(SDL_SCANCODE_LSHIFT, 0x10, 0x2A, 0, 0);
	put(SDL_SCANCODE_LALT, 0x12, 0x38, 0, 0);
	put(SDL_SCANCODE_LGUI, 0x5B, 0x5B, 1, 0);
	put(SDL_SCANCODE_RCTRL, 0x11, 0x1D, 1, 0);
	put(SDL_SCANCODE_RSHIFT, 0x10, 0x36, 0, 0);
	put(SDL_SCANCODE_RALT, 0x12, 0x38, 1, 0);
	put(SDL_SCANCODE_RGUI, 0x5C, 0x5C, 1, 0);
	return t;
}();

// Shifted characters of a US keyboard.
char shifted(char c)
{
	static const char plain[] = "1234567890-=[]\\;',./`";
	static const char shift[] = "!@#$%^&*()_+{}|:\"<>?~";
	if (c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
	const char* p = c ? std::strchr(plain, c) : nullptr;
	return p ? shift[p - plain] : c;
}

// Control turns the characters @ A-Z [ \ ] ^ _ into the control codes 0-31 and Return into line
// feed, Backspace into DEL; it leaves Escape, Tab and space alone and silences everything else.
char controlled(char c)
{
	if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
	if (c >= '@' && c <= '_') return static_cast<char>(c & 0x1F);
	if (c == '\r') return '\n';
	if (c == 8) return 127;
	if (c == 27 || c == '\t' || c == ' ') return c;
	return 0;
}

bool is_letter(SDL_Keycode k)
{
	return k >= 'a' && k <= 'z';
}

} // namespace

sys_key_struct sys_translate_key(const sys_event_struct& ev)
{
	sys_key_struct key;
	key.down = ev.type == sys_ev_key_down;
	key.repeat = key.down && ev.repeat != 0;
	const int code = ev.scancode;
	if (code < 0 || code >= key_count) return key;
	const key_place_struct& place = key_places[code];
	key.vkey = place.vkey;
	key.scan = place.scan;
	key.extended = place.extended;
	const int mod = ev.mods;
	for (const keypad_struct& k : keypad)
		if (k.code == code && (mod & KMOD_NUM)) key.vkey = k.numlock_vkey;

	// Letters follow the layout (an AZERTY 'A' is the 'A' key); other keys keep their place.
	char c = place.plain;
	if (is_letter(ev.keycode)) {
		c = static_cast<char>(ev.keycode);
		key.vkey = c - 'a' + 'A';
	}
	const bool shift = (mod & KMOD_SHIFT) != 0;
	const bool caps = (mod & KMOD_CAPS) != 0 && is_letter(c);
	if (shift != caps) c = shifted(c);
	if (mod & KMOD_CTRL) c = controlled(c);
	key.character = static_cast<unsigned char>(c);
	return key;
}
