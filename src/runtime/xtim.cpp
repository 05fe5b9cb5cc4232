#include "runtime/xtim.h"

#include <SDL2/SDL_timer.h>

#include <cmath>

#include "shell/butn.h"
#include "shell/colr.h"
#include "shell/hl_init.h"
#include "shell/hl_mnw.h"

xtim_class xtim;

xtim_class::xtim_class()
	: real_time(0), total_frames(0), act_puff01(0), act_puff02(0), act_puff05(0), act_puff1(0), act_puff2(0),
	  act_puff5(0), act_puff10(0), act_puff20(0), act_puff40(0), first_miss_cycle(1), real_year(0), real_month(0),
	  real_day(0), gnd_speed_mult(1.0f), flt_speed_mult(1.0f), prd_act(0.02f), prd_sim(0.02f), prd_time_advance(0),
	  rt_rat(1.0f), totl_time(0), miss_time(0), timr_time(0), zulu_time(43200.0), locl_time(43200.0),
	  hobs_time(0), prd_max(0.05263158f), use_sys_time(0), hours_offset(0), locl_date_jan1(90), timer_running(0),
	  jog_slider_rat(0)
{
}

uint64_t xtim_class::microsecs_tot()
{
	double count = double(SDL_GetPerformanceCounter());
	double freq = double(SDL_GetPerformanceFrequency());
	return uint64_t(count / freq * 1000000.0);
}

double xtim_seconds()
{
	static const uint64_t origin = xtim_class::microsecs_tot();
	return double(xtim_class::microsecs_tot() - origin) / 1000000.0;
}

namespace {
struct puff_struct {
	int xtim_class::*flag;
	float interval;
	float last;
};
puff_struct puffs[] = {
	{&xtim_class::act_puff01, 10.0f, 0}, {&xtim_class::act_puff02, 5.0f, 0},  {&xtim_class::act_puff05, 2.0f, 0},
	{&xtim_class::act_puff1, 1.0f, 0},   {&xtim_class::act_puff2, 0.5f, 0},   {&xtim_class::act_puff5, 0.2f, 0},
	{&xtim_class::act_puff10, 0.1f, 0},  {&xtim_class::act_puff20, 0.05f, 0}, {&xtim_class::act_puff40, 0.025f, 0},
};
bool started = false;
double start_time = 0;
float last_mx = 999.0f, last_my = 999.0f;
const float click_window = 0.25f;
}

static void update_mouse_timing(float t)
{
	mnw.delay_dragging = (mnw.now_dragging && t > mnw.m_down_time + click_window) ? 1 : 0;
	mnw.mouse_double_clicked = (mnw.mouse_clicked && t < mnw.m_down_time + click_window) ? 1 : 0;
	mnw.mouse_did_click = (mnw.mouse_lifted && t < mnw.m_down_time + click_window) ? 1 : 0;
	if (mnw.mouse_clicked) {
		mnw.now_dragging = 1;
		mnw.m_move_time = mnw.m_down_time = t;
		BTN_unfocus_any();
	}
	if (mnw.mouse_lifted) {
		mnw.now_dragging = 0;
		mnw.delay_dragging = 0;
	}
	if (std::fabs(mnw.mx - last_mx) > 0.5f || std::fabs(mnw.my - last_my) > 0.5f) mnw.m_move_time = t;
	last_mx = mnw.mx;
	last_my = mnw.my;
}

void xtim_class::xtim_update()
{
	if (!started) {
		start_time = xtim_seconds();
		started = true;
	}
	real_time = float(xtim_seconds() - start_time);
	for (puff_struct& p : puffs) {
		this->*p.flag = 0;
		if (std::fabs(real_time - p.last) > p.interval) {
			this->*p.flag = 1;
			p.last = real_time;
		}
	}
	update_mouse_timing(real_time);
	colr.set_pulse_colors(real_time);
}

void xtim_class::profile_chart(const char* location, int is_last)
{
	if (!mnw.track_cpu) return;
	xer << "profile " << location << " " << microsecs_tot() << (is_last ? "\n\n" : "\n");
}
