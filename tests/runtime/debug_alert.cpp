// The stack crawl that a fatal alert leaves behind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <sstream>
#include <string>

#include "runtime/UTL_cmdline.h"
#include "shell/hl_alert.h"
#include "shell/hl_init.h"
#include "support/sandbox.h"

static bool has_line_with(const std::string& text, const std::string& a, const std::string& b)
{
	std::istringstream in(text);
	for (std::string line; std::getline(in, line);)
		if (line.find(a) != std::string::npos && line.find(b) != std::string::npos) return true;
	return false;
}

TEST(debug_alert, fatal_alert_appends_a_symbolised_crawl)
{
	sandbox_class box;
	char before[PATH_MAX];
	ASSERT_NE(getcwd(before, sizeof(before)), nullptr);
	ASSERT_EQ(chdir(box.root.c_str()), 0);
	box.write("stack_crawl.txt", "an earlier crawl\n");
	xer.open(box.path("Log.txt"));
	cmdline.options["--fps_test"] = ""; // logs the alert instead of showing it

	EXPECT_EXIT(__MACIBM_alert(0, "gone", "", "", "", t_exit, "somewhere", 9), testing::ExitedWithCode(1), "");

	cmdline.options.erase("--fps_test");
	xer.close();
	ASSERT_EQ(chdir(before), 0);
	std::string crawl = box.read("stack_crawl.txt");
	EXPECT_EQ(crawl.rfind("an earlier crawl\n  0) ", 0), 0u) << crawl;
	EXPECT_TRUE(has_line_with(crawl, ") __MACIBM_alert(", "(hl_alert.cpp:")) << crawl;
	EXPECT_TRUE(has_line_with(crawl, "fatal_alert_appends_a_symbolised_crawl_Test::TestBody() + ", "(debug_alert.cpp:"))
		<< crawl;
}
