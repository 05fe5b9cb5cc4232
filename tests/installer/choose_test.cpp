// Comparing the manifest with the destination folder, deciding each file, creating the folders.
#include "core_fixture.h"
#include "installer/choose.h"
#include "installer/directory.h"

namespace {

using choose_test = core_test;

const file_version_struct& current(const std::string& name)
{
	for (const file_history_struct& h : sim_info.files)
		if (h.versions.back().path == "Velmora 9/" + name) return h.versions.back();
	throw std::runtime_error("no history for " + name);
}

std::string decision(const std::string& name)
{
	const file_version_struct& v = current(name);
	return v.want_to_grab_it ? "install" : v.want_to_nuke_it ? "delete" : "leave";
}

TEST_F(choose_test, examination_and_decision_table)
{
	put("up.txt", "up2");
	put("old.txt", "old1");
	put("mod.txt", "mine");
	put("keep.txt", "mine too");
	put("dropped.txt", "drop1");
	put("empty.txt", "");
	put("moddel.txt", "mine three");
	put("other.txt", "not for us");
	std::string text = directory_header() + "DIR Velmora 9/\n" +
	                   file_line(0, 840, md5_of("up1"), "up.txt") + file_line(0, 900, md5_of("up2"), "up.txt", 100, 100) +
	                   file_line(0, 840, md5_of("old1"), "old.txt") + file_line(0, 900, md5_of("old2"), "old.txt", 2, 20) +
	                   file_line(0, 900, md5_of("mod"), "mod.txt", 3, 30) + file_line(0, 900, md5_of("keep"), "keep.txt", 5, 50) +
	                   file_line(0, 840, md5_of("drop1"), "dropped.txt") + file_line(0, 900, "GONE", "dropped.txt") +
	                   file_line(0, 840, md5_of("x"), "absent_gone.txt") + file_line(0, 900, "GONE", "absent_gone.txt") +
	                   file_line(0, 900, md5_of("new"), "new.txt", 7, 70) + file_line(0, 900, md5_of("e"), "empty.txt", 11, 110) +
	                   file_line(0, 840, md5_of("md1"), "moddel.txt") + file_line(0, 900, "GONE", "moddel.txt") +
	                   file_line(1, 900, md5_of("o"), "other.txt", 1000, 1000) + file_line(2, 900, md5_of("t"), "tool", 13, 130);
	ASSERT_EQ(read_disc(text), 3);

	EXPECT_EQ(current("up.txt").sig_have, md5_of("up2"));
	EXPECT_EQ(current("up.txt").on_disk, 1);
	EXPECT_EQ(current("old.txt").sig_have, md5_of("old1"));
	EXPECT_EQ(current("empty.txt").sig_have, "NONE");
	EXPECT_EQ(current("new.txt").sig_have, "NONE");
	EXPECT_EQ(current("other.txt").sig_have, md5_of("not for us"));
	EXPECT_FLOAT_EQ(stg.down_req, 2 + 3 + 5 + 7 + 11 + 13);
	EXPECT_FLOAT_EQ(stg.disk_req, 20 + 30 + 50 + 70 + 110 + 130);
	EXPECT_EQ(this_install_has_exes, 1);

	replies = {select_replace, select_keep, select_replace};
	ASSERT_EQ(choose_files(), 1);
	const std::pair<const char*, const char*> expected[] = {
		{"up.txt", "leave"},   {"old.txt", "install"},        {"mod.txt", "install"}, {"keep.txt", "leave"},
		{"dropped.txt", "delete"}, {"absent_gone.txt", "leave"}, {"new.txt", "install"}, {"empty.txt", "install"},
		{"moddel.txt", "delete"},  {"other.txt", "leave"},       {"tool", "install"},
	};
	for (auto [name, what] : expected) EXPECT_EQ(decision(name), what) << name;

	ASSERT_EQ(questions.size(), 3u);
	EXPECT_EQ(questions[0].dest_path_exp, dest("mod.txt"));
	EXPECT_EQ(questions[0].is_gone, 0);
	EXPECT_EQ(questions[1].dest_path_exp, dest("keep.txt"));
	EXPECT_EQ(questions[2].dest_path_exp, dest("moddel.txt"));
	EXPECT_EQ(questions[2].is_gone, 1);
	EXPECT_NE(log().find("File: " + dest("mod.txt") + "  sig_want=" + md5_of("mod") + "  sig_have=" + md5_of("mine") + "\n"),
	          std::string::npos);
}

TEST_F(choose_test, every_file_answers_cover_exactly_their_folder)
{
	std::string text = directory_header();
	for (const char* name : {"A/1", "A/2", "A/sub/3", "B/4", "B/5", "A/6"}) {
		put(name, std::string("changed ") + name);
		text += file_line(0, 900, md5_of(name), std::string("Velmora 9/") + name);
	}
	put("A/7", "changed A/7");
	text += file_line(0, 840, md5_of("A/7"), "Velmora 9/A/7") + file_line(0, 900, "GONE", "Velmora 9/A/7");
	ASSERT_EQ(read_disc(text), 3);

	replies = {select_replace_folder, select_keep, select_keep_folder};
	ASSERT_EQ(choose_files(), 1);
	ASSERT_EQ(questions.size(), 3u); // A/1, then A/sub/3 (another folder), then B/4
	EXPECT_EQ(questions[1].dest_path_exp, dest("A/sub/3"));
	EXPECT_EQ(questions[2].dest_path_exp, dest("B/4"));
	const std::pair<const char*, const char*> expected[] = {{"A/1", "install"}, {"A/2", "install"}, {"A/sub/3", "leave"},
	                                                        {"B/4", "leave"},   {"B/5", "leave"},   {"A/6", "install"},
	                                                        {"A/7", "delete"}};
	for (auto [name, what] : expected) EXPECT_EQ(decision(name), what) << name;

	// The folder memory lasts one choice only.
	questions.clear();
	replies = {select_keep, select_keep, select_keep, select_keep, select_keep, select_keep, select_keep};
	ASSERT_EQ(choose_files(), 1);
	EXPECT_EQ(questions.size(), 7u);
}

TEST_F(choose_test, cancel_stops_at_once_and_leaves_later_files_as_they_were)
{
	put("b", "changed");
	ASSERT_EQ(read_disc(directory_header() + file_line(0, 900, md5_of("a"), "Velmora 9/a") +
	                    file_line(0, 900, md5_of("b"), "Velmora 9/b") + file_line(0, 900, md5_of("c"), "Velmora 9/c")),
	          3);
	sim_info.files[2].versions.back().want_to_nuke_it = 1;
	replies = {select_cancel};
	EXPECT_EQ(choose_files(), 0);
	EXPECT_EQ(decision("a"), "install");
	EXPECT_EQ(decision("b"), "leave");
	EXPECT_EQ(decision("c"), "delete"); // untouched
}

TEST_F(choose_test, with_nobody_to_ask_the_choice_is_cancelled)
{
	select_alert_asker = nullptr;
	put("b", "changed");
	ASSERT_EQ(read_disc(directory_header() + file_line(0, 900, md5_of("b"), "Velmora 9/b")), 3);
	EXPECT_EQ(select_alert(dest("b"), 0), select_cancel);
	EXPECT_EQ(choose_files(), 0);
}

TEST_F(choose_test, platform_rule)
{
	struct {
		int os_type, download_os, ours;
	} cases[] = {{0, 2, 1}, {2, 2, 1}, {1, 2, 0}, {3, 2, 0}, {6, 2, 0}, {6, 3, 1}, {3, 3, 1}, {4, 2, 0}, {5, 5, 1}};
	for (auto c : cases) {
		stg.download_os = c.download_os;
		file_version_struct v;
		v.os_type = c.os_type;
		EXPECT_EQ(is_for_this_os(v), c.ours) << c.os_type << " on " << c.download_os;
	}
}

TEST_F(choose_test, sizes_and_program_files_are_counted_afresh_for_each_destination)
{
	std::string text = directory_header() + file_line(2, 900, md5_of("exe"), "Velmora 9/Velmora.exe", 4, 8);
	ASSERT_EQ(read_disc(text), 3);
	EXPECT_EQ(this_install_has_exes, 1);
	EXPECT_FLOAT_EQ(stg.disk_req, 8);

	put("Velmora.exe", "exe");
	ASSERT_EQ(read_disc(text), 3);
	EXPECT_EQ(this_install_has_exes, 0);
	EXPECT_FLOAT_EQ(stg.disk_req, 0);
}

// Many files, more than the signing workers may run ahead, some missing, some empty.
TEST_F(choose_test, signatures_of_many_files_arrive_in_manifest_order)
{
	std::string text = directory_header() + "DIR Velmora 9/d/\n";
	for (int i = 0; i < 2500; ++i) {
		std::string name = std::to_string(i);
		if (i % 3 == 0) put("d/" + name, "content " + name);
		else if (i % 5 == 1) put("d/" + name, "");
		text += file_line(0, 900, md5_of("content " + name), name);
	}
	ASSERT_EQ(read_disc(text), 3);
	ASSERT_EQ(sim_info.files.size(), 2500u);
	for (int i = 0; i < 2500; ++i) {
		const file_version_struct& v = sim_info.files[i].versions.back();
		EXPECT_EQ(v.sig_have, i % 3 == 0 ? md5_of("content " + std::to_string(i)) : "NONE") << i;
		EXPECT_EQ(v.on_disk, i % 3 == 0) << i;
	}
}

TEST_F(choose_test, make_dirs_creates_the_destination_the_file_folders_and_the_fixed_folders)
{
	dest_dir_path = box.path("home/Games/Sims/Velmora 9/");
	ASSERT_EQ(read_disc(directory_header() + file_line(0, 900, md5_of("a"), "Velmora 9/Aircraft/Cessna 172/a.acf") +
	                    file_line(0, 840, md5_of("o"), "Velmora 9/Old/x") + file_line(0, 900, "GONE", "Velmora 9/Old/x") +
	                    file_line(1, 900, md5_of("m"), "Velmora 9/Mac Only/y") + file_line(6, 900, md5_of("m"), "Velmora 9/Six/y")),
	          3);
	make_dirs();
	for (const char* folder : {"", "Aircraft", "Aircraft/Cessna 172", "Output", "Output/FMS plans", "Output/logbooks",
	                           "Output/movies", "Output/situations", "Resources", "Resources/preferences"})
		EXPECT_TRUE(has(folder)) << folder;
	for (const char* folder : {"Old", "Mac Only", "Six"}) EXPECT_FALSE(has(folder)) << folder;
	EXPECT_EQ(log().find("I am unable"), std::string::npos);
}

TEST_F(choose_test, folder_errors_are_reported_and_the_file_folders_stop_at_the_first)
{
	box.write("home/blocker", "a file where a folder should be");
	dest_dir_path = box.path("home/blocker/Velmora 9/");
	ASSERT_EQ(read_disc(directory_header() + file_line(0, 900, md5_of("a"), "Velmora 9/A/a") +
	                    file_line(0, 900, md5_of("b"), "Velmora 9/B/b")),
	          3);
	make_dirs();
	std::string text = log();
	const std::string first =
		"I am unable to install or update Velmora. An error occurred while creating new folders. Make sure you are installing to a directory that you have access to!\n";
	size_t alerts = 0;
	for (size_t at = text.find(first); at != std::string::npos; at = text.find(first, at + 1)) ++alerts;
	EXPECT_EQ(alerts, 1u + 1u + 7u); // the destination, the first file folder, each fixed folder
	EXPECT_NE(text.find(first + "Error: Not a directory\nInstall Location: " + dest_dir_path + "\nInstall Path:" +
	                    box.path("home/blocker/Velmora 9") + "\n"),
	          std::string::npos);
	EXPECT_NE(text.find("Install Path:" + dest_dir_path + "A\n"), std::string::npos);
	EXPECT_EQ(text.find("Install Path:" + dest_dir_path + "B\n"), std::string::npos);
	EXPECT_NE(text.find("Install Path:" + dest_dir_path + "Resources/preferences\n"), std::string::npos);
}

} // namespace
