"""Private X servers and the windows on them, for the tests (a minimal form)."""
import os
import re
import subprocess
import time


class Display:
    def __init__(self, size="1024x768", wm=False):
        self.size, self.wm = size, wm

    def __enter__(self):
        read_end, write_end = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", self.size + "x24",
             "-noreset", "-nolisten", "tcp"], pass_fds=(write_end,),
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as numbers:
            self.name = ":" + numbers.readline().strip()
        assert self.name != ":", "Xvfb did not start"
        self.env = dict(os.environ, DISPLAY=self.name)
        return self

    def __exit__(self, *exc):
        self.server.terminate()
        self.server.wait()


def windows(env):
    for _ in range(10):
        listing = subprocess.run(["xwininfo", "-root", "-tree"], env=env,
                                 capture_output=True, text=True)
        if listing.returncode == 0:
            return [(int(w, 16), n) for w, n in re.findall(r'^\s*(0x[0-9a-f]+) "(.*)":',
                                                           listing.stdout, re.M)]
    raise AssertionError("xwininfo failed: " + listing.stderr)


def wait_until(predicate, timeout=20, what="condition"):
    deadline = time.time() + timeout
    while time.time() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(0.1)
    raise AssertionError("timed out waiting for " + what)
