"""Prints what "Clear Flags" and "ReScan Drawing" runs left in a saved drawing:
model-space entities per type and layer, how many of them carry "Flags"
extended data, and whether the flag layer and the marker block are defined."""
import collections
import sys

import ezdxf

doc = ezdxf.readfile(sys.argv[1])
counts = collections.Counter()
flagged = 0
for entity in doc.modelspace():
    name = entity.dxf.name if entity.dxftype() == "INSERT" else ""
    counts[(entity.dxftype(), name, entity.dxf.layer)] += 1
    if entity.has_xdata("Flags"):
        flagged += 1
for (kind, name, layer), count in sorted(counts.items()):
    print(f"{kind}\t{name}\t{layer}\t{count}")
print("flagged", flagged)
print("layer ___FLAGS___", "___FLAGS___" in doc.layers)
print("block zLemon", "zLemon" in doc.blocks)
