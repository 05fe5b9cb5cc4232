#pragma once
// The disc authoring tool: turns the folders of successive releases into an install disc, that is the
// marker file, the zipped directory file with every version of every file, and one archive per file of
// the last release. The same layout under a web root serves the network installer.
#include <cstdint>
#include <string>
#include <vector>

struct mkdisc_release_struct {
	int number = 0;     // the release number, written as the records' version number
	std::string folder; // the release's files
};

struct mkdisc_os_rule_struct {
	int os_type = 0;
	std::string glob; // matched with fnmatch against the release-relative path; '*' also matches '/'
};

struct mkdisc_options_struct {
	bool help = false;
	std::string name;                             // the installation's name and folder
	std::vector<mkdisc_release_struct> releases;  // in ascending release number
	std::vector<mkdisc_os_rule_struct> os_rules;  // the first rule that matches decides
	std::string out_path;
};

struct mkdisc_result_struct {
	int files = 0;              // files of the last release, one archive each
	int records = 0;            // FILE lines of the directory file
	uint64_t archive_bytes = 0; // the archives' total size
};

extern const char* const mkdisc_usage;

// Reads the command line (without the program's name). Returns 0, or 2 with `error` set when the
// arguments are wrong.
int mkdisc_parse_args(const std::vector<std::string>& args, mkdisc_options_struct& options, std::string& error);

// Authors the disc into `options.out_path`. Returns 0, or 1 with `error` set; on failure nothing of the
// disc is left behind.
int mkdisc_author(const mkdisc_options_struct& options, mkdisc_result_struct& result, std::string& error);
