#include "textures/tman.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <unordered_map>

#include "io/xmap.h"
#include "runtime/UTL_cmdline.h"
#include "runtime/xtim.h"
#include "shell/hl_alert.h"
#include "shell/hl_init.h"
#include "shell/hl_mnw.h"
#include "textures/OGL_extensions.h"
#include "textures/TEX_bind.h"
#include "textures/TEX_bmp.h"
#include "textures/TEX_dds.h"
#include "textures/TEX_png.h"
#include "textures/TEX_utils.h"

tman_class tman;

namespace {
std::unordered_map<std::string, int> tex_hash; // path -> ref of the entry loaded under it

unsigned char scratch_array_storage[scratch_array_bytes];
unsigned char scratch_array_temp[scratch_array_bytes]; // the private decode buffer for files

unsigned char* aligned_16(unsigned char* p)
{
	return p + (16 - reinterpret_cast<uintptr_t>(p) % 16) % 16;
}

class StLocker {
public:
	explicit StLocker(UTL_critical_section& cs) : cs_(cs) { UTL_critical_section_lock(&cs_); }
	~StLocker() { UTL_critical_section_unlock(&cs_); }
	StLocker(const StLocker&) = delete;
	StLocker& operator=(const StLocker&) = delete;

private:
	UTL_critical_section& cs_;
};

bool begins_with(const std::string& s, const char* prefix)
{
	return s.compare(0, std::strlen(prefix), prefix) == 0;
}

std::string fmt(const char* format, double value)
{
	char text[64];
	std::snprintf(text, sizeof text, format, value);
	return text;
}

void check_range(const std::string& path, float value, float low, float high, const char* message, int line)
{
	if (value < low || value > high)
		__MACIBM_alert(0, message, path, "value:", fmt("%1.0f", value), t_exit, "tman", line);
}

// The start-up progress line names a texture that follows a pause of more than a second, except for
// the scratch-buffer pictures and the well-known refs that are loaded while the screen is being set up.
void show_progress(int manual_ref, tex_load_time load_time, const std::string& path)
{
	static double previous = 0;
	static const uint64_t first_call = xtim_class::microsecs_tot();
	const double now = (xtim_class::microsecs_tot() - first_call) * 1e-6;
	const bool quiet_ref = manual_ref == 0 || manual_ref == 312 || manual_ref == t_interface || manual_ref == 396 ||
	                       manual_ref == t_blank_gray || (manual_ref >= 427 && manual_ref <= 442);
	if (now - previous > 1.0 && load_time == tex_load_now && !begins_with(path, "scratch_array") && !quiet_ref)
		MACIBM_show_init("Loading bitmap " + path + ".", nullptr);
	previous = now;
}

bool is_nearest_filtered(int ref)
{
	return ref == t_interface || ref == 419 || ref == 425 || ref == 426 || (ref >= 427 && ref <= 442);
}

bool is_power_of_two(float v)
{
	const float l = std::log2(v);
	return std::fabs(l - std::round(l)) < 0.0001f;
}

// The path with its last four characters replaced by `ext` when they form an extension.
std::string with_extension(const std::string& path, const char* ext)
{
	const size_t n = path.size();
	return n > 4 && path[n - 4] == '.' ? path.substr(0, n - 4) + ext : path;
}

unsigned reader_format(int bytes_per_pix)
{
	return bytes_per_pix == 1 ? GL_ALPHA : bytes_per_pix == 4 ? GL_RGBA : GL_RGB;
}

int bytes_of_format(unsigned format)
{
	if (format == GL_COMPRESSED_RGB_S3TC_DXT1_EXT) return 3;
	if (TEX_is_compressed(format)) return 4;
	return TEX_bytes_per_pixel(format);
}

// Moves the rows of a reduced image to the pitch of the texture and clears what the picture leaves
// uncovered, so the upload reads exactly the image of dx_tot by dy_tot.
void repack(unsigned char* buf, const TEX_image_desc& desc, int dx_tot, int dy_tot)
{
	const int bpp = TEX_bytes_per_pixel(desc.format);
	const int src_stride = desc.width * bpp + desc.padding, dst_stride = dx_tot * bpp;
	const int w = std::min(desc.width, dx_tot), h = std::min(desc.height, dy_tot);
	for (int y = 0; y < h; ++y) {
		std::memmove(buf + y * dst_stride, buf + y * src_stride, w * bpp);
		std::memset(buf + y * dst_stride + w * bpp, 0, (dx_tot - w) * bpp);
	}
	std::memset(buf + h * dst_stride, 0, size_t(dy_tot - h) * dst_stride);
}

// Gives every fully transparent texel the average colour of the visible texels around it, so that
// filtering does not pull a dark fringe into the edges of a picture.
void clean_edges(unsigned char* buf, int dx, int dy)
{
	for (int y = 0; y < dy; ++y)
		for (int x = 0; x < dx; ++x) {
			unsigned char* texel = buf + (y * dx + x) * 4;
			if (texel[3]) continue;
			int sum[3] = {0, 0, 0}, count = 0;
			for (int j = std::max(0, y - 2); j <= std::min(dy - 1, y + 2); ++j)
				for (int i = std::max(0, x - 2); i <= std::min(dx - 1, x + 2); ++i) {
					const unsigned char* n = buf + (j * dx + i) * 4;
					if (!n[3]) continue;
					sum[0] += n[0], sum[1] += n[1], sum[2] += n[2];
					++count;
				}
			if (count)
				for (int c = 0; c < 3; ++c) texel[c] = static_cast<unsigned char>(sum[c] / count);
		}
}

// The internal format OpenGL keeps for data of `format` under the flags of `filter_type`.
GLint internal_format(unsigned format, int filter_type)
{
	GLint internal = format == GL_BGRA ? GL_RGBA : format == GL_BGR ? GL_RGB : format;
	if (filter_type & tex_half_float) {
		if (internal == GL_ALPHA) internal = GL_ALPHA16F_ARB;
		if (internal == GL_RGB) internal = GL_RGB16F_ARB;
		if (internal == GL_RGBA) internal = GL_RGBA16F_ARB;
	}
	if (format == GL_DEPTH_COMPONENT) internal = GL_DEPTH_COMPONENT24;
	if (filter_type & tex_plain_8bit) {
		if (internal == GL_RGB) internal = GL_RGB8;
		if (internal == GL_RGBA) internal = GL_RGBA8;
	}
	return internal;
}

// The DDS path: levels too large for the scale are skipped without decoding, the rest is copied into the
// decode buffer and turned upright.
int take_dds(tex_load_vars& vars, TEX_image_desc desc, const unsigned char* pixels, float reduction, unsigned char* buf)
{
	while (reduction > 1 && (desc.width > 1 || desc.height > 1)) {
		pixels += TEX_bytes_needed_for_image(TEX_image_desc{desc.format, desc.width, desc.height, 0, 0});
		desc.width = std::max(1, desc.width / 2);
		desc.height = std::max(1, desc.height / 2);
		reduction /= 2;
	}
	// The levels are uploaded at their own size, so they must be the texture's size.
	const int bytes = TEX_bytes_needed_for_image(desc);
	if (desc.width != vars.dx_tot || desc.height != vars.dy_tot || bytes > TEX_max_image_bytes) return 0;
	std::memcpy(buf, pixels, bytes);
	if (TEX_flip_y(desc, buf) && vars.rgb_type == GL_COMPRESSED_RGB_S3TC_DXT1_EXT) {
		vars.rgb_type = GL_COMPRESSED_RGBA_S3TC_DXT1_EXT;
		vars.bytes_per_pix = 4;
	}
	return 1;
}
}

unsigned char* scratch_array = aligned_16(scratch_array_storage);
int scratch_dx = 0, scratch_dy = 0;

void check_dxy(const std::string& path, float value)
{
	check_range(path, value, 1, 2048, "Trying to create a texture either less than 1 or greater than 2048!", 130);
}

void check_load_time(const std::string& path, float value)
{
	check_range(path, value, tex_load_now, tex_load_never, "Trying to create an invalid texture load_time!", 131);
}

void check_filter_type(const std::string& path, float value)
{
	check_range(path, value, 0, 16383, "Trying to bind an invalid filter type!", 132);
}

void check_bytes(const std::string& path, float value)
{
	check_range(path, value, 1, 4, "Trying to bind too low or high a number of bytes!", 133);
}

void check_manual_ref(const std::string& path, float value)
{
	check_range(path, value, 0, first_dynamic_ref, "Trying to bind too low or high a manual_ref!", 134);
}

float TEX_get_scale(const std::string& path, int filter_type, int dx_file, int dy_file, int& dx_vis, int& dy_vis,
                    int& dx_tot, int& dy_tot, int source)
{
	static const float by_setting[6] = {1.0f / 32, 1.0f / 16, 1.0f / 8, 1.0f / 4, 1.0f / 2, 1.0f};
	float scale = mnw.tex_res >= 0 && mnw.tex_res <= 5 ? by_setting[mnw.tex_res] : 1.0f;
	if (filter_type & tex_res_finer) scale = std::min(1.0f, scale * 2);
	if (filter_type & tex_res_coarser) scale = std::min(1.0f, scale / 2);
	if ((filter_type & tex_res_full) || source == 1) scale = 1;
	scale = std::max({scale, 1.0f / dx_file, 1.0f / dy_file});
	while (glExt.max_texdim > 0 && (dx_file * scale > glExt.max_texdim || dy_file * scale > glExt.max_texdim))
		scale /= 2;
	// a little tolerance keeps 600 x (1 / 600) from truncating to 0; an image never shrinks below a texel
	dx_vis = std::max(1, int(dx_file * scale + 1e-4f));
	dy_vis = std::max(1, int(dy_file * scale + 1e-4f));
	const bool exact = filter_type & tex_exact_size;
	dx_tot = exact ? dx_vis : TEX_next_power_of_two(dx_vis);
	dy_tot = exact ? dy_vis : TEX_next_power_of_two(dy_vis);
	for (float v : {dx_file, dy_file, dx_vis, dy_vis, dx_tot, dy_tot}) check_dxy(path, v);
	return scale;
}

int load_buf_into_scratch(tex_load_vars& vars)
{
	check_dxy(vars.path, scratch_dx);
	check_dxy(vars.path, scratch_dy);
	TEX_get_scale(vars.path, vars.filter_type, scratch_dx, scratch_dy, vars.dx_vis, vars.dy_vis, vars.dx_tot,
	              vars.dy_tot, 1);
	vars.used_buf = scratch_array;
	return 1;
}

int load_any_into_scratch(tex_load_vars& vars)
{
	check_bytes(vars.path, vars.bytes_per_pix);
	unsigned char* buf = vars.filter_type & tex_in_scratch ? scratch_array : scratch_array_temp;
	const std::string names[3] = {cmdline.has_option("--no_dds") ? vars.path : with_extension(vars.path, ".dds"),
	                              with_extension(vars.path, ".png"), with_extension(vars.path, ".bmp")};
	xmap_class file("");
	const std::string* name = nullptr;
	for (const std::string& candidate : names)
		if (file.retry(candidate)) {
			name = &candidate;
			break;
		}
	if (!name || file.mEnd - file.mBegin < 8) return 0;

	const auto* head = reinterpret_cast<const unsigned char*>(file.mBegin);
	static const unsigned char png_signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
	TEX_image_desc desc;
	unsigned char* pixels = buf;
	const unsigned format = reader_format(vars.bytes_per_pix);
	const bool dds = !std::memcmp(head, "DDS ", 4);
	const bool exact = vars.filter_type & tex_exact_size;
	if (dds) {
		if (!TEX_load_dds(*name, &file, pixels, desc) || !desc.has_mips) return 0;
		// without compressed textures in the driver an S3TC file cannot be uploaded
		if (TEX_is_compressed(desc.format) && !glExt.glCompressedTexImage2DARB) return 0;
	} else if (head[0] == 'B' && head[1] == 'M') {
		if (!TEX_load_bmp(*name, &file, pixels, format, 0, !exact, desc)) return 0;
	} else if (!std::memcmp(head, png_signature, 8)) {
		if (!TEX_load_png(*name, &file, pixels, format, 0, !exact, vars.depth_change_ok, desc)) return 0;
	} else {
		return 0;
	}
	vars.bytes_per_pix = bytes_of_format(desc.format);
	vars.rgb_type = desc.format;
	vars.pre_mip = desc.has_mips;
	const float scale = TEX_get_scale(vars.path, vars.filter_type, desc.width, desc.height, vars.dx_vis, vars.dy_vis,
	                                  vars.dx_tot, vars.dy_tot, 2);
	const float reduction = 1 / scale;
	vars.used_buf = buf;
	if (dds) return take_dds(vars, desc, pixels, reduction, buf);
	if (reduction != 1) {
		const int n = int(reduction);
		TEX_downscale(desc, buf, std::min(n, desc.width), std::min(n, desc.height));
	}
	repack(buf, desc, vars.dx_tot, vars.dy_tot);
	return 1;
}

tman_class::tman_class()
{
	UTL_critical_section_create(&lock);
}

tman_class::~tman_class()
{
	UTL_critical_section_destroy(&lock);
}

int tman_class::load_texture(tex_fail_mode require_tex, int manual_ref, int filter_type, tex_load_time load_time,
                             const std::string& path)
{
	if (path.empty()) return 0;
	show_progress(manual_ref, load_time, path);
	StLocker hold(lock);
	check_load_time(path, load_time);
	check_manual_ref(path, manual_ref);

	if (manual_ref == 0) {
		const auto known = tex_hash.find(path);
		if (known != tex_hash.end()) {
			const int ref = known->second;
			++ref_dat[ref].ref_count;
			if (ref_dat[ref].load_time == tex_load_now) return ref;
			return load_texture_int(require_tex, ref, filter_type, path);
		}
	}
	int ref = manual_ref;
	if (!ref) {
		ref = std::max<int>(first_dynamic_ref, ref_dat.size());
		for (int r = int(ref_dat.size()) - 1; r >= first_dynamic_ref; --r)
			if (!ref_dat[r].tex_mode) {
				ref = r;
				break;
			}
	}
	if (ref >= int(ref_dat.size())) ref_dat.resize(ref + 1);

	ref_dat_struct& entry = ref_dat[ref];
	const auto previous = tex_hash.find(entry.path);
	if (previous != tex_hash.end() && previous->second == ref) tex_hash.erase(previous);
	tex_hash.emplace(path, ref);
	if (!entry.tex_mode) {
		entry = ref_dat_struct{};
		entry.path = path;
		entry.load_time = tex_load_now;
		entry.ref_count = manual_ref ? -1 : 1;
		entry.filter_type = filter_type;
		entry.required = require_tex;
		entry.tex_mode = GL_RGBA; // in use from here on; the upload records the real format
		++total_texes_ctr;
	}
	const int loaded = load_texture_int(require_tex, ref, filter_type, path);
	return !loaded && manual_ref ? 0 : ref;
}

int tman_class::load_texture_int(tex_fail_mode require_tex, int ref, int filter_type, const std::string& path)
{
	check_filter_type(path, filter_type);
	tex_load_vars vars;
	vars.require_tex = require_tex;
	vars.manual_ref = ref;
	vars.filter_type = filter_type;
	vars.path = path;
	const int source = load_texture_io(vars);
	return load_texture_ogl(vars, source);
}

int tman_class::load_texture_io(tex_load_vars& vars)
{
	switch (vars.filter_type & 7) {
	case 0:
		__MACIBM_alert(0, "BAD color enum for tman - see tman.h for valid colors!  We cannot pass 0.", "", "", "",
		               t_exit, "tman", 708);
		break;
	case 2: vars.rgb_type = GL_RGBA, vars.bytes_per_pix = 4; break;
	case 3: vars.rgb_type = GL_ALPHA, vars.bytes_per_pix = 1; break;
	case 4: vars.rgb_type = GL_RGB, vars.bytes_per_pix = 3, vars.depth_change_ok = 1; break;
	case 5: vars.rgb_type = GL_RGBA, vars.bytes_per_pix = 4, vars.depth_change_ok = 1; break;
	case 6: vars.rgb_type = GL_DEPTH_COMPONENT, vars.bytes_per_pix = 1; break;
	default: vars.rgb_type = GL_RGB, vars.bytes_per_pix = 3; break;
	}
	vars.pre_mip = 0;
	int source = 0;
	if (begins_with(vars.path, "scratch_array")) source = load_buf_into_scratch(vars);
	else if (load_any_into_scratch(vars)) source = 2;
	if (vars.filter_type & tex_in_scratch) vars.used_buf = scratch_array;
	return source;
}

int tman_class::substitute_blank(tex_load_vars& vars)
{
	ref_dat_struct& entry = ref_dat[vars.manual_ref];
	const ref_dat_struct& blank = ref_dat[t_blank_gray];
	entry.ogl_num = blank.ogl_num;
	entry.tex_dx_vis = blank.tex_dx_vis, entry.tex_dy_vis = blank.tex_dy_vis;
	entry.tex_dx_tot = blank.tex_dx_tot, entry.tex_dy_tot = blank.tex_dy_tot;
	entry.tex_mode = blank.tex_mode;
	entry.tex_vram = 0;
	entry.load_time = tex_load_now;
	unsigned char* flag = nullptr;
	switch (vars.require_tex) {
	case tex_fail_ignore: return 0;
	case tex_fail_warn_scene: flag = &scene_load_fail; break;
	case tex_fail_warn_plane: flag = &plane_load_fail; break;
	case tex_fail_warn_install: flag = &instl_load_fail; break;
	case tex_fail_quit:
		__MACIBM_alert(0, "Trying to load a texture that you do not have!",
		               "This smacks of a mis-installed copy of Velmora!",
		               "Please get a new download from the Kestava web site. The missing file is:", vars.path,
		               t_exit, "tman", 781);
		return 0;
	}
	if (*flag == status_okay) *flag = status_fail;
	xer << "WARNING: we are missing the texture: " << vars.path << ".\n";
	return 0;
}

int tman_class::load_texture_ogl(tex_load_vars& vars, int source)
{
	const int ref = vars.manual_ref;
	const bool blank_missing = source == 0 && t_blank_gray >= int(ref_dat.size());
	if (ref >= int(ref_dat.size()) || blank_missing)
		__MACIBM_alert(0, "(manual_ref>=ref_dat.size()!",
		               "maybe we tried to load some texture thatis not avail, and we have not loaded the "
		               "t_blank_gray yet?",
		               "", "", t_exit, "tman", 766);
	if (source == 0) return substitute_blank(vars);

	ref_dat_struct& entry = ref_dat[ref];
	const int filter = vars.filter_type;
	const unsigned format = vars.rgb_type;
	const int dx_tot = vars.dx_tot, dy_tot = vars.dy_tot;
	const bool compressed = TEX_is_compressed(format);
	const bool clean = vars.bytes_per_pix == 4 && source != 1 && !compressed && !vars.pre_mip;
	const bool clamp_s = filter & (tex_clamp | tex_clamp_s), clamp_t = filter & tex_clamp;
	const bool nearest = is_nearest_filtered(ref);
	const bool mipmapped = filter & tex_mipmap;
	const GLint internal = internal_format(format, filter);
	const bool auto_mips = mipmapped && glExt.automini_avail && !compressed && !(filter & tex_plain_8bit);
	const bool in_place = entry.load_time == tex_load_now && entry.tex_mode == int(format) &&
	                      entry.tex_dx_tot == dx_tot && entry.tex_dy_tot == dy_tot && entry.ogl_num == ref &&
	                      (!mipmapped || auto_mips);
	const bool hand_mips = mipmapped && !vars.pre_mip && !auto_mips;

	if (ref == 0) {
		const std::string refs = fmt("ref=%6.0f, ", ref) + fmt("tex=%6.0f", ref);
		__MACIBM_alert(0, "Trying to bind a null ref!", refs, "", entry.path, t_exit, "tman", 951);
	}
	if (!entry.tex_vram) ++loaded_texes_ctr;
	entry.path = vars.path;
	entry.load_time = tex_load_now;
	entry.ogl_num = ref;
	entry.tex_dx_vis = vars.dx_vis, entry.tex_dy_vis = vars.dy_vis;
	entry.tex_dx_tot = dx_tot, entry.tex_dy_tot = dy_tot;
	entry.tex_mode = format;
	entry.filter_type = filter;
	entry.tex_vram = int(double(dx_tot) * dy_tot * vars.bytes_per_pix * (mipmapped ? 1.33 : 1.0));

	if (clean) clean_edges(vars.used_buf, dx_tot, dy_tot);
	if (!(filter & tex_exact_size)) {
		if (!is_power_of_two(dx_tot))
			__MACIBM_alert(0, "load_tex: Trying to read a texture that is not a power of 2!", vars.path, "", "",
			               t_exit, "tman", 999);
		if (!is_power_of_two(dy_tot))
			__MACIBM_alert(0, "load_tex: Trying to read a texture that is not a power of 2!", vars.path, "", "",
			               t_exit, "tman", 1000);
	}
	check_dxy(vars.path, dx_tot);
	check_dxy(vars.path, dy_tot);

	const bool texturing_was_on = glIsEnabled(GL_TEXTURE_2D);
	if (!texturing_was_on) glEnable(GL_TEXTURE_2D);
	TEX_bind_ref(ref, 0, 0);
	if (auto_mips) glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
	TEX_image_desc level{format, dx_tot, dy_tot, 0, 0};
	unsigned char* data = vars.used_buf;
	for (int lev = 0;; ++lev) {
		const int bytes = TEX_bytes_needed_for_image(level);
		if (compressed)
			glExt.glCompressedTexImage2DARB(GL_TEXTURE_2D, lev, format, level.width, level.height, 0, bytes, data);
		else if (in_place)
			glTexSubImage2D(GL_TEXTURE_2D, lev, 0, 0, level.width, level.height, format, GL_UNSIGNED_BYTE, data);
		else
			glTexImage2D(GL_TEXTURE_2D, lev, internal, level.width, level.height, 0, format, GL_UNSIGNED_BYTE, data);
		if (level.width == 1 && level.height == 1) break;
		if (vars.pre_mip) {
			data += bytes;
			level.width = std::max(1, level.width / 2);
			level.height = std::max(1, level.height / 2);
		} else if (hand_mips) {
			TEX_downscale(level, data, level.width > 1 ? 2 : 1, level.height > 1 ? 2 : 1);
		} else {
			break;
		}
	}
	if (compressed) {
		GLint is_compressed = 0, size = 0;
		glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_COMPRESSED_ARB, &is_compressed);
		glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_COMPRESSED_IMAGE_SIZE_ARB, &size);
		if (is_compressed) entry.tex_vram = int(size * (mipmapped ? 1.33 : 1.0));
	}

	const GLint clamp = glExt.tex_clamp_avail ? GL_CLAMP_TO_EDGE : GL_CLAMP;
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, clamp_s ? clamp : GL_REPEAT);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, clamp_t ? clamp : GL_REPEAT);
	if (glExt.aniso_avail) glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, 1.0f);
	const GLint minify = nearest ? GL_NEAREST : mipmapped ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR;
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minify);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, nearest ? GL_NEAREST : GL_LINEAR);
	if (format == GL_DEPTH_COMPONENT) {
		glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_R_TO_TEXTURE);
		glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
	}
	if (!texturing_was_on) glDisable(GL_TEXTURE_2D);
	return ref;
}

void tman_class::bind_ref(int ref, int unit, int multi_tex_mode)
{
	StLocker hold(lock);
	int name = 0;
	if (ref) {
		const bool known = ref > 0 && ref < int(ref_dat.size());
		if (!known || ref_dat[ref].load_time != tex_load_now)
			__MACIBM_alert(0, "missing non-scenery texture - how?", "", fmt("ref=%6.0f", ref),
			               known ? ref_dat[ref].path : "", t_exit, "tman", 425);
		name = ref_dat[ref].ogl_num;
	}
	TEX_bind_ref(name, unit, multi_tex_mode);
}

void tman_class::unload_texture(int ref)
{
	StLocker hold(lock);
	const bool known = ref >= 0 && ref < int(ref_dat.size());
	if (ref >= first_dynamic_ref)
		__MACIBM_alert(0, "Error: dynamic textures should be released, not unloaded.", known ? ref_dat[ref].path : "",
		               fmt("%f", ref), "", t_exit, "tman", 1206);
	if (known) unload_texture_internal(ref);
}

void tman_class::unload_texture_internal(int ref)
{
	ref_dat_struct& entry = ref_dat[ref];
	if (entry.ogl_num != 0 && entry.ogl_num != t_blank_gray) {
		const GLuint name = entry.ogl_num;
		glDeleteTextures(1, &name);
	}
	if (entry.load_time == tex_load_now && entry.tex_vram) --loaded_texes_ctr;
	if (entry.tex_mode) --total_texes_ctr;
	const auto mapped = tex_hash.find(entry.path);
	if (mapped != tex_hash.end() && mapped->second == ref) tex_hash.erase(mapped);
	entry = ref_dat_struct{};
	// OpenGL unbinds a deleted texture; the cache must not believe the name is still bound
	TEX_reset_bind();
}

std::string tman_class::get_path(int ref)
{
	StLocker hold(lock);
	return ref >= 0 && ref < int(ref_dat.size()) ? ref_dat[ref].path : std::string();
}

void tman_class::reset_bind()
{
	TEX_reset_bind();
}
