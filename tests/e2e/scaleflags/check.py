"""Prints, per block name, layer, scale and rotation of the model-space references
of a saved drawing, with their counts: what a run with scale, rotation and layer
choices must leave."""
import collections
import sys

import ezdxf

doc = ezdxf.readfile(sys.argv[1])
counts = collections.Counter()
for insert in doc.modelspace().query("INSERT"):
    counts[(insert.dxf.name, insert.dxf.layer, round(insert.dxf.xscale, 6),
            round(insert.dxf.yscale, 6), round(insert.dxf.rotation, 4))] += 1
for (name, layer, xscale, yscale, rotation), count in sorted(counts.items()):
    print(f"{name}\t{layer}\t{xscale:g}\t{yscale:g}\t{rotation:g}\t{count}")
print("layers:", " ".join(sorted(layer.dxf.name for layer in doc.layers)))
