"""The interface image (512 x 512): font, bar strips, frame tiles, small widget pictures, palette.

Every piece sits at the texel position the toolkit cuts it from; t counts upward from the bottom row.
Bars repeat their middle horizontally and frames repeat their middle both ways, so whatever lies in a
repeated part is flat along the direction of repetition.
"""
from PIL import Image, ImageDraw

from artwork_common import (Picture, drop_shadow, layer, masked, rounded_mask, shape_mask, solid,
                            vgradient)
from artwork_font import draw_font

INK = (34, 41, 53, 255)
OUTLINE = (58, 68, 82, 255)

# Metal: the light face of windows and buttons.
METAL = [(0, (222, 227, 233, 255)), (1, (222, 227, 233, 255))]
METAL_LIGHT = (246, 248, 250, 255)
METAL_SHADE = (184, 191, 201, 255)
# Wells: the sunken white panels that hold text.
WELL = (243, 245, 248, 255)
WELL_EDGE = (126, 136, 150, 255)
WELL_SHADE = (205, 210, 218, 255)
# Dark glass: tooltips, progress displays, menus.
GLASS = (27, 35, 47, 242)
GLASS_EDGE = (104, 120, 140, 255)
GLASS_LIGHT = (62, 76, 96, 255)
TITLE_BAR = [(0, (72, 92, 118, 255)), (0.5, (50, 66, 88, 255)), (1, (38, 51, 69, 255))]

PALETTE = [  # colour index, texel (s, t), colour, role
	(34, 319, 155, (51, 67, 86), "BACKGROUND"),
	(35, 319, 147, (78, 78, 73), "MENU EDGE"),
	(36, 319, 139, (13, 27, 44), "MENU HILITE"),
	(37, 319, 131, (125, 126, 121), "MENU EDGE"),
	(38, 319, 123, (255, 255, 255), "MENU TEXT"),
	(40, 319, 115, (238, 238, 238), "SUBTITLE"),
	(41, 319, 107, (13, 27, 44), "TAB FRONT"),
	(42, 319, 99, (93, 99, 110), "TAB BACK"),
	(43, 319, 91, (34, 41, 53), "METAL TEXT"),
	(45, 319, 83, (39, 44, 52), "LIST TEXT"),
	(46, 319, 75, (36, 43, 53), "PEN LINES"),
	(47, 319, 67, (127, 220, 175), "TOOLTIP"),
	(44, 395, 115, (220, 220, 220), "LIGHT TEXT"),
]

TINY = {  # 3 x 5 letters for the palette labels, rows from the top
	"A": ".#.|#.#|###|#.#|#.#", "B": "##.|#.#|##.|#.#|##.", "C": ".##|#..|#..|#..|.##", "D": "##.|#.#|#.#|#.#|##.",
	"E": "###|#..|##.|#..|###", "F": "###|#..|##.|#..|#..", "G": ".##|#..|#.#|#.#|.##", "H": "#.#|#.#|###|#.#|#.#",
	"I": "###|.#.|.#.|.#.|###", "K": "#.#|#.#|##.|#.#|#.#", "L": "#..|#..|#..|#..|###", "M": "#.#|###|###|#.#|#.#",
	"N": "##.|#.#|#.#|#.#|#.#", "O": ".#.|#.#|#.#|#.#|.#.", "P": "##.|#.#|##.|#..|#..", "R": "##.|#.#|##.|#.#|#.#",
	"S": ".##|#..|.#.|..#|##.", "T": "###|.#.|.#.|.#.|.#.", "U": "#.#|#.#|#.#|#.#|###", "X": "#.#|#.#|.#.|#.#|#.#",
	"0": "###|#.#|#.#|#.#|###", "1": ".#.|##.|.#.|.#.|###", "2": "##.|..#|.#.|#..|###", "3": "##.|..#|.#.|..#|##.",
	"4": "#.#|#.#|###|..#|..#", "5": "###|#..|##.|..#|##.", "6": ".##|#..|###|#.#|###", "7": "###|..#|.#.|.#.|.#.",
	"8": "###|#.#|###|#.#|###", "9": "###|#.#|###|..#|##.", " ": "...|...|...|...|...",
}


def tiny_text(pic, text, s, t, rgba):
	"""Draws `text` in the 3 x 5 label letters with the lower left corner at (s, t)."""
	for ch in text:
		for r, row in enumerate(TINY[ch].split("|")):
			for c, bit in enumerate(row):
				if bit == "#":
					pic.set_texel(s + c, t + 4 - r, rgba)
		s += 4


def inner_lines(img, box, top, bottom, left=None, right=None):
	"""One-texel lines just inside box = (x0, y0, x1, y1) (top-down edges), drawn where colours are given."""
	x0, y0, x1, y1 = box
	draw = ImageDraw.Draw(img)
	if top:
		draw.line((x0 + 2, y0 + 1, x1 - 3, y0 + 1), fill=top)
	if bottom:
		draw.line((x0 + 2, y1 - 2, x1 - 3, y1 - 2), fill=bottom)
	if left:
		draw.line((x0 + 1, y0 + 2, x0 + 1, y1 - 3), fill=left)
	if right:
		draw.line((x1 - 2, y0 + 2, x1 - 2, y1 - 3), fill=right)


def panel(w, h, box, radius, face, edge, light=None, shade=None, shadow=0.45, blur=2.5, drop=2):
	"""A rounded panel over box with a one-texel edge, optional inner light and shade lines, and a soft
	shadow; w x h is the whole piece."""
	x0, y0, x1, y1 = box
	outer = rounded_mask(w, h, box, radius)
	inner = rounded_mask(w, h, (x0 + 1, y0 + 1, x1 - 1, y1 - 1), max(0, radius - 1))
	body = masked(solid(w, h, edge), outer)
	fill = face if isinstance(face, Image.Image) else solid(w, h, face)
	body = layer(body, masked(fill, inner))
	inner_lines(body, box, light, shade, light, shade)
	parts = [solid(w, h, (0, 0, 0, 0))]
	if shadow:
		parts.append(drop_shadow(w, h, box, radius, blur, drop, shadow))
	parts.append(body)
	return layer(*parts)


def face_image(w, h, stops, box):
	"""A vertical gradient running over the rows of box only (flat outside)."""
	x0, y0, x1, y1 = box
	grad = vgradient(w, y1 - y0, stops)
	img = solid(w, h, stops[0][1])
	img.paste(grad, (0, y0))
	ImageDraw.Draw(img).rectangle((0, y1, w, h), fill=stops[-1][1])
	return img


def frame_tile(size, shadow, borders, kind):
	"""The square tile of a frame style: the panel body inside the shadow margins (side, bottom, top).
	The body's edges, with the texel softened next to them, must lie inside the fixed borders (side,
	bottom, top), or they would repeat with the middle: a margin too wide for its border gives way."""
	side, bottom, top = (min(m, int(b) - 2) for m, b in zip(shadow, borders))
	box = (side, top, size - side, size - bottom)
	radius = 5 if size >= 60 else 3
	if kind == "metal":
		return panel(size, size, box, radius, METAL[0][1], OUTLINE, METAL_LIGHT, METAL_SHADE)
	if kind == "titled":
		img = panel(size, size, box, radius, METAL[0][1], OUTLINE, METAL_LIGHT, METAL_SHADE)
		bar_box = (side + 1, top + 1, size - side - 1, top + 23)
		bar = face_image(size, size, TITLE_BAR, bar_box)
		mask = rounded_mask(size, size, (side + 1, top + 1, size - side - 1, top + 23 + 6), radius - 1)
		ImageDraw.Draw(mask).rectangle((0, top + 23, size, size), fill=0)
		img = layer(img, masked(bar, mask))
		draw = ImageDraw.Draw(img)
		draw.line((side + 3, top + 1, size - side - 4, top + 1), fill=(110, 130, 156, 255))
		draw.line((side + 1, top + 23, size - side - 2, top + 23), fill=OUTLINE)
		return img
	if kind == "well":
		img = panel(size, size, box, radius, WELL, WELL_EDGE, None, None, shadow=0.0)
		draw = ImageDraw.Draw(img)
		draw.line((side + 2, top + 1, size - side - 3, top + 1), fill=WELL_SHADE)
		draw.line((side + 2, top + 2, size - side - 3, top + 2), fill=(228, 231, 236, 255))
		draw.line((side + 1, top + 2, side + 1, size - bottom - 3), fill=(224, 228, 234, 255))
		# a light line under the well lets it read as sunk into the metal around it
		draw.line((side + 2, size - bottom, size - side - 3, size - bottom), fill=(255, 255, 255, 150))
		return img
	if kind == "glass":
		return panel(size, size, box, radius, GLASS, GLASS_EDGE, GLASS_LIGHT, None, shadow=0.55)
	raise ValueError(kind)


def bar_strip(w, h, body, radius, stops, edge, light=None, shadow=0.35):
	"""A horizontal strip: the body rows given as (y0, y1) from the top, rounded caps, vertical gradient."""
	y0, y1 = body
	box = (0, y0, w, y1)
	face = face_image(w, h, stops, box)
	return panel(w, h, box, radius, face, edge, light, None, shadow=shadow, blur=1.2, drop=1)


def draw_bars(pic):
	button = [(0, (250, 251, 253, 255)), (0.55, (226, 230, 236, 255)), (1, (196, 203, 213, 255))]
	dark = [(0, (66, 84, 108, 255)), (1, (34, 45, 61, 255))]
	# 0: menu bar, 1: heading bar of a window; their top texel row wraps to the bottom of the image.
	pic.put(bar_strip(100, 25, (0, 24), 0, dark, OUTLINE, (96, 116, 142, 255), shadow=0), 1, 487)
	pic.put(bar_strip(100, 25, (2, 24), 6, dark, OUTLINE, (96, 116, 142, 255)), 102, 487)
	# 2: push button, 3: its pressed overlay.
	pic.put(bar_strip(52, 26, (3, 24), 6, button, OUTLINE, (255, 255, 255, 255)), 304, 486)
	press = [(0, (16, 26, 40, 120)), (0.5, (16, 26, 40, 70)), (1, (16, 26, 40, 40))]
	overlay = masked(face_image(52, 26, press, (0, 3, 52, 24)), rounded_mask(52, 26, (0, 3, 52, 24), 6))
	pic.put(overlay, 304, 459)
	# 4: progress trough, 5: progress fill.
	trough = [(0, (22, 29, 40, 255)), (1, (52, 64, 80, 255))]
	pic.put(bar_strip(28, 16, (1, 15), 6, trough, (18, 24, 33, 255), shadow=0), 112, 161)
	fill = [(0, (170, 240, 205, 255)), (0.45, (104, 208, 160, 255)), (1, (46, 150, 104, 255))]
	pic.put(bar_strip(28, 16, (2, 14), 5, fill, (30, 100, 70, 255), shadow=0), 83, 161)
	# 7: a plain light field, 8: a small pill.
	pic.put(bar_strip(65, 24, (2, 22), 4, METAL, OUTLINE, METAL_LIGHT), 240, 242)
	pic.put(bar_strip(16, 16, (2, 14), 6, button, OUTLINE, (255, 255, 255, 255)), 289, 219)
	# 9: the white text field of the installer screen (two texels of bevel on each side).
	field = [(0, (236, 239, 243, 255)), (0.25, (252, 253, 254, 255)), (1, (252, 253, 254, 255))]
	strip = solid(51, 26, (0, 0, 0, 0))
	strip = layer(strip, masked(solid(51, 26, (255, 255, 255, 90)), rounded_mask(51, 26, (0, 2, 51, 25), 4)))
	strip = layer(strip, panel(51, 26, (1, 2, 50, 24), 3, face_image(51, 26, field, (1, 2, 50, 24)),
	                           WELL_EDGE, None, None, shadow=0))
	pic.put(strip, 262, 133)
	# 10: a tab.
	tab = masked(face_image(68, 24, dark, (2, 2, 66, 24)), rounded_mask(68, 24 + 8, (2, 2, 66, 32), 6).crop((0, 0, 68, 24)))
	pic.put(tab, 357, 488)


def draw_frames(pic):
	# style: texel origin, tile side, shadow margins and borders (side, bottom, top), look
	styles = [
		((1, 358), 100, (9, 14, 4), (35, 30, 30), "titled"),      # 11: window with a heading
		((102, 358), 100, (9, 14, 4), (35, 30, 30), "metal"),     # 12: window
		((203, 358), 100, (9, 14, 4), (35, 30, 30), "well"),      # 13: inner panel
		((304, 358), 100, (9, 14, 4), (35, 30, 30), "glass"),     # 14: tooltip
		((405, 358), 100, (9, 14, 4), (35, 30, 30), "glass"),     # 15: progress display
		((1, 289), 68, (2, 2, 2), (23.8, 20.4, 20.4), "well"),    # 16
		((70, 315), 42, (8, 13, 2), (20, 26, 14), "glass"),       # 17: menu
		((113, 315), 42, (8, 13, 2), (14.7, 12.6, 12.6), "well"), # 18
		((440, 12), 44, (6, 9, 4), (15.4, 13.2, 13.2), "metal"),  # 19
	]
	for (s, t), size, shadow, borders, kind in styles:
		pic.put(frame_tile(size, shadow, borders, kind), s, t)


def picture_18(parts):
	"""Composites [(mask draw function, rgba)] into an 18 x 18 picture."""
	img = solid(18, 18, (0, 0, 0, 0))
	for fn, rgba in parts:
		img = layer(img, masked(solid(18, 18, rgba), shape_mask(18, 18, fn)))
	return img


def draw_boxes(pic):
	def rect(x0, y0, x1, y1, r):
		return lambda d, k: d.rounded_rectangle((x0 * k, y0 * k, x1 * k - 1, y1 * k - 1), radius=r * k, fill=255)

	def circle(cx, cy, r):
		return lambda d, k: d.ellipse(((cx - r) * k, (cy - r) * k, (cx + r) * k - 1, (cy + r) * k - 1), fill=255)

	def lines(points, width):
		return lambda d, k: d.line([(x * k, y * k) for x, y in points], width=int(width * k), fill=255,
		                           joint="curve")

	white_box = [(rect(3, 3, 15, 15, 2.5), OUTLINE), (rect(4, 4, 14, 14, 1.5), (250, 251, 252, 255)),
	             (rect(4, 4, 14, 6, 1), (214, 219, 226, 255))]
	pic.put(picture_18(white_box), 139, 178)
	pic.put(picture_18([(lines([(5.5, 9), (8, 11.8), (12.8, 5.5)], 2.2), (30, 96, 62, 255))]), 139, 197)
	radio = [(circle(9, 9, 6.5), OUTLINE), (circle(9, 9, 5.5), (250, 251, 252, 255))]
	pic.put(picture_18(radio), 83, 123)
	pic.put(picture_18([(circle(9, 9, 3), (40, 92, 160, 255))]), 83, 142)
	close = [(rect(3, 3, 15, 15, 3), (20, 26, 36, 255)), (rect(4, 4, 14, 14, 2), (150, 62, 58, 255)),
	         (rect(4, 4, 14, 8, 2), (186, 92, 86, 255)),
	         (lines([(6.5, 6.5), (11.5, 11.5)], 1.6), (255, 240, 236, 255)),
	         (lines([(11.5, 6.5), (6.5, 11.5)], 1.6), (255, 240, 236, 255))]
	pic.put(picture_18(close), 120, 178)
	pressed = [(rect(3, 3, 15, 15, 3), (20, 26, 36, 255)), (rect(4, 4, 14, 14, 2), (104, 36, 34, 255)),
	           (lines([(6.5, 7), (11.5, 12)], 1.6), (236, 206, 200, 255)),
	           (lines([(11.5, 7), (6.5, 12)], 1.6), (236, 206, 200, 255))]
	pic.put(picture_18(pressed), 120, 197)
	marker = [(lambda d, k: d.polygon([(7 * k, 5 * k), (12 * k, 9 * k), (7 * k, 13 * k)], fill=255),
	           (255, 255, 255, 255))]
	pic.put(picture_18(marker), 158, 178)


def draw_palette(pic):
	for index, s, t, rgb, role in PALETTE:
		pic.fill(s - 2, t - 2, 5, 5, rgb + (255,))
		tiny_text(pic, f"{index} {role}", s + 5, t - 2, (200, 206, 214, 255))


def draw_interface():
	pic = Picture(512, 512)
	draw_font(pic)
	draw_frames(pic)
	draw_bars(pic)
	draw_boxes(pic)
	draw_palette(pic)
	return pic
