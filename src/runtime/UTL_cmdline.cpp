#include "runtime/UTL_cmdline.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "shell/cmnd.h"
#include "shell/hl_init.h"

UTL_cmdline cmdline;

static const char* const usage_text =
	"Usage: Velmora [options...]\n"
	"\n"
	"Velmora can take a number of command-line flags, in the form of --flag or\n"
	"--flag=value.  OpenGL options are available for all Velmora-related\n"
	"applications; the frame-rate test is only for Velmora itself.  Here is a listof current flags:\n"
	"\n"
	"--help or -h: print this text and quit.\n"
	"\n"
	"--no_sound: run without opening the sound device.\n"
	"\n"
	"OPTIONS TO DISABLE HARDWARE ACCELERATION\n"
	"\n"
	"These flags turn off features of your graphics card that Velmora would\n"
	"otherwise use.  Try them one at a time if you see drawing problems.\n"
	"\n"
	"--no_vbos: do not keep geometry in vertex buffer objects.\n"
	"--no_fbos: do not render into frame buffer objects.\n"
	"--no_pbos: do not move pixels through pixel buffer objects.\n"
	"--no_sprites: do not use point sprites for lights.\n"
	"--no_pixel_counters: do not use occlusion queries.\n"
	"--no_aniso_filtering: do not use anisotropic texture filtering.\n"
	"--no_hw_mipmap: build texture mipmaps in software rather than on the card.\n"
	"--no_fshaders: do not use fragment programs.\n"
	"--no_vshaders: do not use vertex programs.\n"
	"--no_glsl: do not use the OpenGL shading language.\n"
	"--no_threaded_ogl: load textures on the main thread only.\n"
	"\n"
	"OPTIONS TO ENABLE INCOMPATIBLE HARDWARE ACCELERATION\n"
	"\n"
	"These flags turn on features that Velmora switches off on cards known to\n"
	"have trouble with them.  Use them at your own risk.\n"
	"\n"
	"--use_vbos: keep geometry in vertex buffer objects even where they are slow.\n"
	"--use_sprites: use point sprites even where the driver mishandles them.\n"
	"--use_fshaders: use fragment programs even where they are unreliable.\n"
	"--use_vshaders: use vertex programs even where they are unreliable.\n"
	"--use_glsl: use the OpenGL shading language even where it is unreliable.\n"
	"--force_run: run even on hardware below the minimum requirements.\n"
	"\n"
	"FRAMERATE TEST\n"
	"\n"
	"--fps_test=n: run the frame-rate test number n.  Alerts are written to\n"
	"Log.txt instead of being shown, and preferences are not saved at exit.\n"
	"--require_fps=n: with --fps_test, report failure when the average frame\n"
	"rate falls below n.\n";

void UTL_cmdline::init_win(const char* text)
{
	const char* p = text ? text : "";
	auto is_space = [](char c) { return std::isspace((unsigned char)c) != 0; };
	while (*p) {
		while (*p && is_space(*p)) ++p;
		if (!*p) break;
		const char* k = p;
		while (*p && !is_space(*p) && *p != '=') ++p;
		std::string key(k, p);
		if (*p == '=') ++p;
		const char* v = p;
		while (*p && !is_space(*p)) ++p;
		std::string value(v, p);
		if (key.empty()) continue;
		if (options.count(key)) xer << "WARNING: command line option " << key << "=" << value << "included twice.\n";
		options[key] = value;
		xer << "     '" << key;
		if (!value.empty()) xer << "'='" << value;
		xer << "'\n";
	}
	init_common();
}

void UTL_cmdline::init_common()
{
	if (has_option("--cmnds")) {
		std::string path = get_option("--cmnds");
		if (path == "all") {
			for (size_t c = 0; c < cmnd.cmnd_names.size(); ++c)
				printf("%-50s %s\n", cmnd.cmnd_names[c].c_str(), cmnd.cmnd_descs[c].c_str());
		} else {
			std::vector<std::string> found;
			cmnd.get_cmds_in_path(path, found);
			for (const std::string& s : found) printf("%s\n", s.c_str());
		}
		fflush(stdout);
		exit(0);
	}
	if (has_option("-h") || has_option("--help")) {
		fputs(usage_text, stdout);
		fflush(stdout);
		exit(0);
	}
}

int UTL_cmdline::has_option(const char* in_arg) const { return options.count(in_arg) ? 1 : 0; }

std::string UTL_cmdline::get_option(const char* in_arg) const
{
	auto it = options.find(in_arg);
	return it == options.end() ? std::string() : it->second;
}
