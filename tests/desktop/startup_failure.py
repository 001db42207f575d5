"""Start-up failures of the desktop program are shown to the user, not only
printed: a drawing that cannot be read gives a message box with the reason
(Enter closes it and the program ends with status 2); with no display at all
the command says so on standard error instead of crashing.

Usage: startup_failure.py CINDRAL SITE_DXF OUTPUT_DIR"""

import os
import subprocess
import sys

from desktop import Desktop


def main(program, site, output):
    desk = Desktop(output, "startup_failure")
    try:
        broken = os.path.join(desk.work, "broken.dxf")
        with open(broken, "w", encoding="ascii") as file:
            file.write("  0\nSECTION\n  2\nENTITIES\n  0\nINSERT\n  8\n")  # cut off in the middle
        desk.start(program, broken)
        desk.wait(lambda: desk.window_ids("^Cindral$"), "the message box")
        desk.settle()
        desk.screenshot("cannot-open")
        desk.activate("^Cindral$")
        desk.key("Return")
        status = desk.exit_status()
        assert status == 2, f"exit status {status}"
        with open(os.path.join(desk.output_dir, "program.log"), encoding="utf-8") as log:
            text = log.read()
        assert f"cannot open drawing {broken}" in text, text

        env = {k: v for k, v in desk.env.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        done = subprocess.run([program, site], env=env, capture_output=True, text=True, timeout=30)
        assert done.returncode == 2, done
        assert "no display" in done.stderr, done.stderr
        print("startup_failure: passed")
    finally:
        desk.close()


if __name__ == "__main__":
    main(*sys.argv[1:4])
