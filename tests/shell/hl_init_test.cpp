// The program as a user starts it: help, command listing, the log header, and an orderly end.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <thread>

#include "support/program.h"
#include "support/sandbox.h"

namespace {

class program_test : public ::testing::Test {
protected:
	void SetUp() override { unsetenv("DISPLAY"); unsetenv("WAYLAND_DISPLAY"); }
	sandbox_class box;
	std::string out = box.path("out.txt");
	std::string log = box.path("home/Desktop/Log.txt");
};

TEST_F(program_test, help_and_command_listing_print_and_exit)
{
	for (const char* flag : {"-h", "--help"}) {
		pid_t pid = start_program(program_path("velmora-installer"), {flag}, out);
		ASSERT_EQ(wait_program(pid, 30), 0);
		EXPECT_EQ(box.read("out.txt").rfind("Usage: Velmora [options...]\n", 0), 0u) << flag;
	}
	pid_t pid = start_program(program_path("velmora-installer"), {"--cmnds=all"}, out);
	ASSERT_EQ(wait_program(pid, 30), 0);
	EXPECT_EQ(box.read("out.txt"), "sim/operation/none                                 Do nothing at all!\n");
	pid = start_program(program_path("velmora-installer"), {"--cmnds=sim/"}, out);
	ASSERT_EQ(wait_program(pid, 30), 0);
	EXPECT_EQ(box.read("out.txt"), "operation/\n");
}

TEST_F(program_test, headless_start_writes_the_log_and_ends_in_order_on_sigterm)
{
	pid_t pid = start_program(program_path("velmora-installer"), {}, out);
	ASSERT_TRUE(wait_for_text(log, "After searching, I think that dvd_path=", 60)) << box.read("out.txt");
	kill(pid, SIGTERM);
	ASSERT_EQ(wait_program(pid, 30), 0);
	std::string text = box.read("home/Desktop/Log.txt");
	EXPECT_EQ(text.rfind("log.txt for Velmora 9.00 Beta-25 Installer 90025 compiled on ", 0), 0u);
	for (const std::string& line :
	     {std::string("This log file is generated automatically by Quorvik applications"), std::string("\nCPU type: "),
	      std::string("\nPhysical Memory: "), std::string("\nCPU 0: "), std::string("\nKestava folder:'', case sensitive=0\n\n"),
	      std::string("CPU count        : "), "os_dir_this_app\t\t=" + std::string(VELMORA_BIN_DIR) + "/\n",
	      "os_dir_desktop\t\t=" + box.path("home/Desktop/\n"), "os_dir_default_apps\t=" + box.path("home/\n"),
	      "os_dir_temp\t\t\t=" + box.path("tmp/\n"), "os_dir_prefs\t\t\t=" + box.path("home/.config/\n\n"),
	      "dest_dir_path=" + box.path("home/Velmora 9/\n")})
		EXPECT_NE(text.find(line), std::string::npos) << line;
	EXPECT_GE(text.size(), 25u);
	EXPECT_EQ(text.substr(text.size() - 25), "Clean exit from threads.\n");
}

TEST_F(program_test, a_log_that_cannot_be_written_does_not_stop_the_program)
{
	box.write("home/Desktop/Log.txt/blocker", "");
	pid_t pid = start_program(program_path("velmora-installer"), {}, out);
	std::this_thread::sleep_for(std::chrono::seconds(2));
	kill(pid, SIGTERM);
	EXPECT_EQ(wait_program(pid, 30), 0);
}

} // namespace
