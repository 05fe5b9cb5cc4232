#pragma once
// The frame clock.
#include <cstdint>

class xtim_class {
public:
	xtim_class();
	float real_time;   // seconds since the first frame update
	int total_frames;
	int act_puff01, act_puff02, act_puff05, act_puff1, act_puff2, act_puff5, act_puff10, act_puff20, act_puff40;

	// Kept for the simulator that shares this clock; not read by the installer.
	int first_miss_cycle, real_year, real_month, real_day;
	float gnd_speed_mult, flt_speed_mult, prd_act, prd_sim, prd_time_advance, rt_rat;
	double totl_time, miss_time, timr_time, zulu_time, locl_time, hobs_time;
	float prd_max;
	int use_sys_time;
	float hours_offset;
	int locl_date_jan1, timer_running;
	float jog_slider_rat;

	static uint64_t microsecs_tot();
	void xtim_update();
	void profile_chart(const char* location, int is_last);
};

extern xtim_class xtim;

// Seconds since the program clock origin, which is taken on the first call.
double xtim_seconds();
