// OpenGL extension discovery fed with version, vendor, renderer and extension strings; entry points and
// limits come from the real offscreen context unless a case replaces them.
#include "platform/sys_video.h"
#include <gtest/gtest.h>

#include <cstring>

#include "image_files.h"
#include "runtime/UTL_cmdline.h"
#include "support/gl_fixture.h"
#include "textures/OGL_extensions.h"

namespace {

void* real_proc(const char* name)
{
	return sys_gl_proc(name);
}

void APIENTRY no_native_instructions(GLenum, GLenum, GLint* value)
{
	*value = 0;
}

// Entry points as the driver gives them, except glGenQueriesARB (missing) and a fragment-program
// limit of 0 instructions.
void* poor_driver_proc(const char* name)
{
	if (!std::strcmp(name, "glGenQueriesARB")) return nullptr;
	if (!std::strcmp(name, "glGetProgramivARB")) return reinterpret_cast<void*>(no_native_instructions);
	return real_proc(name);
}

class extensions_test : public gl_test {
protected:
	void SetUp() override { cmdline.options = {{"--fps_test", ""}}; }
	void TearDown() override { cmdline.options = {{"--fps_test", ""}}; }
	// Runs discovery on a fresh object and returns what it logged.
	std::string discover(const char* vend, const char* rend, const char* vers, const char* exte,
	                     void* (*get_proc)(const char*) = real_proc)
	{
		ext = OGL_extensions();
		const size_t before = log.text().size();
		ext.init_extensions_from(vend, rend, vers, exte, get_proc);
		return log.text().substr(before);
	}
	bool logged(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
	OGL_extensions ext;
	log_capture log;
};

TEST(OGL_version_number, reads_major_and_minor)
{
	struct case_struct {
		const char* text;
		int number;
	} cases[] = {{"2.1.2 NVIDIA 180.60", 210}, {"1.5.0", 150}, {"1.10", 200}, {"4.5 (Compatibility Profile) Mesa", 450},
	             {"OpenGL ES 2.0", 100}, {"3", 100}, {"", 100}, {nullptr, 100}};
	for (const case_struct& c : cases) EXPECT_EQ(OGL_version_number(c.text), c.number) << (c.text ? c.text : "null");
}

TEST_F(extensions_test, a_version_of_2_1_turns_on_every_feature_with_a_threshold)
{
	const std::string text = discover("Vendor", "Renderer", "2.1.2 build 77", "");
	for (int flag : {ext.multitex_avail, ext.tex_clamp_avail, ext.add_env_avail, ext.combine_avail, ext.tex_comp_avail,
	                 ext.vbo_avail, ext.pbo_avail, ext.automini_avail, ext.fsaa_avail, ext.sprites_avail,
	                 ext.depth_tex_avail, ext.occlude_avail, ext.shad_objs_avail, ext.vshader_avail,
	                 ext.fshader_avail, ext.glsl_avail})
		EXPECT_EQ(flag, 1);
	for (int flag : {ext.dis_fog_avail, ext.vprog_avail, ext.fprog_avail, ext.aniso_avail, ext.gshader_avail,
	                 ext.framebuf_avail, ext.sblend_avail, ext.threaded_avail})
		EXPECT_EQ(flag, 0);
	EXPECT_NE(ext.glBindBufferARB, nullptr);
	EXPECT_NE(ext.glCompressedTexImage2DARB, nullptr);
	EXPECT_EQ(ext.glBindProgramARB, nullptr); // vertex programs are not offered
	EXPECT_NE(glActiveTextureARB, nullptr);
	EXPECT_TRUE(logged(text, "OpenGL Version   : 2.1.2 build 77 (210)\n"));
	EXPECT_TRUE(logged(text, "pbo_avail        : 1\nvprog_avail      : 0 (0)\nfprog_avail      : 0 (0/0/0/0)\n"));
	EXPECT_TRUE(logged(text, "threaded_avail   : 0\nfirst-gen shaders: 0\n"));
	EXPECT_FALSE(logged(text, "WARNING"));
}

TEST_F(extensions_test, a_version_of_1_5_needs_the_name_for_pixel_buffers)
{
	discover("Vendor", "Renderer", "1.5.0", "");
	EXPECT_EQ(ext.vbo_avail, 1);
	EXPECT_EQ(ext.occlude_avail, 1);
	EXPECT_EQ(ext.pbo_avail, 0);
	EXPECT_EQ(ext.shad_objs_avail, 0);
	discover("Vendor", "Renderer", "1.5.0", "GL_ARB_pixel_buffer_object");
	EXPECT_EQ(ext.pbo_avail, 1);
}

TEST_F(extensions_test, without_a_version_every_flag_comes_from_the_extensions_string)
{
	discover("Vendor", "Renderer", "OpenGL ES", "GL_ARB_multitexture GL_SGIS_texture_edge_clamp GL_ARB_texture_compression_rgtc");
	EXPECT_EQ(ext.multitex_avail, 1);
	EXPECT_EQ(ext.tex_clamp_avail, 1);
	EXPECT_EQ(ext.tex_comp_avail, 1); // a plain substring search, word boundaries aside
	EXPECT_EQ(ext.vbo_avail, 0);
	EXPECT_EQ(ext.combine_avail, 0);
	EXPECT_EQ(ext.glsl_avail, 0);
}

TEST_F(extensions_test, only_the_exact_software_renderer_names_raise_the_notice)
{
	struct case_struct {
		const char* renderer;
		bool notice;
	} cases[] = {{"GENERIC", true},  {"Generic", true}, {"generic", true}, {"Mesa GLX Indirect", true},
	             {"Generic renderer", false}, {"llvmpipe (LLVM 15.0.6, 256 bits)", false}};
	for (const case_struct& c : cases)
		EXPECT_EQ(logged(discover("Vendor", c.renderer, "2.1", ""), "(OGL_extensions line 601)"), c.notice) << c.renderer;
}

TEST_F(extensions_test, driver_workarounds)
{
	std::string text = discover("Intel", "R", "2.1", "");
	EXPECT_EQ(ext.vbo_avail, 0);
	EXPECT_EQ(ext.pbo_avail, 0);
	EXPECT_TRUE(logged(text, "Disabling VBOs for Intel hardware.\nDisabling PBOs because VBOs are not available.  This "
	                         "probably means that VBOs are disabled for compatibility reasons.\n"));
	cmdline.options["--use_vbos"] = "";
	discover("Intel", "R", "2.1", "");
	EXPECT_EQ(ext.vbo_avail + ext.pbo_avail, 2);

	text = discover("3Dlabs", "Wildcat Realizm", "2.0", "");
	EXPECT_EQ(ext.glsl_avail, 0);
	EXPECT_TRUE(logged(text, "Disabling GLSL for Wildcat Realizm drivers.\n"));

	discover("NVIDIA Corporation", "R", "2.0", "");
	EXPECT_EQ(ext.glsl_limited, 1);
	discover("NVIDIA Corporation", "R", "2.0", "GL_NV_fragment_program2");
	EXPECT_EQ(ext.glsl_limited, 0);
}

TEST_F(extensions_test, old_shader_drivers_are_reported_after_the_log_report)
{
	const std::string text = discover("ATI Technologies Inc.", "R", "1.5 beta",
	                                  "GL_ARB_shader_objects GL_ARB_vertex_shader GL_ARB_fragment_shader "
	                                  "GL_ARB_shading_language_100");
	const size_t report = text.find("glsl_avail       : 1 (");
	const size_t notice = text.find("You have a newer ATI graphics card with pixel shaders");
	ASSERT_NE(report, std::string::npos);
	ASSERT_NE(notice, std::string::npos);
	EXPECT_LT(report, notice);
	EXPECT_TRUE(logged(text, "(OGL_extensions line 615)"));
	EXPECT_EQ(ext.glsl_avail, 0);
}

TEST_F(extensions_test, missing_entry_points_and_program_limits)
{
	const std::string text = discover("Vendor", "R", "2.1", "GL_ARB_vertex_program GL_ARB_fragment_program", poor_driver_proc);
	EXPECT_TRUE(logged(text, "WARNING: extension missing proc glGenQueriesARB\n"));
	EXPECT_EQ(ext.occlude_avail, 0);
	EXPECT_EQ(ext.vprog_avail, 0); // no native instructions
	EXPECT_EQ(ext.fprog_avail, 0);
	EXPECT_EQ(ext.glsl_limited, 1);
	cmdline.options["--use_fprogs"] = "";
	cmdline.options["--use_vprogs"] = "";
	discover("Vendor", "R", "2.1", "GL_ARB_vertex_program GL_ARB_fragment_program", poor_driver_proc);
	EXPECT_EQ(ext.vprog_avail + ext.fprog_avail, 2);
	EXPECT_EQ(ext.glsl_limited, 1);
}

TEST_F(extensions_test, command_line_overrides)
{
	struct case_struct {
		const char* option;
		int OGL_extensions::*flag;
	} cases[] = {
		{"--no_vbos", &OGL_extensions::vbo_avail},          {"--no_vbos", &OGL_extensions::pbo_avail},
		{"--no_pbos", &OGL_extensions::pbo_avail},          {"--no_sprites", &OGL_extensions::sprites_avail},
		{"--no_pixel_counters", &OGL_extensions::occlude_avail}, {"--no_aniso_filtering", &OGL_extensions::aniso_avail},
		{"--no_hw_mipmap", &OGL_extensions::automini_avail}, {"--no_vshaders", &OGL_extensions::vprog_avail},
		{"--no_fshaders", &OGL_extensions::fprog_avail},    {"--no_glsl", &OGL_extensions::glsl_avail},
		{"--no_fbos", &OGL_extensions::framebuf_avail},     {"--no_sblend", &OGL_extensions::sblend_avail},
	};
	const char* all = "GL_ARB_vertex_program GL_ARB_fragment_program GL_EXT_texture_filter_anisotropic "
	                  "GL_EXT_framebuffer_object GL_EXT_blend_func_separate GL_EXT_blend_equation_separate";
	for (const case_struct& c : cases) {
		cmdline.options = {{"--fps_test", ""}};
		discover("Vendor", "R", "2.1", all);
		EXPECT_EQ(ext.*c.flag, 1) << c.option;
		cmdline.options[c.option] = "";
		discover("Vendor", "R", "2.1", all);
		EXPECT_EQ(ext.*c.flag, 0) << c.option;
	}
	EXPECT_GT(ren.max_iso, 1.0f);
	cmdline.options["--no_aniso_filtering"] = "";
	discover("Vendor", "R", "2.1", all);
	EXPECT_EQ(ren.max_iso, 1.0f);
}

TEST_F(extensions_test, threaded_opengl_is_never_used)
{
	discover("Vendor", "R", "2.1", "");
	EXPECT_EQ(ext.threaded_avail, 0);
	const size_t before = log.text().size();
	ext.threaded_ogl_failed();
	EXPECT_EQ(log.text().size(), before);
	ext.threaded_avail = 1;
	ext.threaded_ogl_failed();
	EXPECT_EQ(ext.threaded_avail, 0);
	EXPECT_TRUE(logged(log.text(), "(OGL_extensions line 637)"));
}

TEST_F(extensions_test, hardware_below_the_requirement)
{
	cmdline.options["--force_run"] = "";
	EXPECT_TRUE(logged(discover("Vendor", "R", "1.0", ""), "Your system does not meet Velmora's hardware requirements."));
	cmdline.options.erase("--force_run");
	GTEST_FLAG_SET(death_test_style, "threadsafe");
	EXPECT_EXIT(discover("Vendor", "R", "1.0", ""), ::testing::ExitedWithCode(1), "");
	// multitexturing by name is enough
	EXPECT_FALSE(logged(discover("Vendor", "R", "1.0", "GL_ARB_multitexture"), "(OGL_extensions line 590)"));
}

TEST_F(extensions_test, the_real_driver)
{
	glExt.init_extensions();
	const std::string text = log.text();
	EXPECT_GE(glExt.max_texdim, 2048);
	EXPECT_EQ(glExt.multitex_avail, 1);
	EXPECT_FALSE(logged(text, "WARNING"));
	EXPECT_FALSE(logged(text, "(OGL_extensions line")); // Mesa's software renderer raises no notice
	// with GLSL the unit count grows to the image units, after the report showed the fixed-function count
	if (glExt.glsl_avail && ren.num_img_units > 8) {
		EXPECT_TRUE(logged(text, "max tex units    : 8 (" + std::to_string(ren.num_img_units) + "/"));
		EXPECT_EQ(ren.num_tex_units, ren.num_img_units);
	}
}

}
