#include "shell_gl.h"

#include <GL/gl.h>
#include <unistd.h>

#include <cstdlib>

#include "runtime/UTL_cmdline.h"
#include "shell/colr.h"
#include "shell/hl_init.h"
#include "shell/hl_mnw.h"
#include "support/sandbox.h"
#include "textures/OGL_extensions.h"
#include "textures/ins_texes.h"
#include "textures/tman.h"

namespace {

// What the start-up does once the context exists: capabilities, the built-in images, the palette.
void shell_ready()
{
	static bool ready = false;
	if (ready) return;
	mnw.x_res_now = gl_fixture_width;
	mnw.y_res_now = gl_fixture_height;
	mnw.top_win_now = -1;
	OGL_pix_specs(0);
	glExt.init_extensions();
	recall_ins_texes();
	colr.read_palette(scratch_array);
	OGL_nrml_colors();
	// Back faces are culled with clockwise fronts, as the program's context set-up has it: every quad
	// must be wound clockwise on screen to show.
	glFrontFace(GL_CW);
	glEnable(GL_CULL_FACE);
	ready = true;
}

} // namespace

void shell_gl_test::SetUp()
{
	shell_ready();
	open_window(0);
	clear();
}

void shell_gl_test::TearDown()
{
	OGL_vertex_record = nullptr;
}

void shell_gl_test::open_window(int id)
{
	MACIBM_startwind(id, 0);
	mnw.mx = mnw.my = -1000;
	mnw.mouse_clicked = 0;
	mnw.menu_up = -1;
}

rgba_struct shell_gl_test::pixel(int x, int y) const
{
	const std::vector<unsigned char> p = gl_read_pixels(x, y, 1, 1);
	return {p[0], p[1], p[2], p[3]};
}

void shell_gl_test::clear()
{
	glClearColor(0, 0, 0, 1);
	glClear(GL_COLOR_BUFFER_BIT);
}

void shell_gl_test::record()
{
	vertices_.clear();
	OGL_vertex_record = &vertices_;
}

std::vector<OGL_vertex_struct> shell_gl_test::recorded()
{
	OGL_vertex_record = nullptr;
	return vertices_;
}

void shell_gl_test::save_png(const std::string& path, int x, int y, int w, int h) const
{
	std::vector<unsigned char> rgba = gl_read_pixels(x, y, w, h);
	for (size_t i = 3; i < rgba.size(); i += 4) rgba[i] = 255;
	EXPECT_TRUE(gl_write_png(path, rgba, w, h)) << path;
}

std::string fatal_alert_log(const std::function<void()>& draw)
{
	sandbox_class box;
	const std::string folder = box.root;
	EXPECT_EXIT(
		{
			if (chdir(folder.c_str()) != 0) exit(2);
			xer.close();
			xer.clear();
			xer.open("Log.txt");
			cmdline.options["--fps_test"] = "";
			draw();
			exit(0);
		},
		::testing::ExitedWithCode(1), "");
	return box.read("Log.txt");
}

std::string screenshot_path(const std::string& name)
{
	const char* update = getenv("VELMORA_UPDATE_DOCS");
	return std::string(update && *update ? VELMORA_SOURCE_DIR "/docs/" : VELMORA_BIN_DIR "/") + name;
}
