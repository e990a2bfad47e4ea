#!/usr/bin/env bash
# Makes the two texture files in FOLDER with our own maker, built for this
# machine: cross builds (Windows, the page) cannot run their own copy of it.
# Usage: tools/make-textures-host.sh FOLDER
set -euo pipefail
folder=${1:?usage: $0 FOLDER}
root=$(cd "$(dirname "$0")/.." && pwd)
maker=$(mktemp -d)
trap 'rm -rf "$maker"' EXIT
c++ -std=c++17 -O2 -Wall -Wextra -I"$root" "$root/tools/make_textures.cpp" \
    "$root/tools/bmp_write.cpp" -o "$maker/make_textures"
mkdir -p "$folder"
"$maker/make_textures" "$folder"
