#pragma once
// The command table: named commands that keys can be bound to.
#include <string>
#include <vector>

struct prebuilt_command {
	const char* def_cmnd_enums;
	const char* def_cmnd_names;
	const char* def_cmnd_descs;
	int def_cmnd_type;
	int def_cmnd_vkey;
	int def_cmnd_flag;
};

extern const std::vector<prebuilt_command> default_commands;

class cmnd_class {
public:
	cmnd_class();

	std::vector<std::string> cmnd_enums;
	std::vector<std::string> cmnd_names; // slash-separated paths
	std::vector<std::string> cmnd_descs;
	std::vector<int> cmnd_type;
	std::vector<int> cmnd_down;

	int get_cmnd_by_name(const std::string& name) const;
	void press_one(int c) { ++cmnd_down[c]; }
	void release_one(int c) { --cmnd_down[c]; }
	void press_always(int) {}
	std::string get_cmnd_name(int c) const { return cmnd_names[c]; }
	std::string get_cmnd_desc(int c) const { return cmnd_descs[c]; }
	// The distinct next components of the command names under `path`, sorted; folders keep their '/'.
	void get_cmds_in_path(const std::string& path, std::vector<std::string>& out) const;
};

extern cmnd_class cmnd;
