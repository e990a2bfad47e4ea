# The whole program as a person meets it: the start question, the window or
# the screen, the light keys, the mouse, the toggle signal, the ways it ends.
#
# Usage: test_program.py PROGRAM BUILD_FOLDER [CASE ...]

import os
import re
import signal
import subprocess
import sys
import tempfile
import time

from drive import CENTRE, NO_TEXT, Display, Run, mean, run_cases, wait_until

binary, build = (os.path.abspath(a) for a in sys.argv[1:3])
servers = {}


def start(size="800x600", program=binary, **files):
    if size not in servers:  # one server of each size, with openbox, for all the cases
        servers[size] = Display(size, wm=True).__enter__()
    return Run(servers[size], program, build, **files)


def is_marker(c):  # the light's own yellow; its faint copies are darker
    return c[0] >= 250 and c[1] >= 250 and c[2] < 50


def box(places, margin=40):
    xs, ys = [p[0] for p in places], [p[1] for p in places]
    return (min(xs) - margin, min(ys) - margin, max(xs) + margin, max(ys) + margin)


def ends(p, how):
    wait_until(lambda: how() is not None and p.process.poll() is not None, what="the end")
    assert p.status() == 0, f"it ended with status {p.status()}"


def escape(p):
    ends(p, lambda: p.hold("Escape", lambda: p.process.poll() is not None, "Escape to end it"))


def toggle(p, fullscreen, size=[800, 600]):
    before = p.window()
    os.kill(p.process.pid, signal.SIGUSR1)
    wait_until(lambda: p.window() != before, what="the toggled window")
    p.shape(lambda g, props: ("FULLSCREEN" in props) == fullscreen and g[2:] == size,
            f"{'fullscreen' if fullscreen else 'framed'} window 800 x 600 inside")


def to_the_back_wall(p):
    for x in (0, 0, 0, 29):  # a quarter turn to the left: 0.4 + 0.4 + 0.4 + 0.371 rad
        p.look(x, 300)
    return p.still()


def yes_goes_fullscreen_and_the_keys_mouse_and_toggle_work():
    p = start()
    p.answer("Start FullScreen?", "Return")
    p.shape(lambda g, props: g == [0, 0, 800, 600] and "FULLSCREEN" in props, "fullscreen window")
    assert "Error" not in p.output(), p.output()
    first = p.still()
    # Facing +x from inside the box the open front (clear blue) begins at
    # x = 700; turned 0.1 rad to the left (100 pixels of mouse), at 767.
    edge = lambda s: next(x for x in range(400, 800) if s.at(x, 300) == b"\0\0\xf2")
    assert abs(edge(first) - 700) <= 3, edge(first)
    p.look(300, 300)
    assert abs(edge(p.still()) - 767) <= 4, "the mouse did not turn the view 0.1 rad left"
    p.look(500, 300)
    assert len(p.still().differs(first)[0]) < 20, "turning back did not give the first view"
    wall = to_the_back_wall(p)  # part of the box's shadow in view
    # Backed out of the box's open front: the light's marker in view too.
    p.hold("s", lambda: 20 < len(p.shot().points(is_marker)) < 900, "the marker in view")
    before = p.still()
    for key, axis in (("l", 0), ("k", 1)):  # the light to -x (left), then up
        was = before.points(is_marker)
        p.hold(key, lambda: mean(p.shot().points(is_marker), axis) < mean(was, axis) - 10, key)
        after = p.still()
        now = after.points(is_marker)
        assert mean(now, axis) < mean(was, axis) - 10, f"{key}: the marker went back"
        dark, light = after.differs(before, skip=(NO_TEXT, box(was), box(now)))
        assert len(dark) > 50 and len(light) > 50, f"{key}: the shadow did not move"
        assert mean(dark, axis) > mean(light, axis) + 10, f"{key}: the shadow went the wrong way"
        before = after
    toggle(p, fullscreen=False)
    toggle(p, fullscreen=True)
    assert len(p.still().differs(first)[0]) < 20, "the toggle did not put the eye back at its start"
    dark, light = to_the_back_wall(p).differs(wall)
    assert len(dark) + len(light) > 200, "the toggle put the light back at its start"
    escape(p)


def a_refused_switch_says_so_and_frames_an_800x600_window():
    p = start("1024x768")
    p.answer("Start FullScreen?", "Return")
    p.window("Error")
    assert "Mode Switch Failed." in p.output(), p.output()
    p.answer("Error", "Return")

    def outside(g, props):
        frame = [int(n) for n in re.findall(r"\d+", props.partition("EXTENTS")[2])]
        return len(frame) == 4 and frame[2] > 0 and \
            [g[2] + frame[0] + frame[1], g[3] + frame[2] + frame[3]] == [800, 600]
    p.shape(outside, "framed window 800 x 600 outside")
    toggle(p, fullscreen=False)  # now windowed by choice: 800 x 600 inside
    # Asked until it ends: a request before openbox manages the window is lost.
    ends(p, lambda: p.x("wmctrl", "-c", "Tenebrel"))


def a_missing_texture_is_named_in_a_box():
    p = start(files=("brickblue.bmp",))
    p.answer("Start FullScreen?", "Escape")
    p.window("Error")
    assert "Failed to open DIB file Ziegel1.bmp." in p.output(), p.output()
    p.answer("Error", "Return")
    assert p.status() in (0, 1) and "Sanitizer" not in p.output(), "it did not end cleanly"


def installed_it_leaves_the_pointer_to_the_window_in_front():
    with tempfile.TemporaryDirectory() as prefix:
        subprocess.run(["cmake", "--install", build, "--prefix", prefix], check=True,
                       capture_output=True, timeout=120)
        # Started by its launcher from a folder without textures: it finds them.
        p = start(program=os.path.join(prefix, "bin/tenebrel"), files=())
        p.answer("Start FullScreen?", "Escape")
        p.shape(lambda g, props: g[2:] == [800, 600] and "FULLSCREEN" not in props, "window")
        view = p.still()
        with subprocess.Popen(["xmessage", "another program"], env=p.env) as other:
            try:
                p.focus("xmessage")
                p.x("xdotool", "mousemove", "100", "100")
                time.sleep(1)  # some frames, in which the pointer must stay where it is
                assert p.pointer() == (100, 100), "it took the pointer from the window in front"
                p.focus()
                wait_until(lambda: p.pointer() == CENTRE, what="the pointer in the middle")
                assert len(p.still().differs(view)[0]) < 20, "getting the focus back turned it"
            finally:
                other.kill()
        p.stop()  # before its folder goes


def the_toggle_signal_during_the_question_does_not_end_it():
    p = start()
    p.window("Start FullScreen?")
    os.kill(p.process.pid, signal.SIGUSR1)
    time.sleep(1)  # the signal's default action would end it at once
    assert p.process.poll() is None, "the toggle signal ended it during the question"
    p.answer("Start FullScreen?", "Escape")
    escape(p)


def without_a_display_it_says_so_and_ends_with_minus_one():
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    result = subprocess.run([binary], env=env, capture_output=True, text=True, timeout=60)
    err = result.stderr
    assert result.returncode == 255, f"status {result.returncode}"
    assert 0 <= err.find("RegisterClassEx Failed!") < err.find("Error Registering Window"), err


try:
    status = run_cases([
        yes_goes_fullscreen_and_the_keys_mouse_and_toggle_work,
        a_refused_switch_says_so_and_frames_an_800x600_window,
        a_missing_texture_is_named_in_a_box,
        installed_it_leaves_the_pointer_to_the_window_in_front,
        the_toggle_signal_during_the_question_does_not_end_it,
        without_a_display_it_says_so_and_ends_with_minus_one])
finally:
    for server in servers.values():
        server.__exit__()
sys.exit(status)
