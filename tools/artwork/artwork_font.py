"""The bitmap font of the interface image: 105 glyphs in a grid of 14 x 15 texel cells.

Glyphs are one-bit pictures (white, fully opaque ink) rendered from DejaVu Sans at 11 pixels with the
font's own hinting, except those that would not leave a blank column inside their advance; those are
drawn here by hand in the same style. The baseline lies under cell row 9 counted from the top, so text
sits centred on the line the widgets give it; capitals are 8 rows high, descenders reach row 11.
"""
from PIL import Image, ImageDraw

from artwork_common import font

CELL_W, CELL_H = 14, 15
BASELINE = 10  # first cell row (from the top) below the baseline

GRID = [
	[" "] + list("0123456789") + list("AaBbCcDdEe"),
	list("FfGgHhIiJjKkLlMmNnOoP"),
	list("pQqRrSsTtUuVvWwXxYyZz"),
	list("!@#$%^&*()-_+=[]|\\':;"),
	list("<.>,?/`") + list("ûÁáÉéÍíÓóÚúÑñ¿"),
]

WIDTHS = {
	2: ",.",
	3: " '/:;I\\`ijl|û",
	4: "!()-J[]frst",
	5: "c",
	6: "#$*0123456789?EFLPSTZ^_aekvxyz¿ÁÉÍÑÓÚáéíñóú",
	7: "+<=>BCKRVXYbdghnopqu",
	8: "&ADGHNU",
	9: "@OQw",
	10: "Mm",
	11: "%W",
}
ADVANCE = {c: w for w, chars in WIDTHS.items() for c in chars}

# Hand-drawn glyphs: (first cell row, rows). Each is at most advance - 1 columns wide.
DRAWN = {
	"M": (2, ["#......#", "##....##", "#.#..#.#", "#.#..#.#", "#..##..#", "#..##..#", "#......#", "#......#"]),
	"4": (2, ["...#.", "..##.", ".#.#.", "#..#.", "#..#.", "#####", "...#.", "...#."]),
	"f": (1, [".##", "#..", "#..", "###", "#..", "#..", "#..", "#..", "#.."]),
	"r": (4, ["#.#", "##.", "#..", "#..", "#..", "#.."]),
	"s": (4, [".##", "#..", "##.", ".##", "..#", "##."]),
	"t": (2, [".#.", ".#.", "###", ".#.", ".#.", ".#.", ".#.", "..#"]),
	"S": (2, [".###.", "#...#", "#....", ".###.", "....#", "....#", "#...#", ".###."]),
	"T": (2, ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."]),
	"Z": (2, ["#####", "....#", "...#.", "..#..", "..#..", ".#...", "#....", "#####"]),
	"V": (2, ["#...#", "#...#", "#...#", ".#.#.", ".#.#.", ".#.#.", "..#..", "..#.."]),
	"X": (2, ["#...#", "#...#", ".#.#.", "..#..", "..#..", ".#.#.", "#...#", "#...#"]),
	"Y": (2, ["#...#", "#...#", ".#.#.", ".#.#.", "..#..", "..#..", "..#..", "..#.."]),
	"v": (4, ["#...#", "#...#", ".#.#.", ".#.#.", "..#..", "..#.."]),
	"x": (4, ["#...#", ".#.#.", "..#..", "..#..", ".#.#.", "#...#"]),
	"y": (4, ["#...#", "#...#", ".#.#.", ".#.#.", "..#..", "..#..", ".#...", "#...."]),
	"@": (2, ["..####..", ".#....#.", "#..###.#", "#.#..#.#", "#.#..#.#", "#.#..#.#", "#..####.",
	          ".#......", "..####.."]),
	"#": (3, [".#.#.", ".#.#.", "#####", ".#.#.", "#####", ".#.#.", ".#.#."]),
	"^": (2, ["..#..", ".#.#.", "#...#"]),
	"&": (2, [".##....", "#..#...", "#..#...", ".##....", "#..#..#", "#...##.", "#...##.", ".###..#"]),
	"_": (11, ["#####"]),
	"+": (4, ["..#..", "..#..", "#####", "..#..", "..#.."]),
	"=": (5, ["#####", ".....", "#####"]),
	"<": (4, ["....#", "..##.", "##...", "..##.", "....#"]),
	">": (4, ["#....", ".##..", "...##", ".##..", "#...."]),
	"/": (2, ["..#", "..#", "..#", ".#.", ".#.", ".#.", "#..", "#..", "#.."]),
	"\\": (2, ["#..", "#..", "#..", ".#.", ".#.", ".#.", "..#", "..#", "..#"]),
	"Á": (0, ["...#.", "..#..", ".....", "..#..", ".#.#.", ".#.#.", "#...#", "#####", "#...#", "#...#"]),
	"É": (0, ["...#.", "..#..", ".....", "#####", "#....", "#....", "####.", "#....", "#....", "#####"]),
	"Í": (0, ["..#", ".#.", "...", ".#.", ".#.", ".#.", ".#.", ".#.", ".#.", ".#."]),
	"Ó": (0, ["...#.", "..#..", ".....", ".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."]),
	"Ú": (0, ["...#.", "..#..", ".....", "#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."]),
	"Ñ": (0, [".##.#", "#.##.", ".....", "#...#", "##..#", "#.#.#", "#.#.#", "#..##", "#...#", "#...#"]),
}


def rendered_rows(ch):
	"""The ink of `ch` rendered from DejaVu Sans: (first cell row, rows of '#' and '.')."""
	fnt = font("DejaVuSans.ttf", 11)
	ascent, _ = fnt.getmetrics()
	img = Image.new("L", (40, 40), 0)
	draw = ImageDraw.Draw(img)
	draw.fontmode = "1"
	draw.text((10, 10), ch, font=fnt, fill=255)
	bbox = img.getbbox()
	if not bbox:
		return 0, []
	x0, y0, x1, y1 = bbox
	rows = ["".join("#" if img.getpixel((x, y)) > 127 else "." for x in range(x0, x1)) for y in range(y0, y1)]
	return y0 - 10 - ascent + BASELINE, rows


def glyph_rows(ch):
	return DRAWN[ch] if ch in DRAWN else rendered_rows(ch)


def glyph_image(ch):
	"""The glyph of `ch` as a cell-sized top-down RGBA image, ink centred in its advance."""
	cell = Image.new("RGBA", (CELL_W, CELL_H), (0, 0, 0, 0))
	first, rows = glyph_rows(ch)
	if not rows:
		return cell
	ink = len(rows[0])
	left = max(0, (ADVANCE[ch] - ink) // 2)
	for r, row in enumerate(rows):
		for c, bit in enumerate(row):
			if bit == "#":
				assert 0 <= first + r < CELL_H - 1 and left + c < CELL_W, f"glyph {ch!r} leaves its cell"
				cell.putpixel((left + c, first + r), (255, 255, 255, 255))
	return cell


def draw_font(pic):
	"""Places every glyph in its cell: column c, row r covers texels 14c.. by 15r.. (r counted upward)."""
	for r, row in enumerate(GRID):
		assert len(row) == 21
		for c, ch in enumerate(row):
			pic.put(glyph_image(ch), c * CELL_W, r * CELL_H)


def set_line(pic_img, text, x, y, rgba):
	"""Draws `text` into a top-down image the way the program does: the cell spans 9 rows above the line y
	and 6 below it, advancing
	by the width table. For previews."""
	for ch in text:
		g = glyph_image(ch) if ch in ADVANCE else None
		if g:
			tinted = Image.new("RGBA", g.size, rgba)
			tinted.putalpha(g.getchannel("A"))
			pic_img.alpha_composite(tinted, (x, y - 9))
		x += ADVANCE.get(ch, 0)
