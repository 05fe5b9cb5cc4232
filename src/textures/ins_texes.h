#pragma once
// The three interface pictures the program carries inside itself, so that it can draw its screens
// before (and without) finding any file of the installation.
#include <vector>

// Raw RGBA blocks, bottom row first, rows of the power-of-two pitch of their texture; each holds exactly
// width x height x 4 bytes of that layout.
extern std::vector<unsigned char> t_installer_dat;  // 1010 x 764, pitch 1024
extern std::vector<unsigned char> t_ins_back_1_dat; // 1024 x 768, pitch 1024
extern std::vector<unsigned char> t_interface_dat;  // 512 x 512, pitch 512

// Decodes the pictures into the blocks (once; later calls do nothing).
void decode_ins_texes();
// Turns the blocks into textures 393, 394 and 392 (and the blank texture 930). The interface image is
// loaded last, so it is still in scratch_array afterwards for the palette.
void recall_ins_texes();
