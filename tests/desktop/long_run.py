"""A large drawing: the grid of many block names scrolls under its fixed
header row with the wheel, hiding the open list, and a list opened on a
scrolled row lies over that row; a long replace run keeps its progress
windows on the screen above the host's window until it is done: the run of
20,000 sprinklers is watched in the window system's own stacking order while
it goes.

Usage: long_run.py CINDRAL SITE_DXF OUTPUT_DIR"""

import os
import sys
import time

import ezdxf

from desktop import Desktop

RW = "Frm_ReplaceBlocks"
GRID = f"{RW}.MSHBlockDefs"
EXTRA_SPRINKLERS = 20000
PLANTS = 40


def large_site(site, path):
    """The sample site with a field of sprinklers added, values and all."""
    doc = ezdxf.readfile(site)
    model = doc.modelspace()
    for i in range(EXTRA_SPRINKLERS):
        insert = model.add_blockref("SPRINKLER", (200 + (i % 200) * 3, (i // 200) * 3))
        insert.add_auto_attribs({"STATION": f"S-{i}", "MODEL": "SPRAY-10", "FLOW": "1.5"})
    for i in range(PLANTS):
        block = doc.blocks.new(f"PLANT-{i:02d}")
        block.add_circle((0, 0), 1)
        model.add_blockref(block.name, (-50, i * 3))
    doc.saveas(path)


def shown_rows(grid):
    """The scrolled rows inside the grid's box on the screen."""
    top, bottom = grid.rect[1], grid.rect[1] + grid.rect[3]
    fixed = max(y + h for row, (y, h) in grid.rows.items() if row == 0)
    return [row for row, (y, h) in grid.rows.items() if row > 0 and y >= fixed and y + h <= bottom]


def scroll_to(desk, row):
    """Turns the wheel over the grid until `row` is in view."""
    for _ in range(60):
        grid = desk.state().control(GRID)
        if row in shown_rows(grid):
            return
        x, y = grid.centre()
        desk._run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", "5" if row > max(shown_rows(grid)) else "4"])
        desk.settle(0.15)
    raise AssertionError(f"row {row} never came into view")


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
        state = desk.wait(lambda s: s.control(f"{RW}.OptRepWith(0)").value("value") == "1", "From Dwg")
        row = state.control(GRID).row_of(0, "SPRINKLER")
        assert row not in shown_rows(state.control(GRID)), "the sprinklers' row starts out of view"

        # The wheel scrolls the rows under the header and hides the open list.
        desk.click_cell(GRID, 1, 4)
        desk.wait(lambda s: s.control(f"{RW}.ComboReplaceWith").visible, "the list over the first row")
        grid = desk.state().control(GRID)
        desk._run(["xdotool", "mousemove", "--sync", str(grid.centre()[0]), str(grid.centre()[1]),
                   "click", "--repeat", "3", "5"])
        state = desk.wait(lambda s: not s.control(f"{RW}.ComboReplaceWith").visible
                          and min(shown_rows(s.control(GRID))) > 1, "the grid scrolled")
        desk.screenshot("scrolled")
        scroll_to(desk, row)
        desk.click_cell(GRID, row, 4)
        state = desk.wait(lambda s: s.control(f"{RW}.ComboReplaceWith").visible
                          and s.control(GRID).value("row") == str(row), "the list over the scrolled row")
        combo, grid = state.control(f"{RW}.ComboReplaceWith"), state.control(GRID)
        assert abs(combo.rect[1] - grid.rows[row][0]) <= 2, (combo.rect, grid.rows[row])
        desk.screenshot("list-over-scrolled-row")
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
