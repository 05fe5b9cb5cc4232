#pragma once
// The PNG reader: decodes a mapped file into pixels, bottom row first.
#include <string>

#include "textures/TEX_utils.h"

class xmap_class;

// Reads the PNG under the file's cursor as `desired_format` (GL_ALPHA, GL_RGB or GL_RGBA). A non-null
// `io_storage` receives the pixels (it must hold TEX_max_image_bytes); a null one is allocated with new[].
// Rows are `desired_span` pixels long when it is non-zero, the next power of two above the width when
// `span_power_of_two` is set (the buffer then also has a power-of-two height). With `use_png_alpha` the
// format follows the file's alpha channel. Returns 1, or 0 for a file that cannot be used.
int TEX_load_png(const std::string& in_path, xmap_class* in_file, unsigned char*& io_storage,
                 unsigned desired_format, int desired_span, int span_power_of_two, int use_png_alpha,
                 TEX_image_desc& out_desc);
