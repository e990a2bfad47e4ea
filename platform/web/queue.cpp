// What happens on the page, turned into window messages, and the wait for
// it.
#include <emscripten/emscripten.h>

#include <algorithm>
#include <iterator>

#include "platform/queue.h"
#include "platform/web/internal.h"

namespace {

// What the page reports, in the order it happened. The listeners below get
// these numbers when they are added and post them by name, as
// Module.web.kind.<name> (keyDown, keyUp, close, ... move); other scripts on
// the page may post through Module.web.post(kind, a, b) too. The listeners
// only record: the program takes the records between its frames, as a
// desktop program takes its window system's events.
enum WebEvent : int {
    webEventNone,
    webEventKeyDown,  // a: key code, b: 1 with Alt held
    webEventKeyUp,    // likewise
    webEventClose,    // the page's Close button
    webEventFocus,    // the page has the keyboard again
    webEventBlur,     // another window or tab has it
    webEventHidden,   // the tab is in the background
    webEventShown,
    webEventToggle,    // the page's window/fullscreen button, or Alt+Enter
    webEventLost,      // the WebGL context is gone
    webEventLeftFull,  // the browser ended fullscreen by itself
    webEventMove,      // a, b: the captured pointer's movement
};

}  // namespace

// The listeners. Keys give the browser's key codes, which are Windows'
// virtual-key codes, but for the few that Firefox numbers otherwise. While
// a box is open, presses answer the box; releases still reach the window.
// With the pointer captured, Escape frees it; with the pointer free it is
// the program's. Where the browser sees Escape first, frees the pointer or
// leaves fullscreen itself and then hands the key on, that press (and its
// repeats) is the browser's too: it must not end the program. Alt+Enter
// switches window and fullscreen, as in many Windows programs. A focused
// control of the page (the panel's, a button) keeps the keys that work it,
// as a visitor using the keyboard expects: a button or checkbox Space (and
// a button Enter), a list or slider the arrows, Home, End and the page
// keys, a list Space, Enter and digits too. Their releases still reach the
// program, and every other key, letters among them, is the program's as
// on the picture, and all are while the pointer is captured, the picture
// the visitor's. In fullscreen only what is shown keeps keys: a button
// focused outside it must not take Space from the rays. The F keys are the
// browser's, but F1, the program's help, which would open the browser's.
// A click on the picture captures the pointer; a refusal (the browser
// waits a moment after its Escape) leaves it free for another click.
// clang-format off
EM_JS(void, webListenJs, (int keyDown, int keyUp, int close, int focus, int blur, int hidden,
                          int shown, int toggle, int lost, int leftFull, int move), {
    var web = Module.web = Module.web || {};
    var screen = document.getElementById('screen');
    web.kind = {keyDown: keyDown, keyUp: keyUp, close: close, focus: focus, blur: blur,
                hidden: hidden, shown: shown, toggle: toggle, lost: lost, leftFull: leftFull,
                move: move};
    var kinds = Object.values(web.kind);
    web.events = [];
    web.wake = null;
    web.post = function(kind, a, b) {
        if (kinds.indexOf(kind) < 0) throw new Error('Module.web.post: no event kind ' + kind);
        web.events.push([kind, a | 0, b | 0]);
        if (web.wake) { var wake = web.wake; web.wake = null; wake(); }
    };
    var firefoxCodes = {59: 186, 61: 187, 173: 189};
    function controlKeeps(target, code) {
        if (document.pointerLockElement || !target || !target.matches ||
            !target.matches('button, summary, select, input') || target.disabled ||
            (document.fullscreenElement &&
                                !document.fullscreenElement.contains(target))) return false;
        var moves = code >= 33 && code <= 40;
        if (target.type == 'range') return moves;
        if (target.tagName == 'SELECT') {
            return moves || code == 13 || code == 32 || (code >= 48 && code <= 57) ||
                   (code >= 96 && code <= 105);
        }
        return code == 32 || (code == 13 && target.type != 'checkbox');
    }
    function key(e, down) {
        if (web.boxKey && down) return;
        var code = firefoxCodes[e.keyCode] || e.keyCode;
        if (down && e.altKey && code == 13) {
            e.preventDefault();
            if (!e.repeat) web.post(web.kind.toggle, 0, 0);
            return;
        }
        var kept = controlKeeps(e.target, code);
        if (kept && down) return;
        if (code == 27 && !down) web.escapeTaken = false;
        if (code == 27 && down && (web.escapeTaken || document.pointerLockElement ||
                                   performance.now() - web.freedAt < 300)) {
            if (document.pointerLockElement) { web.freeing = true; document.exitPointerLock(); }
            web.escapeTaken = true;
            e.preventDefault();
            return;
        }
        if (code < 1 || code > 255) return;
        if (!kept && !e.ctrlKey && !e.metaKey && code != 9 && !(code > 112 && code <= 123)) {
            e.preventDefault();
        }
        web.post(down ? web.kind.keyDown : web.kind.keyUp, code, e.altKey ? 1 : 0);
    }
    document.addEventListener('keydown', function(e) { key(e, true); });
    document.addEventListener('keyup', function(e) { key(e, false); });
    window.addEventListener('focus', function() { web.post(web.kind.focus, 0, 0); });
    window.addEventListener('blur', function() { web.post(web.kind.blur, 0, 0); });
    document.addEventListener('visibilitychange', function() {
        web.post(document.hidden ? web.kind.hidden : web.kind.shown, 0, 0);
    });
    web.freedAt = -1e9;
    document.addEventListener('pointerlockchange', function() {
        if (!document.pointerLockElement && !web.freeing) web.freedAt = performance.now();
        web.freeing = false;
    });
    document.addEventListener('fullscreenchange', function() {
        if (document.fullscreenElement || !web.fullscreen) return;
        web.fullscreen = false;
        web.freedAt = performance.now();
        web.post(web.kind.leftFull, 0, 0);
    });
    screen.addEventListener('click', function() {
        if (web.boxKey || document.pointerLockElement === screen) return;
        var asked = screen.requestPointerLock();
        if (asked && asked.catch) asked.catch(function() {});
    });
    document.addEventListener('mousemove', function(e) {
        if (document.pointerLockElement !== screen) return;
        web.post(web.kind.move, e.movementX, e.movementY);
    });
    [['toggle', web.kind.toggle], ['close', web.kind.close]].forEach(function(pair) {
        var button = document.getElementById(pair[0]);
        if (button) button.addEventListener('click', function() { web.post(pair[1], 0, 0); });
    });
});
// clang-format on

// The oldest record into out[0..1]; its kind, 0 when there is none.
// clang-format off
EM_JS(int, webTakeEvent, (int* out), {
    var event = Module.web.events.shift();
    if (!event) return 0;
    HEAP32[out >> 2] = event[1];
    HEAP32[(out >> 2) + 1] = event[2];
    return event[0];
});
// clang-format on

// Sleeps, giving the browser the processor, until the page reports something.
// clang-format off
EM_ASYNC_JS(void, webSleepUntilEvent, (), {
    var web = Module.web;
    if (web.events.length) return;
    await new Promise(function(wake) { web.wake = wake; });
});
// clang-format on

void webListen() {
    webListenJs(webEventKeyDown, webEventKeyUp, webEventClose, webEventFocus, webEventBlur,
                webEventHidden, webEventShown, webEventToggle, webEventLost, webEventLeftFull,
                webEventMove);
}

namespace {

// The page's events that stand for one message each to the window.
const QueueEventMessage eventMessages[] = {
    {webEventClose, WM_CLOSE, 0},
    {webEventFocus, WM_SETFOCUS, 0},
    {webEventHidden, WM_SIZE, SIZE_MINIMIZED},
    {webEventToggle, WM_USER + 1, 0},
};

void translateEvent(int kind, int a, int b) {
    PlatformWindow* window = windowingLayer.window;
    // The keys' state is the system's and always kept. Otherwise, before the
    // first window and between windows there is nothing for the page's
    // events to act on: the start-up answer decides the first window's
    // mode, and a new window starts with no key held in its table.
    if (kind == webEventKeyDown || kind == webEventKeyUp) {
        if (a < 1 || a > 255) return;
        const bool down = kind == webEventKeyDown;
        webLayer.held[a] = down;
        if (window != nullptr) queuePostKey(window, a, down, b != 0);
        return;
    }
    if (kind == webEventBlur) {
        // The key-ups of keys held now go elsewhere.
        std::fill(std::begin(webLayer.held), std::end(webLayer.held), false);
        if (window != nullptr) queuePost(window, WM_KILLFOCUS, 0, 0);
        return;
    }
    if (window == nullptr) return;
    if (queuePostFor(window, eventMessages, std::size(eventMessages), kind)) return;
    switch (kind) {
    case webEventShown:
        queuePost(window, WM_SIZE, SIZE_RESTORED, queuePackSize(window->width, window->height));
        break;
    case webEventLeftFull:
        // The visitor left fullscreen with the browser's own key: the
        // program follows into a window, as its own toggle would take it.
        if (window->popup) queuePost(window, WM_USER + 1, 0, 0);
        break;
    case webEventLost:
        // Everything the context held is gone. Ending this window's pump
        // without ending the program makes the window, its context and all
        // they hold anew, in the same mode, as a toggle does.
        platformWarn("the WebGL context was lost: making the window anew");
        queuePost(window, WM_QUIT, 0, 0);
        break;
    case webEventMove:
        webLayer.cursorX += a;
        webLayer.cursorY += b;
        break;
    default: break;
    }
}

}  // namespace

void queuePump() {
    int values[2];
    while (int kind = webTakeEvent(values)) translateEvent(kind, values[0], values[1]);
}

void queueSleep() {
    webSleepUntilEvent();
}
