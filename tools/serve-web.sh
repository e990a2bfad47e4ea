#!/usr/bin/env bash
# Serves the page made by tools/package-web.sh (making it first when it is
# not there) on this machine only, and prints its link. Ctrl+C stops it.
# Usage: tools/serve-web.sh [PORT]   (default 8000)
set -euo pipefail
cd "$(dirname "$0")/.."
port=${1:-8000}
page=build-web/tenebrel-web
[ -f "$page/index.html" ] || tools/package-web.sh
echo "Tenebrel: http://127.0.0.1:$port/"
# A page that loads WebAssembly must come over http; file:// will not do.
exec python3 -m http.server --bind 127.0.0.1 --directory "$page" "$port"
