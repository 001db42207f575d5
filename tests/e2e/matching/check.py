"""Prints the attribute values the block references of a saved drawing carry:
for each block name in model space, each set of tag=value pairs with the
number of references that carry it."""
import sys
from collections import Counter

import ezdxf

doc = ezdxf.readfile(sys.argv[1])
values = Counter()
for insert in doc.modelspace().query("INSERT"):
    pairs = " ".join(f"{a.dxf.tag}={a.dxf.text}" for a in insert.attribs)
    values[(insert.dxf.name, pairs)] += 1
for (name, pairs), count in sorted(values.items()):
    print(f"{name} {count}: {pairs}")
