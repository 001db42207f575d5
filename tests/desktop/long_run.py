"""A long replace run on a large drawing keeps its progress windows on the
screen above the host's window until it is done, and the user can see it
move: the run of 20,000 sprinklers is watched in the window system's own
stacking order while it goes.

Usage: long_run.py CINDRAL SITE_DXF OUTPUT_DIR"""

import os
import sys
import time

import ezdxf

from desktop import Desktop

RW = "Frm_ReplaceBlocks"
GRID = f"{RW}.MSHBlockDefs"
EXTRA_SPRINKLERS = 20000


def large_site(site, path):
    """The sample site with a field of sprinklers added, values and all."""
    doc = ezdxf.readfile(site)
    model = doc.modelspace()
    for i in range(EXTRA_SPRINKLERS):
        insert = model.add_blockref("SPRINKLER", (200 + (i % 200) * 3, (i // 200) * 3))
        insert.add_auto_attribs({"STATION": f"S-{i}", "MODEL": "SPRAY-10", "FLOW": "1.5"})
    doc.saveas(path)


def stacking(desk):
    """The window system's windows from the bottom of the stack to the top."""
    out = desk._run(["xprop", "-root", "_NET_CLIENT_LIST_STACKING"], check=False)
    if "#" not in out:
        return []
    return [int(part.strip(), 16) for part in out.split("#", 1)[1].split(",") if part.strip()]


def main(program, site, output):
    desk = Desktop(output, "long_run")
    try:
        drawing = os.path.join(desk.work, "large.dxf")
        large_site(site, drawing)
        desk.start(program, drawing)
        state = desk.wait(lambda s: s.window_visible(RW) and len(s.control(GRID).entries) > 2, "the work window",
                          seconds=60)
        desk.settle()
        desk.click_control(f"{RW}.OptRepWith(0)")
        row = desk.wait(lambda s: s.control(f"{RW}.OptRepWith(0)").value("value") == "1",
                        "From Dwg").control(GRID).row_of(0, "SPRINKLER")
        desk.click_cell(GRID, row, 4)
        desk.wait(lambda s: s.qtfocus == "ComboReplaceWith", "the replacement list")
        desk.key("r")
        desk.wait(lambda s: s.control(GRID).cell(row, 4) == "ROTOR", "ROTOR chosen")
        desk.click_control(f"{RW}.CmdReplace")
        desk.wait(lambda s: s.modal is not None, "the question")
        desk.key("y")

        # While the run goes: the progress window shows, above the host window.
        seen_above, seen_below, shot = 0, 0, False
        deadline = time.monotonic() + 120
        while time.monotonic() < deadline:
            state = desk.state()
            progress = state.windows.get("FrmProgress", {})
            if progress.get("visible") == "1" and progress.get("xid", "0") != "0" and state.hosts:
                windows = stacking(desk)
                mine, host = int(progress["xid"]), int(state.hosts[0]["xid"])
                if mine in windows and host in windows:
                    if windows.index(mine) > windows.index(host):
                        seen_above += 1
                        if not shot:
                            desk.screenshot("progress-above-host")
                            shot = True
                    else:
                        seen_below += 1
            if any(c[0] == "ROTOR" and c[1] == str(EXTRA_SPRINKLERS + 24) for c in state.control(GRID).entries[1:]):
                break
            time.sleep(0.02)
        else:
            raise AssertionError("the run did not finish")
        assert seen_above > 0, "the progress window was never seen above the host window"
        assert seen_below == 0, f"the progress window was below the host window {seen_below} times"
        desk.screenshot("after-the-run")
        print(f"long_run: passed ({seen_above} looks at the progress window)")
    finally:
        desk.close()


if __name__ == "__main__":
    main(*sys.argv[1:4])
