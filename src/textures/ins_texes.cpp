#include "textures/ins_texes.h"

#include <png.h>

#include <cstddef>
#include <cstring>

#include "shell/hl_alert.h"
#include "textures/TEX_utils.h"
#include "textures/tman.h"

// The PNG files under assets/, embedded by the build.
extern const unsigned char ins_png_interface[], ins_png_installer[], ins_png_background[];
extern const std::size_t ins_png_interface_size, ins_png_installer_size, ins_png_background_size;

std::vector<unsigned char> t_installer_dat;
std::vector<unsigned char> t_ins_back_1_dat;
std::vector<unsigned char> t_interface_dat;

namespace {
struct picture {
	std::vector<unsigned char>* block;
	const unsigned char* png;
	std::size_t png_size;
	int ref, width, height;
};

const picture pictures[] = {
	{&t_installer_dat, ins_png_installer, ins_png_installer_size, t_installer, 1010, 764},
	{&t_ins_back_1_dat, ins_png_background, ins_png_background_size, t_ins_back_1, 1024, 768},
	{&t_interface_dat, ins_png_interface, ins_png_interface_size, t_interface, 512, 512},
};

const char* const hardwired_path = "scratch_array:hardwired textures";

void decode(const picture& p)
{
	png_image image{};
	image.version = PNG_IMAGE_VERSION;
	const int pitch = TEX_next_power_of_two(p.width);
	std::vector<unsigned char> rows(std::size_t(pitch) * p.height * 4, 0);
	bool ok = png_image_begin_read_from_memory(&image, p.png, p.png_size) && image.width == unsigned(p.width) &&
	          image.height == unsigned(p.height);
	image.format = PNG_FORMAT_RGBA;
	// a negative row stride makes libpng store the bottom row first
	ok = ok && png_image_finish_read(&image, nullptr, rows.data(), -pitch * 4, nullptr);
	png_image_free(&image);
	if (!ok)
		__MACIBM_alert(0, "The built-in interface pictures cannot be decoded.", image.message, "", "", t_exit,
		               "ins_texes", __LINE__);
	rows.resize(std::size_t(p.width) * p.height * 4);
	*p.block = std::move(rows);
}

// Uploads width x height pixels of `block` from scratch_array as texture `ref`. The texture is read at
// its power-of-two size, so whatever the block leaves uncovered is cleared to transparent black first.
void load_block(const unsigned char* block, int ref, int width, int height)
{
	scratch_dx = width;
	scratch_dy = height;
	std::memset(scratch_array, 0, std::size_t(TEX_next_power_of_two(width)) * TEX_next_power_of_two(height) * 4);
	std::memcpy(scratch_array, block, std::size_t(width) * height * 4);
	tman.load_texture(tex_fail_quit, ref, 0x502, tex_load_now, hardwired_path);
}
}

void decode_ins_texes()
{
	for (const picture& p : pictures)
		if (p.block->empty()) decode(p);
}

void recall_ins_texes()
{
	decode_ins_texes();
	// the blank texture stands in for any file that turns out to be missing, so it comes first
	static const unsigned char blank_gray[4] = {128, 128, 128, 255};
	load_block(blank_gray, t_blank_gray, 1, 1);
	for (const picture& p : pictures) load_block(p.block->data(), p.ref, p.width, p.height);
}
