#include "installer/screens.h"

#include <cmath>

#include <algorithm>

#include "installer/build_flags.h"
#include "installer/choose.h"
#include "installer/directory.h"
#include "installer/engine.h"
#include "installer/main.h"
#include "installer/media.h"
#include "installer/net_directory.h"
#include "installer/stg.h"
#include "installer/sub_wins.h"
#include "io/IO_UTILS.h"
#include "io/zip.h"
#include "platform/sys_files.h"
#include "runtime/xtim.h"
#include "shell/butn.h"
#include "shell/hl_alert.h"
#include "shell/hl_mnw.h"
#include "shell/oglp.h"

float text_x = 144;
float base_x1 = 132, base_x2 = 1016;
int informed = 0;
int disk_space_avail = 1;
float totl_inst_rat = 0;
float tot_availabl = -1;
float tot_disk_req = 0;
std::string tot_availabl_str, tot_disk_req_str;
std::string dir_path, dir_path_path;
std::string shown_status, shown_lines[3];

namespace {

enum { col_dark = 46, col_good = 13, col_problem = 1, col_failure = 69 };

struct message_struct {
	std::string text[3];
	int color[3] = {col_dark, col_dark, col_dark};
	void set(int i, const std::string& s, int c = col_dark)
	{
		text[i] = s;
		color[i] = c;
	}
};

bool first_call = true;

void draw_background()
{
	OGL_2dquad(394, 49, 1.0f, 0, 0, 0, 0, 0, 768, 0, 0.75f, 1024, 768, 1, 0.75f, 1024, 0, 1, 0, 1, 5);
}

void find_media_and_directory()
{
	// The network build has its name and directory file from a server, and its server count from the mirror list.
	if (!is_net && stg.num_servers == -1 && read_dvd_version()) stg.num_servers = 0;
	if (first_call) {
		dir_path = temp_path + "directory.txt";
		dir_path_path = temp_path;
		first_call = false;
	}
	if (is_net) {
		if (stg.dir_scan == 0 && (xtim.act_puff1 || net_directory_in_flight())) net_directory_step();
		return;
	}
	if (stg.dir_scan != 0 || !xtim.act_puff1) return;
	if (dvd_path.empty()) {
		check_any(0, 1);
		return;
	}
	std::string zip_path = dvd_path + install_name + "/directory.txt.zip";
	int code = zip_to_file(zip_path, dir_path_path);
	if (code == 0) {
		stg.dir_scan = 1;
		return;
	}
	__MACIBM_alert(0, "DVD scan: The installer cannot extract a file.", "Error: " + error_str(code),
	               "Compressed File/" + zip_path, "Destination Path/" + dir_path_path, t_exit, "main", 194);
}

void destination_controls()
{
	BTN_frame1(9, 285, 89, 300, 0);
	OGL_string(45, 142, 86, dest_dir_path, 9999, 100, 0);
	bool box_clicked = mnw.mouse_clicked && mnw.mx >= 135 && mnw.mx <= 435 && mnw.my >= 79 && mnw.my <= 99;
	if (stg.step != 0 && stg.step != 2) return;
	bool button_clicked = interface_rect(10, 78, 513, 166, 126, 22, 1, 1);
	if ((button_clicked || box_clicked) && pick_dest_path() == 1) {
		reset_next();
		stg.got_failed_install = 0;
		stg.step = 0;
		if (stg.dir_scan == 3) stg.dir_scan = 1;
	}
}

void panels()
{
	for (int i = 0; i < stg.num_servers; ++i) BTN_is_int(142, 578 - 20.0f * i, &stg.sel_server, i, server_desc[i]);
	interface_rect(0, 595, 644, 33, 128, 86, 0, 0);
	interface_icon(29, 608, 0);
	BTN_frame2(20, 135, 600, 790, 72, install_name != no_install_name ? "DVD: " + install_name : "");
	BTN_frame2(20, 935, 600, 80, 72, "Disk Reqmt");
	std::string size;
	set_size_str(stg.disk_req, size);
	OGL_string(46, 954, 635, size, 700, 100, 0);
}

void status_line()
{
	int color = col_dark;
	if (next.dir_done) {
		shown_status = "Installation Complete!";
		color = col_good;
	} else if (stg.dir_scan == 0) {
		shown_status = "I am looking for an Velmora DVD now...";
	} else if (stg.dir_scan == 1) {
		shown_status = "I am reading the Velmora DVD now...";
	} else if (stg.dir_scan == 2) {
		shown_status = "I need an Velmora DVD to install this from the DVD!";
		color = col_problem;
	} else if (stg.step == 1) {
		shown_status = "I am installing this now...";
	} else if (stg.disk_req == 0) {
		shown_status = "Already installed in the selected directory!";
	} else {
		shown_status = "Not Installed in the selected directory!";
	}
	OGL_string(color, 154, 615, shown_status, 700, 100, 0);
}

void completion_notice()
{
	if (informed || !next.dir_done) return;
	informed = 1;
	__MACIBM_alert(0, "OK I have now installed this DVD!",
	               "Now look at the other DVDs you may have ordered. You will see maps of the world with certain areas hilighted.",
	               "Those hilighted areas are the areas of scenery contained on each DVD.",
	               "Simply exit this installer, and then run the installer on any of those DVDs to install the scenery on them. You may install, or not install, any of those DVDs you like... you will simply have Ocean in any area where you do not install scenery.",
	               t_alert, "main", 324);
}

void buttons()
{
	int enabled = install_enabled();
	if (stg.step == 0 && interface_rect(700, 78, 640, 166, 83, 22, enabled, enabled ? 1 : 2) && enabled) press_install();
	if (interface_rect(960, 78, 780, 166, 51, 22, 1, 1)) {
		reset_next();
		stg.step = 2;
		app_done = 1;
	}
}

void ready_lines(message_struct& m)
{
	totl_inst_rat = 0;
	tot_availabl = -1;
	tot_disk_req = stg.disk_req;
	uint64_t free_bytes;
	if (sys_free_space(dest_dir_path, free_bytes)) tot_availabl = float(double(free_bytes) * 0.001);
	if (stg.dir_scan == 0) {
		m.set(0, "Please insert an Velmora 9 DVD to begin.");
		return;
	}
	if (tot_disk_req == 0) {
		m.set(0, "Velmora is already installed at this location.");
		m.set(1, "You can change the destination to install a second copy of Velmora.");
		return;
	}
	set_size_str(tot_availabl, tot_availabl_str);
	set_size_str(tot_disk_req, tot_disk_req_str);
	m.set(0, "You are about to install " + tot_disk_req_str + " of files to get " + install_name + ".");
	if (tot_disk_req > 0 && tot_availabl > 0) {
		m.set(1, "You have " + tot_availabl_str + " of drive space available for the selected directory.");
		disk_space_avail = disk_space_sufficient(tot_availabl, tot_disk_req);
		if (disk_space_avail) m.set(2, "Click Install to begin.", col_good);
		else m.set(2, "You don't have enough disk space to install this!", col_problem);
	}
}

std::string whole_number(long long n)
{
	char buf[16];
	int_to_str(int(n), buf, 1, 0);
	return buf;
}

void install_slice()
{
	double t0 = xtim_class::microsecs_tot() / 1000000.0;
	while (xtim_class::microsecs_tot() / 1000000.0 - t0 < 0.01 && stg.step == 1) {
		if (grab_files()) {
			stg.step = 2;
			reset_next();
		}
	}
}

void installing_lines(message_struct& m)
{
	install_slice();
	totl_inst_rat = tot_disk_req > 0 ? next.totl_disk / tot_disk_req : 0;
	totl_inst_rat = totl_inst_rat < 0 ? 0 : (totl_inst_rat > 1 ? 1 : totl_inst_rat);
	switch (stg.crnt_file_stat) {
	case 0: m.set(0, "Deleting " + crnt_file_name + " because that file is no longer needed!"); break;
	case 1: m.set(0, "Reading and installing file " + crnt_file_name + "."); break;
	case 2: m.set(0, "duplicate filename through file " + crnt_file_name + ", but not installing it because you already have this file."); break;
	case 3: m.set(0, "Browsing through file " + crnt_file_name + ", but not installing it because you don't need this file."); break;
	}
	std::string done;
	set_size_str(next.totl_disk, done);
	m.set(1, percent_text(totl_inst_rat) + "% done with the DVD install, having installed " + done + " of " + tot_disk_req_str + " for the DVD install.");
	if (totl_inst_rat > 0.01f) {
		float elapsed = std::max(1.0f, xtim.real_time - next.star_time);
		m.set(2, "About " + remaining_time_text(int(sim_info.files.size()), next.stream_index[0], elapsed) + " left in the install, installing at " +
		             whole_number((long long)(next.totl_disk / elapsed)) + " kilobytes/second.");
	}
}

void finished_lines(message_struct& m)
{
	if (!stg.got_failed_install) {
		m.set(0, "Installation Complete!");
		return;
	}
	m.set(0, "The installation was not completed because an error occurred.", col_failure);
	m.set(1, "Velmora is not fully installed or updated and may not run correctly.", col_failure);
	m.set(2, "Contact Customer Support for help with this problem.", col_failure);
}

void draw_progress_bar()
{
	BTN_frame1(4, 574, 15, 884, 0);
	float centre, width;
	if (stg.step == 1 && progress_fill(totl_inst_rat, centre, width)) BTN_frame1(5, centre, 15, width, 0);
}

} // namespace

int install_enabled() { return disk_space_avail && stg.step != 1 && stg.dir_scan == 3 && stg.disk_req > 0; }

void press_install()
{
	reset_next();
	stg.got_failed_install = 0;
	make_dirs();
	if (handle_EULA() == 1) stg.step = 1;
	if (choose_files() == 0) stg.step = 0;
}

int disk_space_sufficient(float availabl, float need) { return availabl > need ? 1 : 0; }

bool progress_fill(float rat, float& centre, float& width)
{
	if (rat <= 0.02f) return false;
	float x1 = std::trunc(base_x1);
	float xp = std::trunc(base_x1 + rat * (base_x2 - base_x1));
	centre = std::round((x1 + xp) / 4) * 2;
	width = std::round((xp - x1) / 4) * 4;
	return true;
}

std::string percent_text(float rat) { return one_decimal(rat * 100.0, 2); }

std::string remaining_time_text(int files, int position, float elapsed)
{
	int remaining = std::max(0, files - position);
	// Until stream 0 has passed a file there is no rate to go by; the estimate waits for one.
	if (position <= 0) return "some time";
	double s = remaining / (position / double(elapsed));
	if (s < 120) return whole_number((long long)s) + " seconds";
	if (s < 7200) return whole_number((long long)(s / 60)) + " minutes";
	return whole_number((long long)(s / 3600)) + " hours";
}

void APP_update()
{
	draw_background();
	find_media_and_directory();
	destination_controls();
	if (stg.dir_scan == 1)
		stg.dir_scan = read_directory(dir_path, "Scanning directory text file to see if you already have Velmora installed...");
	panels();
	status_line();
	completion_notice();
	buttons();
	message_struct m;
	int step = stg.step;
	if (step == 0) ready_lines(m);
	else if (step == 1) installing_lines(m);
	else finished_lines(m);
	if (stg.got_404) {
		m.set(0, "I can NOT download the file '" + crnt_file_path + "'!", col_failure);
		m.set(1, "Your internet connection may not be working, or the server could be undergoing maintainance or an upgrade right now.", col_failure);
		m.set(2, "I am trying another server now to see if I can still get you a download...", col_failure);
	}
	BTN_frame2(20, 135, 32, 880, 40, "");
	for (int i = 0; i < 3; ++i) {
		shown_lines[i] = m.text[i];
		OGL_string(m.color[i], text_x, 58 - 10.0f * i, m.text[i], 9999, 100, 0);
	}
	draw_progress_bar();
}

void draw_dir_progress(float fill, const std::string& message1, const std::string& message2, const std::string& rel_path_exp)
{
	draw_background();
	float left = std::trunc((mnw.win_dx - 512) / 2), bottom = std::trunc((mnw.win_dy - 138) / 2);
	BTN_frame2(15, left, bottom, 512, 138, "");
	BTN_frame2(13, left + 20, bottom + 20, 472, 98, "");
	float x1 = left + 30, x2 = left + 482;
	BTN_frame1(4, (x1 + x2) / 2, bottom + 35, x2 - x1, 0);
	BTN_frame1(5, x1 + fill * (x2 - x1) / 2, bottom + 35, fill * (x2 - x1), 0);
	OGL_string(46, left + 32, bottom + 100, message1, 452, 100, 0);
	OGL_string(46, left + 32, bottom + 80, message2, 452, 100, 0);
	OGL_string(45, left + 32, bottom + 60, rel_path_exp, 452, 100, 0);
	OGL_sbuff();
}
