#!/usr/bin/env python3
"""Fails on a test name that does not say which case it is.

Usage: check_test_names.py CTEST BUILD_DIR   (the names CTest lists for that build)
       check_test_names.py -                 (a `ctest -N` listing on standard input)

A parameterised case named by its index changes name when a row is added before it, and one
named by a dump of its bytes changes on every build; `ctest -R` and `--rerun-failed` then stop
finding it. Each instantiation needs a name generator instead.
"""
import re
import subprocess
import sys

LISTED = re.compile(r"^\s*Test\s+#\d+:\s*(.+?)\s*$")
# (what is wrong, the pattern that finds it)
FAULTS = [
    ("ends in a bare index", re.compile(r"/[0-9]+$")),
    ("holds a byte dump", re.compile(r"-byte object <")),
]


def listed_names(listing):
    return [m.group(1) for m in map(LISTED.match, listing.splitlines()) if m]


def faults_of(name):
    return [what for what, pattern in FAULTS if pattern.search(name)]


def main(argv):
    if argv[1:] == ["-"]:
        listing = sys.stdin.read()
    elif len(argv) == 3:
        run = subprocess.run([argv[1], "--test-dir", argv[2], "-N"], capture_output=True,
                             text=True)
        if run.returncode != 0:
            print(run.stdout + run.stderr)
            return 2
        listing = run.stdout
    else:
        print(__doc__)
        return 2
    names = listed_names(listing)
    if not names:
        print("no tests listed")
        return 2
    bad = 0
    for name in names:
        for what in faults_of(name):
            print(f"{name}: {what}")
            bad += 1
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
