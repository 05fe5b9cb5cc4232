// The whole installer as a user meets it: the real program on the offscreen window, driven by injected
// mouse and key input, one scripted step per frame. With VELMORA_UPDATE_DOCS set, each screen it passes
// is also kept under docs/screens/.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "installer/main.h"
#include "installer/screens.h"
#include "installer/stg.h"
#include "shell/hl_mnw.h"
#include "support/disc_fixture.h"
#include "support/gl_fixture.h"
#include "support/program.h"
#include "support/sandbox.h"

namespace fs = std::filesystem;

namespace {

// Queues a press at a point of the current top window (units, y upward), released in a later frame.
void press_at(float x, float y)
{
	int px = int(mnw.win_x + x), py = int(mnw.y_res_now - (mnw.win_y + y));
	SDL_Event e{};
	e.type = SDL_MOUSEMOTION;
	e.motion.x = px;
	e.motion.y = py;
	SDL_PushEvent(&e);
	e = SDL_Event{};
	e.type = SDL_MOUSEBUTTONDOWN;
	e.button.button = SDL_BUTTON_LEFT;
	e.button.x = px;
	e.button.y = py;
	SDL_PushEvent(&e);
}

void release_mouse()
{
	SDL_Event e{};
	e.type = SDL_MOUSEBUTTONUP;
	e.button.button = SDL_BUTTON_LEFT;
	SDL_PushEvent(&e);
}

void press_key(SDL_Keycode key)
{
	SDL_Event e{};
	e.type = SDL_KEYDOWN;
	e.key.keysym.sym = key;
	e.key.keysym.scancode = SDL_GetScancodeFromKey(key);
	SDL_PushEvent(&e);
	e.type = SDL_KEYUP;
	SDL_PushEvent(&e);
}

// Keeps the frame being drawn as docs/screens/NAME.png when asked to.
void keep_screen(const char* name)
{
	if (!getenv("VELMORA_UPDATE_DOCS")) return;
	std::string folder = std::string(VELMORA_SOURCE_DIR) + "/docs/screens/";
	fs::create_directories(folder);
	gl_write_png(folder + name + ".png", gl_read_pixels(0, 0, 1024, 768), 1024, 768);
}

// The script: called once a frame; the run is ended once it has gone on too long.
std::function<void()> script;
int frames = 0;
int compared_at = 0; // the frame in which the comparison with the disk was done

void run_script()
{
	if (++frames > 20000) {
		app_done = 1;
		return;
	}
	if (stg.dir_scan == 3 && !compared_at) compared_at = frames;
	script();
}

// The comparison is done and its frame, which also showed the reading display, has gone by.
bool comparison_shown() { return compared_at && frames > compared_at + 2; }

int run_installer(const std::string& cmd_line)
{
	MACIBM_frame_hook = run_script;
	return WinMain(nullptr, nullptr, cmd_line.c_str(), 1);
}

// Screen positions of the buttons (units on the main screen or within the panel).
const float install_x = 741, install_y = 89, quit_x = 985, quit_y = 89;
const float decline_x = 342, decline_y = 21, accept_x = 429, accept_y = 21;
const float keep_every_x = 308, keep_every_y = 28;

class installer_run : public ::testing::Test {
protected:
	void SetUp() override
	{
		unsetenv("DISPLAY");
		unsetenv("WAYLAND_DISPLAY");
		ASSERT_EQ(chdir(box.root.c_str()), 0);
	}
	void write_release(int n, const std::string& rel, const std::string& content)
	{
		box.write("releases/" + std::to_string(n) + "/" + rel, content);
	}
	int author_disc()
	{
		return run_shell(shell_quote(program_path("tools/mkdisc/velmora-mkdisc")) + " --name 'Velmora 9.00' --release 840=" +
		                 shell_quote(box.path("releases/840")) + " --release 900=" + shell_quote(box.path("releases/900")) + " " +
		                 shell_quote(box.path("disc")) + " >/dev/null");
	}
	sandbox_class box;
	std::string dest = box.path("dest/");
};

TEST_F(installer_run, a_whole_update_through_the_screens)
{
	// Release 840 is installed and the user changed two files of one folder; 900 changes, adds and drops files.
	for (int i = 0; i < 400; ++i) {
		std::string name = "Resources/plugins/p" + std::to_string(i) + ".txt";
		write_release(840, name, "old " + std::to_string(i));
		write_release(900, name, "new " + std::to_string(i) + std::string(2000, 'x'));
	}
	write_release(840, "Resources/plugins/dropped.txt", "gone in 900");
	write_release(840, "Airfoils/wing.afl", "wing 1");
	write_release(900, "Airfoils/wing.afl", "wing 2");
	write_release(840, "Custom/mine.txt", "as shipped");
	write_release(840, "Custom/also.txt", "as shipped too");
	write_release(900, "Custom/mine.txt", "new in 900");
	write_release(900, "Custom/also.txt", "new in 900 too");
	write_release(900, "Global Scenery/+40-120/+47-122.dsf", std::string(50000, 's'));
	ASSERT_EQ(author_disc(), 0);
	fs::copy(box.path("releases/840"), dest, fs::copy_options::recursive);
	box.write("dest/Custom/mine.txt", "changed by the user");
	box.write("dest/Custom/also.txt", "changed by the user too");

	// Each frame answers whatever is up; a press is released in the frame after it.
	int installs = 0, declined = 0, accepted = 0, questions = 0, notices = 0, quit = 0, last_press = 0;
	bool pressed = false;
	float best_rat = 0;
	auto press = [&](float x, float y) {
		press_at(x, y);
		pressed = true;
		last_press = frames;
	};
	script = [&] {
		if (pressed) {
			release_mouse();
			pressed = false;
			return;
		}
		switch (mnw.top_win_now) {
		case 1: // the licence: declined once, then accepted
			if (!declined) keep_screen("licence");
			press(declined ? accept_x : decline_x, declined ? accept_y : decline_y);
			(declined ? accepted : declined) = 1;
			break;
		case 997: // the question about the changed files, answered for the whole folder
			if (!questions++) keep_screen("question");
			press(keep_every_x, keep_every_y);
			break;
		case 995: // the completion notice
			if (!notices++) keep_screen("notice");
			press_key(SDLK_RETURN);
			pressed = true;
			last_press = frames;
			break;
		case 0:
			if (stg.step == 0 && comparison_shown() && installs < 2 && frames > last_press + 5) {
				if (!installs) keep_screen("ready");
				press(install_x, install_y);
				++installs;
			}
			if (stg.step == 1) {
				// A frame in which a panel closed still shows the panel beneath what was drawn after it.
				if (totl_inst_rat > 0.3f && best_rat <= 0.3f && frames > last_press + 2) keep_screen("installing");
				best_rat = std::max(best_rat, totl_inst_rat);
			}
			if (stg.step == 2 && notices && frames > last_press + 2 && !quit) { // a press as the notice comes up goes to it
				keep_screen("finished");
				press(quit_x, quit_y);
				quit = 1;
			}
			break;
		}
	};
	ASSERT_EQ(run_installer("--media=" + box.path("disc") + " " + dest), 0);
	EXPECT_EQ(quit, 1);
	EXPECT_EQ(installs, 2);
	EXPECT_EQ(declined + accepted, 2);
	EXPECT_EQ(questions, 2) << "choose_files asks once a run: one answer covers the folder";
	EXPECT_EQ(notices, 1);
	EXPECT_GT(best_rat, 0.3f);
	EXPECT_EQ(stg.got_failed_install, 0);

	// The installed tree is release 900, but for the two files the user chose to keep.
	fs::remove(box.path("releases/900/Custom/mine.txt"));
	fs::remove(box.path("releases/900/Custom/also.txt"));
	EXPECT_EQ(box.read("dest/Custom/mine.txt"), "changed by the user");
	EXPECT_EQ(box.read("dest/Custom/also.txt"), "changed by the user too");
	fs::remove(box.path("dest/Custom/mine.txt"));
	fs::remove(box.path("dest/Custom/also.txt"));
	EXPECT_EQ(shell_output("cd " + shell_quote(dest) + " && find . -type f -print0 | sort -z | xargs -0 md5sum"),
	          shell_output("cd " + shell_quote(box.path("releases/900")) + " && find . -type f -print0 | sort -z | xargs -0 md5sum"));
	EXPECT_FALSE(box.exists("dest/Resources/plugins/dropped.txt"));
	EXPECT_NE(box.read("home/.config/Velmora Installer.prf").find("_dest_dir_path " + dest + "\n"), std::string::npos);
}

TEST_F(installer_run, without_a_disc_the_screen_keeps_looking)
{
	script = [&] {
		if (frames == 90) {
			EXPECT_EQ(stg.dir_scan, 0);
			keep_screen("no_disc");
			press_at(quit_x, quit_y);
		}
	};
	ASSERT_EQ(run_installer(dest), 0);
	EXPECT_GE(frames, 90);
}

TEST_F(installer_run, not_enough_space_disables_install)
{
	disc_fixture_class disc(box.path("disc/"), "Velmora 9.00");
	disc.write_marker();
	// A file that claims more kilobytes than any disk holds.
	disc.write_directory(directory_header() + "DIR Velmora 9.00/\n" +
	                     file_line(0, 900, md5_of("x"), "huge.dat", 1, 2000000000));
	disc.add_file("Velmora 9.00/huge.dat", "x");
	int clicked_at = 0;
	script = [&] {
		if (!clicked_at && mnw.top_win_now == 0 && comparison_shown()) {
			keep_screen("not_enough_space");
			EXPECT_EQ(disk_space_avail, 0);
			press_at(install_x, install_y);
			clicked_at = frames;
		}
		if (clicked_at && frames == clicked_at + 5) {
			EXPECT_EQ(mnw.top_win_now, 0) << "the disabled Install button opened the licence";
			EXPECT_EQ(stg.step, 0);
			press_at(quit_x, quit_y);
		}
	};
	ASSERT_EQ(run_installer("--media=" + box.path("disc") + " " + dest), 0);
	EXPECT_GT(clicked_at, 0);
}

TEST(screen_figures, percentage_space_and_progress_bar)
{
	struct percent_case {
		float rat;
		const char* text;
	} percents[] = {{0, " 0.0"}, {0.0534f, " 5.3"}, {0.9996f, "100.0"}, {0.12349f, "12.3"}, {1, "100.0"}, {0.99949f, "99.9"}};
	for (const percent_case& c : percents) EXPECT_EQ(percent_text(c.rat), c.text) << c.rat;

	EXPECT_EQ(disk_space_sufficient(100, 99), 1);
	EXPECT_EQ(disk_space_sufficient(100, 100), 0);
	EXPECT_EQ(disk_space_sufficient(99, 100), 0);

	float centre, width;
	EXPECT_FALSE(progress_fill(0.02f, centre, width));
	for (float rat = 0.021f; rat <= 1.0f; rat += 0.0137f) {
		ASSERT_TRUE(progress_fill(rat, centre, width));
		EXPECT_EQ(std::fmod(width, 4.0f), 0.0f) << rat;
		EXPECT_EQ(std::fmod(centre, 2.0f), 0.0f) << rat;
		EXPECT_NEAR(centre - width / 2, base_x1, 4) << rat;
	}
	EXPECT_EQ(remaining_time_text(1200, 300, 60), "3 minutes");
	EXPECT_EQ(remaining_time_text(1200, 1190, 595), "5 seconds");
	EXPECT_EQ(remaining_time_text(100000, 10, 100), "277 hours");
}

} // namespace
