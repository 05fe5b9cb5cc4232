#include "textures/TEX_dds.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdint>
#include <cstring>

#include "io/xmap.h"

namespace {
constexpr int header_bytes = 128;
constexpr int largest_side = 16384; // keeps every size computation within an int
constexpr uint32_t ddsd_mipmapcount = 0x20000, ddscaps_mipmap = 0x400000;
constexpr uint32_t ddpf_alphapixels = 0x1, ddpf_fourcc = 0x4, ddpf_rgb = 0x40;

uint32_t word_at(const unsigned char* p, int offset)
{
	return p[offset] | (p[offset + 1] << 8) | (p[offset + 2] << 16) | (uint32_t(p[offset + 3]) << 24);
}

// The GL format of the header's pixel format, or 0 when it is none that the program reads.
unsigned format_of(const unsigned char* header)
{
	const uint32_t flags = word_at(header, 80), bits = word_at(header, 88);
	if (flags & ddpf_fourcc) {
		const char* code = reinterpret_cast<const char*>(header + 84);
		if (!std::memcmp(code, "DXT1", 4)) return GL_COMPRESSED_RGB_S3TC_DXT1_EXT;
		if (!std::memcmp(code, "DXT3", 4)) return GL_COMPRESSED_RGBA_S3TC_DXT3_EXT;
		if (!std::memcmp(code, "DXT5", 4)) return GL_COMPRESSED_RGBA_S3TC_DXT5_EXT;
		return 0;
	}
	// uncompressed pixels are read as bytes blue, green, red (and alpha): other depths are not that layout
	if ((flags & ddpf_rgb) && (flags & ddpf_alphapixels)) return bits == 32 ? GL_BGRA : 0;
	if (flags & ddpf_rgb) return bits == 24 ? GL_BGR : 0;
	return 0;
}
}

int TEX_load_dds(const std::string&, xmap_class* the_file, unsigned char*& io_storage, TEX_image_desc& out_desc)
{
	const auto* begin = reinterpret_cast<const unsigned char*>(the_file->mBegin);
	const auto* end = reinterpret_cast<const unsigned char*>(the_file->mEnd);
	if (!begin || end - begin < header_bytes || std::memcmp(begin, "DDS ", 4)) return 0;
	const unsigned format = format_of(begin);
	const uint32_t height = word_at(begin, 12), width = word_at(begin, 16);
	if (!format || width < 1 || height < 1 || width > largest_side || height > largest_side) return 0;
	TEX_image_desc desc{format, int(width), int(height), 0, 0};
	desc.has_mips = (word_at(begin, 8) & ddsd_mipmapcount) && (word_at(begin, 108) & ddscaps_mipmap);
	if (TEX_bytes_needed_for_image(desc) > end - begin - header_bytes) return 0;
	out_desc = desc;
	// the pixels stay in the read-only mapping; the texture manager copies them before changing them
	io_storage = const_cast<unsigned char*>(begin + header_bytes);
	return 1;
}
