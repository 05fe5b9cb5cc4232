"""The opaque background of the installer screens (1024 x 768): a dusk sky over the curve of the earth,
a faint graticule and the product's name."""
import math

from PIL import Image, ImageDraw, ImageFilter

from artwork_common import Picture, font, layer, solid, vgradient

W, H = 1024, 768
SKY = [(0, (10, 20, 38, 255)), (0.45, (30, 56, 92, 255)), (0.72, (70, 108, 150, 255)),
       (0.8, (120, 150, 176, 255)), (1, (120, 150, 176, 255))]
EARTH_CENTRE, EARTH_RADIUS = (512, 2700), 2130  # top-down pixels; the horizon crests at y = 570


def earth():
	"""The earth's night side below a bright rim, with parallels and meridians."""
	k = 2
	cx, cy, r = EARTH_CENTRE[0] * k, EARTH_CENTRE[1] * k, EARTH_RADIUS * k
	img = Image.new("RGBA", (W * k, H * k), (0, 0, 0, 0))
	draw = ImageDraw.Draw(img)
	draw.ellipse((cx - r, cy - r, cx + r, cy + r), fill=(18, 34, 56, 255))
	lines = Image.new("RGBA", img.size, (0, 0, 0, 0))
	ldraw = ImageDraw.Draw(lines)
	for i in range(1, 12):  # parallels: circles about a pole far below the screen
		rr = r - i * 34 * k * (1 + i * 0.18)
		ldraw.ellipse((cx - rr, cy - rr + (r - rr) * 0.2, cx + rr, cy + rr), outline=(120, 170, 220, 40),
		              width=k)
	for lon in range(-80, 81, 10):  # meridians: arcs converging below the screen
		top_x = cx + r * math.sin(math.radians(lon * 0.55))
		top_y = cy - r * math.cos(math.radians(lon * 0.55))
		ldraw.line((top_x, top_y, cx + (top_x - cx) * 0.35, H * k), fill=(120, 170, 220, 34), width=k)
	mask = Image.new("L", img.size, 0)
	ImageDraw.Draw(mask).ellipse((cx - r, cy - r, cx + r, cy + r), fill=255)
	img.paste(lines, (0, 0), Image.composite(lines.getchannel("A"), Image.new("L", img.size, 0), mask))
	rim = Image.new("L", img.size, 0)
	ImageDraw.Draw(rim).ellipse((cx - r, cy - r, cx + r, cy + r), outline=255, width=6 * k)
	rim = rim.filter(ImageFilter.GaussianBlur(9 * k))
	glow = solid(*img.size, (170, 210, 255, 255))
	glow.putalpha(rim)
	sharp = Image.new("L", img.size, 0)
	ImageDraw.Draw(sharp).ellipse((cx - r, cy - r, cx + r, cy + r), outline=200, width=k)
	edge = solid(*img.size, (200, 230, 255, 255))
	edge.putalpha(sharp)
	return layer(img, glow, edge).resize((W, H), Image.LANCZOS)


def title():
	img = Image.new("RGBA", (W, H), (0, 0, 0, 0))
	draw = ImageDraw.Draw(img)
	big = font("DejaVuSans-Bold.ttf", 104)
	small = font("DejaVuSans.ttf", 26)
	name, sub = "Velmora", "I N S T A L L E R"
	x0, y0, x1, y1 = draw.textbbox((0, 0), name, font=big)
	pos = ((W - (x1 - x0)) / 2 - x0, 250 - y0)
	shadow = Image.new("RGBA", (W, H), (0, 0, 0, 0))
	ImageDraw.Draw(shadow).text((pos[0], pos[1] + 4), name, font=big, fill=(0, 8, 20, 200))
	shadow = shadow.filter(ImageFilter.GaussianBlur(6))
	draw.text(pos, name, font=big, fill=(244, 248, 252, 240))
	sx0, _, sx1, _ = draw.textbbox((0, 0), sub, font=small)
	draw.text(((W - (sx1 - sx0)) / 2 - sx0, 380), sub, font=small, fill=(170, 204, 236, 230))
	draw.line((W / 2 - 200, 372, W / 2 + 200, 372), fill=(170, 204, 236, 90), width=1)
	return layer(shadow, img)


def stars():
	img = Image.new("RGBA", (W, H), (0, 0, 0, 0))
	draw = ImageDraw.Draw(img)
	seed = 12345
	for _ in range(160):  # a small linear congruential sequence keeps the sky the same on every run
		seed = (seed * 1103515245 + 12345) % 2 ** 31
		x = seed % W
		seed = (seed * 1103515245 + 12345) % 2 ** 31
		y = seed % 330
		seed = (seed * 1103515245 + 12345) % 2 ** 31
		a = 40 + seed % 140 * (1 - y / 400)
		draw.point((x, y), fill=(220, 232, 255, int(a)))
	return img


def draw_background():
	pic = Picture(W, H)
	sky = vgradient(W, H, SKY)
	pic.img = layer(sky, stars(), earth(), title())
	pic.img.putalpha(255)
	return pic
