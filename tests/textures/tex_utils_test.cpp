// Storage sizes, the box-filter reduction and the vertical flip, also of S3TC blocks.
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>
#include <squish.h>

#include <cstdlib>
#include <vector>

#include "image_files.h"
#include "shell/colr.h"
#include "textures/TEX_utils.h"

namespace {

TEST(TEX_bytes_needed_for_image, counts_every_level_of_each_format)
{
	struct case_struct {
		unsigned format;
		int width, height, padding, mips, bytes;
	} cases[] = {
		{GL_RGB, 5, 3, 0, 1, 15 * 3 + 6 * 1 + 3 * 1},    // levels 5 x 3, 2 x 1, 1 x 1
		{GL_RGB, 5, 3, 0, 0, 45},
		{GL_RGBA, 4, 2, 4, 1, 20 * 2 + 12 * 1 + 8 * 1},  // the padding counts on every level
		{GL_ALPHA, 8, 1, 0, 1, 8 + 4 + 2 + 1},
		{GL_BGRA, 2, 2, 0, 0, 16},
		{GL_DEPTH_COMPONENT, 3, 2, 0, 0, 24},
		{GL_COMPRESSED_RGB_S3TC_DXT1_EXT, 4, 4, 0, 1, 8 * 3},
		{GL_COMPRESSED_RGBA_S3TC_DXT1_EXT, 6, 6, 0, 0, 8 * 4},
		{GL_COMPRESSED_RGBA_S3TC_DXT3_EXT, 8, 8, 0, 1, 64 + 16 + 16 + 16},
		{GL_COMPRESSED_RGBA_S3TC_DXT5_EXT, 8, 4, 0, 1, 32 + 16 + 16 + 16},
		{GL_LUMINANCE, 4, 4, 0, 0, 0},
	};
	for (const case_struct& c : cases)
		EXPECT_EQ(TEX_bytes_needed_for_image({c.format, c.width, c.height, c.padding, c.mips}), c.bytes)
		    << std::hex << c.format << std::dec << " " << c.width << "x" << c.height;
}

TEST(TEX_downscale, averages_blocks_with_truncation_in_place)
{
	std::vector<unsigned char> row = {10, 21, 200, 201};
	TEX_image_desc alpha{GL_ALPHA, 4, 1, 0, 0};
	TEX_downscale(alpha, row.data(), 2, 1);
	EXPECT_EQ(alpha.width, 2);
	EXPECT_EQ(alpha.height, 1);
	EXPECT_EQ(row[0], 15);
	EXPECT_EQ(row[1], 200);

	// 2 x 2 RGB pixels and a padding of 2 bytes per row become one pixel; the padding halves with the row
	std::vector<unsigned char> rgb = {0, 10, 20, 4, 10, 21, 9, 9, 8, 10, 22, 0, 9, 9};
	TEX_image_desc desc{GL_RGB, 2, 2, 2, 0};
	TEX_downscale(desc, rgb.data(), 2, 2);
	EXPECT_EQ(desc.width, 1);
	EXPECT_EQ(desc.height, 1);
	EXPECT_EQ(desc.padding, 1);
	EXPECT_EQ(rgb[0], (0 + 4 + 8 + 0) / 4);
	EXPECT_EQ(rgb[1], (10 + 10 + 10 + 9) / 4);
	EXPECT_EQ(rgb[2], (20 + 21 + 22 + 9) / 4);
}

TEST(TEX_flip_y, reverses_rows_of_every_level_padding_included)
{
	// 2 x 4 alpha image with one byte of padding and its levels 1 x 2 and 1 x 1
	std::vector<unsigned char> bytes = {1, 2, 0, 3, 4, 0, 5, 6, 0, 7, 8, 0, 9, 0, 10, 0, 11, 0};
	EXPECT_EQ(TEX_flip_y({GL_ALPHA, 2, 4, 1, 1}, bytes.data()), 0);
	const std::vector<unsigned char> expected = {7, 8, 0, 5, 6, 0, 3, 4, 0, 1, 2, 0, 10, 0, 9, 0, 11, 0};
	EXPECT_EQ(bytes, expected);
}

// Sets the colour table's gamma switch for the life of the object.
struct gamma_setting {
	explicit gamma_setting(int on) : saved(colr.has_gamma) { colr.has_gamma = on; }
	~gamma_setting() { colr.has_gamma = saved; }
	int saved;
};

// S3TC images flipped block by block must decode to the decoded original turned upside down.
class s3tc_flip : public ::testing::TestWithParam<std::pair<unsigned, int>> {};

std::vector<uint8_t> test_picture(int w, int h, bool with_alpha)
{
	std::vector<uint8_t> rgba(size_t(w) * h * 4);
	srand(7);
	for (int y = 0; y < h; ++y)
		for (int x = 0; x < w; ++x) {
			uint8_t* p = &rgba[(y * w + x) * 4];
			p[0] = uint8_t(x * 255 / w), p[1] = uint8_t(y * 255 / h), p[2] = uint8_t(rand() % 256);
			p[3] = with_alpha ? uint8_t((x + y) * 255 / (w + h)) : 255;
		}
	return rgba;
}

std::vector<uint8_t> upside_down(const std::vector<uint8_t>& rgba, int w, int h)
{
	std::vector<uint8_t> out(rgba.size());
	for (int y = 0; y < h; ++y) std::copy_n(&rgba[(h - 1 - y) * w * 4], w * 4, &out[y * w * 4]);
	return out;
}

TEST_P(s3tc_flip, every_level_decodes_upside_down)
{
	const auto [format, flags] = GetParam();
	gamma_setting gamma(0);
	const int w = 16, h = 8;
	std::string chain = s3tc_chain(flags, w, h, test_picture(w, h, flags != squish::kDxt1), true);
	const std::string original = chain;
	TEX_flip_y({format, w, h, 0, 1}, reinterpret_cast<unsigned char*>(chain.data()));
	size_t offset = 0;
	for (int lw = w, lh = h;; lw = std::max(1, lw / 2), lh = std::max(1, lh / 2)) {
		const auto* before = reinterpret_cast<const unsigned char*>(original.data()) + offset;
		const auto* after = reinterpret_cast<const unsigned char*>(chain.data()) + offset;
		EXPECT_EQ(s3tc_decode(flags, lw, lh, after), upside_down(s3tc_decode(flags, lw, lh, before), lw, lh))
		    << "level " << lw << "x" << lh;
		offset += squish::GetStorageRequirements(lw, lh, flags);
		if (lw == 1 && lh == 1) break;
	}
	EXPECT_EQ(offset, chain.size());
}

TEST_P(s3tc_flip, gamma_correction_keeps_what_each_texel_chooses)
{
	const auto [format, flags] = GetParam();
	gamma_setting gamma(1);
	const int w = 8, h = 8;
	std::string blocks = s3tc_chain(flags, w, h, test_picture(w, h, false), false);
	const std::vector<uint8_t> before = s3tc_decode(flags, w, h, reinterpret_cast<unsigned char*>(blocks.data()));
	TEX_flip_y({format, w, h, 0, 0}, reinterpret_cast<unsigned char*>(blocks.data()));
	const std::vector<uint8_t> after =
	    upside_down(s3tc_decode(flags, w, h, reinterpret_cast<unsigned char*>(blocks.data())), w, h);
	for (size_t i = 0; i < before.size(); ++i) {
		if (i % 4 == 3) continue;
		// the endpoints are corrected and quantised again, so the interpolated colours may differ a little
		EXPECT_NEAR(after[i], colr.win_gamma[before[i]], 12) << "byte " << i;
	}
}

INSTANTIATE_TEST_SUITE_P(formats, s3tc_flip,
                         ::testing::Values(std::make_pair(unsigned(GL_COMPRESSED_RGB_S3TC_DXT1_EXT), int(squish::kDxt1)),
                                           std::make_pair(unsigned(GL_COMPRESSED_RGBA_S3TC_DXT3_EXT), int(squish::kDxt3)),
                                           std::make_pair(unsigned(GL_COMPRESSED_RGBA_S3TC_DXT5_EXT), int(squish::kDxt5))));

// One DXT1 block: endpoints c0, c1 and all sixteen texels on `index`.
std::vector<unsigned char> dxt1_block(unsigned c0, unsigned c1, int index)
{
	const unsigned char row = static_cast<unsigned char>(index * 0x55);
	return {static_cast<unsigned char>(c0), static_cast<unsigned char>(c0 >> 8), static_cast<unsigned char>(c1),
	        static_cast<unsigned char>(c1 >> 8), row, row, row, row};
}

unsigned endpoint(const std::vector<unsigned char>& block, int n)
{
	return block[2 * n] | (block[2 * n + 1] << 8);
}

TEST(TEX_flip_y, dxt1_blocks_keep_their_colour_mode_and_report_transparency)
{
	gamma_setting gamma(1);
	// red 30 and 31 become equal after the correction: the block would fall into three-colour mode
	std::vector<unsigned char> nearly_equal = dxt1_block(0xFFFF, 0xF7FF, 2);
	EXPECT_EQ(TEX_flip_y({GL_COMPRESSED_RGB_S3TC_DXT1_EXT, 4, 4, 0, 0}, nearly_equal.data()), 0);
	EXPECT_GT(endpoint(nearly_equal, 0), endpoint(nearly_equal, 1));

	// red decides the order before, green after the correction: the endpoints swap and so do the indices
	const unsigned red = 31 << 11, red_green = (30 << 11) | (63 << 5);
	std::vector<unsigned char> swapped = dxt1_block(red, red_green, 0);
	TEX_flip_y({GL_COMPRESSED_RGB_S3TC_DXT1_EXT, 4, 4, 0, 0}, swapped.data());
	EXPECT_GT(endpoint(swapped, 0), endpoint(swapped, 1));
	const std::vector<uint8_t> texels = s3tc_decode(squish::kDxt1, 4, 4, swapped.data());
	EXPECT_EQ(texels[0], 255); // still the pure red endpoint
	EXPECT_EQ(texels[1], 0);
	// index 2 (two thirds red, one third yellow) must keep its mix: indices 2 and 3 swap as well
	std::vector<unsigned char> mixed = dxt1_block(red, red_green, 2);
	TEX_flip_y({GL_COMPRESSED_RGB_S3TC_DXT1_EXT, 4, 4, 0, 0}, mixed.data());
	EXPECT_NEAR(s3tc_decode(squish::kDxt1, 4, 4, mixed.data())[1], 255 / 3, 4);

	std::vector<unsigned char> transparent = dxt1_block(0x1234, 0x5678, 3);
	EXPECT_NE(TEX_flip_y({GL_COMPRESSED_RGB_S3TC_DXT1_EXT, 4, 4, 0, 0}, transparent.data()), 0);
	std::vector<unsigned char> four_colour = dxt1_block(0x5678, 0x1234, 3);
	EXPECT_EQ(TEX_flip_y({GL_COMPRESSED_RGB_S3TC_DXT1_EXT, 4, 4, 0, 0}, four_colour.data()), 0);
	// a 2 x 2 level uses only the top left corner of its block: index 3 elsewhere is no transparency
	std::vector<unsigned char> corner = dxt1_block(0x1234, 0x5678, 0);
	corner[4 + 3] = 0xC0;
	EXPECT_EQ(TEX_flip_y({GL_COMPRESSED_RGB_S3TC_DXT1_EXT, 2, 2, 0, 0}, corner.data()), 0);
	corner[4 + 1] = 0x0C;
	EXPECT_NE(TEX_flip_y({GL_COMPRESSED_RGB_S3TC_DXT1_EXT, 2, 2, 0, 0}, corner.data()), 0);
}

TEST(TEX_flip_y, levels_under_four_rows_reverse_only_their_own_rows)
{
	gamma_setting gamma(0);
	// a 4 x 2 level: index rows 0 and 1 are the picture, rows 2 and 3 are unused
	std::vector<unsigned char> block = {0xFF, 0xFF, 0, 0, 0x00, 0x55, 0xAA, 0xFF};
	TEX_flip_y({GL_COMPRESSED_RGB_S3TC_DXT1_EXT, 4, 2, 0, 0}, block.data());
	EXPECT_EQ(block[4], 0x55);
	EXPECT_EQ(block[5], 0x00);
	EXPECT_EQ(block[6], 0xAA);
}

}
