#!/usr/bin/env bash
# Builds the Debian package tenebrel_<version>_<arch>.deb into build-package/
# from the same install rules as cmake --install, and prints its path.
# Usage: tools/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
# The package keeps the modes the files and folders are staged with; a
# private umask would make them unreadable to everyone but root.
umask 022
tools/install-deps.sh package
# Debian's hardening flags (stack protector, fortified calls, read-only
# relocations bound at start), as its own packages are built with.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DTENEBREL_TESTS=OFF \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake --build build-package -j"$(nproc)"
cd build-package
rm -f tenebrel_*.deb
cpack -G DEB
echo "Made: $(pwd)/$(ls tenebrel_*.deb)"
