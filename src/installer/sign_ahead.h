#pragma once
// Signs the files of a list ahead of the caller on worker threads, one per processor, so that the
// caller can walk the list in order and mostly find each signature ready.
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class sign_ahead_class {
public:
	// path_of(i) names file i; it is called from the workers and must only read.
	sign_ahead_class(size_t count, std::function<std::string(size_t)> path_of);
	~sign_ahead_class();
	sign_ahead_class(const sign_ahead_class&) = delete;
	sign_ahead_class& operator=(const sign_ahead_class&) = delete;

	// Sets sig to the signature of file i as calc_file_md5 would, leaving it as it was when the file
	// has none. Files are taken in order, each once.
	void take(size_t i, std::string& sig);

private:
	enum { window = 1024 }; // how far the workers may run ahead of the caller
	// A slot is pending until a worker has looked at its file; awaited while the caller waits for it.
	enum { slot_pending, slot_awaited, slot_signed, slot_unsigned, slot_for_caller };
	struct slot_struct {
		std::atomic<int> state{slot_pending};
		std::string sig;
		std::string log; // what signing logged on the worker, for the caller to write
	};

	void work();
	void sign(size_t i, slot_struct& s);

	size_t count;
	std::function<std::string(size_t)> path_of;
	std::unique_ptr<slot_struct[]> slots;
	std::atomic<size_t> next_claim{0};
	std::atomic<size_t> taken{0};
	std::atomic<int> ahead_waiters{0}; // workers waiting for the caller to take files
	std::atomic<bool> stopping{false};
	std::vector<std::thread> workers;
};
