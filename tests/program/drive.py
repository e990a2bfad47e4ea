# Drives the real program as a person would: keys and the mouse through
# xdotool, the screen through ImageMagick's `import`, windows through xwininfo.

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from display import Display, wait_until, windows  # noqa: E402,F401

# The program tests' screen, and where the program keeps the pointer while
# its window has the keyboard focus.
W, H, CENTRE = 800, 600, (400, 300)
NO_TEXT = (0, 480, 340, 600)  # the frame rate's corner, which changes by itself


class Run:
    # The program, started in a folder of its own that holds the given textures.
    started = []
    view = None  # [x, y, width, height]: the part of a larger screen that shot() takes

    def __init__(self, display, binary, textures, files=("brickblue.bmp", "Ziegel1.bmp"), env=()):
        # The program draws frames for as long as it runs, with as many
        # threads as the software rasteriser is given; one leaves the other
        # cores to the tests and builds beside it, and draws the same pixels.
        env = {"LP_NUM_THREADS": "1", **dict(env)}
        self.env, self.folder = dict(display.env, **env), tempfile.mkdtemp(prefix="tenebrel-")
        for name in files:
            shutil.copy(os.path.join(textures, name), self.folder)
        self.x("xdotool", "mousemove", *map(str, CENTRE))
        self.log = os.path.join(self.folder, "program.log")
        with open(self.log, "w") as log:  # the binary, or a command list ending with it
            command = binary if isinstance(binary, list) else [binary]
            self.process = subprocess.Popen(command, cwd=self.folder, env=self.env,
                                            stdout=log, stderr=subprocess.STDOUT)
        Run.started.append(self)

    def x(self, *args, text=True):
        return subprocess.run(args, env=self.env, capture_output=True, text=text,
                              timeout=30).stdout

    def window(self, name="Tenebrel"):
        return wait_until(lambda: [w for w, n in windows(self.env) if n == name],
                          what=f"a window {name!r}")[0]

    def answer(self, box, key):
        # Presses the key in the box, again if the box is still there after a while.
        for _ in range(10):
            wid = self.window(box)
            self.x("xdotool", "windowfocus", "--sync", str(wid))
            self.x("xdotool", "key", key)
            if any(wid not in dict(windows(self.env)) or time.sleep(0.05) for _ in range(40)):
                return
        raise AssertionError(f"the box {box!r} takes no {key}")

    def area(self, wid=None):  # the drawing area's [x, y, width, height] on the screen
        return [int(v) for v in re.findall(r"(?:Absolute upper-left [XY]|Width|Height):\s*(-?\d+)",
                                           self.x("xwininfo", "-id", str(wid or self.window())))]

    def shape(self, test, what):
        # Waits until the test passes on the drawing area's [x, y, width,
        # height] and the window's state and frame.
        def seen():
            wid = self.window()
            props = self.x("xprop", "-id", str(wid), "_NET_WM_STATE", "_NET_FRAME_EXTENTS")
            return self.area(wid), props
        if not any(test(*seen()) or time.sleep(0.1) for _ in range(100)):
            raise AssertionError(f"no {what}: {seen()}")

    def focus(self, name="Tenebrel"):
        self.x("xdotool", "windowfocus", "--sync", str(self.window(name)))

    def hold(self, key, until, what):
        # Presses the key for 0.15 s at a time, a frame or two, until the
        # program shows that it has taken it. It reads keys once a frame, so
        # a shorter press may go unseen (and is then made again), and moves
        # the light and the eye by the time its frames take: a key held down
        # while the screen is read and looked at would move them on for as
        # long as that takes, on a busy machine past what the test waits for.
        self.focus()

        def pressed():
            self.x("xdotool", "keydown", key, "sleep", "0.15", "keyup", key)
            return until()
        return wait_until(pressed, timeout=60, what=what)

    def pointer(self):
        return tuple(map(int, re.findall(r"[xy]:(\d+)", self.x("xdotool", "getmouselocation"))))

    def look(self, x, y):
        # Moves the pointer, and waits until the program has taken the move
        # and drawn it (every move the tests make turns the view): on a busy
        # machine a frame may take longer than a picture takes to look still.
        self.focus()
        before = self.shot()
        self.x("xdotool", "mousemove", str(x), str(y))
        wait_until(lambda: self.pointer() == CENTRE, what="the pointer back in the middle")
        # Above the frame rate's corner, which changes by itself.
        above = NO_TEXT[1] * W * 3
        wait_until(lambda: self.shot()[:above] != before[:above], what="the turn drawn")

    def shot(self):  # the 800 x 600 screen's pixels, or the view's, three bytes each
        crop = ["-crop", "{2}x{3}+{0}+{1}".format(*self.view)] if self.view else []
        return self.x("import", "-window", "root", *crop, "-depth", "8", "ppm:-",
                      text=False)[-W * H * 3:]

    def still(self):
        # The screen once it has stayed the same for three shots and a
        # second, as a frame may take a while on a busy machine.
        shots = []

        def settled():
            shots.append((time.monotonic(), self.shot()))
            if next(changed(shots[-1][1], shots[0][1], 30), None):  # stops at the first change
                del shots[:-1]
            done = len(shots) > 2 and shots[-1][0] - shots[0][0] >= 1
            return done and any(shots[-1][1]) and shots[-1][1]  # not before a first frame
        return wait_until(settled, timeout=60, what="the picture to settle")

    def output(self):
        return open(self.log, errors="replace").read()

    def stop(self):
        self.process.kill()  # nothing when it has ended
        self.process.wait()
        shutil.rmtree(self.folder, ignore_errors=True)


is_marker = lambda c: c[0] >= 250 and c[1] >= 250 and c[2] < 50  # its faint copies are darker


def to_the_back_wall(p):
    # A quarter turn to the left: 4 x 0.39 + 0.011 rad. The pointer stays a
    # few pixels inside the screen, where a window's frame may begin: Wine
    # sees no move of the pointer outside its windows.
    for x in (10, 10, 10, 10, 389):
        p.look(x, 300)
    return p.still()


def linux_frames(display, host, env=()):
    # The Linux build's first frame and its frame after the quarter turn, in
    # a window on the display; then Escape ends it.
    linux = Run(display, os.path.join(host, "tenebrel"), host, env=env)
    linux.answer("Start FullScreen?", "Escape")
    linux.view = linux.area()  # a window on a larger screen
    first = linux.still()
    back_wall = to_the_back_wall(linux)
    linux.hold("Escape", lambda: linux.process.poll() is not None, "Escape to end Linux's")
    return first, back_wall


def mismatches(shot, reference, tolerance):
    # The places, every second pixel each way, where the two pictures differ
    # by more than the tolerance in a channel; the frame rate's corner is left out.
    return [(x, y) for x, y in unlike(shot, reference, (NO_TEXT,))
            if max(abs(a - b) for a, b in zip(at(shot, x, y), at(reference, x, y))) > tolerance]


def unlike(shot, reference, skip=()):
    # The places, every second pixel each way and outside the areas to skip,
    # that may differ in the two pictures, row by row: only those of a run of
    # 16 pixels that is not the same in both. The rest are the same, so the
    # comparisons above and below need not look at them; comparing byte
    # strings takes no time, and most of two pictures is alike.
    row = 3 * W
    for y in range(0, H, 2):
        start = row * y
        if shot[start:start + row] == reference[start:start + row]:
            continue
        for run in range(start, start + row, 48):
            if shot[run:run + 48] != reference[run:run + 48]:
                x = (run - start) // 3
                yield from ((x, y) for x in range(x, x + 16, 2)
                            if not any(a <= x < c and b <= y < d for a, b, c, d in skip))


def at(shot, x, y):
    return shot[(i := 3 * (y * W + x)):i + 3]


def points(shot, test, skip=()):
    # The places, every second pixel each way, whose colour passes the test.
    return [(x, y) for y in range(0, H, 2) for x in range(0, W, 2)
            if test(at(shot, x, y)) and not any(a <= x < c and b <= y < d for a, b, c, d in skip)]


def changed(shot, before, least, skip=(NO_TEXT,)):
    # (change, place) of the places that are darker or brighter than before
    # by at least that much (more than nothing), the sum of the three channels.
    return ((c, p) for p in unlike(shot, before, skip)
            if abs(c := sum(at(shot, *p)) - sum(at(before, *p))) >= least)


def differs(shot, before, least=60, skip=(NO_TEXT,)):
    # The places that are darker and brighter than before.
    change = list(changed(shot, before, least, skip))
    return [p for c, p in change if c < 0], [p for c, p in change if c > 0]


def mean(places, axis):  # none are nowhere: never less than anything
    return sum(p[axis] for p in places) / len(places) if places else float("inf")


def run_cases(cases):
    # Runs the cases named on the command line (all by default; a name after
    # "-" is left out), each to its end, and shows the output of the runs of
    # every case that failed.
    named = [a for a in sys.argv[3:] if not a.startswith("-")]
    left_out = [a[1:] for a in sys.argv[3:] if a.startswith("-")]
    failed = 0
    for case in [c for c in cases if (not named or c.__name__ in named) and c.__name__ not in left_out]:
        started = time.monotonic()
        try:
            case()
            print(f"ok     {case.__name__} ({time.monotonic() - started:.0f} s)", flush=True)
        except Exception as error:  # every kind of failure is reported, and the rest still run
            failed += 1
            print(f"FAILED {case.__name__}: {error!r}\n" + "".join(r.output() for r in Run.started))
        while Run.started:
            Run.started.pop().stop()
    print(f"{failed} failed")
    return min(failed, 1)
