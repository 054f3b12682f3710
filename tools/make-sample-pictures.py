#!/usr/bin/python3
"""Draws the pictures of the bundled sample projects: SAMPLES/demo/pictures and SAMPLES/seasons/pictures.

The pictures are drawn from nothing but the formulas below, so they are ours to give away:
they are dedicated to the public domain (CC0 1.0). Needs Debian's python3-pil.
Usage: tools/make-sample-pictures.py [SAMPLES]    (default: data/samples)
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


def spring(width=960, height=540):
    rng = random.Random(11)
    image = Image.new("RGB", (width, height))
    draw = ImageDraw.Draw(image)
    sky(draw, width, height, (150, 200, 245), (235, 245, 250))
    points = [(x, 400 - 40 * math.sin(x / width * math.pi)) for x in range(0, width + 10, 10)]
    draw.polygon(points + [(width, height), (0, height)], fill=(110, 175, 80))
    draw.rectangle([300, 210, 322, 390], fill=(95, 70, 50))
    for _ in range(700):
        angle, reach = rng.uniform(0, 2 * math.pi), rng.uniform(0, 150)
        x, y = 311 + reach * math.cos(angle) * 1.3, 190 + reach * math.sin(angle) * 0.8
        r = rng.randrange(3, 8)
        draw.ellipse([x - r, y - r, x + r, y + r], fill=rng.choice([(250, 190, 210), (240, 150, 185), (255, 225, 235)]))
    return image.filter(ImageFilter.GaussianBlur(0.7))


def summer(width=960, height=540):
    image = Image.new("RGB", (width, height))
    draw = ImageDraw.Draw(image)
    sky(draw, width, 300, (40, 120, 220), (170, 215, 250))
    sky_sea = Image.new("RGB", (width, height - 300))
    sky(ImageDraw.Draw(sky_sea), width, height - 300, (30, 110, 170), (10, 50, 100))
    image.paste(sky_sea, (0, 300))
    draw.ellipse([640, 70, 760, 190], fill=(255, 245, 190))
    for row in range(12):
        y = 320 + row * 18
        for x in range(0, width, 60):
            shift = (row * 23) % 60
            draw.arc([x + shift - 20, y, x + shift + 20, y + 10], 200, 340, fill=(190, 225, 245), width=2)
    return image.filter(ImageFilter.GaussianBlur(0.6))


def autumn(width=960, height=540):
    rng = random.Random(5)
    image = Image.new("RGB", (width, height))
    draw = ImageDraw.Draw(image)
    sky(draw, width, height, (250, 215, 150), (190, 110, 60))
    for _ in range(260):
        x, y = rng.randrange(width), rng.randrange(height)
        size = rng.randrange(10, 28)
        leaf = Image.new("RGBA", (size * 2, size), (0, 0, 0, 0))
        ImageDraw.Draw(leaf).ellipse([0, 0, size * 2 - 1, size - 1],
                                     fill=rng.choice([(200, 70, 30), (230, 140, 30), (150, 60, 25), (240, 180, 40)]))
        leaf = leaf.rotate(rng.randrange(180), expand=True)
        image.paste(leaf, (x, y), leaf)
    return image


def winter(width=960, height=540):
    rng = random.Random(9)
    image = Image.new("RGB", (width, height))
    draw = ImageDraw.Draw(image)
    sky(draw, width, height, (120, 140, 170), (210, 220, 235))
    for layer, (colour, base, amplitude, period) in enumerate(
            [((235, 240, 248), 330, 45, 700), ((250, 252, 255), 420, 35, 520)]):
        points = [(x, base + amplitude * math.sin(x / period * 2 * math.pi + 2 * layer)) for x in range(0, width + 10, 10)]
        draw.polygon(points + [(width, height), (0, height)], fill=colour)
    for _ in range(400):
        x, y = rng.randrange(width), rng.randrange(height)
        r = rng.choice([1, 1, 2, 3])
        draw.ellipse([x - r, y - r, x + r, y + r], fill=(255, 255, 255))
    return image.filter(ImageFilter.GaussianBlur(0.5))


def main(samples):
    demo = os.path.join(samples, "demo", "pictures")
    os.makedirs(demo, exist_ok=True)
    dunes().save(os.path.join(demo, "dunes.jpg"), quality=85, optimize=True)
    harbour().save(os.path.join(demo, "harbour.jpg"), quality=85, optimize=True)
    meadow().convert("P", palette=Image.ADAPTIVE, colors=256).save(os.path.join(demo, "meadow.gif"))
    seasons = os.path.join(samples, "seasons", "pictures")
    os.makedirs(seasons, exist_ok=True)
    spring().save(os.path.join(seasons, "spring.jpg"), quality=80, optimize=True)
    summer().save(os.path.join(seasons, "summer.jpg"), quality=80, optimize=True)
    autumn().convert("P", palette=Image.ADAPTIVE, colors=64).save(os.path.join(seasons, "autumn.gif"))
    winter().save(os.path.join(seasons, "winter.jpg"), quality=80, optimize=True)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "data/samples")
