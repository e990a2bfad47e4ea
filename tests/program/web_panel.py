# The page's panel of settings against the program's keys, in a page that
# test_web.py has open.

from drive import mismatches
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys

# The panel's controls in their tab order, worked from the keyboard as its
# users work them: the keys that change each (Home: three steps at once)
# and that put it back (a step a key), the program's keys that change it,
# and what the control then shows.
PANEL = (("volumes", Keys.SPACE, Keys.SPACE, "v", True),
         ("counts", Keys.SPACE, Keys.SPACE, "c", True),
         ("passes", Keys.HOME, Keys.DOWN * 3, "nnn", "1"),
         ("size", Keys.HOME, Keys.RIGHT * 3, "zzz", "0"),
         ("help", Keys.SPACE, Keys.SPACE, Keys.F1, True))


def panel_is_its_keys(p, base):
    # From the picture base, the program's keys change every setting, typed
    # into the panel's first control (letters are the program's) quicker
    # than frames, and the panel follows them; the panel puts them back,
    # stepping from what the keys left, to base; the panel then gives the
    # keys' very picture. The keys' list then shown names the passes and the
    # light's size, so one picture holds every setting. A focused control
    # keeps the keys that work it: an arrow that flew, a Space that showed
    # the rays, would change the pictures.
    names, chosen = [row[0] for row in PANEL], [row[4] for row in PANEL]
    # What the controls show, whether the panel is busy, and the frames
    # shown; first, if asked, the focus to the first control.
    look = ("if (arguments[1]) document.getElementById(arguments[0][0]).focus(); return ["
            "arguments[0].map(i => { var c = document.getElementById(i); return c.type =="
            " 'checkbox' ? c.checked : c.value; }), document.getElementById('panel').ariaBusy,"
            " window.testFrames]")

    def typed(keys, state, picture=None):
        # The picture once the panel shows the state and is not busy (the
        # program has drawn it) and another frame has been shown: equal to
        # the picture given, if one is.
        ActionChains(p.driver).send_keys(keys).perform()
        frame = p.wait(lambda: (now := p.js(look, names, False))[:2] == [state, "false"] and now[2],
                       what=f"{keys!r} to give the settings {state}")
        return p.wait(lambda: p.frames() > frame and (shot := p.shot()) and
                      (picture is None or not mismatches(shot, picture, 0)) and shot,
                      what=f"{keys!r} to give the picture of the settings {state}")
    was = p.js(look, names, True)[0]
    by_keys = typed("".join(row[3] for row in PANEL), chosen)
    assert mismatches(by_keys, base, 0), "the keys changed nothing"
    typed(Keys.TAB.join(row[2] for row in PANEL), was, base)
    p.js(look, names, True)
    typed(Keys.TAB.join(row[1] for row in PANEL), chosen, by_keys)
    # On in the tab order past Fullscreen and Close to the Messages, which
    # Space opens: the page's own controls keep their keys too. (The page
    # scrolls to them, away from the picture.)
    ActionChains(p.driver).send_keys(Keys.TAB * 3 + Keys.SPACE).perform()
    assert p.js("return document.getElementById('messages').open"), "Space did not open the Messages"
