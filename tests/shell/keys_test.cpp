// Key events: the translation of window-system keys, the toolkit key codes, flags and characters,
// the Enter / Escape / Delete pulses and the key bindings.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include "platform/sys_events.h"
#include "platform/sys_keys.h"
#include "shell/cmnd.h"
#include "shell/hl_mnw.h"
#include "shell/keys.h"
#include "shell_gl.h"

namespace {

sys_event_struct key_event(SDL_Scancode scancode, int keycode, int mods = 0, bool down = true, bool repeat = false)
{
	sys_event_struct ev;
	ev.type = down ? sys_ev_key_down : sys_ev_key_up;
	ev.scancode = scancode;
	ev.keycode = keycode;
	ev.mods = mods;
	ev.repeat = repeat;
	return ev;
}

} // namespace

TEST(sys_translate_key, reference_keyboard_codes)
{
	struct key_case {
		SDL_Scancode scancode;
		int keycode, mods;
		int vkey, scan, extended, character;
	};
	const key_case cases[] = {
		{SDL_SCANCODE_A, SDLK_a, 0, 0x41, 0x1E, 0, 'a'},
		{SDL_SCANCODE_A, SDLK_a, KMOD_LSHIFT, 0x41, 0x1E, 0, 'A'},
		{SDL_SCANCODE_A, SDLK_a, KMOD_CAPS, 0x41, 0x1E, 0, 'A'},
		{SDL_SCANCODE_A, SDLK_a, KMOD_CAPS | KMOD_RSHIFT, 0x41, 0x1E, 0, 'a'},
		{SDL_SCANCODE_A, SDLK_a, KMOD_LCTRL, 0x41, 0x1E, 0, 1},
		{SDL_SCANCODE_Q, SDLK_a, 0, 0x41, 0x10, 0, 'a'}, // a French keyboard's A
		{SDL_SCANCODE_1, SDLK_1, 0, 0x31, 0x02, 0, '1'},
		{SDL_SCANCODE_1, SDLK_1, KMOD_LSHIFT, 0x31, 0x02, 0, '!'},
		{SDL_SCANCODE_1, SDLK_1, KMOD_CAPS, 0x31, 0x02, 0, '1'},
		{SDL_SCANCODE_SEMICOLON, SDLK_SEMICOLON, 0, 0xBA, 0x27, 0, ';'},
		{SDL_SCANCODE_SEMICOLON, SDLK_SEMICOLON, KMOD_LSHIFT, 0xBA, 0x27, 0, ':'},
		{SDL_SCANCODE_SLASH, SDLK_SLASH, KMOD_LSHIFT, 0xBF, 0x35, 0, '?'},
		{SDL_SCANCODE_SPACE, SDLK_SPACE, 0, 0x20, 0x39, 0, ' '},
		{SDL_SCANCODE_RETURN, SDLK_RETURN, 0, 0x0D, 0x1C, 0, 13},
		{SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, 0, 0x0D, 0x1C, 1, 13},
		{SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, 0, 0x1B, 0x01, 0, 27},
		{SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, 0, 0x08, 0x0E, 0, 8},
		{SDL_SCANCODE_TAB, SDLK_TAB, 0, 0x09, 0x0F, 0, 9},
		{SDL_SCANCODE_DELETE, SDLK_DELETE, 0, 0x2E, 0x53, 1, 0},
		{SDL_SCANCODE_LEFT, SDLK_LEFT, 0, 0x25, 0x4B, 1, 0},
		{SDL_SCANCODE_DOWN, SDLK_DOWN, 0, 0x28, 0x50, 1, 0},
		{SDL_SCANCODE_F1, SDLK_F1, 0, 0x70, 0x3B, 0, 0},
		{SDL_SCANCODE_F12, SDLK_F12, 0, 0x7B, 0x58, 0, 0},
		{SDL_SCANCODE_KP_5, SDLK_KP_5, KMOD_NUM, 0x65, 0x4C, 0, 0},
		{SDL_SCANCODE_KP_5, SDLK_KP_5, 0, 0x0C, 0x4C, 0, 0},
		{SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, KMOD_NUM, 0x6E, 0x53, 0, 0},
		{SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, 0, 0x2E, 0x53, 0, 0},
		{SDL_SCANCODE_KP_PLUS, SDLK_KP_PLUS, KMOD_NUM, 0x6B, 0x4E, 0, '+'},
		{SDL_SCANCODE_KP_DIVIDE, SDLK_KP_DIVIDE, KMOD_NUM, 0x6F, 0x35, 1, '/'},
		{SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, 0, 0x10, 0x2A, 0, 0},
		{SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, 0, 0x10, 0x36, 0, 0},
		{SDL_SCANCODE_LCTRL, SDLK_LCTRL, 0, 0x11, 0x1D, 0, 0},
		{SDL_SCANCODE_RCTRL, SDLK_RCTRL, 0, 0x11, 0x1D, 1, 0},
		{SDL_SCANCODE_LALT, SDLK_LALT, 0, 0x12, 0x38, 0, 0},
		{SDL_SCANCODE_RALT, SDLK_RALT, 0, 0x12, 0x38, 1, 0},
		{SDL_SCANCODE_CAPSLOCK, SDLK_CAPSLOCK, 0, 0x14, 0x3A, 0, 0},
		{SDL_SCANCODE_NUMLOCKCLEAR, SDLK_NUMLOCKCLEAR, 0, 0x90, 0x45, 1, 0},
		{SDL_SCANCODE_PAUSE, SDLK_PAUSE, 0, 0x13, 0x45, 0, 0},
		{SDL_SCANCODE_UNKNOWN, SDLK_UNKNOWN, 0, 0, 0, 0, 0},
	};
	for (const key_case& c : cases) {
		const sys_key_struct k = sys_translate_key(key_event(c.scancode, c.keycode, c.mods));
		const std::string name = SDL_GetScancodeName(c.scancode) + std::string(" mods ") + std::to_string(c.mods);
		EXPECT_EQ(k.vkey, c.vkey) << name;
		EXPECT_EQ(k.scan, c.scan) << name;
		EXPECT_EQ(k.extended, c.extended) << name;
		EXPECT_EQ(k.character, c.character) << name;
		EXPECT_EQ(k.down, 1) << name;
	}
	const sys_key_struct up = sys_translate_key(key_event(SDL_SCANCODE_A, SDLK_a, 0, false, true));
	EXPECT_EQ(up.down, 0);
	EXPECT_EQ(up.repeat, 0);
	EXPECT_EQ(sys_translate_key(key_event(SDL_SCANCODE_A, SDLK_a, 0, true, true)).repeat, 1);
}

TEST(qrkb_Key_Map, moves_punctuation_and_drops_unknown_keys)
{
	const std::pair<int, int> moved[] = {
		{0xBA, 0xB5}, {0xBB, 0xB0}, {0xBC, 0xB7}, {0xBD, 0xB1}, {0xBE, 0xB9}, {0xBF, 0xB8},
		{0xC0, 0xBA}, {0xDB, 0xB3}, {0xDC, 0xB6}, {0xDD, 0xB2}, {0xDE, 0xB4}, {0xDF, 0xBA},
	};
	for (auto [from, to] : moved) EXPECT_EQ(qrkb_Key_Map[from], to) << std::hex << from;
	const std::pair<int, int> dropped[] = {{0x01, 0x07}, {0x0A, 0x0B}, {0x0E, 0x1A}, {0x1C, 0x1F}, {0x3A, 0x40},
	                                       {0x5B, 0x5F}, {0x6C, 0x6C}, {0x88, 0xB9}, {0xC1, 0xDA}, {0xE0, 0xFF}};
	int zeros = 0;
	for (auto [lo, hi] : dropped)
		for (int v = lo; v <= hi; ++v) {
			EXPECT_EQ(qrkb_Key_Map[v], 0) << std::hex << v;
			++zeros;
		}
	int kept = 0;
	for (int v = 0; v < 256; ++v) kept += qrkb_Key_Map[v] == v && v != 0;
	EXPECT_EQ(kept + zeros + 12 + 1, 256);
}

class keys_test : public shell_gl_test {
protected:
	void SetUp() override
	{
		shell_gl_test::SetUp();
		keys = keys_class();
		return_hit = escape_hit = delete_hit = 0;
		mnw.key_pressed = 0;
		mnw.typing_message = 0;
	}

	int press(SDL_Scancode scancode, int keycode, int mods = 0, bool down = true, bool repeat = false)
	{
		return keys.handle_key_raw(key_event(scancode, keycode, mods, down, repeat));
	}
};

TEST_F(keys_test, toolkit_codes_characters_and_flags)
{
	struct handled_case {
		SDL_Scancode scancode;
		int keycode, mods;
		bool down, repeat;
		int code, character, flags;
	};
	const handled_case cases[] = {
		{SDL_SCANCODE_A, SDLK_a, 0, true, false, 0x41, 'a', qrkb_DownFlag},
		{SDL_SCANCODE_A, SDLK_a, 0, true, true, 0x41, 'a', 0},
		{SDL_SCANCODE_A, SDLK_a, 0, false, false, 0x41, 'a', qrkb_UpFlag},
		{SDL_SCANCODE_SEMICOLON, SDLK_SEMICOLON, 0, true, false, QRKB_VK_SEMICOLON, ';', qrkb_DownFlag},
		{SDL_SCANCODE_GRAVE, SDLK_BACKQUOTE, 0, true, false, QRKB_VK_BACKQUOTE, '`', qrkb_DownFlag},
		{SDL_SCANCODE_LEFT, SDLK_LEFT, 0, true, false, QRKB_VK_LEFT, 0x1C, qrkb_DownFlag},
		{SDL_SCANCODE_UP, SDLK_UP, 0, true, false, QRKB_VK_UP, 0x1E, qrkb_DownFlag},
		{SDL_SCANCODE_RIGHT, SDLK_RIGHT, 0, true, false, QRKB_VK_RIGHT, 0x1D, qrkb_DownFlag},
		{SDL_SCANCODE_DOWN, SDLK_DOWN, 0, true, false, QRKB_VK_DOWN, 0x1F, qrkb_DownFlag},
		{SDL_SCANCODE_KP_7, SDLK_KP_7, KMOD_NUM, true, false, 0x67, '7', qrkb_DownFlag},
		{SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, KMOD_NUM, true, false, QRKB_VK_DECIMAL, '.', qrkb_DownFlag},
		{SDL_SCANCODE_RETURN, SDLK_RETURN, 0, true, false, QRKB_VK_RETURN, 13, qrkb_DownFlag},
		{SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, 0, true, false, QRKB_VK_RETURN, 13, qrkb_DownFlag},
		{SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, KMOD_LCTRL, true, false, QRKB_VK_BACK, 8, qrkb_DownFlag},
		{SDL_SCANCODE_TAB, SDLK_TAB, 0, true, false, QRKB_VK_TAB, 9, qrkb_DownFlag},
		{SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, 0, true, false, QRKB_VK_ESCAPE, 27, qrkb_DownFlag},
		// Keys that produce no character report their key byte as the character.
		{SDL_SCANCODE_DELETE, SDLK_DELETE, 0, true, false, QRKB_VK_DELETE, 0x2E, qrkb_DownFlag},
		{SDL_SCANCODE_F1, SDLK_F1, 0, true, false, 0x70, 0x70, qrkb_DownFlag},
		{SDL_SCANCODE_PAUSE, SDLK_PAUSE, 0, true, false, 0, 0x13, qrkb_DownFlag},
	};
	for (const handled_case& c : cases) {
		mnw.key_pressed = 0;
		EXPECT_EQ(press(c.scancode, c.keycode, c.mods, c.down, c.repeat), 1) << SDL_GetScancodeName(c.scancode);
		EXPECT_EQ(keys.global_vkey_hit, c.code) << SDL_GetScancodeName(c.scancode);
		EXPECT_EQ(mnw.key_pressed, c.character) << SDL_GetScancodeName(c.scancode);
		EXPECT_EQ(keys.global_flag_hit, c.flags) << SDL_GetScancodeName(c.scancode);
	}
}

TEST_F(keys_test, modifiers_are_tracked_and_end_the_handling)
{
	struct modifier_case {
		SDL_Scancode scancode;
		int keycode;
		int keys_class::*toggle;
		int flag;
	};
	const modifier_case cases[] = {
		{SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, &keys_class::ShiftToggle, qrkb_ShiftFlag},
		{SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, &keys_class::ShiftToggle, qrkb_ShiftFlag},
		{SDL_SCANCODE_LCTRL, SDLK_LCTRL, &keys_class::ControlToggle, qrkb_ControlFlag},
		{SDL_SCANCODE_RCTRL, SDLK_RCTRL, &keys_class::ControlToggle, qrkb_ControlFlag},
		{SDL_SCANCODE_LALT, SDLK_LALT, &keys_class::OptionKeyToggle, qrkb_OptionAltFlag},
		{SDL_SCANCODE_RALT, SDLK_RALT, &keys_class::OptionKeyToggle, qrkb_OptionAltFlag},
	};
	for (const modifier_case& c : cases) {
		keys = keys_class();
		mnw.key_pressed = 0;
		EXPECT_EQ(press(c.scancode, c.keycode), 0);
		EXPECT_EQ(keys.*c.toggle, 1);
		EXPECT_EQ(keys.global_vkey_hit, 0) << "a modifier alone is no key";
		EXPECT_EQ(mnw.key_pressed, 0);
		press(SDL_SCANCODE_B, SDLK_b);
		EXPECT_EQ(keys.global_flag_hit, c.flag | qrkb_DownFlag);
		press(c.scancode, c.keycode, 0, false);
		EXPECT_EQ(keys.*c.toggle, 0);
		press(SDL_SCANCODE_B, SDLK_b);
		EXPECT_EQ(keys.global_flag_hit, qrkb_DownFlag);
	}
	EXPECT_EQ(return_hit + escape_hit + delete_hit, 0);
}

TEST_F(keys_test, lock_keys_are_ignored)
{
	for (SDL_Scancode lock : {SDL_SCANCODE_CAPSLOCK, SDL_SCANCODE_NUMLOCKCLEAR, SDL_SCANCODE_SCROLLLOCK}) {
		EXPECT_EQ(press(lock, SDL_GetKeyFromScancode(lock)), 0) << SDL_GetScancodeName(lock);
		EXPECT_EQ(mnw.key_pressed, 0);
	}
}

TEST_F(keys_test, enter_escape_and_delete_pulse_on_key_down)
{
	struct pulse_case {
		SDL_Scancode scancode;
		int keycode;
		int* pulse;
	};
	const pulse_case cases[] = {
		{SDL_SCANCODE_RETURN, SDLK_RETURN, &return_hit},   {SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, &return_hit},
		{SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, &escape_hit},   {SDL_SCANCODE_DELETE, SDLK_DELETE, &delete_hit},
		{SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, &delete_hit},
	};
	for (const pulse_case& c : cases) {
		return_hit = escape_hit = delete_hit = 0;
		press(c.scancode, c.keycode, 0, false);
		EXPECT_EQ(return_hit + escape_hit + delete_hit, 0) << "key-up " << SDL_GetScancodeName(c.scancode);
		press(c.scancode, c.keycode);
		EXPECT_EQ(*c.pulse, 1) << SDL_GetScancodeName(c.scancode);
		EXPECT_EQ(return_hit + escape_hit + delete_hit, 1) << SDL_GetScancodeName(c.scancode);
	}
}

TEST_F(keys_test, enter_closes_a_closable_panel_but_not_an_alert)
{
	open_window(1);
	press(SDL_SCANCODE_RETURN, SDLK_RETURN);
	EXPECT_EQ(mnw.top_win_now, 0);
	EXPECT_EQ(return_hit, 0);

	open_window(995);
	press(SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER);
	EXPECT_EQ(mnw.top_win_now, 995);
	EXPECT_EQ(return_hit, 1) << "the alert reads it as its OK";

	open_window(0);
	return_hit = 0;
	press(SDL_SCANCODE_RETURN, SDLK_RETURN);
	EXPECT_EQ(return_hit, 1);
	EXPECT_EQ(mnw.key_pressed, 13);
}

TEST_F(keys_test, a_binding_fires_once_per_press)
{
	keys.keys_io(0);
	EXPECT_TRUE(keys.key_bindings.empty()) << "the one default command has no key";
	const int c = cmnd.get_cmnd_by_name("sim/operation/none");
	const int before = cmnd.cmnd_down[c];
	keys.key_bindings.push_back({0x41, qrkb_ShiftFlag, c, 0});

	press(SDL_SCANCODE_A, SDLK_a);
	EXPECT_EQ(cmnd.cmnd_down[c], before) << "the binding wants Shift";
	press(SDL_SCANCODE_A, SDLK_a, 0, false);

	press(SDL_SCANCODE_LSHIFT, SDLK_LSHIFT);
	press(SDL_SCANCODE_A, SDLK_a, KMOD_LSHIFT);
	EXPECT_EQ(cmnd.cmnd_down[c], before + 1);
	EXPECT_EQ(keys.key_bindings[0].hold, 1);
	press(SDL_SCANCODE_A, SDLK_a, KMOD_LSHIFT, true, true);
	keys.run_repeat_keys();
	EXPECT_EQ(cmnd.cmnd_down[c], before + 1) << "repeats press nothing again";
	press(SDL_SCANCODE_A, SDLK_a, KMOD_LSHIFT, false);
	EXPECT_EQ(cmnd.cmnd_down[c], before);
	EXPECT_EQ(keys.key_bindings[0].hold, 0);

	open_window(999);
	press(SDL_SCANCODE_A, SDLK_a, KMOD_LSHIFT);
	EXPECT_EQ(cmnd.cmnd_down[c], before) << "no commands while window 999 is open";
	keys.keys_io(1);
	EXPECT_EQ(keys.key_bindings.size(), 1u) << "saving changes nothing";
}
