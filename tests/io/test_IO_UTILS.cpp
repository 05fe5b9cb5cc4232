// Path convention, well-known folders, file operations, error texts, folder listing, shared output file.
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "io/IO_UTILS.h"
#include "io_fixture.h"

using ::testing::ExitedWithCode;

struct path_case {
	const char* in;
	const char* expected;
};

TEST(path_convention, separators_are_converted_after_the_drive_prefix)
{
	for (path_case c : {path_case{"C:\\A\\B:D", "C:\\A/B/D"}, {"\\\\server\\share", "//server/share"},
	                    {"C:\\", "C:\\"}, {"/home/a\\b:c/", "/home/a\\b:c/"}, {"a\\b:c", "a/b/c"}, {"", ""}}) {
		std::string p = c.in;
		set_path_to_right_dirchars(p);
		EXPECT_EQ(p, c.expected) << c.in;
	}
}

TEST(path_convention, last_component)
{
	for (path_case c : {path_case{"C:\\A/B/", "B/"}, {"C:\\A/B/c.txt", "c.txt"}, {"C:\\", "C:\\"},
	                    {"c.txt", "c.txt"}, {"", ""}, {"/home/u/f", "f"}, {"/home/u/", "u/"}, {"/f", "f"}}) {
		std::string out = "junk";
		get_file_with_path(out, c.in);
		EXPECT_EQ(out, c.expected) << c.in;
	}
}

TEST(path_convention, folder_part)
{
	for (path_case c : {path_case{"C:\\A/B/c.txt", "C:\\A/B/"}, {"C:\\A/B/", "C:\\A/"}, {"C:\\A/", "C:\\"},
	                    {"C:\\", "C:\\"}, {"/home/u/f", "/home/u/"}, {"/home/", "/"}, {"/f", "/"}, {"/", "/"}}) {
		std::string out = "junk";
		get_path_with_path(out, c.in);
		EXPECT_EQ(out, c.expected) << c.in;
	}
}

TEST(path_convention, archive_entry_names_must_stay_inside_their_folder)
{
	for (const char* inside : {"a.txt", "A/b.txt", "A/", "a..b/c..", ".../x", "./x", "C:\\x"})
		EXPECT_TRUE(entry_name_stays_inside(inside)) << inside;
	for (const char* outside : {"", "/etc/x", "../x", "A/../../x", "A/..", "..", "A/../b"})
		EXPECT_FALSE(entry_name_stays_inside(outside)) << outside;
}

using well_known_folders = io_test;

TEST_F(well_known_folders, come_from_the_environment_with_a_trailing_slash)
{
	std::string out;
	for (auto [kind, rel] : {std::pair{1, "home/Desktop/"}, {2, "home/"}, {3, "tmp/"}, {4, "home/.config/"}}) {
		get_OS_abs_path(kind, out);
		EXPECT_EQ(out, box.path(rel)) << kind;
	}
	get_OS_abs_path(0, out);
	EXPECT_EQ(out, std::filesystem::canonical("/proc/self/exe").parent_path().string() + "/");
}

TEST_F(well_known_folders, unknown_kind_is_fatal)
{
	std::string out;
	EXPECT_EXIT((log_to_stderr(), get_OS_abs_path(5, out)), ExitedWithCode(1), "Bad get_OS_abs_path kind!");
}

using file_ops = io_test;

TEST_F(file_ops, delete_file_removes_files_and_only_empty_folders)
{
	box.write("f.txt", "x");
	box.write("full/g.txt", "x");
	std::filesystem::create_directory(box.path("empty"));

	EXPECT_EQ(delete_file(""), 2);
	EXPECT_EQ(delete_file(box.path("f.txt")), 0);
	EXPECT_FALSE(box.exists("f.txt"));
	EXPECT_EQ(delete_file(box.path("f.txt")), ENOENT);
	EXPECT_EQ(delete_file(box.path("empty/")), 0);
	EXPECT_FALSE(box.exists("empty"));
	EXPECT_EQ(delete_file(box.path("full/")), ENOTEMPTY);
	EXPECT_TRUE(box.exists("full/g.txt"));
	EXPECT_EQ(sErrFile, "IO_UTILS");
}

TEST_F(file_ops, make_folder_creates_one_level)
{
	EXPECT_EQ(make_folder(box.path("new/")), 0);
	EXPECT_TRUE(std::filesystem::is_directory(box.path("new")));
	EXPECT_EQ(make_folder(box.path("new/")), EEXIST);
	EXPECT_EQ(make_folder(box.path("a/b/")), ENOENT);
	for (auto [code, shown] : {std::pair{0, 0}, {183, 0}, {EEXIST, 0}, {ENOENT, 1}, {EACCES, 1}})
		EXPECT_EQ(show_make_dir_err(code), shown) << code;
	EXPECT_EQ(show_del_err(ENOENT), 0);
}

TEST_F(file_ops, unlock_file_gives_the_owner_write_access)
{
	box.write("ro.txt", "x");
	chmod(box.path("ro.txt").c_str(), 0444);
	EXPECT_EQ(unlock_file(box.path("ro.txt")), 0);
	struct stat st;
	ASSERT_EQ(stat(box.path("ro.txt").c_str(), &st), 0);
	EXPECT_EQ(st.st_mode & 0777, 0644u);
	EXPECT_EQ(unlock_file(box.path("missing")), ENOENT);
}

TEST_F(file_ops, rename_file_never_replaces_an_existing_target)
{
	box.write("d/a.txt", "a");
	box.write("d/b.txt", "b");
	box.write("d/sub/x", "x");
	std::string d = box.path("d/");

	EXPECT_EQ(rename_file(d, "a.txt", "b.txt"), EEXIST);
	EXPECT_EQ(box.read("d/a.txt"), "a");
	EXPECT_EQ(box.read("d/b.txt"), "b");
	EXPECT_EQ(rename_file(d, "a.txt", "c.txt"), 0);
	EXPECT_EQ(box.read("d/c.txt"), "a");
	EXPECT_EQ(rename_file(d, "sub", "moved"), 0);
	EXPECT_EQ(box.read("d/moved/x"), "x");
	EXPECT_EQ(rename_file(d, "a.txt", "z.txt"), ENOENT);
}

TEST_F(file_ops, replaced_file_is_untouched_until_commit)
{
	box.write("d/t.bin", "old");
	{
		replace_file_class out(box.path("d/t.bin"));
		ASSERT_EQ(out.open(), 0);
		ASSERT_EQ(out.write("new data", 8), 0);
		EXPECT_EQ(box.read("d/t.bin"), "old");
	}
	EXPECT_EQ(box.read("d/t.bin"), "old");
	std::vector<std::string> names;
	for (auto& e : std::filesystem::directory_iterator(box.path("d"))) names.push_back(e.path().filename());
	EXPECT_EQ(names, std::vector<std::string>{"t.bin"});

	replace_file_class out(box.path("d/t.bin"));
	ASSERT_EQ(out.open(), 0);
	ASSERT_EQ(out.write("new data", 8), 0);
	ASSERT_EQ(out.commit(), 0);
	EXPECT_EQ(box.read("d/t.bin"), "new data");
	EXPECT_EQ(replace_file_class(box.path("nowhere/t.bin")).open(), ENOENT);
}

TEST(error_texts, table_first_then_the_system)
{
	EXPECT_EQ(error_str(20003), "We were unable to create a zip file");
	EXPECT_EQ(error_str(5), "Input/output error");
	EXPECT_EQ(error_str(0), "No error detected");
	EXPECT_EQ(error_str(28), "No space left on device. Perhaps your hard drive is full");
	EXPECT_EQ(error_str(EOPNOTSUPP), "Operation not supported");
	EXPECT_EQ(error_str(123456), "");
	int rows = 0;
	for (const error_msg_info* r = kErrMsgs; r->msg; ++r) ++rows;
	EXPECT_EQ(rows, 54);
}

using folder_listing = io_test;

TEST_F(folder_listing, sorted_without_case_hidden_names_dropped_commands_listed_like_files)
{
	for (const char* f : {"b.txt", "A.dat", ".hidden", "c/x", "ab", "B2", "a1"}) box.write(std::string("l/") + f, "");
	std::vector<std::string> names;
	std::vector<int> types;

	EXPECT_EQ(opensave_getitems(box.path("l/"), 0, names, types), 6);
	EXPECT_EQ(names, (std::vector<std::string>{"A.dat", "a1", "ab", "b.txt", "B2", "c"}));
	EXPECT_EQ(types, (std::vector<int>{0, 0, 0, 19, 0, 1}));

	EXPECT_EQ(opensave_getitems(box.path("l/"), 19, names, types), 2);
	EXPECT_EQ(names, (std::vector<std::string>{"b.txt", "c"}));

	EXPECT_EQ(opensave_getitems(box.path("l/"), 20, names, types), 0);
	EXPECT_EQ(opensave_getitems(box.path("l/"), 21, names, types), 0);
	EXPECT_EQ(opensave_getitems("sim/", 21, names, types), 1);
	EXPECT_EQ(names, std::vector<std::string>{"operation"});
	EXPECT_EQ(types, std::vector<int>{1});
	EXPECT_EQ(opensave_getitems("sim/operation/", 21, names, types), 1);
	EXPECT_EQ(names, std::vector<std::string>{"none"});
	EXPECT_EQ(types, std::vector<int>{21});
	EXPECT_EQ(opensave_getitems(box.path("missing/"), 0, names, types), 0);
	EXPECT_TRUE(names.empty() && types.empty());
}

TEST_F(folder_listing, path_without_trailing_slash_is_fatal)
{
	std::vector<std::string> names;
	std::vector<int> types;
	EXPECT_EXIT((log_to_stderr(), opensave_getitems(box.path("l"), 0, names, types)), ExitedWithCode(1),
	            "Working path does not appear to be a directory!");
}

TEST(entry_filter, suffix_types_and_panel_requests)
{
	struct {
		const char *path, *name;
		int request, type_in, keep, type_out;
	} cases[] = {
		{"/x/", "pic.PnG", 0, 0, 1, 2},
		{"/x/", "notes.txt", 19, 0, 1, 19},
		{"/x/", "notes.txt", 2, 0, 0, 19},
		{"/x/", "dir.txt", 0, 1, 1, 19}, // a folder with a listed suffix takes its type
		{"/x/", "sub", 5, 1, 1, 1},      // folders are always kept
		{"/x/", "..", 0, 1, 0, 1},
		{"/x/", "", 0, 0, 0, 0},
		{"/x/", "a.png", 12, 0, 1, 2},
		{"/x/", "a-1.png", 12, 0, 0, 2},
		{"resources/BITMAPS/cockpit/-panels-/", "a.png", 12, 0, 0, 2},
	};
	for (auto& c : cases) {
		int type = c.type_in;
		EXPECT_EQ(opensave_takeit(c.path, c.name, c.request, type), c.keep) << c.path << c.name;
		EXPECT_EQ(type, c.type_out) << c.path << c.name;
	}
}

using shared_output = io_test;

TEST_F(shared_output, text_header_and_lower_case_suffix)
{
	ASSERT_EQ(ouf_open(box.path("Prefs.PRF"), 10001, 9002), 1);
	ouf << 1.5f << "\n";
	ouf.close();
	EXPECT_EQ(box.read("Prefs.prf"), "I\n9002 version\n1.500000\n");
}

TEST_F(shared_output, binary_header_is_little_endian)
{
	ASSERT_EQ(ouf_open(box.path("data.bin"), 10000, 0x01020304), 1);
	ouf.close();
	EXPECT_EQ(box.read("data.bin"), std::string("i\x04\x03\x02\x01", 5));
}

TEST_F(shared_output, creates_one_missing_folder_and_alerts_beyond)
{
	EXPECT_EQ(ouf_open(box.path("new/f.txt"), 10001, 1), 1);
	ouf.close();
	EXPECT_EQ(box.read("new/f.txt"), "I\n1 version\n");

	EXPECT_EQ(ouf_open(box.path("no/such/f.txt"), 10001, 1), 0);
	EXPECT_FALSE(ouf.is_open());
	EXPECT_NE(log_text().find("I could not save the file!"), std::string::npos);
	EXPECT_NE(log_text().find(box.path("no/such/f.txt")), std::string::npos);
}

TEST_F(shared_output, programming_errors_are_fatal)
{
	EXPECT_EXIT((log_to_stderr(), ouf_open(box.path("f.txt"), 3, 1)), ExitedWithCode(1), "Bad ouf_open type!");
	EXPECT_EXIT((log_to_stderr(), ouf_open(box.path(std::string(500, 'x')), 10001, 1)), ExitedWithCode(1),
	            "String too long!");
	check_len(std::string(499, 'x'));
}
