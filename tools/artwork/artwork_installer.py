"""The installer picture (1010 x 764): world map, icons, picture buttons, decoration, frame-20 tile.

The program keeps only the first 1010 x 764 x 4 bytes of this picture laid out in rows of 1024 texels,
i.e. rows t = 0 ... 752 and part of row 753; everything here lies below t = 745.
"""
import math

from PIL import Image, ImageDraw, ImageFilter

from artwork_common import (SS, Picture, drop_shadow, font, layer, masked, rounded_mask, solid,
                            text_image, vgradient)
from artwork_interface import OUTLINE, face_image, panel
from artwork_worldmap import LAND, WATER

BUTTONS = [  # picture corner (s, t), size, caption
	((513, 166), (126, 22), "Change Destination"),
	((640, 166), (83, 22), "Install"),
	((780, 166), (51, 22), "Quit"),
	((832, 166), (85, 22), "Decline"),
	((918, 166), (59, 22), "Accept"),
]
MAP_S, MAP_T, MAP_SCALE = 1, 236, 2.8  # lower left corner, texels per degree

OCEAN = [(0, (46, 92, 142, 255)), (0.5, (30, 72, 122, 255)), (1, (40, 86, 136, 255))]
LAND_FILL = (132, 160, 104, 255)
LAND_EDGE = (70, 98, 62, 255)


def button_face(w, h, caption, state):
	"""One picture button; state 0 normal, 1 hovered, 2 held down."""
	faces = [
		[(0, (252, 253, 254, 255)), (0.5, (232, 236, 241, 255)), (1, (200, 208, 218, 255))],
		[(0, (255, 255, 255, 255)), (0.5, (242, 246, 250, 255)), (1, (214, 224, 236, 255))],
		[(0, (178, 187, 199, 255)), (0.4, (200, 207, 216, 255)), (1, (222, 227, 233, 255))],
	]
	box = (0, 0, w, h)
	edge = (40, 78, 130, 255) if state == 1 else OUTLINE
	light = (255, 255, 255, 255) if state < 2 else None
	img = panel(w, h, box, 5, face_image(w, h, faces[state], box), edge, light, None, shadow=0)
	fnt = font("DejaVuSansCondensed-Bold.ttf", 11)
	shadow = text_image(caption, fnt, (255, 255, 255, 160), w, h, 0, 1 + (state == 2))
	text = text_image(caption, fnt, (28, 36, 48, 255), w, h, 0, (state == 2))
	return layer(img, shadow, text)


def draw_buttons(pic):
	for (s, t), (w, h), caption in BUTTONS:
		for state in range(3):
			pic.put(button_face(w, h, caption, state), s, t - state * (h + 1))


def map_point(lon, lat, k):
	return ((lon + 180) * MAP_SCALE * k, (90 - lat) * MAP_SCALE * k)


def world_map():
	w, h = int(360 * MAP_SCALE), int(180 * MAP_SCALE)
	img = vgradient(w, h, OCEAN)
	k = SS
	land = Image.new("L", (w * k, h * k), 0)
	edge = Image.new("L", (w * k, h * k), 0)
	draw, edge_draw = ImageDraw.Draw(land), ImageDraw.Draw(edge)
	for outline in LAND.values():
		points = [map_point(lon, lat, k) for lon, lat in outline]
		draw.polygon(points, fill=255)
		edge_draw.line(points + points[:1], fill=255, width=k + 1, joint="curve")
	for outline in WATER.values():
		points = [map_point(lon, lat, k) for lon, lat in outline]
		draw.polygon(points, fill=0)
		edge_draw.line(points + points[:1], fill=255, width=k + 1, joint="curve")
	land = land.resize((w, h), Image.LANCZOS)
	edge = edge.resize((w, h), Image.LANCZOS)
	relief = vgradient(w, h, [(0, (168, 176, 150, 255)), (0.3, LAND_FILL), (0.7, LAND_FILL),
	                          (1, (236, 240, 244, 255))])
	img = layer(img, masked(relief, land), masked(solid(w, h, LAND_EDGE), edge))
	grid = ImageDraw.Draw(img)
	for lon in range(-180, 181, 10):
		x = min(w - 1, round((lon + 180) * MAP_SCALE))
		major = lon % 90 == 0
		grid.line((x, 0, x, h - 1), fill=(255, 255, 255, 110 if major else 56))
	for lat in range(-90, 91, 10):
		y = min(h - 1, round((90 - lat) * MAP_SCALE))
		major = lat % 90 == 0
		grid.line((0, y, w - 1, y), fill=(255, 255, 255, 110 if major else 56))
	img = Image.alpha_composite(Image.new("RGBA", img.size, (0, 0, 0, 0)), img)
	ImageDraw.Draw(img).rectangle((0, 0, w - 1, h - 1), outline=(22, 40, 64, 255))
	return img


def icon(draw_fn):
	"""A 64 x 64 anti-aliased icon; draw_fn(img, k) draws into an RGBA image k times the size."""
	big = Image.new("RGBA", (64 * SS, 64 * SS), (0, 0, 0, 0))
	draw_fn(big, SS)
	small = big.resize((64, 64), Image.LANCZOS)
	shadow = small.getchannel("A").filter(ImageFilter.GaussianBlur(2))
	under = Image.new("RGBA", (64, 64), (0, 0, 0, 0))
	under.paste(solid(64, 64, (0, 0, 0, 110)), (1, 2), shadow.point(lambda a: a * 110 // 255))
	return layer(under, small)


def disc(img, k):
	d = ImageDraw.Draw(img)
	c = 32 * k
	for r, col in [(28, (150, 158, 170, 255)), (27, (214, 220, 228, 255))]:
		d.ellipse((c - r * k, c - r * k, c + r * k, c + r * k), fill=col)
	# a sheen of colours across the data area
	for i, col in enumerate([(240, 170, 200), (250, 230, 160), (170, 230, 200), (160, 200, 250), (210, 180, 250)]):
		a0 = 200 + i * 14
		d.pieslice((c - 26 * k, c - 26 * k, c + 26 * k, c + 26 * k), a0, a0 + 14, fill=col + (255,))
		d.pieslice((c - 26 * k, c - 26 * k, c + 26 * k, c + 26 * k), a0 - 180, a0 - 166, fill=col + (255,))
	d.ellipse((c - 11 * k, c - 11 * k, c + 11 * k, c + 11 * k), fill=(236, 240, 245, 255))
	d.ellipse((c - 9 * k, c - 9 * k, c + 9 * k, c + 9 * k), fill=(190, 198, 210, 255))
	d.ellipse((c - 4 * k, c - 4 * k, c + 4 * k, c + 4 * k), fill=(0, 0, 0, 0))
	d.ellipse((c - 28 * k, c - 28 * k, c + 28 * k, c + 28 * k), outline=(96, 104, 118, 255), width=k)


def folder(img, k):
	d = ImageDraw.Draw(img)
	d.rounded_rectangle((6 * k, 12 * k, 30 * k, 24 * k), radius=3 * k, fill=(214, 160, 52, 255))
	d.rounded_rectangle((6 * k, 18 * k, 58 * k, 54 * k), radius=4 * k, fill=(200, 146, 40, 255))
	d.rounded_rectangle((6 * k, 22 * k, 58 * k, 54 * k), radius=4 * k, fill=(246, 196, 82, 255))
	d.line((9 * k, 25 * k, 55 * k, 25 * k), fill=(255, 226, 150, 255), width=k)


def globe(img, k):
	d = ImageDraw.Draw(img)
	c, r = 32 * k, 27 * k
	d.ellipse((c - r, c - r, c + r, c + r), fill=(52, 112, 182, 255))
	for lat in (-60, -30, 0, 30, 60):
		y = c - r * math.sin(math.radians(lat))
		half = r * math.cos(math.radians(lat))
		d.line((c - half, y, c + half, y), fill=(176, 214, 250, 255), width=k)
	for lon in (-60, -30, 0, 30, 60):
		half = abs(r * math.sin(math.radians(lon)))
		d.ellipse((c - half, c - r, c + half, c + r), outline=(176, 214, 250, 255), width=k)
	d.ellipse((c - r, c - r, c + r, c + r), outline=(24, 60, 108, 255), width=2 * k)


def download(img, k):
	d = ImageDraw.Draw(img)
	d.rounded_rectangle((8 * k, 40 * k, 56 * k, 56 * k), radius=4 * k, fill=(112, 124, 140, 255))
	d.rounded_rectangle((12 * k, 44 * k, 52 * k, 50 * k), radius=2 * k, fill=(56, 66, 80, 255))
	d.polygon([(24 * k, 6 * k), (40 * k, 6 * k), (40 * k, 24 * k), (50 * k, 24 * k), (32 * k, 44 * k),
	           (14 * k, 24 * k), (24 * k, 24 * k)], fill=(64, 176, 110, 255))


def tick(img, k):
	d = ImageDraw.Draw(img)
	d.ellipse((6 * k, 6 * k, 58 * k, 58 * k), fill=(54, 160, 96, 255))
	d.line([(18 * k, 33 * k), (28 * k, 43 * k), (47 * k, 22 * k)], fill=(255, 255, 255, 255), width=6 * k,
	       joint="curve")


def warning(img, k):
	d = ImageDraw.Draw(img)
	d.polygon([(32 * k, 6 * k), (60 * k, 56 * k), (4 * k, 56 * k)], fill=(60, 48, 20, 255))
	d.polygon([(32 * k, 10 * k), (56 * k, 53 * k), (8 * k, 53 * k)], fill=(250, 200, 60, 255))
	d.rounded_rectangle((29 * k, 22 * k, 35 * k, 41 * k), radius=2 * k, fill=(40, 32, 12, 255))
	d.ellipse((29 * k, 44 * k, 35 * k, 50 * k), fill=(40, 32, 12, 255))


def disk(img, k):
	d = ImageDraw.Draw(img)
	d.rounded_rectangle((6 * k, 14 * k, 58 * k, 50 * k), radius=5 * k, fill=(72, 80, 94, 255))
	d.rounded_rectangle((8 * k, 16 * k, 56 * k, 44 * k), radius=4 * k, fill=(170, 178, 190, 255))
	d.ellipse((14 * k, 20 * k, 36 * k, 42 * k), fill=(206, 212, 220, 255))
	d.ellipse((23 * k, 29 * k, 27 * k, 33 * k), fill=(90, 98, 112, 255))
	d.line((27 * k, 31 * k, 46 * k, 24 * k), fill=(60, 66, 78, 255), width=2 * k)
	d.ellipse((48 * k, 45 * k, 52 * k, 49 * k), fill=(110, 230, 140, 255))


def aeroplane(img, k):
	d = ImageDraw.Draw(img)
	body = [(32, 4), (35, 8), (35, 24), (58, 36), (58, 41), (35, 34), (34, 50), (42, 56), (42, 59),
	        (32, 56), (22, 59), (22, 56), (30, 50), (29, 34), (6, 41), (6, 36), (29, 24), (29, 8)]
	d.polygon([(x * k, y * k) for x, y in body], fill=(236, 242, 250, 255), outline=(40, 70, 110, 255),
	          width=k)


ICONS = [disc, folder, globe, download, tick, warning, disk, aeroplane]


def decoration():
	"""The plate behind the icon at the left of the installation panel (128 x 86)."""
	w, h = 128, 86
	box = (4, 8, 124, 81)
	face = face_image(w, h, [(0, (72, 94, 124, 255)), (1, (36, 50, 70, 255))], box)
	img = panel(w, h, box, 7, face, (22, 30, 42, 255), (110, 136, 170, 255), None, shadow=0.5, blur=2, drop=2)
	glow = Image.new("L", (w, h), 0)
	ImageDraw.Draw(glow).ellipse((34, 14, 94, 70), fill=120)
	glow = glow.filter(ImageFilter.GaussianBlur(10))
	return layer(img, masked(solid(w, h, (150, 200, 255, 255)), glow))


def frame20_tile():
	"""The 41 x 41 tile of frame style 20: a light panel with a one-texel shadow."""
	box = (1, 1, 40, 40)
	return layer(drop_shadow(41, 41, (1, 0, 40, 40), 6, 0.6, 1, 0.5),
	             panel(41, 41, box, 6, (232, 235, 240, 255), (96, 108, 126, 255), (255, 255, 255, 255),
	                   (206, 212, 220, 255), shadow=0))


def draw_installer():
	pic = Picture(1010, 764)
	pic.put(world_map(), MAP_S, MAP_T)
	for n, draw_fn in enumerate(ICONS):
		pic.put(icon(draw_fn), (n % 8) * 64, (n // 8) * 64 + 66)
	draw_buttons(pic)
	pic.put(decoration(), 644, 33)
	pic.put(frame20_tile(), 774, 78)
	return pic
