#pragma once
// OpenGL extension discovery: what the driver offers and what the program may use, the extension entry
// points, the hardware limits and the driver's identification (the first fields of `ren`).
#include <GL/gl.h>
#include <GL/glext.h>

// The entry points, group by group, in the order they are fetched.
#define OGL_VBO_PROCS(X) \
	X(PFNGLBINDBUFFERARBPROC, glBindBufferARB) \
	X(PFNGLDELETEBUFFERSARBPROC, glDeleteBuffersARB) \
	X(PFNGLGENBUFFERSARBPROC, glGenBuffersARB) \
	X(PFNGLISBUFFERARBPROC, glIsBufferARB) \
	X(PFNGLBUFFERDATAARBPROC, glBufferDataARB) \
	X(PFNGLBUFFERSUBDATAARBPROC, glBufferSubDataARB) \
	X(PFNGLGETBUFFERSUBDATAARBPROC, glGetBufferSubDataARB) \
	X(PFNGLMAPBUFFERARBPROC, glMapBufferARB) \
	X(PFNGLUNMAPBUFFERARBPROC, glUnmapBufferARB) \
	X(PFNGLGETBUFFERPARAMETERIVARBPROC, glGetBufferParameterivARB) \
	X(PFNGLGETBUFFERPOINTERVARBPROC, glGetBufferPointervARB)

#define OGL_VERTEX_PROGRAM_PROCS(X) \
	X(PFNGLVERTEXATTRIB1DARBPROC, glVertexAttrib1dARB) \
	X(PFNGLVERTEXATTRIB1DVARBPROC, glVertexAttrib1dvARB) \
	X(PFNGLVERTEXATTRIB1FARBPROC, glVertexAttrib1fARB) \
	X(PFNGLVERTEXATTRIB1FVARBPROC, glVertexAttrib1fvARB) \
	X(PFNGLVERTEXATTRIB1SARBPROC, glVertexAttrib1sARB) \
	X(PFNGLVERTEXATTRIB1SVARBPROC, glVertexAttrib1svARB) \
	X(PFNGLVERTEXATTRIB2DARBPROC, glVertexAttrib2dARB) \
	X(PFNGLVERTEXATTRIB2DVARBPROC, glVertexAttrib2dvARB) \
	X(PFNGLVERTEXATTRIB2FARBPROC, glVertexAttrib2fARB) \
	X(PFNGLVERTEXATTRIB2FVARBPROC, glVertexAttrib2fvARB) \
	X(PFNGLVERTEXATTRIB2SARBPROC, glVertexAttrib2sARB) \
	X(PFNGLVERTEXATTRIB2SVARBPROC, glVertexAttrib2svARB) \
	X(PFNGLVERTEXATTRIB3DARBPROC, glVertexAttrib3dARB) \
	X(PFNGLVERTEXATTRIB3DVARBPROC, glVertexAttrib3dvARB) \
	X(PFNGLVERTEXATTRIB3FARBPROC, glVertexAttrib3fARB) \
	X(PFNGLVERTEXATTRIB3FVARBPROC, glVertexAttrib3fvARB) \
	X(PFNGLVERTEXATTRIB3SARBPROC, glVertexAttrib3sARB) \
	X(PFNGLVERTEXATTRIB3SVARBPROC, glVertexAttrib3svARB) \
	X(PFNGLVERTEXATTRIB4NBVARBPROC, glVertexAttrib4NbvARB) \
	X(PFNGLVERTEXATTRIB4NIVARBPROC, glVertexAttrib4NivARB) \
	X(PFNGLVERTEXATTRIB4NSVARBPROC, glVertexAttrib4NsvARB) \
	X(PFNGLVERTEXATTRIB4NUBARBPROC, glVertexAttrib4NubARB) \
	X(PFNGLVERTEXATTRIB4NUBVARBPROC, glVertexAttrib4NubvARB) \
	X(PFNGLVERTEXATTRIB4NUIVARBPROC, glVertexAttrib4NuivARB) \
	X(PFNGLVERTEXATTRIB4NUSVARBPROC, glVertexAttrib4NusvARB) \
	X(PFNGLVERTEXATTRIB4BVARBPROC, glVertexAttrib4bvARB) \
	X(PFNGLVERTEXATTRIB4DARBPROC, glVertexAttrib4dARB) \
	X(PFNGLVERTEXATTRIB4DVARBPROC, glVertexAttrib4dvARB) \
	X(PFNGLVERTEXATTRIB4FARBPROC, glVertexAttrib4fARB) \
	X(PFNGLVERTEXATTRIB4FVARBPROC, glVertexAttrib4fvARB) \
	X(PFNGLVERTEXATTRIB4IVARBPROC, glVertexAttrib4ivARB) \
	X(PFNGLVERTEXATTRIB4SARBPROC, glVertexAttrib4sARB) \
	X(PFNGLVERTEXATTRIB4SVARBPROC, glVertexAttrib4svARB) \
	X(PFNGLVERTEXATTRIB4UBVARBPROC, glVertexAttrib4ubvARB) \
	X(PFNGLVERTEXATTRIB4UIVARBPROC, glVertexAttrib4uivARB) \
	X(PFNGLVERTEXATTRIB4USVARBPROC, glVertexAttrib4usvARB) \
	X(PFNGLVERTEXATTRIBPOINTERARBPROC, glVertexAttribPointerARB) \
	X(PFNGLENABLEVERTEXATTRIBARRAYARBPROC, glEnableVertexAttribArrayARB) \
	X(PFNGLDISABLEVERTEXATTRIBARRAYARBPROC, glDisableVertexAttribArrayARB) \
	X(PFNGLPROGRAMSTRINGARBPROC, glProgramStringARB) \
	X(PFNGLBINDPROGRAMARBPROC, glBindProgramARB) \
	X(PFNGLDELETEPROGRAMSARBPROC, glDeleteProgramsARB) \
	X(PFNGLGENPROGRAMSARBPROC, glGenProgramsARB) \
	X(PFNGLPROGRAMENVPARAMETER4DARBPROC, glProgramEnvParameter4dARB) \
	X(PFNGLPROGRAMENVPARAMETER4DVARBPROC, glProgramEnvParameter4dvARB) \
	X(PFNGLPROGRAMENVPARAMETER4FARBPROC, glProgramEnvParameter4fARB) \
	X(PFNGLPROGRAMENVPARAMETER4FVARBPROC, glProgramEnvParameter4fvARB) \
	X(PFNGLPROGRAMLOCALPARAMETER4DARBPROC, glProgramLocalParameter4dARB) \
	X(PFNGLPROGRAMLOCALPARAMETER4DVARBPROC, glProgramLocalParameter4dvARB) \
	X(PFNGLPROGRAMLOCALPARAMETER4FARBPROC, glProgramLocalParameter4fARB) \
	X(PFNGLPROGRAMLOCALPARAMETER4FVARBPROC, glProgramLocalParameter4fvARB) \
	X(PFNGLGETPROGRAMENVPARAMETERDVARBPROC, glGetProgramEnvParameterdvARB) \
	X(PFNGLGETPROGRAMENVPARAMETERFVARBPROC, glGetProgramEnvParameterfvARB) \
	X(PFNGLGETPROGRAMLOCALPARAMETERDVARBPROC, glGetProgramLocalParameterdvARB) \
	X(PFNGLGETPROGRAMLOCALPARAMETERFVARBPROC, glGetProgramLocalParameterfvARB) \
	X(PFNGLGETPROGRAMIVARBPROC, glGetProgramivARB) \
	X(PFNGLGETPROGRAMSTRINGARBPROC, glGetProgramStringARB) \
	X(PFNGLGETVERTEXATTRIBDVARBPROC, glGetVertexAttribdvARB) \
	X(PFNGLGETVERTEXATTRIBFVARBPROC, glGetVertexAttribfvARB) \
	X(PFNGLGETVERTEXATTRIBIVARBPROC, glGetVertexAttribivARB) \
	X(PFNGLGETVERTEXATTRIBPOINTERVARBPROC, glGetVertexAttribPointervARB) \
	X(PFNGLISPROGRAMARBPROC, glIsProgramARB)

#define OGL_OCCLUSION_PROCS(X) \
	X(PFNGLGENQUERIESARBPROC, glGenQueriesARB) \
	X(PFNGLDELETEQUERIESARBPROC, glDeleteQueriesARB) \
	X(PFNGLISQUERYARBPROC, glIsQueryARB) \
	X(PFNGLBEGINQUERYARBPROC, glBeginQueryARB) \
	X(PFNGLENDQUERYARBPROC, glEndQueryARB) \
	X(PFNGLGETQUERYIVARBPROC, glGetQueryivARB) \
	X(PFNGLGETQUERYOBJECTIVARBPROC, glGetQueryObjectivARB) \
	X(PFNGLGETQUERYOBJECTUIVARBPROC, glGetQueryObjectuivARB)

#define OGL_SHADER_OBJECTS_PROCS(X) \
	X(PFNGLDELETEOBJECTARBPROC, glDeleteObjectARB) \
	X(PFNGLGETHANDLEARBPROC, glGetHandleARB) \
	X(PFNGLDETACHOBJECTARBPROC, glDetachObjectARB) \
	X(PFNGLCREATESHADEROBJECTARBPROC, glCreateShaderObjectARB) \
	X(PFNGLSHADERSOURCEARBPROC, glShaderSourceARB) \
	X(PFNGLCOMPILESHADERARBPROC, glCompileShaderARB) \
	X(PFNGLCREATEPROGRAMOBJECTARBPROC, glCreateProgramObjectARB) \
	X(PFNGLATTACHOBJECTARBPROC, glAttachObjectARB) \
	X(PFNGLLINKPROGRAMARBPROC, glLinkProgramARB) \
	X(PFNGLUSEPROGRAMOBJECTARBPROC, glUseProgramObjectARB) \
	X(PFNGLVALIDATEPROGRAMARBPROC, glValidateProgramARB) \
	X(PFNGLUNIFORM1FARBPROC, glUniform1fARB) \
	X(PFNGLUNIFORM2FARBPROC, glUniform2fARB) \
	X(PFNGLUNIFORM3FARBPROC, glUniform3fARB) \
	X(PFNGLUNIFORM4FARBPROC, glUniform4fARB) \
	X(PFNGLUNIFORM1IARBPROC, glUniform1iARB) \
	X(PFNGLUNIFORM2IARBPROC, glUniform2iARB) \
	X(PFNGLUNIFORM3IARBPROC, glUniform3iARB) \
	X(PFNGLUNIFORM4IARBPROC, glUniform4iARB) \
	X(PFNGLUNIFORM1FVARBPROC, glUniform1fvARB) \
	X(PFNGLUNIFORM2FVARBPROC, glUniform2fvARB) \
	X(PFNGLUNIFORM3FVARBPROC, glUniform3fvARB) \
	X(PFNGLUNIFORM4FVARBPROC, glUniform4fvARB) \
	X(PFNGLUNIFORM1IVARBPROC, glUniform1ivARB) \
	X(PFNGLUNIFORM2IVARBPROC, glUniform2ivARB) \
	X(PFNGLUNIFORM3IVARBPROC, glUniform3ivARB) \
	X(PFNGLUNIFORM4IVARBPROC, glUniform4ivARB) \
	X(PFNGLUNIFORMMATRIX2FVARBPROC, glUniformMatrix2fvARB) \
	X(PFNGLUNIFORMMATRIX3FVARBPROC, glUniformMatrix3fvARB) \
	X(PFNGLUNIFORMMATRIX4FVARBPROC, glUniformMatrix4fvARB) \
	X(PFNGLGETOBJECTPARAMETERFVARBPROC, glGetObjectParameterfvARB) \
	X(PFNGLGETOBJECTPARAMETERIVARBPROC, glGetObjectParameterivARB) \
	X(PFNGLGETINFOLOGARBPROC, glGetInfoLogARB) \
	X(PFNGLGETATTACHEDOBJECTSARBPROC, glGetAttachedObjectsARB) \
	X(PFNGLGETUNIFORMLOCATIONARBPROC, glGetUniformLocationARB) \
	X(PFNGLGETACTIVEUNIFORMARBPROC, glGetActiveUniformARB) \
	X(PFNGLGETUNIFORMFVARBPROC, glGetUniformfvARB) \
	X(PFNGLGETUNIFORMIVARBPROC, glGetUniformivARB) \
	X(PFNGLGETSHADERSOURCEARBPROC, glGetShaderSourceARB)

#define OGL_VERTEX_SHADER_PROCS(X) \
	X(PFNGLBINDATTRIBLOCATIONARBPROC, glBindAttribLocationARB) \
	X(PFNGLGETACTIVEATTRIBARBPROC, glGetActiveAttribARB) \
	X(PFNGLGETATTRIBLOCATIONARBPROC, glGetAttribLocationARB)

#define OGL_GEOMETRY_SHADER_PROCS(X) \
	X(PFNGLPROGRAMPARAMETERIEXTPROC, glProgramParameteriEXT)

#define OGL_FRAMEBUFFER_PROCS(X) \
	X(PFNGLISRENDERBUFFEREXTPROC, glIsRenderbufferEXT) \
	X(PFNGLBINDRENDERBUFFEREXTPROC, glBindRenderbufferEXT) \
	X(PFNGLDELETERENDERBUFFERSEXTPROC, glDeleteRenderbuffersEXT) \
	X(PFNGLGENRENDERBUFFERSEXTPROC, glGenRenderbuffersEXT) \
	X(PFNGLRENDERBUFFERSTORAGEEXTPROC, glRenderbufferStorageEXT) \
	X(PFNGLGETRENDERBUFFERPARAMETERIVEXTPROC, glGetRenderbufferParameterivEXT) \
	X(PFNGLISFRAMEBUFFEREXTPROC, glIsFramebufferEXT) \
	X(PFNGLBINDFRAMEBUFFEREXTPROC, glBindFramebufferEXT) \
	X(PFNGLDELETEFRAMEBUFFERSEXTPROC, glDeleteFramebuffersEXT) \
	X(PFNGLGENFRAMEBUFFERSEXTPROC, glGenFramebuffersEXT) \
	X(PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC, glCheckFramebufferStatusEXT) \
	X(PFNGLFRAMEBUFFERTEXTURE1DEXTPROC, glFramebufferTexture1DEXT) \
	X(PFNGLFRAMEBUFFERTEXTURE2DEXTPROC, glFramebufferTexture2DEXT) \
	X(PFNGLFRAMEBUFFERTEXTURE3DEXTPROC, glFramebufferTexture3DEXT) \
	X(PFNGLFRAMEBUFFERRENDERBUFFEREXTPROC, glFramebufferRenderbufferEXT) \
	X(PFNGLGETFRAMEBUFFERATTACHMENTPARAMETERIVEXTPROC, glGetFramebufferAttachmentParameterivEXT) \
	X(PFNGLGENERATEMIPMAPEXTPROC, glGenerateMipmapEXT)

#define OGL_TEXTURE_COMPRESSION_PROCS(X) \
	X(PFNGLCOMPRESSEDTEXIMAGE3DARBPROC, glCompressedTexImage3DARB) \
	X(PFNGLCOMPRESSEDTEXIMAGE2DARBPROC, glCompressedTexImage2DARB) \
	X(PFNGLCOMPRESSEDTEXIMAGE1DARBPROC, glCompressedTexImage1DARB) \
	X(PFNGLCOMPRESSEDTEXSUBIMAGE3DARBPROC, glCompressedTexSubImage3DARB) \
	X(PFNGLCOMPRESSEDTEXSUBIMAGE2DARBPROC, glCompressedTexSubImage2DARB) \
	X(PFNGLCOMPRESSEDTEXSUBIMAGE1DARBPROC, glCompressedTexSubImage1DARB) \
	X(PFNGLGETCOMPRESSEDTEXIMAGEARBPROC, glGetCompressedTexImageARB)

#define OGL_MULTITEXTURE_PROCS(X) \
	X(PFNGLACTIVETEXTUREARBPROC, glActiveTextureARB) \
	X(PFNGLCLIENTACTIVETEXTUREARBPROC, glClientActiveTextureARB) \
	X(PFNGLMULTITEXCOORD1DARBPROC, glMultiTexCoord1dARB) \
	X(PFNGLMULTITEXCOORD1DVARBPROC, glMultiTexCoord1dvARB) \
	X(PFNGLMULTITEXCOORD1FARBPROC, glMultiTexCoord1fARB) \
	X(PFNGLMULTITEXCOORD1FVARBPROC, glMultiTexCoord1fvARB) \
	X(PFNGLMULTITEXCOORD1IARBPROC, glMultiTexCoord1iARB) \
	X(PFNGLMULTITEXCOORD1IVARBPROC, glMultiTexCoord1ivARB) \
	X(PFNGLMULTITEXCOORD1SARBPROC, glMultiTexCoord1sARB) \
	X(PFNGLMULTITEXCOORD1SVARBPROC, glMultiTexCoord1svARB) \
	X(PFNGLMULTITEXCOORD2DARBPROC, glMultiTexCoord2dARB) \
	X(PFNGLMULTITEXCOORD2DVARBPROC, glMultiTexCoord2dvARB) \
	X(PFNGLMULTITEXCOORD2FARBPROC, glMultiTexCoord2fARB) \
	X(PFNGLMULTITEXCOORD2FVARBPROC, glMultiTexCoord2fvARB) \
	X(PFNGLMULTITEXCOORD2IARBPROC, glMultiTexCoord2iARB) \
	X(PFNGLMULTITEXCOORD2IVARBPROC, glMultiTexCoord2ivARB) \
	X(PFNGLMULTITEXCOORD2SARBPROC, glMultiTexCoord2sARB) \
	X(PFNGLMULTITEXCOORD2SVARBPROC, glMultiTexCoord2svARB) \
	X(PFNGLMULTITEXCOORD3DARBPROC, glMultiTexCoord3dARB) \
	X(PFNGLMULTITEXCOORD3DVARBPROC, glMultiTexCoord3dvARB) \
	X(PFNGLMULTITEXCOORD3FARBPROC, glMultiTexCoord3fARB) \
	X(PFNGLMULTITEXCOORD3FVARBPROC, glMultiTexCoord3fvARB) \
	X(PFNGLMULTITEXCOORD3IARBPROC, glMultiTexCoord3iARB) \
	X(PFNGLMULTITEXCOORD3IVARBPROC, glMultiTexCoord3ivARB) \
	X(PFNGLMULTITEXCOORD3SARBPROC, glMultiTexCoord3sARB) \
	X(PFNGLMULTITEXCOORD3SVARBPROC, glMultiTexCoord3svARB) \
	X(PFNGLMULTITEXCOORD4DARBPROC, glMultiTexCoord4dARB) \
	X(PFNGLMULTITEXCOORD4DVARBPROC, glMultiTexCoord4dvARB) \
	X(PFNGLMULTITEXCOORD4FARBPROC, glMultiTexCoord4fARB) \
	X(PFNGLMULTITEXCOORD4FVARBPROC, glMultiTexCoord4fvARB) \
	X(PFNGLMULTITEXCOORD4IARBPROC, glMultiTexCoord4iARB) \
	X(PFNGLMULTITEXCOORD4IVARBPROC, glMultiTexCoord4ivARB) \
	X(PFNGLMULTITEXCOORD4SARBPROC, glMultiTexCoord4sARB) \
	X(PFNGLMULTITEXCOORD4SVARBPROC, glMultiTexCoord4svARB)
struct OGL_program_limits;

class OGL_extensions {
public:
	OGL_extensions() = default;

	// Reads the driver's strings and fills glExt and ren; once, with the main context current.
	void init_extensions();
	// The same from given identification strings; entry points come from `get_proc`.
	void init_extensions_from(const char* vend, const char* rend, const char* vers, const char* exte,
	                          void* (*get_proc)(const char*));
	// Called by the thread layer when a worker cannot get a shared context.
	void threaded_ogl_failed();

#define OGL_MEMBER(type, name) type name = nullptr;
	OGL_VBO_PROCS(OGL_MEMBER)
	OGL_VERTEX_PROGRAM_PROCS(OGL_MEMBER)
	OGL_OCCLUSION_PROCS(OGL_MEMBER)
	OGL_SHADER_OBJECTS_PROCS(OGL_MEMBER)
	OGL_VERTEX_SHADER_PROCS(OGL_MEMBER)
	OGL_GEOMETRY_SHADER_PROCS(OGL_MEMBER)
	OGL_FRAMEBUFFER_PROCS(OGL_MEMBER)
	OGL_TEXTURE_COMPRESSION_PROCS(OGL_MEMBER)
#undef OGL_MEMBER
	PFNGLBLENDFUNCSEPARATEEXTPROC glBlendFuncSeparateEXT = nullptr;
	PFNGLBLENDEQUATIONSEPARATEEXTPROC glBlendEquationSeparateEXT = nullptr;

	// 1 when the program may use the feature.
	int multitex_avail = 0, tex_clamp_avail = 0, add_env_avail = 0, combine_avail = 0, dis_fog_avail = 0,
	    tex_comp_avail = 0, vbo_avail = 0, pbo_avail = 0, vprog_avail = 0, fprog_avail = 0, automini_avail = 0,
	    aniso_avail = 0, fsaa_avail = 0, sprites_avail = 0, depth_tex_avail = 0, occlude_avail = 0,
	    shad_objs_avail = 0, vshader_avail = 0, fshader_avail = 0, gshader_avail = 0, glsl_avail = 0,
	    glsl_limited = 0, framebuf_avail = 0, sblend_avail = 0, threaded_avail = 1, has_lightbug = 0;
	int max_texdim = 0; // the largest texture width or height the driver accepts

private:
	void fetch_entry_points(void* (*get_proc)(const char*));
	void apply_command_line();
	void write_report(int version, const OGL_program_limits& limits);
	void warn_about_driver(int version);
};

extern OGL_extensions glExt;

// 100 x major + 10 x minor of a version string that begins "major.minor", else 100.
int OGL_version_number(const char* version);

// Render state shared with the drawing code.
class ren_class {
public:
	float max_iso = 1.0f;   // the largest anisotropy offered; 1.0 when anisotropic filtering is off
	int num_tex_units = 0;  // fixed-function texture units, at least 1
	int num_img_units = 0;  // texture image units of fragment programs
	int num_cor_units = 0;  // texture coordinate sets
	const char* cVEND = ""; // the driver's strings, as the driver returns them
	const char* cREND = "";
	const char* cVERS = "";
	const char* cEXTE = "";
};

extern ren_class ren;

// The multitexture entry points are global pointers. They live in their own namespace and are reached
// through the names below, so that no definition of ours can stand in for the OpenGL library's exports.
namespace ogl_multitex {
#define OGL_GLOBAL(type, name) extern type name;
OGL_MULTITEXTURE_PROCS(OGL_GLOBAL)
#undef OGL_GLOBAL
}
#define glActiveTextureARB ogl_multitex::glActiveTextureARB
#define glClientActiveTextureARB ogl_multitex::glClientActiveTextureARB
#define glMultiTexCoord1dARB ogl_multitex::glMultiTexCoord1dARB
#define glMultiTexCoord1dvARB ogl_multitex::glMultiTexCoord1dvARB
#define glMultiTexCoord1fARB ogl_multitex::glMultiTexCoord1fARB
#define glMultiTexCoord1fvARB ogl_multitex::glMultiTexCoord1fvARB
#define glMultiTexCoord1iARB ogl_multitex::glMultiTexCoord1iARB
#define glMultiTexCoord1ivARB ogl_multitex::glMultiTexCoord1ivARB
#define glMultiTexCoord1sARB ogl_multitex::glMultiTexCoord1sARB
#define glMultiTexCoord1svARB ogl_multitex::glMultiTexCoord1svARB
#define glMultiTexCoord2dARB ogl_multitex::glMultiTexCoord2dARB
#define glMultiTexCoord2dvARB ogl_multitex::glMultiTexCoord2dvARB
#define glMultiTexCoord2fARB ogl_multitex::glMultiTexCoord2fARB
#define glMultiTexCoord2fvARB ogl_multitex::glMultiTexCoord2fvARB
#define glMultiTexCoord2iARB ogl_multitex::glMultiTexCoord2iARB
#define glMultiTexCoord2ivARB ogl_multitex::glMultiTexCoord2ivARB
#define glMultiTexCoord2sARB ogl_multitex::glMultiTexCoord2sARB
#define glMultiTexCoord2svARB ogl_multitex::glMultiTexCoord2svARB
#define glMultiTexCoord3dARB ogl_multitex::glMultiTexCoord3dARB
#define glMultiTexCoord3dvARB ogl_multitex::glMultiTexCoord3dvARB
#define glMultiTexCoord3fARB ogl_multitex::glMultiTexCoord3fARB
#define glMultiTexCoord3fvARB ogl_multitex::glMultiTexCoord3fvARB
#define glMultiTexCoord3iARB ogl_multitex::glMultiTexCoord3iARB
#define glMultiTexCoord3ivARB ogl_multitex::glMultiTexCoord3ivARB
#define glMultiTexCoord3sARB ogl_multitex::glMultiTexCoord3sARB
#define glMultiTexCoord3svARB ogl_multitex::glMultiTexCoord3svARB
#define glMultiTexCoord4dARB ogl_multitex::glMultiTexCoord4dARB
#define glMultiTexCoord4dvARB ogl_multitex::glMultiTexCoord4dvARB
#define glMultiTexCoord4fARB ogl_multitex::glMultiTexCoord4fARB
#define glMultiTexCoord4fvARB ogl_multitex::glMultiTexCoord4fvARB
#define glMultiTexCoord4iARB ogl_multitex::glMultiTexCoord4iARB
#define glMultiTexCoord4ivARB ogl_multitex::glMultiTexCoord4ivARB
#define glMultiTexCoord4sARB ogl_multitex::glMultiTexCoord4sARB
#define glMultiTexCoord4svARB ogl_multitex::glMultiTexCoord4svARB
