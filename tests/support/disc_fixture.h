#pragma once
// A small install disc authored in a folder for tests: the marker file dvd_version.txt, the directory
// file zipped by the real zip program, and one archive per manifest path made by the real zip or 7z
// program.
#include <string>

class disc_fixture_class {
public:
	// `root` is the disc's folder (ends with '/'); it is created when missing.
	disc_fixture_class(std::string root, std::string install_name);

	std::string root;
	std::string install_name;

	// dvd_version.txt naming the installation; or with any text at all.
	void write_marker() const;
	void write_marker(const std::string& text) const;
	// install_name/directory.txt.zip holding directory.txt with this text.
	void write_directory(const std::string& text) const;
	// The archive for a manifest path (.7z under "Global Scenery", else .zip) holding one member named
	// by the path's last component.
	void add_file(const std::string& manifest_path, const std::string& content) const;
	std::string archive_path(const std::string& manifest_path) const;
};

// The MD5 of a text as 32 lower-case hexadecimal digits.
std::string md5_of(const std::string& content);
// The three header lines of a directory file.
std::string directory_header(int version = 900);
// One FILE line (with its line end) of a directory file.
std::string file_line(int os_type, int version_num, const std::string& sig, const std::string& name,
                      int down_size = 1, int disk_size = 1);
