#pragma once
// Image files made for the readers' tests, and a diagnostics log captured into a temporary folder.
#include <cstdint>
#include <string>
#include <vector>

#include "support/sandbox.h"

// A 24-bit BMP; `rgb` holds width x height pixels, top row first (the file stores them bottom row first).
std::string bmp_file(int width, int height, const std::vector<uint8_t>& rgb);
// A PNG of 1 (grey), 3 (RGB) or 4 (RGBA) channels; pixels top row first. A non-zero `gamma` is written
// as the file's gamma chunk.
std::string png_file(int width, int height, int channels, const std::vector<uint8_t>& pixels, double gamma = 0);
// A DDS holding `data` after its header. `fourcc` is "DXT1", "DXT3", "DXT5", or empty for uncompressed
// pixels of `bits` (with alpha when 32).
std::string dds_file(const char* fourcc, int width, int height, bool mips, const std::string& data, int bits = 32);
// S3TC blocks of an RGBA image (top row first) and, with `mips`, of its halvings down to 1 x 1.
std::string s3tc_chain(int squish_flags, int width, int height, const std::vector<uint8_t>& rgba, bool mips);
// RGBA pixels (row 0 first) that the S3TC data of one level decodes to.
std::vector<uint8_t> s3tc_decode(int squish_flags, int width, int height, const unsigned char* blocks);

// Points the diagnostics log into a sandbox and makes alerts log instead of showing (--fps_test).
class log_capture {
public:
	log_capture();
	~log_capture();
	std::string text(); // everything logged so far
	sandbox_class box;
};
