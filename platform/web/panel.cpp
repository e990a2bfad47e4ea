// The page's panel (#panel): the settings of how the frame shows its method,
// beside the keys that step them. A control changes nothing itself: it
// presses the keys that take the program from what it last said it draws
// with to what the control now shows, as the keyboard would press them, and
// it shows what the program says after every change. So the panel cannot
// do what a key cannot, and keys and panel always agree.
#include <emscripten/emscripten.h>

#include "platform/web/internal.h"

namespace {

// The panel's controls name their keys: a checkbox the key that turns its
// view on and off (data-press), a list or a slider the keys that step it
// down and up through its values (data-fewer, data-more; a slider's values
// in data-values, one step each). Which setting each shows is its id:
// volumes, counts, passes, size or help.
//
// Presses are sent only from settings the program is known to have: once
// it has taken everything the page posted (its own frame takes all of it
// and reports any change at once) and while it has a window. Otherwise a
// change waits a frame, and so does the check after sending, which shows
// what the program then has: a press that was lost (no window to take it)
// or undone (the same key typed at that moment) shows as such. Until then
// the panel is aria-busy: what it shows is not yet what the program draws.
// clang-format off
EM_JS(void, webPanelListenJs, (), {
    var web = Module.web;
    var panel = document.getElementById('panel');
    if (!panel || web.settingsShown) return;
    var controls = Array.prototype.slice.call(panel.querySelectorAll('[data-press], [data-fewer]'));
    var shown = null;      // by control id, what the program last said it draws with
    var wished = false;    // the visitor changed a control; its presses are not yet sent
    var waiting = false;   // a frame is awaited

    function values(control) {
        if (control.tagName == 'SELECT') {
            return Array.prototype.map.call(control.options, function(o) { return +o.value; });
        }
        return control.getAttribute('data-values').split(' ').map(Number);
    }
    function nearest(list, value) {
        var best = 0;
        list.forEach(function(v, i) {
            if (Math.abs(v - value) < Math.abs(list[best] - value)) best = i;
        });
        return best;
    }
    function chosen(control) {
        return control.tagName == 'SELECT' ? control.selectedIndex : +control.value;
    }
    // A slider's value is said as the size it stands for, not its step.
    function describe(control) {
        if (control.type != 'range') return;
        var text = values(control)[chosen(control)] + '\u00d7';
        control.setAttribute('aria-valuetext', text);
        var output = panel.querySelector('output[for="' + control.id + '"]');
        if (output) output.textContent = text;
    }
    function press(name, times) {
        var code = name.charCodeAt(0);
        for (var i = 0; i < times; ++i) {
            web.post(web.kind.keyDown, code, 0);
            web.post(web.kind.keyUp, code, 0);
        }
    }
    function send(control) {
        var now = shown[control.id];
        if (control.hasAttribute('data-press')) {
            press(control.getAttribute('data-press'), control.checked != now ? 1 : 0);
            return;
        }
        var steps = chosen(control) - nearest(values(control), now);
        press(control.getAttribute(steps < 0 ? 'data-fewer' : 'data-more'), Math.abs(steps));
    }
    function show() {
        controls.forEach(function(control) {
            var now = shown[control.id];
            if (control.hasAttribute('data-press')) {
                control.checked = now;
            } else {
                var step = nearest(values(control), now);
                if (control.tagName == 'SELECT') control.selectedIndex = step;
                else control.value = step;
            }
            describe(control);
        });
    }
    function later() {
        if (waiting) return;
        waiting = true;
        requestAnimationFrame(function() { waiting = false; settle(); });
    }
    function settle() {
        if (!shown || panel.hidden) return;
        if (web.events.length || !document.getElementById('canvas')) return later();
        if (!wished) {
            panel.setAttribute('aria-busy', 'false');
            return show();
        }
        wished = false;
        controls.forEach(send);
        later();
    }
    function changed(e) {
        describe(e.target);
        panel.setAttribute('aria-busy', 'true');
        wished = true;
        settle();
    }
    controls.forEach(function(control) {
        // A slider tells while it is dragged; some ways of choosing from a
        // list tell only at the end.
        control.addEventListener('input', changed);
        control.addEventListener('change', changed);
    });
    web.settingsShown = function(passes, size, volumes, counts, help) {
        shown = {passes: passes, size: size, volumes: !!volumes, counts: !!counts, help: !!help};
        panel.disabled = false;
        if (!wished) show();
    };
});
// clang-format on

// clang-format off
EM_JS(void, webSettingsShown, (int passes, float lightSize, int volumes, int counts, int help), {
    if (Module.web && Module.web.settingsShown) {
        Module.web.settingsShown(passes, lightSize, volumes, counts, help);
    }
});
// clang-format on

}  // namespace

void webPanelListen() {
    webPanelListenJs();
}

void platformSettingsShown(int passes, float lightSize, int volumes, int counts, int help) {
    webSettingsShown(passes, lightSize, volumes, counts, help);
}
