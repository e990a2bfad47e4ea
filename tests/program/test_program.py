"""The whole program as a person meets it: the start question, the window or
the screen, the light keys, the mouse, the toggle signal, the ways it ends.

Usage: test_program.py PROGRAM BUILD_FOLDER [CASE ...]
"""

import os
import re
import signal
import subprocess
import sys
import tempfile
import time

from drive import CENTRE, Display, Run, mean, run_cases, wait_until

binary, build = (os.path.abspath(a) for a in sys.argv[1:3])
servers = {}


def program(size, *args, **kwargs):
    if size not in servers:  # one server of each size for all cases; openbox on both
        servers[size] = Display(size, wm=True).__enter__()
    return Run(servers[size], *args, **kwargs)


def case(size, **kwargs):
    def wrap(body):
        def run():
            p = program(size, kwargs.pop("binary", binary), build, **kwargs)
            try:
                body(p)
            except Exception:
                print(p.output(), file=sys.stderr)
                raise
            finally:
                p.stop()
        run.__name__ = body.__name__
        return run
    return wrap


def is_clear(c):
    return c[2] > 200 and c[0] < 30 and c[1] < 30


def is_marker(c):
    return c[0] >= 250 and c[1] >= 250 and c[2] < 50


def box(places, margin=40):
    xs, ys = [p[0] for p in places], [p[1] for p in places]
    return (min(xs) - margin, min(ys) - margin, max(xs) + margin, max(ys) + margin)


def ends_with_escape(p):
    p.hold("Escape", lambda: p.process.poll() is not None, "Escape to end it")
    assert p.status() == 0, "Escape did not end it with status 0"


def toggle(p, fullscreen):
    before = p.window("Tenebrel")
    os.kill(p.process.pid, signal.SIGUSR1)
    wait_until(lambda: p.window("Tenebrel") != before, what="the toggled window")
    p.shape(lambda g, props: ("FULLSCREEN" in props) == fullscreen and g[2:] == [800, 600],
            f"a window 800 x 600 inside, {'' if fullscreen else 'not '}fullscreen")


def to_the_back_wall(p):
    for x in (0, 0, 0, 29):  # a quarter turn to the left: 0.4 + 0.4 + 0.4 + 0.371 rad
        p.look(x, 300)
    return p.still()


@case("800x600")
def yes_goes_fullscreen_and_the_keys_mouse_and_toggle_work(p):
    p.answer("Start FullScreen?", "Return")
    p.shape(lambda g, props: g == [0, 0, 800, 600] and "FULLSCREEN" in props, "a fullscreen window")
    assert "Error" not in p.output(), p.output()
    start = p.still()
    edge = lambda s: next(x for x in range(400, 800) if is_clear(s.at(x, 300)))
    # Facing +x from inside the box the open front begins at x = 700; turned
    # 0.1 rad to the left (100 pixels of mouse), at 767.
    assert abs(edge(start) - 700) <= 3, edge(start)
    p.look(300, 300)
    assert abs(edge(p.still()) - 767) <= 4, "the mouse did not turn the view 0.1 rad left"
    p.look(500, 300)
    assert len(p.still().differs(start)[0]) < 20, "turning back did not give the first view"
    # From the start, facing the back wall: part of the box's shadow in view.
    wall = to_the_back_wall(p)
    # Backed out of the box's open front: the light's marker in view too.
    p.hold("s", lambda: 20 < len(p.shot().points(is_marker)) < 900, "the marker in view")
    before = p.still()
    for key, axis in (("l", 0), ("k", 1)):  # the light to -x (left), then up
        was = before.points(is_marker)
        p.hold(key, lambda: mean(p.shot().points(is_marker), axis) < mean(was, axis) - 10,
               f"{key} to move the marker")
        after = p.still()
        now = after.points(is_marker)
        assert now and mean(now, axis) < mean(was, axis) - 10, f"{key}: the marker went back"
        dark, light = after.differs(before, skip=((0, 480, 340, 600), box(was), box(now)))
        assert len(dark) > 50 and len(light) > 50, f"{key}: the shadow did not move"
        assert mean(dark, axis) > mean(light, axis) + 10, f"{key}: the shadow went the wrong way"
        before = after
    toggle(p, fullscreen=False)
    toggle(p, fullscreen=True)
    assert len(p.still().differs(start)[0]) < 20, "the toggle did not put the eye back at its start"
    dark, light = to_the_back_wall(p).differs(wall)
    assert len(dark) + len(light) > 200, "the toggle put the light back at its start"
    ends_with_escape(p)


@case("1024x768")
def a_refused_switch_says_so_and_frames_an_800x600_window(p):
    p.answer("Start FullScreen?", "Return")
    p.window("Error")
    assert "Mode Switch Failed." in p.output(), p.output()
    p.answer("Error", "Return")

    def outside(g, props):
        frame = re.search(r"EXTENTS.* = (\d+), (\d+), (\d+), (\d+)", props)
        left, right, top, bottom = map(int, frame.groups()) if frame else (0, 0, 0, 0)
        return (g[2] + left + right, g[3] + top + bottom) == (800, 600) and top > 0
    p.shape(outside, "a framed window 800 x 600 outside")
    toggle(p, fullscreen=False)  # now windowed by choice: 800 x 600 inside
    # Asked again until it ends: a request before openbox manages the window is lost.
    wait_until(lambda: p.x("wmctrl", "-c", "Tenebrel") and p.process.poll() is not None,
               what="closing the window to end it")
    assert p.status() == 0, "closing the window did not end it with status 0"


@case("800x600", files=("brickblue.bmp",))
def a_missing_texture_is_named_in_a_box(p):
    p.answer("Start FullScreen?", "Escape")
    p.window("Error")
    assert "Failed to open DIB file Ziegel1.bmp." in p.output(), p.output()
    p.answer("Error", "Return")
    assert p.status() in (0, 1), "it did not end after the box"
    for sign in ("Sanitizer", "runtime error", "Segmentation"):
        assert sign not in p.output(), p.output()


def installed_it_leaves_the_pointer_to_the_window_in_front():
    prefix = tempfile.mkdtemp(prefix="tenebrel-install-")
    subprocess.run(["cmake", "--install", build, "--prefix", prefix], check=True,
                   capture_output=True, timeout=120)
    assert os.path.exists(os.path.join(prefix, "share/applications/tenebrel.desktop"))

    # Started by its launcher from a folder without textures: it finds them.
    @case("800x600", binary=os.path.join(prefix, "bin/tenebrel"), files=())
    def run(p):
        p.answer("Start FullScreen?", "Escape")
        p.shape(lambda g, props: g[2:] == [800, 600] and "FULLSCREEN" not in props, "a window")
        view = p.still()
        other = subprocess.Popen(["xmessage", "another program"], env=p.env)
        try:
            p.focus("xmessage")
            p.x("xdotool", "mousemove", "100", "100")
            time.sleep(1)  # some 50 frames, in which the pointer must stay put
            assert p.pointer() == (100, 100), "it took the pointer from the window in front"
            p.focus()
            wait_until(lambda: p.pointer() == CENTRE, what="the pointer back in the middle")
            assert len(p.still().differs(view)[0]) < 20, "getting the focus back turned the view"
        finally:
            other.kill()
            other.wait()
    run()


@case("800x600")
def the_toggle_signal_during_the_question_does_not_end_it(p):
    p.window("Start FullScreen?")
    os.kill(p.process.pid, signal.SIGUSR1)
    time.sleep(1)  # the default action of the signal would end it at once
    assert p.process.poll() is None, "the toggle signal ended it during the question"
    p.answer("Start FullScreen?", "Escape")
    ends_with_escape(p)


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
