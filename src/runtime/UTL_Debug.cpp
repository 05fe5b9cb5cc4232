#include "runtime/UTL_Debug.h"

#include <elfutils/libdw.h>
#include <elfutils/libdwfl.h>
#include <gelf.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/uio.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <cxxabi.h>
#include <string>

#include "shell/hl_init.h"

namespace {

constexpr int max_stack_entries = 100;
constexpr size_t crash_stack_size = 1 << 20; // the symbol lookup runs on it too
constexpr int crash_listing_ms = 10000;      // a listing that takes longer is given up

struct signal_code_struct {
	int code;
	const char* name;
};

// The signals that end the program, with their names; ended by a null entry.
const signal_code_struct kSignalCodes[] = {
	{SIGSEGV, "SIGSEGV"}, {SIGBUS, "SIGBUS"}, {SIGFPE, "SIGFPE"}, {SIGILL, "SIGILL"}, {SIGABRT, "SIGABRT"},
	{0, nullptr}};

// Prepared at start-up: the handler may not allocate or ask for the current folder.
char crash_log_path[PATH_MAX] = "crash_log.txt";
std::atomic<int> crashing{0};

// One line of output, formatted without the C library's printf so that the crash handler may use it.
class line_class {
public:
	line_class& add(const char* s)
	{
		while (*s && len < sizeof(text)) text[len++] = *s++;
		return *this;
	}
	line_class& dec(long long v)
	{
		if (v < 0) add("-");
		return digits(v < 0 ? 0ull - static_cast<unsigned long long>(v) : v, 10, 1, "0123456789");
	}
	line_class& hex(unsigned long long v, int min_digits) { return digits(v, 16, min_digits, "0123456789abcdef"); }
	line_class& upper_hex(unsigned long long v, int min_digits) { return digits(v, 16, min_digits, "0123456789ABCDEF"); }
	void send(int fd)
	{
		for (size_t done = 0; done < len;) {
			ssize_t n = write(fd, text + done, len - done);
			if (n < 0 && errno == EINTR) continue;
			if (n <= 0) break;
			done += n;
		}
		len = 0;
	}

private:
	line_class& digits(unsigned long long v, unsigned base, int min_digits, const char* symbols)
	{
		char rev[24];
		int n = 0;
		do {
			rev[n++] = symbols[v % base];
			v /= base;
		} while (v || n < min_digits);
		while (n && len < sizeof(text)) text[len++] = rev[--n];
		return *this;
	}

	char text[4096];
	size_t len = 0;
};

void copy_text(char (&to)[1024], const char* from)
{
	if (!from) from = "";
	strncpy(to, from, sizeof(to) - 1);
	to[sizeof(to) - 1] = 0;
}

const char* last_component(const char* path)
{
	const char* slash = strrchr(path, '/');
	return slash ? slash + 1 : path;
}

// Only the program's own files are read: no separate debug files, and never a debuginfod server.
int no_separate_debuginfo(Dwfl_Module*, void**, const char*, Dwarf_Addr, const char*, const char*, GElf_Word,
                          char**)
{
	return -1;
}

const Dwfl_Callbacks process_callbacks = {
	.find_elf = dwfl_linux_proc_find_elf,
	.find_debuginfo = no_separate_debuginfo,
	.section_address = nullptr,
	.debuginfo_path = nullptr,
};

// The modules loaded in this process as the debug library sees them, read afresh for each listing so
// that libraries loaded late are known, and so that threads never share one.
class process_class {
public:
	process_class()
	{
		dwfl = dwfl_begin(&process_callbacks);
		if (!dwfl) return;
		dwfl_report_begin(dwfl);
		int failed = dwfl_linux_proc_report(dwfl, getpid());
		if (dwfl_report_end(dwfl, nullptr, nullptr) != 0 || failed) {
			dwfl_end(dwfl);
			dwfl = nullptr;
		}
	}
	~process_class()
	{
		if (dwfl) dwfl_end(dwfl);
	}
	process_class(const process_class&) = delete;
	process_class& operator=(const process_class&) = delete;

	Dwfl* dwfl = nullptr;
};

void find_function(Dwfl_Module* mod, uintptr_t address, symbol_info* info)
{
	GElf_Off offset = 0;
	GElf_Sym sym;
	const char* name = dwfl_module_addrinfo(mod, address, &offset, &sym, nullptr, nullptr, nullptr);
	if (!name) return;
	int status = 0;
	char* readable = abi::__cxa_demangle(name, nullptr, nullptr, &status);
	copy_text(info->function_name, status == 0 ? readable : name);
	free(readable);
	info->function_address = address - offset;
}

// The line table first; without a line, the compilation unit still names the source file.
void find_source(Dwfl_Module* mod, uintptr_t address, symbol_info* info)
{
	if (Dwfl_Line* line = dwfl_module_getsrc(mod, address)) {
		int number = 0;
		const char* file = dwfl_lineinfo(line, nullptr, &number, nullptr, nullptr, nullptr);
		if (file && number > 0) {
			copy_text(info->file_name, file);
			info->line_number = number;
			return;
		}
	}
	// The unit found must really cover the address: code without debug data, such as the start-up code,
	// is otherwise given the unit nearest to it.
	Dwarf_Addr bias = 0;
	Dwarf_Die* unit = dwfl_module_addrdie(mod, address, &bias);
	if (unit && dwarf_haspc(unit, address - bias) == 1) copy_text(info->file_name, dwarf_diename(unit));
}

// A module spans from its first mapping to its last; other memory may be mapped in the holes between its
// segments, and that memory is not the module's.
bool in_segment(Dwfl_Module* mod, uintptr_t address)
{
	Dwarf_Addr bias = 0;
	Elf* elf = dwfl_module_getelf(mod, &bias);
	size_t count = 0;
	if (!elf || elf_getphdrnum(elf, &count) != 0) return false;
	for (size_t i = 0; i < count; ++i) {
		GElf_Phdr header;
		if (gelf_getphdr(elf, static_cast<int>(i), &header) && header.p_type == PT_LOAD &&
		    address - bias >= header.p_vaddr && address - bias < header.p_vaddr + header.p_memsz)
			return true;
	}
	return false;
}

void lookup(Dwfl* dwfl, uintptr_t address, symbol_info* info)
{
	memset(info, 0, sizeof(*info));
	info->line_number = -1;
	Dwfl_Module* mod = dwfl ? dwfl_addrmodule(dwfl, address) : nullptr;
	if (!mod || !in_segment(mod, address)) return;
	Dwarf_Addr start = 0;
	copy_text(info->module_name, dwfl_module_info(mod, nullptr, &start, nullptr, nullptr, nullptr, nullptr, nullptr));
	info->module_address = start;
	find_function(mod, address, info);
	find_source(mod, address, info);
}

void describe(line_class& line, const symbol_info& info, uintptr_t address)
{
	if (info.function_name[0])
		line.add(info.function_name).add(" + ").dec(address - info.function_address);
	else if (info.function_address)
		line.add("0x").hex(info.function_address, 8).add(" + ").dec(address - info.function_address);
	else
		line.add("0x").hex(address, 8);
	if (info.file_name[0]) line.add(" (").add(last_component(info.file_name)).add(":").dec(info.line_number).add(")");
	if (info.module_name[0])
		line.add(" (").add(last_component(info.module_name)).add(" + ").dec(address - info.module_address).add(")\n");
	else if (info.module_address)
		line.add(" (0x").hex(info.module_address, 8).add(" + ").dec(address - info.module_address).add(")\n");
	else
		line.add(" (\?\?\?)\n"); // escaped: "??)" reads as a trigraph
}

// A return address is looked up one byte back, inside the call: a call that never returns may be the last
// instruction of its function, and its return address the first of the next one.
void write_entry(int fd, Dwfl* dwfl, int number, uintptr_t address, bool is_return_address)
{
	symbol_info info;
	lookup(dwfl, is_return_address ? address - 1 : address, &info);
	line_class line;
	line.add("  ").dec(number).add(") ");
	describe(line, info, address);
	line.send(fd);
}

pid_t this_thread(Dwfl*, void* context, void** thread_arg)
{
	if (*thread_arg) return 0;
	*thread_arg = context;
	return gettid();
}

// Reads through the kernel, so that a wild pointer met while unwinding is an error and not a crash.
bool read_word(Dwfl*, Dwarf_Addr address, Dwarf_Word* result, void*)
{
	iovec local{result, sizeof(*result)};
	iovec remote{reinterpret_cast<void*>(address), sizeof(*result)};
	return process_vm_readv(getpid(), &local, 1, &remote, 1, 0) == static_cast<ssize_t>(sizeof(*result));
}

bool initial_registers(Dwfl_Thread* thread, void* context)
{
	const mcontext_t& m = static_cast<const ucontext_t*>(context)->uc_mcontext;
#if defined(__x86_64__)
	// DWARF numbering: rax, rdx, rcx, rbx, rsi, rdi, rbp, rsp, r8 to r15, then the return address (rip).
	const int order[] = {REG_RAX, REG_RDX, REG_RCX, REG_RBX, REG_RSI, REG_RDI, REG_RBP, REG_RSP, REG_R8,
	                     REG_R9,  REG_R10, REG_R11, REG_R12, REG_R13, REG_R14, REG_R15, REG_RIP};
	Dwarf_Word regs[17];
	for (int i = 0; i < 17; ++i) regs[i] = m.gregs[order[i]];
	return dwfl_thread_state_registers(thread, 0, 17, regs);
#elif defined(__aarch64__)
	Dwarf_Word regs[32];
	for (int i = 0; i < 31; ++i) regs[i] = m.regs[i];
	regs[31] = m.sp;
	dwfl_thread_state_register_pc(thread, m.pc);
	return dwfl_thread_state_registers(thread, 0, 32, regs);
#else
#error "the stack listing knows the registers of x86-64 and AArch64 only"
#endif
}

uintptr_t context_pc(const ucontext_t* context)
{
#if defined(__x86_64__)
	return context->uc_mcontext.gregs[REG_RIP];
#else
	return context->uc_mcontext.pc;
#endif
}

const Dwfl_Thread_Callbacks this_thread_callbacks = {
	this_thread, nullptr, read_word, initial_registers, nullptr, nullptr,
};

struct walk_struct {
	Dwfl* dwfl;
	int fd;
	int number;
	bool skip; // the frame the registers describe: its pc is not a return address
};

int on_frame(Dwfl_Frame* frame, void* arg)
{
	walk_struct& walk = *static_cast<walk_struct*>(arg);
	Dwarf_Addr pc = 0;
	bool activation = false;
	if (!dwfl_frame_pc(frame, &pc, &activation) || pc == 0) return DWARF_CB_ABORT;
	if (walk.skip) {
		walk.skip = false;
		return DWARF_CB_OK;
	}
	write_entry(walk.fd, walk.dwfl, walk.number++, pc, !activation);
	return walk.number < max_stack_entries ? DWARF_CB_OK : DWARF_CB_ABORT;
}

void list_stack(int fd, const ucontext_t* context, uintptr_t address)
{
	process_class process;
	walk_struct walk{process.dwfl, fd, 0, true};
	if (address) write_entry(fd, process.dwfl, walk.number++, address, false);
	if (!process.dwfl) return;
	if (!dwfl_attach_state(process.dwfl, nullptr, getpid(), &this_thread_callbacks, const_cast<ucontext_t*>(context)))
		return;
	dwfl_getthread_frames(process.dwfl, gettid(), on_frame, &walk);
}

void wait_or_kill(pid_t child)
{
	const timespec one_ms{0, 1000000};
	for (int waited = 0; waited < crash_listing_ms; ++waited) {
		if (waitpid(child, nullptr, WNOHANG) != 0) return;
		nanosleep(&one_ms, nullptr);
	}
	kill(child, SIGKILL);
	waitpid(child, nullptr, 0);
}

// Reading the debug data allocates and takes locks, which the crashed code may hold: the listing is made
// in a copy of the process, which is killed when it does not finish. Without a copy only the faulting
// address is listed, unresolved.
void list_crashed_stack(int fd, const ucontext_t* context)
{
	pid_t child = _Fork();
	if (child == 0) {
		list_stack(fd, context, context_pc(context));
		_exit(0);
	}
	if (child > 0)
		wait_or_kill(child);
	else
		write_entry(fd, nullptr, 0, context_pc(context), false);
}

void write_crash_header(int fd, int sig, const siginfo_t* info)
{
	const char* name = "Unknown";
	for (const signal_code_struct* s = kSignalCodes; s->name; ++s)
		if (s->code == sig) name = s->name;
	// Only a signal raised by the hardware carries a fault address.
	uintptr_t fault = info && info->si_code > 0 ? reinterpret_cast<uintptr_t>(info->si_addr) : 0;
	line_class line;
	line.add("Unhandled exception: ").add(name).add(" (").upper_hex(static_cast<unsigned>(sig), 8).add(")\n");
	line.add("Flags=").hex(info ? static_cast<unsigned>(info->si_code) : 0, 1).add(", Address = 0x").hex(fault, 8);
	line.add("\n").send(fd);
}

void note_crash_in_log()
{
	if (xer_path.empty()) return;
	int fd = open(xer_path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
	if (fd < 0) return;
	line_class line;
	line.add("This application has crashed.  Please send the file crash_log.txt to Quorvik.\n").send(fd);
	close(fd);
}

void end_with_default_action(int sig)
{
	struct sigaction dfl = {};
	dfl.sa_handler = SIG_DFL;
	sigemptyset(&dfl.sa_mask);
	sigaction(sig, &dfl, nullptr);
	raise(sig); // delivered as soon as the handler returns
}

void give_thread_crash_stack()
{
	stack_t current;
	if (sigaltstack(nullptr, &current) == 0 && !(current.ss_flags & SS_DISABLE)) return;
	size_t guard = sysconf(_SC_PAGESIZE);
	void* base = mmap(nullptr, guard + crash_stack_size, PROT_READ | PROT_WRITE,
	                  MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
	if (base == MAP_FAILED) return;
	mprotect(base, guard, PROT_NONE); // an overflow of the handler faults instead of overwriting memory
	stack_t stack = {};
	stack.ss_sp = static_cast<char*>(base) + guard;
	stack.ss_size = crash_stack_size;
	sigaltstack(&stack, nullptr);
}

} // namespace

void UTL_debug_init()
{
	char folder[PATH_MAX];
	if (getcwd(folder, sizeof(folder))) {
		std::string path = std::string(folder) + "/crash_log.txt";
		if (path.size() < sizeof(crash_log_path)) memcpy(crash_log_path, path.c_str(), path.size() + 1);
	}
	give_thread_crash_stack();
	struct sigaction action = {};
	action.sa_sigaction = fatal_exception_handler;
	action.sa_flags = SA_SIGINFO | SA_ONSTACK;
	sigemptyset(&action.sa_mask);
	// While one fatal signal is handled the others are held back; one raised by the handler itself then
	// ends the process at once.
	for (const signal_code_struct* s = kSignalCodes; s->name; ++s) sigaddset(&action.sa_mask, s->code);
	for (const signal_code_struct* s = kSignalCodes; s->name; ++s) sigaction(s->code, &action, nullptr);
}

void fatal_exception_handler(int sig, siginfo_t* info, void* context)
{
	// A second thread crashing meanwhile waits for the first one to end the process.
	if (crashing.exchange(1))
		for (;;) pause();
	int fd = open(crash_log_path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
	if (fd < 0) fd = STDERR_FILENO;
	write_crash_header(fd, sig, info);
	if (context) list_crashed_stack(fd, static_cast<const ucontext_t*>(context));
	if (fd != STDERR_FILENO) close(fd);
	note_crash_in_log();
	end_with_default_action(sig);
}

void UTL_get_debug_symbol(const void* address, symbol_info* info)
{
	process_class process;
	lookup(process.dwfl, reinterpret_cast<uintptr_t>(address), info);
}

void print_symbol(FILE* file, const void* address)
{
	symbol_info info;
	UTL_get_debug_symbol(address, &info);
	line_class line;
	describe(line, info, reinterpret_cast<uintptr_t>(address));
	fflush(file);
	line.send(fileno(file));
}

// Out of line: the listing starts above this function's own frame, so that frame must exist.
[[gnu::noinline]] void UTL_dump_stack(FILE* file, const ucontext_t* context, const void* address)
{
	ucontext_t here;
	if (!context) {
		getcontext(&here);
		context = &here;
	}
	fflush(file);
	list_stack(fileno(file), context, reinterpret_cast<uintptr_t>(address));
}
