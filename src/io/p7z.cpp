#include "io/p7z.h"

#include <archive_entry.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <new>

#include "io/IO_UTILS.h"

static const char* const unit = "p7z";

static const size_t read_size = 1 << 17;
static const size_t chunk_size = 1 << 20;

struct p7z_stream_struct {
	int fd = -1;
	std::unique_ptr<char[]> buf{new char[read_size]};
};

la_ssize_t SzFileReadImp(struct archive* reader, void* stream, const void** buf)
{
	p7z_stream_struct* s = (p7z_stream_struct*)stream;
	ssize_t n;
	do n = read(s->fd, s->buf.get(), read_size);
	while (n < 0 && errno == EINTR);
	if (n < 0) archive_set_error(reader, errno, "read failed");
	*buf = s->buf.get();
	return n;
}

la_int64_t SzFileSeekImp(struct archive*, void* stream, la_int64_t offset, int whence)
{
	off_t pos = lseek(((p7z_stream_struct*)stream)->fd, offset, whence);
	return pos < 0 ? ARCHIVE_FATAL : pos;
}

// Decodes the current item into `out_path`.
static int extract_item(struct archive* reader, const std::string& out_path, char* buf)
{
	replace_file_class out(out_path);
	if (int err = out.open()) return err;
	for (;;) {
		la_ssize_t n = archive_read_data(reader, buf, chunk_size);
		if (n < 0) return set_err_loc(20002, unit, __LINE__);
		if (n == 0) break;
		if (int err = out.write(buf, (size_t)n)) return err;
	}
	return out.commit();
}

static int extract_items(struct archive* reader, const std::string& out_directory)
{
	std::unique_ptr<char[]> buf(new (std::nothrow) char[chunk_size]);
	if (!buf) return set_err_loc(12, unit, __LINE__);
	for (;;) {
		struct archive_entry* item;
		int rc = archive_read_next_header(reader, &item);
		if (rc == ARCHIVE_EOF) return 0;
		if (rc < ARCHIVE_WARN) return set_err_loc(20001, unit, __LINE__);
		if (archive_entry_filetype(item) == AE_IFDIR) continue;
		// Links could point anywhere; only plain files with names inside the folder are written.
		const char* name = archive_entry_pathname_utf8(item);
		if (!name) name = archive_entry_pathname(item);
		if (archive_entry_filetype(item) != AE_IFREG || archive_entry_hardlink(item) || !name ||
		    !entry_name_stays_inside(name))
			return set_err_loc(20001, unit, __LINE__);
		if (int err = extract_item(reader, out_directory + name, buf.get())) return err;
	}
}

int p7z_to_file(const std::string& zip_file, const std::string& out_directory)
{
	p7z_stream_struct stream;
	stream.fd = open(zip_file.c_str(), O_RDONLY | O_CLOEXEC);
	if (stream.fd < 0) return set_err_loc(errno, unit, __LINE__);
	struct archive* reader = archive_read_new();
	int err;
	if (!reader) {
		err = set_err_loc(12, unit, __LINE__);
	} else {
		archive_read_support_format_7zip(reader);
		archive_read_set_read_callback(reader, SzFileReadImp);
		archive_read_set_seek_callback(reader, SzFileSeekImp);
		archive_read_set_callback_data(reader, &stream);
		err = archive_read_open1(reader) == ARCHIVE_OK ? extract_items(reader, out_directory)
		                                               : set_err_loc(20001, unit, __LINE__);
		archive_read_free(reader);
	}
	close(stream.fd);
	return err;
}
