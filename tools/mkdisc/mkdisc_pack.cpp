#include "mkdisc_pack.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <minizip/zip.h>
#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

static const size_t chunk_bytes = 1 << 20;
static const uLong zip_made_by_unix = (3 << 8) | 20; // so that unzip restores the permission bits

[[noreturn]] static void fail(const std::string& what) { throw std::runtime_error(what); }

[[noreturn]] static void fail_errno(const std::string& what) { fail(what + ": " + strerror(errno)); }

bool pack_is_7z(const std::string& archive_path)
{
	return archive_path.size() >= 3 && archive_path.compare(archive_path.size() - 3, 3, ".7z") == 0;
}

// Feeds the file to `sink` chunk by chunk; returns the number of bytes read.
static uint64_t read_chunks(const std::string& path, const std::function<void(const char*, size_t)>& sink)
{
	int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
	if (fd < 0) fail_errno("cannot read '" + path + "'");
	std::unique_ptr<int, void (*)(int*)> closer(&fd, [](int* f) { close(*f); });
	std::vector<char> buf(chunk_bytes);
	uint64_t total = 0;
	for (;;) {
		ssize_t n = read(fd, buf.data(), buf.size());
		if (n < 0 && errno == EINTR) continue;
		if (n < 0) fail_errno("cannot read '" + path + "'");
		if (n == 0) return total;
		sink(buf.data(), size_t(n));
		total += uint64_t(n);
	}
}

class md5_class {
public:
	md5_class() : ctx(EVP_MD_CTX_new(), EVP_MD_CTX_free)
	{
		if (!ctx || EVP_DigestInit_ex(ctx.get(), EVP_md5(), nullptr) != 1) fail("MD5 is not available");
	}
	void add(const char* data, size_t len) { EVP_DigestUpdate(ctx.get(), data, len); }
	std::string hex()
	{
		unsigned char digest[EVP_MAX_MD_SIZE];
		unsigned int len = 0;
		EVP_DigestFinal_ex(ctx.get(), digest, &len);
		static const char digits[] = "0123456789abcdef";
		std::string out;
		for (unsigned int i = 0; i < len; i++) {
			out += digits[digest[i] >> 4];
			out += digits[digest[i] & 15];
		}
		return out;
	}

private:
	std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)> ctx;
};

// An archive with one member being written: begun by the constructor, fed by `write`, completed by
// `finish`. An archive left unfinished is closed by the destructor and is not valid.
class pack_writer_class {
public:
	pack_writer_class(const std::string& archive_path, const pack_member_struct& member);
	~pack_writer_class();
	pack_writer_class(const pack_writer_class&) = delete;
	pack_writer_class& operator=(const pack_writer_class&) = delete;

	void write(const char* data, size_t len);
	void finish();

private:
	void open_zip(const pack_member_struct& member);
	void open_7z(const pack_member_struct& member);
	[[noreturn]] void fail_7z();

	std::string path;
	zipFile zip = nullptr;
	struct archive* arc = nullptr;
};

pack_writer_class::pack_writer_class(const std::string& archive_path, const pack_member_struct& member)
	: path(archive_path)
{
	if (pack_is_7z(path))
		open_7z(member);
	else
		open_zip(member);
}

pack_writer_class::~pack_writer_class()
{
	if (zip) zipClose(zip, nullptr);
	if (arc) archive_write_free(arc);
}

void pack_writer_class::open_zip(const pack_member_struct& member)
{
	errno = 0;
	zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
	if (!zip) fail_errno("cannot create '" + path + "'");
	struct tm t {};
	localtime_r(&member.mtime, &t);
	zip_fileinfo info{};
	// zip dates start in 1980
	info.tmz_date = {uInt(t.tm_sec), uInt(t.tm_min), uInt(t.tm_hour), uInt(t.tm_mday), uInt(t.tm_mon),
	                 uInt(t.tm_year + 1900)};
	if (t.tm_year + 1900 < 1980) info.tmz_date = {0, 0, 0, 1, 0, 1980};
	info.external_fa = uLong(S_IFREG | (member.perm & 0777)) << 16;
	int err = zipOpenNewFileInZip4_64(zip, member.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
	                                  Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr,
	                                  0, zip_made_by_unix, 0, member.size >= 0xffffffffu);
	if (err != ZIP_OK) fail_errno("cannot write '" + path + "'");
}

void pack_writer_class::open_7z(const pack_member_struct& member)
{
	arc = archive_write_new();
	if (!arc) fail("out of memory");
	// lzma1 is the method every 7z decoder reads
	if (archive_write_set_format_7zip(arc) != ARCHIVE_OK ||
	    archive_write_set_format_option(arc, "7zip", "compression", "lzma1") != ARCHIVE_OK ||
	    archive_write_open_filename(arc, path.c_str()) != ARCHIVE_OK)
		fail_7z();
	std::unique_ptr<archive_entry, void (*)(archive_entry*)> entry(archive_entry_new(), archive_entry_free);
	archive_entry_set_pathname_utf8(entry.get(), member.name.c_str());
	archive_entry_set_filetype(entry.get(), AE_IFREG);
	archive_entry_set_perm(entry.get(), member.perm & 0777);
	archive_entry_set_size(entry.get(), la_int64_t(member.size));
	archive_entry_set_mtime(entry.get(), member.mtime, 0);
	if (archive_write_header(arc, entry.get()) != ARCHIVE_OK) fail_7z();
}

void pack_writer_class::fail_7z()
{
	const char* why = arc ? archive_error_string(arc) : nullptr;
	fail("cannot write '" + path + "': " + (why ? why : "unknown error"));
}

void pack_writer_class::write(const char* data, size_t len)
{
	if (zip) {
		if (zipWriteInFileInZip(zip, data, unsigned(len)) != ZIP_OK) fail_errno("cannot write '" + path + "'");
		return;
	}
	while (len > 0) {
		la_ssize_t n = archive_write_data(arc, data, len);
		if (n <= 0) fail_7z();
		data += n;
		len -= size_t(n);
	}
}

void pack_writer_class::finish()
{
	if (zip) {
		int err = zipCloseFileInZip(zip);
		int err_close = zipClose(zip, nullptr);
		zip = nullptr;
		if (err != ZIP_OK || err_close != ZIP_OK) fail_errno("cannot write '" + path + "'");
		return;
	}
	if (archive_write_close(arc) != ARCHIVE_OK) fail_7z();
	archive_write_free(arc);
	arc = nullptr;
}

pack_sum_struct pack_md5_file(const std::string& path)
{
	md5_class md5;
	pack_sum_struct sum;
	sum.size = read_chunks(path, [&](const char* data, size_t len) { md5.add(data, len); });
	sum.sig = md5.hex();
	return sum;
}

pack_sum_struct pack_file(const std::string& src_path, const pack_member_struct& member, const std::string& archive_path)
{
	pack_writer_class writer(archive_path, member);
	md5_class md5;
	pack_sum_struct sum;
	sum.size = read_chunks(src_path, [&](const char* data, size_t len) {
		md5.add(data, len);
		writer.write(data, len);
	});
	// the member's size went into the archive before its bytes
	if (sum.size != member.size) fail("'" + src_path + "' changed while it was being read");
	writer.finish();
	sum.sig = md5.hex();
	return sum;
}

void pack_text(const std::string& content, const pack_member_struct& member, const std::string& archive_path)
{
	pack_writer_class writer(archive_path, member);
	writer.write(content.data(), content.size());
	writer.finish();
}
