#include "shell/hl_alert.h"

#include <GL/gl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "io/pref.h"
#include "platform/sys_shell.h"
#include "platform/sys_video.h"
#include "runtime/HL_THREAD.h"
#include "runtime/UTL_Debug.h"
#include "runtime/UTL_cmdline.h"
#include "runtime/UTL_memory.h"
#include "shell/hl_alert_panel.h"
#include "shell/hl_init.h"
#include "shell/hl_mnw.h"
#include "shell/keys.h"
#include "shell/oglp.h"
#include "textures/OGL_extensions.h"

stls_class stls;
int in_alert = 0;

static void append_stack_crawl()
{
	FILE* f = fopen("stack_crawl.txt", "a");
	if (!f) return;
	UTL_dump_stack(f, nullptr, nullptr);
	fclose(f);
}

static void log_alert(const std::string& s1, const std::string& s2, const std::string& s3, const std::string& s4,
                      const std::string& where)
{
	xer << s1 << "\n" << s2 << "\n" << s3 << "\n" << s4 << "\n" << where << "\n";
	xer.flush();
}

// Prepares OpenGL for the panel whatever state the caller left it in.
static void reset_gl_for_panel()
{
	glEnd();
	glEndList();
	for (int i = 0; i < 30 && glGetError() != GL_NO_ERROR; ++i) {}
	OGL_nrml_colors();
	if (glExt.glsl_avail && glExt.glUseProgramObjectARB) glExt.glUseProgramObjectARB(0);
	if (glExt.framebuf_avail && glExt.glBindFramebufferEXT) glExt.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
	glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
	glDisable(GL_SCISSOR_TEST);
}

// The modal panel: nested frames until OK or Enter. A window closed meanwhile ends the wait too.
static void run_alert_panel(int close_to, const std::string& s1, const std::string& s2, const std::string& s3,
                            const std::string& s4, int type, const std::string& where)
{
	reset_gl_for_panel();
	float saved_mx = mnw.mx, saved_my = mnw.my;
	MACIBM_startwind(995, 0);
	while (mnw.top_win_now == 995 && !app_done) {
		if (MACIBM_alert_panel(s1, s2, s3, s4, type, where)) {
			return_hit = 0;
			if (type == t_exit) return;
			MACIBM_startwind(close_to, 0);
			mnw.mx = saved_mx;
			mnw.my = saved_my;
		}
		if (mnw.top_win_now == 995) MACIBM_event_proc();
	}
}

void __MACIBM_alert(int close_to, const std::string& s1, const std::string& s2, const std::string& s3,
                    const std::string& s4, int type, const char* file, int line)
{
	if (THREAD_is_inited() && !THREAD_is_main_thread()) {
		THREAD_send_exception(exce_class(s1, s2, s3, s4, file, line, type));
		return;
	}
	char num[16];
	int_to_str(line, num, 1, 0);
	std::string where = std::string("(") + file + " line " + num + ")";
	if (type == t_exit) append_stack_crawl();
	// A frame-rate test or an unattended run has nobody to confirm a panel: alerts are only logged
	// (and, unattended, shown on standard error).
	bool unattended = cmdline.has_option("--unattended");
	if (cmdline.has_option("--fps_test") || unattended) {
		log_alert(s1, s2, s3, s4, where);
		if (unattended) fprintf(stderr, "%s\n%s\n%s\n%s\n", s1.c_str(), s2.c_str(), s3.c_str(), s4.c_str());
		if (type == t_exit) exit(1);
		return;
	}
	int recursive_error = in_alert;
	in_alert = 1;
	if (!ogl_inited || recursive_error) {
		sys_beep();
		sys_message_box("Kestava Message", s1 + "\n\n" + s2 + "\n\n" + s3 + "\n\n" + s4);
	} else if (!(s1.empty() && s2.empty() && s3.empty() && s4.empty())) {
		run_alert_panel(close_to, s1, s2, s3, s4, type, where);
	}
	if (type == t_exit || type == t_alert || recursive_error) {
		dump_mem_stats("This is the dump_mem_stats call from the following code: if(type==t_exit || type == t_alert || recursive_error)");
		xer << "\n";
		log_alert(s1, s2, s3, s4, where);
	}
	if (type == t_exit || recursive_error) {
		MACIBM_finishup(0);
		app_done = 1;
		_exit(1);
	}
	in_alert = 0;
}

void MACIBM_finishup(int is_normal_exit)
{
	if (is_normal_exit == 1 && !cmdline.has_option("--fps_test")) {
		pref_class::IO_set(11, 1);
		keys.keys_io(1);
	}
	if (is_normal_exit == 1) THREAD_shutdown();
	MACIBM_setres(0);
	MACIBM_nuke_context(1);
	MACIBM_nuke_context(0);
	xer.close();
	sys_video_quit();
}

void int_to_str(int num, char* str, int min_digits, int show_plus)
{
	char* p = str;
	long long mag = num;
	if (num < 0) {
		*p++ = '-';
		mag = -mag;
	} else if (show_plus) {
		*p++ = '+';
	}
	char digits[16];
	int n = 0;
	do {
		digits[n++] = char('0' + mag % 10);
		mag /= 10;
	} while (mag > 0 && n < 10);
	if (min_digits > 10) min_digits = 10;
	while (n < min_digits) digits[n++] = '0';
	while (n > 0) *p++ = digits[--n];
	*p = 0;
}

void go_to_URL(const std::string& url_str) { sys_open_url(url_str); }
