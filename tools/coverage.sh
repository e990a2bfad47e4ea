#!/usr/bin/env bash
# Line coverage of the program's own code (app, scene, geometry, shadow,
# assets, platform) over the whole test suite, the program tests included:
# they run the instrumented binary, whose counts add up with the rest.
# Prints the total and writes build-coverage/coverage.info (genhtml makes
# pages of it).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh coverage

cmake -S . -B build-coverage -DCMAKE_BUILD_TYPE=Debug -DTENEBREL_COVERAGE=ON -DTENEBREL_TESTS=ON
cmake --build build-coverage -j"$(nproc)"
lcov --quiet --zerocounters --directory build-coverage
(cd build-coverage && ctest --output-on-failure --no-tests=error -j2) || status=$?

here=$(pwd)
lcov --quiet --capture --directory build-coverage --output-file build-coverage/all.info 2>/dev/null
lcov --quiet --extract build-coverage/all.info \
    "$here/app/*" "$here/scene/*" "$here/geometry/*" "$here/shadow/*" "$here/assets/*" "$here/platform/*" \
    --output-file build-coverage/coverage.info
lcov --list build-coverage/coverage.info
exit "${status:-0}"
