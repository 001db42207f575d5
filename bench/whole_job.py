"""The whole job a user does on a large site plan, timed: open the drawing,
scan it, give every row a replacement from the drawing with its attributes
matched by tag, replace, rescan, save. Once by `cindral --script`, once as the same job
scripted with ezdxf (read, add each new reference with its attribute values,
delete the old one, save), on the same file in the same run. Prints both
wall times, their ratio and the peak memory of each.

usage: /usr/bin/python3 bench/whole_job.py CINDRAL [REFERENCES ...]
       (default: 20000 and 100000 references)
"""
import os
import random
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import ezdxf

BLOCKS = 20
LAYERS = 5
TAGS = ("STATION", "MODEL", "FLOW")


def make_drawing(path, references):
    """20 block types with 3 attributes each, on 5 layers, written by ezdxf as R2010."""
    doc = ezdxf.new("R2010")
    for layer in range(LAYERS):
        doc.layers.add(f"LAYER-{layer}")
    for b in range(BLOCKS):
        block = doc.blocks.new(f"BLOCK-{b:02d}")
        block.add_circle((0, 0), 1 + b * 0.05)
        for i, tag in enumerate(TAGS):
            block.add_attdef(tag, (1.5, -0.5 * i), dxfattribs={"height": 0.3})
    msp = doc.modelspace()
    rng = random.Random(1)
    for i in range(references):
        name = f"BLOCK-{i % BLOCKS:02d}"
        ref = msp.add_blockref(name, (rng.uniform(0, 5000), rng.uniform(0, 5000)),
                               dxfattribs={"layer": f"LAYER-{i % LAYERS}", "rotation": rng.uniform(0, 360)})
        ref.add_auto_attribs({"STATION": f"S{i}", "MODEL": f"M{i % 7}", "FLOW": f"{i % 13 * 0.5}"})
    doc.saveas(path)


def placed(path):
    doc = ezdxf.readfile(path)
    return sorted((i.dxf.name, round(i.dxf.insert.x, 6), round(i.dxf.insert.y, 6),
                   tuple(sorted((a.dxf.tag, a.dxf.text) for a in i.attribs)))
                  for i in doc.modelspace().query("INSERT"))


def replacement_of(b):
    return f"BLOCK-{(b + 1) % BLOCKS:02d}"


def cindral_script(path):
    # Rows are sorted by block name: row r holds BLOCK-(r-1).
    lines = ["click Frm_ReplaceBlocks.OptRepWith(0)"]
    for b in range(BLOCKS):
        # Matched by tag in Match Att's and saved, so every value is carried.
        lines += [f"click Frm_ReplaceBlocks.MSHBlockDefs {b + 1} 4",
                  f'choose Frm_ReplaceBlocks.ComboReplaceWith "{replacement_of(b)}"',
                  "click Frm_ReplaceBlocks.CmdMatchAtts", "click Frm_MatchAtts.CmdSaveMatchesAndExit"]
    lines += ["click Frm_ReplaceBlocks.CmdReplace"]
    path.write_text("\n".join(lines) + "\n", encoding="utf-8")


EZDXF_JOB = """
import sys, ezdxf
source, target = sys.argv[1], sys.argv[2]
doc = ezdxf.readfile(source)
msp = doc.modelspace()
for old in list(msp.query("INSERT")):
    index = int(old.dxf.name.split("-")[1])
    values = {a.dxf.tag: a.dxf.text for a in old.attribs}
    new = msp.add_blockref("BLOCK-%02d" % ((index + 1) % 20), old.dxf.insert,
                           dxfattribs={"layer": old.dxf.layer, "rotation": old.dxf.rotation})
    new.add_auto_attribs(values)
    msp.delete_entity(old)
doc.saveas(target)
"""


# Runs one command and prints its peak resident memory (kB): a wrapper of its
# own per measurement, since a process's children's peak is the largest of all.
PEAK_OF = (
    "import resource, subprocess, sys\n"
    "subprocess.run(sys.argv[1:], check=True, stdout=subprocess.DEVNULL)\n"
    "print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)\n"
)


def timed(command, env=None):
    """Wall seconds and peak resident memory (MB) of one command."""
    start = time.perf_counter()
    done = subprocess.run(["/usr/bin/python3", "-c", PEAK_OF, *command], check=True, env=env,
                          capture_output=True, text=True)
    seconds = time.perf_counter() - start
    return seconds, int(done.stdout.strip().splitlines()[-1]) / 1024.0


def main():
    program = sys.argv[1]
    sizes = [int(n) for n in sys.argv[2:]] or [20000, 100000]
    work = Path(tempfile.mkdtemp(prefix="cindral-whole-job-"))
    job = work / "ezdxf_job.py"
    job.write_text(EZDXF_JOB, encoding="utf-8")
    script = work / "job.script"
    cindral_script(script)
    env = dict(os.environ, XDG_CONFIG_HOME=str(work / "config"))
    print(f"{'references':>10} {'MB':>6} {'cindral s':>10} {'peak MB':>8} {'ezdxf s':>9} {'peak MB':>8} {'ratio':>7}")
    for references in sizes:
        drawing = work / f"site_{references}.dxf"
        make_drawing(drawing, references)
        ours, our_peak = timed([program, "--script", str(script), "--save", str(work / "ours.dxf"), str(drawing)], env)
        theirs, their_peak = timed(["/usr/bin/python3", str(job), str(drawing), str(work / "theirs.dxf")])
        size = drawing.stat().st_size / 1e6
        # Both did the same job: the same references by name, with the same values.
        if placed(work / "ours.dxf") != placed(work / "theirs.dxf"):
            sys.exit(f"{references}: the two saved drawings differ")
        print(f"{references:>10} {size:>6.1f} {ours:>10.2f} {our_peak:>8.0f} {theirs:>9.2f} {their_peak:>8.0f} "
              f"{theirs / ours:>6.1f}x")


if __name__ == "__main__":
    main()
