#!/usr/bin/python3
"""Draws the pictures of the bundled sample project (data/samples/demo/pictures).

The pictures are drawn from nothing but the formulas below, so they are ours to give away:
they are dedicated to the public domain (CC0 1.0). Needs Debian's python3-pil.
Usage: tools/make-sample-pictures.py OUTPUT_FOLDER
"""
import math
import os
import random
import sys

from PIL import Image, ImageDraw, ImageFilter


def lerp(a, b, t):
    return tuple(int(a[i] + (b[i] - a[i]) * t) for i in range(3))


def sky(draw, width, height, top, bottom):
    for y in range(height):
        draw.line([(0, y), (width, y)], fill=lerp(top, bottom, y / max(1, height - 1)))


def dunes(width=1280, height=720):
    image = Image.new("RGB", (width, height))
    draw = ImageDraw.Draw(image)
    sky(draw, width, height, (70, 110, 190), (250, 190, 140))
    draw.ellipse([860, 120, 980, 240], fill=(255, 236, 180))
    for layer, (colour, base, amplitude, period) in enumerate(
            [((214, 150, 90), 470, 60, 520), ((196, 128, 70), 560, 70, 430), ((170, 104, 54), 660, 50, 360)]):
        points = [(x, base + amplitude * math.sin(x / period * 2 * math.pi + layer)) for x in range(0, width + 10, 10)]
        draw.polygon(points + [(width, height), (0, height)], fill=colour)
    return image.filter(ImageFilter.GaussianBlur(1.2))


def harbour(width=1280, height=720):
    rng = random.Random(7)
    image = Image.new("RGB", (width, height))
    draw = ImageDraw.Draw(image)
    sky(draw, width, height, (8, 12, 40), (40, 50, 90))
    for _ in range(160):
        x, y = rng.randrange(width), rng.randrange(height // 2)
        draw.point((x, y), fill=(230, 230, 255))
    draw.rectangle([0, 520, width, height], fill=(10, 20, 45))
    for i in range(14):
        x = 60 + i * 82
        h = rng.randrange(60, 200)
        draw.rectangle([x, 520 - h, x + 60, 520], fill=(25, 30, 50))
        for wy in range(520 - h + 10, 510, 24):
            for wx in (x + 10, x + 34):
                if rng.random() < 0.6:
                    draw.rectangle([wx, wy, wx + 12, wy + 10], fill=(255, 210, 120))
                    draw.line([(wx + 6, 530 + (520 - wy) // 2), (wx + 6, 560 + (520 - wy) // 2)], fill=(180, 140, 70))
    return image.filter(ImageFilter.GaussianBlur(0.8))


def meadow(width=1280, height=720):
    rng = random.Random(3)
    image = Image.new("RGB", (width, height))
    draw = ImageDraw.Draw(image)
    sky(draw, width, 380, (120, 180, 240), (210, 230, 250))
    for y in range(380, height):
        draw.line([(0, y), (width, y)], fill=lerp((120, 170, 60), (40, 110, 30), (y - 380) / (height - 380)))
    for _ in range(900):
        x, y = rng.randrange(width), rng.randrange(400, height)
        r = 2 + (y - 380) // 90
        draw.ellipse([x - r, y - r, x + r, y + r], fill=rng.choice([(250, 250, 250), (250, 220, 60), (220, 60, 90)]))
    return image.filter(ImageFilter.GaussianBlur(0.6))


def main(folder):
    os.makedirs(folder, exist_ok=True)
    dunes().save(os.path.join(folder, "dunes.jpg"), quality=85, optimize=True)
    harbour().save(os.path.join(folder, "harbour.jpg"), quality=85, optimize=True)
    meadow().convert("P", palette=Image.ADAPTIVE, colors=256).save(os.path.join(folder, "meadow.gif"))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "data/samples/demo/pictures")
