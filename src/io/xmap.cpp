#include "io/xmap.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "io/IO_UTILS.h"
#include "shell/hl_alert.h"
#include "shell/hl_init.h"

static const char* const unit = "xmap";

xmap_class::xmap_class(const std::string& path)
{
	if (!path.empty()) retry(path);
}

xmap_class::~xmap_class() { release(); }

void xmap_class::release()
{
	if (mBegin) munmap((void*)mBegin, size_t(mEnd - mBegin));
	mBegin = mCrt = mEnd = nullptr;
}

const char* xmap_class::retry(const std::string& path)
{
	if (has_foreign_separator(path))
		__MACIBM_alert(0, "OOPS!", "I got a bad dirchar! I only want '/'!", "The path in question is:", path,
		               t_exit, unit, __LINE__);
	check_len(path);
	release();

	// The mapping outlives its descriptor, so the file is closed as soon as it is mapped.
	int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
	if (fd < 0) return nullptr;
	struct stat st;
	if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size == 0) {
		close(fd);
		return nullptr;
	}
	void* view = mmap(nullptr, (size_t)st.st_size, PROT_READ, MAP_PRIVATE, fd, 0);
	int err = errno;
	close(fd);
	if (view == MAP_FAILED) {
		__MACIBM_alert(0, "Xmapped file ran out of memory", "", "", "", t_alert, unit, __LINE__);
		xer_here() << "Mem file error.  Err=" << err << ", file=" << path << "\n";
		return nullptr;
	}
	// Every reader walks the whole file front to back.
	madvise(view, (size_t)st.st_size, MADV_SEQUENTIAL);
	mBegin = mCrt = (const char*)view;
	mEnd = mBegin + st.st_size;
	return mBegin;
}

int xmap_class::match_here(const char* word, bool eol_ends)
{
	size_t len = strlen(word);
	const char* after = mCrt + len;
	bool ok = size_t(mEnd - mCrt) >= len && memcmp(mCrt, word, len) == 0 &&
	          (after < mEnd ? (is_white(*after) || (eol_ends && is_eol(*after))) : eol_ends);
	if (ok) mCrt = after;
	return ok;
}

int xmap_class::check_file(int type, const int* versions, const char* tag, std::string* header_text)
{
	if (type != bin_code_binary && type != bin_code_text)
		__MACIBM_alert(0, "Bad check_file type!", "", "", "", t_exit, unit, __LINE__);
	if (!mBegin || mBegin == mEnd) return 0;
	mCrt = mBegin;

	int marker = read_byte(), version;
	if (type == bin_code_text) {
		skip_line();
		if (marker != 'A' && marker != 'I') return 0;
		version = read_int();
		std::string rest = read_rest();
		if (header_text) *header_text = rest;
		skip_eol();
	} else {
		if (marker != 'a' && marker != 'i') return 0;
		rev_inf_bin = marker == 'a';
		version = read_int_bin();
	}

	bool known = false;
	for (const int* v = versions; *v; ++v) known = known || *v == version;
	if (!known) return 0;
	if (!tag) return version;

	const char* before = mCrt;
	skip_white();
	if (!match_here(tag, true)) {
		mCrt = before;
		return 0;
	}
	skip_line();
	return version;
}
