#!/usr/bin/env python3
"""Makes the README's pictures of the program: starts it on a private X
server, flies out of the box to look at the back wall from the open front,
presses the keys given (each once: v for the shadow volumes, c for the
passes in shadow, h for the keys' help) and saves the screen.

Usage: tools/screenshot.py [BUILD_FOLDER] [OUTPUT_PNG] [KEY ...]
"""

import os
import subprocess
import sys
import time

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "tests", "program"))

from drive import Display, Run  # noqa: E402

build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "build"))
output = os.path.abspath(sys.argv[2] if len(sys.argv) > 2
                         else os.path.join(here, "..", "docs", "screenshot.png"))

with Display("800x600") as display:
    program = Run(display, os.path.join(build, "tenebrel"), build)
    try:
        program.answer("Start FullScreen?", "Escape")
        program.focus()
        # Turn left by a quarter turn (0.001 radians a pixel) to face the
        # back wall, then back out of the box through its open front: the
        # program moves 10 units a second for as long as S is down.
        for x in (0, 0, 0, 29):
            program.look(x, 300)
        program.x("xdotool", "keydown", "s")
        time.sleep(0.85)
        program.x("xdotool", "keyup", "s")
        program.look(400, 420)  # look down a little
        for key in sys.argv[3:]:
            program.x("xdotool", "key", key)
        program.still()
        subprocess.run(["import", "-window", "root", output], env=display.env, check=True)
        print(f"saved {output}")
    finally:
        program.stop()
