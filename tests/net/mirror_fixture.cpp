#include "mirror_fixture.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "installer/choose.h"
#include "installer/directory.h"
#include "installer/engine.h"
#include "installer/net_directory.h"
#include "installer/stg.h"
#include "mkdisc.h"
#include "net/http.h"
#include "net/mirrors.h"
#include "runtime/HL_THREAD.h"
#include "runtime/UTL_cmdline.h"
#include "runtime/xtim.h"
#include "shell/hl_init.h"
#include "support/sandbox.h"

namespace fs = std::filesystem;

const std::string mirror_test::name = "Velmora 9.00";


void pause_a_little()
{
	std::this_thread::sleep_for(std::chrono::microseconds(100));
}

std::map<std::string, std::string> tree_of(const std::string& root)
{
	std::map<std::string, std::string> out;
	for (const fs::directory_entry& e : fs::recursive_directory_iterator(root)) {
		std::string rel = e.path().string().substr(root.size());
		out[rel] = e.is_directory() ? "<folder>" : read_file(e.path().string());
	}
	return out;
}

int requests_for(const std::string& access_log, const std::string& logged_path, int status)
{
	std::string line = "\"GET " + logged_path + " HTTP/1.1\" " + std::to_string(status) + " ";
	int n = 0;
	for (size_t p = access_log.find(line); p != std::string::npos; p = access_log.find(line, p + 1)) ++n;
	return n;
}

void mirror_test::SetUp()
{
	cmdline = UTL_cmdline();
	cmdline.init_win("--fps_test"); // alerts are logged, not shown
	xer.open(box.path("Log.txt"), std::ios::out | std::ios::trunc);
	THREAD_init();
	THREAD_make_workers(); // downloads are unpacked on the pool, as in the program
	xtim.real_time = 0;
	srand(8);
	http.ProxyHost.clear(); // straight to the mirrors
	http.ProxyPort_int = 0;
	gProxyExclude.clear();

	stg = stg_class();
	stg.crnt_file_stat = 3;
	stg.rename_folder = 1;
	stg.download_os = 2;
	dest_dir_path = box.path("home/" + name + "/");
	temp_path = box.path("temp/"); // apart from the servers' folders, which land in TMPDIR
	fs::create_directories(temp_path);
	dvd_path.clear();
	install_name = no_install_name;
	crnt_file_name.clear();
	crnt_file_path.clear();
	next = next_class();
}

void mirror_test::TearDown()
{
	for (int o = 0; o < http_slots; ++o) http.cancel(o);
	reset_next(); // lets unpacking under way finish before the pool stops
	THREAD_shutdown();
	cmdline.options.erase("--servers");
	xer.close();
}

std::string mirror_test::log() const
{
	xer.flush();
	return box.read("Log.txt");
}

void mirror_test::author(const std::map<int, release_files>& releases, const std::vector<std::string>& os_rules)
{
	std::vector<std::string> args = {"--name", name};
	for (const auto& [number, files] : releases) {
		std::string folder = "releases/" + std::to_string(number) + "/";
		for (const auto& [rel, content] : files) box.write(folder + rel, content);
		args.insert(args.end(), {"--release", std::to_string(number) + "=" + box.path(folder)});
	}
	for (const std::string& rule : os_rules) args.insert(args.end(), {"--os", rule});
	disc = box.path("disc/");
	args.push_back(disc);
	mkdisc_options_struct options;
	mkdisc_result_struct result;
	std::string error;
	ASSERT_EQ(mkdisc_parse_args(args, options, error), 0) << error;
	ASSERT_EQ(mkdisc_author(options, result, error), 0) << error;
}

void mirror_test::publish(const nginx_fixture& web, const std::string& prefix, const std::set<std::string>& missing) const
{
	std::string root = web.web_root + prefix.substr(1);
	fs::create_directories(root);
	fs::copy(disc + name, root, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
	fs::copy_file(disc + "dvd_version.txt", root + "dvd_version.txt", fs::copy_options::overwrite_existing);
	for (const std::string& rel : missing) fs::remove(root + rel);
}

void mirror_test::use_mirrors(const std::vector<std::pair<std::string, std::string>>& mirrors)
{
	std::string list = "I\n900 version\nSERVERS\n";
	for (size_t i = 0; i < mirrors.size(); ++i)
		list += "SERVER " + mirrors[i].first + " " + mirrors[i].second + " Mirror " + std::to_string(i + 1) + "\n";
	box.write("servers.txt", list);
	cmdline.options["--servers"] = box.path("servers.txt");
	ASSERT_EQ(read_server_list(), "");
}

int mirror_test::fetch_directory(int calls, bool stop_on_failure)
{
	for (int call = 1; call <= calls; ++call) {
		net_directory_step();
		if (stg.dir_scan != 0 || (stop_on_failure && stg.got_404)) return call;
		pause_a_little();
	}
	return calls;
}

int mirror_test::install(int calls)
{
	EXPECT_EQ(read_directory(temp_path + "directory.txt", "Scanning directory text file to see if you already have Velmora installed..."), 3);
	reset_next();
	stg.got_failed_install = 0;
	make_dirs();
	EXPECT_EQ(choose_files(), 1);
	stg.step = 1;
	slots_seen.clear();
	results.clear();
	most_streams = 0;
	int result = 0;
	for (engine_calls = 0; result == 0 && engine_calls < calls; ++engine_calls) {
		result = grab_files();
		results.push_back(result);
		for (int o = 0; o < http_slots; ++o)
			if (http.down[o]) slots_seen.insert(o);
		int active = 0;
		for (int k = 0; k < 4; ++k) active += next.stream_active[k];
		most_streams = std::max(most_streams, active);
		pause_a_little();
	}
	return result;
}
