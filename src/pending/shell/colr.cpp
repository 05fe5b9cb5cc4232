#include "shell/colr.h"
colr_class colr;
void colr_class::assign(int i, float r, float g, float b) { col_rgb[i][0] = r; col_rgb[i][1] = g; col_rgb[i][2] = b; }
