#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once as users get
# the program, then once more built with AddressSanitizer and
# UndefinedBehaviorSanitizer, and last the Windows build under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh test

jobs=$(nproc)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTENEBREL_TESTS=ON
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure --no-tests=error -j2)

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DTENEBREL_SANITIZE=ON -DTENEBREL_TESTS=ON
cmake --build build-sanitize -j"$jobs"
(cd build-sanitize && ctest --output-on-failure --no-tests=error -j2)

# The Windows build, its zip and its tests under Wine; they compare it with
# the first build's program and use its textures.
tools/package-win64.sh --tests
(cd build-win64 && ctest --output-on-failure --no-tests=error -j2)
