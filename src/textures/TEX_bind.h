#pragma once
// Binding textures to texture units, with a cache of what each of the 8 units holds.

// Binds texture name `tex` on `unit` with the environment mode `multi_tex_mode` (0 means GL_MODULATE;
// 25 and the combiner set-ups 1, 2, 10-18, 20-24 leave the environment as it is).
void TEX_bind_ref(int tex, int unit, int multi_tex_mode);
// Forgets the cached state, so that the next bind of every unit reaches OpenGL.
void TEX_reset_bind();
