#include "installer/unattended.h"

#include <cstdio>
#include <string>

#include "installer/choose.h"
#include "installer/directory.h"
#include "installer/screens.h"
#include "installer/stg.h"
#include "installer/sub_wins.h"
#include "runtime/UTL_cmdline.h"
#include "runtime/xtim.h"
#include "shell/hl_alert.h"
#include "shell/hl_mnw.h"

static bool running = false;
static int exit_code = unattended_installed;
static int modified_reply = select_keep_folder;
static float install_started = 0;
static float last_print = -1;
static std::string last_printed;

static const float disc_wait = 10.0f; // seconds to find and read a disc

// A file the user changed is kept or replaced as the command line says, for its whole folder at once.
static int answer_modified(const std::string&, int) { return modified_reply; }

// The status line and message lines when they changed, at most once a second unless `now`.
static void print_screen(bool now)
{
	std::string text = shown_status + "\n";
	for (const std::string& line : shown_lines)
		if (!line.empty()) text += "  " + line + "\n";
	if (text == last_printed || (!now && xtim.real_time - last_print < 1.0f)) return;
	fputs(text.c_str(), stdout);
	fflush(stdout);
	last_printed = text;
	last_print = xtim.real_time;
}

static void print_summary()
{
	int files = 0;
	float kb = 0;
	for (const file_history_struct& h : sim_info.files) {
		const file_version_struct& v = h.versions.back();
		if (!v.want_to_grab_it) continue;
		++files;
		kb += v.disk_size;
	}
	float seconds = xtim.real_time - install_started;
	std::string size;
	set_size_str(kb, size);
	printf("Installed %d files, %s, in %.1f seconds (%.0f kilobytes/second).\n", files, size.c_str(), seconds,
	       seconds > 0 ? kb / seconds : kb);
	fflush(stdout);
}

static void finish(int code, const char* why = nullptr)
{
	print_screen(true);
	if (code == unattended_installed && stg.step == 2) print_summary();
	if (why) fprintf(stderr, "%s\n", why);
	exit_code = code;
	app_done = 1;
}

// Looks at each frame as it is drawn and does what the user would.
static void unattended_frame()
{
	static const char* const no_disc = "No readable install disc was found.";
	static int finished_frames = 0;
	print_screen(false);
	if (stg.dir_scan < 2) {
		if (xtim.real_time > disc_wait) finish(unattended_no_disc, no_disc);
		return;
	}
	if (stg.dir_scan == 2) return finish(unattended_no_disc, no_disc);
	if (stg.step == 1) return;
	// The frame that ends the installation still shows its progress; the next one shows the result.
	if (stg.step == 2 && ++finished_frames > 1)
		return finish(stg.got_failed_install ? unattended_failed : unattended_installed);
	if (stg.step == 2) return;
	if (stg.disk_req == 0) return finish(unattended_installed);
	if (!install_enabled()) return finish(unattended_no_space);
	install_started = xtim.real_time;
	press_install();
	if (stg.step == 0 && !agreed) finish(unattended_no_licence, "The licence agreement was not accepted: give --accept_eula to accept it.");
	else if (stg.step == 0) finish(unattended_failed);
}

void unattended_start()
{
	if (!cmdline.has_option("--unattended")) return;
	std::string modified = cmdline.get_option("--modified");
	if (modified == "overwrite") {
		modified_reply = select_replace_folder;
	} else if (!modified.empty() && modified != "keep") {
		__MACIBM_alert(0, "The option --modified takes keep or overwrite.", "It was: " + modified, "", "", t_exit, "unattended",
		               __LINE__);
	}
	running = true;
	select_alert_asker = answer_modified;
	MACIBM_frame_hook = unattended_frame;
}

bool unattended_running() { return running; }

int unattended_exit_code() { return exit_code; }
