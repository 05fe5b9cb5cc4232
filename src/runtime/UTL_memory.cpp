#include "runtime/UTL_memory.h"

#include <malloc.h>
#include <sys/resource.h>
#include <sys/sysinfo.h>

#include <algorithm>
#include <bit>
#include <cinttypes>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <new>
#include <set>
#include <vector>

#include "shell/hl_init.h"

namespace {

// One mapping of the address space as /proc/self/maps lists it.
struct region_struct {
	uintptr_t start = 0, end = 0;
	char prot[5] = "";  // "r-xp": read, write, execute, private or shared
	std::string name;   // the mapped file, a kernel label such as "[heap]", or empty for anonymous memory
};

std::vector<region_struct> read_regions()
{
	std::vector<region_struct> regions;
	FILE* maps = fopen("/proc/self/maps", "r");
	if (!maps) return regions;
	char line[PATH_MAX + 128];
	while (fgets(line, sizeof(line), maps)) {
		region_struct r;
		int name_at = 0;
		if (sscanf(line, "%" SCNxPTR "-%" SCNxPTR " %4s %*s %*s %*s %n", &r.start, &r.end, r.prot, &name_at) < 3)
			continue;
		r.name = line + name_at;
		while (!r.name.empty() && r.name.back() == '\n') r.name.pop_back();
		regions.push_back(r);
	}
	fclose(maps);
	return regions;
}

// Fields of /proc/self/status given in kB, in bytes; empty when the file cannot be read.
std::map<std::string, uint64_t> read_status()
{
	std::map<std::string, uint64_t> fields;
	FILE* status = fopen("/proc/self/status", "r");
	if (!status) return fields;
	char line[256], name[64];
	uint64_t kb = 0;
	while (fgets(line, sizeof(line), status))
		if (sscanf(line, "%63[^:]: %" SCNu64 " kB", name, &kb) == 2) fields[name] = kb * 1024;
	fclose(status);
	return fields;
}

// Above 1.4 MiB in MiB, above 1.4 KiB in KiB, else in bytes.
uint64_t size_in_units(uint64_t bytes, char& unit)
{
	if (bytes > 1.4 * 1024 * 1024) {
		unit = 'M';
		return bytes >> 20;
	}
	if (bytes > 1.4 * 1024) {
		unit = 'K';
		return bytes >> 10;
	}
	unit = 'B';
	return bytes;
}

std::string number_str(uint64_t n) { return std::to_string(n); }

void figure(FILE* out, const char* label, const std::string& value, const char* meaning)
{
	fprintf(out, "    %-27s %10s   %s\n", label, value.c_str(), meaning);
}

// The end of the user address space: the address-space limit when one is set, else the power of two
// above the highest user mapping (the kernel's own [vsyscall] page lies beyond it).
uint64_t address_space_size(const std::vector<region_struct>& regions)
{
	rlimit limit;
	if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) return limit.rlim_cur;
	uint64_t top = 0;
	for (const region_struct& r : regions)
		if (r.start < (uint64_t(1) << 63)) top = std::max<uint64_t>(top, r.end);
	return std::bit_ceil(top);
}

uint64_t mapped_size(const std::vector<region_struct>& regions, uint64_t below)
{
	uint64_t total = 0;
	for (const region_struct& r : regions)
		if (r.end <= below) total += r.end - r.start;
	return total;
}

void system_section(FILE* out, const std::vector<region_struct>& regions)
{
	fprintf(out, "Windows Virtual Memory Info:\n");
	struct sysinfo sys = {};
	sysinfo(&sys);
	uint64_t unit = sys.mem_unit ? sys.mem_unit : 1;
	uint64_t total = sys.totalram * unit, avail = (sys.freeram + sys.bufferram) * unit;
	uint64_t space = address_space_size(regions);
	figure(out, "Load:", number_str(total ? (total - avail) * 100 / total : 0) + "%",
	       "Share of the physical memory in use by all programs.");
	figure(out, "Total Physical Memory:", mem_size_str(total), "Physical memory of the machine.");
	figure(out, "Avail Physical Memory:", mem_size_str(avail), "Physical memory free or holding only buffers.");
	figure(out, "Total Pagefile Memory:", mem_size_str(sys.totalswap * unit), "Swap space of the system.");
	figure(out, "Avail Pagefile Memory:", mem_size_str(sys.freeswap * unit), "Swap space not in use.");
	figure(out, "Total Virtual Memory:", mem_size_str(space), "Address space this process can use.");
	figure(out, "Avail Virtual Memory:", mem_size_str(space - mapped_size(regions, space)),
	       "Part of that address space with nothing mapped in it.");
	fprintf(out, space > (uint64_t(2) << 30) ? "    This process has more than 2 GB of address space.\n"
	                                          : "    This process has at most 2 GB of address space.\n");
}

void process_section(FILE* out)
{
	std::map<std::string, uint64_t> status = read_status();
	if (status.empty()) {
		fprintf(out, "    This operating system is too old to list per-process information.\n");
		return;
	}
	rusage usage = {};
	getrusage(RUSAGE_SELF, &usage);
	figure(out, "Page faults:", number_str(usage.ru_minflt + usage.ru_majflt),
	       "Pages this process had to have mapped in, from memory or from disk.");
	figure(out, "Peak working set size:", mem_size_str(status["VmHWM"]), "Most memory this process has had in RAM.");
	figure(out, "Curr working set size:", mem_size_str(status["VmRSS"]), "Memory this process has in RAM now.");
	figure(out, "Peak Paged-Pool Usage:", mem_size_str(status["VmPTE"]),
	       "Kernel page tables of this process; the system keeps no peak, so this is the current size.");
	figure(out, "Curr Paged-Pool Usage:", mem_size_str(status["VmPTE"]), "Kernel page tables of this process.");
	figure(out, "Peak Non-Paged-Pool Usage:", mem_size_str(status["VmLck"]),
	       "Memory locked in RAM; the system keeps no peak, so this is the current size.");
	figure(out, "Curr Non-Paged-Pool Usage:", mem_size_str(status["VmLck"]), "Memory locked in RAM.");
	figure(out, "Peak Pagefile Usage:", mem_size_str(status["VmPeak"]), "Largest virtual size this process has had.");
	figure(out, "Curr Pagefile Usage:", mem_size_str(status["VmSize"]), "Virtual size of this process now.");
}

bool is_private(const std::string& name)
{
	return name.empty() || name == "[heap]" || name.starts_with("[stack") || name.starts_with("[anon");
}

// A file or kernel object with code mapped from it is a loaded image; other named mappings are data.
const char* region_type(const region_struct& r, const std::set<std::string>& with_code)
{
	if (is_private(r.name)) return "private";
	return with_code.count(r.name) ? "image" : "mapped";
}

struct totals_struct {
	uint64_t free = 0, committed = 0, reserved = 0, images = 0, mapped = 0, priv = 0, largest_free = 0;
};

void region_row(FILE* out, uintptr_t start, uintptr_t base, uint64_t size, const char* prot, const char* state,
                const char* type, const std::string& name)
{
	char unit = 0;
	long long len = static_cast<long long>(size_in_units(size, unit));
	fprintf(out, "        0x%08" PRIxPTR " 0x%08" PRIxPTR " % 5lld%c    (%3s %7s %7s) %s\n", start, base, len,
	        unit, prot, state, type, name.c_str());
}

void free_row(FILE* out, uintptr_t start, uintptr_t end, totals_struct& totals)
{
	region_row(out, start, 0, end - start, "---", "free", "unknown", "");
	totals.free += end - start;
	totals.largest_free = std::max<uint64_t>(totals.largest_free, end - start);
}

// Every mapping, and the free gaps between them up to the end of the user address space. A mapping
// without access rights only reserves its addresses; the base of a file's mappings is its lowest one.
void address_space_section(FILE* out, const std::vector<region_struct>& regions)
{
	fprintf(out, "    I will now print the contents of virtual memory.\n");
	fprintf(out, "        ptr        base_ptr     len      prot   state  type\n");
	std::set<std::string> with_code;
	std::map<std::string, uintptr_t> file_base;
	for (const region_struct& r : regions) {
		if (r.prot[2] == 'x' && !is_private(r.name)) with_code.insert(r.name);
		if (!is_private(r.name)) file_base.emplace(r.name, r.start);
	}
	uint64_t space = address_space_size(regions);
	totals_struct totals;
	uintptr_t cursor = 0;
	for (const region_struct& r : regions) {
		if (r.start > cursor && cursor < space) free_row(out, cursor, std::min<uint64_t>(r.start, space), totals);
		bool reserved = r.prot[0] == '-' && r.prot[1] == '-' && r.prot[2] == '-';
		const char* type = region_type(r, with_code);
		uint64_t size = r.end - r.start;
		region_row(out, r.start, is_private(r.name) ? r.start : file_base[r.name], size,
		           std::string(r.prot, 3).c_str(), reserved ? "reserve" : "commit", type, r.name);
		(reserved ? totals.reserved : totals.committed) += size;
		(type[0] == 'i' ? totals.images : type[0] == 'm' ? totals.mapped : totals.priv) += size;
		cursor = std::max<uintptr_t>(cursor, r.end);
	}
	if (cursor < space) free_row(out, cursor, space, totals);
	figure(out, "Total Free", mem_size_str(totals.free), "Addresses with nothing mapped.");
	figure(out, "Total Commited", mem_size_str(totals.committed), "Mapped memory that may be used.");
	figure(out, "Total Reserved", mem_size_str(totals.reserved), "Addresses held without access, such as guard areas.");
	figure(out, "Total Images", mem_size_str(totals.images), "The program and its libraries.");
	figure(out, "Total Mapped", mem_size_str(totals.mapped), "Other files and devices mapped into memory.");
	figure(out, "Total Private", mem_size_str(totals.priv), "Heap, stacks and other anonymous memory.");
	figure(out, "Largest Free", mem_size_str(totals.largest_free), "The largest run of free addresses.");
}

void allocator_section(FILE* out)
{
	struct mallinfo2 info = mallinfo2();
	fprintf(out, "NED-MALLOC INFO:\n");
	figure(out, "Arena:", mem_size_str(info.arena), "Memory the allocator took from the system for its heaps.");
	figure(out, "Free Chunks:", number_str(info.ordblks), "Free blocks waiting to be reused.");
	figure(out, "Mapped Space:", mem_size_str(info.hblkhd), "Large blocks mapped from the system one by one.");
	figure(out, "Max Alloc Space:", mem_size_str(info.usmblks), "Highest total ever allocated; glibc leaves it at 0.");
	figure(out, "Total Alloc Space:", mem_size_str(info.uordblks), "Memory in blocks in use in the heaps.");
	figure(out, "Total Free Space:", mem_size_str(info.fordblks), "Memory in free blocks in the heaps.");
	figure(out, "Total Used Space:", mem_size_str(info.uordblks + info.hblkhd),
	       "Memory in blocks in use, mapped ones included.");
	figure(out, "Releasable Space:", mem_size_str(info.keepcost), "Free memory at the top of the heap that could be returned.");
}

} // namespace

std::string mem_size_str(uint64_t bytes)
{
	char unit = 0;
	uint64_t n = size_in_units(bytes, unit);
	return std::to_string(n) + unit;
}

int UTL_valid_memory(const void* address, size_t length, int read, int write)
{
	uintptr_t at = reinterpret_cast<uintptr_t>(address), end = at + std::max<size_t>(length, 1);
	if (end < at) return 0;
	for (const region_struct& r : read_regions()) {
		if (r.end <= at) continue;
		if (r.start > at || (read && r.prot[0] != 'r') || (write && r.prot[1] != 'w')) return 0;
		at = r.end;
		if (at >= end) return 1;
	}
	return 0;
}

void dump_mem_stats(const std::string& message)
{
	xer << "OK check MemoryLog.txt! I just sent him a dump from " << message << "\n";
	static bool replaced = false;
	FILE* file = fopen("MemoryLog.txt", replaced ? "a" : "w");
	if (file) replaced = true;
	FILE* out = file ? file : stdout;
	std::vector<region_struct> regions = read_regions();
	system_section(out, regions);
	process_section(out);
	address_space_section(out, regions);
	allocator_section(out);
	fprintf(out, "\n");
	if (file)
		fclose(file);
	else
		fflush(stdout);
}

// The allocation operators of the whole program, over the C library's allocator.
void* operator new(std::size_t size)
{
	for (;;) {
		if (void* block = std::malloc(size ? size : 1)) return block;
		std::new_handler handler = std::get_new_handler();
		if (!handler) throw std::bad_alloc();
		handler();
	}
}

void* operator new[](std::size_t size) { return ::operator new(size); }

// Kept out of line: inlined into this file's own containers, the compiler would take the free() for a
// mismatch with their new.
[[gnu::noinline]] void operator delete(void* block) noexcept { std::free(block); }

void operator delete[](void* block) noexcept { ::operator delete(block); }

void operator delete(void* block, std::size_t) noexcept { ::operator delete(block); }

void operator delete[](void* block, std::size_t) noexcept { ::operator delete(block); }
