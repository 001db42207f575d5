# Writes polylines.dxf, the drawing of the selection tests (run with Debian's
# python3 and python3-ezdxf): one polyline of each kind, a line, and
# references of block "VALVE" inside and outside the lightweight polyline's
# rectangle, one more of them in paper space.
import ezdxf

doc = ezdxf.new("R2000")
msp = doc.modelspace()
block = doc.blocks.new("VALVE")
block.add_line((-0.5, 0), (0.5, 0))

msp.add_lwpolyline([(0, 0), (10, 0), (10, 5), (0, 5)], close=True)
msp.add_polyline3d([(0, 0, 7), (10, 0, 7), (10, 5, 7.5)], close=True)
msp.add_polyline2d([(1, 1), (4, 1), (4, 3)], close=True)
msp.add_line((20, 20), (30, 30))
msp.add_blockref("VALVE", (5, 2.5))
msp.add_blockref("VALVE", (50, 50))
doc.layout("Layout1").add_blockref("VALVE", (5, 2.5))
doc.saveas("polylines.dxf")
