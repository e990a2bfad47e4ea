#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once as users get
# the program (and the page, in a browser), once more built with
# AddressSanitizer and UndefinedBehaviorSanitizer, and the Windows build
# under Wine.
#
# Most of the tests' time is spent waiting (for a picture to settle, a window
# to appear, a frame to be drawn), and each test starts X servers and
# browsers of its own, so the three suites run side by side, and beside the
# builds that are still going: on two cores the whole takes about as long as
# its longest lane rather than the sum of all.
#
#   the rest of the packages, then the page,
#     beside the Linux build                ->  the Linux suite
#   the sanitizer build (after the Linux)   ->  the sanitizer suite
#   the Windows build and zip (after it)    ->  the Wine suite
#
# The program moves the light and the eye by the time its frames take, so
# the builds beside the suites, and the page's tests (which draw a frame
# when they ask for one), run at a lower priority than the tests that drive
# the program; the Windows build lowest, as the sanitizer lane ends last.
# The Linux build's output and its suite's come as they go; every other lane
# writes build-logs/NAME.log, shown whole when the lane has ended.
set -euo pipefail
cd "$(dirname "$0")/.."
# What the Linux build compiles with, first; the rest (the page's compiler,
# the Windows cross compiler, Wine, Chromium, the X servers the tests start)
# installs beside that build, in the page's lane, before the page is made.
tools/install-deps.sh build

jobs=$(nproc)
# Where the time goes: each step says when it ended, counted from here.
export started=$(($(date +%s) - SECONDS))
at() { echo "[$(($(date +%s) - started)) s] $*"; }
export -f at
mkdir -p build-logs
lanes=()
# Each lane in a process group of its own, so that it ends with this script
# however this ends.
trap 'for pid in "${lanes[@]}"; do kill -- -"$pid" 2>/dev/null || true; done' EXIT
lane() {  # NAME COMMAND: starts the lane; its process group's id is in lane_NAME
    setsid bash -c "set -euo pipefail; trap 'at $1 ended' EXIT; $2" > "build-logs/$1.log" 2>&1 &
    lanes+=($!)
    printf -v "lane_$1" %s $!
}
failed=()
# The lanes that need the rest of the packages wait for them: the status of
# their installing is in build-logs/deps.status once it has ended.
rm -f build-logs/deps.status
deps_wait() {
    until [ -s build-logs/deps.status ]; do sleep 1; done
    [ "$(cat build-logs/deps.status)" = 0 ]
}
export -f deps_wait
finish() {  # NAME: waits for the lane to end and shows its log
    local name=$1 pid code=0
    pid=lane_$1
    wait "${!pid}" || code=$?
    echo "---------------- $name (build-logs/$name.log): $([ "$code" = 0 ] && echo done || echo "FAILED ($code)")"
    cat "build-logs/$name.log"
    [ "$code" = 0 ] || failed+=("$name")
    return "$code"
}

# The page beside the Linux build: the Linux suite tests it in a browser.
lane page "code=0; tools/install-deps.sh test || code=\$?
           echo \$code > build-logs/deps.status; [ \$code = 0 ]
           at the packages are installed
           tools/package-web.sh"
# Optimised as the Debian package is (tools/package.sh), and without debugging
# information, which would add a fifth to the build's time.
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTENEBREL_TESTS=ON \
    -DTENEBREL_WEB_PAGE="$(pwd)/build-web/tenebrel-web"
cmake --build build -j"$jobs"

# The Windows build and its tests under Wine compare it with the program just
# built, and use its texture files.
lane win64 "deps_wait
            nice -n 15 tools/package-win64.sh --tests
            at the Windows build is done
            cd build-win64 && ctest --output-on-failure --no-tests=error -j2"
lane sanitize "cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DTENEBREL_SANITIZE=ON \
                   -DTENEBREL_TESTS=ON
               nice -n 10 cmake --build build-sanitize -j$jobs
               at the sanitizer build is done
               deps_wait
               cd build-sanitize && ctest --output-on-failure --no-tests=error -j4"

at the Linux build is done
finish page || exit 1  # the page is needed by the suite below
(cd build && ctest --output-on-failure --no-tests=error -j4) || failed+=(linux)
at the Linux suite has ended

finish sanitize || true
finish win64 || true
if [ ${#failed[@]} -ne 0 ]; then
    echo "tools/test.sh: FAILED: ${failed[*]}" >&2
    exit 1
fi
echo "tools/test.sh: everything passed, in $SECONDS s"
