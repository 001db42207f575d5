"""Prints what a replace run left in a saved drawing: block references per
name in model space, how many carry the run stamp, and the current layer."""
import sys
from collections import Counter

import ezdxf

doc = ezdxf.readfile(sys.argv[1])
inserts = list(doc.modelspace().query("INSERT"))
for name, count in sorted(Counter(e.dxf.name for e in inserts).items()):
    print(f"{name} {count}")
print("stamped", sum(1 for e in inserts if e.has_xdata("_BRTempSSet")))
print("current layer", doc.header.get("$CLAYER", "0"))
