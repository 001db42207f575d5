"""Interop checks of the built-in host's DXF files against ezdxf, an independent
DXF library: drawings ezdxf writes load and save here unchanged, byte for byte;
after edits, ezdxf reads the result, its audit finds no error, and entities,
handles, attribute values and extended data are what they should be.

usage: /usr/bin/python3 interop.py ROUNDTRIP_TOOL WORK_DIR [SAMPLE.dxf ...]
"""
import subprocess
import sys
from collections import Counter
from pathlib import Path

import ezdxf
import ezdxf.lldxf.tagger

TOOL, WORK = sys.argv[1], Path(sys.argv[2])
SAMPLES = [Path(p) for p in sys.argv[3:]]
WORK.mkdir(parents=True, exist_ok=True)
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def make_drawing(version):
    doc = ezdxf.new(version, setup=True)
    doc.layers.add("Heads", color=3)
    doc.appids.add("Flags")
    block = doc.blocks.new("VALVE", base_point=(1, 1))
    block.add_circle((0, 0), 1)
    block.add_attdef("STATION", (0, -2), text="S1", dxfattribs={"height": 0.5, "prompt": "Station"})
    block.add_attdef("FLOW", (0, -3), text="0", dxfattribs={"height": 0.5})
    msp = doc.modelspace()
    for i in range(5):
        ref = msp.add_blockref("VALVE", (10 * i, 5), dxfattribs={"layer": "Heads", "rotation": 15 * i})
        ref.add_auto_attribs({"STATION": f"{i}-A", "FLOW": str(1.5 * i)})
    line = msp.add_line((0, 0), (10, 10))
    line.set_xdata("Flags", [(1000, "replaced"), (1070, 3), (1010, (1, 2, 0))])
    msp.add_text("Straße Ω", dxfattribs={"height": 2}).set_placement((5, 5))
    if version != "R12":
        msp.add_lwpolyline([(0, 0), (20, 0), (20, 20), (0, 20)], close=True)
    msp.add_polyline2d([(0, 0), (5, 5), (10, 0)])
    msp.add_point((7, 7))
    msp.add_arc((0, 0), 3, 0, 90)
    if version != "R12":
        msp.add_mtext("Multi\\Pline text").set_location((30, 30))
        msp.add_ellipse((0, 0), (4, 0), 0.5)
        msp.add_spline([(0, 0), (1, 2), (3, 1), (4, 4)])
        hatch = msp.add_hatch(color=2)
        hatch.paths.add_polyline_path([(0, 0), (4, 0), (4, 4)], is_closed=True)
    # An anonymous block made by a dimension.
    dim = msp.add_linear_dim(base=(0, -5), p1=(0, 0), p2=(10, 0))
    dim.render()
    psp = doc.layout("Layout1")
    psp.add_text("Sheet title", dxfattribs={"height": 3})
    psp.add_blockref("VALVE", (2, 2)).add_auto_attribs({"STATION": "P-1", "FLOW": "9"})
    return doc


def census(doc):
    entities = [e for layout in doc.layouts for e in layout]
    entities += [e for b in doc.blocks if not b.is_any_layout for e in b]
    counts = Counter(e.dxftype() for e in entities)
    handles = {e.dxf.handle for e in entities if e.dxf.hasattr("handle")}
    attribs = sorted(a.dxf.text for layout in doc.layouts for e in layout.query("INSERT") for a in e.attribs)
    xdata = {e.dxf.handle: e.get_xdata("Flags") for e in doc.modelspace() if e.has_xdata("Flags")}
    return counts, handles, attribs, xdata


def file_handles(path):
    # Handles as the file holds them (ezdxf gives handles of its own to what it adds on loading).
    tags = list(ezdxf.lldxf.tagger.ascii_tags_loader(open(path, encoding="utf8", errors="replace")))
    return [int(tag.value, 16) for before, tag in zip(tags, tags[1:])
            if tag.code in (5, 105) and before.value != "$HANDSEED"]


def audit_errors(doc):
    auditor = doc.audit()
    return [str(e.message) for e in auditor.errors]


def roundtrip(source: Path, label: str):
    copy = WORK / f"{label}-copy.dxf"
    edited = WORK / f"{label}-edit.dxf"
    for mode, target in (("copy", copy), ("edit", edited)):
        result = subprocess.run([TOOL, mode, str(source), str(target)], capture_output=True, text=True)
        check(result.returncode == 0, f"{label}: {mode} failed: {result.stderr.strip()}")
        if result.returncode != 0:
            return
    check(copy.read_bytes() == source.read_bytes(), f"{label}: unchanged save is not byte for byte the file")

    original = ezdxf.readfile(source)
    counts, handles, attribs, xdata = census(original)
    after = ezdxf.readfile(edited)
    errors = audit_errors(after)
    check(not errors, f"{label}: audit errors after an edit: {errors[:3]}")
    counts2, handles2, attribs2, xdata2 = census(after)
    expected = counts.copy()
    expected["TEXT"] += 1
    new_reference = any(any(e.dxftype() == "ATTDEF" for e in b) for b in original.blocks
                        if not b.is_any_layout and not b.block.is_anonymous)
    if new_reference:
        expected["INSERT"] += 1
    # ezdxf lists ATTRIBs and SEQENDs with their reference, not in layouts.
    check(+counts2 == +expected, f"{label}: entity counts {dict(counts2)} != {dict(expected)}")
    check(handles <= handles2, f"{label}: handles lost: {sorted(handles - handles2)[:5]}")
    edited_values = sorted([a + "-X" for a in attribs] + (["NEW"] if new_reference else []))
    check(attribs2 == edited_values, f"{label}: attribute values {attribs2[:6]} != {edited_values[:6]}")
    for handle, data in xdata.items():
        check(xdata2.get(handle) == data, f"{label}: extended data of {handle} changed")
    check(any(e.dxftype() == "TEXT" and e.dxf.text == "12-A" and e.has_xdata("Flags")
              for e in after.modelspace()), f"{label}: new text with extended data missing")
    check("IRR_STATION" in after.layers, f"{label}: new layer missing")
    check(int(after.header["$HANDSEED"], 16) > max(int(h, 16) for h in handles2),
          f"{label}: $HANDSEED not above every handle")


for version in ("R12", "R2000", "R2010", "R2018"):
    doc = make_drawing(version)
    ascii_file = WORK / f"ezdxf-{version}.dxf"
    doc.saveas(ascii_file)
    roundtrip(ascii_file, version)
    binary_file = WORK / f"ezdxf-{version}-binary.dxf"
    doc.saveas(binary_file, fmt="bin")
    roundtrip(binary_file, version + "-binary")

# A new drawing of the host, saved.
new_file = WORK / "host-new.dxf"
result = subprocess.run([TOOL, "new", "-", str(new_file)], capture_output=True, text=True)
check(result.returncode == 0, f"new drawing: save failed: {result.stderr.strip()}")
if result.returncode == 0:
    doc = ezdxf.readfile(new_file)
    check(not audit_errors(doc), f"new drawing: audit errors {audit_errors(doc)[:3]}")
    check(sorted(e.dxftype() for e in doc.modelspace()) == ["LINE", "TEXT"], "new drawing: entities")

for sample in SAMPLES:
    roundtrip(sample, sample.stem)
    # Every drawing file of the blocks directory inserted as a block.
    blocks = sorted((sample.parent / "blocks").glob("*.dwg"))
    target = WORK / f"{sample.stem}-inserted.dxf"
    result = subprocess.run([TOOL, "insert", str(sample), str(target)] + [str(b) for b in blocks],
                            capture_output=True, text=True)
    check(result.returncode == 0, f"{sample.stem}: inserting drawing files failed: {result.stderr.strip()}")
    if result.returncode == 0:
        doc = ezdxf.readfile(target)
        errors = audit_errors(doc)
        check(not errors, f"{sample.stem}: audit errors after inserting blocks: {errors[:3]}")
        for block in blocks:
            check(block.stem in doc.blocks, f"{sample.stem}: block {block.stem} missing")
            refs = doc.modelspace().query(f'INSERT[name=="{block.stem}"]')
            check(len(refs) == 1, f"{sample.stem}: no reference of {block.stem}")
            source_tags = sorted(a.dxf.tag for a in ezdxf.readfile(block).modelspace().query("ATTDEF"))
            check(sorted(a.dxf.tag for r in refs for a in r.attribs) == source_tags,
                  f"{sample.stem}: attributes of {block.stem} differ from the file's definitions")

    # The same through the host object model.
    target = WORK / f"{sample.stem}-host.dxf"
    # Written as the program writes them: block names in capitals.
    upper = [b.with_name(b.stem.upper() + b.suffix) for b in blocks]
    result = subprocess.run([TOOL, "host", str(sample), str(target)] + [str(b) for b in upper],
                            capture_output=True, text=True)
    check(result.returncode == 0, f"{sample.stem}: host edit failed: {result.stderr.strip()}")
    if result.returncode == 0:
        before = ezdxf.readfile(sample)
        doc = ezdxf.readfile(target)
        errors = audit_errors(doc)
        check(not errors, f"{sample.stem}: audit errors after host edits: {errors[:3]}")
        old = sorted(a.dxf.text + "-H" for e in before.modelspace().query("INSERT") for a in e.attribs)
        new = sorted(a.dxf.text for e in doc.modelspace().query("INSERT")
                     if e.dxf.name not in {b.stem.upper() for b in blocks} for a in e.attribs)
        check(old == new, f"{sample.stem}: attribute values after host edits {new[:4]} != {old[:4]}")
        paper_before = sorted(a.dxf.text for e in before.layout("Layout1").query("INSERT") for a in e.attribs)
        paper_after = sorted(a.dxf.text for e in doc.layout("Layout1").query("INSERT") for a in e.attribs)
        check(paper_before == paper_after, f"{sample.stem}: paper space attributes changed")
        for block in blocks:
            check(block.stem.upper() in doc.blocks, f"{sample.stem}: block {block.stem.upper()} not inserted")
        check("Flags" in doc.appids, f"{sample.stem}: application Flags not registered")
        check("SITE_GRID" in doc.ucs, f"{sample.stem}: UCS SITE_GRID missing")
        check(any(e.dxftype() == "TEXT" and e.has_xdata("Flags") for e in doc.modelspace()),
              f"{sample.stem}: host text with extended data missing")
        check(int(doc.header["$HANDSEED"], 16) > max(file_handles(target)),
              f"{sample.stem}: $HANDSEED not above every handle")

print(f"interop: {len(failures)} failed")
sys.exit(1 if failures else 0)
