// The destination named on the command line, and recognising an existing installation.
#include <gtest/gtest.h>

#include "installer/main.h"
#include "installer/stg.h"
#include "support/sandbox.h"

namespace {

TEST(destination, the_command_line_words_without_dashes_name_the_folder)
{
	struct case_struct {
		const char* cmd_line;
		const char* dest;
	} cases[] = {
		{"", ""},
		{"--fps_test", ""},
		{"/home/u/Velmora 9", "/home/u/Velmora 9/"},
		{"/home/u/Velmora 9/ --fps_test --pref:_log_actions=1", "/home/u/Velmora 9/"},
		{"--media=/mnt/disc /games/V9", "/games/V9/"},
		{"\"C:\\Velmora 9\"", "\"C:\\Velmora 9\"/"},
		{"/a  b", "/a b/"},
	};
	for (const case_struct& c : cases) EXPECT_EQ(destination_from_command_line(c.cmd_line), c.dest) << c.cmd_line;
}

TEST(path_is_to_a_sim, needs_all_four_folders_by_name_part)
{
	sandbox_class box;
	dest_dir_path = box.path("sim/");
	EXPECT_EQ(path_is_to_a_sim(), 0) << "a missing folder";
	for (const char* f : {"sim/Airfoils old/x", "sim/Instructions/x", "sim/Output/x"}) box.write(f, "");
	box.write("sim/Resources", "a file does not count");
	EXPECT_EQ(path_is_to_a_sim(), 0);
	box.write("sim/My Resources/x", "");
	EXPECT_EQ(path_is_to_a_sim(), 1);
	box.write("sim2/AirfoilsInstructionsOutputResources/x", "");
	dest_dir_path = box.path("sim2/");
	EXPECT_EQ(path_is_to_a_sim(), 1) << "one folder may hold all four names";
}

} // namespace
