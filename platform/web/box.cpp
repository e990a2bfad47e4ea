// Message boxes, as a box on the page over the picture, and the window that
// owns them: the one with the focus.
#include <emscripten/emscripten.h>

#include "platform/box.h"
#include "platform/web/internal.h"

namespace {

// Shows the box and sleeps until a button is pressed: a click, Enter for
// the first button, Escape for the last, or a button's first letter. Key
// presses go to the box meanwhile, not to the window. The captured pointer
// is let go so that the buttons can be clicked.
// clang-format off
EM_ASYNC_JS(int, webShowBox, (const char* text, const char* caption, int yesNo), {
    var web = Module.web = Module.web || {};
    var box = document.getElementById('box');
    if (!box) return 0;
    if (document.pointerLockElement) document.exitPointerLock();
    box.querySelector('.caption').textContent = UTF8ToString(caption);
    box.querySelector('.text').textContent = UTF8ToString(text);
    var row = box.querySelector('.buttons');
    row.textContent = "";
    var answers = yesNo ? [['Yes', 6], ['No', 7]] : [['OK', 1]];
    var pressed = await new Promise(function(answer) {
        answers.forEach(function(pair) {
            var button = document.createElement('button');
            button.textContent = pair[0];
            button.addEventListener('click', function(e) { e.stopPropagation(); answer(pair[1]); });
            row.appendChild(button);
        });
        web.boxKey = function(e) {
            e.preventDefault();
            e.stopImmediatePropagation();
            if (e.key == 'Enter') answer(answers[0][1]);
            else if (e.key == 'Escape') answer(answers[answers.length - 1][1]);
            else answers.forEach(function(pair) {
                if (e.key.toLowerCase() == pair[0][0].toLowerCase()) answer(pair[1]);
            });
        };
        document.addEventListener('keydown', web.boxKey, true);
        box.hidden = false;
        row.firstChild.focus();
    });
    document.removeEventListener('keydown', web.boxKey, true);
    web.boxKey = null;
    box.hidden = true;
    return pressed;
});
// clang-format on

}  // namespace

int platformMessageBox(PlatformWindow*, const char* text, const char* caption, uint32_t style) {
    const BoxText words = boxEcho(text, caption);
    return webShowBox(words.text, words.caption, (style & 0x0F) == MB_YESNO ? 1 : 0);
}

PlatformWindow* platformGetFocus() {
    return windowingLayer.window;
}
