#include "shell/colr.h"
#include <cmath>
colr_class colr;
colr_class::colr_class()
{
	for (int i = 0; i < 256; ++i) win_gamma[i] = (unsigned char)(255 * std::pow(i / 255.0, file_gamma / screen_gamma) + 0.5);
}
void colr_class::assign(int i, float r, float g, float b) { col_rgb[i][0] = r; col_rgb[i][1] = g; col_rgb[i][2] = b; }
