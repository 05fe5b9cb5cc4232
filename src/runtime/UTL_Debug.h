#pragma once
// The crash log and symbolised stack listings, read from the program's own ELF and DWARF data.
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <ucontext.h>

// What lies at an address of the running program. Text fields are empty and numbers 0 when unknown.
struct symbol_info {
	char module_name[1024];    // full path of the executable or library
	uintptr_t module_address;  // where it is loaded
	char function_name[1024];  // demangled
	uintptr_t function_address;
	char file_name[1024];      // source file as the debug data names it
	int line_number;           // -1 when no line was found
};

// Makes fatal signals (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT) write "crash_log.txt" in the current
// folder. The first step of the shell's start-up; a thread that calls it also gets its own stack for
// the handler, so that its stack overflows are logged too.
void UTL_debug_init();
// The handler itself: logs the signal and the stack, then lets the signal's default action end the process.
void fatal_exception_handler(int sig, siginfo_t* info, void* context);

void UTL_get_debug_symbol(const void* address, symbol_info* info);
// One line: function + offset, (source file:line), (module + offset); raw numbers where nothing is known.
void print_symbol(FILE* file, const void* address);
// A numbered listing of at most 100 entries: `address` first when given, then the return addresses of the
// stack from the registers in `context`, or from the caller of this function when there is none.
void UTL_dump_stack(FILE* file, const ucontext_t* context, const void* address);
