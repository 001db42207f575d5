"""A CAD user sets the blocks directory with a real mouse and keyboard and
replaces from it: the drive list, a folder opened by double click and one by
Enter, the warning for a folder without drawings (Escape and Enter answer No,
the window stays), "Set Blocks Directory and Exit"; then "From Dir'", a
replacement from the folder, Replace Blocks with its question, the sort list
and the notes viewer. Closing Cindral with --save given saves the drawing,
checked by a second reader, while the host window stays open.

Usage: blocks_directory.py CINDRAL SITE_DXF OUTPUT_DIR"""

import collections
import glob
import os
import shutil
import sys

import ezdxf

from desktop import Desktop

RW = "Frm_ReplaceBlocks"
DD = "Frm_DriveDir"


def in_folder(state, folder):
    """Whether the folder list is in `folder` (no subfolder selected)."""
    folders = state.control(f"{DD}.Dir1")
    return folders.value("text") == folder and folders.value("index") == "-1"
GRID = f"{RW}.MSHBlockDefs"
COL_REPLACE_WITH = 4


def main(program, site, output):
    desk = Desktop(output, "blocks_directory")
    try:
        drawing = os.path.join(desk.work, "site.dxf")
        shutil.copy(site, drawing)
        library = os.path.join(desk.work, "Blocks Library")
        os.makedirs(library)
        for block in glob.glob(os.path.join(os.path.dirname(site), "blocks", "*.dwg")):
            shutil.copy(block, library)
        os.makedirs(os.path.join(desk.work, "Empty"))
        saved = os.path.join(desk.work, "saved.dxf")
        desk.start(program, "--save", saved, drawing)
        desk.wait(lambda s: s.window_visible(RW) and len(s.control(GRID).entries) > 2, "the work window")
        desk.settle()

        # The chooser starts in the home folder.
        desk.click_control(f"{RW}.CmdSelectBlocksDir")
        desk.wait(lambda s: s.window_visible(DD) and in_folder(s, desk.work),
                  "the blocks-directory chooser in the home folder")
        desk.screenshot("chooser")

        # The drive list goes to the root and back to the home folder.
        desk.choose_in_popup(f"{DD}.Drive1", "/")
        desk.wait(lambda s: in_folder(s, "/"), "the root drive")
        desk.screenshot("root-drive")
        desk.choose_in_popup(f"{DD}.Drive1", desk.work)
        desk.wait(lambda s: in_folder(s, desk.work), "the home drive")

        # A folder without drawings: the warning's default and Escape are No.
        desk.click(*desk.state().control(f"{DD}.Dir1").item_centre("Empty"), double=True)
        desk.wait(lambda s: in_folder(s, os.path.join(desk.work, "Empty")), "the Empty folder")
        for answer in ("Return", "Escape"):
            desk.click_control(f"{DD}.CmdSaveAndExit")
            state = desk.wait(lambda s: s.modal is not None, "the empty-folder warning")
            assert state.modal["title"].startswith("Continue with ") and "Empty" in state.modal["title"], state.modal
            desk.screenshot(f"empty-folder-warning-{answer.lower()}")
            desk.key(answer)
            desk.wait(lambda s: s.modal is None and s.window_visible(DD), f"{answer} keeps the chooser open")

        # Up by double click on "..", into the library by Enter.
        desk.click(*desk.state().control(f"{DD}.Dir1").item_centre(".."), double=True)
        desk.wait(lambda s: in_folder(s, desk.work), "back in the home folder")
        desk.click(*desk.state().control(f"{DD}.Dir1").item_centre("Blocks Library"))
        desk.key("Return")
        state = desk.wait(lambda s: in_folder(s, library) and len(s.control(f"{DD}.File1").entries) == 5, "the library's five drawings")
        desk.screenshot("library-chosen")
        desk.click_control(f"{DD}.CmdSaveAndExit")
        desk.wait(lambda s: not s.window_visible(DD), "the chooser closed")

        # From Dir': the folder's blocks; SPRINKLER becomes ROTOR-PRO by keyboard.
        desk.click_control(f"{RW}.OptRepWith(1)")
        state = desk.wait(lambda s: s.control(f"{RW}.LblCurrentBlocksDir").value("caption") == library
                          and "ROTOR-PRO" in s.control(f"{RW}.ComboReplaceWith").entries, "From Dir'")
        row = state.control(GRID).row_of(0, "SPRINKLER")
        desk.click_cell(GRID, row, COL_REPLACE_WITH)
        desk.wait(lambda s: s.qtfocus == "ComboReplaceWith", "the replacement list")
        desk.key("r")
        desk.wait(lambda s: s.control(GRID).cell(row, COL_REPLACE_WITH) == "ROTOR-PRO", "ROTOR-PRO chosen")
        desk.screenshot("from-directory")

        # Replace Blocks (Select All): attribute values not matched, Yes by its key.
        desk.click_control(f"{RW}.CmdReplace")
        state = desk.wait(lambda s: s.modal is not None, "the question")
        assert state.modal["title"] == "Continue with Cindral", state.modal
        desk.key("y")
        state = desk.wait(lambda s: s.modal is None and s.window_visible(RW)
                          and any(c[0] == "ROTOR-PRO" for c in s.control(GRID).entries[1:]), "the run and rescan")
        assert all(c[0] != "SPRINKLER" for c in state.control(GRID).entries[1:]), "no sprinkler row is left"
        desk.screenshot("after-the-run")

        # The sort list by keyboard: "Count", then Desc' sorts the grid again.
        desk.click_control(f"{RW}.ComboSort")
        desk.wait(lambda s: s.popup, "the sort list open")
        desk.key("Down", "Return")
        desk.wait(lambda s: s.control(f"{RW}.ComboSort").value("index") == "1", "the second sort key chosen")
        desk.click_control(f"{RW}.OptSort(1)")
        state = desk.wait(lambda s: s.control(f"{RW}.OptSort(1)").value("value") == "1", "Desc'")
        counts = [int(c[1]) for c in state.control(GRID).entries[1:]]
        assert counts == sorted(counts, reverse=True), counts
        desk.screenshot("sorted")

        # The notes viewer opens and closes with its close box key.
        desk.click_control(f"{RW}.CmdNotes")
        desk.wait(lambda s: s.window_visible("FrmRText"), "the notes viewer")
        desk.settle()
        desk.screenshot("notes")
        desk.key("alt+F4")
        desk.wait(lambda s: not s.window_visible("FrmRText"), "the notes viewer closed")

        # Closing Cindral: --save writes the drawing, the host stays open.
        desk.activate("^Cindral$")
        desk.key("alt+F4")
        desk.wait(lambda: os.path.exists(saved), "--save to write the drawing")
        desk.wait(lambda s: s.hosts and s.hosts[0]["visible"] == "1", "the host window still open")
        names = collections.Counter(i.dxf.name for i in ezdxf.readfile(saved).modelspace().query("INSERT"))
        assert names["ROTOR-PRO"] == 20 and names["SPRINKLER"] == 0, names
        # The host now holds the drawing saved as saved.dxf: it closes without
        # a question, and the file it was opened from is as it was.
        desk.activate(r"^AutoCAD - \[saved\.dxf\]$")
        desk.key("alt+F4")
        assert desk.exit_status() == 0
        opened = collections.Counter(i.dxf.name for i in ezdxf.readfile(drawing).modelspace().query("INSERT"))
        assert opened["SPRINKLER"] == 20, opened
        print("blocks_directory: passed")
    finally:
        desk.close()


if __name__ == "__main__":
    main(*sys.argv[1:4])
