// The words of a message box on stderr, which every side writes before it
// shows the box. Nothing outside platform/ includes it.
#pragma once

// A box's text and caption, never null.
struct BoxText {
    const char* text;
    const char* caption;
};

// Writes "caption: text" to stderr, so the message is seen where no box can
// be shown (no display, no console, a box that fails), and gives both back
// with an empty one for null.
BoxText boxEcho(const char* text, const char* caption);
