// The network updater as a user runs it: velmora-updater, unattended, against two real mirrors.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "mirror_fixture.h"
#include "support/program.h"

namespace fs = std::filesystem;

namespace {

class updater_test : public mirror_test {};

TEST_F(updater_test, updates_an_older_installation_from_two_mirrors)
{
	release_files r840 = {{"Resources/readme.txt", "read me"}, {"Old/dropped.txt", "gone in 900"},
	                      {"Aircraft/c172.acf", test_bytes(30000, 1)}, {"Velmora", "program 840"}};
	release_files r900 = r840;
	r900.erase("Old/dropped.txt");
	r900["Aircraft/c172.acf"] = test_bytes(30000, 2);
	r900["Global Scenery/+40-120/+47-122.dsf"] = test_bytes(40000, 3);
	r900["Velmora"] = "program 900";
	author({{840, r840}, {900, r900}}, {"2=Velmora"});
	nginx_fixture one, two;
	// The first mirror lacks two archives: those come from the second.
	publish(one, "/one/", {name + "/Velmora.zip", name + "/Global Scenery/+40-120/+47-122.dsf.7z"});
	publish(two, "/two/");
	box.write("servers.txt", "I\n900 version\nSERVERS\nSERVER " + one.server() + " /one/ First\nSERVER " + two.server() +
	                             " /two/ Second\n");
	for (const auto& [rel, content] : r840) box.write("old/" + name + "/" + rel, content);

	unsetenv("DISPLAY");
	pid_t pid = start_program(program_path("velmora-updater"),
	                          {"--unattended", "--accept_eula", "--servers=" + box.path("servers.txt"), box.path("old/" + name)},
	                          box.path("out.txt"));
	ASSERT_EQ(wait_program(pid, 120), 0) << box.read("out.txt");
	EXPECT_NE(box.read("out.txt").find("Installation Complete!"), std::string::npos) << box.read("out.txt");
	std::map<std::string, std::string> expected;
	for (const auto& [rel, content] : r900) expected[rel] = content;
	std::map<std::string, std::string> installed;
	for (const auto& [rel, content] : tree_of(box.path("old/" + name + "/")))
		if (content != "<folder>") installed[rel] = content;
	EXPECT_TRUE(installed == expected);
	EXPECT_GE(requests_for(two.access_log(), "/two/Velmora%209.00/Velmora.zip", 200), 1);
}

// Stopped in the middle of an update that cannot end (one archive is on no mirror), the updater ends
// in order: every file it wrote is whole, no part of one is left, and its temporary folder is gone.
TEST_F(updater_test, a_stop_in_the_middle_leaves_only_whole_files)
{
	release_files r900;
	for (int i = 0; i < 40; ++i) r900["Aircraft/plane " + std::to_string(i) + ".acf"] = test_bytes(1000000, 300 + i);
	r900["zz/missing.txt"] = "on no mirror";
	author({{900, r900}});
	nginx_fixture one;
	publish(one, "/one/", {name + "/zz/missing.txt.zip"});
	box.write("servers.txt", "I\n900 version\nSERVERS\nSERVER " + one.server() + " /one/ First\n");

	unsetenv("DISPLAY");
	std::string dest = box.path("dest/" + name + "/");
	pid_t pid = start_program(program_path("velmora-updater"),
	                          {"--unattended", "--accept_eula", "--servers=" + box.path("servers.txt"), dest},
	                          box.path("out.txt"));
	for (int tries = 0; tries < 6000 && !box.exists("dest/" + name + "/Aircraft/plane 1.acf"); ++tries)
		std::this_thread::sleep_for(std::chrono::milliseconds(10));
	kill(pid, SIGTERM);
	ASSERT_LT(wait_program(pid, 60), 128) << box.read("out.txt");
	int whole = 0;
	for (const auto& [rel, content] : tree_of(dest)) {
		if (content == "<folder>") continue;
		EXPECT_TRUE(r900.count(rel) && r900[rel] == content) << rel;
		++whole;
	}
	EXPECT_GE(whole, 1);
	std::vector<std::string> temp_left; // the servers' folders are there too
	for (const fs::directory_entry& e : fs::directory_iterator(box.path("tmp/"))) {
		std::string folder = e.path().filename().string();
		if (folder.rfind("velmora-", 0) == 0 && folder.rfind("velmora-nginx-", 0) != 0) temp_left.push_back(folder);
	}
	EXPECT_EQ(temp_left, std::vector<std::string>{});
}

} // namespace
