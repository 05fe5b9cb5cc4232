// Alerts under --fps_test, the integer formatter, and the orderly end.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>

#include "runtime/UTL_cmdline.h"
#include "shell/hl_alert.h"
#include "shell/hl_init.h"
#include "support/sandbox.h"

namespace {

TEST(int_to_str, pads_signs_and_handles_extremes)
{
	struct case_struct {
		int num, min_digits, show_plus;
		const char* text;
	} cases[] = {
		{7, 1, 0, "7"},         {7, 2, 0, "07"},         {7, 1, 1, "+7"},  {-42, 3, 0, "-042"},
		{5, 3, 0, "005"},       {1234567890, 1, 0, "1234567890"},          {0, 1, 0, "0"},
		{0, 1, 1, "+0"},        {3, 12, 0, "0000000003"}, {INT_MIN, 1, 0, "-2147483648"},
		{INT_MAX, 1, 1, "+2147483647"},
	};
	for (const case_struct& c : cases) {
		char buf[32];
		int_to_str(c.num, buf, c.min_digits, c.show_plus);
		EXPECT_STREQ(buf, c.text) << c.num << " " << c.min_digits;
	}
}

class fps_alert_test : public ::testing::Test {
protected:
	void SetUp() override
	{
		xer.open(box.path("Log.txt"));
		cmdline.options["--fps_test"] = "";
		ASSERT_EQ(chdir(box.root.c_str()), 0);
	}
	sandbox_class box;
};

TEST_F(fps_alert_test, a_notice_is_only_logged_and_the_program_goes_on)
{
	__MACIBM_alert(0, "a", "b", "", "d", t_alert, "somewhere", 12);
	xer.flush();
	EXPECT_EQ(box.read("Log.txt"), "a\nb\n\nd\n(somewhere line 12)\n");
	EXPECT_FALSE(box.exists("stack_crawl.txt"));
}

TEST_F(fps_alert_test, a_fatal_alert_appends_a_stack_crawl_and_exits_with_1)
{
	box.write("stack_crawl.txt", "earlier run\n");
	EXPECT_EXIT(__MACIBM_alert(0, "gone", "", "", "", t_exit, "somewhere", 9), ::testing::ExitedWithCode(1), "");
	EXPECT_EQ(box.read("stack_crawl.txt").rfind("earlier run\n", 0), 0u);
	EXPECT_NE(box.read("Log.txt").find("gone\n\n\n\n(somewhere line 9)\n"), std::string::npos);
}

TEST(alert, before_opengl_a_notice_goes_to_a_message_box_and_the_log)
{
	unsetenv("DISPLAY");
	sandbox_class box;
	xer.open(box.path("Log.txt"));
	testing::internal::CaptureStderr();
	__MACIBM_alert(0, "first", "second", "", "", t_alert, "unit", 3);
	std::string box_text = testing::internal::GetCapturedStderr();
	EXPECT_NE(box_text.find("Kestava Message\n\nfirst\n\nsecond\n\n\n\n"), std::string::npos);
	xer.flush();
	EXPECT_NE(box.read("Log.txt").find("\nfirst\nsecond\n\n\n(unit line 3)\n"), std::string::npos);
	EXPECT_EQ(in_alert, 0);
}

} // namespace
