#!/usr/bin/env python3
"""Fails when a source file includes a header of a layer it may not use, or
when files of one folder use each other in a circle.

Each folder is one library; a folder may include only itself and the
folders listed for it below, so every dependency runs downwards. Inside a
folder, a file (its .h and .cpp together) may use another only if that one
does not use it back, directly or through others."""
import pathlib
import re
import sys

ALLOWED = {
    "core": {"core"},
    "settings": {"settings", "core"},
    "widgets": {"widgets", "core"},
    "panels": {"panels", "widgets", "settings", "core"},
    "app": {"app", "panels", "widgets", "settings", "core"},
}
# Both spellings: "core/number.h" and <core/number.h>; among <...> includes
# only those of a layer count (<QtCore/QString> is no folder of ours).
INCLUDE = re.compile(r'^\s*#\s*include\s+(?:"([^/"]+)/[^"]+"|<([^/>]+)/[^>]+>)', re.M)

top = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
bad = []
for layer, allowed in ALLOWED.items():
    for source in sorted((top / layer).glob("*.[hc]*")):
        for quoted, angled in INCLUDE.findall(source.read_text(encoding="utf-8")):
            used = quoted or angled
            if used not in allowed and (quoted or used in ALLOWED):
                bad.append(f"{source.relative_to(top)}: includes {used}/, which {layer}/ may not use")
# Inside each folder: name -> the names of the same folder it includes.
OWN = re.compile(r'^\s*#\s*include\s+["<]([^/">]+)/([^/">.]+)\.h[">]', re.M)
for layer in ALLOWED:
    uses = {}
    for source in sorted((top / layer).glob("*.[hc]*")):
        text = source.read_text(encoding="utf-8")
        uses.setdefault(source.stem, set()).update(
            name for folder, name in OWN.findall(text) if folder == layer and name != source.stem)
    # Depth-first search for a way back to where it started.
    def circle(start, at, path):
        for used in sorted(uses.get(at, ())):
            if used == start:
                return path + [used]
            if used not in path:
                found = circle(start, used, path + [used])
                if found:
                    return found
        return None
    for name in sorted(uses):
        found = circle(name, name, [name])
        if found and found[0] == min(found):
            bad.append(f"{layer}/: files use each other in a circle: {' -> '.join(found)}")

for line in bad:
    print(line)
print(f"layers: {len(bad)} include(s) against the direction or in a circle")
sys.exit(1 if bad else 0)
