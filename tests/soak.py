#!/usr/bin/env python3
"""A long run of the program as a restless person would drive it: random
keys, mouse moves, minimising, and window/fullscreen switches spread over the
run, on a private 800 x 600 server with openbox. Logs the resident memory
every few seconds, ends the program with Escape, and exits 1 when it died,
ended with a status other than 0, showed an error box, or printed a
sanitizer report or crash message."""

import argparse
import os
import random
import shutil
import signal
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "program"))
from drive import Display, Run, wait_until, windows  # noqa: E402

here = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
parser = argparse.ArgumentParser(description=__doc__.split(":")[0])
parser.add_argument("program", nargs="?", default=os.path.join(here, "build", "tenebrel"))
parser.add_argument("-d", "--duration", default="5m", help="seconds, or with s/m/h (default 5m)")
parser.add_argument("-t", "--toggles", type=int, default=50, help="switches (default 50)")
parser.add_argument("-i", "--interval", type=float, default=3, help="seconds between memory samples")
parser.add_argument("-s", "--seed", type=int, default=random.randrange(100000))
args = parser.parse_args()
try:
    duration = float(args.duration.rstrip("smh")) * {"m": 60, "h": 3600}.get(args.duration[-1], 1)
except ValueError:
    parser.error(f"duration must be seconds, or a number with s, m or h, not {args.duration!r}")
random.seed(args.seed)
# Memory errors and undefined behaviour count; the GL driver's blocks kept
# until exit are not the program's, so leaks are left to the memory log.
os.environ.setdefault("ASAN_OPTIONS", "detect_leaks=0")
os.environ.setdefault("UBSAN_OPTIONS", "print_stacktrace=1")
out = tempfile.mkdtemp(prefix="tenebrel-soak-")
rss_log = open(os.path.join(out, "rss.log"), "w")
counts = dict(keys=0, moves=0, minimised=0, toggles=0, boxes=0)
problems = []

with Display("800x600", wm=True) as display:
    p = Run(display, os.path.abspath(args.program), os.path.dirname(os.path.abspath(args.program)))
    try:
        p.answer("Start FullScreen?", "Escape")
        p.window("Tenebrel")
        started = time.monotonic()
        elapsed = lambda: time.monotonic() - started
        next_sample = 0
        while elapsed() < duration and p.process.poll() is None:
            if elapsed() >= next_sample:
                try:
                    with open(f"/proc/{p.process.pid}/status") as status:
                        rss = [line.split()[1] for line in status if line.startswith("VmRSS")]
                except OSError:  # it has just ended; the loop's test says so next
                    rss = []
                print(f"{elapsed():.0f} {rss[0] if rss else '?'}", file=rss_log, flush=True)
                next_sample += args.interval
            if any(name == "Error" for _, name in windows(p.env)):
                counts["boxes"] += 1
                p.answer("Error", "Return")
            if counts["toggles"] < args.toggles and \
                    elapsed() > duration * (counts["toggles"] + 1) / (args.toggles + 1):
                before = p.window("Tenebrel")
                p.process.send_signal(signal.SIGUSR1)
                wait_until(lambda: p.window("Tenebrel") != before, what="the switched window")
                counts["toggles"] += 1
                p.focus()
            elif random.random() < 0.6:
                key = random.choice("w a s d Up Down Left Right i k j l u o space".split())
                p.x("xdotool", "keydown", key)
                time.sleep(random.uniform(0.1, 0.6))
                p.x("xdotool", "keyup", key)
                counts["keys"] += 1
            elif random.random() < 0.75:
                p.x("xdotool", "mousemove", str(random.randrange(800)), str(random.randrange(600)))
                counts["moves"] += 1
            else:
                p.x("xdotool", "windowminimize", "--sync", str(p.window("Tenebrel")))
                time.sleep(random.uniform(0.5, 3))
                p.x("wmctrl", "-a", "Tenebrel")
                counts["minimised"] += 1
        if p.process.poll() is not None:
            problems.append(f"the program ended by itself after {elapsed():.0f} s")
        else:
            p.x("wmctrl", "-a", "Tenebrel")
            p.hold("Escape", lambda: p.process.poll() is not None, "Escape to end it")
        status = p.status(timeout=120)
        if status != 0:
            problems.append(f"exit status {status}")
        if counts["boxes"]:
            problems.append(f"{counts['boxes']} error boxes")
        signs = ("Sanitizer", "runtime error:", "Segmentation fault", "Aborted", "terminate called")
        if any(sign in p.output() for sign in signs):
            problems.append("a sanitizer report or crash message in program.log")
    except AssertionError as error:
        problems.append(str(error))
    finally:
        shutil.copy(os.path.join(p.folder, "program.log"), out)
        p.stop()

samples = [line.split() for line in open(os.path.join(out, "rss.log"))]
rss = [int(kb) for _, kb in samples if kb.isdigit()]
print(f"soak run of {args.program}, seed {args.seed}, logs in {out}")
print("  " + ", ".join(f"{n} {what}" for what, n in counts.items()))
if rss:
    print(f"  RSS kB: {rss[0]} at start, {max(rss)} at most, {rss[-1]} at the end")
for problem in problems:
    print("  PROBLEM: " + problem)
print("  result: " + ("FAILED" if problems else "PASSED"))
sys.exit(1 if problems else 0)
