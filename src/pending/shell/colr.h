#pragma once
class colr_class {
public:
	colr_class();
	double file_gamma = 1.8, screen_gamma = 2.2;
	int has_gamma = 1;
	unsigned char win_gamma[256];
	float col_rgb[105][3] = {};
	float pulse_alpha = 0;
	void assign(int index, float r, float g, float b);
};
extern colr_class colr;
