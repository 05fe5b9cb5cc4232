#include "textures/tman.h"
tman_class tman;
int tman_class::has_scene_load_fail() { return 0; }
int tman_class::has_plane_load_fail() { return 0; }
int tman_class::has_instl_load_fail() { return 0; }
void tman_class::mute_scene_load_fail() {}
void tman_class::mute_plane_load_fail() {}
void tman_class::mute_instl_load_fail() {}
void recall_ins_texes() {}
