#pragma once
#include <string>
void dump_mem_stats(const std::string& message);
