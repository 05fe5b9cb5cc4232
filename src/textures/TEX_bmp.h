#pragma once
// The BMP reader: uncompressed 24-bit files, pixels delivered bottom row first.
#include <string>

#include "textures/TEX_utils.h"

class xmap_class;

// As TEX_load_png; a pure magenta pixel becomes transparent black in GL_RGBA.
int TEX_load_bmp(const std::string& in_path, xmap_class* m, unsigned char*& io_storage, unsigned desired_format,
                 int desired_span, int span_power_of_two, TEX_image_desc& out_desc);
