#!/usr/bin/env python3
"""What a visitor downloads from a published slider, with every picture option on and without them.

Usage: bench/visitor-bytes.py [--pairs N] [--score] CORPUS OUT

Publishes the pictures of CORPUS (sorted by name, one item each) as a 640 x 480 slider twice with
bench/publish-pictures.sh: as a new project does (OUT/today) and with Pictures.HighDensity, Pictures.WebP
and Pictures.LazyLoad on (OUT/options), N times each (default 5), alternating so that the machine's drift
hits both alike, and prints:
  - the bytes of all pictures a visitor downloads at device pixel ratio 1 and 2, read from the published
    markup as a browser chooses: the WebP <source> where there is one, else the <img>, the candidate of
    the ratio's density where the srcset has one, else the density-1 one;
  - the bytes before the page's load event: the page, its style sheet and scripts, and every picture not
    marked loading="lazy";
  - the publish times (wall clock, and the processor time of the publishing process, which a busy machine
    disturbs less), paired run by run, and the median ratio with its min and max;
and writes OUT/scores/{webp-1x,webp-2x,fallback-2x}/ (the content of each published picture, cut out of its
canvas, named like its source) for ../shared/bench/quality.py, whose commands it prints, and with --score
runs (a few minutes), each picture's SSIM going to OUT/scores/ssim-1x.csv and ssim-2x.csv. Needs Debian's
python3-numpy and python3-pil.
"""
import os
import re
import resource
import statistics
import subprocess
import sys
import time

import numpy
from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
OPTIONS = ["Pictures.HighDensity=1", "Pictures.LazyLoad=1", "Pictures.WebP=1"]
SLIDER = (640, 480)  # as publish-pictures.sh makes it
PAGE_FILES = ["bench.html", "Bench.css", "jslib.js", "slidervsk.js"]  # as publish-pictures.sh names them
SOURCES = (".jpg", ".jpeg", ".gif", ".bmp")


def cpu_of_children():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def publish(out, pictures, options):
    """Publishes the pictures into out with the options and returns the wall and processor time it took."""
    arguments = [a for option in options for a in ("--option", option)]
    # Every publish prepares every picture: the picture cache would time the second and later ones as hits.
    env = dict(os.environ, VESKARO_CLI_OPTIONS=(os.environ.get("VESKARO_CLI_OPTIONS", "") + " --no-cache").strip())
    start, cpu = time.perf_counter(), cpu_of_children()
    subprocess.run([os.path.join(HERE, "publish-pictures.sh"), *arguments, out, *pictures], check=True, env=env)
    return time.perf_counter() - start, cpu_of_children() - cpu


def candidates(srcset):
    """Returns {density: file} of a srcset of density descriptors."""
    chosen = {}
    for candidate in srcset.split(","):
        words = candidate.split()
        density = float(words[1].rstrip("x")) if len(words) > 1 else 1.0
        chosen[density] = words[0]
    return chosen


def chosen_file(markup, ratio):
    """The file a browser with WebP takes for one picture's markup at a device pixel ratio."""
    source = re.search(r'<source type="image/webp" srcset="([^"]*)"', markup)
    img = re.search(r"<img ([^>]*)>", markup).group(1)
    srcset = source.group(1) if source else None
    if srcset is None:
        found = re.search(r'srcset="([^"]*)"', img)
        src = re.search(r'src="([^"]*)"', img).group(1)
        srcset = src + (", " + found.group(1) if found else "")
    offered = candidates(srcset)
    return offered.get(float(ratio), offered[1.0])


def pictures_of(page):
    """Each picture's markup of a published page, in order: a <picture> element or a bare slider <img>."""
    return re.findall(r'<picture>.*?</picture>|<img src="slider[^>]*>', page, re.S)


def visitor_bytes(folder, ratio):
    """Bytes of every distinct picture at a ratio, and bytes before the load event."""
    with open(os.path.join(folder, PAGE_FILES[0]), encoding="utf-8") as f:
        page = f.read()
    size = lambda name: os.path.getsize(os.path.join(folder, name))
    every, eager = set(), set()
    for markup in pictures_of(page):
        name = chosen_file(markup, ratio)
        every.add(name)
        if 'loading="lazy"' not in markup:
            eager.add(name)
    before_load = sum(size(name) for name in eager) + sum(size(name) for name in PAGE_FILES)
    return sum(size(name) for name in every), before_load, len(every), sorted(eager)


def content_box(source):
    """The rectangle of the canvas the program draws a source into at the slider's own size, as veskaro
    computes it (SliderGeometry): the slider's fit, centred with equal margins. A larger scale multiplies
    every number."""
    with Image.open(source) as image:
        width, height = image.size
    # The factor is single precision in the program; the divisions by it are not. round() halves to even.
    factor = float(numpy.float32(height) / numpy.float32(SLIDER[1]) if width < height else
                   numpy.float32(width) / numpy.float32(SLIDER[0]))
    scaled = (round(width / factor), round(height / factor))
    margins = [round((side - size) / 2) if size < side else 0 for side, size in zip(SLIDER, scaled)]
    return margins[0], margins[1], SLIDER[0] - margins[0], SLIDER[1] - margins[1]


def write_scores(out, pictures):
    """Writes each published WebP and 2x picture's content, cut out of its canvas, named like its source:
    quality.py then resizes the source to exactly that rectangle. Whole canvases would be scored against the
    fit quality.py computes at 1280 x 960 itself, up to a column wider than twice the program's 640 x 480 fit,
    and a picture of fine lines one column narrower than its reference scores far below what it shows."""
    folder = os.path.join(out, "options")
    for variant in ("webp-1x", "webp-2x", "fallback-2x"):
        os.makedirs(os.path.join(out, "scores", variant), exist_ok=True)
    for k, source in enumerate(pictures):
        name = os.path.basename(source)
        box = content_box(source)
        fallback = [f for f in os.listdir(folder) if re.fullmatch(rf"slider{k}@2x\.(jpg|gif|png)", f)]
        for variant, published, scale in (("webp-1x", f"slider{k}.webp", 1), ("webp-2x", f"slider{k}@2x.webp", 2),
                                          ("fallback-2x", fallback[0] if fallback else None, 2)):
            if published and os.path.exists(os.path.join(folder, published)):
                with Image.open(os.path.join(folder, published)) as picture:
                    content = picture.convert("RGB").crop(tuple(scale * v for v in box))
                content.save(os.path.join(out, "scores", variant, name + ".png"))


def spread(values, digits=2):
    return f"{statistics.median(values):.{digits}f} ({min(values):.{digits}f}-{max(values):.{digits}f})"


def main(argv):
    pairs, score = 5, False
    while argv[:1] in (["--pairs"], ["--score"]):
        if argv[0] == "--pairs":
            pairs, argv = int(argv[1]), argv[2:]
        else:
            score, argv = True, argv[1:]
    if len(argv) != 2:
        print(__doc__)
        return 2
    corpus, out = argv
    pictures = sorted(os.path.join(corpus, f) for f in os.listdir(corpus) if f.lower().endswith(SOURCES))
    today_dir, options_dir = os.path.join(out, "today"), os.path.join(out, "options")
    times = {"today": [], "options": []}
    for _ in range(pairs):
        times["today"].append(publish(today_dir, pictures, []))
        times["options"].append(publish(options_dir, pictures, OPTIONS))
    today, today_before, _, _ = visitor_bytes(today_dir, 1)
    print(f"{len(pictures)} pictures, {pairs} pairs of publishes")
    print(f"today, any ratio: {today} bytes of pictures, {today_before} bytes before load")
    for ratio in (1, 2):
        total, before, count, eager = visitor_bytes(options_dir, ratio)
        print(f"options, ratio {ratio}: {total} bytes of {count} pictures ({100 * total / today:.1f}% of today's), "
              f"{before} bytes before load ({', '.join(eager)} and the page's files)")
    for kind, index in (("wall", 0), ("processor", 1)):
        today_times = [t[index] for t in times["today"]]
        options_times = [t[index] for t in times["options"]]
        ratios = [o / t for o, t in zip(options_times, today_times)]
        print(f"publish {kind} time: today {spread(today_times)} s, options {spread(options_times)} s, "
              f"options / today {spread(ratios)}")
    write_scores(out, pictures)
    quality = os.path.normpath(os.path.join(HERE, "..", "..", "shared", "bench", "quality.py"))
    scores = os.path.join(out, "scores")
    commands = [["/usr/bin/python3", quality, corpus, scores, "webp-1x", "--size", "640x480",
                 "--csv", os.path.join(scores, "ssim-1x.csv")],
                ["/usr/bin/python3", quality, corpus, scores, "webp-2x", "fallback-2x", "--size", "1280x960",
                 "--csv", os.path.join(scores, "ssim-2x.csv")]]
    print("scores:")
    for command in commands:
        print("  " + " ".join(command))
        if score:
            subprocess.run(command, check=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
