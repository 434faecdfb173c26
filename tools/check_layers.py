#!/usr/bin/env python3
"""Checks the includes of src/ against the layers of the library.

Each module may include its own headers and those of the modules below it. An include
of a module above is refused unless it is one of the few edges listed in UPWARD, each
with the call of the system that needs it. The internal headers of a module
(`*_testing.h`, `*_internal.h`, `*_state.h`) are for that module and the tests only.

    python3 tools/check_layers.py [ROOT]      exit status 1 on a refused include
"""
import pathlib
import re
import sys

# From the ground up. A module may include the modules of lower rank.
LAYERS = [
    ("util",),             # strings, character classes, numbers, tables
    ("fileio",),           # files/open.* and files/paths.*: opening files, path texts
    ("messages",),         # message classes, levels, log and copy files
    ("date", "ipc"),       # dates and time labels; the companion's message queue
    ("resources",),        # the resource store, start-up, conversion, prompts
    ("files",),            # naming conventions, file entry, stepping
    ("calc",),             # derived quantities, units
    ("geo",),              # domains, projections, regions, shorelines
    ("var", "station"),    # variable lists; station database and store
    ("surface",),          # reports: readers, decoders, printers
    ("driver",),           # the program
]

# Includes upwards that the system's own calls need: (file, module) -> why. Start-up
# converts every resource value by its type, and two types belong to modules above
# the store, which in turn read their settings from it.
UPWARD = {
    ("src/lib/resources/convert.cpp", "files"):
        'an "hour" value becomes the file time (FILE_set_time)',
    ("src/lib/resources/convert.cpp", "geo"):
        'a "region" or "domain" value becomes the domain (DOM_decode)',
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/([A-Za-z0-9_.]+)"', re.M)
PRIVATE = re.compile(r"_(testing|internal|state)\.h$")


def module_of(path, src):
    rel = path.relative_to(src).parts
    if rel[0] == "driver":
        return "driver"
    if rel[0] == "lib" and len(rel) > 2:
        # files/open.* is the plain file-opening layer below messages.
        if rel[1] == "files" and rel[2].startswith(("open.", "paths.")):
            return "fileio"
        return rel[1]
    return None


def target_of(module, header):
    if module == "files" and header.startswith(("open.", "paths.")):
        return "fileio"
    return module


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".")
    src = root / "src"
    rank = {m: i for i, layer in enumerate(LAYERS) for m in layer}
    refused = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        here = module_of(path, src)
        if here is None:
            continue
        for m in INCLUDE.finditer(path.read_text(errors="replace")):
            folder, header = m.group(1), m.group(2)
            there = target_of(folder, header)
            if there not in rank:
                refused.append(f"{path}: includes {folder}/{header}, a module of no layer")
                continue
            if PRIVATE.search(header) and folder != path.parent.name:
                refused.append(f"{path}: includes {folder}/{header}, another module's internals")
            upward = (path.relative_to(root).as_posix(), there) in UPWARD
            if there == here or rank[there] < rank[here] or upward:
                continue
            if rank[there] == rank[here]:
                refused.append(f"{path}: includes {folder}/{header} ({there}, the same layer as {here})")
            else:
                refused.append(f"{path}: includes {folder}/{header} ({there}, above {here})")
    for line in refused:
        print(line)
    if refused:
        print(f"{len(refused)} include(s) against the layers (see tools/check_layers.py)")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
