#include "textures/OGL_extensions.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/sys_video.h"
#include "runtime/UTL_cmdline.h"
#include "shell/hl_alert.h"
#include "shell/hl_init.h"

OGL_extensions glExt;
ren_class ren;

#define OGL_DEFINE(type, name) type name = nullptr;
OGL_MULTITEXTURE_PROCS(OGL_DEFINE)
#undef OGL_DEFINE

namespace {
// Fetches one entry point; a missing one is logged and turns its group's flag off (when it has one).
template <typename T> void fetch(T& slot, const char* name, int* flag, void* (*get_proc)(const char*))
{
	slot = reinterpret_cast<T>(get_proc(name));
	if (slot) return;
	xer << "WARNING: extension missing proc " << name << "\n";
	if (flag) *flag = 0;
}

bool option(const char* name)
{
	return cmdline.has_option(name);
}
}

// Limits that only the log report shows.
struct OGL_program_limits {
	GLint vp_instructions = 0;
	GLint fp[4] = {0, 0, 0, 0}; // native instructions, ALU instructions, texture instructions, indirections
	GLint vshader[5] = {0, 0, 0, 0, 0};
	GLint fshader_uniforms = 0;
	std::string glsl_version = "n/a";
	GLfloat point_range[2] = {0, 0};
};

#define OGL_FETCH(type, name) fetch(name, #name, flag, get_proc);

int OGL_version_number(const char* version)
{
	int major = 0, minor = 0;
	if (!version || std::sscanf(version, "%d.%d", &major, &minor) != 2) return 100;
	return 100 * major + 10 * minor;
}

void OGL_extensions::init_extensions()
{
	const auto text = [](GLenum which) {
		const char* s = reinterpret_cast<const char*>(glGetString(which));
		return s ? s : "";
	};
	init_extensions_from(text(GL_VENDOR), text(GL_RENDERER), text(GL_VERSION), text(GL_EXTENSIONS), sys_gl_proc);
}

void OGL_extensions::init_extensions_from(const char* vend, const char* rend, const char* vers, const char* exte,
                                          void* (*get_proc)(const char*))
{
	ren.cVEND = vend, ren.cREND = rend, ren.cVERS = vers, ren.cEXTE = exte;
	const int version = OGL_version_number(vers);
	const auto has = [exte](const char* name) { return std::strstr(exte, name) != nullptr; };
	const auto from = [version](int threshold, bool named) { return int(version >= threshold || named); };

	multitex_avail = from(130, has("GL_ARB_multitexture"));
	tex_clamp_avail = from(120, has("GL_EXT_texture_edge_clamp") || has("GL_SGIS_texture_edge_clamp"));
	add_env_avail = from(130, has("GL_ARB_texture_env_add") || has("GL_EXT_texture_env_add"));
	combine_avail = from(130, has("GL_ARB_texture_env_combine") || has("GL_EXT_texture_env_combine"));
	dis_fog_avail = has("GL_NV_fog_distance");
	tex_comp_avail = from(130, has("GL_ARB_texture_compression"));
	vbo_avail = from(150, has("GL_ARB_vertex_buffer_object"));
	pbo_avail = from(210, has("GL_ARB_pixel_buffer_object"));
	vprog_avail = has("GL_ARB_vertex_program");
	fprog_avail = has("GL_ARB_fragment_program");
	automini_avail = from(140, has("GL_SGIS_generate_mipmap"));
	aniso_avail = has("GL_EXT_texture_filter_anisotropic");
	fsaa_avail = from(130, has("GL_ARB_multisample"));
	sprites_avail = from(200, has("GL_ARB_point_sprite"));
	depth_tex_avail = from(140, has("GL_ARB_depth_texture"));
	occlude_avail = from(150, has("GL_ARB_occlusion_query"));
	shad_objs_avail = from(200, has("GL_ARB_shader_objects"));
	vshader_avail = from(200, has("GL_ARB_vertex_shader"));
	fshader_avail = from(200, has("GL_ARB_fragment_shader"));
	gshader_avail = has("GL_EXT_geometry_shader4");
	glsl_avail = from(200, has("GL_ARB_shading_language_100"));
	framebuf_avail = has("GL_EXT_framebuffer_object");
	sblend_avail = has("GL_EXT_blend_func_separate") && has("GL_EXT_blend_equation_separate");

	if (vbo_avail && !std::strcmp(vend, "Intel") && !option("--use_vbos")) {
		xer << "Disabling VBOs for Intel hardware.\n";
		vbo_avail = 0;
	}
	if (glsl_avail && !std::strcmp(vend, "3Dlabs") && !std::strcmp(rend, "Wildcat Realizm") && !option("--use_glsl")) {
		xer << "Disabling GLSL for Wildcat Realizm drivers.\n";
		glsl_avail = 0;
	}
	if (glsl_avail && std::strstr(vend, "NVIDIA") && !has("GL_NV_fragment_program2")) glsl_limited = 1;

	fetch_entry_points(get_proc);

	if (!vprog_avail) fprog_avail = 0;
	if (!shad_objs_avail) fshader_avail = vshader_avail = gshader_avail = 0;
	if (!vshader_avail || !fshader_avail) glsl_avail = 0;

	OGL_program_limits limits;
	if (fprog_avail) {
		const GLenum names[4] = {GL_MAX_PROGRAM_NATIVE_INSTRUCTIONS_ARB, GL_MAX_PROGRAM_NATIVE_ALU_INSTRUCTIONS_ARB,
		                         GL_MAX_PROGRAM_NATIVE_TEX_INSTRUCTIONS_ARB,
		                         GL_MAX_PROGRAM_NATIVE_TEX_INDIRECTIONS_ARB};
		for (int i = 0; i < 4; ++i) glGetProgramivARB(GL_FRAGMENT_PROGRAM_ARB, names[i], &limits.fp[i]);
		if (!limits.fp[0] && !option("--use_fprogs")) fprog_avail = 0;
		if (limits.fp[0] < 100) glsl_limited = 1;
	}
	if (vprog_avail) {
		glGetProgramivARB(GL_VERTEX_PROGRAM_ARB, GL_MAX_PROGRAM_NATIVE_INSTRUCTIONS_ARB, &limits.vp_instructions);
		if (!limits.vp_instructions && !option("--use_vprogs")) vprog_avail = 0;
	}
	if (vshader_avail) {
		const GLenum names[5] = {GL_MAX_VERTEX_ATTRIBS_ARB, GL_MAX_VERTEX_UNIFORM_COMPONENTS_ARB,
		                         GL_MAX_VARYING_FLOATS_ARB, GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS_ARB,
		                         GL_MAX_VERTEX_TEXTURE_IMAGE_UNITS_ARB};
		for (int i = 0; i < 5; ++i) glGetIntegerv(names[i], &limits.vshader[i]);
	}
	if (fshader_avail) glGetIntegerv(GL_MAX_FRAGMENT_UNIFORM_COMPONENTS_ARB, &limits.fshader_uniforms);
	if (glsl_avail) {
		const char* s = reinterpret_cast<const char*>(glGetString(GL_SHADING_LANGUAGE_VERSION_ARB));
		limits.glsl_version = s ? s : "<null string>";
	}

	ren.max_iso = 1.0f;
	ren.num_tex_units = 0;
	glGetIntegerv(GL_MAX_TEXTURE_UNITS_ARB, &ren.num_tex_units);
	ren.num_img_units = ren.num_tex_units;
	if (fprog_avail) glGetIntegerv(GL_MAX_TEXTURE_IMAGE_UNITS_ARB, &ren.num_img_units);
	ren.num_cor_units = ren.num_tex_units;
	if (vprog_avail) glGetIntegerv(GL_MAX_TEXTURE_COORDS_ARB, &ren.num_cor_units);
	if (aniso_avail) glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &ren.max_iso);
	glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_texdim);
	glGetFloatv(GL_POINT_SIZE_RANGE, limits.point_range);
	if (!ren.num_tex_units) ren.num_tex_units = 1;

	apply_command_line();
	write_report(version, limits);
	if (glsl_avail) ren.num_tex_units = std::max(ren.num_tex_units, ren.num_img_units);
	warn_about_driver(version);
}

void OGL_extensions::fetch_entry_points(void* (*get_proc)(const char*))
{
	int* flag = nullptr;
	if (vbo_avail) {
		flag = &vbo_avail;
		OGL_VBO_PROCS(OGL_FETCH)
	}
	if (pbo_avail && !vbo_avail) {
		xer << "Disabling PBOs because VBOs are not available.  This probably means that VBOs are disabled for "
		       "compatibility reasons.\n";
		pbo_avail = 0;
	}
	if (vprog_avail) {
		flag = &vprog_avail;
		OGL_VERTEX_PROGRAM_PROCS(OGL_FETCH)
	}
	flag = nullptr;
	OGL_MULTITEXTURE_PROCS(OGL_FETCH)
	if (occlude_avail) {
		flag = &occlude_avail;
		OGL_OCCLUSION_PROCS(OGL_FETCH)
	}
	if (shad_objs_avail) {
		flag = &shad_objs_avail;
		OGL_SHADER_OBJECTS_PROCS(OGL_FETCH)
	}
	if (gshader_avail) {
		flag = &gshader_avail;
		OGL_GEOMETRY_SHADER_PROCS(OGL_FETCH)
	}
	if (vshader_avail) {
		flag = &vshader_avail;
		OGL_VERTEX_SHADER_PROCS(OGL_FETCH)
	}
	if (framebuf_avail) {
		flag = &framebuf_avail;
		OGL_FRAMEBUFFER_PROCS(OGL_FETCH)
	}
	if (tex_comp_avail) {
		flag = &tex_comp_avail;
		OGL_TEXTURE_COMPRESSION_PROCS(OGL_FETCH)
	}
	if (sblend_avail) fetch(glBlendEquationSeparateEXT, "glBlendEquationSeparateEXT", &sblend_avail, get_proc);
	if (sblend_avail) fetch(glBlendFuncSeparateEXT, "glBlendFuncSeparateEXT", &sblend_avail, get_proc);
}

void OGL_extensions::apply_command_line()
{
	if (option("--no_vbos")) vbo_avail = pbo_avail = 0;
	if (option("--no_pbos")) pbo_avail = 0;
	if (option("--no_sprites")) sprites_avail = 0;
	if (option("--no_pixel_counters")) occlude_avail = 0;
	if (option("--no_aniso_filtering")) {
		aniso_avail = 0;
		ren.max_iso = 1.0f;
	}
	if (option("--no_hw_mipmap")) automini_avail = 0;
	if (option("--no_vshaders")) vprog_avail = 0;
	if (option("--no_fshaders")) fprog_avail = 0;
	if (option("--no_glsl")) glsl_avail = 0;
	if (option("--no_fbos")) framebuf_avail = 0;
	if (option("--no_threaded_ogl")) threaded_avail = 0;
	if (option("--no_sblend")) sblend_avail = 0;
	threaded_avail = 0; // workers never get OpenGL contexts in this program
}

void OGL_extensions::write_report(int version, const OGL_program_limits& limits)
{
	xer << "OpenGL Vendor    : " << ren.cVEND << "\n";
	xer << "OpenGL Render    : " << ren.cREND << "\n";
	xer << "OpenGL Version   : " << ren.cVERS << " (" << version << ")\n";
	xer << "OpenGL Extensions: " << ren.cEXTE << "\n";
	xer << "tex_clamp_avail  : " << tex_clamp_avail << "\n";
	xer << "add_env_avail    : " << add_env_avail << "\n";
	xer << "combine_avail    : " << combine_avail << "\n";
	xer << "dis_fog_avail    : " << dis_fog_avail << "\n";
	xer << "tex_comp_avail   : " << tex_comp_avail << "\n";
	xer << "vbo_avail        : " << vbo_avail << "\n";
	xer << "pbo_avail        : " << pbo_avail << "\n";
	xer << "vprog_avail      : " << vprog_avail << " (" << limits.vp_instructions << ")\n";
	xer << "fprog_avail      : " << fprog_avail << " (" << limits.fp[0] << "/" << limits.fp[1] << "/"
	    << limits.fp[2] << "/" << limits.fp[3] << ")\n";
	xer << "automini_avail   : " << automini_avail << "\n";
	xer << "aniso_avail      : " << aniso_avail << "\n";
	xer << "fsaa_avail       : " << fsaa_avail << "\n";
	xer << "sprites_avail    : " << sprites_avail << "\n";
	xer << "depth_tex_avail  : " << depth_tex_avail << "\n";
	xer << "occlude_avail    : " << occlude_avail << "\n";
	xer << "shad_objs_avail  : " << shad_objs_avail << "\n";
	xer << "vshader_avail    : " << vshader_avail << " (";
	for (int i = 0; i < 5; ++i) xer << limits.vshader[i] << "/";
	xer << limits.fshader_uniforms << ")\n";
	xer << "fshader_avail    : " << fshader_avail << " (" << limits.fshader_uniforms << ")\n";
	xer << "gshader_avail    : " << gshader_avail << "\n";
	xer << "glsl_avail       : " << glsl_avail << " (" << limits.glsl_version << ")\n";
	xer << "framebuf_avail   : " << framebuf_avail << "\n";
	xer << "sblend_avail     : " << sblend_avail << "\n";
	xer << "threaded_avail   : " << threaded_avail << "\n";
	xer << "first-gen shaders: " << glsl_limited << "\n";
	xer << "max tex units    : " << ren.num_tex_units << " (" << ren.num_img_units << "/" << ren.num_cor_units << ")\n";
	xer << "max iso filtering: " << ren.max_iso << "\n";
	xer << "max texture size : " << max_texdim << "\n";
	xer << "max point size   : " << limits.point_range[1] << "\n";
}

void OGL_extensions::warn_about_driver(int version)
{
	if (!multitex_avail && version < 110) {
		const std::string first = "Your graphics hardware cannot support Velmora. Velmora requires a graphics card "
		                          "with 16 MB of VRAM and multitexturing.";
		if (!option("--force_run"))
			__MACIBM_alert(0, first, "First, try updating your graphics drivers.",
			               "If this does not help, check what your graphics card supports.",
			               "For help, write to Kestava technical support; the address is on the Kestava web site.",
			               t_exit, "OGL_extensions", 590);
		else
			__MACIBM_alert(0, first, "Your system does not meet Velmora's hardware requirements.",
			               "You have used the force-run command inline option to run Velmora anyway, but it may crash.",
			               "See the Kestava web site for the system requirements and for support.", t_alert,
			               "OGL_extensions", 590);
	}
	const char* rend = ren.cREND;
	if (!std::strcmp(rend, "GENERIC") || !std::strcmp(rend, "Generic") || !std::strcmp(rend, "generic") ||
	    !std::strcmp(rend, "Mesa GLX Indirect"))
		__MACIBM_alert(0, "I can not find a 3-D accelerator card that can handle OpenGL that has correctly installed drivers.",
		               "I will still let you run the simulator, but the frame rate will NOT allow for a good simulation.",
		               "Please use an older edition of Velmora, or get a 3-D accelerator card that can handle OpenGL.",
		               "See the Kestava web site for a list of compatible video cards.", t_alert, "OGL_extensions",
		               601);
	const bool old_shader_driver = version == 150 && glsl_avail;
	const char* second = "Velmora may run slower, crash, or show artifacts if you do not update your drivers.";
	if (old_shader_driver && !std::strcmp(ren.cVEND, "ATI Technologies Inc.")) {
		__MACIBM_alert(0, "You have a newer ATI graphics card with pixel shaders, but you do not have new drivers.",
		               second, "", "Please download the latest drivers for your card from the ATI web site.", t_alert,
		               "OGL_extensions", 615);
		glsl_avail = 0;
	}
	if (old_shader_driver && !std::strcmp(ren.cVEND, "NVIDIA Corporation")) {
		__MACIBM_alert(0, "You have a newer nVidia graphics card with pixel shaders, but you do not have new drivers.",
		               second, "", "Please download the latest drivers for your card from the nVidia web site.",
		               t_alert, "OGL_extensions", 625);
		glsl_avail = 0;
	}
}

void OGL_extensions::threaded_ogl_failed()
{
	if (!threaded_avail) return;
	threaded_avail = 0;
	__MACIBM_alert(0, "There was a problem setting up OpenGL.",
	               "You can still fly, but you may experience pauses during flight while scenery loads.", "",
	               "(Please send your log.txt file to Quorvik for debugging purposes.)", t_alert, "OGL_extensions", 637);
}
