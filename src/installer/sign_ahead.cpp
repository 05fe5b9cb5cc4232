#include "installer/sign_ahead.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "io/IO_UTILS.h"
#include "io/md5.h"
#include "runtime/UTL_thread.h"

sign_ahead_class::sign_ahead_class(size_t count_in, std::function<std::string(size_t)> path_of_in)
	: count(count_in), path_of(std::move(path_of_in)), slots(new slot_struct[window])
{
	size_t n = std::min<size_t>(std::max(1, UTL_count_processors()), count);
	for (size_t k = 0; k < n; ++k) workers.emplace_back([this] { work(); });
}

sign_ahead_class::~sign_ahead_class()
{
	stopping = true;
	taken.fetch_add(window);
	taken.notify_all();
	for (std::thread& t : workers) t.join();
}

void sign_ahead_class::work()
{
	while (!stopping) {
		size_t i = next_claim.fetch_add(1);
		if (i >= count) return;
		// The slot is free once the caller has taken the file that used it before.
		for (size_t t = taken.load(); i >= t + window; t = taken.load()) {
			if (stopping) return;
			taken.wait(t);
		}
		if (stopping) return;
		sign(i, slots[i % window]);
	}
}

// A worker signs only readable, non-empty regular files with plain paths. Everything else goes back
// to the caller, so that missing files and bad paths are reported on the main thread as they would
// be without the workers.
void sign_ahead_class::sign(size_t i, slot_struct& s)
{
	std::string path = path_of(i);
	struct stat st;
	bool plain = path.size() <= max_path_len && path.find_first_of("\\:") == std::string::npos;
	int state = slot_for_caller;
	if (plain && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 && access(path.c_str(), R_OK) == 0) {
		s.sig.clear();
		state = calc_file_md5(path, s.sig) == 0 ? slot_signed : slot_for_caller;
	}
	s.state = state;
	s.state.notify_one();
}

void sign_ahead_class::take(size_t i, std::string& sig)
{
	slot_struct& s = slots[i % window];
	for (int st = s.state; st == slot_pending; st = s.state) s.state.wait(slot_pending);
	if (s.state == slot_signed)
		sig = s.sig;
	else
		calc_file_md5(path_of(i), sig);
	s.state = slot_pending;
	taken = i + 1;
	taken.notify_all();
}
