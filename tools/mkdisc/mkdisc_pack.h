#pragma once
// One-member archives of the install disc and the MD5 signatures of their contents. Contents are read
// in chunks, so a file of any size passes with little memory. Failures throw std::runtime_error with a
// message for the publisher.
#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <string>

// What the archive records about its one member.
struct pack_member_struct {
	std::string name;   // the member's name: the file's last path component
	uint64_t size = 0;  // expected size, used to choose the zip64 form
	time_t mtime = 0;
	mode_t perm = 0644; // permission bits
};

// Signature and size of a content: 32 lower-case hexadecimal digits and the number of bytes.
struct pack_sum_struct {
	std::string sig;
	uint64_t size = 0;
};

// The signature of the file at `path`.
pack_sum_struct pack_md5_file(const std::string& path);

// Writes `archive_path` (a 7z archive when it ends with ".7z", otherwise a zip archive) holding the file at
// `src_path` as its one member; returns the signature of what it stored.
pack_sum_struct pack_file(const std::string& src_path, const pack_member_struct& member, const std::string& archive_path);

// Writes the zip archive `archive_path` holding `content` as its one member.
void pack_text(const std::string& content, const pack_member_struct& member, const std::string& archive_path);

// True when an archive at this path is a 7z archive.
bool pack_is_7z(const std::string& archive_path);
