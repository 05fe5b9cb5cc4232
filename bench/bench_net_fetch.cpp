// Throughput of the download slots: 500 files of 1 MB from a local nginx, four at a time in slots 2
// to 5 (as the install engine runs its streams), against curl fetching the same URLs with
// --parallel --parallel-max 4. Usage: bench_net_fetch [files] [rounds]
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "net/http.h"
#include "runtime/xtim.h"
#include "support/nginx_fixture.h"
#include "support/sandbox.h"

namespace fs = std::filesystem;

static const size_t file_size = 1000000;
static const int streams = 4;

static double seconds_since(std::chrono::steady_clock::time_point start)
{
	return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

static std::string file_name(int i)
{
	char name[32];
	snprintf(name, sizeof name, "f%03d.bin", i);
	return name;
}

// Every file arrived whole.
static bool all_arrived(const std::string& folder, int files)
{
	for (int i = 0; i < files; ++i) {
		struct stat st;
		if (stat((folder + file_name(i)).c_str(), &st) != 0 || static_cast<size_t>(st.st_size) != file_size) return false;
	}
	return true;
}

// Runs the slots flat out, one net_check per busy slot per frame, until every file is in.
static double fetch_with_slots(const nginx_fixture& web, const std::string& out, int files, int& failures)
{
	int file_of[streams];
	int next = 0, done = 0;
	for (int& f : file_of) f = next < files ? next++ : -1;
	auto start = std::chrono::steady_clock::now();
	while (done < files) {
		xtim.real_time = static_cast<float>(seconds_since(start));
		for (int k = 0; k < streams; ++k) {
			if (file_of[k] < 0) continue;
			std::string name = file_name(file_of[k]);
			int r = http.net_check(k + 2, web.server(), "/" + name, out + name);
			if (r == 2) ++failures; // the same file again on the next frame
			if (r != 1) continue;
			++done;
			file_of[k] = next < files ? next++ : -1;
		}
	}
	return seconds_since(start);
}

static double fetch_with_curl(const nginx_fixture& web, const std::string& out, const std::string& config, int files)
{
	std::ofstream cfg(config);
	for (int i = 0; i < files; ++i)
		cfg << "url = \"http://" << web.server() << "/" << file_name(i) << "\"\noutput = \"" << out << file_name(i) << "\"\n";
	cfg.close();
	auto start = std::chrono::steady_clock::now();
	int rc = run_shell("curl -s --no-progress-meter --fail --parallel --parallel-max " + std::to_string(streams) + " -K " + shell_quote(config) + " 2>/dev/null");
	double took = seconds_since(start);
	if (rc != 0) fprintf(stderr, "curl ended with %d\n", rc);
	return took;
}

int main(int argc, char** argv)
{
	int files = argc > 1 ? atoi(argv[1]) : 500;
	int rounds = argc > 2 ? atoi(argv[2]) : 1;
	sandbox_class sb;
	nginx_fixture web;
	std::string block = test_bytes(file_size, 1);
	for (int i = 0; i < files; ++i) {
		snprintf(block.data(), 16, "%015d", i); // every file its own
		web.put(file_name(i), block);
	}
	double mb = files * file_size / 1e6;
	printf("%d files of %zu bytes from nginx on loopback, %d at a time\n", files, file_size, streams);
	for (int round = 1; round <= rounds; ++round) {
		std::string slots_out = sb.path("slots/"), curl_out = sb.path("curl/");
		for (const std::string& out : {slots_out, curl_out}) {
			fs::remove_all(out);
			fs::create_directories(out);
		}
		int failures = 0;
		double slots = fetch_with_slots(web, slots_out, files, failures);
		double curl = fetch_with_curl(web, curl_out, sb.path("curl.cfg"), files);
		printf("round %d  slots %7.3f s %8.1f MB/s (%d failures%s)  curl %7.3f s %8.1f MB/s%s  slots/curl %.2f\n", round,
		       slots, mb / slots, failures, all_arrived(slots_out, files) ? "" : ", FILES MISSING", curl, mb / curl,
		       all_arrived(curl_out, files) ? "" : " (FILES MISSING)", curl / slots);
	}
	return 0;
}
