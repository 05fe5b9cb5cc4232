#pragma once
#include <string>

// The description of an image in memory and what every texture goes through on its way to OpenGL:
// its storage size, the box-filter reduction and the vertical flip (also of S3TC-compressed images).

struct TEX_image_desc {
	unsigned format = 0; // GL_ALPHA, GL_RGB, GL_RGBA, GL_BGR, GL_BGRA, GL_DEPTH_COMPONENT or an S3TC format
	int width = 0;       // pixels of the first level
	int height = 0;
	int padding = 0;     // extra bytes at the end of every row
	int has_mips = 0;    // the buffer holds the whole mipmap chain after the first level
};

// The largest image the decode buffers hold: 2048 x 2048 pixels of 4 bytes.
constexpr int TEX_max_image_bytes = 16777216;

int TEX_next_power_of_two(int n);
int TEX_bytes_per_pixel(unsigned format); // 0 for a compressed or unknown format
int TEX_is_compressed(unsigned format);   // one of the four S3TC formats
int TEX_bytes_needed_for_image(const TEX_image_desc& desc);
// Averages x_factor by y_factor blocks in place; width, height and padding shrink by the factors.
void TEX_downscale(TEX_image_desc& desc, unsigned char* io_mem, int x_factor, int y_factor);
// Turns the image upside down in place; non-zero when a DXT1 image turns out to use its transparent colour.
int TEX_flip_y(const TEX_image_desc& src_image, unsigned char* src_bytes);

// The pixel buffer of an image reader: rows of desired_span pixels (at least the width), or of the next
// power of two above the width with a power-of-two number of rows when span_power_of_two is set. Fills
// out_desc, allocates the buffer with new[] when io_storage is null and clears it when the picture does
// not fill it. Returns 0 (and logs) when the buffer would exceed TEX_max_image_bytes.
int TEX_prepare_buffer(const std::string& path, unsigned format, int bpp, int width, int height, int desired_span,
                       int span_power_of_two, unsigned char*& io_storage, TEX_image_desc& out_desc);
