#pragma once
// The system description written at the head of the diagnostics log.
#include <cstdint>
#include <string>
#include <vector>

struct sys_info_struct {
	std::string os_name;      // "Linux"
	int major = 0, minor = 0; // kernel release
	std::string build;        // the rest of the release text
	std::string platform;     // the machine, e.g. x86_64
	std::string version;      // the kernel's version text
	int processor_type = 0;   // 8664 for x86_64, 586 for 32-bit x86, 43620 for 64-bit ARM
	uint64_t physical_memory = 0;
	struct cpu_struct {
		std::string name;
		int mhz = 0;
	};
	std::vector<cpu_struct> cpus;
};

sys_info_struct sys_describe_system();
