#include "textures/OGL_extensions.h"
OGL_extensions glExt;
void OGL_extensions::init_extensions() { threaded_avail = 0; }
void OGL_extensions::threaded_ogl_failed() {}
