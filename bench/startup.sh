#!/usr/bin/env bash
# Start-up, memory and new-game figures of the real program, side by side
# with the Debian MahJongg games where they are installed.
#
#   bench/startup.sh [RUNS]        (RUNS defaults to 10)
#
# Builds the game in Release (build-bench/), starts a bare Xvfb (no window
# manager) and one session bus, then RUNS rounds; each round starts every
# program once, in turn, each with a fresh HOME, and records:
#   map    ms from the fork to the main window being mapped
#   paint  ms from the fork to that window first showing more than one colour
#   rss    resident memory 3 s after the fork
#   new    ms from the release of the new-game button (Ctrl+N where a peer
#          keeps "new game" in a menu) to the middle of the board changing;
#          NEWGAME_PRESSES per round (default 3)
# Our game runs twice per round: with Qt's default GL integration and with
# QT_XCB_GL_INTEGRATION=none. Prints the medians and the ratios to the
# fastest peer's start-up and the lightest peer's memory.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-10}
presses=${NEWGAME_PRESSES:-3}
source scripts/deps.sh
ensure_packages "${BUILD_PACKAGES[@]}" xvfb x11-utils dbus libx11-dev libxdamage-dev libxtst-dev

build=build-bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTT_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "${BENCH_JOBS:-3}" --target tavelorn-tiles >/dev/null
cc -O2 -Wall -Wextra -o "$build/xwatch" bench/xwatch.c -lX11 -lXdamage -lXtst
probe=$PWD/$build/xwatch
game=$PWD/$build/ui/tavelorn-tiles

work=$(mktemp -d)
display=:$((90 + RANDOM % 100))
while [ -e "/tmp/.X11-unix/X${display#:}" ]; do display=:$((90 + RANDOM % 100)); done
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
# Into a file: the forked bus keeps its output open, so a pipe would not end.
dbus-daemon --session --fork --print-address=1 --print-pid=1 >"$work/bus"
bus_pid=$(sed -n 2p "$work/bus")
cleanup() {
    kill "$xvfb" "$bus_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
export DISPLAY=$display DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p "$work/bus")
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# name | command | how the new game is asked for
programs=("ours|$game|click 28 24" "ours-nogl|env QT_XCB_GL_INTEGRATION=none $game|click 28 24")
peers=()
for peer in kmahjongg gnome-mahjongg; do
    if [ -x "/usr/games/$peer" ]; then
        case $peer in
            kmahjongg) programs+=("$peer|/usr/games/$peer|click 25 40") ;;
            gnome-mahjongg) programs+=("$peer|/usr/games/$peer|key n Control_L") ;;
        esac
        peers+=("$peer")
    fi
done

run_once() {  # name command how
    local name=$1 command=$2 how=$3 home
    home=$(mktemp -d -p "$work")
    mkdir -m 700 "$home/run"
    local line
    # shellcheck disable=SC2086
    line=$(env -u XDG_CONFIG_HOME HOME="$home" XDG_RUNTIME_DIR="$home/run" "$probe" start 3 -- $command 2>/dev/null) || true
    local pid window
    pid=$(sed -n 's/.*pid=\([0-9]*\).*/\1/p' <<<"$line")
    window=$(sed -n 's/.*window=\(0x[0-9a-f]*\).*/\1/p' <<<"$line")
    echo "$line" | tr ' ' '\n' | sed -n 's/^\(map_ms\|paint_ms\|rss_kb\)=/\1 /p' >>"$work/$name"
    if [ -n "$window" ] && [ "$window" != 0x0 ]; then
        # shellcheck disable=SC2086
        "$probe" newgame "$window" "$presses" $how | sed 's/^/new_ms /' >>"$work/$name" || true
    fi
    if [ -n "$pid" ]; then
        kill "$pid" 2>/dev/null || true
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$pid" 2>/dev/null || true
    fi
}

for round in $(seq "$runs"); do
    for entry in "${programs[@]}"; do
        IFS='|' read -r name command how <<<"$entry"
        run_once "$name" "$command" "$how"
    done
    echo "round $round of $runs done" >&2
done

median() {  # name key
    awk -v k="$2" '$1 == k && $2 != "timeout" && $2 >= 0 { print $2 }' "$work/$1" | sort -n |
        awk '{ v[NR] = $1 } END { if (NR == 0) print "n/a"; else if (NR % 2) print v[(NR + 1) / 2]; else printf "%.1f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

echo
printf '%-16s %10s %10s %10s %10s\n' program map_ms paint_ms rss_MB new_ms
declare -A map paint rss newgame
for entry in "${programs[@]}"; do
    name=${entry%%|*}
    map[$name]=$(median "$name" map_ms)
    paint[$name]=$(median "$name" paint_ms)
    kb=$(median "$name" rss_kb)
    rss[$name]=$(awk -v k="$kb" 'BEGIN { if (k == "n/a") print k; else printf "%.1f", k / 1024 }')
    newgame[$name]=$(median "$name" new_ms)
    printf '%-16s %10s %10s %10s %10s\n' "$name" "${map[$name]}" "${paint[$name]}" "${rss[$name]}" "${newgame[$name]}"
done
echo "($runs runs each, medians; new game: $presses presses per run)"

if [ ${#peers[@]} -gt 0 ]; then
    fastest="" lightest=""
    for p in "${peers[@]}"; do
        if [ -z "$fastest" ] || awk -v a="${map[$p]}" -v b="${map[$fastest]}" 'BEGIN { exit !(a < b) }'; then fastest=$p; fi
        if [ -z "$lightest" ] || awk -v a="${rss[$p]}" -v b="${rss[$lightest]}" 'BEGIN { exit !(a < b) }'; then lightest=$p; fi
    done
    echo
    for ours in ours ours-nogl; do
        awk -v n="$ours" -v f="$fastest" -v l="$lightest" -v m="${map[$ours]}" -v fm="${map[$fastest]}" \
            -v p="${paint[$ours]}" -v fp="${paint[$fastest]}" -v r="${rss[$ours]}" -v lr="${rss[$lightest]}" \
            'BEGIN { printf "%s: map %.2f x %s, paint %.2f x %s, memory %.2f x %s\n", n, m / fm, f, p / fp, f, r / lr, l }'
    done
    echo "Goals: start-up at most 0.5 x the fastest peer; memory at most 1.0 x the lightest."
fi
