// The installer core from the disc's directory file to the clean-up, on discs authored with the
// real zip and 7z programs and real destination folders.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <map>

#include "core_fixture.h"
#include "installer/choose.h"
#include "installer/directory.h"
#include "installer/engine.h"
#include "io/IO_UTILS.h"
#include "support/sandbox.h"

namespace fs = std::filesystem;

namespace {


// Every entry below a folder: files with their content, folders as "<folder>".
std::map<std::string, std::string> tree(const std::string& root)
{
	std::map<std::string, std::string> out;
	for (const fs::directory_entry& e : fs::recursive_directory_iterator(root)) {
		std::string rel = e.path().string().substr(root.size());
		if (e.is_directory())
			out[rel] = "<folder>";
		else
			out[rel] = read_file(e.path().string());
	}
	return out;
}

const char* const fixed_folders[] = {"Output",           "Output/FMS plans", "Output/logbooks", "Output/movies",
                                     "Output/situations", "Resources",        "Resources/preferences"};

class scenario_test : public core_test {
protected:
	// A release: a file's versions (oldest first, "GONE" for a removal) and its platform.
	struct entry_struct {
		std::string rel;
		std::vector<std::string> versions;
		int os_type = 0;
	};

	// Authors the disc (archives of every current version) and reads its directory file.
	void author_and_read(const std::vector<entry_struct>& entries)
	{
		std::string text = directory_header() + "DIR Velmora 9/\n";
		for (const entry_struct& e : entries) {
			for (size_t i = 0; i < e.versions.size(); ++i) {
				const std::string& c = e.versions[i];
				text += file_line(e.os_type, 840 + int(i), c == "GONE" ? c : md5_of(c), e.rel, int(c.size()), int(c.size()) * 2);
			}
			if (e.versions.back() != "GONE") disc.add_file("Velmora 9/" + e.rel, e.versions.back());
		}
		ASSERT_EQ(read_disc(text), 3);
	}

	std::map<std::string, std::string> expected_fresh(std::map<std::string, std::string> files) const
	{
		for (const char* folder : fixed_folders) files[folder] = "<folder>";
		for (auto it = files; const auto& [rel, content] : it)
			for (size_t p = rel.find('/'); p != std::string::npos; p = rel.find('/', p + 1)) files[rel.substr(0, p)] = "<folder>";
		return files;
	}
};

const std::vector<std::string> dropped = {"dropped", "GONE"};

TEST_F(scenario_test, fresh_install_gives_exactly_this_platforms_current_files)
{
	stg.rename_folder = 0;
	for (int download_os : {2, 3}) {
		stg.download_os = download_os;
		dest_dir_path = box.path("home/os " + std::to_string(download_os) + "/Velmora 9/");
		author_and_read({
			{"Resources/readme.txt", {"old readme", "readme"}},
			{"Aircraft/Cessna 172/c172.acf", {"cessna"}},
			{"Velmora-linux", {"program for 2"}, 2},
			{"Velmora-mac", {"program for 1"}, 1},
			{"Resources/plugins/six.xpl", {"for 3 only"}, 6},
			{"Resources/plugins/three.xpl", {"program for 3"}, 3},
			{"Old/dropped.txt", dropped},
			{"Global Scenery/+40+010/+45+013.dsf", {"scenery"}},
		});
		ASSERT_EQ(install(), 1);
		EXPECT_EQ(stg.got_failed_install, 0);
		std::map<std::string, std::string> files = {{"Resources/readme.txt", "readme"},
		                                            {"Aircraft/Cessna 172/c172.acf", "cessna"},
		                                            {"Global Scenery/+40+010/+45+013.dsf", "scenery"}};
		if (download_os == 2) files["Velmora-linux"] = "program for 2";
		if (download_os == 3) files["Resources/plugins/six.xpl"] = "for 3 only";
		if (download_os == 3) files["Resources/plugins/three.xpl"] = "program for 3";
		EXPECT_EQ(tree(dest_dir_path), expected_fresh(files)) << download_os;
		EXPECT_EQ(log().find("EXPANDING"), std::string::npos); // file actions are logged only when asked for
		EXPECT_EQ(installed_disk, 2 * (6 + 6 + 7 + (download_os == 2 ? 13 : 10 + 13)));
	}
}

TEST_F(scenario_test, older_installation_is_brought_up_to_date)
{
	stg.log_actions = 1;
	put("outdated.txt", "v840");
	put("Sub/Deep/dropped.txt", "dropped");
	put("Keep/dropped.txt", "dropped");
	put("Keep/stay.txt", "stay");
	put("Dots/dropped.txt", "dropped");
	put("Dots/.hidden", "listed as nothing");
	put("M/m1.txt", "user 1");
	put("M/m2.txt", "user 2");
	put("N/n1.txt", "user 3");
	put("N/n2.txt", "user 4");
	put("q.txt", "user 5");
	put("r.txt", "user 6");
	put("mine_dropped.txt", "user 7");
	author_and_read({
		{"outdated.txt", {"v840", "v900"}},
		{"Sub/Deep/dropped.txt", dropped},
		{"Keep/dropped.txt", dropped},
		{"Keep/stay.txt", {"stay"}},
		{"Dots/dropped.txt", dropped},
		{"M/m1.txt", {"m1"}},
		{"M/m2.txt", {"m2"}},
		{"N/n1.txt", {"n1"}},
		{"N/n2.txt", {"n2"}},
		{"q.txt", {"q"}},
		{"r.txt", {"r"}},
		{"mine_dropped.txt", dropped},
	});
	replies = {select_replace_folder, select_keep_folder, select_replace, select_keep, select_replace};
	ASSERT_EQ(install(), 1);

	ASSERT_EQ(questions.size(), 5u);
	EXPECT_EQ(questions[0].dest_path_exp, dest("M/m1.txt"));
	EXPECT_EQ(questions[1].dest_path_exp, dest("N/n1.txt"));
	EXPECT_EQ(questions[4].dest_path_exp, dest("mine_dropped.txt"));
	EXPECT_EQ(questions[4].is_gone, 1);
	std::map<std::string, std::string> files = {
		{"outdated.txt", "v900"}, {"Keep/stay.txt", "stay"}, {"M/m1.txt", "m1"},   {"M/m2.txt", "m2"},
		{"N/n1.txt", "user 3"},  {"N/n2.txt", "user 4"},   {"q.txt", "q"},        {"r.txt", "user 6"},
		{"Dots/.hidden", "listed as nothing"},
	};
	EXPECT_EQ(tree(dest_dir_path), expected_fresh(files));

	std::string text = log();
	EXPECT_NE(text.find("now we want to nuke a file: DELETING  file " + dest("Sub/Deep/dropped.txt") + ", with result=0.\n"),
	          std::string::npos);
	EXPECT_NE(text.find("EXPANDING file " + dest("outdated.txt") + ", with result=0.\n"), std::string::npos);
	size_t deep = text.find("cleanup: DELETING  file " + dest("Sub/Deep/") + ", with result=0.\n");
	size_t sub = text.find("cleanup: DELETING  file " + dest("Sub/") + ", with result=0.\n");
	ASSERT_NE(deep, std::string::npos);
	ASSERT_NE(sub, std::string::npos);
	EXPECT_LT(deep, sub);
	EXPECT_EQ(text.find("cleanup: DELETING  file " + dest("Keep/")), std::string::npos); // still holds a file
	// A folder holding only a dot-file lists as empty; removing it fails without a word to the user.
	EXPECT_NE(text.find("cleanup: DELETING  file " + dest("Dots/") + ", with result=39.\n"), std::string::npos);
	EXPECT_EQ(text.find("DELETING  file " + disc.root), std::string::npos);           // the disc's archives stay
}

TEST_F(scenario_test, cancelling_the_question_changes_nothing)
{
	put("outdated.txt", "v840");
	put("q.txt", "user");
	author_and_read({{"outdated.txt", {"v840", "v900"}}, {"q.txt", {"q"}}, {"new.txt", {"new"}}});
	auto before = tree(dest_dir_path);
	replies = {select_cancel};
	EXPECT_EQ(install(), 0);
	auto after = tree(dest_dir_path);
	for (const char* folder : fixed_folders) after.erase(folder); // the folders come first
	EXPECT_EQ(after, before);
}

TEST_F(scenario_test, an_empty_file_counts_as_absent_and_scenery_comes_from_its_7z)
{
	put("empty.txt", "");
	put("Global Scenery/+40+010/+45+013.dsf", "");
	author_and_read({{"empty.txt", {"full"}}, {"Global Scenery/+40+010/+45+013.dsf", {"scenery"}}});
	ASSERT_FALSE(fs::exists(disc.root + "Velmora 9.00/Velmora 9/Global Scenery/+40+010/+45+013.dsf.zip"));
	ASSERT_TRUE(fs::exists(disc.root + "Velmora 9.00/Velmora 9/Global Scenery/+40+010/+45+013.dsf.7z"));
	EXPECT_FLOAT_EQ(stg.disk_req, 2 * (4 + 7));
	ASSERT_EQ(install(), 1);
	EXPECT_TRUE(questions.empty());
	EXPECT_EQ(get("empty.txt"), "full");
	EXPECT_EQ(get("Global Scenery/+40+010/+45+013.dsf"), "scenery");
}

TEST_F(scenario_test, program_files_rename_the_installation_after_the_disc)
{
	struct {
		const char* name;
		int os_type, rename_folder;
		std::string install_name;
		std::string start_folder, final_folder;
	} cases[] = {
		{"program file, renaming allowed", 2, 1, "Velmora 9.00", "Velmora 9/", "Velmora 9.00/"},
		{"renaming not allowed", 2, 0, "Velmora 9.00", "Velmora 9/", "Velmora 9/"},
		{"no program file", 0, 1, "Velmora 9.00", "Velmora 9/", "Velmora 9/"},
		{"a disc name that is not one folder", 2, 1, "../Elsewhere", "Velmora 9/", "Velmora 9/"},
		{"a folder the user named", 2, 1, "Velmora 9.00", "Games/", "Games/"},
	};
	for (const auto& c : cases) {
		std::string parent = box.path("home/" + std::string(c.name) + "/");
		dest_dir_path = parent + c.start_folder;
		stg.rename_folder = c.rename_folder;
		disc = disc_fixture_class(box.path("disc/"), c.install_name);
		install_name = c.install_name;
		author_and_read({{"Velmora-linux", {"program"}, c.os_type}});
		ASSERT_EQ(install(), 1) << c.name;
		EXPECT_EQ(dest_dir_path, parent + c.final_folder) << c.name;
		EXPECT_EQ(read_file(dest_dir_path + "Velmora-linux"), "program") << c.name;
	}
}

TEST_F(scenario_test, a_damaged_archive_stops_the_engine)
{
	for (const char* damaged : {"b.txt", "Global Scenery/b.dsf"}) {
		dest_dir_path = box.path("home/" + std::string(damaged).substr(0, 2) + "/Velmora 9/");
		stg.got_failed_install = 0;
		author_and_read({{"a.txt", {"a"}}, {damaged, {"b"}}, {"c.txt", {"c"}}});
		std::string archive = disc.archive_path("Velmora 9/" + std::string(damaged));
		box.write(archive.substr(box.root.size()), "this is not an archive");

		EXPECT_EQ(install(), 1);
		EXPECT_EQ(stg.got_failed_install, 1);
		EXPECT_EQ(engine_calls, 2); // a.txt, then the damaged file; c.txt is never reached
		EXPECT_EQ(get("a.txt"), "a");
		EXPECT_FALSE(has(damaged));
		EXPECT_FALSE(has("c.txt"));
		std::string text = log();
		EXPECT_NE(text.find("The installer cannot extract a file.\nError: "), std::string::npos);
		EXPECT_NE(text.find("\nCompressed File: " + archive + "\nDestination: " + dest(damaged) + "\n"), std::string::npos);
		EXPECT_EQ(next.dir_done, 0);
	}
}

} // namespace
