#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program from the folder
# that holds its two texture files.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh run
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTENEBREL_TESTS=OFF
cmake --build build -j"$(nproc)" --target tenebrel textures
cd build
exec ./tenebrel
