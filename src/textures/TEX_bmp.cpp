#include "textures/TEX_bmp.h"

#include <GL/gl.h>

#include <cstdint>
#include <cstring>

#include "io/xmap.h"
#include "shell/colr.h"
#include "shell/hl_alert.h"
#include "shell/hl_init.h"

namespace {
// Reads little-endian fields in order; a field past the end of the file reads as 0.
struct field_reader {
	const unsigned char* at;
	const unsigned char* end;
	uint32_t take(int bytes)
	{
		uint32_t value = 0;
		for (int i = 0; i < bytes; ++i, ++at)
			if (at < end) value |= uint32_t(*at) << (8 * i);
		return value;
	}
};
}

int TEX_load_bmp(const std::string& in_path, xmap_class* m, unsigned char*& io_storage, unsigned desired_format,
                 int desired_span, int span_power_of_two, TEX_image_desc& out_desc)
{
	const int bpp = desired_format == GL_ALPHA ? 1 : desired_format == GL_RGB ? 3 : desired_format == GL_RGBA ? 4 : 0;
	if (!bpp) __MACIBM_alert(0, "Illegal desired format for bmp.", in_path, "", "", t_exit, "TEX_bmp", 27);
	if (!m->mBegin) return 0;
	const auto* begin = reinterpret_cast<const unsigned char*>(m->mBegin);
	const auto* end = reinterpret_cast<const unsigned char*>(m->mEnd);
	field_reader in{begin, end};
	in.take(2);                                   // type
	in.take(4);                                   // file size
	in.take(2), in.take(2);                       // reserved
	const uint32_t pixel_offset = in.take(4);
	in.take(4);                                   // header size
	const int32_t width = in.take(4), height = in.take(4);
	in.take(2);                                   // planes
	const int bit_count = in.take(2);
	const uint32_t compression = in.take(4);
	if (bit_count != 24)
		__MACIBM_alert(0, "Wrong bitmap color depth for texture!", "We need 24-bit color.", in_path, "", t_exit,
		               "TEX_bmp", 48);
	if (compression) __MACIBM_alert(0, "Bitmap is compressed!", in_path, "", "", t_exit, "TEX_bmp", 49);

	// A file must hold every row its header promises (top-down files with a negative height are not read).
	const int64_t src_row = (int64_t(width) * 3 + 3) / 4 * 4;
	if (width <= 0 || height <= 0 || int64_t(pixel_offset) + src_row * height > end - begin) return 0;
	if (!TEX_prepare_buffer(in_path, desired_format, bpp, width, height, desired_span, span_power_of_two,
	                        io_storage, out_desc))
		return 0;
	const int row_bytes = out_desc.width * bpp + out_desc.padding;

	for (int y = 0; y < height; ++y) {
		const unsigned char* src = begin + pixel_offset + y * src_row;
		unsigned char* dst = io_storage + int64_t(y) * row_bytes;
		for (int x = 0; x < width; ++x, src += 3, dst += bpp) {
			const int b = src[0], g = src[1], r = src[2];
			if (bpp == 1) {
				dst[0] = (b + g + r) / 3;
				continue;
			}
			dst[0] = colr.win_gamma[r];
			dst[1] = colr.win_gamma[g];
			dst[2] = colr.win_gamma[b];
			if (bpp == 4) {
				const bool magenta = r == 255 && g == 0 && b == 255;
				dst[3] = magenta ? 0 : 255;
				if (magenta) dst[0] = dst[1] = dst[2] = 0;
			}
		}
	}
	return 1;
}
