#include "installer/sub_wins.h"

#include <cmath>
#include <cstdio>

#include "installer/choose.h"
#include "installer/unattended.h"
#include "runtime/UTL_cmdline.h"
#include "shell/butn.h"
#include "shell/colr.h"
#include "shell/hl_mnw.h"
#include "shell/oglp.h"

int agreed = 0;

static const int installer_picture = 393;
static const int button_tint = 103;
static const float picture_size = 1024.0f;

int interface_rect(float x, float y, float s, float t, float w, float h, int hot, int tint)
{
	colr.assign(button_tint, 1, 1, 1);
	if (tint == 1) colr.assign(button_tint, 0.8f, 1.0f, 0.8f);
	if (tint == 2) colr.assign(button_tint, 1.0f, 0.8f, 0.8f);
	bool inside = mouse_in_box(x, y, x + w, y + h);
	if (hot && inside) t -= mnw.now_dragging ? 2 * (h + 1) : h + 1;
	const float k = 1.0f / picture_size;
	OGL_2dquad(installer_picture, button_tint, 1.0f, x, y, s * k, t * k, x, y + h, s * k, (t + h) * k, x + w, y + h,
	           (s + w) * k, (t + h) * k, x + w, y, (s + w) * k, t * k, 1, 5);
	return (mnw.mouse_clicked && inside) ? 1 : 0;
}

void interface_icon(float x, float y, int n) { interface_rect(x, y, float((n % 8) * 64), float((n / 8) * 64 + 66), 64, 64, 0, 0); }

std::string one_decimal(double v, int width)
{
	long long tenths = std::llround(v * 10.0);
	bool negative = tenths < 0;
	if (negative) tenths = -tenths;
	std::string whole = std::to_string(tenths / 10);
	if (negative) whole = "-" + whole;
	while (int(whole.size()) < width) whole = " " + whole;
	return whole + "." + char('0' + tenths % 10);
}

void set_size_str(float kb, std::string& out)
{
	double v = kb * 0.001;
	out = v < 1000 ? one_decimal(v, 0) + " Meg" : one_decimal(v * 0.001, 0) + " Gig";
}

int handle_EULA()
{
	if (agreed == 1) return 1;
	// With nobody at the screen the licence counts as accepted only when the command line says so.
	if (unattended_running()) return agreed = cmdline.has_option("--accept_eula");
	MACIBM_startwind(1, 0);
	while (mnw.top_win_now == 1 && !app_done) {
		OGL_plot_back_col();
		BTN_fillwin(1, 21);
		BTN_subwin(0, 16, -1, 50, -1, -1, "", nullptr, nullptr);
		OGL_string(46, 20, 250, "You may use Velmora for any purpose you like.", 400, 100, 0);
		OGL_string(46, 20, 230, "You agree not to make copies of Velmora for anyone else.", 400, 100, 0);
		OGL_string(46, 20, 210, "You agree not to pass on the artwork of Velmora, or anything made from it, without the permission of Quorvik.", 400, 100, 0);
		if (interface_rect(300, 10, 832, 166, 85, 22, 1, 1)) {
			agreed = 0;
			MACIBM_startwind(0, 0);
		}
		if (interface_rect(400, 10, 918, 166, 59, 22, 1, 1)) {
			agreed = 1;
			MACIBM_startwind(0, 0);
		}
		MACIBM_event_proc();
	}
	return agreed;
}

int ask_in_question_window(const std::string& dest_path_exp, int is_gone)
{
	struct button_struct {
		float x, y, dx;
		const char* keep_text;
		const char* gone_text;
		int reply;
	};
	static const button_struct buttons[] = {
		{96, 53, 160, "OVERWRITE THE OLD FILE", "DELETE THE OLD FILE", select_replace},
		{96, 28, 160, "KEEP THE OLD FILE", "KEEP THE OLD FILE", select_keep},
		{308, 53, 260, "OVERWRITE EVERY OLD FILE IN THIS DIRECTORY", "DELETE EVERY OLD FILE IN THIS DIRECTORY", select_replace_folder},
		{308, 28, 260, "KEEP EVERY OLD FILE IN THIS DIRECTORY", "KEEP EVERY OLD FILE IN THIS DIRECTORY", select_keep_folder},
		{584, 28, 200, "CANCEL THE WHOLE INSTALLATION!", "CANCEL THE WHOLE INSTALLATION!", select_cancel},
	};
	MACIBM_startwind(997, 0);
	while (mnw.top_win_now == 997 && !app_done) {
		OGL_plot_back_col();
		BTN_fillwin(1, 21);
		BTN_subwin(0, 13, -1, -1, -1, -1, "", nullptr, nullptr);
		float w = mnw.win_dx - 40;
		OGL_string(46, 20, 100, is_gone ? "I am about to DELETE:" : "I am about to install:", w, 100, 0);
		OGL_string(46, 20, 90, dest_path_exp, w, 100, 0);
		OGL_string(46, 20, 80,
		           is_gone ? "because we no longer use this file, but it appears you have modified it. What to do?"
		                   : "but it appears you have modified this file. What to do?",
		           w, 100, 0);
		for (const button_struct& b : buttons) {
			if (!BTN_action(b.x, b.y, b.dx, 0, 1, is_gone ? b.gone_text : b.keep_text, "-")) continue;
			MACIBM_startwind(0, 0);
			return b.reply;
		}
		MACIBM_event_proc();
	}
	return select_cancel;
}
