#!/usr/bin/env python3
"""Makes the README's picture of the program: starts it on a private X
server, flies out of the box to look at the back wall from the open front,
and saves the screen.

Usage: tools/screenshot.py [BUILD_FOLDER] [OUTPUT_PNG]
"""

import os
import sys
import time

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "tests", "program"))

from drive import Program, XServer  # noqa: E402

build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "build"))
output = os.path.abspath(sys.argv[2] if len(sys.argv) > 2
                         else os.path.join(here, "..", "docs", "screenshot.png"))

server = XServer(800, 600)
server.run("xdotool", "mousemove", "400", "300")
program = Program(server, os.path.join(build, "tenebrel"), build)
try:
    program.start_windowed()
    server.focus("Tenebrel")
    # Turn left by a quarter turn (0.001 radians a pixel) to face the back
    # wall, then back out of the box through its open front.
    for x in (0, 0, 0, 29):
        server.run("xdotool", "mousemove", str(x), "300")
        time.sleep(0.6)
    server.hold("s", 0.85)
    server.run("xdotool", "mousemove", "400", "420")  # look down a little
    time.sleep(0.6)
    server.run("xdotool", "mousemove", "800", "600")  # the pointer out of the way
    server.run("xdotool", "mousemove", "400", "300")
    program.wait_frames(2.0)
    server.save_screenshot(output)
    print(f"saved {output}")
finally:
    program.stop()
    server.close()
