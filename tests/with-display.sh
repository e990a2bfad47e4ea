#!/usr/bin/env bash
# Runs a command with an X display. When DISPLAY is unset, starts a private
# Xvfb for the command's lifetime.
# Usage: with-display.sh [-s WIDTHxHEIGHT] command [args...]
set -u
size=1024x768
if [ "${1:-}" = "-s" ]; then
    size=$2
    shift 2
fi

if [ -n "${DISPLAY:-}" ] && [ -z "${TENEBREL_PRIVATE_X:-}" ]; then
    exec "$@"
fi

if ! command -v Xvfb >/dev/null 2>&1; then
    echo "with-display: Xvfb is not installed (tools/install-deps.sh test)" >&2
    exit 1
fi

fifo=$(mktemp -u)
mkfifo "$fifo"
# -noreset: without it the server resets when its last client leaves, which
# puts the pointer back at the centre and undoes a test's mouse moves.
Xvfb -displayfd 3 -screen 0 "${size}x24" -noreset -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
xpid=$!
read -r -t 20 number <"$fifo"
rm -f "$fifo"
if [ -z "${number:-}" ]; then
    echo "with-display: Xvfb did not start" >&2
    kill "$xpid" 2>/dev/null
    exit 1
fi
export DISPLAY=":$number"
unset TENEBREL_PRIVATE_X
"$@"
status=$?
kill "$xpid" 2>/dev/null
wait "$xpid" 2>/dev/null
exit $status
