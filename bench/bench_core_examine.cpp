// Examining a destination of 20,000 warm files of about 2 GB in all against their directory file,
// next to md5sum over the same files. Usage: bench_core_examine [files] [average kilobytes]
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>
#include <string>
#include <vector>

#include "installer/choose.h"
#include "installer/directory.h"
#include "installer/stg.h"
#include "io/md5.h"

namespace fs = std::filesystem;

static double cpu_seconds()
{
	rusage ru;
	getrusage(RUSAGE_SELF, &ru);
	return ru.ru_utime.tv_sec + ru.ru_stime.tv_sec + (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

static double seconds_since(std::chrono::steady_clock::time_point t0)
{
	return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

int main(int argc, char** argv)
{
	const int count = argc > 1 ? atoi(argv[1]) : 20000;
	const int avg_kb = argc > 2 ? atoi(argv[2]) : 100;
	std::string root = (fs::temp_directory_path() / "bench-examine-XXXXXX").string();
	if (!mkdtemp(root.data())) return 1;
	root += "/";
	dest_dir_path = root + "Velmora 9/";
	stg.download_os = 2;

	// Files of 0.2 to 1.8 times the average size, in folders of 200, and the directory file listing
	// them with a wrong signature every 7th file (as after an update).
	std::mt19937 rng(1);
	std::vector<char> noise(size_t(avg_kb) * 2000 + 4096);
	for (char& c : noise) c = char(rng());
	std::uniform_int_distribution<int> size_of(avg_kb * 200, avg_kb * 1800);
	std::string text = "I\n900 version\nINSTALLER\n\n";
	std::vector<std::string> paths;
	uint64_t bytes = 0;
	for (int i = 0; i < count; ++i) {
		if (i % 200 == 0) {
			fs::create_directories(dest_dir_path + "Scenery/" + std::to_string(i / 200));
			text += "DIR Velmora 9/Scenery/" + std::to_string(i / 200) + "/\n";
		}
		std::string name = "file " + std::to_string(i) + ".dat";
		std::string path = dest_dir_path + "Scenery/" + std::to_string(i / 200) + "/" + name;
		int size = size_of(rng);
		std::ofstream(path, std::ios::binary).write(noise.data() + i % 4096, size);
		bytes += size;
		std::string sig = "00000000000000000000000000000000";
		if (i % 7) calc_file_md5(path, sig);
		text += "FILE 0 0 900 " + std::to_string(size / 1000) + " " + std::to_string(size / 1000) + " " + sig + " " + name + "\n";
		paths.push_back(path);
	}
	std::string list = root + "list";
	{
		std::ofstream out(list, std::ios::binary);
		for (const std::string& p : paths) out << p << '\0';
	}
	std::ofstream(root + "directory.txt", std::ios::binary) << text;
	printf("%d files, %.2f GB, %u processors\n", count, bytes / 1e9, std::thread::hardware_concurrency());

	std::string md5sum = "xargs -0 md5sum < '" + list + "' > /dev/null";
	if (system(md5sum.c_str()) != 0) return 1; // warms the cache
	double best_md5sum = 1e9, best_examine = 1e9, best_serial = 1e9, examine_cpu = 0;
	for (int run = 0; run < 3; ++run) {
		auto t0 = std::chrono::steady_clock::now();
		if (system(md5sum.c_str()) != 0) return 1;
		best_md5sum = std::min(best_md5sum, seconds_since(t0));

		t0 = std::chrono::steady_clock::now();
		double cpu0 = cpu_seconds();
		read_directory(root + "directory.txt", "Scanning");
		if (seconds_since(t0) < best_examine) {
			best_examine = seconds_since(t0);
			examine_cpu = cpu_seconds() - cpu0;
		}

		t0 = std::chrono::steady_clock::now();
		for (const std::string& p : paths) {
			std::string sig = "NONE";
			calc_file_md5(p, sig);
		}
		best_serial = std::min(best_serial, seconds_since(t0));
	}
	int wrong = 0;
	for (const file_history_struct& h : sim_info.files) wrong += !h.versions.back().on_disk;
	printf("files found outdated: %d (expected %d)\n", wrong, (count + 6) / 7);
	printf("md5sum:                      %6.2f s  %7.1f MB/s\n", best_md5sum, bytes / 1e6 / best_md5sum);
	printf("calc_file_md5 one by one:    %6.2f s  %7.1f MB/s\n", best_serial, bytes / 1e6 / best_serial);
	printf("read_directory (examining):  %6.2f s  %7.1f MB/s  = %.2f x md5sum, %.2f processors busy\n", best_examine,
	       bytes / 1e6 / best_examine, best_md5sum / best_examine, examine_cpu / best_examine);
	fs::remove_all(root);
	return 0;
}
