#include "core_fixture.h"

#include <fstream>
#include <sstream>

#include "installer/choose.h"
#include "installer/directory.h"
#include "installer/engine.h"
#include "installer/media.h"
#include "io/zip.h"
#include "runtime/UTL_cmdline.h"

std::deque<int> core_test::replies;
std::vector<question_struct> core_test::questions;

int core_test::answer(const std::string& dest_path_exp, int is_gone)
{
	questions.push_back({dest_path_exp, is_gone});
	if (replies.empty()) return select_cancel;
	int reply = replies.front();
	replies.pop_front();
	return reply;
}

void core_test::SetUp()
{
	cmdline = UTL_cmdline();
	cmdline.init_win("--fps_test");
	xer.open(box.path("Log.txt"), std::ios::out | std::ios::trunc);

	stg = stg_class();
	stg.num_servers = -1;
	stg.crnt_file_stat = 3;
	stg.rename_folder = 1;
	stg.download_os = 2;
	dest_dir_path = box.path("home/Velmora 9/");
	temp_path = box.path("tmp/");
	dvd_path = disc.root;
	install_name = disc.install_name;
	crnt_file_name.clear();
	crnt_file_path.clear();

	next = next_class();
	next_check_time = -1.0f;
	found_thing = 0;
	media_drives = sys_drives;
	select_alert_asker = answer;
	replies.clear();
	questions.clear();
}

void core_test::TearDown()
{
	xer.close();
	select_alert_asker = nullptr;
	media_drives = sys_drives;
}

std::string core_test::log() const
{
	xer.flush();
	return box.read("Log.txt");
}

void core_test::put(const std::string& rel, const std::string& content) const
{
	box.write(dest(rel).substr(box.root.size()), content);
}

std::string core_test::get(const std::string& rel) const { return box.read(dest(rel).substr(box.root.size())); }

bool core_test::has(const std::string& rel) const { return box.exists(dest(rel).substr(box.root.size())); }

int core_test::read_disc(const std::string& directory_text)
{
	disc.write_directory(directory_text);
	EXPECT_EQ(zip_to_file(dvd_path + install_name + "/directory.txt.zip", temp_path), 0);
	return read_directory(temp_path + "directory.txt", "Scanning directory text file to see if you already have Velmora installed...");
}

int core_test::install()
{
	reset_next();
	stg.got_failed_install = 0;
	make_dirs();
	if (!choose_files()) return 0;
	stg.step = 1;
	int result = 0;
	for (engine_calls = 0; result == 0 && engine_calls < 100000; ++engine_calls) result = grab_files();
	stg.step = 2;
	installed_disk = next.totl_disk;
	reset_next();
	return result;
}
