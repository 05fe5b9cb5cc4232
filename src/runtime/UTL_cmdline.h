#pragma once
// The command line as a map of option words to values.
#include <map>
#include <string>

class UTL_cmdline {
public:
	std::map<std::string, std::string> options;

	void init_win(const char* cmdline);
	void init_common();
	int has_option(const char* in_arg) const;
	std::string get_option(const char* in_arg) const;
};

extern UTL_cmdline cmdline;
