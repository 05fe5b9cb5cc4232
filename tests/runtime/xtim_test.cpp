// The frame clock: the periodic flags and the click, double-click and drag timing of the mouse.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "runtime/xtim.h"
#include "shell/hl_mnw.h"

namespace {

void frame_after(double seconds)
{
	std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
	xtim.xtim_update();
	mnw.mouse_clicked = mnw.mouse_lifted = 0;
}

TEST(xtim, the_first_frame_starts_the_clock_and_raises_no_flag)
{
	xtim.xtim_update();
	EXPECT_LT(xtim.real_time, 0.05f);
	EXPECT_EQ(xtim.act_puff40 + xtim.act_puff1 + xtim.act_puff01, 0);
	frame_after(0.03);
	EXPECT_EQ(xtim.act_puff40, 1); // more than 0.025 s have passed
	EXPECT_EQ(xtim.act_puff1, 0);
}

TEST(xtim, a_quick_press_and_release_is_a_click_and_a_slow_one_is_a_drag)
{
	auto frame = [](int clicked, int lifted, double after) {
		std::this_thread::sleep_for(std::chrono::duration<double>(after));
		mnw.mouse_clicked = clicked;
		mnw.mouse_lifted = lifted;
		xtim.xtim_update();
	};
	frame(0, 0, 0);
	frame(1, 0, 0);
	EXPECT_EQ(mnw.now_dragging, 1);
	frame(0, 1, 0);
	EXPECT_EQ(mnw.mouse_did_click, 1);
	frame(1, 0, 0);
	EXPECT_EQ(mnw.mouse_double_clicked, 1);
	frame(0, 0, 0.3);
	EXPECT_EQ(mnw.delay_dragging, 1);
	frame(0, 1, 0);
	EXPECT_EQ(mnw.mouse_did_click, 0);
	EXPECT_EQ(mnw.now_dragging, 0);
	EXPECT_EQ(mnw.delay_dragging, 0);
	frame(1, 0, 0.3);
	EXPECT_EQ(mnw.mouse_double_clicked, 0);
}

TEST(xtim, small_mouse_movements_do_not_count_as_movement)
{
	xtim.xtim_update();
	mnw.mx = 100;
	mnw.my = 100;
	frame_after(0.01);
	float moved_at = mnw.m_move_time;
	mnw.mx += 0.4f;
	mnw.my += 0.4f;
	frame_after(0.01);
	EXPECT_EQ(mnw.m_move_time, moved_at);
	mnw.mx += 0.6f;
	frame_after(0.01);
	EXPECT_GT(mnw.m_move_time, moved_at);
}

} // namespace
