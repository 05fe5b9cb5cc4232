#pragma once
// The installer preference file: lines of a tag and a value, read at start-up and written at exit.
#include <map>
#include <string>

// Reads or writes one preference file.
class scan_class {
public:
	// Reading (opr_typ 0) fills the map from the file, leaving it empty when the file is missing or
	// its header is wrong; writing (1) opens the shared output stream and writes the header.
	scan_class(const std::string& path, int opr_typ);

	// Writing: writes the entry and returns 0. Reading: 1 with `out` set when the command line
	// ("--pref:" + tag) or the file has the tag, else 0 with `out` untouched.
	int fetch_or_get(const std::string& value, std::string& out, const std::string& tag);

	int opr_typ;
	std::map<std::string, std::string> prefs_map;
};

class pref_class {
public:
	// Reads (write 0) or writes (write 1) preference file `which`; 11 is the installer's.
	static void IO_set(int which, int write);
};

extern pref_class pref;
