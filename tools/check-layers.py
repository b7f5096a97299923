#!/usr/bin/env python3
"""Fails when a source file includes a header of a layer it may not use.

Each folder is one library; a folder may include only itself and the
folders listed for it below, so every dependency runs downwards."""
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
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^/"]+)/[^"]+"', re.M)

top = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
bad = []
for layer, allowed in ALLOWED.items():
    for source in sorted((top / layer).glob("*.[hc]*")):
        for used in INCLUDE.findall(source.read_text(encoding="utf-8")):
            if used not in allowed:
                bad.append(f"{source.relative_to(top)}: includes {used}/, which {layer}/ may not use")
for line in bad:
    print(line)
print(f"layers: {len(bad)} include(s) against the direction")
sys.exit(1 if bad else 0)
