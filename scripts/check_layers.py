#!/usr/bin/env python3
"""Include layers of the program's sources.

Every folder belongs to one layer; a file may include files of its own layer
and of the layers below it, never of a layer above. The order below is the
one place that says which is which. Tests, fuzz targets and benchmarks reach
across layers and are not checked.

    scripts/check_layers.py [source folder]           check; exit 1 on an upward include
    scripts/check_layers.py --edges [source folder]   also print the include edges per folder
"""
import os
import re
import sys

# Top to bottom. A file belongs to the longest folder prefix that names it.
LAYERS = [
    ("shell", ["app"]),
    ("windows and services", ["pluginhost/winamp_window", "pluginhost/services",
                              "pluginhost/video", "pluginhost/info_window",
                              "playlist/window", "playlist/minibar",
                              "equalizer/window", "prefs", "services"]),
    ("host and playlist", ["pluginhost", "playlist"]),
    ("built-in plug-ins and DSP", ["mpeg_input", "waveout", "equalizer"]),
    ("UI toolkit", ["ui"]),
    ("plug-in protocol", ["pluginhost/protocol"]),
    ("title formatting", ["title_format"]),
    ("base", ["base", "resources"]),
]

# Upward includes still to be removed, each as "file -> included file". They
# are printed but tolerated; one that no longer exists fails the check, so
# this list only shrinks. Nothing may be added to it.
KNOWN_UPWARD = set()

SOURCES = (".h", ".cpp", ".inc")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def layer_of(path):
    best = None
    for rank, (_, prefixes) in enumerate(LAYERS):
        for prefix in prefixes:
            if path == prefix or path.startswith(prefix + "/"):
                if best is None or len(prefix) > len(best[1]):
                    best = (rank, prefix)
    return best


def main(argv):
    show_edges = "--edges" in argv
    args = [a for a in argv if a != "--edges"]
    root = os.path.abspath(args[0] if args else os.path.join(os.path.dirname(__file__), ".."))
    edges = {}
    upward = []
    known_seen = set()
    tops = sorted({p.split("/")[0] for _, prefixes in LAYERS for p in prefixes})
    for top in tops:
        for folder, _, files in os.walk(os.path.join(root, top)):
            for name in sorted(files):
                if not name.endswith(SOURCES):
                    continue
                path = os.path.relpath(os.path.join(folder, name), root).replace(os.sep, "/")
                own = layer_of(path)
                with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
                    for number, line in enumerate(f, 1):
                        m = INCLUDE.match(line)
                        if not m:
                            continue
                        target = os.path.normpath(os.path.join(os.path.dirname(path), m.group(1)))
                        if not os.path.exists(os.path.join(root, target)):
                            target = m.group(1)  # from the source root, as the build includes
                        theirs = layer_of(target)
                        if own is None or theirs is None:
                            continue
                        edge = (own[1], theirs[1])
                        if edge[0] != edge[1]:
                            edges[edge] = edges.get(edge, 0) + 1
                        if theirs[0] < own[0]:
                            if f"{path} -> {target}" in KNOWN_UPWARD:
                                known_seen.add(f"{path} -> {target}")
                                continue
                            upward.append(f"{path}:{number}: includes {m.group(1)} "
                                          f"({LAYERS[theirs[0]][0]}, above {LAYERS[own[0]][0]})")
    if show_edges:
        for (a, b), n in sorted(edges.items()):
            direction = "UP" if layer_of(b)[0] < layer_of(a)[0] else "  "
            print(f"{direction} {a} -> {b} ({n})")
    for k in sorted(known_seen):
        print(f"known, to be removed: {k}")
    gone = sorted(KNOWN_UPWARD - known_seen)
    for k in gone:
        print(f"{k}: no longer there; take it off KNOWN_UPWARD in scripts/check_layers.py")
    for u in sorted(set(upward)):
        print(u)
    if upward:
        print(f"{len(set(upward))} include(s) from a layer above the file's own; the order is in scripts/check_layers.py")
    return 1 if upward or gone else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
