# The one way the tests serve a page and open it in a real Chromium: headless,
# drawing WebGL with SwiftShader, driven through WebDriver (Debian's
# chromium, chromium-driver and python3-selenium, under /usr/bin/python3).

import atexit
import contextlib
import functools
import http.server
import shutil
import tempfile
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

# The network is closed: nothing that would reach for it.
FLAGS = ["--headless=new", "--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--no-first-run", "--disable-quic", "--window-size=1024,900"]


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".js": "text/javascript"}

    def log_message(self, *_):
        pass


@contextlib.contextmanager
def served(folder):
    # The folder on 127.0.0.1 at a free port, for a with-block: its address.
    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), functools.partial(QuietHandler, directory=folder))
    thread = threading.Thread(target=server.serve_forever, daemon=True)
    thread.start()
    try:
        yield f"http://127.0.0.1:{server.server_address[1]}/"
    finally:
        server.shutdown()
        server.server_close()


# The browsers this test program has started, by their flags, kept for its
# later cases: starting one takes seconds. Each case has a tab of its own,
# a page that knows nothing of another case's, with emulation and scripts
# of its own; a browser that a case failed in is not used again.
kept = {}


def start(flags):
    profile = tempfile.mkdtemp(prefix="tenebrel-chromium-")
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in FLAGS + [f"--user-data-dir={profile}", *flags]:
        options.add_argument(flag)
    driver = webdriver.Chrome(options=options, service=Service("/usr/bin/chromedriver"))
    driver.profile, driver.home = profile, driver.current_window_handle
    return driver


def stop(driver):
    try:
        driver.quit()
    finally:
        shutil.rmtree(driver.profile, ignore_errors=True)


@atexit.register
def stop_kept():
    while kept:
        stop(kept.popitem()[1])


@contextlib.contextmanager
def chromium(*flags):
    # A new tab in a headless Chromium with a profile of its own, for a with-block.
    driver = kept.pop(flags, None) or start(flags)
    try:
        driver.switch_to.new_window("tab")
        yield driver
        driver.close()
        driver.switch_to.window(driver.home)
    except BaseException:
        stop(driver)
        raise
    kept[flags] = driver
