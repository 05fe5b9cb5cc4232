#include "runtime/HL_THREAD.h"

#include <cxxabi.h>
#include <sched.h>

#include <cstdint>
#include <exception>

#include "platform/sys_video.h"
#include "runtime/UTL_cmdline.h"
#include "shell/hl_alert.h"
#include "shell/hl_init.h"
#include "shell/hl_mnw.h"
#include "textures/OGL_extensions.h"

static UTL_thread_id main_thread;
static int threads_inited = 0;
static UTL_message_queue* warn_exce = nullptr;
static UTL_message_queue* quit_exce = nullptr;
static UTL_message_queue* call_queue = nullptr;
static THREAD_call* free_calls = nullptr;
static UTL_critical_section free_calls_lock;
static intptr_t next_cookie = 1; // a cookie is never 0, which a queue read gives when nothing came
static std::vector<UTL_thread_handle> worker_threads;
static std::vector<UTL_thread_handle> worker_threads_join;
static std::vector<UTL_thread_id> worker_threads_id;

static void* const end_of_work = reinterpret_cast<void*>(intptr_t(-1));

exce_class::exce_class(const std::string& c1, const std::string& c2, const std::string& c3, const std::string& c4,
                       const char* file, int line, int quit)
	: c1_(c1), c2_(c2), c3_(c3), c4_(c4), file_(file), line_(line), quit_(quit)
{
}

void exce_class::Report() const
{
	if (!threads_inited || THREAD_is_main_thread()) {
		__MACIBM_alert(0, c1_, c2_, c3_, c4_, quit_, file_, line_);
		return;
	}
	xer << "EXCEPTION REPORTED FROM THREAD!!  File: " << file_ << ", line " << line_ << ".\n";
	xer << c1_ << "\n" << c2_ << "\n" << c3_ << "\n" << c4_ << "\n";
	xer.flush();
	app_done = 1;
	MACIBM_finishup(1);
	exit(0);
}

static void lock_main_thread_to_first_processor()
{
	cpu_set_t before;
	CPU_ZERO(&before);
	sched_getaffinity(0, sizeof before, &before);
	unsigned long long mask = 0;
	for (int c = 0; c < 64; ++c)
		if (CPU_ISSET(c, &before)) mask |= 1ull << c;
	cpu_set_t first;
	CPU_ZERO(&first);
	CPU_SET(0, &first);
	sched_setaffinity(0, sizeof first, &first);
	xer << "Thread affinity was " << mask << " is now 1.\n";
}

void THREAD_init()
{
	if (cmdline.has_option("--lock_main_thread")) lock_main_thread_to_first_processor();
	main_thread = UTL_get_current_thread();
	UTL_message_queue_create(&warn_exce);
	UTL_message_queue_create(&quit_exce);
	UTL_message_queue_create(&call_queue);
	threads_inited = 1;
}

int THREAD_is_inited() { return threads_inited; }

int THREAD_is_main_thread() { return UTL_get_current_thread() == main_thread ? 1 : 0; }

// The pool's worker: runs calls until it reads the end value.
static void* xtaskproc(void*)
{
	for (;;) {
		void* m = UTL_message_queue_read(call_queue, -1);
		if (m == end_of_work) return nullptr;
		THREAD_call* call = static_cast<THREAD_call*>(m);
		void* result = call->func(call->param);
		UTL_critical_section_lock(&call->lock);
		call->return_value = result;
		UTL_critical_section_unlock(&call->lock);
		UTL_message_queue_write(call->done_token, call->cookie);
	}
}

void THREAD_make_workers()
{
	int count = UTL_count_processors();
	xer << "CPU count        : " << count << "\n";
	for (int i = 0; i < count; ++i) {
		UTL_thread_handle h = nullptr, j = nullptr;
		UTL_thread_id id = 0;
		THREAD_create(xtaskproc, nullptr, &h, &id, &j, 1);
		worker_threads.push_back(h);
		worker_threads_join.push_back(j);
		worker_threads_id.push_back(id);
	}
}

static void* THREAD_launch(void* arg)
{
	THREAD_control_block* cb = static_cast<THREAD_control_block*>(arg);
	if (cb->wants_ogl && !MACIBM_set_context_loader(cb->ogl_con)) cb->wants_ogl = 0;
	UTL_thread_func body = cb->func;
	void* ref = cb->ref;
	UTL_message_queue_write(cb->queue, nullptr); // the control block may be gone after this
	exce_class failure("", "", "", "", "HL_THREAD", 0, 2);
	try {
		return body(ref);
	} catch (abi::__forced_unwind&) {
		throw; // a thread ending itself (THREAD_send_exception) unwinds through here
	} catch (const exce_class& e) {
		failure = e;
		failure.MakeFatal();
	} catch (const std::exception& e) {
		failure = exce_class("Caught an unhandled C++ exception", e.what(), "", "", "HL_THREAD", 366, 2);
	} catch (...) {
		failure = exce_class("Caught an unhandled unknown exception", "", "", "", "HL_THREAD", 368, 2);
	}
	THREAD_send_exception(failure); // ends this thread
	return nullptr;
}

void THREAD_create(UTL_thread_func body, void* arg, UTL_thread_handle* out_handle, UTL_thread_id* out_id,
                   UTL_thread_handle* out_join, int wants_ogl)
{
	void* main_context = nullptr;
	if (wants_ogl && !glExt.threaded_avail) wants_ogl = 0;
	if (wants_ogl) {
		main_context = MACIBM_make_context_loader();
		if (!main_context) {
			wants_ogl = 0;
			glExt.threaded_ogl_failed();
		}
	}
	UTL_message_queue* start = nullptr;
	UTL_message_queue_create(&start);
	THREAD_control_block cb{body, arg, start, wants_ogl, main_context};
	if (wants_ogl && !sys_gl_release_current())
		xer << "Failed to release GL context from main thread: " << errno << "\n";
	UTL_thread_create(THREAD_launch, &cb, out_handle, out_id, out_join);
	UTL_message_queue_read(start, -1);
	UTL_message_queue_destroy(start);
	if (wants_ogl && !cb.wants_ogl) glExt.threaded_ogl_failed();
	if (wants_ogl && !sys_gl_make_current(mnw.context[0]))
		xer << "Failed to release GL context frmo main thread: " << errno << "\n";
}

void THREAD_shutdown()
{
	for (size_t i = 0; i < worker_threads.size(); ++i) UTL_message_queue_write(call_queue, end_of_work);
	for (size_t i = 0; i < worker_threads.size(); ++i) {
		void* r = UTL_thread_join(worker_threads[i], worker_threads_join[i]);
		if (r == end_of_work) xer << "Wait on thread for cleanup failed with " << errno << ".\n";
	}
	worker_threads.clear();
	worker_threads_join.clear();
	worker_threads_id.clear();
	UTL_message_queue_destroy(call_queue);
	while (THREAD_call* call = free_calls) {
		free_calls = call->next_free;
		UTL_message_queue_destroy(call->done_token);
		delete call;
	}
	UTL_message_queue_destroy(warn_exce);
	UTL_message_queue_destroy(quit_exce);
	warn_exce = quit_exce = call_queue = nullptr;
	threads_inited = 0;
	xer << "Clean exit from threads.\n";
}

THREAD_call* THREAD_start_call(UTL_thread_func func, void* param)
{
	UTL_critical_section_lock(&free_calls_lock);
	THREAD_call* call = free_calls;
	if (call) free_calls = call->next_free;
	void* cookie = reinterpret_cast<void*>(next_cookie++);
	UTL_critical_section_unlock(&free_calls_lock);
	if (!call) {
		call = new THREAD_call{};
		UTL_message_queue_create(&call->done_token);
	}
	call->next_free = nullptr;
	call->func = func;
	call->param = param;
	call->return_value = nullptr;
	call->done = 0;
	call->cookie = cookie;
	if (worker_threads.empty()) {
		call->return_value = func(param);
		UTL_message_queue_write(call->done_token, cookie);
	} else {
		UTL_message_queue_write(call_queue, call);
	}
	return call;
}

int THREAD_finish_call(THREAD_call* call, int wait_ms, void** result)
{
	if (!UTL_message_queue_read(call->done_token, wait_ms)) return 0;
	UTL_critical_section_lock(&call->lock);
	if (result) *result = call->return_value;
	call->done = 1;
	UTL_critical_section_unlock(&call->lock);
	UTL_critical_section_lock(&free_calls_lock);
	call->next_free = free_calls;
	free_calls = call;
	UTL_critical_section_unlock(&free_calls_lock);
	return 1;
}

void THREAD_send_exception(const exce_class& e)
{
	if (e.quit_ == 1) {
		UTL_message_queue_write(warn_exce, new exce_class(e));
	} else if (e.quit_ == 2) {
		UTL_message_queue_write(quit_exce, new exce_class(e));
		if (!THREAD_is_main_thread()) UTL_thread_exit(nullptr);
	}
}

static void report_all(UTL_message_queue* q)
{
	while (void* m = UTL_message_queue_read(q, 0)) {
		exce_class* e = static_cast<exce_class*>(m);
		e->Report();
		delete e;
	}
}

void THREAD_check_exception(int check_all)
{
	if (!threads_inited) return;
	report_all(quit_exce);
	if (check_all) report_all(warn_exce);
}
