#!/usr/bin/env bash
# Builds Tenebrel for 64-bit Windows with MinGW-w64 into build-win64/ and
# makes build-win64/tenebrel-<version>-win64.zip: one folder holding
# tenebrel.exe, tenebrel_toggle.exe, the two texture files, README.txt and
# LICENSE. Prints the zip's path.
# Usage: tools/package-win64.sh [--tests]   (--tests: build the Wine tests too)
set -euo pipefail
cd "$(dirname "$0")/.."

tests=OFF
case "${1:-}" in
    --tests) tests=ON ;;
    "") ;;
    *) echo "usage: $0 [--tests]" >&2; exit 2 ;;
esac
tools/install-deps.sh win64

build=build-win64
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=tools/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
    -DTENEBREL_TESTS="$tests"
cmake --build "$build" -j"$(nproc)"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name=tenebrel-$version-win64
stage=$build/zip/$name
rm -rf "$build/zip" "$build/$name.zip"
mkdir -p "$stage"

# The textures come from our own maker, built for this machine: the cross
# build's copy of it would need Windows to run.
tools/make-textures-host.sh "$stage"

for program in tenebrel tenebrel_toggle; do
    x86_64-w64-mingw32-strip -o "$stage/$program.exe" "$build/$program.exe"
    # Static: nothing but the DLLs every Windows has. A missing one shows
    # only on a machine without it, so check here rather than there.
    x86_64-w64-mingw32-objdump -p "$stage/$program.exe" | sed -n 's/^\s*DLL Name: //p' |
        while read -r dll; do
            case "${dll,,}" in
                kernel32.dll|user32.dll|gdi32.dll|opengl32.dll|glu32.dll|msvcrt.dll|advapi32.dll|\
                shell32.dll|winmm.dll|ole32.dll|api-ms-win-*) ;;
                *) echo "$program.exe needs $dll, which Windows does not have" >&2; exit 1 ;;
            esac
        done
done

# Text files with Windows line ends, so that every editor there shows them.
sed 's/\r*$/\r/' tools/win64/README.txt > "$stage/README.txt"
# The licence travels with the program: no zip without it.
sed 's/\r*$/\r/' LICENSE > "$stage/LICENSE"

(cd "$build/zip" && zip -q -X -r "../$name.zip" "$name")
echo "Made: $(pwd)/$build/$name.zip"
