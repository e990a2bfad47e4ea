# The page in a real headless Chromium, as a visitor meets it: the start
# question answered No, its picture against the Linux build's at the same
# poses, a light key, the frame rate's digits, the toggle, a lost context,
# Escape; a missing texture and a browser without WebGL 2 named on the page.
# The page on a phone: test_web_phone.py, with the Page and opened() here.
#
# Usage: test_web.py PAGE_FOLDER HOST_BUILD [CASE ...]   (under /usr/bin/python3)

import base64
import collections
import contextlib
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from browser import chromium, served  # noqa: E402
from drive import (NO_TEXT, W, H, Display, at, is_marker, linux_frames, mean, mismatches,  # noqa: E402
                   points, run_cases, wait_until)
from selenium.webdriver.common.action_chains import ActionChains  # noqa: E402
from selenium.webdriver.common.keys import Keys  # noqa: E402
from web_panel import panel_is_its_keys  # noqa: E402

page, host = (os.path.abspath(a) for a in sys.argv[1:3])
# SwiftShader and llvmpipe round some pixels differently: a step or two in the
# textures' filtering anywhere, and along the shadow's edges a silhouette
# that one of the ten passes draws a pixel further, which moves that pixel
# by one pass's share of the darkening, 0.095 x 0.45 x 255 = 11 at most.
# Allowed: 2 everywhere, 11 at no more than 0.5 % of the places; a shadow
# of another area or edge differs by several passes' shares, over more.
TOLERANCE, ONE_PASS, SHARE = 2, 11, 0.005
# Each frame the program shows ends by asking for the browser's next one.
# The test holds those asks, from before any script of the page runs, and
# lets one frame be drawn at a time, when it waits for something: the page
# draws no frame that no check looks at (each costs the software renderer a
# good part of a second of the processor), and between frames the browser
# is free to answer the test at once. testFrames counts the frames let; a
# frame let while none is asked for goes to the next ask (testOwed).
STEP_FRAMES = ("window.testFrames = 0; window.testAsks = 0; var testHeld = [], testOwed = false,"
               " testAsk = window.requestAnimationFrame;"
               " window.requestAnimationFrame = function (f) { ++testAsks; if (!testOwed) return"
               " testHeld.push(f); testOwed = false; ++testFrames; return testAsk.call(window, f); };"
               " window.testStep = function () { var now = testHeld; testHeld = [];"
               " if (!now.length) return testOwed = true; ++testFrames;"
               " now.forEach(f => testAsk.call(window, f)); };")
# Lets the next frame be drawn, and waits until the program asks for the
# one after it (or a while, if it draws none: a box is open, or it ended).
STEP = ("var done = arguments[0], asked = testAsks; testStep();"
        " (function look(n) { testAsks > asked || n > 200 ? done() : setTimeout(look, 5, n + 1); })(0);")


class Page:
    # The page open in a browser: what a visitor sees of it and does to it.
    # Its shots are what the browser shows at 1:1, or where own, the canvas's
    # own pixels, whatever size the page shows it at. A phone taps.
    def __init__(self, driver, url, phone, own):
        self.driver, self.clicked, self.phone, self.own = driver, None, phone, own
        driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": STEP_FRAMES})
        driver.get(url)

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def wait(self, predicate, timeout=20, what="the condition"):
        # Lets a frame be drawn before each look but the first; the
        # predicate's value.
        return wait_until(lambda: predicate() or self.driver.execute_async_script(STEP), timeout, what)

    def box(self):  # the open box's caption and text, or None
        return self.js("var b = document.getElementById('box'); return b.hidden ? null :"
                       " [b.querySelector('.caption').textContent, b.querySelector('.text').textContent]")

    def answer(self, caption, button):  # clicks (taps, on a phone) the box's button; its text
        shown = self.wait(lambda: (box := self.box()) and box[0] == caption and box,
                          what=f"the box {caption!r}")
        if self.phone:
            self.touch("touchStart", (9, *self.middle("#box button", button)))
            self.touch("touchEnd")
        else:
            self.js("Array.from(document.querySelectorAll('#box button'))"
                    ".find(b => b.textContent == arguments[0]).click()", button)
        self.wait(lambda: self.box() != shown, what=f"the box {caption!r} to go")
        return shown[1]

    def frames(self):  # frames shown so far, reading no pixel
        return self.js("return window.testFrames")

    def listeners(self, kind):  # how many listeners of the kind the document has
        document = self.driver.execute_cdp_cmd("Runtime.evaluate", {"expression": "document"})
        return sum(listener["type"] == kind for listener in self.driver.execute_cdp_cmd(
            "DOMDebugger.getEventListeners", {"objectId": document["result"]["objectId"]})["listeners"])

    def shot(self):  # three bytes a pixel
        if self.own:
            png = self.js("var c = document.getElementById('canvas'), d = document.createElement"
                          "('canvas'); d.width = c.width; d.height = c.height; d.getContext('2d')"
                          ".drawImage(c, 0, 0); return d.toDataURL('image/png').split(',')[1]")
        else:
            r = self.js("var r = document.getElementById('canvas').getBoundingClientRect();"
                        " return [r.left + scrollX, r.top + scrollY]")
            png = self.driver.execute_cdp_cmd("Page.captureScreenshot", {
                "format": "png", "optimizeForSpeed": True,
                "clip": {"x": r[0], "y": r[1], "width": W, "height": H, "scale": 1}})["data"]
        return subprocess.run(["convert", "png:-", "-depth", "8", "rgb:-"], check=True, timeout=60,
                              input=base64.b64decode(png), capture_output=True).stdout

    def still(self):
        # The picture once three shots over a second, new frames between
        # them, are the same but for the frame rate's corner.
        shots = []

        def settled():
            frame = self.frames()
            shots.append((time.monotonic(), frame, self.shot()))
            if mismatches(shots[-1][2], shots[0][2], 0):
                del shots[:-1]
            return (len(shots) > 2 and shots[-1][0] - shots[0][0] >= 1 and
                    shots[-1][1] > shots[0][1] and shots[-1][2])
        return self.wait(settled, timeout=120, what="the picture to settle")

    def look(self, dx):
        # Moves the captured pointer by dx, as a mouse does, and waits for two
        # frames: the program takes the move in the first that follows.
        if self.clicked is None:  # a click on the picture's middle captures the pointer first
            self.clicked = self.js("var r = document.getElementById('screen').getBoundingClientRect();"
                                   " return [Math.round(r.left + 400), Math.round(r.top + 300)]")
            self.mouse("mouseMoved")
            for kind in ("mousePressed", "mouseReleased"):
                self.mouse(kind, button="left", clickCount=1)
            self.wait(lambda: self.js("return document.pointerLockElement !== null"),
                      what="the pointer captured")
            # The program takes the focus the click gave in a frame of its
            # own, before the pointer moves, as it would from a hand.
            self.frames_pass(2)
        self.clicked[0] += dx
        self.mouse("mouseMoved")
        self.frames_pass(2)

    def frames_pass(self, count):
        frame = self.frames()
        self.wait(lambda: self.frames() >= frame + count, what=f"{count} frames")

    def mouse(self, kind, **more):  # exact, and free to leave the page, unlike WebDriver's
        self.driver.execute_cdp_cmd("Input.dispatchMouseEvent", {
            "type": kind, "x": self.clicked[0], "y": self.clicked[1], **more})

    def hold(self, key, until, what):
        # Holds the key until the page shows that it was taken: keys are read
        # once a frame.
        ActionChains(self.driver).key_down(key).perform()
        try:
            return self.wait(until, timeout=60, what=what)
        finally:
            ActionChains(self.driver).key_up(key).perform()

    def touch(self, kind, *fingers):  # (id, x, y) in CSS pixels of every finger still down
        self.driver.execute_cdp_cmd("Input.dispatchTouchEvent", {
            "type": kind, "touchPoints": [{"id": f, "x": x, "y": y} for f, x, y in fingers]})

    def middle(self, selector, text=None):  # of the first element there (with that text)
        return self.js("var r = Array.from(document.querySelectorAll(arguments[0])).find(e =>"
                       " arguments[1] === null || e.textContent == arguments[1])"
                       ".getBoundingClientRect(); return [r.left + r.width / 2, r.top + r.height / 2]",
                       selector, text)

    def ended(self):  # the end's exit status and reason, or None while it runs
        return self.js("var e = document.getElementById('end'); return e.hidden ? null :"
                       " [e.querySelector('#end-status').textContent,"
                       " e.querySelector('#end-reason').textContent]")


# A WebGL canvas's pixels can be read only while its frame is being drawn,
# unless it keeps them after showing them: it is made to, which changes
# nothing that is drawn.
KEEP_PIXELS = ("var make = HTMLCanvasElement.prototype.getContext;"
               " HTMLCanvasElement.prototype.getContext = function (kind, attributes) {"
               " return make.call(this, kind, {...attributes, preserveDrawingBuffer: true}); };")


# The program's clock goes by the frames the test lets it show, 100 ms a
# frame, as on a machine that draws 10 frames a second, not by the
# machine's: a held key or control then moves as far each frame however slow
# or busy the machine is, and reaches what a test waits for in as many
# frames everywhere, each looked at before the next is drawn.
FRAME_CLOCK = ("var start = performance.now();"
               " performance.now = () => start + 100 * (window.testFrames || 0);")


@contextlib.contextmanager
def opened(folder=None, flags=(), phone=None, own=False, query=""):
    # The page on the frames' clock, on the phone given (its metrics, with
    # touch), or with the canvas's own pixels for its shots, as a phone's
    # always are; its address ending with the query given.
    with served(folder or page) as url, chromium(*flags) as driver:
        if phone:
            driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", phone)
            driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled",
                                   {"enabled": True, "maxTouchPoints": 5})
        for script in [KEEP_PIXELS] * bool(phone or own) + [FRAME_CLOCK]:
            driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": script})
        yield Page(driver, url + query, bool(phone), bool(phone or own))


def alike(shot, reference, what):
    # Within what SwiftShader and llvmpipe may round differently (above).
    wrong = mismatches(shot, reference, TOLERANCE)
    far = [(x, y) for x, y in wrong
           if max(abs(a - b) for a, b in zip(at(shot, x, y), at(reference, x, y))) > ONE_PASS]
    assert not far and len(wrong) <= SHARE * W * H / 4, \
        f"{len(wrong)} places differ from {what}, {len(far)} by more than one pass: {(far or wrong)[:5]}"


def text_colour(shot):  # the commonest colour in the frame rate's corner, and its count
    corner = collections.Counter(at(shot, x, y) for y in range(NO_TEXT[1], H)
                                 for x in range(NO_TEXT[0], NO_TEXT[2]))
    return corner.most_common(1)[0]


def to_the_back_wall(p):  # the desktop tests' quarter turn: 4 x 0.39 + 0.011 rad left
    for dx in (-390, -390, -390, -390, -11):
        p.look(dx)
    return p.still()


def case_its_picture_is_linux_and_the_keys_work():
    # The Linux build's es3 picture first, at the poses compared below.
    with Display("1024x768") as display:
        first, back_wall = linux_frames(display, host, env={"TENEBREL_GL": "es3"})
    with opened() as p:
        p.answer("Start FullScreen?", "No")
        for pose, reference in (("first", first), ("turned", back_wall)):
            shot = p.still() if pose == "first" else to_the_back_wall(p)
            alike(shot, reference, f"Linux's {pose} frame")
            # The frame rate in the desktop's place and colour: the corner's
            # commonest colour, over the area of a few digits.
            text = [text_colour(s) for s in (shot, reference)]
            assert text[0][0] == text[1][0] and text[0][1] > 400, f"no digits as Linux's: {text}"
        # Backed out of the box's open front: the light's marker in view too.
        # Held until it first shows, large: it shrinks as the view backs on,
        # faster than a busy machine's pictures may follow.
        p.hold("s", lambda: len(points(p.shot(), is_marker)) > 20, "the marker in view")
        was = p.still()
        p.hold("l", lambda: mean(points(p.shot(), is_marker), 0) <
               mean(points(was, is_marker), 0) - 10, "L moves the light")
        # Escape lets the pointer go; with the pointer free, it ends the program.
        ActionChains(p.driver).send_keys(Keys.ESCAPE).perform()
        p.wait(lambda: p.js("return document.pointerLockElement === null"), what="the pointer free")
        end = p.hold(Keys.ESCAPE, p.ended, "Escape to end it")
        assert end[0] == "Exit status 0.", end


def case_the_toggle_and_a_lost_context_keep_the_picture():
    with opened() as p:
        p.answer("Start FullScreen?", "No")
        first = p.still()
        fullscreen = "return document.fullscreenElement !== null"
        p.driver.find_element("id", "toggle").click()
        p.wait(lambda: p.js(fullscreen), what="fullscreen")
        p.wait(lambda: p.frames() > 0 and "fullscreen" == p.js(
            "return document.getElementById('canvas').className"), what="the fullscreen canvas")
        ActionChains(p.driver).key_down(Keys.ALT).send_keys(Keys.ENTER).key_up(Keys.ALT).perform()
        p.wait(lambda: not p.js(fullscreen), what="the page back from fullscreen")
        wrong = mismatches(p.still(), first, 0)
        assert not wrong, f"after the toggle there and back {len(wrong)} places differ: {wrong[:5]}"
        p.js("document.getElementById('canvas').getContext('webgl2')"
             ".getExtension('WEBGL_lose_context').loseContext()")
        p.wait(lambda: "the WebGL context was lost" in p.js("return log.textContent"),
               what="the lost context named")
        wrong = mismatches(p.still(), first, 0)
        assert not wrong, f"after the lost context {len(wrong)} places differ: {wrong[:5]}"
        # The window made anew three times, the page still hears each key once.
        assert p.listeners("keydown") == p.listeners("keyup") == 1, "the keys are heard twice"
        panel_is_its_keys(p, first)
        p.driver.find_element("id", "close").click()
        assert p.wait(p.ended, what="the end")[0] == "Exit status 0."


def case_a_missing_texture_is_named_with_status_1():
    folder = tempfile.mkdtemp(prefix="tenebrel-page-")
    try:
        shutil.copytree(page, folder, dirs_exist_ok=True)
        os.remove(os.path.join(folder, "Ziegel1.bmp"))
        with opened(folder) as p:
            p.answer("Start FullScreen?", "No")
            assert p.answer("Error", "OK") == "Failed to open DIB file Ziegel1.bmp.\n"
            end = p.wait(p.ended, what="the end")
            assert end[0] == "Exit status 1." and "Ziegel1.bmp" in end[1], end
    finally:
        shutil.rmtree(folder)


def case_without_webgl_2_it_says_so_with_status_1():
    with opened(flags=["--disable-webgl2"]) as p:
        p.answer("Start FullScreen?", "No")
        assert p.answer("Error", "OK") == "Error Creating OpenGL Window"
        end = p.wait(p.ended, what="the end")
        assert end[0] == "Exit status 1." and "no WebGL 2" in end[1], end


def case_the_address_gives_the_options():
    # The benchmark asks nothing, and its lines are among the page's messages.
    with opened(query="?benchmark=2") as p:
        end = p.wait(p.ended, timeout=120, what="the end")
        log = p.js("return log.textContent")
        assert end[0] == "Exit status 0." and p.box() is None, (end, log)
        for line in ("second 2: ", "frames a second: minimum ", "renderer: es3", "GL renderer: ",
                     "window: 800 x 600"):
            assert "\n" + line in log, f"no {line!r} in {log}"
        assert "Start FullScreen?" not in log and p.js("return messages.open"), log
        # A wrong one is named, and the page says where the options are.
        p.driver.get(p.driver.current_url.partition("?")[0] + "?renderer=vulkan")
        end = p.wait(p.ended, what="the end")
        assert end[0] == "Exit status 2." and "'vulkan' is no renderer" in end[1] and \
            "index.html?help" in end[1], end


if __name__ == "__main__":
    sys.exit(run_cases([f for name, f in list(globals().items()) if name.startswith("case_")]))
