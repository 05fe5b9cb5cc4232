// Dies of a fatal signal inside one of its own functions, for the crash-log tests.
// Usage: debug_crasher MODE [LOG]. MODE: segv, fpe, abort, deep, overflow or thread. LOG: the diagnostics
// log to open. Each line that faults is marked "crash site: MODE" for the tests to find.
#include <sys/resource.h>

#include <cstdlib>
#include <cstring>
#include <thread>

#include "runtime/UTL_Debug.h"
#include "shell/hl_init.h"

namespace {

int* volatile nowhere = nullptr;
volatile int divisor = 0;
volatile int endless = 1 << 30;

// Keeps a call from becoming a jump, so that its caller stays on the stack.
void keep_frame() { asm volatile("" ::: "memory"); }

[[gnu::noinline]] void write_through_null()
{
	*nowhere = 1; // crash site: segv
	keep_frame();
}

[[gnu::noinline]] int divide_by_zero(int n)
{
	return n / divisor; // crash site: fpe
}

[[gnu::noinline]] void give_up()
{
	abort(); // crash site: abort
}

[[gnu::noinline]] void recurse_then_crash(int depth)
{
	if (depth > 0)
		recurse_then_crash(depth - 1); // crash site: deep
	else
		write_through_null();
	keep_frame();
}

[[gnu::noinline]] int overflow_stack(int depth)
{
	volatile char pad[1024];
	pad[0] = static_cast<char>(depth);
	if (depth < endless) return overflow_stack(depth + 1) + pad[0]; // crash site: overflow
	return pad[0];
}

void crash_on_thread()
{
	std::thread worker(write_through_null);
	worker.join();
}

} // namespace

int main(int argc, char** argv)
{
	if (argc < 2) return 2;
	rlimit no_core = {0, 0};
	setrlimit(RLIMIT_CORE, &no_core); // the tests want the log, not a core file
	if (argc > 2) {
		xer.open(argv[2]);
		xer_path = argv[2];
		xer << "before the crash\n" << std::flush;
	}
	UTL_debug_init();
	const char* mode = argv[1];
	if (!strcmp(mode, "segv")) write_through_null();
	if (!strcmp(mode, "fpe")) return divide_by_zero(argc);
	if (!strcmp(mode, "abort")) give_up();
	if (!strcmp(mode, "deep")) recurse_then_crash(150);
	if (!strcmp(mode, "overflow")) return overflow_stack(0);
	if (!strcmp(mode, "thread")) crash_on_thread();
	return 2;
}
