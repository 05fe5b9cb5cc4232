#include "image_files.h"

#include <gtest/gtest.h>
#include <png.h>
#include <squish.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "runtime/UTL_cmdline.h"
#include "shell/hl_init.h"

namespace {
void put(std::string& out, uint32_t value, int bytes)
{
	for (int i = 0; i < bytes; ++i) out += char((value >> (8 * i)) & 255);
}
}

std::string bmp_file(int width, int height, const std::vector<uint8_t>& rgb)
{
	const int row = (width * 3 + 3) / 4 * 4;
	std::string out = "BM";
	put(out, 54 + row * height, 4);
	put(out, 0, 4);
	put(out, 54, 4);
	put(out, 40, 4);
	put(out, width, 4);
	put(out, height, 4);
	put(out, 1, 2);
	put(out, 24, 2);
	put(out, 0, 4);
	put(out, row * height, 4);
	put(out, 2835, 4), put(out, 2835, 4), put(out, 0, 4), put(out, 0, 4);
	for (int y = height - 1; y >= 0; --y) {
		for (int x = 0; x < width; ++x) {
			const uint8_t* p = &rgb[(y * width + x) * 3];
			out += char(p[2]), out += char(p[1]), out += char(p[0]);
		}
		out.append(row - width * 3, '\0');
	}
	return out;
}

std::string png_file(int width, int height, int channels, const std::vector<uint8_t>& pixels, double gamma)
{
	std::string out;
	png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
	png_infop info = png_create_info_struct(png);
	png_set_write_fn(
	    png, &out,
	    [](png_structp p, png_bytep data, png_size_t n) {
		    static_cast<std::string*>(png_get_io_ptr(p))->append(reinterpret_cast<char*>(data), n);
	    },
	    nullptr);
	const int type = channels == 1 ? PNG_COLOR_TYPE_GRAY : channels == 3 ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGBA;
	png_set_IHDR(png, info, width, height, 8, type, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
	             PNG_FILTER_TYPE_DEFAULT);
	if (gamma) png_set_gAMA(png, info, gamma);
	png_write_info(png, info);
	for (int y = 0; y < height; ++y) png_write_row(png, pixels.data() + size_t(y) * width * channels);
	png_write_end(png, nullptr);
	png_destroy_write_struct(&png, &info);
	return out;
}

std::string dds_file(const char* fourcc, int width, int height, bool mips, const std::string& data, int bits)
{
	std::string out = "DDS ";
	put(out, 124, 4);
	put(out, 0x1007 | (mips ? 0x20000 : 0), 4); // caps, height, width, pixel format (+ mipmap count)
	put(out, height, 4);
	put(out, width, 4);
	put(out, 0, 4);
	put(out, 0, 4);
	put(out, mips ? 1 + int(std::log2(std::max(width, height))) : 0, 4);
	out.append(44, '\0');
	put(out, 32, 4);
	const bool compressed = fourcc && *fourcc;
	put(out, compressed ? 0x4 : bits == 32 ? 0x41 : 0x40, 4); // four-character code, or RGB (+ alpha)
	out.append(compressed ? fourcc : "\0\0\0\0", 4);
	put(out, compressed ? 0 : bits, 4);
	put(out, 0xFF0000, 4), put(out, 0xFF00, 4), put(out, 0xFF, 4), put(out, 0xFF000000u, 4);
	put(out, 0x1000 | (mips ? 0x400008 : 0), 4);
	out.append(16, '\0');
	return out + data;
}

std::string s3tc_chain(int squish_flags, int width, int height, const std::vector<uint8_t>& rgba, bool mips)
{
	std::string out;
	std::vector<uint8_t> level = rgba;
	for (;;) {
		std::string blocks(squish::GetStorageRequirements(width, height, squish_flags), '\0');
		squish::CompressImage(level.data(), width, height, blocks.data(), squish_flags);
		out += blocks;
		if (!mips || (width == 1 && height == 1)) return out;
		const int w = std::max(1, width / 2), h = std::max(1, height / 2);
		std::vector<uint8_t> half(size_t(w) * h * 4);
		for (int y = 0; y < h; ++y)
			for (int x = 0; x < w; ++x)
				for (int c = 0; c < 4; ++c)
					half[(y * w + x) * 4 + c] = level[((y * height / h) * width + x * width / w) * 4 + c];
		level = half, width = w, height = h;
	}
}

std::vector<uint8_t> s3tc_decode(int squish_flags, int width, int height, const unsigned char* blocks)
{
	std::vector<uint8_t> rgba(size_t(width) * height * 4);
	squish::DecompressImage(rgba.data(), width, height, blocks, squish_flags);
	return rgba;
}

log_capture::log_capture()
{
	xer.close();
	xer.clear();
	xer.open(box.path("Log.txt"));
	cmdline.options["--fps_test"] = "";
	if (chdir(box.root.c_str()) != 0) ADD_FAILURE();
}

log_capture::~log_capture()
{
	xer.close();
	xer.clear();
}

std::string log_capture::text()
{
	xer.flush();
	return box.read("Log.txt");
}
