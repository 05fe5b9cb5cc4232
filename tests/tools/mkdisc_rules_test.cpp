// The authoring rules: which versions the directory file records, in what order, for which system and
// with what sizes; read back by the directory file's grammar.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "disc_reader.h"
#include "support/sandbox.h"

namespace fs = std::filesystem;

namespace {

const std::string name = "Velmora 9.00";

int kb(uint64_t bytes) { return int((bytes + 999) / 1000); }

// Authors `box`'s disc from the given releases and reads its directory file back.
read_manifest_struct author_and_read(sandbox_class& box, const std::vector<std::string>& extra_args)
{
	std::vector<std::string> args = {"--name", name};
	args.insert(args.end(), extra_args.begin(), extra_args.end());
	args.push_back(box.path("disc"));
	authored_struct a = author(args);
	EXPECT_EQ(a.rc, 0) << a.error;
	read_manifest_struct m = read_manifest(disc_directory(box.path("disc"), name));
	EXPECT_EQ(m.problems, std::vector<std::string>());
	return m;
}

const std::vector<read_record_struct>* history_of(const read_manifest_struct& m, const std::string& rel)
{
	for (const auto& h : m.histories)
		if (h.front().path == name + "/" + rel) return &h;
	return nullptr;
}

std::string archive_of(sandbox_class& box, const std::string& rel, const char* suffix = ".zip")
{
	return box.path("disc/" + name + "/" + name + "/" + rel + suffix);
}

TEST(mkdisc_rules, histories_record_each_change_and_the_first_release_without_the_file)
{
	std::map<std::string, std::string> contents = {{"A", "alpha\n"}, {"B", "bravo, longer than alpha\n"}, {"C", "charlie"}};
	struct case_struct {
		const char* rel;
		const char* in_840;
		const char* in_850;
		const char* in_900;
		const char* history;
	} cases[] = {
		{"same.txt", "A", "A", "A", "840:A"},
		{"changed.txt", "A", "B", "B", "840:A 850:B"},
		{"changed_back.txt", "A", "B", "A", "840:A 850:B 900:A"},
		{"gone.txt", "A", nullptr, nullptr, "840:A 850:GONE"},
		{"gone_last.txt", "A", "A", nullptr, "840:A 900:GONE"},
		{"comes_back.txt", "A", nullptr, "A", "840:A 850:GONE 900:A"},
		{"comes_back_changed.txt", "A", nullptr, "B", "840:A 850:GONE 900:B"},
		{"only_between.txt", nullptr, "B", nullptr, "850:B 900:GONE"},
		{"late/new.txt", nullptr, nullptr, "C", "900:C"},
	};
	sandbox_class box;
	std::map<std::string, std::string> letter_of;
	for (const auto& [letter, content] : contents) letter_of[md5_of(content)] = letter;
	for (const case_struct& c : cases) {
		const char* in[] = {c.in_840, c.in_850, c.in_900};
		for (int r = 0; r < 3; r++)
			if (in[r]) box.write("r" + std::to_string(r) + "/" + c.rel, contents[in[r]]);
	}
	// releases in any order on the command line
	read_manifest_struct m = author_and_read(
		box, {"--release", "900=" + box.path("r2"), "--release", "840=" + box.path("r0"), "--release", "850=" + box.path("r1")});
	ASSERT_EQ(m.histories.size(), std::size(cases));

	for (const case_struct& c : cases) {
		SCOPED_TRACE(c.rel);
		const auto* h = history_of(m, c.rel);
		ASSERT_TRUE(h);
		std::string history;
		for (const read_record_struct& r : *h) {
			history += (history.empty() ? "" : " ") + std::to_string(r.version_num) + ":" +
			           (r.sig == "GONE" ? "GONE" : letter_of[r.sig]);
			EXPECT_EQ(r.use_type, 0);
			EXPECT_EQ(r.os_type, 0);
			int size = r.sig == "GONE" ? 0 : kb(contents[letter_of[r.sig]].size());
			EXPECT_EQ(r.disk_size, size);
			// the current version is downloaded as its archive; no archive holds an earlier one
			if (&r != &h->back() || r.sig == "GONE") {
				EXPECT_EQ(r.down_size, size);
			}
		}
		EXPECT_EQ(history, c.history);
		EXPECT_EQ(fs::exists(archive_of(box, c.rel)), c.in_900 != nullptr);
		if (c.in_900) {
			EXPECT_EQ(h->back().down_size, kb(fs::file_size(archive_of(box, c.rel))));
		}
	}
}

TEST(mkdisc_rules, paths_come_in_byte_order_under_a_DIR_line_for_each_change_of_folder)
{
	sandbox_class box;
	// the trailing blank of "x y  z " is part of the name
	for (const char* rel : {"b.txt", "\xc3\xa9.txt", "a/z.txt", "a b/x y  z ", "a/b/c.txt", "A.txt", "a.txt"})
		box.write(std::string("r/") + rel, rel);
	read_manifest_struct m = author_and_read(box, {"--release", "900=" + box.path("r")});
	std::vector<std::string> paths;
	for (const auto& h : m.histories) paths.push_back(h.front().path.substr(name.size() + 1));
	EXPECT_EQ(paths, (std::vector<std::string>{"A.txt", "a b/x y  z ", "a.txt", "a/b/c.txt", "a/z.txt", "b.txt", "\xc3\xa9.txt"}));

	std::string text = disc_directory(box.path("disc"), name);
	std::vector<std::string> dirs;
	for (size_t at = text.find("\nDIR "); at != std::string::npos; at = text.find("\nDIR ", at + 1))
		dirs.push_back(text.substr(at + 5, text.find('\n', at + 1) - at - 5));
	std::string n = name + "/";
	EXPECT_EQ(dirs, (std::vector<std::string>{n, n + "a b/", n, n + "a/b/", n + "a/", n}));
}

TEST(mkdisc_rules, the_first_matching_os_rule_gives_the_system_of_every_record_of_a_path)
{
	struct case_struct {
		const char* rel;
		int os_type;
	} cases[] = {
		{"tool.exe", 2},
		{"Resources/plugins/tool.exe", 2}, // '*' crosses folders
		{"Resources/mac/tool.exe", 2},     // the earlier rule wins
		{"Resources/mac/lib.dylib", 3},
		{"lib/x.so", 6},
		{"readme.txt", 0},
		{"tool.exe.txt", 0},
	};
	sandbox_class box;
	for (const case_struct& c : cases) {
		box.write(std::string("r1/") + c.rel, "old");
		box.write(std::string("r2/") + c.rel, "new");
	}
	box.write("r1/dropped.exe", "old");
	read_manifest_struct m = author_and_read(box, {"--release", "1=" + box.path("r1"), "--release", "2=" + box.path("r2"),
	                                               "--os", "2=*.exe", "--os", "3=Resources/mac/*", "--os=6=*.so"});
	for (const case_struct& c : cases) {
		SCOPED_TRACE(c.rel);
		const auto* h = history_of(m, c.rel);
		ASSERT_TRUE(h);
		ASSERT_EQ(h->size(), 2u);
		for (const read_record_struct& r : *h) EXPECT_EQ(r.os_type, c.os_type);
	}
	const auto* dropped = history_of(m, "dropped.exe");
	ASSERT_TRUE(dropped);
	EXPECT_EQ(dropped->back().sig, "GONE");
	EXPECT_EQ(dropped->back().os_type, 2);
}

TEST(mkdisc_rules, sizes_are_kilobytes_of_1000_rounded_up)
{
	struct case_struct {
		const char* rel;
		size_t bytes;
		int disk_kb;
	} cases[] = {
		{"s0", 0, 0},       {"s1", 1, 1},       {"s999", 999, 1},
		{"s1000", 1000, 1}, {"s1001", 1001, 2}, {"Global Scenery/s1001", 1001, 2},
	};
	sandbox_class box;
	for (const case_struct& c : cases) box.write(std::string("r/") + c.rel, std::string(c.bytes, 'x'));
	read_manifest_struct m = author_and_read(box, {"--release", "900=" + box.path("r")});
	for (const case_struct& c : cases) {
		SCOPED_TRACE(c.rel);
		const auto* h = history_of(m, c.rel);
		ASSERT_TRUE(h);
		EXPECT_EQ(h->back().disk_size, c.disk_kb);
		std::string archive = archive_of(box, c.rel, std::string(c.rel).find("Global Scenery") == 0 ? ".7z" : ".zip");
		ASSERT_TRUE(fs::exists(archive));
		EXPECT_EQ(h->back().down_size, kb(fs::file_size(archive)));
	}
}

TEST(mkdisc_rules, the_marker_and_the_directory_file_begin_with_their_headers)
{
	sandbox_class box;
	box.write("r/readme.txt", "hello");
	author_and_read(box, {"--release", "900=" + box.path("r")});
	EXPECT_EQ(box.read("disc/dvd_version.txt"), "I\n900 version\nDVD\nVERSION Velmora 9.00\n");
	EXPECT_EQ(disc_directory(box.path("disc"), name),
	          "I\n900 version\nINSTALLER\n\nDIR Velmora 9.00/\nFILE 0 0 900 1 1 5d41402abc4b2a76b9719d911017c592 readme.txt\n");
}

} // namespace
