#!/usr/bin/env python3
"""Fails when a C++ source differs from the layout .clang-format describes.

Usage: check_format.py SOURCE_ROOT CLANG_FORMAT

Every .cpp, .h and .h.in under SOURCE_ROOT is checked, except build folders and hidden ones.
The files that differ are named, with the command that rewrites them.
"""
import os
import subprocess
import sys

SUFFIXES = (".cpp", ".cc", ".c", ".h", ".h.in")


def sources(root):
    for folder, subfolders, files in os.walk(root):
        subfolders[:] = sorted(d for d in subfolders
                               if not d.startswith(".") and not d.startswith("build"))
        for name in sorted(files):
            if name.endswith(SUFFIXES):
                yield os.path.join(folder, name)


def differs(clang_format, path):
    # clang-format takes the language and the .clang-format to use from this name: a .h.in is
    # checked as the header it becomes, in its own folder.
    name = path[:-len(".in")] if path.endswith(".in") else path
    result = subprocess.run([clang_format, "--dry-run", "-Werror", "--assume-filename=" + name],
                            stdin=open(path, "rb"), capture_output=True)
    return result.returncode != 0


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    root, clang_format = argv[1], argv[2]
    if not os.path.isfile(os.path.join(root, ".clang-format")):
        sys.stderr.write("no .clang-format in %s\n" % root)
        return 2
    bad = [os.path.relpath(p, root) for p in sources(root) if differs(clang_format, p)]
    for path in bad:
        print("not formatted: %s" % path)
    if bad:
        print("rewrite with: %s -i %s" % (clang_format, " ".join(bad)))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
