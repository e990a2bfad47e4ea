#!/usr/bin/env python3
# The one way the tests start an X server and find windows on it.
#
#     python3 tests/display.py [--size WxH] [--depth N] [--wm] -- CMD [ARGS...]
#
# runs CMD with DISPLAY set: on the current display when there is one and
# no option is given, otherwise on a private Xvfb (1024x768 at 24 bits unless
# told, with openbox for --wm) that lives as long as CMD. Exits with CMD's
# status.

import argparse
import os
import re
import subprocess
import sys
import time


def wait_until(predicate, timeout=20, what="the condition"):
    # Polls the predicate until it gives a truthy value, and returns that.
    deadline = time.monotonic() + timeout
    while not (value := predicate()):
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(0.05)
    return value


def windows(env):
    # (id, name) of the named windows in the tree. A window that goes away
    # while the tree is read makes xwininfo fail; the listing is then redone.
    # A listing that hangs (seen once on a server just started) is redone too.
    for _ in range(50):
        try:
            listing = subprocess.run(["xwininfo", "-root", "-tree"], env=env, capture_output=True,
                                     text=True, errors="replace", timeout=10)
        except subprocess.TimeoutExpired as hung:
            listing = subprocess.CompletedProcess(hung.cmd, -1, "", "it hung")
        if listing.returncode == 0:
            return [(int(wid, 16), name) for wid, name in
                    re.findall(r'^\s*(0x[0-9a-f]+) "(.*)":', listing.stdout, re.M)]
        time.sleep(0.02)
    raise AssertionError(f"xwininfo keeps failing: {listing.stderr.strip()}")


class Display:
    # A private Xvfb, and openbox on it with wm=True, for a with-block.
    def __init__(self, size="1024x768", wm=False, depth=24):
        self.size, self.wm, self.depth, self.processes = size, wm, depth, []

    def __enter__(self):
        read_end, write_end = os.pipe()
        # -noreset: otherwise the server resets, and re-centres the pointer,
        # whenever its last client leaves.
        self.processes.append(subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{self.size}x{self.depth}",
             "-noreset", "-nolisten", "tcp"], pass_fds=(write_end,),
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        os.close(write_end)
        with os.fdopen(read_end) as numbers:
            self.name = ":" + numbers.readline().strip()  # "" when Xvfb failed
        self.env = dict(os.environ, DISPLAY=self.name)
        if self.name == ":":  # it has ended
            raise RuntimeError("Xvfb did not start")
        if self.wm:
            self.processes.append(subprocess.Popen(
                ["openbox", "--sm-disable"], env=self.env,
                stdout=subprocess.DEVNULL, stderr=subprocess.STDOUT))
            wait_until(lambda: subprocess.run(["wmctrl", "-m"], env=self.env,
                                              capture_output=True).returncode == 0,
                       what="openbox to manage the screen")
        return self

    def __exit__(self, *_):
        for process in reversed(self.processes):
            process.terminate()
            process.wait()


if __name__ == "__main__":
    parser = argparse.ArgumentParser(
        usage="display.py [--size WxH] [--depth N] [--wm] -- CMD [ARGS...]")
    parser.add_argument("--size", help="of a private screen (default 1024x768)")
    parser.add_argument("--depth", type=int, help="of a private screen's colour (default 24)")
    parser.add_argument("--wm", action="store_true", help="with openbox")
    parser.add_argument("command", nargs="+")
    args = parser.parse_args()
    try:
        if os.environ.get("DISPLAY") and not (args.size or args.depth or args.wm):
            status = subprocess.call(args.command)
        else:
            with Display(args.size or "1024x768", args.wm, args.depth or 24) as display:
                status = subprocess.call(args.command, env=display.env)
    except (OSError, RuntimeError) as error:  # tools/install-deps.sh test installs Xvfb
        sys.exit(f"display.py: {error}")
    sys.exit(status if status >= 0 else 128 - status)  # killed by a signal: as a shell says it
