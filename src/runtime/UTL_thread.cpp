#include "runtime/UTL_thread.h"

#include <errno.h>
#include <pthread.h>
#include <semaphore.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "shell/hl_alert.h"

struct UTL_thread_handle_struct {
	pthread_t thread;
};

struct UTL_semaphore_struct {
	sem_t sem;
};

static const unsigned max_queued_messages = 100000;

// The operating system's failures here are fatal: the program cannot go on without its threads.
static void os_error(const char* what, int err, int line)
{
	if (err == 0) return;
	char num[64];
	snprintf(num, sizeof num, "err=%f", double(err));
	__MACIBM_alert(0, what, num, "", "", t_exit, "UTL_thread", line);
}

UTL_thread_id UTL_get_current_thread() { return UTL_thread_id(pthread_self()); }

int UTL_count_processors()
{
	long n = sysconf(_SC_NPROCESSORS_ONLN);
	return n > 0 ? int(n) : 1;
}

void UTL_thread_create(UTL_thread_func body, void* arg, UTL_thread_handle* out_handle, UTL_thread_id* out_id,
                       UTL_thread_handle* out_join)
{
	UTL_thread_handle h = new UTL_thread_handle_struct;
	int err = pthread_create(&h->thread, nullptr, body, arg);
	if (err) {
		delete h;
		os_error("\"CreateThread\" OS error", err, 106);
		return;
	}
	*out_handle = h;
	*out_join = h;
	if (out_id) *out_id = UTL_thread_id(h->thread);
}

void* UTL_thread_join(UTL_thread_handle handle, UTL_thread_handle)
{
	struct timespec deadline;
	clock_gettime(CLOCK_REALTIME, &deadline);
	deadline.tv_sec += 5;
	void* result = nullptr;
	int err = pthread_timedjoin_np(handle->thread, &result, &deadline);
	if (err) {
		pthread_detach(handle->thread);
		delete handle;
		errno = err;
		return reinterpret_cast<void*>(intptr_t(-1));
	}
	delete handle;
	return result;
}

void UTL_thread_exit(void* value) { pthread_exit(value); }

void UTL_critical_section_create(UTL_critical_section*) {}
void UTL_critical_section_destroy(UTL_critical_section*) {}
void UTL_critical_section_lock(UTL_critical_section* cs) { cs->m.lock(); }
void UTL_critical_section_unlock(UTL_critical_section* cs) { cs->m.unlock(); }

void UTL_message_queue_create(UTL_message_queue** out_queue)
{
	UTL_message_queue* q = new UTL_message_queue;
	q->queue = new UTL_semaphore_struct;
	if (sem_init(&q->queue->sem, 0, 0) != 0) os_error("\"CreateSemaphore\" OS error", errno, 261);
	*out_queue = q;
}

void UTL_message_queue_destroy(UTL_message_queue* queue)
{
	sem_destroy(&queue->queue->sem);
	delete queue->queue;
	delete queue;
}

void UTL_message_queue_write(UTL_message_queue* queue, void* message)
{
	UTL_critical_section_lock(&queue->lock);
	queue->messages.push_back(message);
	UTL_critical_section_unlock(&queue->lock);
	int value = 0;
	sem_getvalue(&queue->queue->sem, &value);
	if (unsigned(value) >= max_queued_messages) {
		os_error("\"MPNotifyQueue\" OS error", EOVERFLOW, 311);
		return;
	}
	if (sem_post(&queue->queue->sem) != 0) os_error("\"MPNotifyQueue\" OS error", errno, 311);
}

// Waits on the semaphore; false when the wait ran out.
static bool wait_for_message(sem_t* sem, int wait_ms)
{
	int rc;
	if (wait_ms < 0) {
		while ((rc = sem_wait(sem)) != 0 && errno == EINTR) {}
	} else if (wait_ms == 0) {
		rc = sem_trywait(sem);
		if (rc != 0 && errno == EAGAIN) return false;
	} else {
		struct timespec deadline;
		clock_gettime(CLOCK_REALTIME, &deadline);
		deadline.tv_sec += wait_ms / 1000;
		deadline.tv_nsec += long(wait_ms % 1000) * 1000000L;
		if (deadline.tv_nsec >= 1000000000L) {
			deadline.tv_sec += 1;
			deadline.tv_nsec -= 1000000000L;
		}
		while ((rc = sem_timedwait(sem, &deadline)) != 0 && errno == EINTR) {}
		if (rc != 0 && errno == ETIMEDOUT) return false;
	}
	if (rc != 0) os_error("\"WaitForSingleObject\" OS error", errno, 345);
	return rc == 0;
}

void* UTL_message_queue_read(UTL_message_queue* queue, int wait_ms)
{
	if (!wait_for_message(&queue->queue->sem, wait_ms)) return nullptr;
	UTL_critical_section_lock(&queue->lock);
	void* m = queue->messages.front();
	queue->messages.pop_front();
	UTL_critical_section_unlock(&queue->lock);
	return m;
}
