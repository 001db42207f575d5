"""Prints what a replace run with the station text check left in a saved
drawing: each model-space block reference with its place, layer and first
attribute value; the reach polygons left over (there must be none); the layers."""
import sys

import ezdxf

doc = ezdxf.readfile(sys.argv[1])
msp = doc.modelspace()
for insert in sorted(msp.query("INSERT"),
                     key=lambda e: (e.dxf.name, round(e.dxf.insert.x, 3), round(e.dxf.insert.y, 3))):
    attribs = list(insert.attribs)
    first = attribs[0].dxf.text if attribs else "-"
    print(f"{insert.dxf.name}\t{insert.dxf.insert.x:g},{insert.dxf.insert.y:g}\t{insert.dxf.layer}"
          f"\t{insert.dxf.xscale:g}\t{insert.dxf.get('color', 256)}\t{first}")
print("polylines on ___FLAGS___:", len(msp.query('LWPOLYLINE[layer=="___FLAGS___"]')))
print("layers:", " ".join(sorted(layer.dxf.name for layer in doc.layers)))
print("current layer", doc.header.get("$CLAYER", "0"))
