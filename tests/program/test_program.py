# The whole program as a person meets it: the start question, the window or
# the screen, the light keys, the mouse, the toggle signal, the ways it ends.
#
# Usage: test_program.py PROGRAM BUILD_FOLDER [CASE ...]

import concurrent.futures
import contextlib
import os
import signal
import subprocess
import sys
import time

from drive import (CENTRE, NO_TEXT, Display, Run, at, differs, is_marker, linux_frames, mean,
                   mismatches, points, run_cases, to_the_back_wall, wait_until)

binary, build = (os.path.abspath(a) for a in sys.argv[1:3])


def near(places):  # their bounds, 40 pixels wider each way (a corner for none)
    xs, ys = zip(*places) if places else ((0,), (0,))
    return min(xs) - 40, min(ys) - 40, max(xs) + 40, max(ys) + 40


def ends(p, ask):  # asks until it has ended, and with status 0
    wait_until(lambda: ask() is not None and p.process.poll() is not None, what="the end")
    assert p.process.wait() == 0, f"it ended with status {p.process.wait()}"


def toggle(p, fullscreen):
    before = p.window()
    os.kill(p.process.pid, signal.SIGUSR1)
    wait_until(lambda: p.window() != before, what="the toggled window")
    p.shape(lambda g, props: ("FULLSCREEN" in props) == fullscreen and g[2:] == [800, 600],
            f"window 800 x 600 inside, fullscreen: {fullscreen}")


def fullscreen(p):
    p.answer("Start FullScreen?", "Return")
    p.shape(lambda g, props: g == [0, 0, 800, 600] and "FULLSCREEN" in props, "fullscreen window")


def case_yes_goes_fullscreen_and_the_keys_mouse_and_toggle_work():
    # Over EGL, which has no accumulation buffer: the passes are counted on the GPU.
    p = Run(servers["800x600"], binary, build, env={"SDL_VIDEO_X11_FORCE_EGL": "1"})
    fullscreen(p)
    first = p.still()
    # Facing +x from inside the box the open front (clear blue) begins at
    # x = 700; turned 0.1 rad to the left (100 pixels of mouse), at 767.
    edge = lambda s: next(x for x in range(400, 800) if at(s, x, 300) == b"\0\0\xf2")
    assert abs(edge(first) - 700) <= 3, edge(first)
    p.look(300, 300)
    assert abs(edge(p.still()) - 767) <= 4, "the mouse did not turn the view 0.1 rad left"
    p.look(500, 300)
    wall = to_the_back_wall(p)  # part of the box's shadow in view
    # Backed out of the box's open front: the light's marker in view too.
    p.hold("s", lambda: 20 < len(points(p.shot(), is_marker)) < 200, "the marker in view")
    before = p.still()
    for key, axis in (("l", 0), ("k", 1)):  # the light to -x (left), then up
        was = points(before, is_marker)
        p.hold(key, lambda: mean(points(p.shot(), is_marker), axis) < mean(was, axis) - 10, key)
        now = p.still()
        dark, light = differs(now, before, skip=(NO_TEXT, near(was), near(points(now, is_marker))))
        # The shadow moves the other way: it darkens on that side, and lightens on this.
        assert len(dark) > 50 and len(light) > 50 and mean(dark, axis) > mean(light, axis) + 10, \
            f"{key}: the shadow did not move the other way"
        before = now
    toggle(p, fullscreen=False)
    toggle(p, fullscreen=True)
    assert edge(p.still()) == edge(first), "the toggle did not reset the eye"  # the light may show
    dark, light = differs(to_the_back_wall(p), wall)
    assert len(dark) + len(light) > 200, "the toggle put the light back at its start"
    ends(p, lambda: p.hold("Escape", lambda: p.process.poll() is not None, "Escape to end it"))
    # The same view with the accumulation buffer asked for: the same soft shadow.
    q = Run(servers["800x600"], binary, build, env={"TENEBREL_ACCUM": "buffer"})
    fullscreen(q)
    q.still()  # drawing: a move before the first frame only centres the pointer
    q.look(300, 300)  # the turns that led there, as they add up in floats
    q.look(500, 300)
    dark, light = differs(to_the_back_wall(q), wall, 30)
    assert len(dark) + len(light) < 40, f"{len(dark) + len(light)} places unlike the counted frame's"
    # And drawn by es3 on OpenGL ES: the same view, also after the toggle
    # has made its window and context anew.
    r = Run(servers["800x600"], binary, build, env={"TENEBREL_GL": "es3"})
    fullscreen(r)
    r.still()
    for again in (False, True):
        r.look(300, 300)
        r.look(500, 300)
        dark, light = differs(to_the_back_wall(r), wall, 30)
        assert len(dark) + len(light) < 40, f"es3 (toggled: {again}): {len(dark) + len(light)} places unlike gl1's"
        if not again:
            toggle(r, fullscreen=False)
            toggle(r, fullscreen=True)
            r.still()  # drawing: a move before the first frame only centres the pointer
    assert "cannot be had" not in r.output(), r.output()
    ends(r, lambda: r.hold("Escape", lambda: r.process.poll() is not None, "Escape to end it"))


def asked(p):  # whether it asked the start-up question (every box is on stderr too)
    return "Start FullScreen?" in p.output()


def case_a_refused_switch_says_so_and_frames_an_800x600_window():
    # --fullscreen answers the question ahead as Yes does.
    p = Run(servers["1024x768"], [binary, "--fullscreen"], build)
    p.answer("Error", "Return")
    assert "Mode Switch Failed." in p.output() and not asked(p), p.output()

    def outside(g, props):  # the frame's left, right, top and bottom added
        f = [int(n) for n in props.partition("EXTENTS(CARDINAL) =")[2].split(",") if n.strip()]
        return f[2:3] > [0] and [g[2] + f[0] + f[1], g[3] + f[2] + f[3]] == [800, 600]
    p.shape(outside, "framed window 800 x 600 outside")
    toggle(p, fullscreen=False)  # now windowed by choice: 800 x 600 inside
    # Asked until it ends: a request before openbox manages the window is lost.
    ends(p, lambda: p.x("wmctrl", "-c", "Tenebrel"))


def case_a_missing_texture_is_named_in_a_box():
    p = Run(servers["800x600"], binary, build, files=("brickblue.bmp",))
    p.answer("Start FullScreen?", "Escape")
    p.answer("Error", "Return")
    assert "Failed to open DIB file Ziegel1.bmp." in p.output(), p.output()
    assert p.process.wait(60) == 1 and "Sanitizer" not in p.output(), \
        "a failed start did not end with status 1"


def case_windowed_it_leaves_the_pointer_to_the_window_in_front():
    # --windowed answers the question ahead as No does.
    p = Run(servers["800x600"], [binary, "--windowed"], build)
    p.shape(lambda g, props: g[2:] == [800, 600] and "FULLSCREEN" not in props, "window")
    assert not asked(p), p.output()
    view = p.still()
    # Another program in front (it ends by itself if the check below fails).
    other = subprocess.Popen(["xmessage", "-timeout", "30", "another program"], env=p.env)
    p.focus("xmessage")

    def left_alone():
        p.x("xdotool", "mousemove", "100", "100")
        time.sleep(1)  # some frames, in which the pointer must stay where it is
        return p.pointer() == (100, 100)
    # The program hears of the focus's going a moment after the window in
    # front has it (SDL waits to be sure): a busy machine's frame in
    # between may still centre the pointer, once.
    assert left_alone() or left_alone(), "it took the pointer from the window in front"
    other.kill()  # its window would show in the picture below
    p.focus()
    wait_until(lambda: p.pointer() == CENTRE, what="the pointer in the middle")
    assert len(differs(p.still(), view)[0]) < 20, "getting the focus back turned the view"


def case_the_toggle_signal_during_the_question_does_not_end_it():
    p = Run(servers["800x600"], binary, build)
    p.window("Start FullScreen?")
    os.kill(p.process.pid, signal.SIGUSR1)
    time.sleep(1)  # the signal's default action would end it at once
    assert p.process.poll() is None, "the toggle signal ended it during the question"
    p.answer("Start FullScreen?", "Escape")
    p.window()


def case_without_a_display_it_says_so_and_ends_with_minus_one():
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    result = subprocess.run([binary], env=env, capture_output=True, text=True, timeout=60)
    assert result.returncode == 255, f"status {result.returncode}"
    assert 0 <= (e := result.stderr).find("RegisterClassEx Failed!") < e.find("Window Class!"), e


def case_the_benchmark_runs_on_both_renderers_and_sums_up():
    # Two seconds each, with the window minimised for a while on gl1: that
    # time is left out, and the path goes on when it shows again. Minimised
    # as soon as it shows: a benchmark cannot end while it is hidden,
    # but two seconds of frames go by quicker than a busy machine looks.
    for gl in ("gl1", "es3"):
        p = Run(servers["800x600"], [binary, "--benchmark=2", "--renderer", gl], build)
        if gl == "gl1":
            window = str(p.window())
            wait_until(lambda: "IsViewable" in p.x("xwininfo", "-id", window), what="it shown")
            p.x("xdotool", "windowminimize", "--sync", window)
            p.x("xdotool", "windowactivate", window)
        assert p.process.wait(120) == 0, f"{gl}: status {p.process.wait()}\n{p.output()}"
        lines = p.output().splitlines()
        seconds = [line for line in lines if line.startswith("second ")]
        assert [s.partition(":")[0] for s in seconds] == ["second 1", "second 2"], p.output()
        for line in ("frames a second: minimum ", f"renderer: {gl}", "way of summing: counted",
                     "GL vendor: ", "GL renderer: llvmpipe", "window: 800 x 600"):
            assert any(seen.startswith(line) for seen in lines), f"{gl}: no {line!r}\n{p.output()}"
        assert any(seen.startswith("left out: ") for seen in lines) == (gl == "gl1"), p.output()
        assert not asked(p) and "cannot be had" not in p.output(), p.output()
    # Figures that cannot be written make no finished benchmark.
    with open("/dev/full", "w") as full:
        lost = subprocess.run([binary, "--benchmark=1"], cwd=build, env=servers["800x600"].env,
                              stdout=full, stderr=subprocess.PIPE, text=True, timeout=120)
    assert lost.returncode == 1 and "lines could not be written" in lost.stderr, lost.stderr


def case_a_16_bit_screen_shows_both_renderers_frames_as_a_24_bit_one_does():
    # The first frame and the back wall's soft shadow, read off the screen:
    # what the 24-bit screen shows, kept to the 5/6/5 bits a 16-bit one holds.
    # OpenGL ES through GLX, and through EGL, whose windows need their
    # config's visual.
    in565 = lambda shot: bytes(v >> (2 if i % 3 == 1 else 3) for i, v in enumerate(shot))
    with Display("800x600") as usual, Display("800x600", depth=16) as narrow:
        for gl, egl in (("gl1", "0"), ("es3", "0"), ("es3", "1")):
            env = {"TENEBREL_GL": gl, "SDL_VIDEO_X11_FORCE_EGL": egl}
            # On both screens at once: each waits as long for its pictures.
            with concurrent.futures.ThreadPoolExecutor() as both:
                wide, shown = both.map(lambda d: linux_frames(d, build, env=env), (usual, narrow))
            for a, b, pose in zip(wide, shown, ("first", "back wall")):
                off = mismatches(in565(b), in565(a), 0)
                assert len(off) <= 10, f"{gl}, EGL {egl}, {pose}: {len(off)} places unlike, as {off[:5]}"
            assert "cannot be had" not in "".join(r.output() for r in Run.started)


with contextlib.ExitStack() as stack:  # one server of each size, with openbox, for all cases
    servers = {s: stack.enter_context(Display(s, wm=True)) for s in ("800x600", "1024x768")}
    status = run_cases([f for name, f in list(globals().items()) if name.startswith("case_")])
sys.exit(status)
