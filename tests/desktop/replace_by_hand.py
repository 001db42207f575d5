"""A CAD user replaces SPRINKLER by ROTOR with a real mouse and keyboard: the
replacement chosen in the grid by keyboard (others by mouse, one of them
cleared again), a scale typed, the FLOW value matched by hand into the rotor's
MODEL with a "/" separator and saved, "Select By Poly" with the polyline
picked in the host window, the question answered, the host's File > Save.
Then Edit > Undo takes the run back in one step, and closing Cindral leaves
the host window open; closing the host asks about unsaved changes.

Usage: replace_by_hand.py CINDRAL SITE_DXF OUTPUT_DIR"""

import os
import shutil
import sys

import ezdxf

from desktop import Desktop

RW = "Frm_ReplaceBlocks"
MA = "Frm_MatchAtts"
GRID = f"{RW}.MSHBlockDefs"
COL_REPLACE_WITH, COL_SCALE = 4, 6


def references(path):
    """(name, x, y, xscale, {tag: value}) of every reference of model space."""
    doc = ezdxf.readfile(path)
    found = []
    for insert in doc.modelspace().query("INSERT"):
        values = {a.dxf.tag: a.dxf.text for a in insert.attribs}
        found.append((insert.dxf.name, round(insert.dxf.insert.x, 6), round(insert.dxf.insert.y, 6),
                      insert.dxf.xscale, values))
    return sorted(found, key=lambda r: (r[1], r[2], r[0]))


def main(program, site, output):
    desk = Desktop(output, "replace_by_hand")
    try:
        drawing = os.path.join(desk.work, "site.dxf")
        shutil.copy(site, drawing)
        before = references(drawing)
        sprinklers = [r for r in before if r[0] == "SPRINKLER"]
        assert sprinklers, "the sample has sprinklers"
        desk.start(program, drawing)

        state = desk.wait(lambda s: s.window_visible(RW) and len(s.control(GRID).entries) > 2, "the work window")
        desk.screenshot("work-window")

        # From Dwg, then the SPRINKLER row's "Replace With" cell.
        desk.click_control(f"{RW}.OptRepWith(0)")
        desk.wait(lambda s: s.control(f"{RW}.OptRepWith(0)").value("value") == "1", "From Dwg")
        grid = desk.state().control(GRID)
        sprinkler_row = grid.row_of(0, "SPRINKLER")
        valve_row = grid.row_of(0, "VALVE")

        # Choices by mouse: on the ROTOR row VALVE, cleared again; on the
        # VALVE row CONTROLLER, which has no attributes to take the valves'.
        rotor_row = grid.row_of(0, "ROTOR")
        desk.click_cell(GRID, rotor_row, COL_REPLACE_WITH)
        desk.wait(lambda s: s.control(f"{RW}.ComboReplaceWith").visible and s.qtfocus == "ComboReplaceWith",
                  "the replacement list over the ROTOR cell")
        desk.choose_in_popup(f"{RW}.ComboReplaceWith", "VALVE")
        desk.wait(lambda s: s.control(GRID).cell(rotor_row, COL_REPLACE_WITH) == "VALVE", "VALVE chosen by mouse")
        desk.screenshot("chosen-by-mouse")
        desk.choose_in_popup(f"{RW}.ComboReplaceWith", "* Clear Replacement")
        desk.wait(lambda s: s.control(GRID).cell(rotor_row, COL_REPLACE_WITH) == "", "the ROTOR choice cleared")
        desk.click_cell(GRID, valve_row, COL_REPLACE_WITH)
        desk.wait(lambda s: s.control(f"{RW}.ComboReplaceWith").visible
                  and s.control(GRID).value("row") == str(valve_row), "the replacement list over the VALVE cell")
        desk.choose_in_popup(f"{RW}.ComboReplaceWith", "CONTROLLER")
        desk.wait(lambda s: s.control(GRID).cell(valve_row, COL_REPLACE_WITH) == "CONTROLLER",
                  "CONTROLLER chosen by mouse")

        # The SPRINKLER row: the list lies over the cell, highlighted row, and
        # the first letter chooses ROTOR.
        desk.click_cell(GRID, sprinkler_row, COL_REPLACE_WITH)
        state = desk.wait(lambda s: s.control(f"{RW}.ComboReplaceWith").visible
                          and s.qtfocus == "ComboReplaceWith"
                          and s.control(GRID).value("row") == str(sprinkler_row), "the list over the SPRINKLER cell")
        combo, grid = state.control(f"{RW}.ComboReplaceWith"), state.control(GRID)
        cell_x, cell_w = grid.cols[COL_REPLACE_WITH]
        cell_y, _ = grid.rows[sprinkler_row]
        assert abs(combo.rect[0] - cell_x) <= 2 and abs(combo.rect[1] - cell_y) <= 2, (combo.rect, cell_x, cell_y)
        assert grid.value("colsel") == "0", "the row is highlighted from its first column to the cell"
        desk.screenshot("replacement-list-over-cell")
        desk.key("r")
        desk.wait(lambda s: s.control(GRID).cell(sprinkler_row, COL_REPLACE_WITH) == "ROTOR", "ROTOR by keyboard")
        desk.key("Return")

        # The scale typed a character at a time; leaving the combo keeps it.
        desk.click_cell(GRID, sprinkler_row, COL_SCALE)
        desk.wait(lambda s: s.control(f"{RW}.ComboScaleRotation").visible and s.qtfocus == "ComboScaleRotation",
                  "the scale combo over the cell")
        for typed, shown in (("2", "2"), ("period", "2."), ("5", "2.5")):
            desk.key(typed)
            desk.wait(lambda s: s.control(GRID).cell(sprinkler_row, COL_SCALE) == shown, f"the scale cell {shown}")
        desk.screenshot("scale-typed")
        desk.key("Tab")
        desk.wait(lambda s: not s.control(f"{RW}.ComboScaleRotation").visible, "the scale combo hidden")
        assert desk.state().control(GRID).cell(sprinkler_row, COL_SCALE) == "2.5"

        # Match Att's: FLOW goes into the rotor's MODEL, joined with "/".
        desk.wait(lambda s: s.control(f"{RW}.CmdMatchAtts").enabled, "Match Att's enabled")
        desk.click_control(f"{RW}.CmdMatchAtts")
        state = desk.wait(lambda s: s.window_visible(MA) and len(s.control(f"{MA}.MSHAtts").entries) > 3,
                          "the Match Attributes window")
        desk.screenshot("match-attributes")
        flow_row = state.control(f"{MA}.MSHAtts").row_of(1, "FLOW")
        desk.click_cell(f"{MA}.MSHAtts", flow_row, 2)
        desk.wait(lambda s: s.control(f"{MA}.ComboAtts").visible and s.qtfocus == "ComboAtts", "the tag list")
        desk.key("m")
        desk.wait(lambda s: s.control(f"{MA}.MSHAtts").cell(flow_row, 2) == "MODEL"
                  and s.control(f"{MA}.ComboAttsSeparator").enabled, "FLOW matched to MODEL")
        desk.choose_in_popup(f"{MA}.ComboAttsSeparator", "/")
        desk.wait(lambda s: s.control(f"{MA}.ComboAttsSeparator").value("text") == "/", "the separator /")
        desk.screenshot("matched-by-hand")
        desk.click_control(f"{MA}.CmdSaveMatchesAndExit")
        desk.wait(lambda s: not s.window_visible(MA), "the Match Attributes window closed")

        # Select By Poly, Replace Blocks, the question, the pick in the host.
        desk.click_control(f"{RW}.OptSelect(1)")
        desk.wait(lambda s: s.control(f"{RW}.OptSelect(1)").value("value") == "1", "Select By Poly")
        desk.click_control(f"{RW}.CmdReplace")
        state = desk.wait(lambda s: s.modal is not None or any(h["picking"] == "1" for h in s.hosts),
                          "a question or the pick")
        # The valves' attributes are not matched: the run asks, No being the
        # default; the Yes button's access key goes on.
        assert state.modal is not None and state.modal["title"] == "Continue with Cindral", state.modal
        assert state.modal["text"].startswith("1 of 2 blocks types selected"), state.modal["text"]
        desk.screenshot("question")
        desk.key("y")
        state = desk.wait(lambda s: any(h["picking"] == "1" for h in s.hosts) and s.modal is None,
                          "the pick in the host window")
        state = desk.settle()
        desk.screenshot("pick-a-polyline")
        host = state.hosts[0]
        vx, vy, vw, vh = host["view"]
        cx, cy = host["center"]
        scale = host["scale"]
        x, y = 44.0, 10.0  # on the first edge of polyline AE, away from every sprinkler
        desk.click(int(vx + vw / 2 + (x - cx) * scale), int(vy + vh / 2 - (y - cy) * scale))
        # The run ends with the grid scanned again: 24 rotors, no sprinkler.
        expected_rotors = str(len([r for r in before if r[0] == "ROTOR"]) + len(sprinklers))
        state = desk.wait(lambda s: s.window_visible(RW) and not any(h["picking"] == "1" for h in s.hosts)
                          and s.control(GRID).cell(s.control(GRID).row_of(0, "ROTOR"), 1) == expected_rotors,
                          "the grid scanned again after the run")
        assert all(cells[0] != "SPRINKLER" for cells in state.control(GRID).entries), "no sprinkler row is left"
        assert state.modal is None, f"the run left a message: {state.modal}"
        desk.screenshot("after-the-run")

        # The host window: File > Save (Ctrl+S), checked by a second reader.
        desk.activate(r"^AutoCAD - \[site\.dxf\]$")
        desk.screenshot("host-after-run")
        saved_before = os.path.getmtime(drawing)
        desk.key("ctrl+s")
        desk.wait(lambda: os.path.getmtime(drawing) != saved_before, "the drawing saved")
        after = references(drawing)
        rotors = [r for r in after if r[0] == "ROTOR"]
        assert not [r for r in after if r[0] == "SPRINKLER"], "every sprinkler lies inside AE"
        old_rotors = [r for r in before if r[0] == "ROTOR"]
        assert len(rotors) == len(old_rotors) + len(sprinklers), (len(rotors), len(sprinklers))
        for name, x, y, xscale, values in sprinklers:
            new = [r for r in rotors if (r[1], r[2]) == (x, y)]
            assert len(new) == 1, f"one rotor at {x},{y}"
            assert new[0][3] == 2.5, f"typed scale 2.5, not {new[0][3]}"
            assert new[0][4]["STATION"] == values["STATION"], new[0][4]
            assert new[0][4]["MODEL"] == values["MODEL"] + "/" + values["FLOW"], new[0][4]
        assert [r for r in after if r[0] == "VALVE"] == [r for r in before if r[0] == "VALVE"]

        # Edit > Undo (Ctrl+Z) takes the whole run back in one step.
        desk.key("ctrl+z")
        saved_before = os.path.getmtime(drawing)
        desk.key("ctrl+s")
        desk.wait(lambda: os.path.getmtime(drawing) != saved_before, "the drawing saved after undo")
        assert references(drawing) == before, "one undo restores the drawing as it was opened"
        desk.key("ctrl+y")  # redo: the run is back, but not saved yet

        # Closing Cindral leaves the host and its drawing open.
        desk.activate("^Cindral$")
        desk.key("alt+F4")
        desk.wait(lambda s: not s.windows or all(w.get("loaded") == "0" for w in s.windows.values()),
                  "Cindral closed")
        state = desk.wait(lambda s: s.hosts and s.hosts[0]["visible"] == "1", "the host window still open")
        assert desk.running(), "the host keeps running"
        desk.screenshot("cindral-closed-host-open")

        # Closing the host asks about the redone run; Cancel keeps it open,
        # then Yes saves it and the process ends.
        desk.activate(r"^AutoCAD - \[site\.dxf\]$")
        desk.key("alt+F4")
        state = desk.wait(lambda s: s.modal is not None, "the unsaved-changes question")
        assert state.modal["text"] == "Save changes to site.dxf?", state.modal
        desk.screenshot("save-changes-question")
        desk.key("Escape")
        desk.wait(lambda s: s.modal is None and s.hosts[0]["visible"] == "1", "Cancel keeps the host open")
        desk.key("alt+F4")
        desk.wait(lambda s: s.modal is not None, "the question again")
        desk.key("Return")  # Yes, the default
        status = desk.exit_status()
        assert status == 0, f"exit status {status}"
        assert len([r for r in references(drawing) if r[0] == "ROTOR"]) == len(rotors), "the redone run was saved"
        print("replace_by_hand: passed")
    finally:
        desk.close()


if __name__ == "__main__":
    main(*sys.argv[1:4])
