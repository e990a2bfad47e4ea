# The Windows zip's program under Wine, as a person meets it: unpacked, the
# start question answered No, its window and its picture (against the Linux
# build's at the same pose), a light key, Escape; started --windowed, the
# toggle message there and back, and closing; started --fullscreen, a missing
# texture named in its box; started from a console, its lines in it.
#
# Usage: test_wine.py ZIP HOST_BUILD [CASE ...]   (with WINEPREFIX set)

import contextlib
import os
import pty
import re
import shutil
import subprocess
import sys
import tempfile
import zipfile

from drive import (W, H, Display, Run, is_marker, linux_frames, mean, mismatches, points,
                   run_cases, to_the_back_wall, wait_until)

archive, host = (os.path.abspath(a) for a in sys.argv[1:3])
wine, wineserver = (shutil.which(n) or "/usr/lib/wine/" + n for n in ("wine64", "wineserver"))
unpacked = tempfile.mkdtemp(prefix="tenebrel-zip-")
TOLERANCE = 2  # per channel: the same Mesa draws both; a rounding step or two is not a fault


def unpack():
    with zipfile.ZipFile(archive) as z:
        names = set(z.namelist())
        z.extractall(unpacked)
    folder = os.path.join(unpacked, os.path.basename(archive)[:-len(".zip")])
    wanted = {"tenebrel.exe", "tenebrel_toggle.exe", "brickblue.bmp", "Ziegel1.bmp", "README.txt",
              "LICENSE"}
    assert names == {os.path.basename(folder) + "/" + n for n in wanted | {""}}, sorted(names)
    return folder


def windows_run(display, *options, **files):
    # The prefix's server keeps the display of the program that started it
    # (and its screen size) until it ends, a few seconds after its last program.
    subprocess.run([wineserver, "-w"], timeout=120)
    return Run(display, [wine, os.path.join(folder, "tenebrel.exe"), *options], folder, **files)


def asked(p):  # whether it asked the start-up question (every box is on stderr too)
    return "Start FullScreen?" in p.output()


def send(p, *args):  # the zip's sender of window messages
    subprocess.run([wine, os.path.join(folder, "tenebrel_toggle.exe"), *args], env=p.env,
                   check=True, timeout=60)


def toggle(p, area):  # sends the toggle message, and waits for the new window's area
    before = p.window()
    send(p)
    wait_until(lambda: p.window() != before and p.area() == area, what=f"a window at {area}")


def case_its_window_looks_like_linux_and_the_keys_work():
    # The Linux build's picture first, at the poses compared below.
    first, back_wall = linux_frames(servers["1024x768"], host)

    p = windows_run(servers["1024x768"])
    p.answer("Start FullScreen?", "n")  # a Yes/No box: its No key
    p.view = wait_until(lambda: p.area()[2:] == [W, H] and p.area(), what="800 x 600 inside")
    # Without a window manager the X focus is nowhere yet. Given before the
    # first picture, the focus's arrival (which puts the pointer back to the
    # centre without a turn) cannot swallow a turn of the mouse below.
    p.focus()
    for pose, reference in (("first", first), ("turned", back_wall)):
        wrong = mismatches(p.still() if pose == "first" else to_the_back_wall(p), reference,
                           TOLERANCE)
        assert not wrong, f"{len(wrong)} places differ from Linux's {pose} frame: {wrong[:5]}"
    # Backed out of the box's open front: the light's marker in view too.
    p.hold("s", lambda: 20 < len(points(p.shot(), is_marker)) < 200, "the marker in view")
    was = points(p.still(), is_marker)
    p.hold("l", lambda: mean(points(p.shot(), is_marker), 0) < mean(was, 0) - 10, "L moves the light")
    p.hold("Escape", lambda: p.process.poll() is not None, "Escape to end it")
    assert p.process.wait() == 0, f"it ended with status {p.process.wait()}"


def case_the_toggle_message_switches_to_fullscreen_and_back_and_closing_ends_it():
    # On an 800 x 600 screen the switch to 800 x 600 succeeds, and a framed
    # window is kept within the screen, as Windows does.
    p = windows_run(servers["800x600"], "--windowed")  # the question answered ahead
    windowed = wait_until(lambda: p.area()[2] == W and p.area(), what="a window 800 wide inside")
    assert not asked(p), p.output()
    toggle(p, [0, 0, W, H])
    toggle(p, windowed)
    send(p, "--close")  # as the window's close button does
    assert p.process.wait(60) == 0, f"closed, it ended with status {p.process.wait()}"


def case_a_missing_texture_is_named_in_a_box():
    p = windows_run(servers["800x600"], "--fullscreen", files=("brickblue.bmp",))
    p.answer("Error", "Return")
    assert "Failed to open DIB file Ziegel1.bmp." in p.output() and not asked(p), p.output()
    assert p.process.wait(60) == 1, "a failed start did not end with status 1"


def in_console(display, *options):
    # The program started from a console (Wine's, on a terminal of its own):
    # its status, and the text the console showed, without the console's
    # cursor movements (a space is drawn as a step to the right).
    main, terminal = pty.openpty()
    program = subprocess.Popen([wine, os.path.join(folder, "tenebrel.exe"), *options], cwd=folder,
                               env=display.env, stdin=terminal, stdout=terminal, stderr=terminal)
    os.close(terminal)
    shown = b""
    with contextlib.suppress(OSError):  # the terminal is gone once all its writers are
        while chunk := os.read(main, 4096):
            shown += chunk
    os.close(main)
    text = re.sub(r"\x1b\[(\d*)C", lambda m: " " * int(m.group(1) or 1), shown.decode(errors="replace"))
    return program.wait(60), re.sub(r"\x1b\[[0-9;?]*[A-Za-z]|\r", "", text)


def case_from_a_console_its_lines_are_in_the_console():
    subprocess.run([wineserver, "-w"], timeout=120)  # as in windows_run
    status, shown = in_console(servers["800x600"], "--version")
    assert status == 0 and re.search(r"^tenebrel \d+\.\d+\.\d+, free software", shown, re.M), shown
    status, shown = in_console(servers["800x600"], "--benchmark=1")
    assert status == 0 and all(line in shown for line in (
        "second 1: ", "renderer: gl1", "GL renderer: ", "window: 800 x 600")), shown
    assert "Start FullScreen?" not in shown, shown


folder = unpack()
with contextlib.ExitStack() as stack:  # no window manager: Wine frames its windows itself
    servers = {s: stack.enter_context(Display(s)) for s in ("800x600", "1024x768")}
    status = run_cases([f for name, f in list(globals().items()) if name.startswith("case_")])
shutil.rmtree(unpacked)
sys.exit(status)
