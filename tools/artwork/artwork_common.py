"""Drawing functions shared by the pictures: texel placement, anti-aliased shapes, gradients."""
from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

FONT_DIR = "/usr/share/fonts/truetype/dejavu/"
SS = 4  # supersampling factor for anti-aliased shapes


def font(name, size):
	return ImageFont.truetype(FONT_DIR + name, size)


class Picture:
	"""An RGBA picture addressed in texels: s to the right, t upward from the bottom row."""

	def __init__(self, width, height):
		self.img = Image.new("RGBA", (width, height), (0, 0, 0, 0))
		self.width, self.height = width, height

	def box(self, s, t, w, h):
		"""The image box of the texel rectangle s..s+w by t..t+h."""
		return (s, self.height - t - h, s + w, self.height - t)

	def put(self, piece, s, t):
		"""Composites `piece` (a top-down RGBA image) with its lower left corner at texel (s, t)."""
		layer = Image.new("RGBA", self.img.size, (0, 0, 0, 0))
		layer.paste(piece, (s, self.height - t - piece.height))
		self.img = Image.alpha_composite(self.img, layer)

	def set_texel(self, s, t, rgba):
		self.img.putpixel((s, self.height - 1 - t), rgba)

	def get_texel(self, s, t):
		return self.img.getpixel((s, self.height - 1 - t))

	def fill(self, s, t, w, h, rgba):
		ImageDraw.Draw(self.img).rectangle((s, self.height - t - h, s + w - 1, self.height - t - 1), fill=rgba)


def lerp(a, b, f):
	return tuple(int(round(x + (y - x) * f)) for x, y in zip(a, b))


def vgradient(w, h, stops):
	"""A top-down image whose rows run through the colour stops [(fraction, rgba), ...]."""
	img = Image.new("RGBA", (w, h))
	draw = ImageDraw.Draw(img)
	for y in range(h):
		f = y / max(1, h - 1)
		for (f0, c0), (f1, c1) in zip(stops, stops[1:]):
			if f0 <= f <= f1:
				colour = lerp(c0, c1, (f - f0) / max(1e-9, f1 - f0))
				break
		draw.line((0, y, w - 1, y), fill=colour if len(colour) == 4 else colour + (255,))
	return img


def shape_mask(w, h, draw_fn):
	"""An anti-aliased mask of size w x h: draw_fn(draw, scale) draws in white at `scale` times the size."""
	big = Image.new("L", (w * SS, h * SS), 0)
	draw_fn(ImageDraw.Draw(big), SS)
	return big.resize((w, h), Image.LANCZOS)


def rounded_mask(w, h, box, radius):
	"""Mask of the rounded rectangle covering box = (x0, y0, x1, y1) in pixel edges, top-down."""
	x0, y0, x1, y1 = box
	return shape_mask(w, h, lambda d, k: d.rounded_rectangle(
		(x0 * k, y0 * k, x1 * k - 1, y1 * k - 1), radius=radius * k, fill=255))


def masked(fill_img, mask):
	"""fill_img with its alpha multiplied by mask."""
	out = fill_img.copy()
	out.putalpha(ImageChops.multiply(fill_img.getchannel("A"), mask))
	return out


def solid(w, h, rgba):
	return Image.new("RGBA", (w, h), rgba)


def drop_shadow(w, h, box, radius, blur, offset, strength):
	"""A soft black shadow of a rounded rectangle, offset downward by `offset` pixels."""
	x0, y0, x1, y1 = box
	mask = Image.new("L", (w, h), 0)
	ImageDraw.Draw(mask).rounded_rectangle((x0, y0 + offset, x1 - 1, y1 - 1 + offset), radius=radius,
	                                       fill=int(255 * strength))
	if blur:
		mask = mask.filter(ImageFilter.GaussianBlur(blur))
	shadow = solid(w, h, (0, 0, 0, 255))
	shadow.putalpha(mask)
	return shadow


def layer(*images):
	"""Composites equally sized RGBA images in order."""
	out = images[0]
	for img in images[1:]:
		out = Image.alpha_composite(out, img)
	return out


def text_image(text, fnt, rgba, w, h, dx=0, dy=0):
	"""Anti-aliased text centred in a w x h transparent image."""
	img = Image.new("RGBA", (w, h), (0, 0, 0, 0))
	draw = ImageDraw.Draw(img)
	x0, y0, x1, y1 = draw.textbbox((0, 0), text, font=fnt)
	draw.text(((w - (x1 - x0)) / 2 - x0 + dx, (h - (y1 - y0)) / 2 - y0 + dy), text, font=fnt, fill=rgba)
	return img
