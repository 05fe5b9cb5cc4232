#pragma once
// Threads, recursive locks and message queues over the operating system.
#include <cstdint>
#include <list>
#include <mutex>

typedef uint64_t UTL_thread_id;
typedef void* (*UTL_thread_func)(void*);
struct UTL_thread_handle_struct;
typedef UTL_thread_handle_struct* UTL_thread_handle;

struct UTL_critical_section {
	std::recursive_mutex m;
};

struct UTL_semaphore_struct;

struct UTL_message_queue {
	UTL_critical_section lock;
	UTL_semaphore_struct* queue = nullptr; // counts waiting messages, at most 100000
	std::list<void*> messages;
};

UTL_thread_id UTL_get_current_thread();
int UTL_count_processors();
void UTL_thread_create(UTL_thread_func body, void* arg, UTL_thread_handle* out_handle,
                       UTL_thread_id* out_id, UTL_thread_handle* out_join);
void* UTL_thread_join(UTL_thread_handle handle, UTL_thread_handle join);
[[noreturn]] void UTL_thread_exit(void* value);

void UTL_critical_section_create(UTL_critical_section* cs);
void UTL_critical_section_destroy(UTL_critical_section* cs);
void UTL_critical_section_lock(UTL_critical_section* cs);
void UTL_critical_section_unlock(UTL_critical_section* cs);

void UTL_message_queue_create(UTL_message_queue** out_queue);
void UTL_message_queue_destroy(UTL_message_queue* queue);
void UTL_message_queue_write(UTL_message_queue* queue, void* message);
void* UTL_message_queue_read(UTL_message_queue* queue, int wait_ms);
