#pragma once
// An offscreen window with an OpenGL 1.x-compatible context for tests that draw. Without a display,
// SDL's offscreen video driver gives real OpenGL (Mesa through EGL).
#include <gtest/gtest.h>

#include <string>
#include <vector>

struct SDL_Window;

constexpr int gl_fixture_width = 1024, gl_fixture_height = 768;

// Brings up the window and makes its context current; one window serves every test of the program.
// The context gets the fixed defaults of the program's own set-up that drawing depends on (pack and
// unpack alignment 1, blending source alpha / one minus source alpha).
void gl_fixture_start();
SDL_Window* gl_fixture_window();

// RGBA pixels of the back buffer, bottom row first.
std::vector<unsigned char> gl_read_pixels(int x, int y, int w, int h);
// Writes RGBA pixels given bottom row first as a PNG file; false when it cannot be written.
bool gl_write_png(const std::string& path, const std::vector<unsigned char>& rgba, int w, int h);

// Base of test suites that draw: the window is up before the first test of the suite.
class gl_test : public ::testing::Test {
protected:
	static void SetUpTestSuite() { gl_fixture_start(); }
};
