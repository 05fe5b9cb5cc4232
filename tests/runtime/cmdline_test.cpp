// The command line: words, values, repeats and the log lines they leave.
#include <gtest/gtest.h>

#include <sstream>

#include "runtime/UTL_cmdline.h"
#include "shell/cmnd.h"
#include "shell/hl_init.h"
#include "support/sandbox.h"

namespace {

struct parsed_struct {
	std::map<std::string, std::string> options;
	std::string log;
};

parsed_struct parse(const char* text)
{
	sandbox_class box;
	xer.open(box.path("log.txt"));
	UTL_cmdline c;
	c.init_win(text);
	xer.close();
	return {c.options, box.read("log.txt")};
}

TEST(cmdline, words_become_keys_with_their_values)
{
	struct case_struct {
		const char* text;
		std::map<std::string, std::string> options;
		const char* log;
	} cases[] = {
		{"--pref:tag=2 --no_dds", {{"--pref:tag", "2"}, {"--no_dds", ""}}, "     '--pref:tag'='2'\n     '--no_dds'\n"},
		{"--a=1 --a=2", {{"--a", "2"}},
		 "     '--a'='1'\nWARNING: command line option --a=2included twice.\n     '--a'='2'\n"},
		{"=x", {}, ""},
		{"", {}, ""},
		{"  /home/u/My\tGames/  --x=a=b ", {{"/home/u/My", ""}, {"Games/", ""}, {"--x", "a=b"}}, nullptr},
		{"\"C:\\Velmora 9\"", {{"\"C:\\Velmora", ""}, {"9\"", ""}}, nullptr},
	};
	for (const case_struct& c : cases) {
		parsed_struct p = parse(c.text);
		EXPECT_EQ(p.options, c.options) << c.text;
		if (c.log) {
			EXPECT_EQ(p.log, c.log) << c.text;
		}
	}
}

TEST(cmdline, a_value_never_turns_a_flag_off)
{
	UTL_cmdline c;
	c.options = {{"--no_dds", "0"}};
	EXPECT_EQ(c.has_option("--no_dds"), 1);
	EXPECT_EQ(c.get_option("--no_dds"), "0");
	EXPECT_EQ(c.has_option("--fps_test"), 0);
	EXPECT_EQ(c.get_option("--fps_test"), "");
}

TEST(cmdline, help_prints_the_usage_and_exits)
{
	UTL_cmdline c;
	EXPECT_EXIT(c.init_win("--other -h"), ::testing::ExitedWithCode(0), "");
}

TEST(cmnd, commands_are_found_by_name_and_path)
{
	EXPECT_EQ(cmnd.get_cmnd_by_name("sim/operation/none"), 0);
	EXPECT_EQ(cmnd.get_cmnd_desc(0), "Do nothing at all!");
	std::vector<std::string> out;
	cmnd.get_cmds_in_path("", out);
	EXPECT_EQ(out, std::vector<std::string>{"sim/"});
	cmnd.get_cmds_in_path("sim/operation/", out);
	EXPECT_EQ(out, std::vector<std::string>{"none"});
	cmnd.get_cmds_in_path("sim/x", out);
	EXPECT_TRUE(out.empty());
	cmnd.press_one(0);
	cmnd.press_one(0);
	cmnd.release_one(0);
	EXPECT_EQ(cmnd.cmnd_down[0], 1);
}

} // namespace
