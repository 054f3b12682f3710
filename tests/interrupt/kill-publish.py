#!/usr/bin/env python3
"""Kills `veskaro-cli publish` at random moments and checks what it leaves in the publish folder.

Two versions of a 10-picture project differ in every published file but the scripts (slider name and
so the style sheet's name, size, and the format, so the name, of several pictures). Each run starts
from a folder holding one version whole, plus the temporary files the previous run left there,
publishes the other version and kills it with SIGKILL: a third of the kills fall anywhere in the
publish, a third within the time it writes into the folder once its first temporary file appears, and
a third within the time it renames once the first file was renamed into place. After each kill:

  - every file in the folder equals the old or the new version of that name (nothing torn or empty),
    and no file of the earlier publish is gone;
  - the page names only files that are there, and a new page only new versions of them (what the page
    names is renamed into place before the page);
  - the temporary files left (NAME.<16 hex>.tmp) are counted and carried into the next run; a run that
    completes must remove them and leave none of its own.

It takes a few minutes, so CTest does not run it. Usage:

    tests/interrupt/kill-publish.py build/rel/bin/veskaro-cli [--runs 200] [--seed 1] [--slow-renames 3000]

The renames take a fraction of a millisecond, so few kills fall between two of them; --slow-renames runs
veskaro-cli under strace with each rename delayed by that many microseconds, to meet many more.

The per-user folders of the runs are pointed into a temporary folder. Exit status 0 when every run
passed, 1 otherwise.
"""

import argparse
import os
import random
import re
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

SOURCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "data", "samples")
PICTURES = ["demo/pictures/dunes.jpg", "demo/pictures/meadow.gif", "seasons/pictures/spring.jpg",
            "seasons/pictures/autumn.gif", "seasons/pictures/summer.jpg", "demo/pictures/harbour.jpg",
            "seasons/pictures/winter.jpg"]
ITEMS = 10
TEMPORARY = re.compile(r"^.+\.[0-9a-fA-F]{16}\.tmp$")
# The files a page needs: its pictures and scripts, and its style sheet ("./Name.css").
NAMED = re.compile(r'<(?:img|script)\b[^>]*\bsrc="(?:\./)?([^"]+)"|<link\b[^>]*\bhref="(?:\./)?([^"]+)"', re.I)


def project_text(slider, width, height, shift):
    lines = ["<Warning_Info>", "Note: This file was created and maintained by Veskaro 1.0.",
             "Do not modify it or script project may not be opened again!", "</Warning_Info>",
             "<Product_Name>", "Veskaro", "</Product_Name>", "<Product_Version>", "1.0", "</Product_Version>",
             "<Applet_Parameters>",
             f"{slider}#$@{width}#$@{height}#$@-26#$@000000#$@FFFFFF#$@000000#$@C0C0C0#$@FFFF00#$@000000#$@"
             "FFFF00#$@000000#$@#$@1000#$@500#$@3000#$@1#$@#$@#$@#$@1#$@",
             "</Applet_Parameters>", "<Item_Parameters>"]
    for k in range(ITEMS):
        picture = os.path.basename(PICTURES[(k + shift) % len(PICTURES)])
        link = f"https://www.example.com/page{k}.html"
        lines.append(f"#$@pictures/{picture}#$@{link}#$@_self#$@Picture {k}#$@#$@#$@0#$@#$@")
    lines.append("</Item_Parameters>")
    return "".join(line + "\r\n" for line in lines)


def make_project(folder, slider, width, height, shift):
    os.makedirs(os.path.join(folder, "pictures"))
    for picture in PICTURES:
        shutil.copy(os.path.join(SOURCE, picture), os.path.join(folder, "pictures"))
    with open(os.path.join(folder, "site.vsk"), "w", newline="") as out:
        out.write(project_text(slider, width, height, shift))
    return os.path.join(folder, "site.vsk")


def files_in(folder):
    result = {}
    for name in os.listdir(folder):
        with open(os.path.join(folder, name), "rb") as f:
            result[name] = f.read()
    return result


RENAMES = "rename,renameat,renameat2"


def publish(cli, project, site, env, slow_renames=0):
    command = [cli, "publish", project, "--quiet", "--to", site]
    if slow_renames:
        # strace only delays each rename; veskaro-cli runs unchanged below it.
        command = ["strace", "-f", "-qq", "-o", os.devnull, "-e", "trace=" + RENAMES, "-e",
                   f"inject={RENAMES}:delay_exit={slow_renames}"] + command
    return subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


def kill(process):
    """Kills veskaro-cli with SIGKILL: the process itself, or the one strace runs."""
    victims = [process.pid]
    try:
        with open(f"/proc/{process.pid}/comm") as comm:
            if comm.read().strip() == "strace":
                with open(f"/proc/{process.pid}/task/{process.pid}/children") as children:
                    victims = [int(pid) for pid in children.read().split()] or victims
    except OSError:
        pass  # it has ended already
    for pid in victims:
        try:
            os.kill(pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
    process.wait()


def inodes(site):
    return {entry.name: entry.inode() for entry in os.scandir(site) if not TEMPORARY.match(entry.name)}


def first_change(process, site, seen):
    """Waits until the folder shows a change that seen(folder inodes) accepts, or the process ends;
    returns the moment, or None."""
    while process.poll() is None:
        if seen(inodes(site), {entry.name for entry in os.scandir(site)}):
            return time.monotonic()
        time.sleep(0.0002)
    return None


def writing_started(site):
    """The test for the first temporary file in the folder."""
    return lambda now, names: any(TEMPORARY.match(name) for name in names)


def renaming_started(site):
    """The test for the first file renamed into place: a new name, or a name with another file."""
    before = inodes(site)
    return lambda now, names: any(before.get(name) != inode for name, inode in now.items())


def named_by_page(page):
    return {picture or sheet for picture, sheet in NAMED.findall(page.decode("utf-8", "replace"))}


def check(site, old, new, previous_leftovers, completed):
    """Returns the faults found in the folder and the temporary files left in it."""
    faults = []
    now = files_in(site)
    leftovers = {name for name in now if TEMPORARY.match(name) and name not in old and name not in new}
    for name, data in now.items():
        if name in leftovers:
            continue
        if name not in old and name not in new:
            faults.append(f"unexpected file {name}")
        elif data != old.get(name) and data != new.get(name):
            faults.append(f"{name} is neither version ({len(data)} bytes)")
    for name in old:
        if name not in now:
            faults.append(f"{name} of the earlier publish is gone")
    page = now.get("site.html")
    if page is not None:
        for name in named_by_page(page):
            if name not in now:
                faults.append(f"the page names {name}, which is missing")
            elif page == new["site.html"] and now[name] != new[name]:
                faults.append(f"the new page names {name}, which is not yet the new version")
    if completed:
        for name in previous_leftovers & leftovers:
            faults.append(f"the completed run left the earlier leftover {name}")
        if leftovers:
            faults.append(f"the completed run left {sorted(leftovers)}")
        if now.keys() - leftovers != new.keys() | old.keys():
            faults.append("the completed run did not write every file")
    return faults, leftovers


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("cli")
    parser.add_argument("--runs", type=int, default=200)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--slow-renames", type=int, default=0, metavar="MICROSECONDS",
                        help="run veskaro-cli under strace, each rename delayed, to meet more kills between renames")
    args = parser.parse_args()
    cli = os.path.abspath(args.cli)
    rng = random.Random(args.seed)

    work = tempfile.mkdtemp(prefix="veskaro-kill-")
    env = dict(os.environ, HOME=os.path.join(work, "home"), XDG_DATA_HOME=os.path.join(work, "data"),
               XDG_CONFIG_HOME=os.path.join(work, "config"), XDG_CACHE_HOME=os.path.join(work, "cache"))
    try:
        projects = {"A": make_project(os.path.join(work, "a"), "Demo Slider", 640, 360, 0),
                    "B": make_project(os.path.join(work, "b"), "Other Slider", 600, 400, 1)}
        versions = {}
        durations = []
        writing = []   # from the first temporary file in the folder to the end of the publish
        renaming = []  # from the first file renamed into place to the end of the publish
        for name, project in projects.items():
            reference = os.path.join(work, "reference-" + name)
            for watch, times in [(writing_started, writing), (renaming_started, renaming)] * 2:
                shutil.rmtree(reference, ignore_errors=True)
                os.makedirs(reference)
                start = time.monotonic()
                process = publish(cli, project, reference, env, args.slow_renames)
                changed = first_change(process, reference, watch(reference))
                _, err = process.communicate()
                end = time.monotonic()
                durations.append(end - start)
                if changed is not None:
                    times.append(end - changed)
                if process.returncode != 0:
                    sys.exit(f"publishing version {name} failed: {err.decode()}")
            versions[name] = files_in(reference)
        assert versions["A"]["site.html"] != versions["B"]["site.html"]
        windows = {"anywhere": statistics.median(durations) * 1.15,
                   "writing": statistics.median(writing) * 1.3 if writing else 0.1,
                   "renaming": statistics.median(renaming) * 1.5 if renaming else 0.01}
        print(f"{len(versions['A'])} files a version; a publish takes {statistics.median(durations):.3f} s, "
              f"the last {windows['writing'] / 1.3:.4f} s writing into the folder, the last "
              f"{windows['renaming'] / 1.5:.4f} s renaming there")
        print("a third of the kills fall anywhere in the publish, a third after the first temporary file "
              "appears, a third after the first rename")

        site = os.path.join(work, "site")
        counts = {"completed": 0, "unchanged": 0, "mixed": 0, "all new": 0}
        leftover_runs = 0
        leftover_files = 0
        carried_removed = 0
        carried_total = 0
        failures = 0
        leftovers = set()
        for run in range(args.runs):
            old_name = rng.choice("AB")
            new_name = "B" if old_name == "A" else "A"
            old, new = versions[old_name], versions[new_name]
            carried = {name: open(os.path.join(site, name), "rb").read() for name in leftovers}
            shutil.rmtree(site, ignore_errors=True)
            os.makedirs(site)
            for name, data in list(old.items()) + list(carried.items()):
                with open(os.path.join(site, name), "wb") as f:
                    f.write(data)

            moment = rng.choice(["anywhere", "writing", "renaming"])
            watch = {"anywhere": None, "writing": writing_started, "renaming": renaming_started}[moment]
            seen = watch(site) if watch else None
            process = publish(cli, projects[new_name], site, env, args.slow_renames)
            if seen is None or first_change(process, site, seen) is not None:
                time.sleep(rng.uniform(0, windows[moment]))
            kill(process)
            completed = process.returncode == 0
            if not completed and process.returncode != -signal.SIGKILL:
                print(f"run {run}: exit status {process.returncode}: {process.stderr.read().decode()}")
                failures += 1
            process.stderr.close()

            faults, leftovers = check(site, old, new, set(carried), completed)
            if completed:
                counts["completed"] += 1
            else:
                now = files_in(site)
                renamed = [name for name in new if now.get(name) == new[name] != old.get(name)]
                differing = [name for name in new if new[name] != old.get(name)]
                counts["unchanged" if not renamed else "all new" if renamed == differing else "mixed"] += 1
            own = leftovers - set(carried)
            if own:
                leftover_runs += 1
                leftover_files += len(own)
            carried_total += len(carried)
            carried_removed += len(set(carried) - leftovers)
            if faults:
                failures += 1
                print(f"run {run} ({old_name} -> {new_name}): " + "; ".join(faults))

        # A last publish that runs to its end leaves version A whole and no temporary file.
        process = publish(cli, projects["A"], site, env)
        process.communicate()
        now = files_in(site)
        final_leftovers = [name for name in now if TEMPORARY.match(name)]
        stale = [name for name in versions["A"] if now.get(name) != versions["A"][name]]
        if process.returncode != 0 or final_leftovers or stale:
            failures += 1
            print(f"final publish: exit status {process.returncode}, left {final_leftovers}, not new: {stale}")
        print(f"{args.runs} runs: {counts['completed']} completed before the kill, {counts['unchanged']} killed "
              f"before the folder changed, {counts['mixed']} killed while renaming, {counts['all new']} killed "
              f"after the last rename")
        print(f"temporary files left by {leftover_runs} killed runs ({leftover_files} in all); the next run "
              f"removed {carried_removed} of the {carried_total} it found; after a final publish: "
              f"{len(final_leftovers)}")
        print(f"runs with faults: {failures}")
        return 1 if failures else 0
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
