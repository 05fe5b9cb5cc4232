#include "io_fixture.h"

#include <unistd.h>

#include <cstdlib>

#include "runtime/UTL_cmdline.h"
#include "shell/hl_init.h"

void io_test::SetUp()
{
	cmdline.options.clear();
	cmdline.options["--fps_test"] = "";
	xer.close();
	xer.clear();
	xer.open(box.path("Log.txt"));
}

void io_test::TearDown()
{
	xer.close();
	cmdline.options.clear();
}

std::string io_test::log_text()
{
	xer.flush();
	return box.read("Log.txt");
}

void log_to_stderr()
{
	xer.close();
	xer.clear();
	xer.open("/dev/stderr");
	// A fatal alert leaves its stack trace in the current folder.
	if (chdir(getenv("TMPDIR")) != 0) abort();
}

void run_in(const sandbox_class& box, const std::string& rel, const std::string& command)
{
	ASSERT_EQ(run_shell("cd " + shell_quote(box.path(rel)) + " && " + command + " >/dev/null"), 0) << command;
}
