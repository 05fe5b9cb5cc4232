#include "support/gl_fixture.h"

#include <SDL.h>
#include <GL/gl.h>
#include <png.h>

#include <cstdlib>
#include <stdexcept>

namespace {
SDL_Window* window = nullptr;
SDL_GLContext context = nullptr;
}

void gl_fixture_start()
{
	if (context) {
		SDL_GL_MakeCurrent(window, context);
		return;
	}
	if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
	if (SDL_Init(SDL_INIT_VIDEO) != 0) throw std::runtime_error(std::string("SDL_Init: ") + SDL_GetError());
	SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
	SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
	SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
	SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
	SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
	SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
	SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
	SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
	window = SDL_CreateWindow("Velmora tests", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, gl_fixture_width,
	                          gl_fixture_height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
	if (!window) throw std::runtime_error(std::string("SDL_CreateWindow: ") + SDL_GetError());
	context = SDL_GL_CreateContext(window);
	if (!context) throw std::runtime_error(std::string("SDL_GL_CreateContext: ") + SDL_GetError());
	glPixelStorei(GL_PACK_ALIGNMENT, 1);
	glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
	glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
	glViewport(0, 0, gl_fixture_width, gl_fixture_height);
}

SDL_Window* gl_fixture_window()
{
	return window;
}

std::vector<unsigned char> gl_read_pixels(int x, int y, int w, int h)
{
	std::vector<unsigned char> rgba(size_t(w) * h * 4);
	glReadBuffer(GL_BACK);
	glReadPixels(x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
	return rgba;
}

bool gl_write_png(const std::string& path, const std::vector<unsigned char>& rgba, int w, int h)
{
	png_image image{};
	image.version = PNG_IMAGE_VERSION;
	image.width = w;
	image.height = h;
	image.format = PNG_FORMAT_RGBA;
	// a negative stride takes the rows bottom row first
	const bool ok = png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), -w * 4, nullptr);
	png_image_free(&image);
	return ok;
}
