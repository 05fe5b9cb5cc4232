// The window procedure, top windows, click routing and the frame loop on a real offscreen window.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <chrono>

#include "installer/stg.h"
#include "platform/sys_events.h"
#include "platform/sys_video.h"
#include "shell/hl_alert.h"
#include "shell/hl_init.h"
#include "shell/hl_mnw.h"
#include "support/sandbox.h"
#include "textures/OGL_extensions.h"
#include "textures/ins_texes.h"

namespace {

class window_test : public ::testing::Test {
protected:
	void SetUp() override
	{
		unsetenv("DISPLAY");
		ASSERT_TRUE(sys_video_init());
		mnw.x_res_req = 1024;
		mnw.y_res_req = 768;
		mnw.col_res_req = 32;
		mnw.xy_scale_now = 1.0f;
		MACIBM_setres(1);
		ASSERT_EQ(MACIBM_make_context(0), 1) << sys_video_error();
		ASSERT_EQ(have_created_ibm_win, 1);
		glExt.init_extensions();
		recall_ins_texes();
		MACIBM_clear_menus(1);
	}
	void TearDown() override { MACIBM_nuke_context(0); }

	static void send(int type, int x = 0, int y = 0, int wheel = 0)
	{
		sys_event_struct ev;
		ev.type = type;
		ev.x = x;
		ev.y = y;
		ev.wheel = wheel;
		IBM_handlewin(ev);
	}
};

TEST_F(window_test, top_windows_take_their_size_and_are_centred)
{
	struct case_struct {
		int id;
		float dx, dy, x, y;
		int modal;
	} cases[] = {
		{0, 1024, 768, 0, 0, 0},   {1, 500, 300, 262, 234, 1},  {995, 420, 250, 302, 259, 1},
		{997, 700, 146, 162, 311, 1}, {42, 1024, 768, 0, 0, 0},
	};
	for (const case_struct& c : cases) {
		MACIBM_startwind(c.id, 0);
		EXPECT_EQ(mnw.top_win_now, c.id);
		EXPECT_EQ(mnw.win_dx, c.dx) << c.id;
		EXPECT_EQ(mnw.win_dy, c.dy) << c.id;
		EXPECT_EQ(mnw.win_x, c.x) << c.id;
		EXPECT_EQ(mnw.win_y, c.y) << c.id;
		EXPECT_EQ(mnw.is_modal, c.modal) << c.id;
	}
	MACIBM_startwind(1, 0);
	EXPECT_EQ(stls.win_name, "EULA");
	mnw.x_res_now = 400; // a panel wider than the surface sits at 0
	MACIBM_startwind(1, 0);
	EXPECT_EQ(mnw.win_x, 0);
	mnw.x_res_now = 1025; // an odd difference is rounded half away from zero
	MACIBM_startwind(1, 0);
	EXPECT_EQ(mnw.win_x, 263);
}

TEST_F(window_test, mouse_positions_are_measured_upward_from_the_window_origin)
{
	MACIBM_startwind(1, 0);
	send(sys_ev_mouse_move, 300, 700);
	EXPECT_EQ(mnw.mx, 300 - 262);
	EXPECT_EQ(mnw.my, 68 - 234);
	for (auto [delta, notches] : {std::pair{120, 1}, {60, 0}, {-200, -1}}) {
		mnw.mouse_wheel = 0;
		send(sys_ev_wheel, 0, 0, delta);
		EXPECT_EQ(mnw.mouse_wheel, notches) << delta;
	}
}

TEST_F(window_test, corner_boxes_close_closable_panels_only)
{
	struct case_struct {
		int win;
		float mx, my;
		bool closes;
	} cases[] = {
		{1, 25, 280, true},  {1, 26, 280, false}, {1, 475, 300, true}, {1, 250, 150, false},
		{995, 5, 245, false}, {997, 5, 140, false},
	};
	for (const case_struct& c : cases) {
		MACIBM_startwind(c.win, 0);
		mnw.mx = c.mx;
		mnw.my = c.my;
		send(sys_ev_button_down);
		EXPECT_EQ(mnw.top_win_now, c.closes ? 0 : c.win) << c.win << " at " << c.mx << "," << c.my;
	}
	MACIBM_startwind(1, 0);
	return_hit = 1;
	MACIBM_handleclick(1);
	EXPECT_EQ(mnw.top_win_now, 0);
	EXPECT_EQ(return_hit, 0);
}

TEST_F(window_test, the_first_frame_opens_the_main_screen_and_closing_ends_the_loop)
{
	mnw.top_win_now = -1;
	win_started = 0;
	MACIBM_event_proc();
	EXPECT_EQ(mnw.top_win_now, 0);
	EXPECT_EQ(win_started, 1);
	sys_request_close();
	int frames = 0;
	while (!app_done && frames < 100) {
		MACIBM_event_proc();
		++frames;
	}
	EXPECT_EQ(app_done, 1);
}

TEST_F(window_test, an_idle_loop_waits_for_input_instead_of_spinning)
{
	stg.use_max_cpu = 0;
	MACIBM_event_proc();
	int frames = 0;
	auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
	while (std::chrono::steady_clock::now() < end) {
		MACIBM_event_proc();
		++frames;
	}
	EXPECT_LE(frames, 33); // about 62 frames a second at the most
}

} // namespace
