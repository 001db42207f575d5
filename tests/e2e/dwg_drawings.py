"""DWG drawings (tests/fixtures/dwg/) through the whole program, checked with a
second reader (Debian's ezdxf):

- each DWG that has the CAD program's own DXF beside it is opened, saved (as
  DXF beside the DWG, which stays as it was) and compared with that DXF:
  entity counts per type, INSERT, ATTRIB and ATTDEF counts, every attribute
  value by reference, every attribute definition's tag, prompt, default and
  flags. Whatever differs must be what the host's notice says was lost;
- a second open of the same file comes from the cache (it works with no node
  on the PATH), and a changed file is converted again;
- a replace run whose replacement is a DWG file of the blocks directory
  carries the values by tag and gives the new references the DWG's
  attribute definitions;
- failures: a DWG older than R2000, one LibreDWG's DXF writer fails on, a
  truncated DWG, a text file named .dwg, no node on the PATH, a reader that
  does not finish in time, and a save over a DWG. Each names the file, leaves
  nothing in the cache and changes no file.

usage: /usr/bin/python3 dwg_drawings.py CINDRAL FIXTURE_DIR WORK_DIR
"""
import collections
import hashlib
import logging
import os
import re
import shutil
import subprocess
import sys
import time
from pathlib import Path

import ezdxf

PROGRAM, FIXTURES, WORK = sys.argv[1], Path(sys.argv[2]), Path(sys.argv[3])
READER = Path(__file__).resolve().parents[2] / "cadhost" / "dwg" / "reader"
logging.disable(logging.WARNING)
FAILURES = []


def check(condition, what):
    if not condition:
        FAILURES.append(what)
        print("FAIL", what)


def digest(path):
    return hashlib.sha256(Path(path).read_bytes()).hexdigest()


def run(folder, script, drawings, env=None, save=None):
    """cindral --script in `folder` with its own settings; (status, stdout, stderr)."""
    (folder / "run.script").write_text(script, encoding="utf-8")
    command = [PROGRAM, "--script", str(folder / "run.script")]
    if save:
        command += ["--save", str(save)]
    environment = dict(os.environ, XDG_CONFIG_HOME=str(WORK / "config"))
    environment.update(env or {})
    done = subprocess.run(command + [str(d) for d in drawings], capture_output=True, text=True,
                          env=environment, timeout=600, cwd=folder)
    return done.returncode, done.stdout, done.stderr


def cache_entries():
    cache = WORK / "config" / "cindral" / "dwg-cache"
    return sorted(p.name for p in cache.iterdir()) if cache.exists() else []


def path_without_node():
    kept = [d for d in os.environ.get("PATH", "").split(":") if d and not (Path(d) / "node").exists()]
    return ":".join(kept) or "/nonexistent"


def all_entities(doc):
    """Every entity of the drawing (layouts and blocks), ATTRIBs included."""
    for block in doc.blocks:
        for entity in block:
            yield entity
            if entity.dxftype() == "INSERT":
                yield from entity.attribs


def facts(doc):
    types = collections.Counter(e.dxftype() for e in all_entities(doc))
    values = {}
    definitions = {}
    for entity in all_entities(doc):
        if entity.dxftype() == "INSERT" and entity.attribs:
            values[entity.dxf.handle] = sorted((a.dxf.tag, a.dxf.text) for a in entity.attribs)
        elif entity.dxftype() == "ATTDEF":
            definitions[entity.dxf.handle] = (entity.dxf.tag, entity.dxf.get("prompt", ""),
                                              entity.dxf.text, entity.dxf.flags & 15)
    return types, values, definitions


def lost_in_notice(transcript):
    """The notice's items: {"TCH_WALL": 9, ...} and the undecoded object count."""
    notice = re.search(r'^host notice "(.*)"$', transcript, re.M)
    if not notice:
        return None, 0
    items = notice.group(1).split("could not carry: ", 1)[1].rstrip(".").split(", ")
    named, undecoded = {}, 0
    for item in items:
        count, _, what = item.partition(" ")
        if "it could not decode" in what:
            undecoded = int(count)
        elif count.isdigit():
            named[what] = int(count)
    return named, undecoded


def compare_pairs():
    for cad_dxf in sorted(FIXTURES.glob("*.dxf")):
        dwg = cad_dxf.with_suffix(".dwg")
        if not dwg.exists() or cad_dxf.stem == "autocad_example_R2004":
            continue
        folder = WORK / "pairs" / cad_dxf.stem
        folder.mkdir(parents=True)
        copy = folder / dwg.name
        shutil.copyfile(dwg, copy)
        before = digest(copy)
        status, out, err = run(folder, "save\n", [copy])
        name = cad_dxf.stem
        check(status == 0, f"{name}: cindral exit {status}: {err.strip()[-300:]}")
        if status != 0:
            continue
        saved = copy.with_suffix(".dxf")
        check(digest(copy) == before, f"{name}: the DWG was changed")
        check(saved.exists(), f"{name}: not saved as {saved.name}")
        if not saved.exists():
            continue
        ours = ezdxf.readfile(saved)
        check(not ours.audit().errors, f"{name}: ezdxf's audit finds errors in the saved DXF")
        theirs = ezdxf.readfile(cad_dxf)
        our_types, our_values, our_definitions = facts(ours)
        their_types, their_values, their_definitions = facts(theirs)
        check(our_values == their_values, f"{name}: attribute values differ: {our_values} != {their_values}")
        check(our_definitions == their_definitions,
              f"{name}: attribute definitions differ: {our_definitions} != {their_definitions}")
        for kind in ("INSERT", "ATTRIB", "ATTDEF"):
            check(our_types[kind] == their_types[kind],
                  f"{name}: {kind} {our_types[kind]} != {their_types[kind]}")
        missing = their_types - our_types
        extra = our_types - their_types
        check(not extra, f"{name}: entities the CAD program's DXF does not have: {dict(extra)}")
        named, undecoded = lost_in_notice(out)
        if not missing:
            # Objects that are not entities (dictionaries, ...) may be reported.
            check(not named, f"{name}: entities reported lost that are all there: {named}")
        else:
            # The add-on objects that the CAD program writes as proxies are
            # named by their own class in the notice; undecoded objects only
            # by their number.
            check(named is not None, f"{name}: {dict(missing)} lost without a notice")
            lost = sum(missing.values())
            check(lost <= sum((named or {}).values()) + undecoded,
                  f"{name}: {dict(missing)} lost, the notice says {named} and {undecoded} undecoded")
        print(f"{name}: {sum(our_types.values())} entities, {our_types['ATTRIB']} ATTRIB, "
              f"{our_types['ATTDEF']} ATTDEF; lost {dict(missing) or 'nothing'}")


def cache_and_reconversion():
    folder = WORK / "cache"
    folder.mkdir()
    copy = folder / "map.dwg"
    shutil.copyfile(FIXTURES / "autocad_map_attribs_R2010.dwg", copy)
    dump = "dump Frm_ReplaceBlocks.MSHBlockDefs\n"
    status, first, err = run(folder, dump, [copy])
    check(status == 0, f"cache: first open failed: {err}")
    entries = cache_entries()
    status, second, err = run(folder, dump, [copy], env={"PATH": path_without_node()})
    check(status == 0 and second == first, f"cache: a second open without node did not come from the cache: {err}")
    check(cache_entries() == entries, "cache: the second open made another entry")
    later = time.time() + 5
    os.utime(copy, (later, later))
    status, _, err = run(folder, dump, [copy], env={"PATH": path_without_node()})
    check(status != 0 and "Node.js" in err, f"cache: a changed file was not converted again: {status} {err}")


def replace_from_dwg_block():
    folder = WORK / "replace"
    blocks = folder / "Blocks"
    blocks.mkdir(parents=True)
    shutil.copyfile(FIXTURES / "blocks" / "autocad_entities_attdef_R2000.dwg", blocks / "Marker.dwg")
    shutil.copyfile(FIXTURES / "blocks" / "qcad_a3_frame_R2007.dwg", blocks / "Frame.DWG")
    # A DXF block library file, and one named like a DWG of the folder.
    ezdxf.new("R2010").saveas(blocks / "Valve.dxf")
    ezdxf.new("R2010").saveas(blocks / "marker.DXF")
    doc = ezdxf.new("R2010")
    old = doc.blocks.new("OLD")
    old.add_circle((0, 0), 1)
    old.add_attdef("ATTR1", (0, -2), dxfattribs={"prompt": "Value"})
    values = ["A-1", "B-2", "C-3"]
    for n, value in enumerate(values):
        doc.modelspace().add_blockref("OLD", (10 * n, 0)).add_attrib("ATTR1", value, (10 * n, -2))
    site = folder / "site.dxf"
    doc.saveas(site)
    script = "\n".join([
        "click Frm_ReplaceBlocks.CmdSelectBlocksDir",
        f'choose Frm_DriveDir.Dir1 "{blocks}"',
        "dump Frm_DriveDir.File1",
        "click Frm_DriveDir.CmdSaveAndExit",
        "dump Frm_ReplaceBlocks.ListBlocksInDir",
        "click Frm_ReplaceBlocks.OptRepWith(1)",
        "click Frm_ReplaceBlocks.MSHBlockDefs 1 4",
        'choose Frm_ReplaceBlocks.ComboReplaceWith "Marker"',
        "click Frm_ReplaceBlocks.CmdMatchAtts",
        "click Frm_MatchAtts.CmdSaveMatchesAndExit",
        "click Frm_ReplaceBlocks.CmdReplace",
        "dump Frm_ReplaceBlocks.MSHBlockDefs",
        "save out.dxf",
    ]) + "\n"
    status, out, err = run(folder, script, [site])
    check(status == 0, f"replace: cindral exit {status}: {err}")
    listed = out.split("list Frm_ReplaceBlocks.ListBlocksInDir ", 1)[-1].split("\n")[1:4]
    check(sorted(line.partition("\t")[2] for line in listed) == ["Frame", "Marker", "Valve"],
          f"replace: the blocks directory lists {listed}")
    if status != 0:
        return
    result = ezdxf.readfile(folder / "out.dxf")
    made = [e for e in result.modelspace() if e.dxftype() == "INSERT" and e.dxf.name == "Marker"]
    check(sorted(a.dxf.text for r in made for a in r.attribs if a.dxf.tag == "ATTR1") == values,
          f"replace: values not carried by tag: {[[(a.dxf.tag, a.dxf.text) for a in r.attribs] for r in made]}")
    check(not any(e.dxf.name == "OLD" for e in result.modelspace() if e.dxftype() == "INSERT"),
          "replace: old references left")
    definitions = [(e.dxf.tag, e.dxf.prompt, e.dxf.text) for e in result.blocks["Marker"] if e.dxftype() == "ATTDEF"]
    check(definitions == [("ATTR1", "PROMPT", "3")], f"replace: the block's attribute definitions: {definitions}")
    check(not result.audit().errors, "replace: ezdxf's audit finds errors")


def failures():
    folder = WORK / "failures"
    folder.mkdir()
    truncated = folder / "truncated.dwg"
    truncated.write_bytes((FIXTURES / "autocad_map_attribs_R2010.dwg").read_bytes()[:3000])
    (folder / "notes.dwg").write_text("These are my notes about the site.\n", encoding="utf-8")
    shutil.copyfile(FIXTURES / "autocad_R14.dwg", folder / "old.dwg")
    shutil.copyfile(FIXTURES / "autocad_example_R2004.dwg", folder / "crashes.dwg")
    shutil.copyfile(FIXTURES / "autocad_entities_R2000.dwg", folder / "fine.dwg")
    slow = folder / "slow-reader"
    slow.mkdir()
    (slow / "dwg_reader.mjs").write_text("setTimeout(() => {}, 600000);\n", encoding="utf-8")
    (slow / "node_modules").symlink_to(READER / "node_modules")
    cases = [
        ("old.dwg", {}, "release R14 (AC1014)"),
        ("crashes.dwg", {}, "LibreDWG's DXF writer failed on this drawing"),
        ("truncated.dwg", {}, "LibreDWG cannot read this drawing"),
        ("notes.dwg", {}, "neither a DWG drawing nor a DXF drawing"),
        ("fine.dwg", {"PATH": path_without_node()}, "needs Node.js"),
        ("fine.dwg", {"CINDRAL_DWG_READER": str(slow / "dwg_reader.mjs"), "CINDRAL_DWG_TIME_LIMIT": "2"},
         "did not finish within 2 s"),
    ]
    shutil.rmtree(WORK / "config", ignore_errors=True)
    for file, env, reason in cases:
        (folder / "run.script").write_text("save\n", encoding="utf-8")
        before = {p.name: digest(p) for p in folder.iterdir() if p.is_file()}
        status, out, err = run(folder, "save\n", [folder / file], env=env)
        check(status != 0 and reason in err and file in err, f"{file} {env}: exit {status}, {err.strip()}")
        after = {p.name: digest(p) for p in folder.iterdir() if p.is_file()}
        check(after == before, f"{file}: files changed: {set(after) ^ set(before)}")
        check(cache_entries() == [], f"{file}: left in the cache: {cache_entries()}")
        print(f"{file}: {err.strip()}")
    # Saving over a DWG is refused; the DWG stays.
    before = digest(folder / "fine.dwg")
    status, out, err = run(folder, f'save "{folder / "fine.dwg"}"\n', [folder / "fine.dwg"])
    check(status == 2 and "it is a DWG drawing" in err, f"save over a DWG: exit {status}, {err}")
    check(digest(folder / "fine.dwg") == before, "save over a DWG: the DWG changed")


def main():
    shutil.rmtree(WORK, ignore_errors=True)
    WORK.mkdir(parents=True)
    compare_pairs()
    cache_and_reconversion()
    replace_from_dwg_block()
    failures()
    print(f"{len(FAILURES)} failed")
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
