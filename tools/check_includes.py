#!/usr/bin/env python3
"""Fails on an include that goes against the direction of the libraries.

Usage: check_includes.py SOURCE_ROOT [QT_WIDGETS_INCLUDE_FOLDER]

Each folder may include its own files and those of the folders below it (LAYERS). The audio
layer's private folders are for the audio layer alone; Qt Widgets is for the window's own
folders alone. Tests, benchmarks and fuzz targets may reach everything they test.
"""
import os
import re
import sys

# Folder -> the folders its files may include, itself included. Order: each after what it uses.
LAYERS = {
    "base": ["base"],
    "dsp": ["base", "dsp"],
    "audio": ["base", "dsp", "audio"],
    "engine": ["base", "dsp", "audio/include", "engine"],
    "export": ["base", "dsp", "audio/include", "engine", "export"],
    "controls": ["base", "dsp", "controls"],
    "cli": ["base", "dsp", "audio/include", "engine", "export", "controls", "cli"],
    "app/widgets": ["base", "app/widgets"],
    "app/logic": ["base", "dsp", "audio/include", "engine", "export", "controls", "app/logic"],
    "app/dialogs": ["base", "dsp", "audio/include", "engine", "export", "controls",
                    "app/widgets", "app/logic", "app/dialogs"],
    "app/window": ["base", "dsp", "audio/include", "engine", "export", "controls",
                   "app/widgets", "app/logic", "app/dialogs", "app/window"],
}
# Folders whose code draws widgets.
WIDGET_FOLDERS = ["app/widgets", "app/dialogs", "app/window"]
UNCHECKED = ["tests", "bench", "fuzz", "build"]

QUOTED = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
ANGLED = re.compile(r'^\s*#\s*include\s+<([^>]+)>', re.M)


def folder_of(path, table):
    """The longest folder of `table` that holds `path`, or None."""
    best = None
    for folder in table:
        if path == folder or path.startswith(folder + "/"):
            if best is None or len(folder) > len(best):
                best = folder
    return best


def widget_header(name, widget_names):
    if name.startswith("QtWidgets/"):
        return True
    return "/" not in name and name in widget_names


def violations(root, widget_names):
    found = []
    for top, dirs, files in os.walk(root):
        rel_top = os.path.relpath(top, root).replace(os.sep, "/")
        if rel_top == ".":
            dirs[:] = [d for d in dirs if d not in UNCHECKED and not d.startswith((".", "build"))]
            continue
        for name in sorted(files):
            if not name.endswith((".h", ".cpp")):
                continue
            path = f"{rel_top}/{name}"
            layer = folder_of(path, LAYERS)
            if layer is None:
                continue
            text = open(os.path.join(top, name), encoding="utf-8").read()
            for included in QUOTED.findall(text):
                target = folder_of(included, [f for folders in LAYERS.values() for f in folders])
                allowed = target is not None and any(
                    target == folder or target.startswith(folder + "/") for folder in LAYERS[layer])
                # The audio layer's own public headers are its include/ folder.
                if target == "audio" and layer != "audio":
                    allowed = False
                if not allowed:
                    found.append(f'{path}: "{included}" goes against the direction of the '
                                 f"libraries ({layer} may include {', '.join(LAYERS[layer])})")
            if layer not in WIDGET_FOLDERS:
                for included in ANGLED.findall(text):
                    if widget_header(included, widget_names):
                        found.append(f"{path}: <{included}> is Qt Widgets, which only "
                                     f"{', '.join(WIDGET_FOLDERS)} may use")
    return found


def main(argv):
    if len(argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    widget_names = set()
    if len(argv) > 2 and os.path.isdir(argv[2]):
        widget_names = set(os.listdir(argv[2]))
    found = violations(argv[1], widget_names)
    for line in found:
        print(line)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
