"""A DWG drawing opened in the desktop program: the host window's title says
it was imported, a message box says what the DWG reader could not carry (Enter
closes it), and the host's File > Save (Ctrl+S) goes through Save As with the
DXF beside the DWG suggested; Enter saves there. The DWG is left as it was and
the saved DXF is read back with ezdxf.

Usage: dwg_drawing.py CINDRAL SITE_DXF OUTPUT_DIR"""

import hashlib
import os
import shutil
import sys

import ezdxf

from desktop import Desktop

FIXTURE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fixtures", "dwg",
                       "autocad_tarch_proxies_R2013.dwg")


def digest(path):
    with open(path, "rb") as file:
        return hashlib.sha256(file.read()).hexdigest()


def main(program, _site, output):
    desk = Desktop(output, "dwg_drawing")
    try:
        plan = os.path.join(desk.work, "plan.dwg")
        shutil.copyfile(FIXTURE, plan)
        before = digest(plan)
        desk.start(program, plan)

        state = desk.wait(lambda s: s.modal is not None and "could not carry" in s.modal.get("text", ""),
                          "the notice of what the DWG reader lost")
        text = state.modal["text"]
        assert "plan.dwg was read as a DWG drawing; it is saved as plan.dxf beside it." in text, text
        assert "9 TCH_WALL" in text, text
        desk.screenshot("import-notice")
        desk.key("Return")
        state = desk.wait(lambda s: s.modal is None and s.hosts, "the notice closed")
        title = state.hosts[0]["title"]
        assert title.endswith("[plan.dxf (imported from plan.dwg)]"), title
        desk.wait(lambda s: s.window_visible("Frm__MDI"), "Cindral's main frame")

        # Ctrl+S in the host window: Save As, suggesting the DXF beside the DWG.
        desk.activate(r"\(imported from plan\.dwg\)")
        desk.key("ctrl+s")
        state = desk.wait(lambda s: s.modal is not None and s.modal["title"] == "Save Drawing As",
                          "the Save As dialog")
        desk.settle()
        desk.screenshot("save-as-suggests-dxf")
        desk.key("Return")
        saved = os.path.join(desk.work, "plan.dxf")
        desk.wait(lambda s: s.modal is None and os.path.exists(saved), "plan.dxf saved")
        assert digest(plan) == before, "the DWG changed"
        doc = ezdxf.readfile(saved)
        assert len(doc.modelspace()) > 0 and not doc.audit().errors
        state = desk.wait(lambda s: s.hosts and s.hosts[0]["title"].endswith("[plan.dxf]"),
                          "the title naming the saved DXF")
        desk.screenshot("saved")
        print("dwg_drawing: passed")
    finally:
        desk.close()


if __name__ == "__main__":
    main(*sys.argv[1:4])
