// Touch: a finger on the picture looks around as the captured mouse does,
// and the page's touch controls (#touch, one button per key, its key in
// data-key) are held as keys are held. Both only post what the mouse and the
// keys post, so the program cannot tell a finger from a key or a mouse.
#include <emscripten/emscripten.h>

#include "platform/web/internal.h"

namespace {

// Each finger's part is settled when it touches and kept until it lifts:
// the control it pressed, the look, or nothing (one that started elsewhere,
// a second finger on the picture, or one whose control was let go). So a
// finger that slides from a control onto the picture, or back, neither
// holds a key nor turns the view by its jump. A control is let go when its
// finger lifts or slides off it; everything is let go when the system
// cancels the touches (a call, a gesture of its own), the page loses the
// keyboard or is hidden, the screen turns, or fullscreen comes or goes.
// While a box is open, controls are pressed no more (as keys answer the
// box), but still let go. The finger on the picture turns the view by the
// mouse's pixels: its shown width counts as the program's 800, fractions
// carried over so that many small moves turn as far as one large one.
// clang-format off
EM_JS(void, webTouchListenJs, (), {
    // Module.web, with its post() and the event kinds' names, is the key
    // listeners' (queue.cpp), made first.
    var web = Module.web;
    if (web.touchListening) return;
    web.touchListening = true;
    var screen = document.getElementById('screen');
    var box = document.getElementById('box');
    var fingers = {};   // by touch identifier, or 'mouse': {button, code} | {look} | {}
    var holders = {};   // by key code: how many fingers hold it
    var looking = false;
    var carry = [0, 0];

    function keyCode(button) {
        var name = button.getAttribute('data-key');
        return name == 'Space' ? 32 : name.charCodeAt(0);
    }
    function press(id, button) {
        var code = keyCode(button);
        fingers[id] = {button: button, code: code};
        button.classList.add('held');
        holders[code] = (holders[code] || 0) + 1;
        if (holders[code] == 1) web.post(web.kind.keyDown, code, 0);
    }
    // Ends the finger's part; it does nothing more until it lifts.
    function release(id) {
        var finger = fingers[id];
        if (!finger) return;
        fingers[id] = {};
        if (finger.look) looking = false;
        if (!finger.button) return;
        if (--holders[finger.code] == 0) {
            finger.button.classList.remove('held');
            web.post(web.kind.keyUp, finger.code, 0);
        }
    }
    function releaseAll() {
        Object.keys(fingers).forEach(release);
    }
    function look(finger, x, y) {
        var canvas = document.getElementById('canvas');
        var dx = x - finger.x, dy = y - finger.y;
        finger.x = x;
        finger.y = y;
        if (!canvas || boxOpen()) return;
        // A fullscreen canvas shows the picture whole, letterboxed.
        var shown = canvas.getBoundingClientRect();
        var width = Math.min(shown.width, shown.height * canvas.width / canvas.height);
        if (!(width > 0)) return;
        carry[0] += dx * canvas.width / width;
        carry[1] += dy * canvas.width / width;
        var moveX = Math.round(carry[0]), moveY = Math.round(carry[1]);
        carry[0] -= moveX;
        carry[1] -= moveY;
        if (moveX || moveY) web.post(web.kind.move, moveX, moveY);
    }
    function boxOpen() { return box && !box.hidden; }
    function control(target) {
        var button = target.closest && target.closest('#touch [data-key]');
        return button && !button.closest('[hidden]') ? button : null;
    }
    function inside(element, x, y) {
        var r = element.getBoundingClientRect();
        return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
    }

    // Any touch that is the program's takes the browser's own gestures away.
    function each(e, act) {
        var ours = false;
        Array.prototype.forEach.call(e.changedTouches, function(touch) {
            ours = act(touch) || ours;
        });
        if (ours && e.cancelable) e.preventDefault();
    }
    document.addEventListener('touchstart', function(e) {
        each(e, function(touch) {
            var button = control(touch.target), id = touch.identifier;
            release(id);
            delete fingers[id];
            if (button) {
                if (boxOpen()) fingers[id] = {};
                else press(id, button);
            } else if (screen.contains(touch.target) && !box.contains(touch.target)) {
                var first = !looking && !boxOpen();
                fingers[id] = first ? {look: true, x: touch.clientX, y: touch.clientY} : {};
                looking = looking || first;
            }
            return id in fingers;
        });
    }, {passive: false});
    document.addEventListener('touchmove', function(e) {
        each(e, function(touch) {
            var finger = fingers[touch.identifier];
            if (!finger) return false;
            if (finger.look) look(finger, touch.clientX, touch.clientY);
            if (finger.button && !inside(finger.button, touch.clientX, touch.clientY)) {
                release(touch.identifier);
            }
            return true;
        });
    }, {passive: false});
    document.addEventListener('touchend', function(e) {
        each(e, function(touch) {
            var ours = touch.identifier in fingers;
            release(touch.identifier);
            delete fingers[touch.identifier];
            return ours;
        });
    }, {passive: false});
    document.addEventListener('touchcancel', function(e) {
        releaseAll();
        Array.prototype.forEach.call(e.changedTouches, function(touch) {
            delete fingers[touch.identifier];
        });
    });

    // A mouse holds a control as a finger does, where one is used beside touch.
    var pads = document.getElementById('touch');
    pads.addEventListener('mousedown', function(e) {
        var button = control(e.target);
        e.preventDefault();
        if (button && e.button == 0 && !boxOpen()) press('mouse', button);
    });
    pads.addEventListener('mouseleave', function(e) {
        if (fingers.mouse && e.target == fingers.mouse.button) release('mouse');
    }, true);
    document.addEventListener('mouseup', function() { release('mouse'); });
    // Not a click on the picture's frame, which would capture the pointer.
    pads.addEventListener('click', function(e) { e.stopPropagation(); });
    pads.addEventListener('contextmenu', function(e) { e.preventDefault(); });
    screen.addEventListener('contextmenu', function(e) {
        if (!box.contains(e.target)) e.preventDefault();
    });

    window.addEventListener('blur', releaseAll);
    document.addEventListener('visibilitychange', function() {
        if (document.hidden) releaseAll();
    });
    document.addEventListener('fullscreenchange', releaseAll);
    var portrait = matchMedia('(orientation: portrait)');
    if (portrait.addEventListener) portrait.addEventListener('change', releaseAll);
});
// clang-format on

}  // namespace

void webTouchListen() {
    webTouchListenJs();
}
