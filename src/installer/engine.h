#pragma once
// The install engine: carries out the decisions of choose_files, one file per stream and call,
// from the install disc or, in the network build, downloaded from the mirrors; then removes the
// folders its deletions emptied and may rename the installation folder after the installation's name.
#include <string>

// The transfer schedule.
class next_class {
public:
	int next_index = 0;         // the next history to hand to a stream
	int dir_done = 0;           // every history has been handled
	int stream_active[4] = {};
	int stream_waiting[4] = {}; // the stream needs a new history before its next step
	int stream_index[4] = {};   // the history each stream works on
	float star_time = 0;        // xtim.real_time when the installation started
	float file_down = 0;        // kilobytes of downloads in flight
	float comp_down = 0;        // kilobytes (down_size) of the files installed so far
	float totl_disk = 0;        // kilobytes (disk_size) of the files installed so far
};

extern next_class next;

// Starts the schedule over: the first stream (two when updating) waits for the first history.
// Downloads still in flight are ended and their temporary archives removed.
void reset_next();
// One step of every active stream. 1 when the installation is finished (after the clean-up),
// otherwise stg.got_failed_install.
int grab_files();
// Unpacks one archive (.7z by its name, else zip) into the folder of dest_path_exp.
void extract_and_delete_file(const std::string& dest_path_zip, const std::string& dest_path_exp);
// How many streams a transfer rate (kilobytes per second) deserves, before the preference and the
// build's own limit are applied.
int streams_for_rate(float rate);

// What the progress display last showed while reading (0) and while examining (1).
struct dir_progress_struct {
	float fill = 0; // filled fraction of the bar, 0.04 to 1
	std::string message1, message2, rel_path_exp;
	int shown = 0; // how many times it has been shown
};
extern dir_progress_struct dir_progress[2];

// Shows how far reading (call type 0) or examining (call type 1) has come: d between d1 and d2.
void dir_progress_bar(float d1, float d, float d2, int call_type, const std::string& message1,
                      const std::string& rel_path_exp);
