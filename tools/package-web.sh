#!/usr/bin/env bash
# Builds Tenebrel for web browsers with Emscripten into build-web/ and makes
# build-web/tenebrel-web/: index.html, tenebrel.js, tenebrel.wasm and the two
# texture files, the whole page; and build-web/tenebrel-<version>-web.zip of
# that folder. Prints the folder's path and what a visitor downloads.
# Usage: tools/package-web.sh        (tools/serve-web.sh then serves it)
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh web

# Debian's Emscripten runs its optimiser with the node on the path, which
# must find Debian's node modules (acorn) even when it is not Debian's node.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
build=build-web
emcmake cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTENEBREL_TESTS=OFF
cmake --build "$build" -j2

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
page=$build/tenebrel-web
rm -rf "$page" "$build/tenebrel-$version-web.zip"
mkdir -p "$page"
cp "$build/index.html" "$build/tenebrel.js" "$build/tenebrel.wasm" "$page/"
tools/make-textures-host.sh "$page"
cp LICENSE "$page/"
(cd "$build" && zip -q -X -r "tenebrel-$version-web.zip" tenebrel-web)

raw=$(cat "$page"/* | wc -c)
packed=$(for f in "$page"/*; do gzip -9 -c "$f"; done | wc -c)
echo "Made: $(pwd)/$page and $(pwd)/$build/tenebrel-$version-web.zip"
echo "The page: $((raw / 1024)) KiB, $((packed / 1024)) KiB as a server sends it gzip-compressed"
