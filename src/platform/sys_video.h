#pragma once
// The window, its OpenGL context, the display mode, the cursor and the system message box (SDL2).
// Without a display SDL's offscreen driver is used, which still gives real OpenGL through EGL.
#include <string>

bool sys_video_init();  // false when SDL cannot start video
bool sys_is_headless(); // no display: offscreen windows, message boxes go to standard error
void sys_video_quit();

bool sys_display_mode(int& w, int& h, int& bits); // the current mode of the first display
bool sys_display_mode_at(int index, int& w, int& h, int& bits);
bool sys_switch_display_mode(int w, int h, int bits); // the window then covers the display in that mode
void sys_restore_display_mode();

void* sys_create_window(const char* title, int w, int h, bool bordered); // null on failure
void sys_show_window(void* window);
void sys_destroy_window(void* window);
void* sys_create_gl_context(void* window, int colour_bits, int depth_bits); // current on success
void* sys_create_shared_gl_context(void* window);                           // shares textures with the current one
void sys_delete_gl_context(void* context);
bool sys_gl_make_current(void* context);
bool sys_gl_release_current();
bool sys_set_swap_interval(int interval);
void* sys_gl_proc(const char* name);
void sys_swap_window();

void sys_show_cursor(bool show);
void sys_beep();
void sys_message_box(const char* title, const std::string& text);
std::string sys_video_error();
