#!/usr/bin/env python3
"""The one way the tests start an X server and find windows on it.

    python3 tests/display.py [--size WxH] [--wm] -- CMD [ARGS...]

runs CMD with DISPLAY set: on the current display when there is one and
neither option is given, otherwise on a private Xvfb (with openbox for
--wm) that lives as long as CMD. Exits with CMD's status.
"""

import os
import re
import subprocess
import sys
import time


def wait_until(predicate, timeout=20, what="the condition"):
    """Polls predicate() until it gives a truthy value, and returns that."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(0.05)


def windows(env):
    """(id, name) of the named windows in the tree. A window that goes away
    while the tree is read makes xwininfo fail; the listing is then redone."""
    for _ in range(50):
        result = subprocess.run(["xwininfo", "-root", "-tree"], env=env, capture_output=True,
                                text=True, errors="replace", timeout=30)
        if result.returncode == 0:
            return [(int(wid, 16), name) for wid, name in
                    re.findall(r'^\s*(0x[0-9a-f]+) "(.*)":', result.stdout, re.M)]
        time.sleep(0.02)
    raise AssertionError(f"xwininfo keeps failing: {result.stderr.strip()}")


class Display:
    """A private Xvfb (and openbox with wm=True) for the with-block."""

    def __init__(self, size="1024x768", wm=False):
        self.size, self.wm, self.processes = size, wm, []

    def __enter__(self):
        read_end, write_end = os.pipe()
        # -noreset: otherwise the server resets, and re-centres the pointer,
        # whenever its last client leaves.
        self.processes.append(subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", self.size + "x24",
             "-noreset", "-nolisten", "tcp"], pass_fds=(write_end,),
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        os.close(write_end)
        with os.fdopen(read_end) as numbers:
            number = numbers.readline().strip()  # at EOF when Xvfb failed
        if not number:
            self.__exit__()
            raise RuntimeError("Xvfb did not start")
        self.name = ":" + number
        self.env = dict(os.environ, DISPLAY=self.name)
        if self.wm:
            self.processes.append(subprocess.Popen(
                ["openbox", "--sm-disable"], env=self.env,
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
            wait_until(lambda: subprocess.run(["wmctrl", "-m"], env=self.env,
                                              capture_output=True).returncode == 0,
                       what="openbox to manage the screen")
        return self

    def __exit__(self, *_):
        for process in reversed(self.processes):
            process.terminate()
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()


def main(args):
    size, wm = None, False
    while args and args[0] != "--":
        option = args.pop(0)
        if option == "--wm":
            wm = True
        elif option == "--size" and args and re.fullmatch(r"\d+x\d+", args[0]):
            size = args.pop(0)
        else:
            sys.exit(f"display.py: unknown option {option!r}; "
                     "usage: display.py [--size WxH] [--wm] -- CMD [ARGS...]")
    if len(args) < 2:
        sys.exit("usage: display.py [--size WxH] [--wm] -- CMD [ARGS...]")
    if os.environ.get("DISPLAY") and size is None and not wm:
        status = subprocess.call(args[1:])
    else:
        try:
            with Display(size or "1024x768", wm) as display:
                status = subprocess.call(args[1:], env=display.env)
        except FileNotFoundError as missing:
            sys.exit(f"display.py: {missing.filename} is not installed (tools/install-deps.sh test)")
    return status if status >= 0 else 128 - status  # killed by a signal: as a shell says it


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
