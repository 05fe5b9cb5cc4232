#include "platform/sys_info.h"

#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

static int processor_type_of(const std::string& machine)
{
	if (machine == "x86_64") return 8664;
	if (machine.size() == 4 && machine[0] == 'i' && machine.substr(2) == "86") return 586;
	if (machine == "aarch64") return 43620;
	return 0;
}

// One entry per processor from /proc/cpuinfo: its model name and clock.
static void read_cpus(sys_info_struct& info)
{
	std::ifstream in("/proc/cpuinfo");
	std::string line;
	while (std::getline(in, line)) {
		size_t colon = line.find(':');
		if (colon == std::string::npos) continue;
		std::string key = line.substr(0, line.find_last_not_of(" \t", colon - 1) + 1);
		std::string value = colon + 2 <= line.size() ? line.substr(colon + 2) : "";
		if (key == "processor") info.cpus.emplace_back();
		else if (key == "model name" && !info.cpus.empty()) info.cpus.back().name = value;
		else if (key == "cpu MHz" && !info.cpus.empty()) info.cpus.back().mhz = atoi(value.c_str());
	}
	long online = sysconf(_SC_NPROCESSORS_ONLN);
	if (info.cpus.empty() && online > 0) info.cpus.resize(online);
}

sys_info_struct sys_describe_system()
{
	sys_info_struct info;
	struct utsname u;
	if (uname(&u) == 0) {
		info.os_name = u.sysname;
		int used = 0;
		sscanf(u.release, "%d.%d%n", &info.major, &info.minor, &used);
		info.build = u.release + used;
		if (!info.build.empty() && info.build[0] == '.') info.build.erase(0, 1);
		info.platform = u.machine;
		info.version = u.version;
		info.processor_type = processor_type_of(u.machine);
	}
	struct sysinfo si;
	if (sysinfo(&si) == 0) info.physical_memory = uint64_t(si.totalram) * si.mem_unit;
	read_cpus(info);
	return info;
}
