// Reading a directory file of 1,000,000 FILE lines: the time, the part of it spent examining the
// (empty) destination, and the peak memory. Usage: bench_core_parse [lines]
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "installer/choose.h"
#include "installer/directory.h"
#include "installer/stg.h"

namespace fs = std::filesystem;

static double seconds_since(std::chrono::steady_clock::time_point t0)
{
	return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

static long peak_rss_kb()
{
	rusage ru;
	getrusage(RUSAGE_SELF, &ru);
	return ru.ru_maxrss;
}

int main(int argc, char** argv)
{
	const int lines = argc > 1 ? atoi(argv[1]) : 1000000;
	std::string root = (fs::temp_directory_path() / "bench-parse-XXXXXX").string();
	if (!mkdtemp(root.data())) return 1;
	root += "/";
	dest_dir_path = root + "Velmora 9/";
	stg.download_os = 2;

	// Folders of 1000 lines; every 4th path has an earlier version on the line before it.
	{
		std::ofstream out(root + "directory.txt", std::ios::binary);
		out << "I\n900 version\nINSTALLER\n\n";
		for (int i = 0; i < lines; ++i) {
			if (i % 1000 == 0) out << "DIR Velmora 9/Global Scenery/Earth nav data/+" << 10 + i / 10000 << "+0" << i / 1000 % 10 << "0/\n";
			int file = i - (i % 4 == 1);
			out << "FILE 0 " << (i % 5 == 0 ? 2 : 0) << " " << (i % 4 == 0 ? 840 : 900) << " 1234 5678 0123456789abcdef0123456789abcdef +"
			    << 40 + file % 1000 / 100 << "+0" << file % 100 << "0.dsf\n";
		}
	}
	uint64_t size = fs::file_size(root + "directory.txt");
	long rss_before = peak_rss_kb();

	auto t0 = std::chrono::steady_clock::now();
	int result = read_directory(root + "directory.txt", "Scanning");
	double total = seconds_since(t0);
	long rss_after = peak_rss_kb();
	double examine = 1e9;
	for (int run = 0; run < 2; ++run) {
		t0 = std::chrono::steady_clock::now();
		examine_files("Scanning");
		examine = std::min(examine, seconds_since(t0));
	}
	t0 = std::chrono::steady_clock::now();
	read_directory(root + "directory.txt", "Scanning");
	total = std::min(total, seconds_since(t0));

	printf("%d FILE lines, %.1f MB, %zu histories, result %d\n", lines, size / 1e6, sim_info.files.size(), result);
	printf("read_directory: %.2f s (reading %.2f s, examining %.2f s)\n", total, total - examine, examine);
	printf("peak memory: %.1f MB (%.1f MB before reading; the mapped file counts while read)\n", rss_after / 1e3,
	       rss_before / 1e3);
	fs::remove_all(root);
	return 0;
}
