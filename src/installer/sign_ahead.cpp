#include "installer/sign_ahead.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "io/IO_UTILS.h"
#include "io/md5.h"
#include "runtime/UTL_thread.h"
#include "shell/hl_init.h"

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
		for (size_t t = taken; i >= t + window; t = taken) {
			if (stopping) return;
			++ahead_waiters;
			taken.wait(t);
			--ahead_waiters;
		}
		if (stopping) return;
		sign(i, slots[i % window]);
	}
}

// A worker signs readable regular files with plain paths, and knows that a missing or empty file
// has no signature. Everything else goes back to the caller, so that odd files and bad paths are
// handled on the main thread as they would be without the workers.
void sign_ahead_class::sign(size_t i, slot_struct& s)
{
	std::string path = path_of(i);
	bool plain = path.size() <= max_path_len && !strpbrk(path.c_str(), "\\:");
	struct stat st;
	int found = plain ? stat(path.c_str(), &st) : -1;
	bool regular = found == 0 && S_ISREG(st.st_mode);
	int state = slot_for_caller;
	if ((plain && found != 0 && (errno == ENOENT || errno == ENOTDIR)) || (regular && st.st_size == 0))
		state = slot_unsigned;
	else if (regular && access(path.c_str(), R_OK) == 0 && calc_file_md5(path, s.sig) == 0)
		state = slot_signed;
	s.log = xer_take_held();
	if (s.state.exchange(state) == slot_awaited) s.state.notify_one();
}

void sign_ahead_class::take(size_t i, std::string& sig)
{
	slot_struct& s = slots[i % window];
	int state = slot_pending;
	if (s.state.compare_exchange_strong(state, slot_awaited)) state = slot_awaited;
	for (; state == slot_awaited; state = s.state) s.state.wait(slot_awaited);
	xer << s.log;
	if (state == slot_signed)
		sig = s.sig;
	else if (state == slot_for_caller)
		calc_file_md5(path_of(i), sig);
	s.state = slot_pending;
	taken = i + 1;
	if (ahead_waiters) taken.notify_all();
}
