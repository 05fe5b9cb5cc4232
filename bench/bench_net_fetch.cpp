// Throughput of downloads: 500 archives of 1 MB from a local nginx, four at a time, against curl
// fetching the same URLs with --parallel --parallel-max 4. Two ways: the download slots on their own
// (slots 2 to 5, one net_check per busy slot per frame), and the install engine (grab_files with four
// streams downloading, while the worker pool unpacks and removes each archive). Unpacking the archives
// alone, on one thread, is timed for scale. Usage: bench_net_fetch [files] [rounds]
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "installer/choose.h"
#include "installer/directory.h"
#include "installer/engine.h"
#include "installer/net_directory.h"
#include "installer/stg.h"
#include "io/zip.h"
#include "mkdisc.h"
#include "net/http.h"
#include "runtime/HL_THREAD.h"
#include "runtime/UTL_cmdline.h"
#include "runtime/xtim.h"
#include "shell/hl_init.h"
#include "support/nginx_fixture.h"
#include "support/sandbox.h"

namespace fs = std::filesystem;

static const size_t file_size = 1000000;
static const int streams = 4;
static const std::string name = "Velmora 9.00";
static const std::string prefix = "/disc/" + name + "/"; // the mirror's path prefix

static double seconds_since(std::chrono::steady_clock::time_point start)
{
	return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

static std::string file_name(int i)
{
	char text[32];
	snprintf(text, sizeof text, "f%03d.bin", i);
	return text;
}

// A file's archive as a request path below the server's root.
static std::string archive_url(int i)
{
	std::string url;
	for (char c : prefix + name + "/" + file_name(i) + ".zip") url += c == ' ' ? std::string("%20") : std::string(1, c);
	return url;
}

// Every file arrived whole.
static bool all_arrived(const std::string& folder, int files, const std::string& suffix, size_t least)
{
	for (int i = 0; i < files; ++i) {
		struct stat st;
		if (stat((folder + file_name(i) + suffix).c_str(), &st) != 0 || static_cast<size_t>(st.st_size) < least) return false;
	}
	return true;
}

// The release of `files` files authored into a disc in the web root, published as the mirror's prefix.
static void make_mirror(const sandbox_class& sb, const nginx_fixture& web, int files)
{
	std::string block = test_bytes(file_size, 1);
	for (int i = 0; i < files; ++i) {
		snprintf(block.data(), 16, "%015d", i); // every file its own
		sb.write("release/" + file_name(i), block);
	}
	mkdisc_options_struct options;
	mkdisc_result_struct result;
	std::string error;
	std::string disc = web.web_root + "disc";
	if (mkdisc_parse_args({"--name", name, "--release", "900=" + sb.path("release"), disc}, options, error) ||
	    mkdisc_author(options, result, error)) {
		fprintf(stderr, "authoring failed: %s\n", error.c_str());
		exit(1);
	}
	fs::remove_all(sb.path("release"));
	fs::copy_file(disc + "/dvd_version.txt", disc + "/" + name + "/dvd_version.txt");
}

// Runs the slots flat out, one net_check per busy slot per frame, until every archive is in.
static double fetch_with_slots(const nginx_fixture& web, const std::string& out, int files, int& failures)
{
	int file_of[streams];
	int next_file = 0, done = 0;
	for (int& f : file_of) f = next_file < files ? next_file++ : -1;
	auto start = std::chrono::steady_clock::now();
	while (done < files) {
		xtim.real_time = static_cast<float>(seconds_since(start));
		for (int k = 0; k < streams; ++k) {
			if (file_of[k] < 0) continue;
			std::string zip = file_name(file_of[k]) + ".zip";
			int r = http.net_check(k + 2, web.server(), prefix + name + "/" + zip, out + zip);
			if (r == 2) ++failures; // the same file again on the next frame
			if (r != 1) continue;
			++done;
			file_of[k] = next_file < files ? next_file++ : -1;
		}
	}
	return seconds_since(start);
}

// The installer's state as start-up leaves it in the network build, with the mirror in the list
// and the directory file fetched from it.
static void prepare_installer(const sandbox_class& sb, const nginx_fixture& web)
{
	cmdline.init_win("--fps_test"); // alerts are logged, not shown
	xer.open(sb.path("Log.txt"));
	THREAD_init();
	THREAD_make_workers(); // the pool unpacks the downloads
	temp_path = sb.path("temp/");
	fs::create_directories(temp_path);
	stg.download_os = 2;
	stg.stream_count = streams;
	stg.num_servers = 1;
	server_name[0] = web.server();
	server_path[0] = prefix;
	while (stg.dir_scan == 0) net_directory_step();
}

// Installs every file with the engine, called flat out, into a new destination.
static double install_with_engine(const std::string& dest)
{
	dest_dir_path = dest;
	xtim.real_time = 0;
	if (read_directory(temp_path + "directory.txt", "Scanning...") != 3) {
		fprintf(stderr, "the directory file could not be read\n");
		exit(1);
	}
	reset_next();
	make_dirs();
	choose_files();
	auto start = std::chrono::steady_clock::now();
	while (grab_files() == 0) xtim.real_time = static_cast<float>(seconds_since(start));
	return seconds_since(start);
}

// Unpacks the archives that curl fetched, as the engine does after each download.
static double unpack_alone(const std::string& archives, const std::string& out, int files)
{
	fs::create_directories(out);
	auto start = std::chrono::steady_clock::now();
	for (int i = 0; i < files; ++i) zip_to_file(archives + file_name(i) + ".zip", out);
	return seconds_since(start);
}

// Each phase starts with the writes of the last one on the disk, so that none pays for another's.
static void settle_disk() { sync(); }

static double fetch_with_curl(const nginx_fixture& web, const std::string& out, const std::string& config, int files)
{
	std::ofstream cfg(config);
	for (int i = 0; i < files; ++i)
		cfg << "url = \"http://" << web.server() << archive_url(i) << "\"\noutput = \"" << out << file_name(i) << ".zip\"\n";
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
	make_mirror(sb, web, files);
	prepare_installer(sb, web);
	double mb = files * file_size / 1e6;
	printf("%d archives of %zu bytes from nginx on loopback, %d at a time\n", files, file_size, streams);
	for (int round = 1; round <= rounds; ++round) {
		std::string slots_out = sb.path("slots/"), curl_out = sb.path("curl/"), dest = sb.path("dest/" + name + "/");
		for (const std::string& out : {slots_out, curl_out, sb.path("dest/")}) {
			fs::remove_all(out);
			fs::create_directories(out);
		}
		int slot_failures = 0;
		settle_disk();
		double slots = fetch_with_slots(web, slots_out, files, slot_failures);
		fs::remove_all(slots_out);
		settle_disk();
		double engine = install_with_engine(dest);
		bool installed = all_arrived(dest, files, "", file_size) && !stg.got_failed_install;
		fs::remove_all(sb.path("dest/"));
		settle_disk();
		double curl = fetch_with_curl(web, curl_out, sb.path("curl.cfg"), files);
		bool curl_whole = all_arrived(curl_out, files, ".zip", file_size);
		settle_disk();
		double unpack = unpack_alone(curl_out, sb.path("unpacked/"), files);
		fs::remove_all(curl_out);
		fs::remove_all(sb.path("unpacked/"));
		printf("round %d  curl %7.3f s %7.1f MB/s%s\n", round, curl, mb / curl, curl_whole ? "" : " (FILES MISSING)");
		printf("         slots  %7.3f s %7.1f MB/s (%d failures)  slots/curl %.2f\n", slots, mb / slots, slot_failures,
		       curl / slots);
		printf("         engine %7.3f s %7.1f MB/s (unpacked and removed too%s)  engine/curl %.2f\n", engine, mb / engine,
		       installed ? "" : ", FILES MISSING", curl / engine);
		printf("         unpacking the same archives alone, on one thread, %7.3f s\n", unpack);
	}
	return 0;
}
