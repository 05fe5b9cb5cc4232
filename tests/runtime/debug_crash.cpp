// The crash log, as left by a real program dying of a fatal signal in one of its functions.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/sandbox.h"

static const char* crasher = VELMORA_BIN_DIR "/tests/debug_crasher";
static const char* crasher_source = VELMORA_SOURCE_DIR "/tests/runtime/crasher/crasher.cpp";

static std::vector<std::string> lines_of(const std::string& text)
{
	std::vector<std::string> lines;
	std::istringstream in(text);
	for (std::string line; std::getline(in, line);) lines.push_back(line);
	return lines;
}

// The line of the crashing program marked "crash site: MODE".
static int crash_site(const std::string& mode)
{
	std::ifstream in(crasher_source);
	int number = 0;
	for (std::string line; std::getline(in, line);) {
		++number;
		if (line.find("// crash site: " + mode) != std::string::npos) return number;
	}
	return -1;
}

// Runs the crashing program in `folder` with the diagnostics log Log.txt there; returns its wait status.
static int run_crasher(const std::string& folder, const std::string& mode)
{
	std::string log = folder + "Log.txt";
	pid_t child = fork();
	if (child == 0) {
		if (chdir(folder.c_str()) == 0) execl(crasher, crasher, mode.c_str(), log.c_str(), nullptr);
		_exit(127);
	}
	int status = 0;
	waitpid(child, &status, 0);
	return status;
}

struct crash_case {
	const char* mode;
	int signal;
	const char* header;   // what the log starts with
	const char* function; // where the crash happened
	const char* site;     // the mode whose marked line faulted
};

static void PrintTo(const crash_case& c, std::ostream* out) { *out << c.mode; }

class debug_crash : public testing::TestWithParam<crash_case> {};

TEST_P(debug_crash, log_names_the_function_file_and_line_and_the_process_still_dies)
{
	const crash_case& c = GetParam();
	sandbox_class box;
	int status = run_crasher(box.root, c.mode);
	ASSERT_TRUE(WIFSIGNALED(status)) << "status " << status;
	EXPECT_EQ(WTERMSIG(status), c.signal);

	std::string log = box.read("crash_log.txt");
	EXPECT_EQ(log.rfind(c.header, 0), 0u) << log;
	std::string where = std::string(c.function) + " + ";
	std::string source = " (crasher.cpp:" + std::to_string(crash_site(c.site)) + ") (debug_crasher + ";
	bool found = false;
	for (const std::string& line : lines_of(log))
		found = found || (line.find(where) != std::string::npos && line.find(source) != std::string::npos);
	EXPECT_TRUE(found) << "no entry with " << where << source << " in\n" << log;
	EXPECT_EQ(box.read("Log.txt"),
	          "before the crash\nThis application has crashed.  Please send the file crash_log.txt to Quorvik.\n");
}

INSTANTIATE_TEST_SUITE_P(
	signals, debug_crash,
	testing::Values(
		crash_case{"segv", SIGSEGV, "Unhandled exception: SIGSEGV (0000000B)\nFlags=1, Address = 0x00000000\n  0) ",
	               "  0) (anonymous namespace)::write_through_null()", "segv"},
		crash_case{"fpe", SIGFPE, "Unhandled exception: SIGFPE (00000008)\nFlags=1, Address = 0x",
	               "  0) (anonymous namespace)::divide_by_zero(int)", "fpe"},
		crash_case{"abort", SIGABRT, "Unhandled exception: SIGABRT (00000006)\nFlags=fffffffa, Address = 0x00000000\n",
	               ") (anonymous namespace)::give_up()", "abort"},
		crash_case{"thread", SIGSEGV, "Unhandled exception: SIGSEGV (0000000B)\n",
	               "  0) (anonymous namespace)::write_through_null()", "segv"},
		crash_case{"overflow", SIGSEGV, "Unhandled exception: SIGSEGV (0000000B)\n",
	               "  1) (anonymous namespace)::overflow_stack(int)", "overflow"}),
	[](const testing::TestParamInfo<crash_case>& info) { return std::string(info.param.mode); });

TEST(debug_crash_log, deep_stack_stops_after_entry_99_and_later_crashes_append)
{
	sandbox_class box;
	run_crasher(box.root, "deep");
	run_crasher(box.root, "segv");
	std::vector<std::string> lines = lines_of(box.read("crash_log.txt"));
	ASSERT_GT(lines.size(), 104u) << box.read("crash_log.txt");
	EXPECT_EQ(lines[2].rfind("  0) (anonymous namespace)::write_through_null() + ", 0), 0u) << lines[2];
	EXPECT_EQ(lines[101].rfind("  99) (anonymous namespace)::recurse_then_crash(int) + ", 0), 0u) << lines[101];
	EXPECT_EQ(lines[102], "Unhandled exception: SIGSEGV (0000000B)");
	EXPECT_EQ(lines[104].rfind("  0) (anonymous namespace)::write_through_null() + ", 0), 0u) << lines[104];
}
