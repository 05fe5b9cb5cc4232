// Message queues, the worker pool, and alerts raised on workers reaching the main thread.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>

#include "runtime/HL_THREAD.h"
#include "runtime/UTL_cmdline.h"
#include "shell/hl_alert.h"
#include "shell/hl_init.h"
#include "support/sandbox.h"
#include "textures/OGL_extensions.h"

namespace {

void* as_msg(intptr_t v) { return reinterpret_cast<void*>(v); }

TEST(message_queue, delivers_in_order_and_polls_without_waiting)
{
	UTL_message_queue* q = nullptr;
	UTL_message_queue_create(&q);
	auto t0 = std::chrono::steady_clock::now();
	EXPECT_EQ(UTL_message_queue_read(q, 0), nullptr);
	EXPECT_EQ(UTL_message_queue_read(q, 30), nullptr);
	auto waited = std::chrono::steady_clock::now() - t0;
	EXPECT_GE(waited, std::chrono::milliseconds(25));
	for (intptr_t i = 1; i <= 3; ++i) UTL_message_queue_write(q, as_msg(i));
	for (intptr_t i = 1; i <= 3; ++i) EXPECT_EQ(UTL_message_queue_read(q, -1), as_msg(i));
	UTL_message_queue_destroy(q);
}

// Alerts are logged, not shown, under --fps_test; the log goes to the sandbox.
class alert_test : public ::testing::Test {
protected:
	void SetUp() override
	{
		xer.open(box.path("Log.txt"));
		cmdline.options["--fps_test"] = "";
		glExt.threaded_avail = 0;
		THREAD_init();
		ASSERT_EQ(chdir(box.root.c_str()), 0);
	}
	sandbox_class box;
};

void run_on_worker(UTL_thread_func body)
{
	UTL_thread_handle h, j;
	UTL_thread_id id;
	THREAD_create(body, nullptr, &h, &id, &j, 0);
	UTL_thread_join(h, j);
}

TEST_F(alert_test, a_notice_from_a_worker_is_reported_by_the_main_thread)
{
	static int went_on = 0;
	run_on_worker([](void*) -> void* {
		__MACIBM_alert(0, "one", "two", "three", "four", t_alert, "unit", 42);
		went_on = 1;
		return nullptr;
	});
	EXPECT_EQ(went_on, 1);
	EXPECT_EQ(box.read("Log.txt").find("one"), std::string::npos); // nothing shown from the worker itself
	THREAD_check_exception(1);
	xer.flush();
	EXPECT_NE(box.read("Log.txt").find("one\ntwo\nthree\nfour\n(unit line 42)\n"), std::string::npos);
	THREAD_check_exception(0);
}

TEST_F(alert_test, a_fatal_alert_from_a_worker_ends_the_worker_and_then_the_program)
{
	EXPECT_EXIT(
		{
			static int went_on = 0;
			run_on_worker([](void*) -> void* {
				__MACIBM_alert(0, "fatal", "", "", "", t_exit, "unit", 7);
				went_on = 1;
				return nullptr;
			});
			if (went_on) exit(3);
			THREAD_check_exception(0);
			exit(4);
		},
		::testing::ExitedWithCode(1), "");
	EXPECT_NE(box.read("Log.txt").find("fatal\n\n\n\n(unit line 7)\n"), std::string::npos);
	EXPECT_TRUE(box.exists("stack_crawl.txt"));
}

TEST_F(alert_test, an_exception_thrown_by_a_worker_becomes_a_fatal_alert)
{
	EXPECT_EXIT(
		{
			run_on_worker([](void*) -> void* { throw std::runtime_error("disk on fire"); });
			THREAD_check_exception(1);
			exit(4);
		},
		::testing::ExitedWithCode(1), "");
	EXPECT_NE(box.read("Log.txt").find("Caught an unhandled C++ exception\ndisk on fire\n\n\n(HL_THREAD line 366)\n"),
	          std::string::npos);
}

TEST_F(alert_test, the_pool_starts_one_worker_a_processor_and_shuts_down_cleanly)
{
	THREAD_make_workers();
	THREAD_shutdown();
	xer.flush();
	std::string log = box.read("Log.txt");
	EXPECT_NE(log.find("CPU count        : "), std::string::npos);
	EXPECT_NE(log.find("Clean exit from threads.\n"), std::string::npos);
	EXPECT_EQ(log.find("Wait on thread"), std::string::npos);
}

struct job_struct {
	intptr_t n = 0;
	int on_main = -1;
	std::string held; // what the job logged, as the worker hands it over
};

void* square(void* arg)
{
	job_struct& job = *static_cast<job_struct*>(arg);
	job.on_main = THREAD_is_main_thread();
	xer_here() << "job " << job.n << "\n";
	job.held = xer_take_held();
	return as_msg(job.n * job.n);
}

// Calls handed to the pool run on its workers and come back with their results, the records
// serving again; what a worker logs is held for the main thread. Without workers a call runs at once.
TEST_F(alert_test, calls_handed_to_the_pool_run_on_workers_and_return_their_results)
{
	THREAD_make_workers();
	std::vector<job_struct> jobs(8);
	std::vector<THREAD_call*> calls;
	for (size_t i = 0; i < jobs.size(); ++i) {
		jobs[i].n = intptr_t(i) + 1;
		calls.push_back(THREAD_start_call(square, &jobs[i]));
	}
	for (size_t i = 0; i < jobs.size(); ++i) {
		void* result = nullptr;
		ASSERT_EQ(THREAD_finish_call(calls[i], -1, &result), 1);
		EXPECT_EQ(result, as_msg(jobs[i].n * jobs[i].n));
		EXPECT_EQ(jobs[i].on_main, 0);
		EXPECT_EQ(jobs[i].held, "job " + std::to_string(jobs[i].n) + "\n");
	}
	THREAD_call* again = THREAD_start_call(square, &jobs[0]);
	EXPECT_NE(std::find(calls.begin(), calls.end(), again), calls.end());
	EXPECT_EQ(THREAD_finish_call(again, -1), 1);
	THREAD_shutdown();
	xer.flush();
	EXPECT_EQ(box.read("Log.txt").find("job "), std::string::npos);

	job_struct alone;
	THREAD_call* call = THREAD_start_call(square, &alone);
	EXPECT_EQ(alone.on_main, 1);
	EXPECT_EQ(THREAD_finish_call(call, 0), 1);
}

} // namespace

namespace {

TEST(thread_init, lock_main_thread_ties_the_main_thread_to_the_first_processor)
{
	sandbox_class box;
	xer.open(box.path("Log.txt"));
	cmdline.options["--lock_main_thread"] = "";
	THREAD_init();
	xer.flush();
	std::string log = box.read("Log.txt");
	EXPECT_EQ(log.rfind("Thread affinity was ", 0), 0u);
	EXPECT_EQ(log.substr(log.size() - 11), " is now 1.\n");
	cpu_set_t now;
	sched_getaffinity(0, sizeof now, &now);
	EXPECT_EQ(CPU_COUNT(&now), 1);
	EXPECT_TRUE(CPU_ISSET(0, &now));
}

} // namespace
