#pragma once
// The drawing tests' world: the test window's OpenGL context with the interface images loaded, the
// palette read from them, and the main screen of 1024 x 768 as the top window.
#include <functional>
#include <string>
#include <vector>

#include "shell/oglp.h"
#include "support/gl_fixture.h"

struct rgba_struct {
	int r, g, b, a;
};

class shell_gl_test : public gl_test {
protected:
	void SetUp() override;
	void TearDown() override;

	// Opens top window `id` (0 the whole surface) with the mouse far away and no click.
	void open_window(int id);
	// The pixel at surface position (x, y) of the frame being drawn.
	rgba_struct pixel(int x, int y) const;
	// Clears the surface to black.
	void clear();
	// Records the vertices of everything drawn until the next call of recorded().
	void record();
	std::vector<OGL_vertex_struct> recorded();
	// Writes the surface rectangle (x, y, w, h) of the frame being drawn as an opaque PNG file.
	void save_png(const std::string& path, int x, int y, int w, int h) const;

private:
	std::vector<OGL_vertex_struct> vertices_;
};

// Runs `draw` in a child process whose alerts are only logged; expects it to end through a fatal
// alert and returns the log it wrote.
std::string fatal_alert_log(const std::function<void()>& draw);

// Where the documentation screenshots go: docs/ of the source tree when VELMORA_UPDATE_DOCS is set,
// else the build folder.
std::string screenshot_path(const std::string& name);
