#include "textures/TEX_png.h"

#include <GL/gl.h>
#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstring>

#include "io/xmap.h"
#include "shell/colr.h"
#include "shell/hl_alert.h"
#include "shell/hl_init.h"

// The file being decoded; the read callback takes its bytes from here, so one PNG is decoded at a time.
static xmap_class* png_mapped_file = nullptr;
static const std::string* png_path = nullptr;

static void png_read(png_structp png_ptr, png_bytep out, png_size_t count)
{
	if (static_cast<png_size_t>(png_mapped_file->mEnd - png_mapped_file->mCrt) < count)
		png_error(png_ptr, "PNG Read Error, overran end of buffer!");
	std::memcpy(out, png_mapped_file->mCrt, count);
	png_mapped_file->mCrt += count;
}

static void png_fail(png_structp png_ptr, png_const_charp message)
{
	__MACIBM_alert(0, "PNG error!", message, "", "", t_alert, "TEX_png", 13);
	png_longjmp(png_ptr, 1);
}

static void png_warn(png_structp, png_const_charp message)
{
	xer << "PNG warning! " << message << ", " << *png_path << "\n";
}

static int bytes_per_pixel(unsigned format, const std::string& path)
{
	switch (format) {
	case GL_ALPHA: return 1;
	case GL_RGB: return 3;
	case GL_RGBA: return 4;
	}
	__MACIBM_alert(0, "PING-FILE ERROR!", "Illegal bits per pixel", path, "", t_exit, "TEX_png", 112);
	return 0;
}

// Asks libpng for exactly the pixels of `format`; returns the format, which may follow the file's alpha.
static unsigned set_transforms(png_structp png_ptr, png_infop info_ptr, unsigned format, int use_png_alpha)
{
	const int colour_type = png_get_color_type(png_ptr, info_ptr);
	const int depth = png_get_bit_depth(png_ptr, info_ptr);
	const bool has_trns = png_get_valid(png_ptr, info_ptr, PNG_INFO_tRNS);
	const bool file_alpha = (colour_type & PNG_COLOR_MASK_ALPHA) || has_trns;
	const bool file_grey = !(colour_type & PNG_COLOR_MASK_COLOR);

	double file_gamma = 0;
	if (!png_get_gAMA(png_ptr, info_ptr, &file_gamma)) file_gamma = 1.0 / colr.file_gamma;
	png_set_gamma(png_ptr, colr.screen_gamma, file_gamma);
	if (colour_type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png_ptr);
	if (file_grey && depth < 8) png_set_expand_gray_1_2_4_to_8(png_ptr);
	if (has_trns) png_set_tRNS_to_alpha(png_ptr);
	if (depth == 16) png_set_strip_16(png_ptr);
	if (depth < 8) png_set_packing(png_ptr);

	if (use_png_alpha && format == GL_RGB && file_alpha) format = GL_RGBA;
	else if (use_png_alpha && format == GL_RGBA && !file_alpha) format = GL_RGB;
	if (format == GL_ALPHA) {
		if (!file_grey) png_set_rgb_to_gray_fixed(png_ptr, 1, -1, -1);
		if (file_alpha) png_set_strip_alpha(png_ptr);
	} else {
		if (file_grey) png_set_gray_to_rgb(png_ptr);
		if (format == GL_RGBA && !file_alpha) png_set_filler(png_ptr, 0xFF, PNG_FILLER_AFTER);
		if (format != GL_RGBA && file_alpha) png_set_strip_alpha(png_ptr);
	}
	return format;
}

int TEX_load_png(const std::string& in_path, xmap_class* in_file, unsigned char*& io_storage, unsigned desired_format,
                 int desired_span, int span_power_of_two, int use_png_alpha, TEX_image_desc& out_desc)
{
	if (!in_file->mBegin || in_file->mEnd - in_file->mCrt <= 7) return 0;
	png_structp png_ptr = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, png_fail, png_warn);
	if (!png_ptr) __MACIBM_alert(0, "PING-FILE ERROR!", "!png_ptr", in_path, "", t_exit, "TEX_png", 36);
	png_infop info_ptr = png_create_info_struct(png_ptr);
	if (!info_ptr) __MACIBM_alert(0, "PING-FILE ERROR!", "!info_ptr", in_path, "", t_exit, "TEX_png", 41);
	const auto* signature = reinterpret_cast<png_const_bytep>(in_file->mCrt);
	if (png_sig_cmp(signature, 0, 8))
		__MACIBM_alert(0, "PING-FILE ERROR!", "is_png=!png_sig_cmp(png_io_buf,0,8)", in_path, "", t_exit, "TEX_png", 55);
	png_mapped_file = in_file;
	png_path = &in_path;
	// Everything below that libpng may jump out of holds only plain values.
	if (setjmp(png_jmpbuf(png_ptr)))
		__MACIBM_alert(0, "PING-FILE ERROR!", "setjmp(png_ptr->jmpbuf", in_path, "", t_exit, "TEX_png", 63);
	png_set_read_fn(png_ptr, nullptr, png_read);
	in_file->mCrt += 8;
	png_set_sig_bytes(png_ptr, 8);
	png_read_info(png_ptr, info_ptr);

	const int width = png_get_image_width(png_ptr, info_ptr), height = png_get_image_height(png_ptr, info_ptr);
	const unsigned format = set_transforms(png_ptr, info_ptr, desired_format, use_png_alpha);
	const int bpp = bytes_per_pixel(format, in_path);
	const int passes = png_set_interlace_handling(png_ptr);
	png_read_update_info(png_ptr, info_ptr);

	if (!TEX_prepare_buffer(in_path, format, bpp, width, height, desired_span, span_power_of_two, io_storage,
	                        out_desc)) {
		png_destroy_read_struct(&png_ptr, &info_ptr, nullptr);
		return 0;
	}
	const int row_bytes = out_desc.width * bpp + out_desc.padding;
	for (int pass = 0; pass < passes; ++pass)
		for (int y = 0; y < height; ++y)
			png_read_row(png_ptr, io_storage + int64_t(height - 1 - y) * row_bytes, nullptr);
	png_destroy_read_struct(&png_ptr, &info_ptr, nullptr);
	return 1;
}
