// Zip and 7z extraction, with archives made by the real zip and 7z programs, and file signatures.
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "io/IO_UTILS.h"
#include "io/md5.h"
#include "io/p7z.h"
#include "io/zip.h"
#include "io_fixture.h"

namespace fs = std::filesystem;
using ::testing::ExitedWithCode;

using names = std::vector<std::string>;

class archive_test : public io_test {
protected:
	// Everything below the sandbox folder `rel`, sorted, folders with a trailing '/'.
	names tree(const std::string& rel)
	{
		names found;
		for (auto& e : fs::recursive_directory_iterator(box.path(rel)))
			found.push_back(fs::relative(e.path(), box.path(rel)).string() + (e.is_directory() ? "/" : ""));
		std::sort(found.begin(), found.end());
		return found;
	}
	// Replaces every occurrence of `from` in the sandbox file `rel` by `to`, of the same length.
	void patch(const std::string& rel, const std::string& from, const std::string& to)
	{
		std::string data = box.read(rel);
		for (size_t at = data.find(from); at != std::string::npos; at = data.find(from, at + 1))
			data.replace(at, to.size(), to);
		box.write(rel, data);
	}
	// Text that deflates well but is not all the same byte.
	static std::string pattern(size_t size)
	{
		std::string s(size, ' ');
		for (size_t i = 0; i < size; ++i) s[i] = char('a' + (i * 7 + i / 1000) % 26);
		return s;
	}
};

// In a death test: ends the child with 0 when `rc` is the expected code, printing it otherwise.
static void exit_if(int rc, int expected)
{
	fprintf(stderr, "result %d\n", rc);
	exit(rc == expected ? 0 : 1);
}

// In a death test: files of the child may not grow beyond 1000 bytes (writes then fail with EFBIG).
static void limit_file_size()
{
	signal(SIGXFSZ, SIG_IGN);
	rlimit lim{1000, 1000};
	setrlimit(RLIMIT_FSIZE, &lim);
}

// In a death test: the child may not use more than 1 GB of address space.
static void limit_memory()
{
	rlimit lim{1LL << 30, 1LL << 30};
	setrlimit(RLIMIT_AS, &lim);
}

using zip_extraction = archive_test;

TEST_F(zip_extraction, folders_files_and_skipped_resource_forks)
{
	box.write("src/A/b.txt", "hello");
	box.write("src/A/empty.txt", "");
	box.write("src/__MACOSX/A/._b.txt", "fork");
	run_in(box, "src", "zip -q -r ../a.zip A __MACOSX");
	fs::create_directory(box.path("out"));

	EXPECT_EQ(zip_to_file(box.path("a.zip"), box.path("out/")), 0);
	EXPECT_EQ(tree("out"), (names{"A/", "A/b.txt", "A/empty.txt"}));
	EXPECT_EQ(box.read("out/A/b.txt"), "hello");

	// Again over the files just written: they are replaced, the existing folder is no error.
	box.write("out/A/b.txt", "old");
	EXPECT_EQ(unlock_file(box.path("out/A/b.txt")), 0);
	EXPECT_EQ(zip_to_file(box.path("a.zip"), box.path("out/")), 0);
	EXPECT_EQ(box.read("out/A/b.txt"), "hello");
	EXPECT_EQ(tree("out"), (names{"A/", "A/b.txt", "A/empty.txt"}));
}

TEST_F(zip_extraction, entry_without_folder_entry_needs_its_folder)
{
	box.write("src/B/c.txt", "c");
	box.write("src/L/target.txt", "t");
	run_in(box, "src/L", "ln -s target.txt link");
	run_in(box, "src", "zip -q -D -y ../b.zip B/c.txt L/link L/target.txt");
	fs::create_directory(box.path("out"));

	EXPECT_EQ(zip_to_file(box.path("b.zip"), box.path("out/")), ENOENT);
	std::string log = log_text();
	EXPECT_NE(log.find("UNZIP zip_to_file failed with err=2\n"), std::string::npos) << log;
	EXPECT_NE(log.find("Zip to file failed with error err = 2. file = "), std::string::npos) << log;
	EXPECT_NE(log.find("zip_file=" + box.path("b.zip") + ", out_directory=" + box.path("out/") + "."),
	          std::string::npos);

	// With the folders in place; the symbolic link is skipped.
	fs::create_directories(box.path("out/B"));
	fs::create_directories(box.path("out/L"));
	EXPECT_EQ(zip_to_file(box.path("b.zip"), box.path("out/")), 0);
	EXPECT_EQ(tree("out"), (names{"B/", "B/c.txt", "L/", "L/target.txt"}));
}

TEST_F(zip_extraction, unreadable_archives)
{
	box.write("junk.zip", "this is not a zip archive at all");
	for (const char* rel : {"missing.zip", "junk.zip"}) {
		EXPECT_EQ(zip_to_file(box.path(rel), box.path("")), 20001) << rel;
		std::string log = log_text();
		EXPECT_NE(log.find("OK I am about to report that I could not open a zip file for extraction!\n"
		                   "That incoming file is " + box.path(rel) + "\nIn c-form, it is " + box.path(rel) +
		                   "\nThe size is " + std::to_string(box.path(rel).size()) + "\n"),
		          std::string::npos)
			<< log;
	}
}

TEST_F(zip_extraction, entries_leaving_the_folder_are_refused)
{
	box.write("src/in/first.txt", "1");
	box.write("src/up.txt", "up");
	box.write("src/in/Qabs.txt", "abs");
	box.write("src/in/last.txt", "3");
	run_in(box, "src/in", "zip -q ../../up.zip first.txt ../up.txt last.txt");
	run_in(box, "src/in", "zip -q ../../abs.zip first.txt Qabs.txt last.txt");
	patch("abs.zip", "Qabs.txt", "/abs.txt");

	for (const char* archive : {"up.zip", "abs.zip"}) {
		fs::remove_all(box.path("out"));
		fs::create_directories(box.path("out/in"));
		EXPECT_EQ(zip_to_file(box.path(archive), box.path("out/in/")), 20002) << archive;
		// The entry before is written; the refused one and everything after are not.
		EXPECT_EQ(tree("out"), (names{"in/", "in/first.txt"})) << archive;
	}
	EXPECT_FALSE(box.exists("up.txt") || box.exists("out/up.txt") || box.exists("abs.txt"));
}

// Sets the uncompressed size of the only entry, in its local header and in the central directory.
static void set_entry_size(std::string& zip, uint32_t size)
{
	auto put32 = [&](size_t at) {
		for (int i = 0; i < 4; ++i) zip[at + i] = char(size >> (8 * i));
	};
	size_t end_record = zip.size() - 22;
	size_t central = (unsigned char)zip[end_record + 16] | (unsigned char)zip[end_record + 17] << 8 |
	                 (unsigned char)zip[end_record + 18] << 16 | (size_t)(unsigned char)zip[end_record + 19] << 24;
	put32(22);
	put32(central + 24);
}

TEST_F(zip_extraction, entries_stream_through_a_bounded_buffer_and_must_match_their_size)
{
	std::string content = pattern(3000000);
	box.write("src/big.txt", content);
	run_in(box, "src", "zip -q ../big.zip big.txt");
	fs::create_directory(box.path("out"));
	EXPECT_EQ(zip_to_file(box.path("big.zip"), box.path("out/")), 0);
	EXPECT_TRUE(box.read("out/big.txt") == content);

	// A header that claims more, or less, than the entry holds.
	for (uint32_t claimed : {2999999u, 0u, 0xfffffff0u}) {
		std::string zip = box.read("big.zip");
		set_entry_size(zip, claimed);
		box.write("lying.zip", zip);
		fs::remove_all(box.path("out"));
		fs::create_directory(box.path("out"));
		EXPECT_NE(zip_to_file(box.path("lying.zip"), box.path("out/")), 0) << claimed;
		EXPECT_EQ(tree("out"), names{}) << claimed;
	}
	// The claimed 4 GB are never allocated.
	EXPECT_EXIT((limit_memory(), exit_if(zip_to_file(box.path("lying.zip"), box.path("out/")), 20002)),
	            ExitedWithCode(0), "");
}

using p7z_extraction = archive_test;

TEST_F(p7z_extraction, items_go_into_existing_folders_only)
{
	box.write("src/G/a.txt", pattern(70000));
	box.write("src/G/sub/b.txt", "bee");
	box.write("src/G/e.txt", "");
	run_in(box, "src", "7z a -bd ../g.7z G");

	fs::create_directories(box.path("out/G"));
	EXPECT_EQ(p7z_to_file(box.path("g.7z"), box.path("out/")), ENOENT);

	fs::create_directories(box.path("out/G/sub"));
	box.write("out/G/sub/b.txt", "old");
	EXPECT_EQ(p7z_to_file(box.path("g.7z"), box.path("out/")), 0);
	EXPECT_EQ(tree("out"), (names{"G/", "G/a.txt", "G/e.txt", "G/sub/", "G/sub/b.txt"}));
	EXPECT_TRUE(box.read("out/G/a.txt") == pattern(70000));
	EXPECT_EQ(box.read("out/G/sub/b.txt"), "bee");
	EXPECT_EQ(box.read("out/G/e.txt"), "");
}

TEST_F(p7z_extraction, unreadable_archives)
{
	box.write("junk.7z", "this is not a 7z archive at all");
	EXPECT_EQ(p7z_to_file(box.path("missing.7z"), box.path("")), ENOENT);
	EXPECT_EQ(p7z_to_file(box.path("junk.7z"), box.path("")), 20001);
}

TEST_F(p7z_extraction, links_and_names_leaving_the_folder_are_refused)
{
	box.write("src/in/up.txt", "up");
	box.write("src/in/deep/x.txt", "x");
	run_in(box, "src/in/deep", "ln -s /etc/passwd link && 7z a -bd -snl ../../../link.7z link");
	run_in(box, "src/in/deep", "7z a -bd -spf ../../../up.7z ../up.txt");
	run_in(box, "src/in/deep", "7z a -bd -spf ../../../abs.7z " + shell_quote(box.path("src/in/up.txt")));

	for (const char* archive : {"link.7z", "up.7z", "abs.7z"}) {
		fs::remove_all(box.path("out"));
		fs::create_directories(box.path("out/in"));
		EXPECT_EQ(p7z_to_file(box.path(archive), box.path("out/in/")), 20001) << archive;
		EXPECT_EQ(tree("out"), (names{"in/"})) << archive;
	}
	EXPECT_FALSE(box.exists("out/up.txt"));
}

// Either archive kind replaces a file only with a complete, checked copy.
using replace_on_success = archive_test;

struct archive_kind_struct {
	const char* name;
	const char* pack;       // packs src/big.txt into ../big.<ext>
	const char* extension;
	int (*extract)(const std::string&, const std::string&);
	size_t damage_at;       // where flipping 20 bytes damages the packed data
} const archive_kinds[] = {
	{"zip", "zip -q ../big.zip big.txt", ".zip", zip_to_file, 200},
	{"7z", "7z a -bd ../big.7z big.txt", ".7z", p7z_to_file, 100},
};

TEST_F(replace_on_success, failed_write_keeps_the_old_file)
{
	for (const archive_kind_struct& k : archive_kinds) {
		fs::remove_all(box.path("src"));
		box.write("src/big.txt", pattern(5000));
		run_in(box, "src", k.pack);
		box.write("out/big.txt", "old");
		std::string archive = box.path(std::string("big") + k.extension);

		EXPECT_EXIT((limit_file_size(), exit_if(k.extract(archive, box.path("out/")), EFBIG)), ExitedWithCode(0), "")
			<< k.name;
		EXPECT_EQ(box.read("out/big.txt"), "old") << k.name;
		EXPECT_EQ(tree("out"), (names{"big.txt"})) << k.name;
	}
}

TEST_F(replace_on_success, damaged_entry_keeps_the_old_file)
{
	for (const archive_kind_struct& k : archive_kinds) {
		fs::remove_all(box.path("src"));
		box.write("src/big.txt", pattern(200000));
		run_in(box, "src", k.pack);
		std::string data = box.read(std::string("big") + k.extension);
		for (size_t i = k.damage_at; i < k.damage_at + 20; ++i) data[i] = char(~data[i]);
		box.write(std::string("bad") + k.extension, data);
		box.write("out/big.txt", "old");

		EXPECT_NE(k.extract(box.path(std::string("bad") + k.extension), box.path("out/")), 0) << k.name;
		EXPECT_EQ(box.read("out/big.txt"), "old") << k.name;
		EXPECT_EQ(tree("out"), (names{"big.txt"})) << k.name;
	}
}

using file_signature = archive_test;

TEST_F(file_signature, rfc1321_digests_in_lower_case_hex)
{
	struct {
		const char *content, *md5;
	} cases[] = {
		{"a", "0cc175b9c0f1b6a831c399e269772661"},
		{"abc", "900150983cd24fb0d6963f7d28e17f72"},
		{"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
		{"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
		 "57edf4a22be3c955ac49da2e2107b67a"},
	};
	for (auto& c : cases) {
		box.write("f", c.content);
		std::string sig;
		EXPECT_EQ(calc_file_md5(box.path("f"), sig), 0);
		EXPECT_EQ(sig, c.md5) << c.content;
	}
	box.write("big", pattern(300000));
	std::string sig;
	EXPECT_EQ(calc_file_md5(box.path("big"), sig), 0);
	EXPECT_EQ(sig, shell_output("md5sum " + shell_quote(box.path("big"))).substr(0, 32));
}

TEST_F(file_signature, empty_or_missing_file_has_none)
{
	box.write("empty", "");
	for (const char* rel : {"empty", "missing"}) {
		std::string sig = "NONE";
		EXPECT_EQ(calc_file_md5(box.path(rel), sig), 20006);
		EXPECT_EQ(sig, "NONE");
	}
}
