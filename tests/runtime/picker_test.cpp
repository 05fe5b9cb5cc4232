// The file and folder pickers through a stand-in dialog program, and the destination picker on top.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "installer/main.h"
#include "installer/stg.h"
#include "runtime/PlatformUtils.h"
#include "shell/hl_init.h"
#include "support/sandbox.h"

namespace {

// A dialog program that records its arguments and answers with $ANSWER and exit status $STATUS.
class picker_test : public ::testing::Test {
protected:
	void SetUp() override
	{
		saved_path = getenv("PATH");
		setenv("PATH", box.path("bin").c_str(), 1);
		xer.open(box.path("Log.txt"));
	}
	void TearDown() override { setenv("PATH", saved_path.c_str(), 1); }

	void install(const char* program)
	{
		box.write("bin/" + std::string(program),
		          "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > \"$ARGS_FILE\"\n"
		          "[ -n \"$ANSWER\" ] && echo \"$ANSWER\"\nexit ${STATUS:-0}\n");
		chmod(box.path("bin/" + std::string(program)).c_str(), 0755);
		setenv("ARGS_FILE", box.path("args.txt").c_str(), 1);
	}
	void answer(const char* path, int status)
	{
		setenv("ANSWER", path, 1);
		setenv("STATUS", std::to_string(status).c_str(), 1);
	}
	std::string args() const { return box.read("args.txt"); }

	sandbox_class box;
	std::string saved_path;
	char buf[512] = "untouched";
};

TEST_F(picker_test, a_chosen_folder_comes_back_with_its_separator)
{
	install("zenity");
	for (const char* chosen : {"/home/u/Games", "/home/u/Games/", "/"}) {
		answer(chosen, 0);
		ASSERT_TRUE(GetFilePathFromUser(2, "Pick one", "", 1, "/start/here/", buf));
		std::string expect = std::string(chosen) + (std::string(chosen).back() == '/' ? "" : "/");
		EXPECT_STREQ(buf, expect.c_str());
	}
	EXPECT_EQ(args(), "--file-selection\n--title=Pick one\n--directory\n--filename=/start/here/\n");
}

TEST_F(picker_test, cancelling_leaves_the_buffer_alone)
{
	install("zenity");
	answer("", 1);
	EXPECT_FALSE(GetFilePathFromUser(2, "Pick", "", 1, nullptr, buf));
	EXPECT_STREQ(buf, "untouched");
}

TEST_F(picker_test, file_modes_pass_the_folder_and_the_proposed_name)
{
	install("zenity");
	answer("/home/u/out.txt", 0);
	ASSERT_TRUE(GetFilePathFromUser(1, "Save", "", 1, "/home/u", buf));
	EXPECT_STREQ(buf, "/home/u/out.txt");
	EXPECT_NE(args().find("--save\n"), std::string::npos);
	EXPECT_NE(args().find("--filename=/home/u/untouched\n"), std::string::npos);
	ASSERT_TRUE(GetFilePathFromUser(0, "Open", "", 1, "/home/u/", buf));
	EXPECT_NE(args().find("--filename=/home/u/\n"), std::string::npos);
	EXPECT_FALSE(GetFilePathFromUser(3, "Other", "", 1, "/", buf));
}

TEST_F(picker_test, kdialog_serves_when_zenity_is_missing_and_neither_is_logged)
{
	install("kdialog");
	answer("/data", 0);
	ASSERT_TRUE(GetFilePathFromUser(2, "Pick", "", 1, "/start", buf));
	EXPECT_STREQ(buf, "/data/");
	EXPECT_EQ(args(), "--title\nPick\n--getexistingdirectory\n/start\n");
	unlink(box.path("bin/kdialog").c_str());
	EXPECT_FALSE(GetFilePathFromUser(2, "Pick", "", 1, "/start", buf));
	xer.flush();
	EXPECT_NE(box.read("Log.txt").find("No file dialog"), std::string::npos);
}

TEST_F(picker_test, the_destination_is_the_picked_installation_or_a_new_folder_in_it)
{
	install("zenity");
	for (const char* f : {"sim/Airfoils/x", "sim/Instructions/x", "sim/Output/x", "sim/Resources/x", "other/x"}) box.write(f, "");
	dest_dir_path = box.path("old/");
	install_name = no_install_name;
	answer(box.path("sim").c_str(), 0);
	EXPECT_EQ(pick_dest_path(), 1);
	EXPECT_EQ(dest_dir_path, box.path("sim/"));
	answer(box.path("other").c_str(), 0);
	EXPECT_EQ(pick_dest_path(), 1);
	EXPECT_EQ(dest_dir_path, box.path("other/Velmora 9/"));
	install_name = "Velmora 9.00";
	EXPECT_EQ(pick_dest_path(), 1);
	EXPECT_EQ(dest_dir_path, box.path("other/Velmora 9.00/"));
	answer("", 1);
	EXPECT_EQ(pick_dest_path(), 0);
	EXPECT_EQ(dest_dir_path, box.path("other/Velmora 9.00/"));
}

} // namespace
