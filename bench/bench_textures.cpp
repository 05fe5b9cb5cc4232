// Texture work at start-up and for the largest image the manager takes, on the offscreen OpenGL context.
// Run by hand: build/bench/bench_textures
#include <GL/gl.h>
#include <GL/glext.h>
#include <png.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/sys_video.h"
#include "runtime/UTL_cmdline.h"
#include "shell/hl_mnw.h"
#include "textures/OGL_extensions.h"
#include "textures/TEX_utils.h"
#include "textures/ins_texes.h"
#include "textures/tman.h"

template <typename F> static double millis(F fn)
{
	const auto start = std::chrono::steady_clock::now();
	fn();
	return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// A 2048 x 2048 RGBA picture whose left half is transparent, written without a gamma chunk.
static std::string write_large_png()
{
	const std::string path = "/tmp/velmora_bench_2048.png";
	std::vector<unsigned char> rgba(2048 * 2048 * 4);
	for (int y = 0; y < 2048; ++y)
		for (int x = 0; x < 2048; ++x) {
			unsigned char* p = &rgba[(size_t(y) * 2048 + x) * 4];
			p[0] = x & 255, p[1] = y & 255, p[2] = (x ^ y) & 255, p[3] = x < 1024 ? 0 : 255;
		}
	png_image image{};
	image.version = PNG_IMAGE_VERSION;
	image.width = image.height = 2048;
	image.format = PNG_FORMAT_RGBA;
	png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr);
	return path;
}

int main()
{
	if (!sys_video_init()) return 1;
	void* window = sys_create_window("bench", 1024, 768, false);
	if (!window || !sys_create_gl_context(window, 32, 32)) return 1;
	glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
	cmdline.options["--fps_test"] = "";
	mnw.tex_res = 5;
	glExt.init_extensions();

	std::printf("decode the three built-in pictures: %8.1f ms\n", millis(decode_ins_texes));
	std::printf("upload them (recall_ins_texes):     %8.1f ms\n", millis(recall_ins_texes));
	glFinish();

	const std::string png = write_large_png();
	std::printf("2048 x 2048 RGBA PNG, edge cleaning: %7.1f ms\n",
	            millis([&] { tman.load_texture(tex_fail_quit, 0, 2, tex_load_now, png); glFinish(); }));
	std::printf("the same with hand-built mipmaps:   %8.1f ms\n", millis([&] {
		            tman.load_texture(tex_fail_quit, 500, 2 | tex_mipmap | tex_plain_8bit, tex_load_now, png);
		            glFinish();
	            }));

	// a DXT5 chain of 2048 x 2048 turned upright with gamma-corrected endpoints
	TEX_image_desc dxt5{GL_COMPRESSED_RGBA_S3TC_DXT5_EXT, 2048, 2048, 0, 1};
	std::vector<unsigned char> blocks(TEX_bytes_needed_for_image(dxt5));
	for (size_t i = 0; i < blocks.size(); ++i) blocks[i] = static_cast<unsigned char>(i * 7);
	std::printf("flip a 2048 x 2048 DXT5 chain:      %8.1f ms (%zu bytes)\n",
	            millis([&] { TEX_flip_y(dxt5, blocks.data()); }), blocks.size());
	std::remove(png.c_str());
	return 0;
}
