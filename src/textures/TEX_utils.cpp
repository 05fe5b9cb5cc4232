#include "textures/TEX_utils.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <squish.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "shell/colr.h"
#include "shell/hl_alert.h"
#include "shell/hl_init.h"

int TEX_next_power_of_two(int n)
{
	int p = 1;
	while (p < n) p *= 2;
	return p;
}

int TEX_bytes_per_pixel(unsigned format)
{
	switch (format) {
	case GL_ALPHA: return 1;
	case GL_RGB:
	case GL_BGR: return 3;
	case GL_RGBA:
	case GL_BGRA:
	case GL_DEPTH_COMPONENT: return 4;
	default: return 0;
	}
}

int TEX_is_compressed(unsigned format)
{
	return format == GL_COMPRESSED_RGB_S3TC_DXT1_EXT || format == GL_COMPRESSED_RGBA_S3TC_DXT1_EXT ||
	       format == GL_COMPRESSED_RGBA_S3TC_DXT3_EXT || format == GL_COMPRESSED_RGBA_S3TC_DXT5_EXT;
}

static int squish_flags(unsigned format)
{
	if (format == GL_COMPRESSED_RGBA_S3TC_DXT3_EXT) return squish::kDxt3;
	if (format == GL_COMPRESSED_RGBA_S3TC_DXT5_EXT) return squish::kDxt5;
	return squish::kDxt1;
}

static int level_bytes(const TEX_image_desc& desc, int w, int h)
{
	if (TEX_is_compressed(desc.format)) return squish::GetStorageRequirements(w, h, squish_flags(desc.format));
	if (desc.format == GL_DEPTH_COMPONENT) return w * 4 * h;
	const int bpp = TEX_bytes_per_pixel(desc.format);
	return bpp ? (w * bpp + desc.padding) * h : 0;
}

// Calls fn(w, h, bytes) for every level the image holds, largest first.
template <typename F> static void for_each_level(const TEX_image_desc& desc, F fn)
{
	int w = desc.width, h = desc.height;
	for (;;) {
		fn(w, h, level_bytes(desc, w, h));
		if (!desc.has_mips || (w == 1 && h == 1)) return;
		w = std::max(1, w / 2);
		h = std::max(1, h / 2);
	}
}

int TEX_bytes_needed_for_image(const TEX_image_desc& desc)
{
	int total = 0;
	for_each_level(desc, [&](int, int, int bytes) { total += bytes; });
	return total;
}

void TEX_downscale(TEX_image_desc& desc, unsigned char* io_mem, int x_factor, int y_factor)
{
	const int bpp = TEX_bytes_per_pixel(desc.format);
	const int src_stride = desc.width * bpp + desc.padding;
	const int dx = desc.width / x_factor, dy = desc.height / y_factor;
	const int padding = desc.padding / x_factor; // the row span shrinks with the picture
	const int dst_stride = dx * bpp + padding;
	const int samples = x_factor * y_factor;
	// Every destination pixel lies at or before the first byte of its source block, so working forward
	// never overwrites a pixel that is still to be read.
	for (int y = 0; y < dy; ++y)
		for (int x = 0; x < dx; ++x)
			for (int c = 0; c < bpp; ++c) {
				int sum = 0;
				const unsigned char* block = io_mem + y * y_factor * src_stride + x * x_factor * bpp + c;
				for (int j = 0; j < y_factor; ++j)
					for (int i = 0; i < x_factor; ++i)
						sum += block[j * src_stride + i * bpp];
				io_mem[y * dst_stride + x * bpp + c] = static_cast<unsigned char>(sum / samples);
			}
	desc.width = dx;
	desc.height = dy;
	desc.padding = padding;
}

static void flip_rows(unsigned char* bytes, int row_bytes, int rows)
{
	for (int i = 0; i < rows / 2; ++i)
		std::swap_ranges(bytes + i * row_bytes, bytes + (i + 1) * row_bytes, bytes + (rows - 1 - i) * row_bytes);
}

static unsigned gamma_565(unsigned c)
{
	const unsigned r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
	const unsigned r8 = colr.win_gamma[(r << 3) | (r >> 2)];
	const unsigned g8 = colr.win_gamma[(g << 2) | (g >> 4)];
	const unsigned b8 = colr.win_gamma[(b << 3) | (b >> 2)];
	return ((r8 >> 3) << 11) | ((g8 >> 2) << 5) | (b8 >> 3);
}

// Flips the colour part of one S3TC block (8 bytes): the first `rows` index rows are reversed, and the
// endpoints are gamma-corrected without changing what the block decodes to.
static void flip_colour_block(unsigned char* p, int rows, bool dxt1)
{
	std::reverse(p + 4, p + 4 + rows);
	if (!colr.has_gamma) return;
	const unsigned c0 = p[0] | (p[1] << 8), c1 = p[2] | (p[3] << 8);
	const bool four_colour_order = c0 > c1;
	const bool three_colour_mode = dxt1 && !four_colour_order;
	unsigned n0 = gamma_565(c0), n1 = gamma_565(c1);
	if (four_colour_order && n0 == n1) {
		// equal endpoints would switch a DXT1 block to three colours: move them one step of blue apart
		if ((n0 & 31) < 31) ++n0;
		else --n1;
	}
	if ((n0 > n1) != four_colour_order && n0 != n1) {
		std::swap(n0, n1);
		// the exchanged endpoints swap indices 0 and 1, and in four-colour decoding also 2 and 3
		for (int i = 4; i < 8; ++i)
			for (int s = 0; s < 8; s += 2) {
				const int v = (p[i] >> s) & 3;
				if (!three_colour_mode || v < 2) p[i] ^= 1 << s;
			}
	}
	p[0] = n0 & 255, p[1] = n0 >> 8, p[2] = n1 & 255, p[3] = n1 >> 8;
}

// Whether a texel of the level lies on index 3 of a three-colour DXT1 block, i.e. is transparent.
// Texels of partial blocks beyond the level's edge do not count.
static int uses_transparency(const unsigned char* bytes, int w, int h)
{
	const int bw = (w + 3) / 4, bh = (h + 3) / 4;
	for (int by = 0; by < bh; ++by)
		for (int bx = 0; bx < bw; ++bx) {
			const unsigned char* p = bytes + (by * bw + bx) * 8;
			if ((p[0] | (p[1] << 8)) > (p[2] | (p[3] << 8))) continue;
			for (int y = 0; y < std::min(4, h - by * 4); ++y)
				for (int x = 0; x < std::min(4, w - bx * 4); ++x)
					if (((p[4 + y] >> (2 * x)) & 3) == 3) return 1;
		}
	return 0;
}

static void flip_dxt3_alpha(unsigned char* p, int rows)
{
	uint16_t alpha[4];
	std::memcpy(alpha, p, 8);
	std::reverse(alpha, alpha + rows);
	std::memcpy(p, alpha, 8);
}

static void flip_dxt5_alpha(unsigned char* p, int rows)
{
	uint64_t bits = 0;
	for (int i = 0; i < 6; ++i) bits |= uint64_t(p[2 + i]) << (8 * i);
	uint64_t row[4];
	for (int r = 0; r < 4; ++r) row[r] = (bits >> (12 * r)) & 0xFFF;
	std::reverse(row, row + rows);
	bits = 0;
	for (int r = 0; r < 4; ++r) bits |= row[r] << (12 * r);
	for (int i = 0; i < 6; ++i) p[2 + i] = (bits >> (8 * i)) & 255;
}

static bool is_dxt1(unsigned format)
{
	return format == GL_COMPRESSED_RGB_S3TC_DXT1_EXT || format == GL_COMPRESSED_RGBA_S3TC_DXT1_EXT;
}

static void flip_block(unsigned char* p, unsigned format, int rows)
{
	if (format == GL_COMPRESSED_RGBA_S3TC_DXT3_EXT) flip_dxt3_alpha(p, rows);
	if (format == GL_COMPRESSED_RGBA_S3TC_DXT5_EXT) flip_dxt5_alpha(p, rows);
	flip_colour_block(is_dxt1(format) ? p : p + 8, rows, is_dxt1(format));
}

// One level of blocks: rows of blocks swap end for end and every block is flipped once. A level less
// than four pixels high fills only the first rows of its blocks, so only those are reversed.
static void flip_blocks(unsigned char* bytes, unsigned format, int w, int h)
{
	const int block = is_dxt1(format) ? 8 : 16;
	const int bw = (w + 3) / 4, bh = (h + 3) / 4;
	flip_rows(bytes, bw * block, bh);
	for (int i = 0; i < bw * bh; ++i) flip_block(bytes + i * block, format, std::min(h, 4));
}

int TEX_flip_y(const TEX_image_desc& src_image, unsigned char* src_bytes)
{
	const unsigned format = src_image.format;
	if (!TEX_is_compressed(format) && !TEX_bytes_per_pixel(format))
		__MACIBM_alert(0, "Illegal format!", "", "", "", t_exit, "TEX_utils", 441);
	int transparent = 0;
	for_each_level(src_image, [&](int w, int h, int bytes) {
		if (is_dxt1(format)) transparent |= uses_transparency(src_bytes, w, h);
		if (TEX_is_compressed(format)) flip_blocks(src_bytes, format, w, h);
		else flip_rows(src_bytes, bytes / h, h);
		src_bytes += bytes;
	});
	return transparent;
}

int TEX_prepare_buffer(const std::string& path, unsigned format, int bpp, int width, int height, int desired_span,
                       int span_power_of_two, unsigned char*& io_storage, TEX_image_desc& out_desc)
{
	const int span = span_power_of_two ? TEX_next_power_of_two(width) : std::max(desired_span, width);
	const int rows = span_power_of_two ? TEX_next_power_of_two(height) : height;
	const int64_t bytes = int64_t(span) * bpp * rows;
	if (bytes > TEX_max_image_bytes) {
		xer << "WARNING: the image is too large for a texture: " << path << ".\n";
		return 0;
	}
	out_desc = TEX_image_desc{format, width, height, (span - width) * bpp, 0};
	if (!io_storage) io_storage = new unsigned char[bytes];
	if (span > width || rows > height) std::memset(io_storage, 0, bytes);
	return 1;
}
