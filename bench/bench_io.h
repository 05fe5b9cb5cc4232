#pragma once
// Shared parts of the file benchmarks: a scratch folder, generated file contents, timing.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

// A folder under $TMPDIR (or /tmp) that is removed with the object.
class bench_dir_class {
public:
	bench_dir_class()
	{
		const char* tmp = getenv("TMPDIR");
		std::string templ = std::string(tmp && *tmp ? tmp : "/tmp") + "/velmora-bench-XXXXXX";
		if (!mkdtemp(templ.data())) {
			perror("mkdtemp");
			exit(1);
		}
		root = templ + "/";
	}
	~bench_dir_class() { std::filesystem::remove_all(root); }
	std::string root;
};

// Text-like bytes (words from a small vocabulary), which deflate to about a third.
inline void write_text_file(const std::string& path, uint64_t size, uint32_t seed)
{
	static const char* words[] = {"runway ", "heading ", "altitude ", "scenery ", "tile ", "mesh ", "object ",
	                              "texture ", "airport ", "taxiway ", "beacon ", "approach ", "0", "1", "7", "\n"};
	std::ofstream out(path, std::ios::binary);
	std::string block;
	uint32_t x = seed * 2654435761u + 1;
	for (uint64_t written = 0; written < size; written += block.size()) {
		block.clear();
		while (block.size() < (1 << 16)) {
			x = x * 1664525u + 1013904223u;
			block += words[x >> 28];
		}
		if (block.size() > size - written) block.resize(size - written);
		out.write(block.data(), (std::streamsize)block.size());
	}
}

inline int sh(const std::string& command)
{
	int rc = system(command.c_str());
	if (rc != 0) fprintf(stderr, "command failed (%d): %s\n", rc, command.c_str());
	return rc;
}

struct timing_struct {
	double wall = 1e30; // fastest elapsed seconds
	double cpu = 1e30;  // fewest processor seconds (this process and the tools it ran), robust on a busy machine
};

static inline double cpu_seconds_so_far()
{
	double total = 0;
	for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
		rusage ru{};
		getrusage(who, &ru);
		total += ru.ru_utime.tv_sec + ru.ru_stime.tv_sec + (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
	}
	return total;
}

// Times `ours` and `theirs` alternately, `runs` times each; `prepare` runs untimed before each.
inline void time_both(int runs, timing_struct& ours_t, const std::function<void()>& ours, timing_struct& theirs_t,
                      const std::function<void()>& theirs, const std::function<void()>& prepare = [] {})
{
	for (int i = 0; i < 2 * runs; ++i) {
		timing_struct& t = i % 2 ? theirs_t : ours_t;
		prepare();
		double c0 = cpu_seconds_so_far();
		auto t0 = std::chrono::steady_clock::now();
		(i % 2 ? theirs : ours)();
		t.wall = std::min(t.wall, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
		t.cpu = std::min(t.cpu, cpu_seconds_so_far() - c0);
	}
}

// Prints throughputs and the ratio ours / theirs by elapsed and by processor time.
inline void report(const char* ours_name, const timing_struct& ours, const char* theirs_name,
                   const timing_struct& theirs, double mb)
{
	printf("%-28s %6.0f MB/s elapsed, %6.0f MB/s of processor time\n", ours_name, mb / ours.wall, mb / ours.cpu);
	printf("%-28s %6.0f MB/s elapsed, %6.0f MB/s of processor time\n", theirs_name, mb / theirs.wall, mb / theirs.cpu);
	printf("ratio: %.3f elapsed, %.3f processor time\n\n", theirs.wall / ours.wall, theirs.cpu / ours.cpu);
}

// Peak resident memory, in MB, of a child process that runs `work`.
inline double child_peak_mb(const std::function<int()>& work)
{
	int fds[2];
	if (pipe(fds) != 0) return -1;
	pid_t pid = fork();
	if (pid == 0) {
		int rc = work();
		rusage ru{};
		getrusage(RUSAGE_SELF, &ru);
		double mb = rc == 0 ? ru.ru_maxrss / 1024.0 : -1;
		_exit(write(fds[1], &mb, sizeof mb) == sizeof mb ? 0 : 1);
	}
	close(fds[1]);
	double mb = -1;
	if (read(fds[0], &mb, sizeof mb) != sizeof mb) mb = -1;
	close(fds[0]);
	waitpid(pid, nullptr, 0);
	return mb;
}
