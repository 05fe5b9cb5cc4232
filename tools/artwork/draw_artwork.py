#!/usr/bin/python3
"""Draws the three interface pictures that the program carries and writes them as PNG files.

Run from the top of the source tree: tools/artwork/draw_artwork.py [output folder, default assets/].
Needs Python 3 with PIL (Debian: python3-pil) and the DejaVu fonts (fonts-dejavu-core).
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from artwork_background import draw_background  # noqa: E402
from artwork_installer import draw_installer  # noqa: E402
from artwork_interface import draw_interface  # noqa: E402


def main():
	out = sys.argv[1] if len(sys.argv) > 1 else "assets"
	os.makedirs(out, exist_ok=True)
	for name, draw in [("interface.png", draw_interface), ("installer.png", draw_installer),
	                   ("background.png", draw_background)]:
		img = draw().img
		if img.getchannel("A").getextrema() == (255, 255):
			img = img.convert("RGB")  # an opaque picture needs no alpha channel in its file
		img.save(os.path.join(out, name), optimize=True)


if __name__ == "__main__":
	main()
