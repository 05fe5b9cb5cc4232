#pragma once
// Reads what the authoring tool writes the way the installer does: the directory file by its grammar
// (header, DIR and FILE lines, white-separated fields, the rest of the line as the file name) and the
// archives with the real unzip and 7z programs.
#include <string>
#include <vector>

#include "mkdisc.h"

struct read_record_struct {
	int use_type = 0;
	int os_type = 0;
	int version_num = 0;
	int down_size = 0;
	int disk_size = 0;
	std::string sig;
	std::string path; // the DIR prefix followed by the file name
	std::string file; // the file name (field 7)
};

struct read_manifest_struct {
	std::vector<std::vector<read_record_struct>> histories; // runs of records with one path, in file order
	std::vector<std::string> problems; // lines the reader would skip or misread, paths split over runs
};

read_manifest_struct read_manifest(const std::string& text);

// Runs the tool's library on a command line.
struct authored_struct {
	int rc = -1;
	std::string error;
	mkdisc_result_struct result;
};
authored_struct author(const std::vector<std::string>& args);

// The directory file of a disc, unpacked with unzip.
std::string disc_directory(const std::string& disc, const std::string& name);
// The MD5 of a content, by md5sum.
std::string md5_of(const std::string& content);
// Unpacks a one-member archive with unzip or 7z into an empty folder; the names and contents found.
struct unpacked_struct {
	std::vector<std::string> names;
	std::vector<std::string> contents;
};
unpacked_struct unpack(const std::string& archive);
// Every file under a folder, relative to it, sorted.
std::vector<std::string> files_under(const std::string& folder);
