#include "shell/colr.h"

#include <GL/gl.h>

#include <cmath>
#include <cstring>

colr_class colr;

namespace {

struct default_colour_struct {
	int index;
	float r, g, b;
};

const default_colour_struct default_colours[] = {
	{0, 1, 1, 1},       {1, 1, 0.2f, 0.2f},   {2, 1, 1, 0.2f},       {3, 0.7f, 0.7f, 0.7f},
	{4, 0.8f, 0, 0},    {5, 1, 1, 0},         {6, 0.3f, 0.3f, 0.3f}, {7, 0.2f, 0, 0},
	{8, 1, 0.8f, 0.2f}, {9, 0.1f, 0.1f, 0.1f}, {10, 0, 0.8f, 0},     {13, 0, 0.4f, 0},
	{15, 0.4f, 0.4f, 1}, {17, 0, 0, 0.6f},    {18, 0.9f, 0.9f, 0.9f}, {19, 0.8f, 0.1f, 0.1f},
	{20, 0.9f, 0.9f, 1}, {21, 0.9f, 0.9f, 0.9f}, {22, 0.1f, 0.1f, 0.1f}, {24, 1, 1, 0},
	{26, 1, 1, 1},      {27, 1, 1, 1},        {28, 1, 1, 1},         {29, 1, 1, 0},
	{31, 1, 1, 1},      {32, 1, 1, 1},        {33, 1, 1, 1},         {49, 1, 1, 1},
	{50, 0.4f, 1, 0.4f}, {51, 1, 0.4f, 0.4f}, {52, 1, 1, 0.6f},      {53, 0.7f, 0.7f, 1},
	{54, 1, 0.5f, 0},   {55, 0.8f, 0.8f, 0.8f}, {56, 0, 1, 0},       {57, 1, 0.2f, 0.2f},
	{58, 1, 1, 0.2f},   {59, 0.4f, 0.4f, 1},  {60, 0.5f, 0.3f, 0},   {61, 0.5f, 0.5f, 0.5f},
	{62, 0, 0.6f, 0},   {63, 0.6f, 0.2f, 0},  {64, 1, 1, 0},         {65, 0.2f, 0.2f, 0.8f},
	{66, 1, 0.4f, 0},   {67, 0.2f, 0.2f, 0.2f}, {68, 0, 0.2f, 0},    {69, 1, 0, 0},
	{70, 0.6f, 0.6f, 0}, {71, 0.15f, 0.15f, 0.6f}, {72, 0.49f, 0.43f, 0.24f}, {74, 0, 0.1f, 0},
	{75, 1, 0.2f, 1},   {76, 1, 0, 1},        {77, 0, 1, 1},         {78, 0.44f, 0.53f, 0.54f},
	{85, 1, 0, 1},      {87, 1, 0, 1},        {88, 1, 1, 1},         {97, 0.5f, 0.5f, 0.4f},
	{98, 1, 0.3f, 0},   {99, 0.5f, 0.5f, 0.4f}, {100, 0.8f, 0.8f, 0.7f}, {101, 0, 0.6f, 0.2f},
	{102, 1, 1, 0.9f},
};

// Palette swatches of the interface image: colour index and pixel (column, row).
struct swatch_struct {
	int index, column, row;
};

const swatch_struct swatches[] = {
	{34, 319, 155}, {35, 319, 147}, {36, 319, 139}, {37, 319, 131}, {38, 319, 123},
	{40, 319, 115}, {41, 319, 107}, {42, 319, 99},  {43, 319, 91},  {45, 319, 83},
	{46, 319, 75},  {47, 319, 67},  {44, 395, 115},
};

const int interface_width = 512;

} // namespace

colr_class::colr_class()
{
	std::memset(static_cast<void*>(this), 0, sizeof(*this));
	file_gamma = 1.8;
	screen_gamma = 2.2;
	for (int i = 0; i < 256; ++i)
		win_gamma[i] = static_cast<unsigned char>(255.0 * std::pow(i / 255.0, file_gamma / screen_gamma) + 0.5);
	has_gamma = file_gamma != screen_gamma;
	r_manual_liting = g_manual_liting = b_manual_liting = 1.0f;
	for (const default_colour_struct& c : default_colours)
		assign(c.index, c.r, c.g, c.b);
}

void colr_class::assign(int index, float r, float g, float b)
{
	col_rgb[index][0] = r;
	col_rgb[index][1] = g;
	col_rgb[index][2] = b;
}

void colr_class::resolve(int index, float rgb[3]) const
{
	const float* c = col_rgb[index];
	const bool lit = index < 46;
	rgb[0] = lit ? c[0] * r_manual_liting : c[0];
	rgb[1] = lit ? c[1] * g_manual_liting : c[1];
	rgb[2] = lit ? c[2] * b_manual_liting : c[2];
}

void colr_class::set_index(const int index, float a)
{
	float rgb[3];
	resolve(index, rgb);
	if (a <= 0.99f)
		glColor4f(rgb[0], rgb[1], rgb[2], a);
	else
		glColor3f(rgb[0], rgb[1], rgb[2]);
}

void colr_class::set_pulse_colors(float real_time)
{
	const float p = 0.7f + 0.3f * std::sin(20.0f * real_time);
	pulse_alpha = p;
	assign(79, p, p, p);
	assign(80, p, 0.5f * p, 0);
	assign(81, p, 0.3f * p, 0.3f * p);
	assign(82, 0.3f * p, 0.3f * p, p);
	assign(83, 0.2f * p, 0.8f * p, 0.2f * p);
	assign(84, 0.7f * p, 0.7f * p, 0.2f * p);
}

void colr_class::read_palette(const unsigned char* interface_rgba)
{
	for (const swatch_struct& w : swatches) {
		const unsigned char* px = interface_rgba + (w.row * interface_width + w.column) * 4;
		assign(w.index, px[0] / 255.0f, px[1] / 255.0f, px[2] / 255.0f);
	}
	for (int i = 0; i < 3; ++i)
		col_rgb[39][i] = (col_rgb[35][i] + col_rgb[38][i]) * 0.5f;
}
