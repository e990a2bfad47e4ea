#!/usr/bin/env bash
# A long run of the real program as a restless user would drive it, watching
# its memory and its health.
#
# Usage: tools/soak.sh [options] [PROGRAM [TEXTURE_FOLDER]]
#   PROGRAM          the built program (default: build/tenebrel of this tree)
#   TEXTURE_FOLDER   holds brickblue.bmp and Ziegel1.bmp (default: PROGRAM's folder)
#   -d, --duration T how long to drive it: seconds, or with s/m/h (default 5m)
#   -t, --toggles N  window/fullscreen switches (SIGUSR1) spread over the run (default 50)
#   -i, --interval S seconds between memory samples (default 3)
#   -s, --seed N     seed of the random actions, to repeat a run (default: random)
#   -o, --out DIR    where the logs go (default: a new folder under /tmp)
#
# It builds nothing. It starts a private Xvfb (800 x 600, so the fullscreen
# mode exists) with openbox, starts the program in a folder of its own,
# answers the start question with Escape (windowed), and then until the time
# is up: holds random keys briefly (W/A/S/D, arrows, I/K/J/L/U/O, Space),
# moves the mouse, minimises and restores the window, and sends the toggle
# signal at evenly spread moments. Every few seconds it writes the process's
# resident memory (VmRSS) to rss.log and checks the process is still there.
# At the end it presses Escape and expects exit status 0, then prints a
# summary and scans the program's output for sanitizer reports and crashes.
#
# A sanitizer build (-DTENEBREL_SANITIZE=ON) runs the same way; unless the
# caller set them, ASAN_OPTIONS asks for leak detection and UBSAN_OPTIONS for
# stack traces. Expect a sanitizer build to be several times slower.
#
# Exit status: 0 when the program lived through the run, ended with status 0
# and printed no sanitizer report or crash; 1 when any of that failed; 2 for
# wrong usage or missing tools.
set -u

here=$(cd "$(dirname "$0")/.." && pwd)
duration_text=5m
toggles=50
interval=3
seed=
out=

# The usage lines of the comment above.
usage_text() { sed -n '5,12p' "$0" | sed 's/^# \{0,1\}//'; }
usage() {
    usage_text >&2
    exit 2
}

positional=()
while [ $# -gt 0 ]; do
    case "$1" in
    -d | --duration) [ $# -ge 2 ] || usage; duration_text=$2; shift 2 ;;
    -t | --toggles) [ $# -ge 2 ] || usage; toggles=$2; shift 2 ;;
    -i | --interval) [ $# -ge 2 ] || usage; interval=$2; shift 2 ;;
    -s | --seed) [ $# -ge 2 ] || usage; seed=$2; shift 2 ;;
    -o | --out) [ $# -ge 2 ] || usage; out=$2; shift 2 ;;
    -h | --help) usage_text; exit 0 ;;
    -*) echo "soak: unknown option $1" >&2; usage ;;
    *) positional+=("$1"); shift ;;
    esac
done
[ ${#positional[@]} -le 2 ] || usage

program=${positional[0]:-$here/build/tenebrel}
textures=${positional[1]:-$(dirname "$program")}

fail_usage() {
    echo "soak: $*" >&2
    exit 2
}

number_part=${duration_text%[smh]}
[[ "$number_part" =~ ^[0-9]+$ ]] ||
    fail_usage "duration must be seconds, or a number with s, m or h (e.g. 300, 90s, 5m), not '$duration_text'"
case "$duration_text" in
*h) duration=$((10#$number_part * 3600)) ;;
*m) duration=$((10#$number_part * 60)) ;;
*) duration=$((10#$number_part)) ;;
esac
[ "$duration" -ge 10 ] || fail_usage "duration must be at least 10 seconds, not '$duration_text'"
[[ "$toggles" =~ ^[0-9]+$ ]] || fail_usage "toggles must be a whole number, not '$toggles'"
[[ "$interval" =~ ^[0-9]+$ ]] && [ "$interval" -ge 1 ] ||
    fail_usage "interval must be a whole number of seconds, at least 1, not '$interval'"
if [ -n "$seed" ]; then
    [[ "$seed" =~ ^[0-9]+$ ]] || fail_usage "seed must be a whole number, not '$seed'"
else
    seed=$(( $(date +%s) % 100000 ))
fi
RANDOM=$seed

[ -f "$program" ] && [ -x "$program" ] ||
    fail_usage "no program at $program (build it first, or name it)"
for name in brickblue.bmp Ziegel1.bmp; do
    [ -f "$textures/$name" ] || fail_usage "$name is not in $textures"
done
for tool in Xvfb openbox xdotool wmctrl xwininfo; do
    command -v "$tool" >/dev/null 2>&1 ||
        fail_usage "$tool is not installed (tools/install-deps.sh test installs it)"
done

if [ -z "$out" ]; then
    out=$(mktemp -d /tmp/tenebrel-soak.XXXXXX) || fail_usage "cannot make a log folder"
else
    mkdir -p "$out" || fail_usage "cannot make $out"
fi
program=$(cd "$(dirname "$program")" && pwd)/$(basename "$program")
cp "$textures/brickblue.bmp" "$textures/Ziegel1.bmp" "$out/" || fail_usage "cannot copy the textures"
program_log=$out/program.log
rss_log=$out/rss.log
event_log=$out/events.log
: >"$program_log"
: >"$event_log"

xvfb_pid=
wm_pid=
program_pid=
sampler_pid=

cleanup() {
    for pid in $sampler_pid $program_pid $wm_pid $xvfb_pid; do
        if kill -0 "$pid" 2>/dev/null; then
            kill "$pid" 2>/dev/null
            wait "$pid" 2>/dev/null
        fi
    done
}
trap cleanup EXIT
trap 'echo "soak: interrupted" >&2; exit 1' INT TERM

started=$(date +%s)
now() { echo $(($(date +%s) - started)); }
note() { echo "$(now) $*" >>"$event_log"; }

# ---------------------------------------------------------------- X server
fifo=$(mktemp -u /tmp/tenebrel-soak-fd.XXXXXX)
mkfifo "$fifo"
# -noreset: without it the server resets when its last client leaves.
Xvfb -displayfd 3 -screen 0 800x600x24 -noreset -nolisten tcp 3>"$fifo" >"$out/xvfb.log" 2>&1 &
xvfb_pid=$!
number=
read -r -t 20 number <"$fifo"
rm -f "$fifo"
if [ -z "$number" ]; then
    echo "soak: Xvfb did not start (see $out/xvfb.log)" >&2
    exit 1
fi
export DISPLAY=":$number"

openbox --sm-disable >"$out/openbox.log" 2>&1 &
wm_pid=$!
for _ in $(seq 100); do
    wmctrl -m >/dev/null 2>&1 && break
    sleep 0.1
done
wmctrl -m >/dev/null 2>&1 || { echo "soak: openbox did not start" >&2; exit 1; }

# Top-level window ids by exact name. SDL's message boxes are found through
# the window tree; xdotool's name search does not always see them.
window_ids() {
    xwininfo -root -tree 2>/dev/null |
        sed -n "s/^ *\(0x[0-9a-f]*\) \"$1\": .*/\1/p"
}
program_window() {
    xdotool search --onlyvisible --name "^Tenebrel\$" 2>/dev/null | head -n 1
}
wait_for_window() {  # name, seconds
    local i
    for i in $(seq $(($2 * 10))); do
        [ -n "$(window_ids "$1")" ] && return 0
        sleep 0.1
    done
    return 1
}

# ---------------------------------------------------------------- program
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
# Leaks are judged from the report below, not from the exit status.
export LSAN_OPTIONS=${LSAN_OPTIONS:-exitcode=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
(cd "$out" && exec "$program") >"$program_log" 2>&1 &
program_pid=$!
note "started program, pid $program_pid"

alive() {
    # A child that ended stays a zombie until waited for: not alive.
    [ -r "/proc/$program_pid/stat" ] || return 1
    local state
    state=$(sed 's/.*) \(.\).*/\1/' "/proc/$program_pid/stat" 2>/dev/null)
    [ -n "$state" ] && [ "$state" != Z ]
}
rss_kb() {
    sed -n 's/^VmRSS:[[:space:]]*\([0-9]*\) kB/\1/p' "/proc/$program_pid/status" 2>/dev/null
}

if ! wait_for_window "Start FullScreen?" 60; then
    echo "soak: the start question never appeared; program output:" >&2
    cat "$program_log" >&2
    exit 1
fi
sleep 0.3
box=$(window_ids "Start FullScreen?" | head -n 1)
xdotool windowfocus --sync "$box" 2>/dev/null
xdotool key --window "$box" Escape 2>/dev/null
xdotool key Escape 2>/dev/null
if ! wait_for_window Tenebrel 60; then
    echo "soak: the program's window never appeared; program output:" >&2
    cat "$program_log" >&2
    exit 1
fi
note "window up"
sleep 1

# Memory samples in the background: seconds since start, VmRSS in kB.
(
    echo "# seconds rss_kb"
    while alive; do
        rss=$(rss_kb)
        [ -n "$rss" ] && echo "$(now) $rss"
        sleep "$interval"
    done
) >"$rss_log" &
sampler_pid=$!

# ---------------------------------------------------------------- driving
keys=(w a s d Up Down Left Right i k j l u o space)
toggles_done=0
minimised=0
key_holds=0
mouse_moves=0
boxes_seen=0
died_at=
drive_start=$(now)
drive_end=$((drive_start + duration))

# The moment of toggle k (1..N), spread evenly, none at the very end.
toggle_due() { echo $((drive_start + duration * $1 / (toggles + 1))); }

activate() {
    wmctrl -a Tenebrel 2>/dev/null || {
        local id
        id=$(program_window)
        [ -n "$id" ] && xdotool windowactivate "$id" 2>/dev/null
    }
}

while [ "$(now)" -lt "$drive_end" ]; do
    if ! alive; then
        died_at=$(now)
        note "program no longer running"
        break
    fi
    # An error box would stop the program until someone answers it.
    for id in $(window_ids Error); do
        boxes_seen=$((boxes_seen + 1))
        note "error box $id appeared; answered with Return"
        xdotool windowfocus --sync "$id" 2>/dev/null
        xdotool key --window "$id" Return 2>/dev/null
        xdotool key Return 2>/dev/null
    done

    if [ "$toggles_done" -lt "$toggles" ] && [ "$(now)" -ge "$(toggle_due $((toggles_done + 1)))" ]; then
        kill -USR1 "$program_pid" 2>/dev/null
        toggles_done=$((toggles_done + 1))
        note "toggle $toggles_done (rss $(rss_kb) kB)"
        sleep 1.5
        activate
        continue
    fi

    choice=$((RANDOM % 10))
    if [ "$choice" -lt 6 ]; then
        key=${keys[$((RANDOM % ${#keys[@]}))]}
        hold=$(printf '0.%02d' $((10 + RANDOM % 50)))
        xdotool keydown "$key" 2>/dev/null
        sleep "$hold"
        xdotool keyup "$key" 2>/dev/null
        key_holds=$((key_holds + 1))
    elif [ "$choice" -lt 9 ]; then
        xdotool mousemove $((RANDOM % 800)) $((RANDOM % 600)) 2>/dev/null
        mouse_moves=$((mouse_moves + 1))
        sleep 0.1
    else
        id=$(program_window)
        if [ -n "$id" ]; then
            xdotool windowminimize "$id" 2>/dev/null
            note "minimised"
            sleep "$((1 + RANDOM % 3))"
            activate
            note "restored"
            minimised=$((minimised + 1))
            sleep 0.5
        fi
    fi
done

drive_stop=${died_at:-$(now)}

# ---------------------------------------------------------------- ending
exit_status=
if [ -z "$died_at" ] && alive; then
    end_rss=$(rss_kb)
    note "ending with Escape (rss $end_rss kB)"
    activate
    sleep 0.5
    for attempt in 1 2 3; do
        xdotool keydown Escape 2>/dev/null
        sleep 0.4
        xdotool keyup Escape 2>/dev/null
        for _ in $(seq 100); do
            alive || break
            sleep 0.1
        done
        alive || break
        activate
    done
    if alive; then
        note "Escape did not end it; closing the window"
        wmctrl -c Tenebrel 2>/dev/null
        for _ in $(seq 300); do
            alive || break
            sleep 0.1
        done
    fi
    if alive; then
        note "the program did not end; killed"
        kill -KILL "$program_pid" 2>/dev/null
    fi
fi
# A sanitizer build checks for leaks as it exits; that can take a while.
wait "$program_pid" 2>/dev/null
exit_status=$?
program_pid=
wait "$sampler_pid" 2>/dev/null
sampler_pid=
finished=$(now)

# ---------------------------------------------------------------- summary
sample_at() {  # first sample at or after second $1
    awk -v t="$1" '!/^#/ && $1 >= t { print $2 " kB (at " $1 " s)"; exit }' "$rss_log"
}
first_rss=$(awk '!/^#/ { print $2 " kB (at " $1 " s)"; exit }' "$rss_log")
minute_rss=$(sample_at $((drive_start + 60)))
last_rss=$(awk '!/^#/ { line = $2 " kB (at " $1 " s)" } END { print line }' "$rss_log")
max_rss=$(awk '!/^#/ && $2 > m { m = $2; t = $1 } END { if (m) print m " kB (at " t " s)" }' "$rss_log")
after_toggles=$(grep -o "toggle $toggles (rss [0-9]* kB)" "$event_log" | sed 's/.*rss \([0-9]*\).*/\1 kB/')

# Memory errors and undefined behaviour always count. Leaks count when their
# allocation passes through the program's own code; blocks that the system's
# libraries (D-Bus, fontconfig, the GL driver) keep until exit are listed but
# are not the program's.
sanitizer=$(grep -E -c "ERROR: AddressSanitizer|runtime error:|SUMMARY: UndefinedBehavior" "$program_log")
own_leaks=$(awk -v root="$here/" '
    /leak of [0-9]+ byte/ { want = 1; next }
    want && /#[0-9]+ / && !/__interceptor|asan_|lsan_/ {
        if (index($0, root) || /tenebrel\+0x/) count++
        want = 0
    }
    END { print count + 0 }' "$program_log")
sanitizer=$((sanitizer + own_leaks))
crash=$(grep -E -c "Segmentation fault|Aborted|terminate called|stack smashing|double free|corrupted" "$program_log")

ok=1
echo "soak run of $program"
echo "  logs:              $out (program.log, rss.log, events.log)"
echo "  seed:              $seed"
echo "  driven for:        $((drive_stop - drive_start)) s of $duration s (whole run with start and end: $finished s)"
echo "  toggles done:      $toggles_done of $toggles"
echo "  actions:           $key_holds key holds, $mouse_moves mouse moves, $minimised minimise/restore"
echo "  RSS at start:      ${first_rss:-none}"
echo "  RSS after 1 min:   ${minute_rss:-none (run shorter than a minute)}"
echo "  RSS after toggles: ${after_toggles:-n/a} (when the last toggle was sent)"
echo "  RSS at the end:    ${last_rss:-none}"
echo "  RSS max:           ${max_rss:-none}"
if [ -n "$died_at" ]; then
    echo "  PROBLEM: the program ended by itself after $died_at s"
    ok=0
fi
if [ "$exit_status" -ne 0 ]; then
    echo "  PROBLEM: exit status $exit_status (expected 0)"
    ok=0
else
    echo "  exit status:       0"
fi
if [ "$boxes_seen" -gt 0 ]; then
    echo "  PROBLEM: $boxes_seen error boxes appeared (see events.log and program.log)"
    ok=0
fi
if [ "$sanitizer" -gt 0 ] || grep -q "SUMMARY: AddressSanitizer: .* leaked" "$program_log"; then
    if [ "$sanitizer" -gt 0 ]; then
        echo "  PROBLEM: sanitizer reports in the program's output ($sanitizer, of which $own_leaks leaks of its own); see program.log"
        ok=0
    else
        echo "  leaks:             only in system libraries (listed below)"
    fi
    # Where each leak was allocated, as far as the trace reaches: a leak
    # inside a system library shows its name, one of ours the program's.
    leaks=$(grep -m 1 "SUMMARY: AddressSanitizer: .* leaked" "$program_log")
    if [ -n "$leaks" ]; then
        echo "    ${leaks#SUMMARY: AddressSanitizer: }"
        awk '/leak of [0-9]+ byte/ { size = $4; want = 1; next }
             want && /#[0-9]+ / && !/__interceptor|asan_|lsan_/ {
                 where = $0
                 if (match(where, / in .*/)) where = substr(where, RSTART + 4)
                 else if (match(where, /\([^)]*\)/)) where = substr(where, RSTART + 1, RLENGTH - 2)
                 sub(/\+0x[0-9a-f]+\)?$/, "", where)
                 print "    " size " bytes from " where
                 want = 0
             }' "$program_log"
    fi
else
    echo "  sanitizer reports: none"
fi
if [ "$crash" -gt 0 ]; then
    echo "  PROBLEM: crash messages in the program's output; see program.log"
    ok=0
else
    echo "  crash messages:    none"
fi
if [ "$ok" -eq 1 ]; then
    echo "  result:            PASSED"
    exit 0
fi
echo "  result:            FAILED"
exit 1
