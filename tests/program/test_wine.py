# The Windows zip's program under Wine, as a person meets it: unpacked, the
# start question answered No, its window and its picture (against the Linux
# build's at the same pose), a light key, Escape; the toggle message there and
# back, and closing; and a missing texture named in its box.
#
# Usage: test_wine.py ZIP HOST_BUILD [CASE ...]   (with WINEPREFIX set)

import contextlib
import os
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


def windows_run(display, **files):
    # The prefix's server keeps the display of the program that started it
    # (and its screen size) until it ends, a few seconds after its last program.
    subprocess.run([wineserver, "-w"], timeout=120)
    return Run(display, [wine, os.path.join(folder, "tenebrel.exe")], folder, **files)


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
    p = windows_run(servers["800x600"])
    p.answer("Start FullScreen?", "n")
    windowed = wait_until(lambda: p.area()[2] == W and p.area(), what="a window 800 wide inside")
    toggle(p, [0, 0, W, H])
    toggle(p, windowed)
    send(p, "--close")  # as the window's close button does
    assert p.process.wait(60) == 0, f"closed, it ended with status {p.process.wait()}"


def case_a_missing_texture_is_named_in_a_box():
    p = windows_run(servers["800x600"], files=("brickblue.bmp",))
    p.answer("Start FullScreen?", "n")
    p.answer("Error", "Return")
    assert "Failed to open DIB file Ziegel1.bmp." in p.output(), p.output()
    assert p.process.wait(60) == 1, "a failed start did not end with status 1"


folder = unpack()
with contextlib.ExitStack() as stack:  # no window manager: Wine frames its windows itself
    servers = {s: stack.enter_context(Display(s)) for s in ("800x600", "1024x768")}
    status = run_cases([f for name, f in list(globals().items()) if name.startswith("case_")])
shutil.rmtree(unpacked)
sys.exit(status)
