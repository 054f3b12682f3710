#!/usr/bin/env python3
"""Runs the picture readers over the shared third-party image corpus and reports, per folder, how many
files decode, how many are refused with a clear message, and how many crash or hang (there must be none).

Every file is loaded in its own process by picture_probe (built with the sanitizers by scripts/test.sh),
under a time limit, and written back in its own format. Decoded pictures are compared with the reference
renderings the corpus ships (BMP Suite, pygif, gif-test-suite). The corpus is read in place; nothing of
it is copied. Exit status: 0 when everything holds, 1 when something does not, 77 when there is no corpus.
"""

import argparse
import collections
import os
import re
import signal
import struct
import subprocess
import sys
import tempfile
import threading
import zlib
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

CLEAR_PREFIXES = ("JPEG error #", "GIF error: ", "BMP error: ", "Unknown picture file extension")
PICTURE_SUFFIXES = {".bmp", ".gif", ".jpg", ".jpeg"}
SKIP_EXIT = 77


# ---------------------------------------------------------------------------------------- pictures

def read_png(path):
    """Returns (width, height, rgba bytes) of a non-interlaced PNG of any colour type and depth."""
    data = Path(path).read_bytes()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(f"{path}: not a PNG")
    pos, idat, palette, trns = 8, b"", None, None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
        elif kind == b"PLTE":
            palette = body
        elif kind == b"tRNS":
            trns = body
        elif kind == b"IDAT":
            idat += body
    if interlace:
        raise ValueError(f"{path}: interlaced PNG")
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour]
    bits = depth * channels
    stride = (width * bits + 7) // 8
    step = max(1, bits // 8)
    raw = zlib.decompress(idat)
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - step] if i >= step else 0
            b = previous[i]
            c = previous[i - step] if i >= step else 0
            if kind == 1:
                line[i] = (line[i] + a) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + b) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 0xFF
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 0xFF
        rows.append(bytes(line))
        previous = line
    out = bytearray()
    for line in rows:
        samples = unpack_samples(line, width * channels, depth)
        for x in range(width):
            px = samples[x * channels:(x + 1) * channels]
            out += to_rgba(px, colour, depth, palette, trns)
    return width, height, bytes(out)


def unpack_samples(line, count, depth):
    if depth == 8:
        return list(line[:count])
    if depth == 16:
        return [line[2 * i] for i in range(count)]  # the high byte is enough to compare with 8-bit output
    per_byte = 8 // depth
    mask = (1 << depth) - 1
    return [(line[i // per_byte] >> (8 - depth * (i % per_byte + 1))) & mask for i in range(count)]


def to_rgba(px, colour, depth, palette, trns):
    if colour == 3:
        index = px[0]
        alpha = trns[index] if trns and index < len(trns) else 255
        return bytes(palette[3 * index:3 * index + 3]) + bytes([alpha])
    scale = 255 // ((1 << depth) - 1) if depth < 8 else 1
    if colour == 0:
        grey = px[0] * scale
        return bytes([grey, grey, grey, 255])
    if colour == 4:
        return bytes([px[0], px[0], px[0], px[1]])
    if colour == 2:
        return bytes(px) + b"\xff"
    return bytes(px)


def on_white(rgba):
    """Composes RGBA pixels over the white canvas the program puts pictures on."""
    out = bytearray()
    for i in range(0, len(rgba), 4):
        a = rgba[i + 3]
        out += bytes((c * a + 255 * (255 - a) + 127) // 255 for c in rgba[i:i + 3])
    return bytes(out)


def read_ppm(path):
    data = Path(path).read_bytes()
    header = data.split(b"\n", 3)
    width, height = map(int, header[1].split())
    return width, height, header[3]


def largest_difference(a, b):
    return max((abs(x - y) for x, y in zip(a, b)), default=0)


# ---------------------------------------------------------------------------------------- references

def bmp_references(corpus):
    """Maps 'bmp/good/pal8.bmp' to the reference PNGs that show its right rendering."""
    table = {}
    for line in (corpus / "bmp" / "EXPECTED.md").read_text(encoding="utf-8").splitlines():
        cells = [c.strip() for c in line.split("|")]
        if len(cells) > 4 and cells[1].endswith(".bmp") and cells[3].endswith(".png"):
            stem = re.sub(r"-[a-z]$", "", cells[3][:-4])
            candidates = sorted((corpus / "bmp" / "reference").glob(stem + "*.png"))
            table["bmp/" + cells[1]] = [p for p in candidates if re.fullmatch(re.escape(stem) + r"(-[a-z0-9])?\.png", p.name)]
    return table


def gif_reference(corpus, relative):
    """Returns (width, height, rgb) of the first frame's right rendering on white, None when there is no
    reference, or 'no-picture' when the reference says the file holds no frame."""
    name = Path(relative).stem
    folder = corpus / "gif" / "reference"
    conf = folder / "pygif" / (name + ".conf")
    if "/pygif/" in relative and conf.exists():
        sections = collections.defaultdict(dict)
        section = None
        for line in conf.read_text(encoding="utf-8").splitlines():
            line = line.split("#", 1)[0].strip()
            if line.startswith("["):
                section = line.strip("[]")
            elif "=" in line and section:
                key, value = (s.strip() for s in line.split("=", 1))
                sections[section][key] = value
        frames = [f for f in sections["config"].get("frames", "").split(",") if f.strip()]
        if not frames:
            return "no-picture"
        first = sections[frames[0].strip()]
        if "image" in first:
            width, height, rgba = read_png(folder / "pygif" / first["image"])
        else:
            width, height = int(sections["config"]["width"]), int(sections["config"]["height"])
            rgba = (folder / "pygif" / first["pixels"]).read_bytes()
        return width, height, on_white(rgba)
    frame = folder / "peterdn-frames" / (name + "-0.png")
    if "/peterdn/" in relative and frame.exists():
        width, height, rgba = read_png(frame)
        return width, height, on_white(rgba)
    return None


def jpeg_sizes(corpus):
    sizes = {}
    for line in (corpus / "jpeg" / "MANIFEST.tsv").read_text(encoding="utf-8").splitlines()[1:]:
        cells = line.split("\t")
        match = re.search(r"\b(\d+)x(\d+)\b", cells[6]) if len(cells) > 6 else None
        if match:
            sizes["jpeg/" + cells[0]] = (int(match.group(1)), int(match.group(2)))
    return sizes


def exceptions(path):
    table = {}
    for line in path.read_text(encoding="utf-8").splitlines():
        if line.strip() and not line.startswith("#"):
            relative, reason = line.split("\t", 1)
            table[relative] = reason
    return table


# ---------------------------------------------------------------------------------------- running

def run_probe(probe, corpus, relative, timeout, scratch):
    """Runs the probe on one file; returns a dict with outcome, message, size, round trip and peak memory."""
    ppm = Path(scratch) / (relative.replace("/", "_") + ".ppm")
    out_path, err_path = Path(str(ppm) + ".out"), Path(str(ppm) + ".err")
    env = dict(os.environ,
               ASAN_OPTIONS="detect_leaks=1:hard_rss_limit_mb=2048:abort_on_error=0:exitcode=86",
               UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:exitcode=87")
    with open(out_path, "wb") as out, open(err_path, "wb") as err:
        process = subprocess.Popen([probe, str(corpus / relative), str(ppm)], stdout=out, stderr=err, env=env,
                                   start_new_session=True)
        timed_out = threading.Event()

        def kill():
            timed_out.set()
            os.killpg(process.pid, signal.SIGKILL)

        timer = threading.Timer(timeout, kill)
        timer.start()
        _, status, usage = os.wait4(process.pid, 0)
        timer.cancel()
        process.returncode = 0  # reaped here; keep Popen from waiting again
    text = out_path.read_text(encoding="utf-8", errors="replace").strip()
    errors = err_path.read_text(encoding="utf-8", errors="replace")
    # The probe reports its own peak; the rusage figure also counts the forked copy of this script.
    peak = re.search(r"^peak-kb (\d+)$", errors, re.MULTILINE)
    errors = re.sub(r"^peak-kb \d+\n", "", errors, flags=re.MULTILINE)
    result = {"file": relative, "peak_kb": int(peak.group(1)) if peak else usage.ru_maxrss, "stderr": errors[-2000:]}
    if timed_out.is_set():
        result["outcome"] = "hung"
    elif not os.WIFEXITED(status) or os.WEXITSTATUS(status) != 0 or "Sanitizer" in errors or "runtime error" in errors:
        result["outcome"] = "crashed"
    elif text.startswith("decoded\t"):
        _, width, height, trip = text.split("\t")
        result.update(outcome="decoded", width=int(width), height=int(height), trip=trip, ppm=ppm)
    elif text.startswith("refused\t"):
        message = text.split("\t", 1)[1]
        clear = message.startswith(CLEAR_PREFIXES) and str(corpus / relative) in message
        result.update(outcome="refused" if clear else "refused-unclear", message=message)
    else:
        result["outcome"] = "crashed"
    return result


def compare(result, corpus, bmp_refs, sizes):
    """Adds 'reference': 'match', 'mismatch: ...' or None to a decoded result."""
    relative = result["file"]
    width, height, rgb = read_ppm(result["ppm"])
    if relative.startswith("bmp/") and bmp_refs.get(relative):
        for candidate in bmp_refs[relative]:
            ref_w, ref_h, rgba = read_png(candidate)
            if (ref_w, ref_h) == (width, height) and largest_difference(on_white(rgba), rgb) <= 1:
                return "match"
        return "mismatch with " + ", ".join(p.name for p in bmp_refs[relative])
    if relative.startswith("gif/"):
        reference = gif_reference(corpus, relative)
        if reference == "no-picture":
            return "mismatch: the reference has no picture"
        if reference:
            ref_w, ref_h, ref_rgb = reference
            if (ref_w, ref_h) != (width, height):
                return f"mismatch: {width}x{height} against {ref_w}x{ref_h}"
            difference = largest_difference(ref_rgb, rgb)
            return "match" if difference == 0 else f"mismatch: pixels differ by up to {difference}"
    if relative in sizes:
        return "match" if sizes[relative] == (width, height) else f"mismatch: size {width}x{height} against {sizes[relative]}"
    return None


def corpus_files(corpus):
    for path in sorted(corpus.rglob("*")):
        relative = path.relative_to(corpus).as_posix()
        if path.is_file() and path.suffix.lower() in PICTURE_SUFFIXES and "/reference/" not in relative:
            yield relative


def folder_of(relative):
    parts = relative.split("/")
    return "/".join(parts[:2])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--probe", required=True, help="the picture_probe program")
    parser.add_argument("--corpus", default=os.environ.get("VESKARO_CORPUS"), help="the shared corpus folder")
    parser.add_argument("--exceptions", default=Path(__file__).with_name("corpus-exceptions.tsv"))
    parser.add_argument("--timeout", type=float, default=10)
    parser.add_argument("--jobs", type=int, default=2)
    args = parser.parse_args()
    corpus = Path(args.corpus or Path(__file__).resolve().parents[3] / "shared" / "corpus")
    if not (corpus / "bmp" / "EXPECTED.md").exists():
        print(f"No image corpus at {corpus}: skipped.")
        return SKIP_EXIT
    explained = exceptions(Path(args.exceptions))
    bmp_refs, sizes = bmp_references(corpus), jpeg_sizes(corpus)
    files = list(corpus_files(corpus))
    with tempfile.TemporaryDirectory(prefix="veskaro-conformance-") as scratch, \
            ThreadPoolExecutor(max_workers=args.jobs) as pool:
        results = list(pool.map(lambda f: run_probe(args.probe, corpus, f, args.timeout, scratch), files))
        for result in results:
            if result["outcome"] == "decoded":
                result["reference"] = compare(result, corpus, bmp_refs, sizes)
    return report(results, explained)


def unexpected_outcome(result, kind):
    """Returns what is wrong with a result for its folder, or None: good files must decode as their reference
    shows, bad ones must be refused."""
    if kind == "good" and result["outcome"] != "decoded":
        return "good file not decoded"
    if kind == "good" and result.get("reference") not in (None, "match"):
        return result["reference"]
    if kind == "bad" and result["outcome"] == "decoded":
        return "bad file decoded"
    return None


def report(results, explained):
    rows = collections.OrderedDict()
    problems = []
    for r in results:
        row = rows.setdefault(folder_of(r["file"]), collections.Counter())
        row["files"] += 1
        row[r["outcome"]] += 1
        kind = r["file"].split("/")[1]
        if r["outcome"] == "decoded":
            row["reference " + ("match" if r.get("reference") == "match" else "none" if r.get("reference") is None else "mismatch")] += 1
            row["round trip ok"] += r["trip"] in ("exact", "close")
            if r["trip"] not in ("exact", "close"):
                problems.append(f"round trip {r['trip']}: {r['file']}")
        if r["outcome"] in ("crashed", "hung", "refused-unclear"):
            problems.append(f"{r['outcome']}: {r['file']}\n{r.get('message', '')}{r['stderr']}")
        unexpected = unexpected_outcome(r, kind)
        if unexpected and r["file"] in explained:
            row["explained"] += 1
        elif unexpected:
            problems.append(f"{unexpected}: {r['file']} {r.get('message', '')}")
        if r["peak_kb"] > row["peak kB"]:
            row["peak kB"] = r["peak_kb"]
    print("| folder | files | decoded | refused, clear message | refused, unclear | crashed | hung |"
          " matches reference | round trip ok | explained exceptions | peak RSS (MB) |")
    print("|---|---|---|---|---|---|---|---|---|---|---|")
    for folder, row in rows.items():
        print(f"| {folder} | {row['files']} | {row['decoded']} | {row['refused']} | {row['refused-unclear']} |"
              f" {row['crashed']} | {row['hung']} | {row['reference match']} of {row['decoded'] - row['reference none']} |"
              f" {row['round trip ok']} | {row['explained']} | {row['peak kB'] / 1024:.0f} |")
    worst = max(results, key=lambda r: r["peak_kb"])
    print(f"\nPeak memory: {worst['peak_kb'] / 1024:.1f} MB on {worst['file']}")
    listed = [r for r in results if r["file"] in explained]
    if listed:
        print("\nExplained exceptions:")
        for r in listed:
            print(f"- {r['file']}: {r['outcome']}. {explained[r['file']]}")
    if problems:
        print("\nProblems:")
        for problem in problems:
            print("- " + problem)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
