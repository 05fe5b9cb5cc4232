// The texture manager on a real offscreen OpenGL context: the size rule, loads from the scratch buffer and
// from files, shared paths, missing files and their flags, uploads, binding and unloading.
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>
#include <squish.h>

#include <cstring>

#include "image_files.h"
#include "runtime/UTL_cmdline.h"
#include "shell/colr.h"
#include "shell/hl_mnw.h"
#include "support/gl_fixture.h"
#include "textures/OGL_extensions.h"
#include "textures/tman.h"

namespace {

class tman_test : public gl_test {
protected:
	static void SetUpTestSuite()
	{
		gl_test::SetUpTestSuite();
		glExt.init_extensions();
	}
	void SetUp() override
	{
		mnw.tex_res = 5;
		tman.scene_load_fail = tman.plane_load_fail = tman.instl_load_fail = status_okay;
		load_blank();
	}
	void TearDown() override { cmdline.options.erase("--no_dds"); }

	// The blank texture must exist before any file can be missing.
	static void load_blank()
	{
		scratch_dx = scratch_dy = 1;
		std::memcpy(scratch_array, "\x80\x80\x80\xFF", 4);
		tman.load_texture(tex_fail_quit, t_blank_gray, 0x502, tex_load_now, "scratch_array:blank");
	}
	std::string file(const std::string& name, const std::string& content)
	{
		log.box.write(name, content);
		return log.box.path(name);
	}
	// The texels of a texture's level as OpenGL holds them (RGBA, bottom row first).
	static std::vector<unsigned char> texels(int ref, int level = 0)
	{
		glBindTexture(GL_TEXTURE_2D, ref);
		GLint w = 0, h = 0;
		glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &w);
		glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &h);
		std::vector<unsigned char> out(size_t(w) * h * 4);
		glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
		tman.reset_bind();
		return out;
	}
	static GLint level_size(int ref, int level, GLenum what)
	{
		glBindTexture(GL_TEXTURE_2D, ref);
		GLint v = 0;
		glGetTexLevelParameteriv(GL_TEXTURE_2D, level, what, &v);
		tman.reset_bind();
		return v;
	}
	log_capture log;
};

TEST_F(tman_test, size_rule)
{
	struct case_struct {
		int tex_res, max_texdim, filter, dx, dy, source;
		float scale;
		int vis_x, vis_y, tot_x, tot_y;
	} cases[] = {
		{3, 4096, 0, 1024, 512, 2, 0.25f, 256, 128, 256, 128},
		{3, 4096, tex_res_full, 1024, 512, 2, 1, 1024, 512, 1024, 512},
		{5, 512, 0, 1024, 512, 2, 0.5f, 512, 256, 512, 256},
		{5, 4096, 0, 600, 300, 2, 1, 600, 300, 1024, 512},
		{5, 4096, tex_exact_size, 600, 300, 2, 1, 600, 300, 600, 300},
		{4, 4096, tex_res_finer, 64, 64, 2, 1, 64, 64, 64, 64},
		{5, 4096, tex_res_coarser, 64, 64, 2, 0.5f, 32, 32, 32, 32},
		{0, 4096, 0, 16, 8, 2, 0.125f, 2, 1, 2, 1},   // never below one texel
		{2, 4096, 0, 600, 3, 2, 1.0f / 3, 200, 1, 256, 1},
		{1, 4096, 0, 1010, 764, 1, 1, 1010, 764, 1024, 1024}, // the scratch buffer is always full size
		{9, 4096, 0, 40, 20, 2, 1, 40, 20, 64, 32},     // an unknown setting counts as full resolution
	};
	const int saved_res = mnw.tex_res, saved_max = glExt.max_texdim;
	for (const case_struct& c : cases) {
		mnw.tex_res = c.tex_res;
		glExt.max_texdim = c.max_texdim;
		int vx = 0, vy = 0, tx = 0, ty = 0;
		EXPECT_FLOAT_EQ(TEX_get_scale("t", c.filter, c.dx, c.dy, vx, vy, tx, ty, c.source), c.scale) << c.dx << "x" << c.dy;
		EXPECT_EQ(std::vector<int>({vx, vy, tx, ty}), std::vector<int>({c.vis_x, c.vis_y, c.tot_x, c.tot_y}))
		    << c.dx << "x" << c.dy << " res " << c.tex_res;
	}
	mnw.tex_res = saved_res;
	glExt.max_texdim = saved_max;
}

TEST_F(tman_test, scratch_buffer_load_reads_the_power_of_two_layout)
{
	// a 3 x 2 picture laid out in rows of 4 pixels
	scratch_dx = 3, scratch_dy = 2;
	for (int i = 0; i < 8; ++i) std::memcpy(scratch_array + i * 4, std::vector<unsigned char>{1, 2, 3, 4}.data(), 4);
	scratch_array[4 * 4 + 0] = 99; // first pixel of the second row
	const int loaded = tman.loaded_texes_ctr;
	ASSERT_EQ(tman.load_texture(tex_fail_quit, 400, 0x502, tex_load_now, "scratch_array:test"), 400);
	const ref_dat_struct& e = tman.ref_dat[400];
	EXPECT_EQ(e.ogl_num, 400);
	EXPECT_EQ(e.tex_dx_vis, 3);
	EXPECT_EQ(e.tex_dy_vis, 2);
	EXPECT_EQ(e.tex_dx_tot, 4);
	EXPECT_EQ(e.tex_dy_tot, 2);
	EXPECT_EQ(e.tex_mode, GL_RGBA);
	EXPECT_EQ(e.tex_vram, 4 * 2 * 4);
	EXPECT_EQ(e.ref_count, -1);
	EXPECT_EQ(e.load_time, tex_load_now);
	EXPECT_EQ(tman.get_path(400), "scratch_array:test");
	EXPECT_EQ(tman.loaded_texes_ctr, loaded + 1);
	const std::vector<unsigned char> t = texels(400);
	EXPECT_EQ(t[0], 1);
	EXPECT_EQ(t[3], 4);
	EXPECT_EQ(t[16], 99);
	tman.unload_texture(400);
}

TEST_F(tman_test, a_path_is_shared_and_found_under_another_extension)
{
	const std::string png = file("tex/name.png", png_file(2, 2, 4, std::vector<uint8_t>(16, 255), 1 / 2.2));
	const std::string requested = log.box.path("tex/name.bmp");
	const int ref = tman.load_texture(tex_fail_warn_scene, 0, 2, tex_load_now, requested);
	ASSERT_GE(ref, first_dynamic_ref);
	EXPECT_EQ(tman.ref_dat[ref].ref_count, 1);
	EXPECT_EQ(tman.ref_dat[ref].tex_dx_tot, 2);
	EXPECT_EQ(tman.ref_dat[ref].ogl_num, ref);
	log.box.write("tex/name.png", "gone");
	EXPECT_EQ(tman.load_texture(tex_fail_warn_scene, 0, 2, tex_load_now, requested), ref);
	EXPECT_EQ(tman.ref_dat[ref].ref_count, 2);
	EXPECT_EQ(tman.has_scene_load_fail(), 0);

	// ".tga" is never looked for: only ".dds", ".png" and ".bmp" in its place
	file("tex/other.tga", png_file(2, 2, 4, std::vector<uint8_t>(16, 255)));
	const int missing = tman.load_texture(tex_fail_warn_scene, 0, 2, tex_load_now, log.box.path("tex/other.tga"));
	EXPECT_NE(missing, ref);
	EXPECT_EQ(tman.ref_dat[missing].ogl_num, t_blank_gray);
	EXPECT_EQ(tman.has_scene_load_fail(), 1);
}

TEST_F(tman_test, missing_files_raise_their_flag_once_and_log_each_time)
{
	struct case_struct {
		tex_fail_mode mode;
		unsigned char tman_class::*flag;
	} cases[] = {{tex_fail_warn_scene, &tman_class::scene_load_fail},
	             {tex_fail_warn_plane, &tman_class::plane_load_fail},
	             {tex_fail_warn_install, &tman_class::instl_load_fail}};
	for (const case_struct& c : cases) {
		const std::string path = log.box.path("none_" + std::to_string(c.mode) + ".png");
		const int ref = tman.load_texture(c.mode, 0, 2, tex_load_now, path);
		ASSERT_GE(ref, first_dynamic_ref);
		const ref_dat_struct& e = tman.ref_dat[ref];
		EXPECT_EQ(e.ogl_num, t_blank_gray);
		EXPECT_EQ(e.tex_vram, 0);
		EXPECT_EQ(e.tex_dx_tot, 1);
		EXPECT_EQ(tman.*c.flag, status_fail);
		EXPECT_NE(log.text().find("WARNING: we are missing the texture: " + path + ".\n"), std::string::npos);
		tman.*c.flag = status_mute;
		tman.load_texture(c.mode, 0, 2, tex_load_now, path + "2");
		EXPECT_EQ(tman.*c.flag, status_mute);
		EXPECT_NE(log.text().find(path + "2"), std::string::npos);
	}
	EXPECT_EQ(tman.has_scene_load_fail() + tman.has_plane_load_fail() + tman.has_instl_load_fail(), 0);

	const size_t logged = log.text().size();
	EXPECT_GE(tman.load_texture(tex_fail_ignore, 0, 2, tex_load_now, log.box.path("quiet.png")), first_dynamic_ref);
	EXPECT_EQ(log.text().size(), logged);
	// a manual ref whose image cannot be read gives 0
	EXPECT_EQ(tman.load_texture(tex_fail_ignore, 500, 2, tex_load_now, log.box.path("quiet2.png")), 0);
}

TEST_F(tman_test, transparent_texels_take_the_colour_of_their_visible_neighbours)
{
	const std::vector<uint8_t> pixels = {200, 100, 50, 255, 0, 0, 0, 0, 100, 0, 250, 255, 0, 0, 0, 0};
	const int ref = tman.load_texture(tex_fail_quit, 0, 2, tex_load_now,
	                                  file("edge.png", png_file(4, 1, 4, pixels, 1 / 2.2)));
	const std::vector<unsigned char> t = texels(ref);
	EXPECT_EQ(std::vector<unsigned char>(t.begin() + 4, t.begin() + 8), (std::vector<unsigned char>{150, 50, 150, 0}));
	// the last texel sees only the blue one: its transparent neighbour does not count
	EXPECT_EQ(std::vector<unsigned char>(t.begin() + 12, t.end()), (std::vector<unsigned char>{100, 0, 250, 0}));
}

TEST_F(tman_test, coarser_resolution_reduces_files_into_the_texture_pitch)
{
	mnw.tex_res = 4;
	// 6 x 2 grey picture at half resolution: 3 x 1 visible in a 4 x 1 texture
	const std::vector<uint8_t> grey = {10, 20, 30, 40, 50, 60, 30, 40, 50, 60, 70, 80};
	const int ref = tman.load_texture(tex_fail_quit, 0, 1, tex_load_now, file("small.png", png_file(6, 2, 1, grey, 1 / 2.2)));
	const ref_dat_struct& e = tman.ref_dat[ref];
	EXPECT_EQ(e.tex_dx_vis, 3);
	EXPECT_EQ(e.tex_dx_tot, 4);
	EXPECT_EQ(e.tex_dy_tot, 1);
	const std::vector<unsigned char> t = texels(ref);
	EXPECT_EQ(t[0], (10 + 20 + 30 + 40) / 4);
	EXPECT_EQ(t[4], (30 + 40 + 50 + 60) / 4);
	EXPECT_EQ(t[8], (50 + 60 + 70 + 80) / 4);
	EXPECT_EQ(t[12], 0);
}

TEST_F(tman_test, hand_built_mipmaps_average_each_level)
{
	std::vector<uint8_t> pixels(4 * 4 * 4, 255);
	for (int i = 0; i < 16; ++i) pixels[i * 4] = uint8_t(i * 16);
	const int ref = tman.load_texture(tex_fail_quit, 0, 2 | tex_mipmap | tex_plain_8bit, tex_load_now,
	                                  file("mip.png", png_file(4, 4, 4, pixels, 1 / 2.2)));
	EXPECT_EQ(tman.ref_dat[ref].tex_vram, int(4 * 4 * 4 * 1.33));
	EXPECT_EQ(level_size(ref, 2, GL_TEXTURE_WIDTH), 1);
	// the bottom left texel of level 1 averages file rows 2 and 3, columns 0 and 1
	EXPECT_EQ(texels(ref, 1)[0], (8 * 16 + 9 * 16 + 12 * 16 + 13 * 16) / 4);
	EXPECT_EQ(texels(ref, 2)[0], (168 + 200 + 40 + 72) / 4);
}

TEST_F(tman_test, dds_levels_are_skipped_flipped_and_uploaded_compressed)
{
	// 8 x 8, red in the top half of the file and blue in the bottom half
	std::vector<uint8_t> rgba(8 * 8 * 4, 255);
	for (int i = 0; i < 64; ++i) rgba[i * 4 + 1] = 0, rgba[i * 4 + (i < 32 ? 2 : 0)] = 0;
	const std::string dds = dds_file("DXT1", 8, 8, true, s3tc_chain(squish::kDxt1, 8, 8, rgba, true));
	const std::string path = file("sky.dds", dds);
	const int full = tman.load_texture(tex_fail_quit, 0, 2, tex_load_now, path);
	EXPECT_EQ(tman.ref_dat[full].tex_mode, GL_COMPRESSED_RGB_S3TC_DXT1_EXT);
	EXPECT_EQ(tman.ref_dat[full].tex_dx_tot, 8);
	EXPECT_EQ(level_size(full, 0, GL_TEXTURE_COMPRESSED), GL_TRUE);
	EXPECT_EQ(tman.ref_dat[full].tex_vram, level_size(full, 0, GL_TEXTURE_COMPRESSED_IMAGE_SIZE));
	const std::vector<unsigned char> t = texels(full);
	EXPECT_EQ(t[2], 255); // texture row 0 is the bottom of the picture: blue
	EXPECT_EQ(t[7 * 8 * 4 + 0], 255);

	mnw.tex_res = 4;
	const int half = tman.load_texture(tex_fail_quit, 0, 2, tex_load_now, file("half.dds", dds));
	EXPECT_EQ(tman.ref_dat[half].tex_dx_tot, 4);
	EXPECT_EQ(level_size(half, 0, GL_TEXTURE_WIDTH), 4);

	// "--no_dds" looks for the name as given first
	cmdline.options["--no_dds"] = "";
	file("both.dds", dds);
	const int png = tman.load_texture(tex_fail_quit, 0, 2, tex_load_now,
	                                  file("both.png", png_file(2, 2, 4, std::vector<uint8_t>(16, 9))));
	EXPECT_EQ(tman.ref_dat[png].tex_mode, GL_RGBA);
}

TEST_F(tman_test, binding_follows_unload_and_reload)
{
	scratch_dx = scratch_dy = 1;
	std::memcpy(scratch_array, "\x01\x02\x03\xFF", 4);
	ASSERT_EQ(tman.load_texture(tex_fail_quit, 401, 0x502, tex_load_now, "scratch_array:a"), 401);
	tman.bind_ref(401, 0, 0);
	GLint bound = 0;
	glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
	EXPECT_EQ(bound, 401);

	const int total = tman.total_texes_ctr, loaded = tman.loaded_texes_ctr;
	tman.unload_texture(401);
	EXPECT_EQ(tman.total_texes_ctr, total - 1);
	EXPECT_EQ(tman.loaded_texes_ctr, loaded - 1);
	EXPECT_EQ(tman.ref_dat[401].path, "un-inited");
	tman.unload_texture(401);
	EXPECT_EQ(tman.ref_dat[401].tex_mode, 0);
	EXPECT_EQ(tman.total_texes_ctr, total - 1);

	// OpenGL unbound the deleted texture; the reload must land in texture 401 again
	std::memcpy(scratch_array, "\x07\x08\x09\xFF", 4);
	ASSERT_EQ(tman.load_texture(tex_fail_quit, 401, 0x502, tex_load_now, "scratch_array:b"), 401);
	EXPECT_EQ(texels(401)[0], 7);
	tman.bind_ref(0, 0, 0);
	glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
	EXPECT_EQ(bound, 0);
}

TEST_F(tman_test, invalid_requests_end_the_program)
{
	GTEST_FLAG_SET(death_test_style, "threadsafe");
	const std::string missing = log.box.path("absent.png");
	EXPECT_EXIT(tman.load_texture(tex_fail_quit, 0, 2, tex_load_now, missing), ::testing::ExitedWithCode(1), "");
	EXPECT_EXIT(tman.load_texture(tex_fail_quit, 402, 0x500, tex_load_now, "scratch_array:x"),
	            ::testing::ExitedWithCode(1), "");
	EXPECT_EXIT(tman.load_texture(tex_fail_quit, first_dynamic_ref + 1, 2, tex_load_now, missing),
	            ::testing::ExitedWithCode(1), "");
	EXPECT_EXIT(tman.unload_texture(first_dynamic_ref), ::testing::ExitedWithCode(1), "");
	EXPECT_EXIT(tman.bind_ref(403, 0, 0), ::testing::ExitedWithCode(1), "");
}

}
