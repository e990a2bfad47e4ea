#!/usr/bin/python3
# How fast the page draws in a headless Chromium (software WebGL, as a
# browser without a graphics card has it): frames a second after the start
# question is answered No, at the start pose. Several pages (say, two
# versions) are measured in rounds that take them in turn, so that all meet
# the same machine. It prints figures and fails on nothing but a page that
# never draws.
#
#   /usr/bin/python3 tools/bench_page.py [--seconds N] [--rounds N] PAGE_FOLDER...

import argparse
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests"))
from browser import chromium, served  # noqa: E402
from display import wait_until  # noqa: E402

# Each frame the program shows ends by asking for the browser's next one.
COUNT_FRAMES = ("window.benchFrames = 0; var ask = window.requestAnimationFrame;"
                " window.requestAnimationFrame = function (f) { ++benchFrames; return ask.call(window, f); };")


def measure(folder, seconds):
    with served(folder) as url, chromium() as driver:
        driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": COUNT_FRAMES})
        driver.get(url)
        js = driver.execute_script
        wait_until(lambda: js("var b = document.getElementById('box');"
                              " return !!b && !b.hidden && b.querySelectorAll('button').length == 2"),
                   timeout=120, what="the start question")
        js("Array.from(document.querySelectorAll('#box button')).find(b => b.textContent == 'No').click()")
        wait_until(lambda: js("return window.benchFrames") > 5, timeout=120, what="frames")
        start, frames = time.monotonic(), js("return window.benchFrames")
        time.sleep(seconds)
        return (js("return window.benchFrames") - frames) / (time.monotonic() - start)


def main():
    parser = argparse.ArgumentParser(usage="bench_page.py [--seconds N] [--rounds N] PAGE_FOLDER...")
    parser.add_argument("--seconds", type=float, default=20)
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("pages", nargs="+")
    args = parser.parse_args()
    rates = {page: [] for page in args.pages}
    for _ in range(args.rounds):
        for page in args.pages:
            rates[page].append(measure(os.path.abspath(page), args.seconds))
    for page, seen in rates.items():
        print(f"{page}: {sum(seen) / len(seen):.2f} frames per second"
              f" (rounds: {', '.join(f'{r:.2f}' for r in seen)})")


main()
