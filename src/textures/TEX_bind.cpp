#include "textures/TEX_bind.h"

#include "shell/hl_alert.h"
#include "textures/OGL_extensions.h"

namespace {
constexpr int unit_count = 8;
constexpr int unknown = -1;
int o_tex[unit_count] = {unknown, unknown, unknown, unknown, unknown, unknown, unknown, unknown};
int o_mod[unit_count] = {unknown, unknown, unknown, unknown, unknown, unknown, unknown, unknown};

// Modes that stand for the simulator's texture-combiner set-ups (never requested here) and 25, which
// asks for the environment to stay as it is.
bool keeps_environment(int mode)
{
	return mode == 1 || mode == 2 || (mode >= 10 && mode <= 18) || (mode >= 20 && mode <= 25);
}
}

void TEX_bind_ref(int tex, int unit, int multi_tex_mode)
{
	if (unit < 0 || unit >= unit_count)
		__MACIBM_alert(0, "Texture unit out of range!", "", "", "", t_exit, "TEX_bind", __LINE__);
	const int mode = multi_tex_mode == 0 ? GL_MODULATE : multi_tex_mode;
	if (o_tex[unit] == tex && o_mod[unit] == mode) return;
	if (unit > 0) glActiveTextureARB(GL_TEXTURE0_ARB + unit);
	if (o_tex[unit] != tex) {
		glBindTexture(GL_TEXTURE_2D, tex);
		o_tex[unit] = tex;
	}
	if (o_mod[unit] != mode) {
		if (!keeps_environment(mode)) glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, mode);
		o_mod[unit] = mode;
	}
	if (unit > 0) glActiveTextureARB(GL_TEXTURE0_ARB);
}

void TEX_reset_bind()
{
	for (int u = 0; u < unit_count; ++u) o_tex[u] = o_mod[u] = unknown;
}
