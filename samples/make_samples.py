"""Makes the sample drawings: samples/site.dxf, a small irrigation site plan, and
samples/blocks/, replacement blocks as drawing files named *.dwg (DXF content).

Run with Debian's python3 (it has python3-ezdxf): /usr/bin/python3 samples/make_samples.py
"""
import math
from pathlib import Path

import ezdxf

HERE = Path(__file__).resolve().parent
TEXT_HEIGHT = 0.6


def fixed_ids(doc):
    # Stable identifiers so that regenerating gives the same drawing.
    doc.header["$FINGERPRINTGUID"] = "{5C5A1E2B-7D3F-4E27-9E0B-1C2D3E4F5A6B}"
    doc.header["$VERSIONGUID"] = "{0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D}"


def add_attdefs(block, tags, y0=-1.2):
    for i, (tag, default, prompt) in enumerate(tags):
        block.add_attdef(tag, (1.2, y0 - i * 0.8), text=default,
                         dxfattribs={"height": TEXT_HEIGHT * 0.7, "prompt": prompt})


def define_site_blocks(doc):
    spray = doc.blocks.new("SPRINKLER")
    spray.add_circle((0, 0), 0.5)
    spray.add_line((-0.5, 0), (0.5, 0))
    add_attdefs(spray, [("STATION", "1-A", "Station"), ("MODEL", "SPRAY-10", "Model"), ("FLOW", "1.5", "Flow (gpm)")])

    rotor = doc.blocks.new("ROTOR")
    rotor.add_circle((0, 0), 0.6)
    rotor.add_arc((0, 0), 0.9, 0, 180)
    add_attdefs(rotor, [("STATION", "1-A", "Station"), ("MODEL", "ROTOR-5000", "Model"),
                        ("FLOW", "3.0", "Flow (gpm)"), ("RADIUS", "12", "Throw radius")])

    valve = doc.blocks.new("VALVE")
    valve.add_lwpolyline([(-0.6, -0.4), (0.6, 0.4), (0.6, -0.4), (-0.6, 0.4)], close=True)
    add_attdefs(valve, [("STATION", "1", "Station"), ("MODEL", "VALVE-1IN", "Model"), ("SIZE", "1\"", "Size")])

    controller = doc.blocks.new("CONTROLLER")
    controller.add_lwpolyline([(0, 0), (2, 0), (2, 1.2), (0, 1.2)], close=True)
    controller.add_text("C", dxfattribs={"height": 0.8}).set_placement((0.7, 0.2))


def make_site():
    doc = ezdxf.new("R2000", setup=True)
    fixed_ids(doc)
    doc.header["$INSUNITS"] = 2  # feet
    for name, color in (("IRR_HEADS", 5), ("IRR_ROTORS", 4), ("IRR_VALVES", 1), ("IRR_STATION", 3),
                        ("SITE", 8), ("TITLE", 7)):
        doc.layers.add(name, color=color)
    define_site_blocks(doc)
    msp = doc.modelspace()

    # Site boundary and a lawn area as closed polylines.
    msp.add_lwpolyline([(0, 0), (120, 0), (120, 80), (0, 80)], close=True, dxfattribs={"layer": "SITE"})
    lawn = [(10, 10), (70, 10), (70, 50), (40, 65), (10, 50)]
    msp.add_lwpolyline(lawn, close=True, dxfattribs={"layer": "SITE"})
    msp.add_line((80, 0), (80, 80), dxfattribs={"layer": "SITE"})

    # Spray heads in a grid over the lawn, two stations; texts near some of them.
    n = 0
    for row in range(4):
        for col in range(5):
            x, y = 14 + col * 12, 14 + row * 11
            station = "12-A" if col < 3 else "12-B"
            ref = msp.add_blockref("SPRINKLER", (x, y), dxfattribs={"layer": "IRR_HEADS", "rotation": 0})
            ref.add_auto_attribs({"STATION": station, "MODEL": "SPRAY-10", "FLOW": "1.5"})
            if (row + col) % 3 == 0:
                msp.add_text(station, dxfattribs={"layer": "IRR_STATION", "height": TEXT_HEIGHT}) \
                    .set_placement((x + 0.8, y + 0.8))
            n += 1

    # Rotors along the strip east of the lawn.
    for i in range(4):
        ref = msp.add_blockref("ROTOR", (95, 10 + i * 18), dxfattribs={"layer": "IRR_ROTORS", "rotation": 90})
        ref.add_auto_attribs({"STATION": "14-A", "MODEL": "ROTOR-5000", "FLOW": "3.0", "RADIUS": "15"})
        msp.add_text("14-A", dxfattribs={"layer": "IRR_STATION", "height": TEXT_HEIGHT}) \
            .set_placement((96, 11 + i * 18))

    # Valves near the controller, and the controller itself.
    for i, station in enumerate(("12", "13", "14")):
        ref = msp.add_blockref("VALVE", (100 + i * 4, 72), dxfattribs={"layer": "IRR_VALVES"})
        ref.add_auto_attribs({"STATION": station, "MODEL": "VALVE-1IN", "SIZE": "1\""})
    msp.add_blockref("CONTROLLER", (110, 74), dxfattribs={"layer": "IRR_VALVES"})
    msp.add_mtext("IRRIGATION PLAN\\PSite: Riverside Park", dxfattribs={"layer": "TITLE", "char_height": 1.5}) \
        .set_location((2, 78))

    # Paper space: a legend with one reference of each head type and a title.
    psp = doc.layout("Layout1")
    psp.add_text("LEGEND", dxfattribs={"layer": "TITLE", "height": 2.5}).set_placement((10, 180))
    for i, (block, attribs) in enumerate((
            ("SPRINKLER", {"STATION": "-", "MODEL": "SPRAY-10", "FLOW": "1.5"}),
            ("ROTOR", {"STATION": "-", "MODEL": "ROTOR-5000", "FLOW": "3.0", "RADIUS": "15"}),
            ("VALVE", {"STATION": "-", "MODEL": "VALVE-1IN", "SIZE": "1\""}))):
        psp.add_blockref(block, (12, 170 - i * 8), dxfattribs={"layer": "TITLE"}).add_auto_attribs(attribs)
    doc.saveas(HERE / "site.dxf")


def make_block_file(name, draw, attdefs, binary=False, base=(0, 0)):
    doc = ezdxf.new("R2000")
    fixed_ids(doc)
    doc.header["$INSBASE"] = (base[0], base[1], 0)
    msp = doc.modelspace()
    draw(msp)
    for i, (tag, default, prompt) in enumerate(attdefs):
        msp.add_attdef(tag, (base[0] + 1.2, base[1] - 1.2 - i * 0.8), text=default,
                       dxfattribs={"height": TEXT_HEIGHT * 0.7, "prompt": prompt})
    doc.saveas(HERE / "blocks" / f"{name}.dwg", fmt="bin" if binary else "asc")


def make_blocks():
    def spray(msp):
        msp.add_circle((0, 0), 0.5)
        msp.add_circle((0, 0), 0.2)

    def rotor(msp):
        msp.add_circle((0, 0), 0.6)
        for k in range(6):
            a = k * math.pi / 3
            msp.add_line((0, 0), (0.6 * math.cos(a), 0.6 * math.sin(a)))

    def valve(msp):
        msp.add_lwpolyline([(-0.7, -0.5), (0.7, 0.5), (0.7, -0.5), (-0.7, 0.5)], close=True)

    def bubbler(msp):
        msp.add_lwpolyline([(-0.4, -0.4), (0.4, -0.4), (0.4, 0.4), (-0.4, 0.4)], close=True)

    def coupler(msp):
        msp.add_circle((0, 0), 0.4)
        msp.add_line((-0.4, -0.4), (0.4, 0.4))

    head = [("STATION", "1-A", "Station"), ("MODEL", "SPRAY-12", "Model"), ("FLOW", "2.0", "Flow (gpm)")]
    make_block_file("SPRAY-12", spray, head)
    make_block_file("ROTOR-PRO", rotor, [("STATION", "1-A", "Station"), ("MODEL", "ROTOR-PRO", "Model"),
                                         ("FLOW", "4.0", "Flow (gpm)"), ("RADIUS", "18", "Throw radius")],
                    binary=True)
    make_block_file("VALVE-2IN", valve, [("STATION", "1", "Station"), ("MODEL", "VALVE-2IN", "Model"),
                                         ("SIZE", "2\"", "Size")])
    # Tags that match none of the site's.
    make_block_file("Bubbler", bubbler, [("NOZZLE", "B-1", "Nozzle"), ("GPM", "0.5", "Flow")])
    make_block_file("quick-coupler", coupler, [])


if __name__ == "__main__":
    (HERE / "blocks").mkdir(exist_ok=True)
    make_site()
    make_blocks()
