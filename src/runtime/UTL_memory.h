#pragma once
// The memory report, address checks and the program's allocation operators (defined in UTL_memory.cpp).
#include <cstddef>
#include <cstdint>
#include <string>

// Writes the memory report to "MemoryLog.txt" (the first report of a run replaces the file, later ones
// are appended) and notes it in the diagnostics log with `message`.
void dump_mem_stats(const std::string& message);
// 1 when every byte of [address, address + length) may be read (and written, when `write` is set).
int UTL_valid_memory(const void* address, size_t length, int read, int write);
// A size in whole units: "12M" above 1.4 MiB, "7K" above 1.4 KiB, else "900B".
std::string mem_size_str(uint64_t bytes);
