// The disc itself: its archives unpacked by the real unzip and 7z programs, the refusals that leave no
// disc behind, the output folder, and the program's command line.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <random>

#include "disc_reader.h"
#include "support/program.h"
#include "support/sandbox.h"

namespace fs = std::filesystem;

namespace {

const std::string name = "Velmora 9.00";

std::string random_bytes(size_t n, unsigned seed)
{
	std::mt19937 gen(seed);
	std::string s(n, '\0');
	for (char& c : s) c = char(gen());
	return s;
}

// What the sandbox's root holds besides the user's folders: the releases, and the disc if any.
std::vector<std::string> left_in(const sandbox_class& box)
{
	std::vector<std::string> out;
	for (const fs::directory_entry& e : fs::directory_iterator(box.root)) {
		std::string n = e.path().filename().string();
		if (n != "home" && n != "tmp") out.push_back(n);
	}
	std::sort(out.begin(), out.end());
	return out;
}

TEST(mkdisc_disc, every_archive_unpacks_to_the_last_releases_bytes_under_the_files_name)
{
	struct case_struct {
		const char* rel;
		std::string content;
		const char* suffix;
	} cases[] = {
		{"Resources/readme.txt", "read me\r\n", ".zip"},
		{"bin/velmora", random_bytes(2500000, 1), ".zip"}, // more than one read chunk
		{"empty.txt", "", ".zip"},
		{"Aircraft/My Plane/my plane.acf", "acf", ".zip"},
		{"R\xc3\xa9sum\xc3\xa9.txt", "utf-8", ".zip"},
		{"Global Scenery/+40-120/+47-122.dsf", random_bytes(1500000, 2), ".7z"},
		{"Global Scenery/empty.dat", "", ".7z"},
		{"Global Scenery/__MACOSX.txt", "only zip readers skip it", ".7z"},
		{"Global Scenery/trailing ", "blank", ".7z"},
	};
	sandbox_class box;
	box.write("r840/bin/velmora", "older");
	box.write("r840/dropped.txt", "no archive for a dropped file");
	std::vector<std::string> expected = {"dvd_version.txt", name + "/directory.txt.zip"};
	for (const case_struct& c : cases) {
		box.write(std::string("r900/") + c.rel, c.content);
		expected.push_back(name + "/" + name + "/" + c.rel + c.suffix);
	}
	std::sort(expected.begin(), expected.end());
	authored_struct a = author({"--name", name, "--release", "840=" + box.path("r840"), "--release",
	                            "900=" + box.path("r900"), box.path("disc")});
	ASSERT_EQ(a.rc, 0) << a.error;
	EXPECT_EQ(files_under(box.path("disc")), expected);
	EXPECT_EQ(a.result.files, int(std::size(cases)));
	EXPECT_EQ(a.result.records, int(std::size(cases)) + 3);

	EXPECT_EQ(unpack(box.path("disc/" + name + "/directory.txt.zip")).names, std::vector<std::string>{"directory.txt"});
	for (const case_struct& c : cases) {
		SCOPED_TRACE(c.rel);
		unpacked_struct u = unpack(box.path("disc/" + name + "/" + name + "/" + c.rel + c.suffix));
		std::string rel = c.rel;
		EXPECT_EQ(u.names, std::vector<std::string>{rel.substr(rel.rfind('/') + 1)});
		EXPECT_EQ(u.contents, std::vector<std::string>{c.content});
	}
}

TEST(mkdisc_disc, release_folders_that_cannot_travel_are_refused_and_leave_nothing)
{
	using make_fn = std::function<void(const sandbox_class&)>;
	struct case_struct {
		const char* what;
		make_fn make;
		const char* message;
	} cases[] = {
		{"a link to a file",
		 [](const sandbox_class& b) { fs::create_symlink("readme.txt", b.path("r2/Resources/link.txt")); },
		 "release 2: 'Resources/link.txt' is a link"},
		{"a link to a folder",
		 [](const sandbox_class& b) { fs::create_directory_symlink("Resources", b.path("r2/More")); },
		 "release 2: 'More' is a link"},
		{"a link in an earlier release",
		 [](const sandbox_class& b) { fs::create_symlink("/etc/passwd", b.path("r1/passwd")); },
		 "release 1: 'passwd' is a link"},
		{"a control character in a file name", [](const sandbox_class& b) { b.write("r2/bad\x01name.txt", "x"); },
		 "'bad\\x01name.txt' has a control character"},
		{"a line break in a folder name", [](const sandbox_class& b) { b.write("r2/two\nlines/a.txt", "x"); },
		 "'two\\x0alines' has a control character"},
		{"a blank before a file name", [](const sandbox_class& b) { b.write("r2/Resources/ lead.txt", "x"); },
		 "'Resources/ lead.txt' begins with a blank"},
		{"a colon", [](const sandbox_class& b) { b.write("r2/a:b.txt", "x"); }, "'a:b.txt' has ':'"},
		{"a backslash", [](const sandbox_class& b) { b.write("r2/a\\b/c.txt", "x"); }, "'a\\b' has '\\'"},
		{"a name the zip reader skips", [](const sandbox_class& b) { b.write("r2/__MACOSX notes.txt", "x"); },
		 "'__MACOSX notes.txt' begins with '__MACOSX'"},
		{"a name the network installer skips",
		 [](const sandbox_class& b) { b.write("r2/Earth Orbit Textures.png", "x"); }, "network installer skips"},
		{"a 7z name that is not UTF-8", [](const sandbox_class& b) { b.write("r2/Global Scenery/\xff.dsf", "x"); },
		 "is not UTF-8"},
		{"a name too long for its suffix", [](const sandbox_class& b) { b.write("r2/" + std::string(252, 'n'), "x"); },
		 "too long"},
		{"an archive where a folder must be",
		 [](const sandbox_class& b) {
			 b.write("r2/data", "x");
			 b.write("r2/data.zip/inner.txt", "y");
		 },
		 "the archive of 'data' would take the place of the folder that holds 'data.zip/inner.txt'"},
		{"a pipe", [](const sandbox_class& b) { mkfifo(b.path("r2/pipe").c_str(), 0644); },
		 "'pipe' is neither a file nor a folder"},
		{"a missing release folder", [](const sandbox_class& b) { fs::remove_all(b.path("r1")); },
		 "release 1: '"},
	};
	for (const case_struct& c : cases) {
		SCOPED_TRACE(c.what);
		sandbox_class box;
		box.write("r1/readme.txt", "old");
		box.write("r2/readme.txt", "new");
		box.write("r2/Resources/readme.txt", "x");
		c.make(box);
		authored_struct a = author({"--name", name, "--release", "1=" + box.path("r1"), "--release",
		                            "2=" + box.path("r2"), box.path("disc")});
		EXPECT_EQ(a.rc, 1);
		EXPECT_NE(a.error.find(c.message), std::string::npos) << a.error;
		for (const std::string& n : left_in(box)) EXPECT_TRUE(n == "r1" || n == "r2") << n;
	}
}

TEST(mkdisc_disc, a_disc_that_fails_while_being_written_leaves_nothing)
{
	sandbox_class box;
	box.write("r/a.txt", "written first");
	box.write("r/big.bin", random_bytes(400000, 3));
	// a file-size limit stands in for a full disk
	std::string cmd = "ulimit -f 100; trap '' XFSZ; exec " + shell_quote(program_path("tools/mkdisc/velmora-mkdisc")) +
	                  " --name 'Velmora 9.00' --release 900=" + shell_quote(box.path("r")) + " " +
	                  shell_quote(box.path("disc")) + " 2>" + shell_quote(box.path("err.txt"));
	EXPECT_EQ(run_shell(cmd), 1);
	EXPECT_NE(box.read("err.txt").find("velmora-mkdisc: cannot write '" + box.path("disc") + "/Velmora 9.00/Velmora 9.00/big.bin.zip': File too large"),
	          std::string::npos)
		<< box.read("err.txt");
	EXPECT_EQ(left_in(box), (std::vector<std::string>{"err.txt", "r"}));
}

TEST(mkdisc_disc, the_disc_goes_into_a_new_or_empty_folder_only)
{
	sandbox_class box;
	box.write("r/a.txt", "a");
	auto run = [&](const std::string& out) {
		return author({"--name", name, "--release", "900=" + box.path("r"), box.path(out)});
	};
	fs::create_directory(box.path("empty"));
	EXPECT_EQ(run("empty/").rc, 0);
	EXPECT_TRUE(box.exists("empty/dvd_version.txt"));

	box.write("full/keep.txt", "mine");
	authored_struct a = run("full");
	EXPECT_EQ(a.rc, 1);
	EXPECT_NE(a.error.find("already exists"), std::string::npos) << a.error;
	EXPECT_EQ(files_under(box.path("full")), std::vector<std::string>{"keep.txt"});

	a = run("missing/disc");
	EXPECT_EQ(a.rc, 1);
	EXPECT_NE(a.error.find("does not exist"), std::string::npos) << a.error;
	EXPECT_FALSE(box.exists("missing"));
}

TEST(mkdisc_disc, bad_arguments_are_named)
{
	struct case_struct {
		std::vector<std::string> args;
		const char* message;
	} cases[] = {
		{{"--release", "1=r", "out"}, "--name is missing"},
		{{"--name", "V", "out"}, "no --release given"},
		{{"--name", "V", "--release", "1=r"}, "the output folder is missing"},
		{{"--name", "V", "--release", "1=r", "a", "b"}, "give one output folder, not 2"},
		{{"--name", "V", "--release", "x=r", "out"}, "--release wants N=VALUE"},
		{{"--name", "V", "--release", "0=r", "out"}, "--release wants N=VALUE"},
		{{"--name", "V", "--release", "1=", "out"}, "gives nothing after '='"},
		{{"--name", "V", "--release", "1", "out"}, "--release wants N=VALUE"},
		{{"--name", "V", "--release", "1=r", "--release", "1=s", "out"}, "release 1 is given twice"},
		{{"--name", "V", "--release", "1=r", "--os", "7=*", "out"}, "from 0 to 6"},
		{{"--name", "V", "--release", "1=r", "--bogus", "out"}, "unknown option '--bogus'"},
		{{"--name"}, "--name needs a value"},
		{{"--name", "", "--release", "1=r", "out"}, "is empty"},
		{{"--name", "a/b", "--release", "1=r", "out"}, "has '/'"},
		{{"--name", " V", "--release", "1=r", "out"}, "begins with a blank"},
		{{"--name", "V\t9", "--release", "1=r", "out"}, "control character"},
		{{"--name", "V:9", "--release", "1=r", "out"}, "has ':'"},
		{{"--name", "..", "--release", "1=r", "out"}, "not a folder name"},
		{{"--name", "Not Yet Scanned", "--release", "1=r", "out"}, "before it has read a disc"},
	};
	for (const case_struct& c : cases) {
		mkdisc_options_struct options;
		std::string error;
		EXPECT_EQ(mkdisc_parse_args(c.args, options, error), 2) << c.message;
		EXPECT_NE(error.find(c.message), std::string::npos) << error;
	}

	mkdisc_options_struct options;
	std::string error;
	ASSERT_EQ(mkdisc_parse_args({"--os=2=*.exe", "--release=900=b", "--name=V 9", "--release", "840=a", "--os", "3=*",
	                             "--", "-out"},
	                            options, error),
	          0)
		<< error;
	EXPECT_EQ(options.name, "V 9");
	ASSERT_EQ(options.releases.size(), 2u);
	EXPECT_EQ(options.releases[0].number, 840);
	EXPECT_EQ(options.releases[0].folder, "a");
	EXPECT_EQ(options.releases[1].number, 900);
	ASSERT_EQ(options.os_rules.size(), 2u);
	EXPECT_EQ(options.os_rules[0].os_type, 2);
	EXPECT_EQ(options.os_rules[0].glob, "*.exe");
	EXPECT_EQ(options.out_path, "-out");
}

TEST(mkdisc_disc, the_program_answers_with_its_exit_codes)
{
	sandbox_class box;
	box.write("r/a.txt", "a");
	struct case_struct {
		std::vector<std::string> args;
		int code;
		const char* output;
	} cases[] = {
		{{"--help"}, 0, "Usage: velmora-mkdisc --name NAME --release N=DIR"},
		{{"--name", "V", "--release", "1=" + box.path("r")}, 2,
		 "velmora-mkdisc: the output folder is missing\nTry 'velmora-mkdisc --help'.\n"},
		{{"--name", "V", "--release", "1=" + box.path("nowhere"), box.path("disc")}, 1, "release 1: '"},
		{{"--name", "V", "--release", "1=" + box.path("r"), box.path("disc")}, 0,
		 ": 1 files packed into "},
	};
	for (const case_struct& c : cases) {
		std::string out = box.path("out.txt");
		EXPECT_EQ(wait_program(start_program(program_path("tools/mkdisc/velmora-mkdisc"), c.args, out), 30), c.code);
		EXPECT_NE(box.read("out.txt").find(c.output), std::string::npos) << box.read("out.txt");
	}
	EXPECT_TRUE(box.exists("disc/V/V/a.txt.zip"));
}

} // namespace
