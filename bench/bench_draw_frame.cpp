// Cost of one frame of widgets and text on the offscreen OpenGL surface (Mesa llvmpipe without a
// display): the surface-sized window background, ten bars, ten buttons, a check-box list and a page
// of wrapped text, drawn and finished like a frame.
#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "platform/sys_video.h"
#include "shell/butn.h"
#include "shell/colr.h"
#include "shell/hl_mnw.h"
#include "shell/oglp.h"
#include "textures/OGL_extensions.h"
#include "textures/ins_texes.h"
#include "textures/tman.h"

static void draw_frame(const std::string& page)
{
	OGL_plot_back_col();
	BTN_fillwin(1, 1);
	for (int i = 0; i < 10; ++i) BTN_frame1(4, 200, 100 + i * 40, 300, 0);
	for (int i = 0; i < 10; ++i) BTN_action(600, 100 + i * 40, 120, 0, 1, "Button", "-");
	static int sel = 0;
	for (int i = 0; i < 10; ++i) BTN_is_int(900, 100 + i * 40, &sel, i, "Choice");
	OGL_string(43, 20, 700, page, 980, font_prop, 0);
}

template <class F> static double ms_per_call(int n, F f)
{
	const auto t0 = std::chrono::steady_clock::now();
	for (int i = 0; i < n; ++i) f();
	glFinish();
	return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count() / n;
}

int main()
{
	if (!sys_video_init()) return 1;
	void* window = sys_create_window("bench", 1024, 768, false);
	if (!window || !sys_create_gl_context(window, 32, 24)) return 1;
	mnw.x_res_now = 1024;
	mnw.y_res_now = 768;
	OGL_pix_specs(0);
	glExt.init_extensions();
	recall_ins_texes();
	colr.read_palette(scratch_array);
	OGL_nrml_colors();
	MACIBM_startwind(0, 0);

	std::string page;
	while (page.size() < 4000) page += "The quick brown fox jumps over the lazy dog, again and again. ";
	std::vector<OGL_vertex_struct> vertices;
	OGL_vertex_record = &vertices;
	draw_frame(page);
	OGL_vertex_record = nullptr;

	draw_frame(page); // warm up
	const double frame = ms_per_call(200, [&] { draw_frame(page); });
	const double text = ms_per_call(200, [&] { OGL_string(43, 20, 700, page, 980, font_prop, 0); });
	const double frame2 = ms_per_call(200, [] { BTN_frame2(12, 0, 0, 1024, 768, ""); });
	// With a 1 x 1 viewport almost nothing is rasterised: what remains is the toolkit and the driver's
	// vertex path.
	glViewport(0, 0, 1, 1);
	const double geometry = ms_per_call(200, [&] { draw_frame(page); });
	printf("widget frame: %.3f ms (%zu vertices, %zu characters of text); without rasterising: %.3f ms\n", frame,
	       vertices.size(), page.size(), geometry);
	printf("4000 characters of wrapped text: %.3f ms; surface-sized frame: %.3f ms\n", text, frame2);
}
