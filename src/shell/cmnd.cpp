#include "shell/cmnd.h"

#include <algorithm>

const std::vector<prebuilt_command> default_commands = {
	{"cmnd_nothing", "sim/operation/none", "Do nothing at all!", 3, 0, 0},
};

cmnd_class cmnd;

cmnd_class::cmnd_class()
{
	for (const prebuilt_command& p : default_commands) {
		cmnd_enums.push_back(p.def_cmnd_enums);
		cmnd_names.push_back(p.def_cmnd_names);
		cmnd_descs.push_back(p.def_cmnd_descs);
		cmnd_type.push_back(p.def_cmnd_type);
		cmnd_down.push_back(0);
	}
}

int cmnd_class::get_cmnd_by_name(const std::string& name) const
{
	auto it = std::find(cmnd_names.begin(), cmnd_names.end(), name);
	return it == cmnd_names.end() ? 0 : int(it - cmnd_names.begin());
}

void cmnd_class::get_cmds_in_path(const std::string& path, std::vector<std::string>& out) const
{
	out.clear();
	for (const std::string& name : cmnd_names) {
		if (name.compare(0, path.size(), path) != 0) continue;
		size_t slash = name.find('/', path.size());
		std::string part = name.substr(path.size(), slash == std::string::npos ? std::string::npos : slash - path.size() + 1);
		if (std::find(out.begin(), out.end(), part) == out.end()) out.push_back(part);
	}
	std::sort(out.begin(), out.end());
}
