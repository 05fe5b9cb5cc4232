#pragma once
// The texture manager: turns image files and in-memory pixel buffers into OpenGL textures and hands out
// refs for them. A ref is both the index of the texture's entry and the OpenGL texture name it uses.
#include <string>
#include <vector>

#include "runtime/UTL_thread.h"

enum tex_load_time { tex_load_now = 100, tex_load_scenery = 101, tex_load_never = 102 };
enum tex_fail_mode {
	tex_fail_ignore = 0,
	tex_fail_warn_scene = 1,
	tex_fail_warn_plane = 2,
	tex_fail_warn_install = 3,
	tex_fail_quit = 4
};
enum load_fail_status { status_okay = 0, status_fail = 1, status_mute = 2 };

// Manual refs of the well-known textures; refs from first_dynamic_ref up are chosen by the manager.
enum {
	t_interface = 392,   // the interface image: font, bars, frames, boxes, palette
	t_installer = 393,   // the installer picture: map, icons, picture buttons
	t_ins_back_1 = 394,  // the background of the installer screens
	t_blank_gray = 930,  // stands in for any texture whose file is missing
	first_dynamic_ref = 1135
};

// Bits of the filter-type word (the low three bits are the pixel kind).
enum {
	tex_mipmap = 8,
	tex_clamp = 16,
	tex_clamp_s = 32,
	tex_res_finer = 64,
	tex_res_coarser = 128,
	tex_res_full = 256,
	tex_in_scratch = 512,
	tex_hardwired = 1024,
	tex_half_float = 2048,
	tex_plain_8bit = 4096,
	tex_exact_size = 8192
};

struct ref_dat_struct {
	std::string path = "un-inited";
	int ogl_num = 0;
	float tex_dx_vis = 0, tex_dy_vis = 0; // image size after scaling
	float tex_dx_tot = 0, tex_dy_tot = 0; // texture size as allocated
	int tex_vram = 0;                     // estimated bytes of video memory; 0 when nothing is uploaded
	int tex_mode = 0;                     // pixel format uploaded; 0 for a free entry
	tex_load_time load_time = tex_load_never;
	int filter_type = 0;
	tex_fail_mode required = tex_fail_quit;
	int ref_count = -1;                   // requests by path; -1 for manual refs and empty entries
};

// The working record of one load.
struct tex_load_vars {
	tex_fail_mode require_tex = tex_fail_quit;
	int manual_ref = 0;
	int filter_type = 0;
	int show_init = 0;
	unsigned rgb_type = 0;       // GL format of the pixels in the buffer
	int pre_mip = 0;             // the buffer already holds all mipmap levels
	signed char bytes_per_pix = 0;
	int depth_change_ok = 0;     // the reader may change the pixel depth
	int dx_vis = 0, dy_vis = 0, dx_tot = 0, dy_tot = 0;
	std::string path;
	unsigned char* used_buf = nullptr;
};

class tman_class {
public:
	tman_class();
	~tman_class();
	tman_class(const tman_class&) = delete;
	tman_class& operator=(const tman_class&) = delete;

	// The ref, or 0 for an empty path or a manual ref whose image cannot be read.
	int load_texture(tex_fail_mode require_tex, int manual_ref, int filter_type, tex_load_time load_time,
	                 const std::string& path);
	void bind_ref(int ref, int unit, int multi_tex_mode);
	void unload_texture(int ref);
	std::string get_path(int ref);
	void reset_bind();

	int has_scene_load_fail() const { return scene_load_fail == status_fail; }
	int has_plane_load_fail() const { return plane_load_fail == status_fail; }
	int has_instl_load_fail() const { return instl_load_fail == status_fail; }
	void mute_scene_load_fail() { scene_load_fail = status_mute; }
	void mute_plane_load_fail() { plane_load_fail = status_mute; }
	void mute_instl_load_fail() { instl_load_fail = status_mute; }

	int loaded_texes_ctr = 0; // entries holding an uploaded texture
	int total_texes_ctr = 0;  // entries in use
	std::vector<ref_dat_struct> ref_dat;
	unsigned char scene_load_fail = status_okay, plane_load_fail = status_okay, instl_load_fail = status_okay;
	UTL_critical_section lock;

private:
	int load_texture_int(tex_fail_mode require_tex, int ref, int filter_type, const std::string& path);
	int load_texture_io(tex_load_vars& vars);
	int load_texture_ogl(tex_load_vars& vars, int source);
	int substitute_blank(tex_load_vars& vars);
	void unload_texture_internal(int ref);
};

extern tman_class tman;

// The shared scratch image buffer: 16-byte aligned, room for a 2048 x 2048 RGBA image. A texture whose
// path begins with "scratch_array" takes its pixels from here, scratch_dx by scratch_dy, laid out with
// the power-of-two row pitch of the texture.
constexpr int scratch_array_bytes = 16777231;
extern unsigned char* scratch_array;
extern int scratch_dx, scratch_dy;

// The size rule: the sizes at which an image of dx_file by dy_file is uploaded, and the scale.
// Source 1 is the scratch buffer (always full resolution), 2 a file.
float TEX_get_scale(const std::string& path, int filter_type, int dx_file, int dy_file, int& dx_vis, int& dy_vis,
                    int& dx_tot, int& dy_tot, int source);
int load_buf_into_scratch(tex_load_vars& vars);
int load_any_into_scratch(tex_load_vars& vars);

// Argument checks: each ends the program with a fatal alert when the value is out of range.
void check_dxy(const std::string& path, float value);
void check_bytes(const std::string& path, float value);
void check_manual_ref(const std::string& path, float value);
void check_load_time(const std::string& path, float value);
void check_filter_type(const std::string& path, float value);
