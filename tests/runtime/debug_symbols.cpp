// Symbol lookup and stack listings of the running test program, read from its own debug data.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cinttypes>
#include <cstring>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "runtime/UTL_Debug.h"
#include "support/sandbox.h"

[[gnu::noinline]] static int probe_target(int x) { return x * 3 + 1; }
static const int probe_line = __LINE__ - 1;

static int inner_line, middle_line;

// Keeps a call from becoming a jump, so that its caller stays on the stack.
static void keep_frame() { asm volatile("" ::: "memory"); }

[[gnu::noinline]] static void dump_inner(FILE* f) { inner_line = __LINE__; UTL_dump_stack(f, nullptr, nullptr); keep_frame(); }
[[gnu::noinline]] static void dump_middle(FILE* f) { middle_line = __LINE__; dump_inner(f); keep_frame(); }

[[gnu::noinline]] static void dump_deep(FILE* f, int depth)
{
	if (depth > 0)
		dump_deep(f, depth - 1);
	else
		UTL_dump_stack(f, nullptr, nullptr);
	keep_frame();
}

static std::vector<std::string> lines_of(const std::string& text)
{
	std::vector<std::string> lines;
	std::istringstream in(text);
	for (std::string line; std::getline(in, line);) lines.push_back(line);
	return lines;
}

// Everything one call writes to a file.
template <typename F> static std::string written_by(F write_to)
{
	FILE* f = tmpfile();
	write_to(f);
	fflush(f);
	rewind(f);
	std::string text;
	char buf[4096];
	for (size_t n; (n = fread(buf, 1, sizeof(buf), f)) > 0;) text.append(buf, n);
	fclose(f);
	return text;
}

static std::string hex_address(uintptr_t a)
{
	char text[32];
	snprintf(text, sizeof(text), "0x%08" PRIxPTR, a);
	return text;
}

static const char* last_component(const char* path) { return strrchr(path, '/') ? strrchr(path, '/') + 1 : path; }

// A page that belongs to no module.
class anonymous_page_class {
public:
	anonymous_page_class() { page = mmap(nullptr, 4096, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0); }
	~anonymous_page_class() { munmap(page, 4096); }
	void* page;
};

TEST(debug_symbol, names_function_source_line_and_module_of_our_code)
{
	symbol_info info;
	UTL_get_debug_symbol(reinterpret_cast<void*>(&probe_target), &info);
	EXPECT_STREQ(info.function_name, "probe_target(int)");
	EXPECT_EQ(info.function_address, reinterpret_cast<uintptr_t>(&probe_target));
	EXPECT_STREQ(last_component(info.file_name), "debug_symbols.cpp");
	EXPECT_EQ(info.line_number, probe_line);
	EXPECT_STREQ(last_component(info.module_name), "test_runtime");
	EXPECT_EQ(info.module_name[0], '/');
	EXPECT_LT(info.module_address, info.function_address);
}

TEST(debug_symbol, system_library_has_function_and_module_but_no_source)
{
	symbol_info info;
	UTL_get_debug_symbol(reinterpret_cast<void*>(&getpid), &info);
	EXPECT_NE(strstr(info.module_name, "/libc.so"), nullptr) << info.module_name;
	EXPECT_NE(info.function_name[0], 0);
	EXPECT_EQ(info.file_name[0], 0);
	EXPECT_EQ(info.line_number, -1);
}

TEST(debug_symbol, address_outside_every_module_leaves_the_record_empty)
{
	anonymous_page_class anon;
	symbol_info info;
	UTL_get_debug_symbol(anon.page, &info);
	EXPECT_EQ(info.module_name[0], 0);
	EXPECT_EQ(info.module_address, 0u);
	EXPECT_EQ(info.function_name[0], 0);
	EXPECT_EQ(info.file_name[0], 0);
	EXPECT_EQ(info.line_number, -1);
}

TEST(debug_symbol, print_symbol_formats_what_is_known)
{
	anonymous_page_class anon;
	symbol_info probe;
	UTL_get_debug_symbol(reinterpret_cast<void*>(&probe_target), &probe);
	uintptr_t at = probe.function_address;
	std::string ours = " (debug_symbols.cpp:" + std::to_string(probe_line) + ") (test_runtime + ";
	struct {
		uintptr_t address;
		std::string expected;
	} cases[] = {
		{at, "probe_target(int) + 0" + ours + std::to_string(at - probe.module_address) + ")\n"},
		{at + 2, "probe_target(int) + 2" + ours + std::to_string(at + 2 - probe.module_address) + ")\n"},
		{reinterpret_cast<uintptr_t>(anon.page), hex_address(reinterpret_cast<uintptr_t>(anon.page)) + " (\?\?\?)\n"},
		{0x1234, "0x00001234 (\?\?\?)\n"},
	};
	for (const auto& c : cases)
		EXPECT_EQ(written_by([&](FILE* f) { print_symbol(f, reinterpret_cast<void*>(c.address)); }), c.expected);

	std::string libc = written_by([](FILE* f) { print_symbol(f, reinterpret_cast<void*>(&getpid)); });
	EXPECT_NE(libc.find(" (libc.so.6 + "), std::string::npos) << libc;
	EXPECT_EQ(libc.find(':'), std::string::npos) << libc;
}

TEST(debug_stack, lists_the_callers_with_their_call_lines)
{
	std::vector<std::string> lines = lines_of(written_by(dump_middle));
	ASSERT_GE(lines.size(), 3u);
	EXPECT_EQ(lines[0].rfind("  0) dump_inner(_IO_FILE*) + ", 0), 0u) << lines[0];
	EXPECT_NE(lines[0].find("(debug_symbols.cpp:" + std::to_string(inner_line) + ") (test_runtime + "),
	          std::string::npos) << lines[0];
	EXPECT_EQ(lines[1].rfind("  1) dump_middle(_IO_FILE*) + ", 0), 0u) << lines[1];
	EXPECT_NE(lines[1].find("(debug_symbols.cpp:" + std::to_string(middle_line) + ")"), std::string::npos)
		<< lines[1];
	EXPECT_NE(lines[2].find("written_by"), std::string::npos) << lines[2];
}

TEST(debug_stack, given_address_comes_first)
{
	std::vector<std::string> lines = lines_of(written_by([](FILE* f) {
		UTL_dump_stack(f, nullptr, reinterpret_cast<void*>(&probe_target));
	}));
	ASSERT_GE(lines.size(), 2u);
	EXPECT_EQ(lines[0].rfind("  0) probe_target(int) + 0 (debug_symbols.cpp:", 0), 0u) << lines[0];
	EXPECT_EQ(lines[1].rfind("  1) ", 0), 0u) << lines[1];
}

TEST(debug_stack, stops_after_entry_99)
{
	std::vector<std::string> lines = lines_of(written_by([](FILE* f) { dump_deep(f, 150); }));
	ASSERT_EQ(lines.size(), 100u);
	EXPECT_EQ(lines[99].rfind("  99) dump_deep(_IO_FILE*, int) + ", 0), 0u) << lines[99];
}

TEST(debug_stack, lists_the_stack_of_another_thread)
{
	std::string text;
	std::thread worker([&] { text = written_by(dump_middle); });
	worker.join();
	std::vector<std::string> lines = lines_of(text);
	ASSERT_GE(lines.size(), 2u);
	EXPECT_EQ(lines[0].rfind("  0) dump_inner(_IO_FILE*) + ", 0), 0u) << lines[0];
	EXPECT_EQ(lines[1].rfind("  1) dump_middle(_IO_FILE*) + ", 0), 0u) << lines[1];
}

TEST(debug_stack, crawl_is_appended_after_what_the_file_holds)
{
	sandbox_class box;
	box.write("stack_crawl.txt", "an earlier crawl\n");
	FILE* f = fopen(box.path("stack_crawl.txt").c_str(), "a");
	ASSERT_NE(f, nullptr);
	fputs("still buffered\n", f);
	dump_middle(f);
	fclose(f);
	std::vector<std::string> lines = lines_of(box.read("stack_crawl.txt"));
	ASSERT_GE(lines.size(), 4u);
	EXPECT_EQ(lines[0], "an earlier crawl");
	EXPECT_EQ(lines[1], "still buffered");
	EXPECT_EQ(lines[2].rfind("  0) dump_inner(", 0), 0u) << lines[2];
}
