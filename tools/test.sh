#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once as users get
# the program (and the page, in a browser), once more built with
# AddressSanitizer and UndefinedBehaviorSanitizer, and the Windows build
# under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh test

jobs=$(nproc)
# The page first: the Linux build's suite tests it in a browser.
tools/package-web.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTENEBREL_TESTS=ON \
    -DTENEBREL_WEB_PAGE="$(pwd)/build-web/tenebrel-web"
cmake --build build -j"$jobs"

# The Windows build, its zip and its tests under Wine (which compare it with
# the program just built) go on beside the Linux tests, which mostly wait on
# their X servers; its output follows at the end. In a process group of its
# own, so that it ends with this script however this ends.
mkdir -p build-win64
setsid bash -c 'tools/package-win64.sh --tests &&
                cd build-win64 && ctest --output-on-failure --no-tests=error -j2' \
    > build-win64/test.log 2>&1 &
win64=$!
trap 'kill -- -"$win64" 2>/dev/null || true' EXIT

(cd build && ctest --output-on-failure --no-tests=error -j2)

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DTENEBREL_SANITIZE=ON -DTENEBREL_TESTS=ON
cmake --build build-sanitize -j"$jobs"
(cd build-sanitize && ctest --output-on-failure --no-tests=error -j2)

status=0
wait "$win64" || status=$?
echo "---------------- the Windows build and its tests (build-win64/test.log)"
cat build-win64/test.log
exit "$status"
