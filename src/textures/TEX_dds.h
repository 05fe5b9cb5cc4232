#pragma once
// The DDS reader: DXT1/3/5 and 24/32-bit BGR(A) images, used where they lie in the mapped file.
#include <string>

#include "textures/TEX_utils.h"

class xmap_class;

// Points `io_storage` at the pixels inside the mapping (they are read, never written). Returns 1, or 0 for
// a file that is not a usable DDS or that is shorter than its header says.
int TEX_load_dds(const std::string& in_path, xmap_class* the_file, unsigned char*& io_storage,
                 TEX_image_desc& out_desc);
