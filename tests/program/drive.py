"""Drives the real program as a person would: on its own X server, through
the keyboard and the mouse (xdotool), reading the screen (ImageMagick
`import`) and the window list (xwininfo).
"""

import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


class XServer:
    """A private Xvfb with the given screen size."""

    def __init__(self, width=1024, height=768, window_manager=False):
        read_end, write_end = os.pipe()
        # -noreset: the server must not reset (and move the pointer) when its
        # last client leaves.
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
             f"{width}x{height}x24", "-noreset", "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        deadline = time.time() + 20
        while not number.endswith(b"\n") and time.time() < deadline:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
        os.close(read_end)
        check(number.strip(), "Xvfb did not start")
        self.display = ":" + number.decode().strip()
        self.env = dict(os.environ, DISPLAY=self.display)
        self.width, self.height = width, height
        self.window_manager = None
        if window_manager:
            self.window_manager = subprocess.Popen(
                ["openbox", "--sm-disable"], env=self.env,
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            deadline = time.time() + 20
            while time.time() < deadline:
                if subprocess.run(["wmctrl", "-m"], env=self.env,
                                  capture_output=True).returncode == 0:
                    break
                time.sleep(0.1)
            else:
                raise Failure("the window manager did not start")

    def run(self, *args, check_status=True):
        result = subprocess.run(list(args), env=self.env, capture_output=True, text=True,
                                timeout=30)
        if check_status and result.returncode != 0:
            raise Failure(f"{' '.join(args)} failed: {result.stderr.strip()}")
        return result.stdout

    def windows(self):
        """Named top-level windows: {name: (id, width, height, x, y)}."""
        found = {}
        for line in self.run("xwininfo", "-root", "-tree").splitlines():
            match = re.match(r'\s*(0x[0-9a-f]+) "(.*)": .*?(\d+)x(\d+)\+(-?\d+)\+(-?\d+)', line)
            if match:
                wid, name, w, h, x, y = match.groups()
                found[name] = (wid, int(w), int(h), int(x), int(y))
        return found

    def wait_window(self, name, timeout=20.0, gone=False):
        deadline = time.time() + timeout
        while time.time() < deadline:
            present = name in self.windows()
            if present != gone:
                return self.windows().get(name)
            time.sleep(0.1)
        raise Failure(f"window {name!r} {'still there' if gone else 'never appeared'}")

    def answer_box(self, caption, key):
        """Answers a message box with a key, as a person would."""
        wid = self.wait_window(caption)[0]
        time.sleep(0.3)
        self.run("xdotool", "windowfocus", "--sync", wid)
        self.run("xdotool", "key", "--window", wid, key, check_status=False)
        self.run("xdotool", "key", key, check_status=False)

    def hold(self, key, seconds):
        """Holds a key for a while: the program reads keys once a frame."""
        self.run("xdotool", "keydown", key)
        time.sleep(seconds)
        self.run("xdotool", "keyup", key)

    def pointer(self):
        """The pointer's position on the screen."""
        fields = dict(item.split(":") for item in self.run("xdotool", "getmouselocation").split())
        return int(fields["x"]), int(fields["y"])

    def move_pointer(self, x, y):
        self.run("xdotool", "mousemove", str(x), str(y))

    def look(self, x, y, centre=(400, 300), timeout=10.0):
        """Moves the pointer as a person turning the view would, and waits
        until the program has taken the move (it puts the pointer back at the
        centre in the frame that turns the view). A second move made before
        that would replace the first one unseen."""
        self.move_pointer(x, y)
        deadline = time.time() + timeout
        while time.time() < deadline:
            if self.pointer() == centre:
                return
            time.sleep(0.02)
        raise Failure(f"the pointer moved to ({x}, {y}) was not taken back to {centre}")

    def client_origin(self, name):
        """Where the window's drawing area starts on the screen; under a
        window manager the frame's border and title bar come first."""
        wid = self.windows()[name][0]
        text = self.run("xwininfo", "-id", wid)
        x = int(re.search(r"Absolute upper-left X:\s*(-?\d+)", text).group(1))
        y = int(re.search(r"Absolute upper-left Y:\s*(-?\d+)", text).group(1))
        return x, y

    def focus(self, name):
        wid = self.windows()[name][0]
        self.run("xdotool", "windowfocus", "--sync", wid, check_status=False)

    def screenshot(self):
        """The whole screen as an Image."""
        # -depth 8: ImageMagick otherwise writes 16-bit samples, which read
        # byte by byte as 8-bit ones give nonsense colours.
        data = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"],
                              env=self.env, capture_output=True, timeout=30).stdout
        return Image.from_ppm(data)

    def save_screenshot(self, path):
        subprocess.run(["import", "-window", "root", path], env=self.env, timeout=30)

    def window_state(self, name):
        """The window's _NET_WM_STATE atoms."""
        wid = self.windows()[name][0]
        return self.run("xprop", "-id", wid, "_NET_WM_STATE", check_status=False)

    def close(self):
        if self.window_manager is not None:
            self.window_manager.terminate()
            self.window_manager.wait()
        self.process.terminate()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()


class Image:
    def __init__(self, width, height, pixels):
        self.width, self.height, self.pixels = width, height, pixels

    @staticmethod
    def from_ppm(data):
        fields = []
        position = 0
        while len(fields) < 4:
            match = re.compile(rb"\s*(#[^\n]*\n\s*)*(\S+)").match(data, position)
            check(match, "unreadable screenshot")
            fields.append(match.group(2))
            position = match.end()
        check(fields[0] == b"P6", "screenshot is not a PPM")
        width, height, maxval = int(fields[1]), int(fields[2]), int(fields[3])
        samples = data[position + 1:]
        if maxval > 255:  # two bytes a sample, most significant first
            samples = samples[0::2]
        pixels = bytes(samples[:width * height * 3])
        check(len(pixels) == width * height * 3, "the screenshot is cut short")
        return Image(width, height, pixels)

    def pixel(self, x, y):
        """(r, g, b) at x, y counted from the top left."""
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])

    def crop(self, x, y, width, height):
        """The part at (x, y) of the given size; black where it leaves the image."""
        rows = []
        for row in range(y, y + height):
            if 0 <= row < self.height:
                line = bytearray(width * 3)
                left, right = max(x, 0), min(x + width, self.width)
                if left < right:
                    start = (row * self.width + left) * 3
                    end = start + (right - left) * 3
                    line[(left - x) * 3:(right - x) * 3] = self.pixels[start:end]
                rows.append(bytes(line))
            else:
                rows.append(bytes(width * 3))
        return Image(width, height, b"".join(rows))

    def mean(self, x0, y0, x1, y1):
        """The mean (r, g, b) of a rectangle."""
        pixels = self.region(x0, y0, x1, y1)
        n = max(len(pixels), 1)
        return tuple(sum(p[i] for p in pixels) / n for i in range(3))

    def region(self, x0, y0, x1, y1):
        return [self.pixel(x, y) for y in range(y0, y1) for x in range(x0, x1)]

    def count(self, x0, y0, x1, y1, predicate):
        return sum(1 for p in self.region(x0, y0, x1, y1) if predicate(p))

    def differing(self, other, x0, y0, x1, y1, threshold=24):
        n = 0
        for y in range(y0, y1):
            for x in range(x0, x1):
                a, b = self.pixel(x, y), other.pixel(x, y)
                if sum(abs(p - q) for p, q in zip(a, b)) > threshold:
                    n += 1
        return n


def is_blue(p):
    return p[2] > 150 and p[0] < 40 and p[1] < 40


def is_yellow(p):
    return p[0] > 150 and p[1] > 150 and p[2] < 80


class Program:
    """The program, started in a folder of its own that holds its textures."""

    def __init__(self, server, binary, texture_dir, textures=("brickblue.bmp", "Ziegel1.bmp"),
                 replace=None):
        self.server = server
        # The program turns the view by the pointer's distance from (400, 300)
        # in every frame; a pointer left elsewhere would turn the first view.
        server.move_pointer(400, 300)
        self.folder = tempfile.mkdtemp(prefix="tenebrel-run-")
        for name in textures:
            shutil.copy(os.path.join(texture_dir, name), self.folder)
        for name, content in (replace or {}).items():
            with open(os.path.join(self.folder, name), "wb") as handle:
                handle.write(content)
        self.log = open(os.path.join(self.folder, "program.log"), "w+")
        self.process = subprocess.Popen([binary], cwd=self.folder, env=server.env,
                                        stdout=self.log, stderr=subprocess.STDOUT)

    def start_windowed(self):
        self.server.answer_box("Start FullScreen?", "Escape")  # Escape answers No
        info = self.server.wait_window("Tenebrel")
        self.wait_frames()
        return info

    def wait_frames(self, seconds=1.5):
        time.sleep(seconds)
        check(self.process.poll() is None, f"the program ended early: {self.output()}")

    def wait_exit(self, timeout=20):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure("the program did not end")

    def signal(self, number):
        os.kill(self.process.pid, number)

    def toggle(self, timeout=20.0):
        """Sends the display-mode toggle and waits for the new window."""
        before = self.server.windows().get("Tenebrel")
        self.signal(signal.SIGUSR1)
        deadline = time.time() + timeout
        while time.time() < deadline:
            info = self.server.windows().get("Tenebrel")
            if info and (before is None or info[0] != before[0]):
                self.wait_frames()
                return self.server.windows()["Tenebrel"]
            time.sleep(0.1)
        raise Failure("no new window after the toggle signal")

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


def program_paths():
    """The program and the folder with its textures, from the command line."""
    return os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])


def with_program(width=1024, height=768, window_manager=False, **options):
    """Runs a case with the program started on a server of its own, and
    shows the program's output when the case fails."""
    def wrap(case):
        def run():
            binary, textures = program_paths()
            server = XServer(width, height, window_manager)
            program = Program(server, binary, textures, **options)
            try:
                case(server, program)
            except Failure:
                print(program.output(), file=sys.stderr)
                raise
            finally:
                program.stop()
                server.close()
        return run
    return wrap


def exit_status(code):
    """The exit status as the program meant it (-1 arrives as 255)."""
    return code - 256 if code > 127 else code


def run_cases(cases):
    """Runs named test functions; prints a closing line a CI can read."""
    passed = failed = 0
    only = sys.argv[3:] if len(sys.argv) > 3 else None
    for name, case in cases:
        if only and name not in only:
            continue
        started = time.time()
        try:
            case()
            passed += 1
            print(f"ok     {name} ({time.time() - started:.1f} s)", flush=True)
        except Exception as error:  # report every kind of failure and go on
            failed += 1
            print(f"FAILED {name}: {error}", flush=True)
    print(f"{passed} passed, {failed} failed")
    return 0 if failed == 0 else 1
