#!/usr/bin/env python3
"""Checks that each library of the core uses only the libraries below it, and never Qt.

For every library the symbols it leaves undefined are looked up among the symbols that the other core
libraries define (and that Qt's libraries export): a symbol found in a library it may not use is a call
against the direction of the layers, whatever the link order of a program would hide. The libraries each
core library names in its link line are checked against the same rule.
"""

import argparse
import subprocess
import sys

# Symbols a library really defines; weak ones (inline functions, template instances) may appear in many.
STRONG = set("TDBRGS")


def symbols(arguments):
    output = subprocess.run(["nm", "--format=posix"] + arguments, check=True, capture_output=True, text=True)
    for line in output.stdout.splitlines():
        fields = line.split()
        if len(fields) >= 2 and not line.endswith(":"):
            yield fields[0], fields[1]


def defined(path, dynamic=False):
    flags = ["--defined-only"] + (["--dynamic"] if dynamic else [])
    return {name for name, kind in symbols(flags + [path]) if kind in STRONG}


def undefined(path):
    return {name for name, kind in symbols(["--undefined-only", path]) if kind == "U"}


def pairs(values):
    result = {}
    for value in values:
        name, _, rest = value.partition("=")
        result[name] = rest
    return result


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--lib", action="append", default=[], help="NAME=ARCHIVE of a core library")
    parser.add_argument("--may-use", action="append", default=[], help="NAME=OTHER,OTHER: the libraries below it")
    parser.add_argument("--links", action="append", default=[], help="NAME=A|B: what its link line names")
    parser.add_argument("--qt", action="append", default=[], help="a Qt shared library")
    args = parser.parse_args()

    archives = pairs(args.lib)
    below = {name: set(filter(None, uses.split(","))) for name, uses in pairs(args.may_use).items()}
    definitions = {name: defined(path) for name, path in archives.items()}
    qt = set().union(*(defined(path, dynamic=True) for path in args.qt)) if args.qt else set()

    faults = []
    for name, path in archives.items():
        allowed = below.get(name, set()) | {name}
        needs = undefined(path)
        for other, provided in definitions.items():
            reached = needs & provided
            if other not in allowed and reached:
                faults.append(f"{name} uses {other}: {sorted(reached)[0]} and {len(reached) - 1} more")
        if needs & qt:
            faults.append(f"{name} uses Qt: {sorted(needs & qt)[0]}")
    for name, links in pairs(args.links).items():
        for linked in filter(None, links.split("|")):
            if "Qt" in linked:
                faults.append(f"{name} links {linked}")
            elif linked.startswith("veskaro_") and linked[len("veskaro_"):] in archives:
                if linked[len("veskaro_"):] not in below.get(name, set()):
                    faults.append(f"{name} links {linked}, which does not lie below it")

    for fault in faults:
        print(fault)
    print(f"{len(archives)} core libraries checked, {len(faults)} fault(s)")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
