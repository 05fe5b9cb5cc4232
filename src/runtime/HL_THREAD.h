#pragma once
// The worker pool and the hand-over of alerts from workers to the main thread.
#include <string>
#include <vector>

#include "runtime/UTL_thread.h"

class exce_class {
public:
	exce_class(const std::string& c1, const std::string& c2, const std::string& c3, const std::string& c4,
	           const char* file, int line, int quit);
	exce_class(const exce_class&) = default;
	virtual ~exce_class() = default;

	void Report() const;
	void MakeFatal() { quit_ = 2; }

	std::string c1_, c2_, c3_, c4_;
	const char* file_;
	int line_;
	int quit_; // the alert kind: 1 notice, 2 fatal
};

struct THREAD_control_block {
	UTL_thread_func func;
	void* ref;
	UTL_message_queue* queue;
	int wants_ogl;
	void* ogl_con;
};

struct THREAD_call {
	THREAD_call* next_free;
	UTL_message_queue* done_token;
	UTL_critical_section lock;
	UTL_thread_func func;
	void* param;
	void* return_value;
	int done;
	void* cookie;
};

void THREAD_init();
int THREAD_is_inited();
int THREAD_is_main_thread();
void THREAD_make_workers();
void THREAD_create(UTL_thread_func body, void* arg, UTL_thread_handle* out_handle, UTL_thread_id* out_id,
                   UTL_thread_handle* out_join, int wants_ogl);
void THREAD_shutdown();

// Hands func(param) to the pool; without workers it runs at once on the caller's thread. The call
// must be finished with THREAD_finish_call.
THREAD_call* THREAD_start_call(UTL_thread_func func, void* param);
// 1 once the call has run, waiting up to wait_ms as a queue read does (-1 for ever, 0 polls); the
// result goes to *result when asked and the record back to the spares, not to be used again.
int THREAD_finish_call(THREAD_call* call, int wait_ms, void** result = nullptr);

void THREAD_send_exception(const exce_class& e);
void THREAD_check_exception(int check_all);
