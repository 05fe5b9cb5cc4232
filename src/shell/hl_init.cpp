#include "shell/hl_init.h"

#include <GL/gl.h>

#include <cstdlib>
#include <iomanip>
#include <sstream>

#include "installer/build_flags.h"
#include "installer/stg.h"
#include "platform/sys_events.h"
#include "platform/sys_files.h"
#include "platform/sys_info.h"
#include "platform/sys_video.h"
#include "runtime/HL_THREAD.h"
#include "runtime/UTL_Debug.h"
#include "runtime/UTL_cmdline.h"
#include "runtime/xtim.h"
#include "shell/butn.h"
#include "shell/colr.h"
#include "shell/hl_alert.h"
#include "shell/hl_mnw.h"
#include "shell/oglp.h"
#include "textures/OGL_extensions.h"
#include "textures/ins_texes.h"
#include "textures/tman.h"

std::ofstream xer;
std::string xer_path;
std::string app_path;
int g_case_sensitive = 0;
int ogl_inited = 0;
int have_created_ibm_win = 0;
int g_mon_x_res_now = 0, g_mon_y_res_now = 0;
int hres_orig = 0, vres_orig = 0, cres_orig = 0, sres_orig = 0;
int counter_now = 0;

static bool res_queried = false;

static std::ostringstream& held_log()
{
	thread_local std::ostringstream held = [] {
		std::ostringstream s;
		s << std::fixed;
		return s;
	}();
	return held;
}

std::ostream& xer_here()
{
	if (THREAD_is_inited() && !THREAD_is_main_thread()) return held_log();
	return xer;
}

std::string xer_take_held()
{
	std::string text = held_log().str();
	held_log().str("");
	return text;
}

void MACIBM_set_app_path(std::string& path) { path = sys_program_folder(); }

static void open_log()
{
	std::string folder = install_type == 0 ? sys_program_folder() : sys_desktop_folder();
	xer_path = folder + "Log.txt";
	xer.open(xer_path, std::ios::out | std::ios::trunc);
	// Unbuffered, so that the log is complete up to the moment of a crash or a kill.
	xer << std::fixed << std::unitbuf;
}

static void seed_random()
{
	unsigned seed = unsigned(xtim_class::microsecs_tot() & 0xFFFFFFFFu);
	srand(seed);
	for (unsigned i = 0; i < seed % 1000; ++i) rand();
}

static void write_log_header()
{
	xer << "log.txt for " << app_version_text << " " << "Installer " << app_version_num << " compiled on " << __DATE__
	    << " " << __TIME__ << "\n\n";
	xer << "This log file is generated automatically by Quorvik applications and contains diagnostics about your "
	       "graphics hardware, installation, and any error conditions.\n";
	xer << "If you need to contact tech support or file a bug, please send us this file. NOTE: this file is "
	       "rewritten every time you start ANY of your Kestava applications.\n\n";
	sys_info_struct info = sys_describe_system();
	xer << info.os_name << " " << info.major << "." << info.minor << " (build " << info.build << "/" << info.platform
	    << ") " << info.version << "\n";
	xer << "CPU type: " << info.processor_type << "\n";
	xer << "Physical Memory: " << info.physical_memory << "\n";
	for (const sys_info_struct::cpu_struct& cpu : info.cpus) {
		xer << "CPU 0: ";
		if (!cpu.name.empty()) xer << cpu.name << " ";
		if (cpu.mhz) xer << " Speed (mhz): " << cpu.mhz;
		xer << "\n";
	}
	xer << "\nKestava folder:'" << app_path << "', case sensitive=" << g_case_sensitive << "\n\n";
	xer.flush();
}

void MACIBM_init(int, const char* argv[])
{
	UTL_debug_init();
	sys_video_init();
	MACIBM_set_app_path(app_path);
	app_path.clear();
	g_case_sensitive = 0;
	open_log();
	seed_random();
	write_log_header();
	cmdline.init_win(argv[0]);
	THREAD_init();
	mnw.x_res_req = 1024;
	mnw.y_res_req = 768;
	mnw.col_res_req = 32;
	mnw.tex_res = 5;
	mnw.alias_req = 0;
	mnw.lang = 0;
	MACIBM_setres(1);
	if (!MACIBM_make_context(0))
		__MACIBM_alert(0, "I could not set up the graphics for Velmora! I hope your monitor is at 1024x768 or higher! It must be!",
		               "You do not meet the system requirements or you do not have OpenGL drivers or you entered a bad resolution in Velmora!",
		               "You need at least 256 meg of RAM, 16 meg of VRAM, and OpenGl drivers for your 3-D accelerator card!",
		               "If you reset the resolution, you can try launching Velmora again, since I am resetting Velmora to default resolution now.",
		               t_exit, "hl_init", 1523);
	OGL_pix_specs(0);
	glExt.init_extensions();
	THREAD_make_workers();
	recall_ins_texes();
	colr.read_palette(scratch_array); // the interface image is still in the scratch buffer
	MACIBM_clear_menus(1);
	MACIBM_startwind(-1, 0);
	OGL_pix_specs(0);
	ogl_inited = 1;
	MACIBM_show_init("Will init plugins.", nullptr);
	MACIBM_show_init("Starting application.", nullptr);
}

void MACIBM_setres(int change)
{
	mnw.x_res_now = mnw.x_res_req;
	mnw.y_res_now = mnw.y_res_req;
	mnw.col_res_now = mnw.col_res_req;
	// A display whose mode cannot be read is taken to be 1024 x 768 at 32 bits.
	int w = 1024, h = 768, bits = 32;
	sys_display_mode(w, h, bits);
	g_mon_x_res_now = w;
	g_mon_y_res_now = h;
	if (mnw.set_app_to_monitor) {
		mnw.x_res_req = mnw.x_res_now = w - 40;
		mnw.y_res_req = mnw.y_res_now = h - 60;
	}
	int needs_switch = mnw.set_res || w < 1024 || h < 768;
	if (!res_queried) {
		hres_orig = w;
		vres_orig = h;
		cres_orig = bits;
		sres_orig = needs_switch;
		res_queried = true;
	}
	if (change == 1) {
		if (!needs_switch) return;
		if (w == mnw.x_res_req && h == mnw.y_res_req && bits == mnw.col_res_req) return;
		if (sys_switch_display_mode(mnw.x_res_req, mnw.y_res_req, mnw.col_res_req)) {
			g_mon_x_res_now = mnw.x_res_req;
			g_mon_y_res_now = mnw.y_res_req;
		}
	} else if (sres_orig) {
		sys_restore_display_mode();
	}
}

static void set_gl_defaults()
{
	const GLfloat no_ambient[4] = {0, 0, 0, 0};
	glLightModelfv(GL_LIGHT_MODEL_AMBIENT, no_ambient);
	glPixelStorei(GL_PACK_ALIGNMENT, 1);
	glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
	glAlphaFunc(GL_GREATER, 0);
	glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
	glDepthFunc(GL_LEQUAL);
	glFogi(GL_FOG_MODE, GL_LINEAR);
	glHint(GL_FOG_HINT, GL_NICEST);
	glFrontFace(GL_CW);
	glEnable(GL_CULL_FACE);
	glCullFace(GL_BACK);
	glShadeModel(GL_SMOOTH);
	glEnable(GL_DITHER);
	for (GLenum cap : {GL_COLOR_LOGIC_OP, GL_STENCIL_TEST, GL_TEXTURE_1D, GL_NORMALIZE, GL_SCISSOR_TEST}) glDisable(cap);
	glEnable(GL_COLOR_MATERIAL);
	glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
	glDepthMask(GL_FALSE);
}

int MACIBM_make_context(int monitor)
{
	bool framed = g_mon_x_res_now > mnw.x_res_now + 20 && g_mon_y_res_now > mnw.y_res_now + 20;
	void* window = sys_create_window("Kestava", mnw.x_res_now, mnw.y_res_now, framed);
	if (!window) return 0;
	mnw.window[monitor] = window;
	sys_post_create();
	sys_event_struct ev;
	while (!have_created_ibm_win && sys_peek_event(ev)) IBM_handlewin(ev);
	sys_show_window(window);
	mnw.dc[monitor] = window;
	void* context = sys_create_gl_context(window, mnw.col_res_now, 32);
	if (!context) return 0;
	mnw.context[monitor] = context;
	if (!sys_set_swap_interval(0)) xer << "Warning: unable to disable vsync.\n";
	set_gl_defaults();
	OGL_forget_state(); // a new context: the drawing state cache reads it afresh
	return 1;
}

void MACIBM_nuke_context(int monitor)
{
	if (!mnw.window[monitor]) return;
	sys_gl_release_current();
	sys_delete_gl_context(mnw.context[monitor]);
	sys_destroy_window(mnw.window[monitor]);
	mnw.context[monitor] = mnw.dc[monitor] = mnw.window[monitor] = nullptr;
}

void* MACIBM_make_context_loader() { return mnw.context[0]; }

int MACIBM_set_context_loader(void* main_context)
{
	// A shared context is made while the main one is current on this thread, then replaces it.
	if (!sys_gl_make_current(main_context)) {
		xer << "Could not create/get compatible DC: " << sys_video_error() << "\n";
		xer.flush();
		return 0;
	}
	void* loader = sys_create_shared_gl_context(mnw.window[0]);
	if (!loader) {
		sys_gl_release_current();
		xer << "Could not make loader gl context: " << sys_video_error() << "\n";
		xer.flush();
		return 0;
	}
	if (!sys_gl_make_current(loader)) {
		xer << "Could not set loader ctx: " << sys_video_error() << "\n";
		xer.flush();
		return 0;
	}
	return 1;
}

void MACIBM_show_init(const std::string& message, const float* fraction)
{
	if (!plot_init_lights) return;
	OGL_plot_back_col();
	float e = mnw.extra_sx;
	BTN_frame2(15, e + 10 - mnw.win_x, 31 - mnw.win_y, 460, 200, "");
	OGL_string(49, e + 22 - mnw.win_x, 210 - mnw.win_y, "Quorvik - Velmora 9 Installer", 440, 100, 0);
	float f = fraction ? *fraction : (counter_now++) / 100.0f;
	f = f < 0.02f ? 0.02f : (f > 1.0f ? 1.0f : f);
	float x1 = e + 8, x2 = e + 1016;
	BTN_frame1(4, (x1 + x2) / 2 - mnw.win_x, 15 - mnw.win_y, x2 - x1, 0);
	BTN_frame1(5, (x1 + x1 + f * (x2 - x1)) / 2 - mnw.win_x, 15 - mnw.win_y, f * (x2 - x1), 0);
	OGL_string(61, e + 22 - mnw.win_x, 60 - mnw.win_y, message, 440, 100, 0);
	OGL_sbuff();
}
