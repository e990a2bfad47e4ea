# The page on a phone, as Chromium emulates one (its metrics and touch),
# beside the desktop page: the layout, looking by a finger's drag against
# the mouse's turn, the touch controls held as keys, and what lets them go.
#
# Usage: test_web_phone.py PAGE_FOLDER HOST_BUILD [CASE ...]   (under /usr/bin/python3)

import contextlib
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from drive import W, is_marker, mean, mismatches, points, run_cases  # noqa: E402
from selenium.webdriver.common.action_chains import ActionChains  # noqa: E402
from test_web import alike, opened  # noqa: E402

# A phone as Chromium emulates one, held upright and sideways.
PORTRAIT = {"width": 390, "height": 844, "deviceScaleFactor": 3, "mobile": True,
            "screenOrientation": {"type": "portraitPrimary", "angle": 0}}
LANDSCAPE = dict(PORTRAIT, width=844, height=390,
                 screenOrientation={"type": "landscapePrimary", "angle": 90})


def fits(p):  # the whole picture in the viewport, 4:3, and nothing wider than the viewport
    box, view, wide = p.js("var r = document.getElementById('screen').getBoundingClientRect();"
                           " return [[r.left, r.top, r.right, r.bottom], [innerWidth, innerHeight],"
                           " document.documentElement.scrollWidth]")
    assert 0 <= box[0] and 0 <= box[1] and box[2] <= view[0] and box[3] <= view[1] and \
        abs(3 * (box[2] - box[0]) - 4 * (box[3] - box[1])) < 4 and wide <= view[0], (box, view, wide)


def unmoved(p):
    assert p.js("return [scrollX, scrollY, visualViewport.scale]") == [0, 0, 1], "scrolled or zoomed"


def shown(p, selector):  # whether each element there is shown
    return p.js("return Array.from(document.querySelectorAll(arguments[0]), e => e.offsetParent !== null)",
                selector)


@contextlib.contextmanager
def fingers(p, *keys, end="touchEnd"):  # a finger on each of these controls until the block ends
    p.touch("touchStart", *[(i, *p.middle(f'[data-key="{k}"]')) for i, k in enumerate(keys, 1)])
    try:
        yield
    finally:
        p.touch(end)


def going(p, before, *way):
    # A check: the light's marker has gone 10 px or more from before's each
    # way given for x and y (-1 or 1; 0 for either).
    was = points(before, is_marker)

    def gone():
        now = points(p.shot(), is_marker)
        return now and all((mean(now, a) - mean(was, a)) * w > 10 for a, w in enumerate(way) if w)
    return gone


def turn_left(p, steps=2, second=False):
    # Four strokes of a finger leftwards across the picture, each worth 390
    # px of mouse movement, in that many steps. In 8 steps of 48.75 px only
    # fractions carried over add up to 390 (rounded each, they come to 392);
    # 2 steps of 195 px only turn. Midway, if
    # asked, a second finger on the picture moves about, to be ignored.
    left, top, width, height = p.js("var r = document.getElementById('canvas')"
                                    ".getBoundingClientRect(); return [r.left, r.top, r.width, r.height]")
    stroke, y = 390 * width / W, top + height / 2
    for n in range(4):
        p.touch("touchStart", (1, left + 0.9 * width, y))
        for k in range(1, steps + 1):
            x = left + 0.9 * width - stroke * k / steps
            if second and n == 1 and k == steps // 2:
                for d in range(0, 120, 40):
                    p.touch("touchMove", (1, x, y), (2, left + width / 3 + d, top + 20 + d))
            p.touch("touchMove", (1, x, y))
        p.touch("touchEnd")


def case_a_phone_fits_and_a_drag_turns_as_the_mouse_does():
    # The desktop page, without touch, shows no touch controls; the
    # mouse's four moves of 390 px give the reference.
    with opened(own=True) as p:
        assert not any(shown(p, "[data-key], .for-touch")), "touch controls on a desktop"
        p.answer("Start FullScreen?", "No")
        for _ in range(4):
            p.look(-390)
        mouse = p.still()
    with opened(phone=PORTRAIT) as p:
        fits(p)
        assert all(shown(p, "[data-key], .for-touch")) and not any(shown(p, ".for-keys"))
        p.answer("Start FullScreen?", "No")
        p.still()
        turn_left(p, steps=8, second=True)
        turned = p.still()
        alike(turned, mouse, "the mouse's turn")
        # The panel under the controls by touch: a tap on the volumes' box
        # shows them, another hides them again.
        for shows in (True, False):
            p.touch("touchStart", (1, *p.middle("#volumes")))
            p.touch("touchEnd")
            p.wait(lambda: p.js("return document.getElementById('volumes').checked") == shows and
                   bool(mismatches(p.shot(), turned, 0)) == shows, what=f"volumes shown: {shows}")
        unmoved(p)


def case_phone_controls_hold_as_keys_and_let_go():
    with opened(phone=PORTRAIT) as p:
        p.answer("Start FullScreen?", "No")
        p.still()
        turn_left(p)  # to the back wall; backed out from there, the light's marker comes into view
        with fingers(p, "S"):
            p.wait(lambda: len(points(p.shot(), is_marker)) > 20, timeout=60, what="the marker")
        was = p.still()
        with fingers(p, "L", "K"):  # two at once: left and up
            p.wait(going(p, was, -1, -1), timeout=60, what="L and K to move the light")
        was = p.still()  # let go, the light stops
        # A finger from the rays' control onto the picture and across it
        # neither keeps the rays nor turns the view.
        x, y = p.middle('[data-key="Space"]')
        p.touch("touchStart", (1, x, y))
        for step in range(1, 6):
            p.touch("touchMove", (1, x - 30 * step, y - 80 * step))
        assert not mismatches(p.still(), was, 0), "a slide from a control onto the picture acted"
        p.touch("touchEnd")
        # A control and a key held, the page loses the keyboard to a frame
        # of its own: both are let go.
        with fingers(p, "J"):
            ActionChains(p.driver).key_down("i").perform()
            p.wait(going(p, was, 1, 1), timeout=60, what="J and the key I to move the light")
            p.js("var f = document.createElement('iframe'); document.body.appendChild(f);"
                 " f.contentWindow.focus()")
            was = p.still()
            ActionChains(p.driver).key_up("i").perform()
        p.js("document.querySelector('iframe').remove(); window.focus()")
        with fingers(p, "L", end="touchCancel"):  # the system takes the touches
            p.wait(going(p, was, -1, 0), timeout=60, what="L before a cancel")
        was = p.still()
        with fingers(p, "J"):  # the phone turned while a control is held
            p.wait(going(p, was, 1, 0), timeout=60, what="J before a turn")
            p.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", LANDSCAPE)
            p.wait(lambda: p.js("return innerWidth") == LANDSCAPE["width"], what="landscape")
            p.still()
        fits(p)
        unmoved(p)


if __name__ == "__main__":
    sys.exit(run_cases([f for name, f in list(globals().items()) if name.startswith("case_")]))
