// The memory report, the address checks and the sizes they print.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cinttypes>
#include <climits>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/UTL_memory.h"
#include "shell/hl_init.h"
#include "support/sandbox.h"

static const size_t page = 4096;

static size_t count_of(const std::string& text, const std::string& part)
{
	size_t n = 0;
	for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
	return n;
}

static std::string line_with(const std::string& text, const std::string& part)
{
	std::istringstream in(text);
	for (std::string line; std::getline(in, line);)
		if (line.find(part) != std::string::npos) return line;
	return "";
}

static std::string row_start(const void* address)
{
	char text[64];
	snprintf(text, sizeof(text), "        0x%08" PRIxPTR " ", reinterpret_cast<uintptr_t>(address));
	return text;
}

// Runs the body with the sandbox as the current folder.
class in_folder_class {
public:
	explicit in_folder_class(const std::string& folder)
	{
		if (!getcwd(before, sizeof(before))) before[0] = 0;
		EXPECT_EQ(chdir(folder.c_str()), 0);
	}
	~in_folder_class() { EXPECT_EQ(chdir(before), 0); }

private:
	char before[PATH_MAX];
};

// The first report of a run replaces the file, so every report of this program is made in this one test.
TEST(memory_report, two_reports_of_a_run_give_one_file_with_both)
{
	sandbox_class box;
	in_folder_class here(box.root);
	box.write("MemoryLog.txt", "a report of an earlier run\n");
	box.write("mapped.bin", std::string(2 * page, 'x'));
	int fd = open(box.path("mapped.bin").c_str(), O_RDONLY);
	void* file_view = mmap(nullptr, 2 * page, PROT_READ, MAP_PRIVATE, fd, 0);
	close(fd);
	// 3 MiB without access between two accessible MiB, so that the kernel cannot merge it with neighbours.
	char* block = static_cast<char*>(mmap(nullptr, 5 << 20, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
	mprotect(block + (1 << 20), 3 << 20, PROT_NONE);
	xer.open(box.path("Log.txt"));

	dump_mem_stats("the first caller");
	dump_mem_stats("the second caller");

	xer.close();
	munmap(block, 5 << 20);
	munmap(file_view, 2 * page);
	std::string report = box.read("MemoryLog.txt");
	EXPECT_EQ(report.find("earlier run"), std::string::npos);
	EXPECT_EQ(box.read("Log.txt"), "OK check MemoryLog.txt! I just sent him a dump from the first caller\n"
	                               "OK check MemoryLog.txt! I just sent him a dump from the second caller\n");
	const char* sections[] = {"Windows Virtual Memory Info:\n", "    Load:", "    Avail Virtual Memory:",
	                          "    Page faults:", "    Curr Pagefile Usage:",
	                          "    I will now print the contents of virtual memory.\n",
	                          "        ptr        base_ptr     len      prot   state  type\n", "    Total Free",
	                          "    Largest Free", "NED-MALLOC INFO:\n", "    Arena:", "    Releasable Space:"};
	size_t at = 0;
	for (int report_number = 0; report_number < 2; ++report_number)
		for (const char* s : sections) {
			size_t next = report.find(s, at);
			ASSERT_NE(next, std::string::npos) << "report " << report_number << " lacks " << s;
			at = next;
		}
	EXPECT_EQ(count_of(report, "Windows Virtual Memory Info:\n"), 2u);

	std::string file_row = line_with(report, row_start(file_view));
	EXPECT_NE(file_row.find("     8K    (r--  commit  mapped) " + box.path("mapped.bin")), std::string::npos)
		<< file_row;
	std::string reserve_row = line_with(report, row_start(block + (1 << 20)));
	EXPECT_NE(reserve_row.find("     3M    (--- reserve private)"), std::string::npos) << reserve_row;
	std::string program_row = line_with(report, "/tests/test_runtime");
	EXPECT_NE(program_row.find("  image) "), std::string::npos) << program_row;
	EXPECT_NE(report.find("    free unknown) \n"), std::string::npos);
}

TEST(memory_report, sizes_switch_units_above_one_and_four_tenths)
{
	struct {
		uint64_t bytes;
		const char* text;
	} cases[] = {{0, "0B"}, {1433, "1433B"}, {1434, "1K"}, {1468006, "1433K"}, {1468007, "1M"}, {uint64_t(5) << 30, "5120M"}};
	for (const auto& c : cases) EXPECT_EQ(mem_size_str(c.bytes), c.text) << c.bytes;
}

TEST(memory_valid, answers_from_the_address_space)
{
	// Three pages: writable, read-only, writable; then a page that is not mapped at all.
	char* pages = static_cast<char*>(mmap(nullptr, 4 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
	mprotect(pages + page, page, PROT_READ);
	munmap(pages + 3 * page, page);
	static const char literal[] = "constant";
	int local = 0;
	struct {
		const char* what;
		const void* address;
		size_t length;
		int read, write, expected;
	} cases[] = {
		{"a local variable", &local, sizeof(local), 1, 1, 1},
		{"a constant, read", literal, sizeof(literal), 1, 0, 1},
		{"a constant, written", literal, sizeof(literal), 1, 1, 0},
		{"the null page", nullptr, 1, 1, 0, 0},
		{"across three mappings, read", pages, 3 * page, 1, 0, 1},
		{"across three mappings, written", pages, 3 * page, 1, 1, 0},
		{"into an unmapped page", pages + 3 * page - 8, 16, 1, 0, 0},
		{"an empty range at a mapped byte", pages, 0, 1, 1, 1},
		{"a range wrapping around", pages, SIZE_MAX, 1, 0, 0},
	};
	for (const auto& c : cases) EXPECT_EQ(UTL_valid_memory(c.address, c.length, c.read, c.write), c.expected) << c.what;
	munmap(pages, 3 * page);
}
