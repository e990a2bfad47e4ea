#!/usr/bin/env python3
# A long run of the program as a restless person would drive it: random
# keys, mouse moves, minimising, and window/fullscreen switches spread over
# the run, on a private 800 x 600 server with openbox. Logs the resident
# memory every 3 seconds, ends the program with Escape, and exits 1 when it
# died, ended with a status other than 0, showed an error box, or printed a
# sanitizer report or crash message.

import argparse
import contextlib
import os
import random
import signal
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "program"))
from drive import Display, Run, wait_until, windows  # noqa: E402


def seconds(text):  # 90, 90s, 5m or 1h
    return float(text.rstrip("smh")) * {"m": 60, "h": 3600}.get(text[-1], 1)


parser = argparse.ArgumentParser(description="A long run of the program, driven at random.")
parser.add_argument("program", nargs="?",
                    default=os.path.join(os.path.dirname(__file__), "..", "build", "tenebrel"))
parser.add_argument("-d", "--duration", type=seconds, default="5m", help="90, 90s, 5m or 1h")
parser.add_argument("-t", "--toggles", type=int, default=50, help="switches over the run (50)")
parser.add_argument("-s", "--seed", type=int, default=random.randrange(100000))
args = parser.parse_args()
random.seed(args.seed)
# Memory errors and undefined behaviour count; the GL driver's blocks kept
# until exit are not the program's, so leaks are judged from the memory log.
os.environ.setdefault("ASAN_OPTIONS", "detect_leaks=0")
program, out = os.path.abspath(args.program), tempfile.mkdtemp(prefix="tenebrel-soak-")
problems, rss, toggles, now = [], open(os.path.join(out, "rss.log"), "w", 1), 0, 0

with Display("800x600", wm=True) as display:
    p = Run(display, program, os.path.dirname(program))
    try:
        p.answer("Start FullScreen?", "Escape")
        started, sampled = time.monotonic(), -3
        while (now := time.monotonic() - started) < args.duration and p.process.poll() is None:
            if now - sampled >= 3:
                sampled = now
                with contextlib.suppress(OSError), open(f"/proc/{p.process.pid}/status") as status:
                    rss.writelines(f"{now:.0f} {ln.split()[1]}\n" for ln in status if "VmRSS" in ln)
            if "Error" in dict(windows(p.env)).values():
                problems.append("an error box: " + p.output().splitlines()[-1])
                p.answer("Error", "Return")
            if now > args.duration * (toggles + 1) / (args.toggles + 1):
                before, toggles = p.window(), toggles + 1
                p.process.send_signal(signal.SIGUSR1)
                wait_until(lambda: p.window() != before, what="the switched window")
            elif random.random() < 0.6:
                key = random.choice("w a s d Up Down Left Right i k j l u o space".split())
                p.x("xdotool", "keydown", key, "sleep", f"0.{random.randint(1, 6)}", "keyup", key)
            elif random.random() < 0.75:
                p.x("xdotool", "mousemove", str(random.randrange(800)), str(random.randrange(600)))
            else:
                p.x("xdotool", "windowminimize", "--sync", str(p.window()),
                    "sleep", str(random.randint(1, 6) / 2))
            p.x("wmctrl", "-a", "Tenebrel")  # in front again after a switch or minimising
        if p.process.poll() is None:
            p.hold("Escape", lambda: p.process.poll() is not None, "Escape to end it")
        else:
            problems.append(f"it ended by itself after {now:.0f} s")
        if p.process.wait(120) != 0:
            problems.append(f"exit status {p.process.wait()}")
        if any(s in p.output() for s in ("Sanitizer", "runtime error:", "Segmentation", "Abort")):
            problems.append("a sanitizer report or crash message in program.log")
    except Exception as error:  # what the program printed tells more; it is kept
        problems.append(repr(error))
    finally:
        os.replace(p.log, os.path.join(out, "program.log"))
        p.stop()

print(f"soak run of {program}: seed {args.seed}, {toggles} switches in {now:.0f} s; logs in {out}")
print("".join(f"  PROBLEM: {x}\n" for x in problems) + ("FAILED" if problems else "PASSED"))
sys.exit(1 if problems else 0)
