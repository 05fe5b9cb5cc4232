#pragma once
class colr_class {
public:
	float col_rgb[105][3] = {};
	float pulse_alpha = 0;
	void assign(int index, float r, float g, float b);
};
extern colr_class colr;
