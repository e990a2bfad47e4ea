"""Drives the real program as a person would: keys and the mouse through
xdotool, the screen through ImageMagick's `import`, windows through xwininfo."""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from display import Display, wait_until, windows  # noqa: E402

CENTRE = (400, 300)  # where the program keeps the pointer while it has the focus


class Run:
    """The program started in a folder of its own, with the given texture files."""

    def __init__(self, display, binary, textures, files=("brickblue.bmp", "Ziegel1.bmp"), **bad):
        self.env, self.folder = display.env, tempfile.mkdtemp(prefix="tenebrel-")
        for name in files:
            shutil.copy(os.path.join(textures, name), self.folder)
        for name, content in bad.items():
            with open(os.path.join(self.folder, name), "wb") as handle:
                handle.write(content)
        self.x("xdotool", "mousemove", *map(str, CENTRE))
        self.log = open(os.path.join(self.folder, "program.log"), "w+")
        self.process = subprocess.Popen([binary], cwd=self.folder, env=self.env,
                                        stdout=self.log, stderr=subprocess.STDOUT)

    def x(self, *args):
        return subprocess.run(args, env=self.env, capture_output=True, text=True, timeout=30)

    def window(self, name, gone=False):
        found = lambda: [w for w, n in windows(self.env) if n == name] or None
        if gone:
            return wait_until(lambda: not found(), what=f"{name!r} to go")
        return wait_until(found, what=f"a window {name!r}")[0]

    def answer(self, box, key):
        """Presses a key in a message box until the box is gone."""
        for _ in range(10):
            wid = self.window(box)
            self.x("xdotool", "windowfocus", "--sync", str(wid))
            self.x("xdotool", "key", key)
            try:
                return wait_until(lambda: wid not in [w for w, _ in windows(self.env)],
                                  timeout=2, what=box)
            except AssertionError:
                pass
        raise AssertionError(f"the box {box!r} takes no {key}")

    def geometry(self, name="Tenebrel"):
        """x, y, width, height of the drawing area and the window's states."""
        wid = self.window(name)
        info = self.x("xwininfo", "-id", str(wid)).stdout
        values = [int(re.search(key + r":\s*(-?\d+)", info).group(1))
                  for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height")]
        return values, self.x("xprop", "-id", str(wid), "_NET_WM_STATE", "_NET_FRAME_EXTENTS").stdout

    def shape(self, test, what):
        """Waits until the window's geometry and states pass the test."""
        seen = []

        def passes():
            seen[:] = [self.geometry()]
            return test(*seen[0])
        try:
            wait_until(passes, timeout=10, what=what)
        except AssertionError:
            raise AssertionError(f"{what}; last seen {seen}") from None

    def focus(self, name="Tenebrel"):
        self.x("xdotool", "windowfocus", "--sync", str(self.window(name)))

    def hold(self, key, until, what):
        """Holds a key down until something shows that the program has taken
        it: it reads keys once a frame, and a frame may take a second."""
        self.focus()
        self.x("xdotool", "keydown", key)
        try:
            return wait_until(until, timeout=60, what=what)
        finally:
            self.x("xdotool", "keyup", key)

    def pointer(self):
        out = self.x("xdotool", "getmouselocation").stdout
        return tuple(int(v) for v in re.findall(r"[xy]:(-?\d+)", out))

    def look(self, x, y):
        """Moves the pointer and waits until the program has taken the move back."""
        self.x("xdotool", "mousemove", str(x), str(y))
        wait_until(lambda: self.pointer() == CENTRE, what="the program to re-centre the pointer")

    def shot(self):
        data = self.x_bytes("import", "-window", "root", "-depth", "8", "ppm:-")
        w, h, _ = (int(v) for v in re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", data).groups())
        return Shot(w, h, data[-w * h * 3:])

    def x_bytes(self, *args):
        return subprocess.run(args, env=self.env, capture_output=True, timeout=30).stdout

    def still(self, span=2.0):
        """The screen once it has stayed the same (the frame rate aside) for
        three shots and some seconds: a frame may still be on its way."""
        shots = []

        def settled():
            shots.append((time.monotonic(), self.shot()))
            if len(shots) > 1 and shots[-1][1].differs(shots[-2][1], 30) != ([], []):
                del shots[:-1]
            done = len(shots) >= 3 and shots[-1][0] - shots[0][0] >= span
            return shots[-1][1] if done and shots[-1][1].points(any, step=40) else None
        return wait_until(settled, timeout=60, what="the picture to settle")

    def status(self, timeout=30):
        try:
            code = self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError("the program did not end")
        return code - 256 if code > 127 else code

    def output(self):
        self.log.flush()
        self.log.seek(0)
        return self.log.read()

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.log.close()
        shutil.rmtree(self.folder, ignore_errors=True)


class Shot:
    def __init__(self, width, height, pixels):
        self.width, self.height, self.pixels = width, height, pixels

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return self.pixels[i:i + 3]

    def points(self, test, step=2, skip=()):
        """The places (every step-th pixel) whose colour passes the test."""
        return [(x, y) for y in range(0, self.height, step) for x in range(0, self.width, step)
                if test(self.at(x, y)) and not any(a <= x < c and b <= y < d for a, b, c, d in skip)]

    def differs(self, before, min_sum=60, skip=((0, 480, 340, 600),)):
        """The places darker and brighter than before; the frame rate's corner aside."""
        dark, bright = [], []
        for x, y in before.points(lambda _: True, skip=skip):
            change = sum(self.at(x, y)) - sum(before.at(x, y))
            (dark if change <= -min_sum else bright if change >= min_sum else []).append((x, y))
        return dark, bright


def mean(places, axis):
    """The places' mean along an axis; none are nowhere, so never less than anything."""
    return sum(p[axis] for p in places) / len(places) if places else float("inf")


def run_cases(cases):
    """Runs each case, goes on after a failure, and ends with the count."""
    failed = 0
    only = sys.argv[3:]
    for case in cases:
        if only and case.__name__ not in only:
            continue
        started = time.time()
        try:
            case()
            print(f"ok     {case.__name__} ({time.time() - started:.1f} s)", flush=True)
        except Exception as error:  # every kind of failure is reported, and the rest still run
            failed += 1
            print(f"FAILED {case.__name__}: {error!r}", flush=True)
    print(f"{failed} failed")
    return 1 if failed else 0
