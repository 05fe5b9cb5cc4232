#include "shell_gl.h"

#include <GL/gl.h>
#include <png.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "platform/sys_video.h"
#include "runtime/UTL_cmdline.h"
#include "shell/hl_init.h"
#include "shell/hl_mnw.h"
#include "textures/OGL_extensions.h"
#include "support/sandbox.h"
#include "textures/tman.h"

namespace {

void gl_ready()
{
	static bool ready = false;
	if (ready) return;
	if (!sys_video_init()) throw std::runtime_error("no video: " + sys_video_error());
	void* window = sys_create_window("shell tests", 1024, 768, false);
	if (!window || !sys_create_gl_context(window, 32, 24)) throw std::runtime_error("no OpenGL: " + sys_video_error());
	mnw.x_res_now = 1024;
	mnw.y_res_now = 768;
	mnw.top_win_now = -1;
	OGL_pix_specs(0);
	glExt.init_extensions();
	recall_ins_texes();
	OGL_nrml_colors();
	ready = true;
}

} // namespace

void shell_gl_test::SetUp()
{
	gl_ready();
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
	unsigned char p[4];
	glReadBuffer(GL_BACK);
	glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
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
	std::vector<unsigned char> px(size_t(w) * h * 3);
	glReadBuffer(GL_BACK);
	glPixelStorei(GL_PACK_ALIGNMENT, 1);
	glReadPixels(x, y, w, h, GL_RGB, GL_UNSIGNED_BYTE, px.data());
	FILE* f = fopen(path.c_str(), "wb");
	ASSERT_TRUE(f) << path;
	png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
	png_infop info = png_create_info_struct(png);
	png_init_io(png, f);
	png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
	             PNG_FILTER_TYPE_DEFAULT);
	png_write_info(png, info);
	for (int row = h - 1; row >= 0; --row) png_write_row(png, px.data() + size_t(row) * w * 3);
	png_write_end(png, nullptr);
	png_destroy_write_struct(&png, &info);
	fclose(f);
}

std::string fatal_alert_log(const std::function<void()>& draw)
{
	sandbox_class box;
	const std::string folder = box.root;
	EXPECT_EXIT(
		{
			if (chdir(folder.c_str()) != 0) exit(2);
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
