#pragma once
class tman_class {
public:
	int has_scene_load_fail();
	int has_plane_load_fail();
	int has_instl_load_fail();
	void mute_scene_load_fail();
	void mute_plane_load_fail();
	void mute_instl_load_fail();
};
extern tman_class tman;
void recall_ins_texes();
