// Reading the directory file: its grammar, header, histories, progress and fatal records.
#include <filesystem>

#include "core_fixture.h"
#include "installer/choose.h"
#include "installer/directory.h"
#include "installer/engine.h"

namespace {

const std::string sig_a = "0123456789abcdef0123456789abcdef";
const std::string sig_b = "00112233445566778899aabbccddeeff";

// The histories as "path(version,version)|path(...)".
std::string render()
{
	std::string out;
	for (const file_history_struct& h : sim_info.files) {
		if (!out.empty()) out += "|";
		out += h.versions.back().path + "(";
		for (size_t i = 0; i < h.versions.size(); ++i) out += (i ? "," : "") + std::to_string(h.versions[i].version_num);
		out += ")";
	}
	return out;
}

using directory_test = core_test;

TEST_F(directory_test, reads_the_example_into_histories)
{
	std::string text = directory_header() + "DIR Velmora 9/Resources/plugins/\n" +
	                   "FILE 0 0 900 12 40 " + sig_a + " readme.txt\n" + "FILE 0 2 840 300 900 " + sig_b + " tool.exe\n" +
	                   "FILE 0 2 900 0 0 GONE tool.exe\n";
	ASSERT_EQ(read_disc(text), 3);
	ASSERT_EQ(render(), "Velmora 9/Resources/plugins/readme.txt(900)|Velmora 9/Resources/plugins/tool.exe(840,900)");

	const file_version_struct& readme = sim_info.files[0].versions[0];
	EXPECT_EQ(readme.use_type, 0);
	EXPECT_EQ(readme.os_type, 0);
	EXPECT_EQ(readme.down_size, 12);
	EXPECT_EQ(readme.disk_size, 40);
	EXPECT_EQ(readme.sig_want, sig_a);
	EXPECT_EQ(readme.sig_have, "NONE"); // examined: not on disk
	const file_version_struct& old_tool = sim_info.files[1].versions[0];
	EXPECT_EQ(old_tool.os_type, 2);
	EXPECT_EQ(old_tool.sig_want, sig_b);
	EXPECT_EQ(old_tool.sig_have, ""); // earlier versions are never examined
	EXPECT_EQ(sim_info.files[1].versions[1].sig_want, "GONE");
	for (const file_history_struct& h : sim_info.files)
		for (const file_version_struct& v : h.versions) EXPECT_EQ(v.on_disk + v.want_to_grab_it + v.want_to_nuke_it, 0);
}

struct grammar_case {
	const char* name;
	std::string body;
	std::string histories;
};

TEST_F(directory_test, grammar)
{
	std::string a = " " + sig_a + " ";
	const grammar_case cases[] = {
		{"no DIR line: field 7 alone", "FILE 0 0 900 1 1" + a + "x.txt\n", "x.txt(900)"},
		{"CR LF, CR and blank lines", "DIR V/\r\n\r\n\r\nFILE 0 0 900 1 1" + a + "x.txt\r\rFILE 0 0 901 1 1" + a + "x.txt\r\n",
		 "V/x.txt(900,901)"},
		{"DIR with nothing after it is skipped", "DIR V/\nDIR\nFILE 0 0 900 1 1" + a + "x.txt\n", "V/x.txt(900)"},
		{"other letter case and longer words are skipped",
		 "DIR V/\ndir W/\nFILEX 0 0 900 1 1" + a + "y.txt\nfile 0 0 900 1 1" + a + "z.txt\nFILE 0 0 900 1 1" + a + "x.txt\n",
		 "V/x.txt(900)"},
		{"tabs separate, spaces stay in names and trailing white in the prefix",
		 "DIR\tV/My Folder/ \nFILE\t0\t0\t900\t1\t1\t" + sig_a + "\tMy File.txt  \n", "V/My Folder/ My File.txt  (900)"},
		{"a path interrupted by another starts a new history",
		 "DIR V/\nFILE 0 0 840 1 1" + a + "a\nFILE 0 0 900 1 1" + a + "b\nFILE 0 0 900 1 1" + a + "a\n", "V/a(840)|V/b(900)|V/a(900)"},
		{"a new DIR applies to the lines after it", "DIR V/\nFILE 0 0 1 1 1" + a + "a\nDIR W/\nFILE 0 0 2 1 1" + a + "a\n",
		 "V/a(1)|W/a(2)"},
		{"the last line may lack its line end", "DIR V/\nFILE 0 0 900 1 1" + a + "a", "V/a(900)"},
	};
	for (const grammar_case& c : cases) {
		ASSERT_EQ(read_disc(directory_header() + c.body), 3) << c.name;
		EXPECT_EQ(render(), c.histories) << c.name;
	}
}

TEST_F(directory_test, numbers_are_clamped_and_missing_ones_read_zero)
{
	ASSERT_EQ(read_disc(directory_header() + "FILE 9 -3 900 1 1 " + sig_a + " a.txt\nFILE -1 7 -5 -2 3 GONE b.txt\n"), 3);
	const file_version_struct& a = sim_info.files[0].versions[0];
	EXPECT_EQ(a.use_type, 4);
	EXPECT_EQ(a.os_type, 0);
	const file_version_struct& b = sim_info.files[1].versions[0];
	EXPECT_EQ(b.use_type, 0);
	EXPECT_EQ(b.os_type, 6);
	EXPECT_EQ(b.version_num, -5);
	EXPECT_EQ(b.down_size, -2);
}

TEST_F(directory_test, header_check)
{
	const std::pair<std::string, int> cases[] = {
		{"I\n900 version\nINSTALLER\n", 3},      {"A\n840\nINSTALLER junk\n", 3},
		{"I\r\n900 version\r\nINSTALLER\r\n", 3}, {"I\n900 version\nINSTALLER", 3},
		{"I\n899 version\nINSTALLER\n", 2},      {"I\n901 version\nINSTALLER\n", 2},
		{"X\n900 version\nINSTALLER\n", 2},      {"I\n900 version\nINSTALLERS\n", 2},
		{"I\n900 version\nDVD\n", 2},            {"I\n900 version\n\nINSTALLER\n", 3},
	};
	for (const auto& [header, result] : cases) {
		stg.disk_req = 5;
		EXPECT_EQ(read_disc(header + "\nFILE 0 0 900 1 1 " + sig_a + " V/a.txt\n"), result) << header;
		if (result == 2) {
			EXPECT_TRUE(sim_info.files.empty()) << header;
			EXPECT_EQ(stg.disk_req, 0) << header;
		}
	}
}

TEST_F(directory_test, progress_every_500th_line_then_every_200th_of_the_examination)
{
	std::string text = directory_header() + "DIR Velmora 9/\n";
	for (int i = 0; i < 1001; ++i) text += file_line(0, 900, sig_a, "f" + std::to_string(i));
	f = 0;
	dir_progress[0] = dir_progress[1] = dir_progress_struct();
	ASSERT_EQ(read_disc(text), 3);

	EXPECT_EQ(f, 1001);
	EXPECT_EQ(dir_progress[0].shown, 3);   // lines 0, 500 and 1000
	EXPECT_FLOAT_EQ(dir_progress[0].fill, 1); // line 1000 is the last one
	const dir_progress_struct& examining = dir_progress[1];
	EXPECT_EQ(examining.shown, 201); // every 5th of 1001 histories
	EXPECT_EQ(examining.message1, "Scanning directory text file to see if you already have Velmora installed...");
	EXPECT_EQ(examining.message2, "Currently EXAMINING the hard disk.");
	EXPECT_EQ(examining.rel_path_exp, dest("f1000"));
	EXPECT_FLOAT_EQ(examining.fill, 0.04f + 0.96f * 1000 / 1001);

	// The counter runs on over the whole run: the next reading counts 1001 to 2001.
	dir_progress[0] = dir_progress_struct();
	ASSERT_EQ(read_disc(text), 3);
	EXPECT_EQ(dir_progress[0].shown, 2);
	EXPECT_EQ(f, 2002);
}

TEST_F(directory_test, reading_progress_shows_the_parsed_share_and_field_7)
{
	std::string first = "FILE 0 1 900 1 1 GONE a.txt\n";
	std::string text = directory_header() + "DIR Velmora 9/Aircraft/\n" + first + "FILE 0 1 900 1 1 GONE b.txt\n";
	f = 500;
	dir_progress[0] = dir_progress_struct();
	ASSERT_EQ(read_disc(text), 3);
	const dir_progress_struct& reading = dir_progress[0];
	EXPECT_EQ(reading.shown, 1);
	EXPECT_EQ(reading.rel_path_exp, "a.txt");
	EXPECT_EQ(reading.message2, "Currently SCANNING the directory text file.");
	float parsed = float(text.find(first) + first.size()) / float(text.size());
	EXPECT_FLOAT_EQ(reading.fill, 0.04f + 0.96f * parsed);
}

TEST(path_rules, trim_dest_folder)
{
	const std::pair<std::string, std::string> cases[] = {
		{"Velmora 9/Resources/x.txt", "Resources/x.txt"}, {"x.txt", "x.txt"}, {"Velmora 9/", ""}, {"/etc/passwd", "etc/passwd"}};
	for (auto [path, rel] : cases) {
		trim_dest_folder(path);
		EXPECT_EQ(path, rel);
	}
}

TEST(path_rules, path_leaves_install)
{
	const std::pair<const char*, int> cases[] = {
		{"Velmora 9/Resources/x.txt", 0}, {"x.txt", 0},           {"../Velmora 9/x.txt", 0}, {"Velmora 9/a..b/c", 0},
		{"Velmora 9/.../c", 0},           {"Velmora 9/../x", 1},  {"Velmora 9/a/../../x", 1}, {"Velmora 9/..", 1},
		{"..", 1},                        {"Velmora 9//etc/x", 1}, {"Velmora 9/C:\\x", 1},
	};
	for (auto [path, leaves] : cases) EXPECT_EQ(path_leaves_install(path), leaves) << path;
}

TEST(path_rules, path_has_no_file)
{
	EXPECT_EQ(path_has_no_file("V/a/"), 1);
	EXPECT_EQ(path_has_no_file(""), 1);
	EXPECT_EQ(path_has_no_file("V/a"), 0);
}

TEST_F(directory_test, missing_directory_file_is_fatal)
{
	EXPECT_FATAL_ALERT(read_directory(temp_path + "directory.txt", "x"), "I tried to read a directory file that does not exist!",
	                   "The file is:");
}

TEST_F(directory_test, record_without_a_file_is_fatal)
{
	for (const char* body : {"DIR Velmora 9/Folder/\nFILE 0 0 900 1 1 GONE \n", "FILE 0 0 900 1 1 GONE Velmora 9/Folder/\n",
	                         "DIR Velmora 9/\nFILE 0 0\n"}) {
		std::string text = directory_header() + body;
		EXPECT_FATAL_ALERT(read_disc(text); std::exit(0), "I am reading the directory text file and found a path that has no file!",
		                   "This is impossible to download or delete!", "It is:");
	}
}

// A record that would reach outside the installation stops the run before anything is touched.
TEST_F(directory_test, record_leaving_the_installation_is_fatal_and_touches_nothing)
{
	box.write("home/victim.txt", "keep me");
	std::filesystem::create_directories(box.path("home/Velmora 9/x")); // so that the climbing path resolves
	const std::string victim = "Velmora 9/x/../../victim.txt";
	const std::string escape = "Velmora 9/../escape.txt";
	disc.add_file(escape, "evil");
	const std::string texts[] = {
		directory_header() + file_line(0, 900, md5_of("evil"), escape),
		directory_header() + file_line(0, 840, md5_of("keep me"), victim) + file_line(0, 900, "GONE", victim),
		directory_header() + "DIR Velmora 9/\n" + file_line(0, 900, md5_of("evil"), "/escape.txt"),
	};
	for (const std::string& text : texts) {
		EXPECT_FATAL_ALERT(read_disc(text); install(); std::exit(0),
		                   "I am reading the directory text file and found a path that leaves the installation folder!",
		                   "This is impossible to download or delete!", "It is:");
		EXPECT_EQ(box.read("home/victim.txt"), "keep me");
		EXPECT_FALSE(box.exists("home/escape.txt"));
		EXPECT_FALSE(box.exists("home/Velmora 9/Output")); // not even the folders were made
	}
}

} // namespace
