#!/usr/bin/env bash
# Installs the Debian packages Tenebrel needs to build, run and test.
# Usage: tools/install-deps.sh [run|build|package|win64|web|test|coverage]   (default: test)
#   build: what the Linux build with its tests compiles with (the rest of
#   test's is needed only to run them and to make the page and the zip)
set -euo pipefail

mode=${1:-test}

run_pkgs=(cmake g++ make pkg-config libsdl2-dev libx11-dev libgl-dev libglu1-mesa-dev
          libgles-dev libegl-dev  # OpenGL ES 3.0 for the es3 renderer
          libfreetype-dev libfontconfig-dev fonts-dejavu-core
          xfonts-base)  # the core X fonts that the message boxes are drawn with
# Building the Debian package: dpkg-shlibdeps finds its dependencies, and
# CPack asks file(1) which files are programs.
package_pkgs=(dpkg-dev file gzip)
# The Windows zip: the cross compiler (posix threads, which GoogleTest
# needs), and the host's compiler for the texture maker.
win64_pkgs=(g++ g++-mingw-w64-x86-64-posix zip)
# The page: Emscripten (which brings clang, binaryen and node), the host's
# compiler for the texture maker.
web_pkgs=(emscripten g++ zip)
test_pkgs=(libgtest-dev xvfb xauth xdotool x11-utils imagemagick python3
           openbox wmctrl  # a window manager, to close and minimise as a person does
           googletest wine64  # GoogleTest's sources built for Windows, run under Wine
           chromium chromium-driver python3-selenium)  # the page in a real browser

case "$mode" in
    run)  wanted=("${run_pkgs[@]}") ;;
    build) wanted=("${run_pkgs[@]}" libgtest-dev) ;;
    package) wanted=("${run_pkgs[@]}" "${package_pkgs[@]}") ;;
    win64) wanted=("${win64_pkgs[@]}" cmake make) ;;
    web) wanted=("${web_pkgs[@]}" cmake make) ;;
    test) wanted=("${run_pkgs[@]}" "${package_pkgs[@]}" "${win64_pkgs[@]}" "${web_pkgs[@]}"
                  "${test_pkgs[@]}") ;;
    coverage) wanted=("${run_pkgs[@]}" "${package_pkgs[@]}" "${test_pkgs[@]}" lcov) ;;
    *) echo "usage: $0 [run|build|package|win64|web|test|coverage]" >&2; exit 2 ;;
esac

missing=()
for p in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
# The package lists, unless they were fetched in the last hour (by the
# first of two calls in a row, say).
if [ -z "$(find /var/lib/apt/lists -maxdepth 0 -mmin -60 2>/dev/null)" ]; then
    $sudo apt-get update -q
fi
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
