"""Drawings written by other CAD programs (tests/fixtures/real/), each run
through the whole program as a user would: open and scan, save unchanged,
replace every attributed block by itself matched by tag, save again. A
second reader (Debian's ezdxf) checks the results:

- the scan's counts equal ezdxf's counts of model-space references;
- the unchanged save keeps the ENTITIES section byte for byte;
- ezdxf's audit of each saved drawing finds no more errors than in the file;
- after the self-replacement every reference of an attributed block is still
  there with its world position, normal, rotation, scales, layer and
  attribute values.

Prints one line per drawing (writer file, version, result) and ends with
"N passed, N failed".

usage: /usr/bin/python3 real_drawings.py CINDRAL FIXTURE_DIR WORK_DIR
"""
import collections
import logging
import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

import ezdxf
from ezdxf import recover

PROGRAM, FIXTURES, WORK = sys.argv[1], Path(sys.argv[2]), Path(sys.argv[3])
DECIMALS = 6
logging.disable(logging.WARNING)  # ezdxf's recover mode reports what it mends


def read(path):
    """ezdxf's document, through its recover mode for files it finds odd."""
    try:
        return ezdxf.readfile(path)
    except Exception:  # noqa: BLE001 - any refusal sends the file to recover
        doc, _ = recover.readfile(path)
        return doc


def audit_errors(path):
    try:
        return len(read(path).audit().errors)
    except Exception:  # noqa: BLE001
        return None  # ezdxf cannot read it at all


def run(script, drawing, folder, save=None):
    folder.mkdir(parents=True, exist_ok=True)
    (folder / "run.script").write_text(script, encoding="utf-8")
    command = [PROGRAM, "--script", str(folder / "run.script")]
    if save:
        command += ["--save", str(save)]
    env = dict(os.environ, XDG_CONFIG_HOME=str(folder / "config"))
    done = subprocess.run(command + [str(drawing)], capture_output=True, text=True, env=env, timeout=300)
    if done.returncode != 0:
        raise AssertionError(f"cindral exit {done.returncode}: {done.stderr.strip()[-500:]}")
    return done.stdout


def grid_rows(transcript):
    """The block grid's data rows of the last dump: name, count, attributes."""
    dumps = transcript.split("grid Frm_ReplaceBlocks.MSHBlockDefs ")
    if len(dumps) < 2:
        raise AssertionError("no grid dump")
    rows = []
    for line in dumps[-1].splitlines()[1:]:
        if not line.startswith("  "):
            break
        number, _, cells = line[2:].partition("\t")
        fields = cells.split("\t")
        if number == "0" or len(fields) < 3 or not fields[1].isdigit():
            continue  # the header row, or the one-cell grid of an empty drawing
        rows.append((int(number), fields[0], int(fields[1]), int(fields[2] or 0)))
    return rows


def model_space_counts(doc):
    counts = collections.Counter()
    for insert in doc.modelspace().query("INSERT"):
        block = doc.blocks.get(insert.dxf.name)
        if block is None or block.block.is_xref or insert.dxf.name.startswith("*"):
            continue
        counts[insert.dxf.name.upper()] += 1
    return counts


def entities_section(data):
    start = data.find(b"ENTITIES")
    end = data.find(b"ENDSEC", start)
    return data[start:end] if start >= 0 else b""


def placed(doc, names):
    """Every model-space reference of `names` as a comparable record."""
    found = collections.Counter()
    for insert in doc.modelspace().query("INSERT"):
        if insert.dxf.name.upper() not in names:
            continue
        world = insert.ocs().to_wcs(insert.dxf.insert)
        values = tuple(sorted((a.dxf.tag.upper(), a.dxf.text) for a in insert.attribs))
        found[(insert.dxf.name.upper(), tuple(round(c, DECIMALS) for c in world),
               tuple(round(c, DECIMALS) for c in insert.dxf.extrusion),
               round(insert.dxf.rotation % 360.0, DECIMALS),
               tuple(round(s, DECIMALS) for s in (insert.dxf.xscale, insert.dxf.yscale, insert.dxf.zscale)),
               insert.dxf.layer.upper(), values)] += 1
    return found


def listed_blocks(drawing, folder):
    transcript = run("dump Frm_ReplaceBlocks.ListBlocksInDwg\n", drawing, folder / "list")
    listing = transcript.split("list Frm_ReplaceBlocks.ListBlocksInDwg ", 1)[1].splitlines()[1:]
    return [line[2:].partition("\t")[2] for line in listing if line.startswith("  ")]


def self_replacement_script(rows):
    lines = ["click Frm_ReplaceBlocks.OptRepWith(0)"]
    for number, name, _, attributes in rows:
        if attributes == 0:
            continue
        lines += [f"click Frm_ReplaceBlocks.MSHBlockDefs {number} 4",
                  f'choose Frm_ReplaceBlocks.ComboReplaceWith "{name}"',
                  "click Frm_ReplaceBlocks.CmdMatchAtts",
                  "click Frm_MatchAtts.CmdSaveMatchesAndExit"]
    lines += ["click Frm_ReplaceBlocks.CmdReplace", "dump Frm_ReplaceBlocks.MSHBlockDefs"]
    return "\n".join(lines) + "\n"


def check(drawing, folder):
    original = drawing.read_bytes()
    doc = read(drawing)
    # Open and scan.
    rows = grid_rows(run("dump Frm_ReplaceBlocks.MSHBlockDefs\n", drawing, folder / "scan"))
    expected = model_space_counts(doc)
    scanned = {name.upper(): count for _, name, count, _ in rows}
    if scanned != dict(expected):
        raise AssertionError(f"scan {scanned} != ezdxf {dict(expected)}")
    # Unchanged save.
    unchanged = folder / "unchanged.dxf"
    run("", drawing, folder / "unchanged", save=unchanged)
    if entities_section(unchanged.read_bytes()) != entities_section(original):
        raise AssertionError("the unchanged save changed the ENTITIES section")
    before = audit_errors(drawing)
    after = audit_errors(unchanged)
    if before is not None and (after is None or after > before):
        raise AssertionError(f"ezdxf audit: {before} errors in the file, {after} after the unchanged save")
    # Every attributed block replaced by itself, matched by tag.
    attributed = {name.upper() for _, name, _, attributes in rows if attributes > 0}
    if not attributed:
        return "open, scan, save"
    subject, how = drawing, ""
    if len(listed_blocks(drawing, folder)) < 2:
        # The replacement list offers the drawing's blocks only when there is
        # more than one to choose from: a copy with a spare block added by
        # ezdxf stands in for the drawing of a single block.
        subject, how = folder / "with_spare_block.dxf", " (a spare block added by ezdxf)"
        doc.blocks.new("ZZ_SPARE").add_point((0, 0))
        doc.saveas(subject)
        try:
            doc = read(subject)
        except Exception as failure:  # noqa: BLE001 - ezdxf's own copy
            return f"open, scan, save; no second block, and ezdxf cannot read its copy with one ({failure})"

    replaced = folder / "replaced.dxf"
    transcript = run(self_replacement_script(rows), subject, folder / "replace", save=replaced)
    if "message title=" in transcript:
        messages = re.findall(r'message title="([^"]*)".*?text="((?:[^"\\]|\\.)*)"', transcript)
        raise AssertionError(f"the run said: {messages[-1] if messages else transcript[-300:]}")
    after_doc = read(replaced)
    if placed(after_doc, attributed) != placed(doc, attributed):
        lost = placed(doc, attributed) - placed(after_doc, attributed)
        raise AssertionError(f"references changed, e.g. {list(lost)[:2]}")
    errors = audit_errors(replaced)
    before = audit_errors(subject)
    if before is not None and (errors is None or errors > before):
        raise AssertionError(f"ezdxf audit: {before} errors in the file, {errors} after the replacement")
    return f"open, scan, save, {sum(c for _, _, c, a in rows if a)} references replaced by themselves{how}"


def version_of(doc):
    return doc.dxfversion if doc is not None else "?"


def main():
    shutil.rmtree(WORK, ignore_errors=True)
    passed = failed = 0
    for drawing in sorted(FIXTURES.glob("*.dxf")):
        folder = WORK / drawing.stem
        try:
            version = version_of(read(drawing))
        except Exception:  # noqa: BLE001
            version = "unreadable by ezdxf"
            print(f"{drawing.name:45} {version:10} skipped: no second reader to compare with")
            continue
        try:
            result = check(drawing, folder)
            passed += 1
            print(f"{drawing.name:45} {version:10} {result}")
        except Exception as failure:  # noqa: BLE001
            failed += 1
            print(f"{drawing.name:45} {version:10} FAILED: {failure}")
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
