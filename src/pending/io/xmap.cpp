#include "io/xmap.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

xmap_class::xmap_class(const std::string& path)
{
	if (!path.empty()) retry(path);
}

xmap_class::~xmap_class()
{
	if (mBegin) munmap(const_cast<char*>(mBegin), size_t(mEnd - mBegin));
}

const char* xmap_class::retry(const std::string& path)
{
	if (mBegin) munmap(const_cast<char*>(mBegin), size_t(mEnd - mBegin));
	mBegin = mCrt = mEnd = nullptr;
	const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
	if (fd < 0) return nullptr;
	struct stat st;
	void* view = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0
	                 ? mmap(nullptr, size_t(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0)
	                 : MAP_FAILED;
	close(fd);
	if (view == MAP_FAILED) return nullptr;
	mBegin = mCrt = static_cast<const char*>(view);
	mEnd = mBegin + st.st_size;
	return mBegin;
}
