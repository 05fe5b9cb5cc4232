// The built-in pictures: their blocks, the texel positions the toolkit relies on, and the textures they
// become at start-up.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "image_files.h"
#include "shell/hl_mnw.h"
#include "support/gl_fixture.h"
#include "textures/OGL_extensions.h"
#include "textures/ins_texes.h"
#include "textures/tman.h"

namespace {

// The texel (s, t) of a block laid out in rows of `pitch` texels, t counted from the first stored row.
const unsigned char* texel(const std::vector<unsigned char>& block, int pitch, int s, int t)
{
	return block.data() + (size_t(t) * pitch + s) * 4;
}

TEST(ins_texes, blocks_hold_width_times_height_texels)
{
	decode_ins_texes();
	EXPECT_EQ(t_installer_dat.size(), 3086560u);
	EXPECT_EQ(t_ins_back_1_dat.size(), 3145728u);
	EXPECT_EQ(t_interface_dat.size(), 1048576u);
}

TEST(ins_texes, palette_swatches_hold_the_interface_colours)
{
	decode_ins_texes();
	struct case_struct {
		int index, s, t, r, g, b;
	} cases[] = {
		{34, 319, 155, 51, 67, 86},   {35, 319, 147, 78, 78, 73},   {36, 319, 139, 13, 27, 44},
		{37, 319, 131, 125, 126, 121}, {38, 319, 123, 255, 255, 255}, {40, 319, 115, 238, 238, 238},
		{41, 319, 107, 13, 27, 44},   {42, 319, 99, 93, 99, 110},   {43, 319, 91, 34, 41, 53},
		{44, 395, 115, 220, 220, 220}, {45, 319, 83, 39, 44, 52},   {46, 319, 75, 36, 43, 53},
		{47, 319, 67, 127, 220, 175},
	};
	for (const case_struct& c : cases) {
		const unsigned char* p = texel(t_interface_dat, 512, c.s, c.t);
		EXPECT_EQ(std::vector<int>({p[0], p[1], p[2], p[3]}), std::vector<int>({c.r, c.g, c.b, 255})) << c.index;
	}
}

// Rows (counted upward within the cell) that hold ink in the glyph cell (c, r) of the interface image.
std::pair<int, int> ink_rows(int c, int r)
{
	int low = 99, high = -1;
	for (int y = 0; y < 15; ++y)
		for (int x = 0; x < 14; ++x)
			if (texel(t_interface_dat, 512, 14 * c + x, 15 * r + y)[3]) low = std::min(low, y), high = std::max(high, y);
	return {low, high};
}

TEST(ins_texes, glyphs_stand_upright_on_a_common_baseline)
{
	decode_ins_texes();
	EXPECT_EQ(ink_rows(1, 0), std::make_pair(5, 12));  // '0': baseline to capital height
	EXPECT_EQ(ink_rows(11, 0), std::make_pair(5, 12)); // 'A'
	EXPECT_EQ(ink_rows(0, 2).first, 3);                // 'p' descends below the baseline
	EXPECT_EQ(ink_rows(1, 4), std::make_pair(5, 5));   // '.' sits on it
	EXPECT_EQ(ink_rows(0, 0).second, -1);              // the blank cell is empty
	// the bottom texel row is left empty: bars whose top row wraps around read it
	for (int s = 0; s < 294; ++s) EXPECT_EQ(texel(t_interface_dat, 512, s, 0)[3], 0) << s;
}

TEST(ins_texes, installer_picture_keeps_its_rows_of_1024_texels)
{
	decode_ins_texes();
	EXPECT_EQ(texel(t_installer_dat, 1024, 794, 98)[3], 255);  // middle of the frame-20 tile
	EXPECT_EQ(texel(t_installer_dat, 1024, 570, 177)[3], 255); // the change-destination button
	EXPECT_EQ(texel(t_installer_dat, 1024, 570, 154)[3], 255); // its hover picture, h + 1 below
	EXPECT_EQ(texel(t_installer_dat, 1024, 570, 131)[3], 255); // and its pressed picture
	EXPECT_EQ(texel(t_installer_dat, 1024, 12, 98)[3], 255);   // icon 0
	EXPECT_EQ(texel(t_installer_dat, 1024, 1015, 98)[3], 0);   // right of the picture, inside the pitch
	EXPECT_EQ(texel(t_installer_dat, 1024, 500, 500)[3], 255); // the map
}

class recall_test : public gl_test {
protected:
	static void SetUpTestSuite()
	{
		gl_test::SetUpTestSuite();
		glExt.init_extensions();
	}
	static std::vector<unsigned char> texture(int ref)
	{
		glBindTexture(GL_TEXTURE_2D, ref);
		std::vector<unsigned char> out(1024 * 1024 * 4);
		glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
		tman.reset_bind();
		return out;
	}
	log_capture log;
};

TEST_F(recall_test, start_up_makes_the_three_textures_and_leaves_the_interface_image_in_scratch)
{
	mnw.tex_res = 5;
	recall_ins_texes();
	struct case_struct {
		int ref, vis_x, vis_y, tot_x, tot_y, nearest;
	} cases[] = {
		{t_installer, 1010, 764, 1024, 1024, 0},
		{t_ins_back_1, 1024, 768, 1024, 1024, 0},
		{t_interface, 512, 512, 512, 512, 1},
		{t_blank_gray, 1, 1, 1, 1, 0},
	};
	for (const case_struct& c : cases) {
		const ref_dat_struct& e = tman.ref_dat[c.ref];
		EXPECT_EQ(e.load_time, tex_load_now) << c.ref;
		EXPECT_EQ(std::vector<float>({e.tex_dx_vis, e.tex_dy_vis, e.tex_dx_tot, e.tex_dy_tot}),
		          std::vector<float>({float(c.vis_x), float(c.vis_y), float(c.tot_x), float(c.tot_y)}))
		    << c.ref;
		EXPECT_EQ(e.filter_type, 0x502);
		tman.bind_ref(c.ref, 0, 0);
		GLint filter = 0;
		glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
		EXPECT_EQ(filter, c.nearest ? GL_NEAREST : GL_LINEAR) << c.ref;
	}
	EXPECT_EQ(std::memcmp(scratch_array, t_interface_dat.data(), t_interface_dat.size()), 0);

	const std::vector<unsigned char> installer = texture(t_installer);
	EXPECT_EQ(std::memcmp(installer.data(), t_installer_dat.data(), t_installer_dat.size()), 0);
	// beyond the supplied bytes the texture is transparent black
	EXPECT_TRUE(std::all_of(installer.begin() + t_installer_dat.size(), installer.end(), [](unsigned char v) { return v == 0; }));

	const std::vector<unsigned char> background = texture(t_ins_back_1);
	for (size_t i = 3; i < t_ins_back_1_dat.size(); i += 4) ASSERT_EQ(background[i], 255) << "texel " << i / 4;
}

}
