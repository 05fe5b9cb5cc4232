#pragma once
#include <GL/gl.h>
#include <GL/glext.h>
class OGL_extensions {
public:
	int glsl_avail = 0;
	int framebuf_avail = 0;
	int threaded_avail = 1;
	PFNGLUSEPROGRAMOBJECTARBPROC glUseProgramObjectARB = nullptr;
	PFNGLBINDFRAMEBUFFEREXTPROC glBindFramebufferEXT = nullptr;
	void init_extensions();
	void threaded_ogl_failed();
};
extern OGL_extensions glExt;
