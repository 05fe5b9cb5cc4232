#pragma once
// The colour table: every colour on screen is an index into it, drawn with an alpha.

class colr_class {
public:
	colr_class();

	double file_gamma;             // gamma assumed for image files
	double screen_gamma;           // gamma of the display
	int has_gamma;                 // 1 when the two differ
	unsigned char win_gamma[256];  // byte-to-byte gamma table for the image readers
	float col_rgb[105][3];
	float r_manual_liting, g_manual_liting, b_manual_liting; // multipliers of colours 0-45
	float pulse_alpha;
	float spectrum_min, spectrum_max, spectrum_del;
	float spectrum_rgb[1000][3];

	// Makes colour `index` current with alpha `a`: translucent at 0.99 and below, opaque above.
	void set_index(const int index, float a);
	void assign(int index, float r, float g, float b);
	// The colours 79-84 that pulse with time, set by the frame clock once per frame.
	void set_pulse_colors(float real_time);
	// Colours 34-47 from the palette swatches of the interface image (512 x 512 RGBA, first stored
	// row first), read once the built-in images are loaded.
	void read_palette(const unsigned char* interface_rgba);
	// The colour `index` as it is drawn (lighting multipliers applied).
	void resolve(int index, float rgb[3]) const;
};

extern colr_class colr;
