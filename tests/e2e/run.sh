#!/usr/bin/env bash
# The real program on a real X server: it opens its window with a dealt
# board, a click on a tile changes the picture, a close through the window
# system ends it with exit code 0, and its settings hold between two starts.
set -uo pipefail
game=$1
probe=$2
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -1 "$work/display")"
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 0.5

export QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$work/config"
settings="$XDG_CONFIG_HOME/Tavelorn Tiles/Tavelorn Tiles.ini"

# Starts the game and waits until its board shows tiles; sets $game_pid,
# $window and $board ("<face pixels> <checksum> <x> <y> <x> <y>").
start() {
    "$game" >"$work/game.log" 2>&1 &
    game_pid=$!
    window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tavelorn Tiles$' | head -1)
    [ -n "$window" ] || fail "no window"
    for _ in $(seq 100); do
        board=$("$probe" board "$window") || fail "cannot read the window"
        [ "${board%% *}" -gt 20000 ] && return 0
        sleep 0.1
    done
    fail "no tiles on the board: $board"
}

# Asks the window to close as a window manager does; the game must end by
# itself with exit code 0.
close() {
    "$probe" close "$window"
    for _ in $(seq 100); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$game_pid" 2>/dev/null && fail "the game did not end on close"
    wait "$game_pid"
    local code=$?
    [ "$code" -eq 0 ] || fail "exit code $code"
}

# Waits until the board's picture differs from $1.
changed() {
    for _ in $(seq 30); do
        now=$("$probe" board "$window")
        [ "$(echo "$now" | cut -d' ' -f2)" != "$1" ] && return 0
        sleep 0.1
    done
    return 1
}

click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }

# First run: a click on an open tile highlights it.
start
read -r faces sum rx ry lx ly <<<"$board"
echo "board shows $faces face pixels"
click "$rx" "$ry"
if ! changed "$sum"; then
    click "$lx" "$ly"
    changed "$sum" || fail "a click on a tile changed nothing"
fi
echo "a click changed the board"

# Sound off; a tile set and a layout picked with the arrow keys.
click 524 24
click 330 32
xdotool key Down
click 160 32
xdotool key Down
sleep 0.3
close
[ -f "$settings" ] || fail "no settings written"
grep -qx 'Sound=False' "$settings" || fail "sound not stored: $(cat "$settings")"
grep -qx 'TileSet=Cards' "$settings" || fail "tile set not stored: $(cat "$settings")"
grep -qx 'Pattern=Mountain' "$settings" || fail "layout not stored: $(cat "$settings")"

# Second run: it starts with what the first one stored and writes it back.
rm -f "$settings.first" && cp "$settings" "$settings.first"
start
close
diff -q "$settings.first" "$settings" >/dev/null || fail "settings changed between runs: $(cat "$settings")"
echo "1 passed, 0 failed"
