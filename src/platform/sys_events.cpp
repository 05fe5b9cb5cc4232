#include "platform/sys_events.h"

#include <SDL2/SDL.h>

static bool create_pending = false;

void sys_post_create() { create_pending = true; }

// Turns one SDL event into a message; false for events the window procedure does not see.
static bool translate(const SDL_Event& e, sys_event_struct& ev)
{
	ev = sys_event_struct();
	switch (e.type) {
	case SDL_QUIT:
		ev.type = sys_ev_close;
		return true;
	case SDL_WINDOWEVENT:
		if (e.window.event == SDL_WINDOWEVENT_CLOSE) ev.type = sys_ev_close;
		else if (e.window.event == SDL_WINDOWEVENT_EXPOSED) ev.type = sys_ev_paint;
		else return false;
		return true;
	case SDL_KEYDOWN:
	case SDL_KEYUP:
		ev.type = e.type == SDL_KEYDOWN ? sys_ev_key_down : sys_ev_key_up;
		ev.keycode = e.key.keysym.sym;
		ev.scancode = e.key.keysym.scancode;
		ev.mods = e.key.keysym.mod;
		ev.repeat = e.key.repeat;
		return true;
	case SDL_MOUSEMOTION:
		ev.type = sys_ev_mouse_move;
		ev.x = e.motion.x;
		ev.y = e.motion.y;
		return true;
	case SDL_MOUSEBUTTONDOWN:
	case SDL_MOUSEBUTTONUP:
		if (e.button.button != SDL_BUTTON_LEFT && e.button.button != SDL_BUTTON_RIGHT) return false;
		ev.type = e.type == SDL_MOUSEBUTTONDOWN ? sys_ev_button_down : sys_ev_button_up;
		ev.x = e.button.x;
		ev.y = e.button.y;
		return true;
	case SDL_MOUSEWHEEL:
		ev.type = sys_ev_wheel;
		ev.wheel = (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y) * 120;
		return true;
	default:
		return false;
	}
}

bool sys_peek_event(sys_event_struct& ev)
{
	if (create_pending) {
		create_pending = false;
		ev = sys_event_struct();
		ev.type = sys_ev_create;
		return true;
	}
	SDL_Event e;
	while (SDL_PollEvent(&e))
		if (translate(e, ev)) return true;
	return false;
}

void sys_wait_event(int ms) { SDL_WaitEventTimeout(nullptr, ms); }

void sys_request_close()
{
	SDL_Event e{};
	e.type = SDL_QUIT;
	SDL_PushEvent(&e);
}
