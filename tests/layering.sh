#!/bin/sh
# Only draw/ speaks GL and only platform/ reaches the system: the program's
# other folders include no graphics or system header and call no GL function.
cd "$(dirname "$0")/.." || exit 2
found=$(grep -rnE \
    -e '^\s*#\s*include\s*[<"](GL|GLES[0-9]*|EGL|KHR|SDL2?|X11|freetype2?|fontconfig|emscripten|sys)/' \
    -e '^\s*#\s*include\s*[<"](SDL[^.]*|windows|ft2build|unistd|fcntl|signal|dlfcn|pthread|emscripten)\.h' \
    -e '\b(gl|glu|egl|wgl|glX|SDL_)[A-Z][A-Za-z0-9_]*\s*\(' \
    app scene geometry shadow assets)
[ -z "$found" ] && exit 0
echo "Outside draw/ and platform/:"
echo "$found"
exit 1
