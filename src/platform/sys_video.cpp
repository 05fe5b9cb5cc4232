#include "platform/sys_video.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <cstdlib>

static SDL_Window* main_window = nullptr;
static bool fullscreen_mode = false;
static SDL_DisplayMode wanted_mode;

bool sys_is_headless()
{
	const char* x = getenv("DISPLAY");
	const char* w = getenv("WAYLAND_DISPLAY");
	return !(x && *x) && !(w && *w);
}

bool sys_video_init()
{
	if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
	if (sys_is_headless()) SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
	return SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0;
}

void sys_video_quit() { SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS); }

// Colour bits of a mode; the desktop's 24 colour bits are a 32-bit mode, and an unknown format counts as 32.
static int mode_bits(const SDL_DisplayMode& m)
{
	int bits = int(SDL_BITSPERPIXEL(m.format));
	return (bits == 0 || bits == 24) ? 32 : bits;
}

bool sys_display_mode(int& w, int& h, int& bits)
{
	SDL_DisplayMode m;
	if (SDL_GetCurrentDisplayMode(0, &m) != 0 || m.w <= 0 || m.h <= 0) return false;
	w = m.w;
	h = m.h;
	bits = mode_bits(m);
	return true;
}

bool sys_display_mode_at(int index, int& w, int& h, int& bits)
{
	SDL_DisplayMode m;
	if (index >= SDL_GetNumDisplayModes(0) || SDL_GetDisplayMode(0, index, &m) != 0) return false;
	w = m.w;
	h = m.h;
	bits = mode_bits(m);
	return true;
}

bool sys_switch_display_mode(int w, int h, int bits)
{
	for (int i = 0; i < SDL_GetNumDisplayModes(0); ++i) {
		int mw, mh, mb;
		if (!sys_display_mode_at(i, mw, mh, mb) || mw != w || mh != h || mb != bits) continue;
		SDL_GetDisplayMode(0, i, &wanted_mode);
		fullscreen_mode = true;
		if (main_window) {
			SDL_SetWindowDisplayMode(main_window, &wanted_mode);
			SDL_SetWindowFullscreen(main_window, SDL_WINDOW_FULLSCREEN);
		}
		return true;
	}
	return false;
}

void sys_restore_display_mode()
{
	if (fullscreen_mode && main_window) SDL_SetWindowFullscreen(main_window, 0);
	fullscreen_mode = false;
}

void* sys_create_window(const char* title, int w, int h, bool bordered)
{
	SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
	SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
	Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
	if (!bordered) flags |= SDL_WINDOW_BORDERLESS;
	if (fullscreen_mode) flags |= SDL_WINDOW_FULLSCREEN;
	SDL_Window* win = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h, flags);
	if (win && fullscreen_mode) SDL_SetWindowDisplayMode(win, &wanted_mode);
	if (!main_window) main_window = win;
	return win;
}

void sys_show_window(void* window) { SDL_ShowWindow(static_cast<SDL_Window*>(window)); }

void sys_destroy_window(void* window)
{
	if (window == main_window) main_window = nullptr;
	if (window) SDL_DestroyWindow(static_cast<SDL_Window*>(window));
}

void* sys_create_gl_context(void* window, int colour_bits, int depth_bits)
{
	int per_channel = colour_bits >= 24 ? 8 : 5;
	SDL_GL_SetAttribute(SDL_GL_RED_SIZE, per_channel);
	SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, per_channel);
	SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, per_channel);
	SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depth_bits);
	SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
	SDL_GLContext ctx = SDL_GL_CreateContext(static_cast<SDL_Window*>(window));
	if (!ctx) {
		// Some drivers have no 32-bit depth buffer: take the deepest they offer.
		SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
		ctx = SDL_GL_CreateContext(static_cast<SDL_Window*>(window));
	}
	return ctx;
}

void* sys_create_shared_gl_context(void* window)
{
	SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 1);
	SDL_GLContext ctx = SDL_GL_CreateContext(static_cast<SDL_Window*>(window));
	SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
	return ctx;
}

void sys_delete_gl_context(void* context)
{
	if (context) SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context));
}

bool sys_gl_make_current(void* context)
{
	return SDL_GL_MakeCurrent(main_window, static_cast<SDL_GLContext>(context)) == 0;
}

bool sys_gl_release_current() { return SDL_GL_MakeCurrent(main_window, nullptr) == 0; }

bool sys_set_swap_interval(int interval) { return SDL_GL_SetSwapInterval(interval) == 0; }

void* sys_gl_proc(const char* name) { return SDL_GL_GetProcAddress(name); }

void sys_swap_window()
{
	if (main_window) SDL_GL_SwapWindow(main_window);
}

void sys_show_cursor(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

void sys_beep()
{
	fputc('\a', stderr);
	fflush(stderr);
}

void sys_message_box(const char* title, const std::string& text)
{
	if (sys_is_headless() || SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, title, text.c_str(), main_window) != 0)
		fprintf(stderr, "%s\n\n%s\n", title, text.c_str());
}

std::string sys_video_error() { return SDL_GetError(); }
