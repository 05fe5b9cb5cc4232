// The mapped file, its cursor and the common file header.
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "io/xmap.h"
#include "io_fixture.h"

using ::testing::ExitedWithCode;

class xmap_test : public io_test {
protected:
	// Maps `content` written to a sandbox file.
	xmap_class& map(const std::string& content)
	{
		box.write("f.txt", content);
		file.retry(box.path("f.txt"));
		return file;
	}
	xmap_class file{""};
};

TEST_F(xmap_test, absent_files_map_to_nothing)
{
	box.write("empty", "");
	const int versions[] = {1, 0};
	for (const char* rel : {"missing", "empty", "home/"}) {
		xmap_class m(box.path(rel));
		EXPECT_EQ(m.mBegin, nullptr) << rel;
		EXPECT_EQ(m.check_file(10001, versions, nullptr, nullptr), 0);
	}
	EXPECT_EQ(xmap_class("").mBegin, nullptr);
}

TEST_F(xmap_test, retry_maps_the_new_file_in_place_of_the_old)
{
	box.write("a", "first");
	box.write("b", "second!");
	xmap_class m(box.path("a"));
	ASSERT_NE(m.retry(box.path("b")), nullptr);
	EXPECT_EQ(std::string(m.mBegin, m.mEnd), "second!");
	EXPECT_EQ(m.mCrt, m.mBegin);
	EXPECT_EQ(m.retry(box.path("missing")), nullptr);
	EXPECT_EQ(m.mEnd, nullptr);
}

TEST_F(xmap_test, bad_paths_are_fatal)
{
	EXPECT_EXIT((log_to_stderr(), xmap_class("C:\\Velmora\\b")), ExitedWithCode(1), "I got a bad dirchar!");
	EXPECT_EXIT((log_to_stderr(), xmap_class("Velmora:b")), ExitedWithCode(1), "I got a bad dirchar!");
	EXPECT_EXIT((log_to_stderr(), xmap_class("/" + std::string(499, 'x'))), ExitedWithCode(1), "String too long!");
	EXPECT_EQ(xmap_class("C:\\Velmora/x.txt").mBegin, nullptr); // the drive prefix keeps its backslash
}

TEST_F(xmap_test, names_on_this_system_may_hold_backslashes_and_colons)
{
	box.write("Games: 2026\\old/notes.txt", "kept");
	xmap_class m(box.path("Games: 2026\\old/notes.txt"));
	ASSERT_NE(m.mBegin, nullptr);
	EXPECT_EQ(std::string(m.mBegin, m.mEnd), "kept");
}

// In a death test: maps `path` with 2 GB of address space; ends with 0 when nothing was mapped.
static void map_with_little_memory(const std::string& path)
{
	log_to_stderr();
	rlimit lim{1LL << 31, 1LL << 31};
	setrlimit(RLIMIT_AS, &lim);
	xmap_class m(path);
	exit(m.mBegin == nullptr && m.mEnd == nullptr ? 0 : 3);
}

TEST_F(xmap_test, view_that_cannot_be_mapped_alerts_and_logs)
{
	int fd = open(box.path("big").c_str(), O_CREAT | O_WRONLY, 0644);
	ASSERT_EQ(ftruncate(fd, 1LL << 32), 0);
	close(fd);
	EXPECT_EXIT(map_with_little_memory(box.path("big")), ExitedWithCode(0),
	            "Xmapped file ran out of memory(.|\n)*Mem file error.  Err=12, file=.*big");
}

struct header_case {
	const char* content;
	const char* tag;
	int expected;
	const char* body; // where the cursor is left on a match
};

TEST_F(xmap_test, text_header_check)
{
	const int versions[] = {9002, 800, -5, 0};
	header_case cases[] = {
		{"I\n9002 version\nbody", nullptr, 9002, "body"},
		{"A whatever\r\n800\r\n\r\nbody", nullptr, 800, "body"},
		{"X\n9002 version\n", nullptr, 0, nullptr},
		{"I\n9003 version\n", nullptr, 0, nullptr},
		{"I\n-5 version\n", nullptr, -5, ""},
		{"I\n0\n", nullptr, 0, nullptr},
		{"I\n9002\nINSTALLER", "INSTALLER", 9002, ""},
		{"I\n9002\n  INSTALLER\t rest of line\nbody", "INSTALLER", 9002, "body"},
		{"I\n9002\nINSTALLER\rbody", "INSTALLER", 9002, "body"},
		{"I\n9002\nINSTALLERS\n", "INSTALLER", 0, nullptr},
		{"I\n9002\nINSTALL\n", "INSTALLER", 0, nullptr},
	};
	for (auto& c : cases) {
		xmap_class& m = map(c.content);
		EXPECT_EQ(m.check_file(10001, versions, c.tag, nullptr), c.expected) << c.content;
		if (c.body) {
			EXPECT_EQ(std::string(m.mCrt, m.mEnd), c.body) << c.content;
		}
	}
	std::string header_text;
	map("I\n9002   version 2 of it  \nbody").check_file(10001, versions, nullptr, &header_text);
	EXPECT_EQ(header_text, "version 2 of it  ");
}

TEST_F(xmap_test, binary_header_check_sets_the_byte_order)
{
	const int versions[] = {1000, 0};
	xmap_class& m = map(std::string("i\xe8\x03\0\0TAG x\n\x01\x02\x03\x04", 15));
	EXPECT_EQ(m.check_file(10000, versions, "TAG", nullptr), 1000);
	EXPECT_EQ(m.rev_inf_bin, 0);
	EXPECT_EQ(m.read_int_bin(), 0x04030201);

	xmap_class& be = map(std::string("a\0\0\x03\xe8\x01\x02\x03\x04\x05", 10));
	EXPECT_EQ(be.check_file(10000, versions, nullptr, nullptr), 1000);
	EXPECT_EQ(be.rev_inf_bin, 1);
	EXPECT_EQ(be.read_int_bin(), 0x01020304);
	EXPECT_EQ(be.read_int_bin(), 0); // one byte left
	EXPECT_EQ(be.read_byte(), 5);
	EXPECT_EQ(be.read_byte(), 0);

	EXPECT_EQ(map("I\xe8\x03\0\0").check_file(10000, versions, nullptr, nullptr), 0);
	EXPECT_EXIT((log_to_stderr(), map("i").check_file(3, versions, nullptr, nullptr)), ExitedWithCode(1),
	            "Bad check_file type!");
}

TEST_F(xmap_test, read_int_does_not_check_digits_and_wraps)
{
	struct {
		const char* text;
		int expected;
	} cases[] = {{"  -5 x", -5}, {"-+5", 5}, {"+7", 7}, {"1a", 59}, {"2147483648", INT_MIN}, {"4294967297", 1},
	             {"", 0}, {"12\r\n3", 12}};
	for (auto& c : cases) EXPECT_EQ(map(c.text).read_int(), c.expected) << c.text;
}

TEST_F(xmap_test, match_word_needs_white_after_the_word)
{
	xmap_class& m = map("  DIR\nDIRX foo\nDIR foo");
	EXPECT_FALSE(m.match_word("DIR"));
	EXPECT_EQ(*m.mCrt, 'D');
	m.skip_line();
	EXPECT_FALSE(m.match_word("DIR"));
	EXPECT_EQ(std::string(m.mCrt, 4), "DIRX");
	m.skip_line();
	EXPECT_TRUE(m.match_word("DIR"));
	EXPECT_EQ(m.read_token(), "foo");
	EXPECT_FALSE(m.match_word("DIR")); // at the end of the data
}

TEST_F(xmap_test, tokens_and_rest_of_line_across_line_endings)
{
	xmap_class& m = map("  Aircraft/My Plane/  \r\n\r\n\t\nA B\rC\nD");
	EXPECT_EQ(m.read_rest(), "Aircraft/My Plane/  ");
	m.skip_eol();
	EXPECT_EQ(m.read_token(), "A");
	EXPECT_EQ(m.read_token(), "B");
	EXPECT_EQ(m.read_token(), ""); // stops at the end of the line
	m.skip_eol();
	EXPECT_EQ(m.read_token(), "C");
	m.skip_line();
	EXPECT_EQ(m.read_rest(), "D");
	EXPECT_EQ(m.mCrt, m.mEnd);
	m.skip_line();
	EXPECT_EQ(m.read_rest(), "");

	xmap_class& z = map(std::string("ab\0cd", 5));
	EXPECT_EQ(z.read_rest(), "ab");
	z.skip_eol();
	EXPECT_EQ(z.read_token(), "cd");
}
