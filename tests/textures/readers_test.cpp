// The PNG, BMP and DDS readers on small files written for each case.
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>
#include <squish.h>

#include <memory>

#include "image_files.h"
#include "io/xmap.h"
#include "shell/colr.h"
#include "textures/TEX_bmp.h"
#include "textures/TEX_dds.h"
#include "textures/TEX_png.h"

namespace {

class reader_test : public ::testing::Test {
protected:
	// Maps `content` written to a file of the sandbox.
	xmap_class& mapped(const std::string& name, const std::string& content)
	{
		log.box.write(name, content);
		file = std::make_unique<xmap_class>(log.box.path(name));
		return *file;
	}
	log_capture log;
	std::unique_ptr<xmap_class> file;
	std::vector<unsigned char> storage = std::vector<unsigned char>(TEX_max_image_bytes);
	unsigned char* buffer = storage.data();
};

// 3 x 2 pixels, top row first: a magenta pixel in the top left corner.
const std::vector<uint8_t> bmp_pixels = {255, 0, 255, 10, 20, 30, 128, 64, 0, 1, 2, 3, 200, 100, 50, 0, 0, 0};

TEST_F(reader_test, bmp_as_rgba_turns_magenta_transparent_and_corrects_gamma)
{
	TEX_image_desc desc;
	ASSERT_EQ(TEX_load_bmp("a.bmp", &mapped("a.bmp", bmp_file(3, 2, bmp_pixels)), buffer, GL_RGBA, 0, 0, desc), 1);
	EXPECT_EQ(desc.format, unsigned(GL_RGBA));
	EXPECT_EQ(desc.width, 3);
	EXPECT_EQ(desc.height, 2);
	EXPECT_EQ(desc.padding, 0);
	// row 0 of the buffer is the bottom row of the picture
	const unsigned char* bottom = buffer;
	const unsigned char* top = buffer + 3 * 4;
	EXPECT_EQ(std::vector<unsigned char>(top, top + 4), (std::vector<unsigned char>{0, 0, 0, 0}));
	EXPECT_EQ(top[4], colr.win_gamma[10]);
	EXPECT_EQ(top[6], colr.win_gamma[30]);
	EXPECT_EQ(top[7], 255);
	EXPECT_EQ(bottom[0], colr.win_gamma[1]);
	EXPECT_EQ(bottom[8 + 0], colr.win_gamma[0]);
	EXPECT_EQ(bottom[8 + 3], 255);
}

TEST_F(reader_test, bmp_as_rgb_keeps_magenta_and_as_alpha_averages)
{
	TEX_image_desc desc;
	ASSERT_EQ(TEX_load_bmp("a.bmp", &mapped("a.bmp", bmp_file(3, 2, bmp_pixels)), buffer, GL_RGB, 0, 0, desc), 1);
	const unsigned char* top = buffer + 3 * 3;
	EXPECT_EQ(std::vector<unsigned char>(top, top + 3), (std::vector<unsigned char>{255, 0, 255}));

	ASSERT_EQ(TEX_load_bmp("a.bmp", &mapped("b.bmp", bmp_file(3, 2, bmp_pixels)), buffer, GL_ALPHA, 0, 1, desc), 1);
	EXPECT_EQ(desc.padding, 1); // a span of 4 pixels of 1 byte
	EXPECT_EQ(buffer[0], (1 + 2 + 3) / 3);
	EXPECT_EQ(buffer[4], (255 + 0 + 255) / 3);
	EXPECT_EQ(buffer[3], 0);
}

TEST_F(reader_test, bmp_shorter_than_its_header_says_is_refused)
{
	std::string content = bmp_file(3, 2, bmp_pixels);
	content.resize(content.size() - 5);
	TEX_image_desc desc;
	EXPECT_EQ(TEX_load_bmp("a.bmp", &mapped("a.bmp", content), buffer, GL_RGB, 0, 0, desc), 0);
}

TEST_F(reader_test, png_100_by_60_fills_the_lower_left_of_a_128_by_64_span)
{
	std::vector<uint8_t> pixels(100 * 60 * 4);
	for (int y = 0; y < 60; ++y)
		for (int x = 0; x < 100; ++x) {
			uint8_t* p = &pixels[(y * 100 + x) * 4];
			p[0] = uint8_t(x), p[1] = uint8_t(y), p[2] = 128, p[3] = uint8_t(200 + x % 50);
		}
	storage.assign(storage.size(), 0xEE);
	TEX_image_desc desc;
	ASSERT_EQ(TEX_load_png("p.png", &mapped("p.png", png_file(100, 60, 4, pixels)), buffer, GL_RGBA, 0, 1, 0, desc),
	          1);
	EXPECT_EQ(desc.width, 100);
	EXPECT_EQ(desc.height, 60);
	EXPECT_EQ(desc.padding, 28 * 4);
	const int stride = 128 * 4;
	// the top row of the file is the last picture row of the buffer
	const unsigned char* first_file_row = buffer + 59 * stride;
	EXPECT_EQ(first_file_row[1], colr.win_gamma[0]);
	EXPECT_NEAR(first_file_row[99 * 4 + 0], colr.win_gamma[99], 1);
	EXPECT_EQ(first_file_row[99 * 4 + 3], 200 + 99 % 50);
	EXPECT_NEAR(buffer[1], colr.win_gamma[59], 1);
	EXPECT_NEAR(buffer[2], colr.win_gamma[128], 1);
	// zeros right of the picture and above it, up to 64 rows
	for (int y = 0; y < 64; ++y)
		for (int x = (y < 60 ? 100 : 0); x < 128; ++x)
			for (int c = 0; c < 4; ++c) ASSERT_EQ(buffer[y * stride + x * 4 + c], 0) << x << "," << y;
	EXPECT_EQ(buffer[64 * stride], 0xEE); // nothing beyond the 128 x 64 buffer
}

TEST_F(reader_test, png_with_a_gamma_chunk_is_corrected_from_that_gamma)
{
	TEX_image_desc desc;
	const std::vector<uint8_t> grey = {100, 200};
	// a file gamma of 1 / 2.2 is already the display's: nothing changes
	ASSERT_EQ(TEX_load_png("g.png", &mapped("g.png", png_file(2, 1, 1, grey, 1 / 2.2)), buffer, GL_RGB, 0, 0, 0, desc),
	          1);
	EXPECT_EQ(buffer[0], 100);
	EXPECT_EQ(buffer[3], 200);
	ASSERT_EQ(TEX_load_png("g.png", &mapped("h.png", png_file(2, 1, 1, grey)), buffer, GL_RGB, 0, 0, 0, desc), 1);
	EXPECT_NEAR(buffer[0], colr.win_gamma[100], 1);
}

TEST_F(reader_test, png_format_follows_the_file_when_allowed)
{
	const std::vector<uint8_t> rgb = {255, 0, 0, 0, 255, 0};
	TEX_image_desc desc;
	ASSERT_EQ(TEX_load_png("p.png", &mapped("p.png", png_file(2, 1, 3, rgb)), buffer, GL_RGBA, 0, 0, 1, desc), 1);
	EXPECT_EQ(desc.format, unsigned(GL_RGB));
	ASSERT_EQ(TEX_load_png("p.png", &mapped("q.png", png_file(2, 1, 3, rgb)), buffer, GL_RGBA, 0, 0, 0, desc), 1);
	EXPECT_EQ(desc.format, unsigned(GL_RGBA));
	EXPECT_EQ(buffer[3], 255); // the filler alpha
	EXPECT_EQ(buffer[4 + 1], 255);

	const std::vector<uint8_t> grey = {0, 255, 255};
	ASSERT_EQ(TEX_load_png("g.png", &mapped("g.png", png_file(3, 1, 1, grey)), buffer, GL_ALPHA, 5, 0, 0, desc), 1);
	EXPECT_EQ(desc.padding, 2);
	EXPECT_EQ(buffer[0], 0);
	EXPECT_EQ(buffer[1], 255);
}

TEST_F(reader_test, png_without_storage_allocates_it)
{
	unsigned char* allocated = nullptr;
	TEX_image_desc desc;
	ASSERT_EQ(TEX_load_png("p.png", &mapped("p.png", png_file(1, 1, 4, {9, 9, 9, 77})), allocated, GL_RGBA, 0, 0, 0,
	                       desc),
	          1);
	ASSERT_NE(allocated, nullptr);
	EXPECT_EQ(allocated[3], 77);
	delete[] allocated;
}

TEST_F(reader_test, png_that_stops_early_is_a_fatal_error)
{
	GTEST_FLAG_SET(death_test_style, "threadsafe");
	std::string content = png_file(16, 16, 3, std::vector<uint8_t>(16 * 16 * 3, 7));
	content.resize(content.size() / 2);
	TEX_image_desc desc;
	EXPECT_EXIT(TEX_load_png("p.png", &mapped("p.png", content), buffer, GL_RGB, 0, 0, 0, desc),
	            ::testing::ExitedWithCode(1), "");
}

TEST_F(reader_test, dds_points_into_the_mapping)
{
	std::vector<uint8_t> rgba(8 * 8 * 4, 200);
	const std::string blocks = s3tc_chain(squish::kDxt5, 8, 8, rgba, true);
	TEX_image_desc desc;
	unsigned char* pixels = nullptr;
	xmap_class& file = mapped("t.dds", dds_file("DXT5", 8, 8, true, blocks));
	ASSERT_EQ(TEX_load_dds("t.dds", &file, pixels, desc), 1);
	EXPECT_EQ(desc.format, unsigned(GL_COMPRESSED_RGBA_S3TC_DXT5_EXT));
	EXPECT_EQ(desc.width, 8);
	EXPECT_EQ(desc.height, 8);
	EXPECT_EQ(desc.has_mips, 1);
	EXPECT_EQ(pixels, reinterpret_cast<const unsigned char*>(file.mBegin) + 128);
}

TEST_F(reader_test, dds_formats_and_refusals)
{
	struct case_struct {
		const char* name;
		std::string content;
		int result;
		unsigned format;
		int has_mips;
	} cases[] = {
		{"dxt1", dds_file("DXT1", 4, 4, false, std::string(8, '\0')), 1, GL_COMPRESSED_RGB_S3TC_DXT1_EXT, 0},
		{"dxt3", dds_file("DXT3", 4, 4, false, std::string(16, '\0')), 1, GL_COMPRESSED_RGBA_S3TC_DXT3_EXT, 0},
		{"bgra", dds_file("", 2, 2, true, std::string(16 + 4 + 4, '\0')), 1, GL_BGRA, 1},
		{"bgr", dds_file("", 2, 1, false, std::string(6, '\0'), 24), 1, GL_BGR, 0},
		{"other code", dds_file("ATI2", 4, 4, false, std::string(16, '\0')), 0, 0, 0},
		{"16-bit", dds_file("", 2, 2, false, std::string(8, '\0'), 16), 0, 0, 0},
		{"short", dds_file("DXT1", 8, 8, true, std::string(8 * 4, '\0')), 0, 0, 0},
		{"not dds", "DDX " + std::string(200, '\0'), 0, 0, 0},
	};
	for (const case_struct& c : cases) {
		TEX_image_desc desc;
		unsigned char* pixels = nullptr;
		EXPECT_EQ(TEX_load_dds(c.name, &mapped("t.dds", c.content), pixels, desc), c.result) << c.name;
		if (!c.result) continue;
		EXPECT_EQ(desc.format, c.format) << c.name;
		EXPECT_EQ(desc.has_mips, c.has_mips) << c.name;
	}
}

}
