# Shared by the end-to-end tests: a private X server with a window manager,
# and the game started on it, read, clicked and closed.
#   source xsession.sh GAME PROBE
# The screen is 1024 x 768, or the size $xvfb_screen names (also the largest
# the screen can be set to).
set -uo pipefail
game=$1
probe=$2
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

# Milliseconds since the epoch.
now_ms() { date +%s%3N; }

Xvfb -displayfd 3 -screen 0 "${xvfb_screen:-1024x768}x24" -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -1 "$work/display")"
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 0.5

export QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$work/config"
settings="$XDG_CONFIG_HOME/Tavelorn Tiles/Tavelorn Tiles.ini"

# Starts the game (with the environment NAME=VALUE... given, every signal
# at its default as from a desktop's launcher) and waits until its board
# shows tiles; sets $game_pid, $window and $board ("<face pixels> <checksum>
# <x> <y> <x> <y>").
start() {
    env --default-signal "$@" "$game" >"$work/game.log" 2>&1 &
    game_pid=$!
    pids+=("$game_pid")
    window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$game_pid" --name '^Tavelorn Tiles$' | head -1)
    [ -n "$window" ] || fail "no window: $(cat "$work/game.log")"
    for _ in $(seq 100); do
        board=$("$probe" board "$window") || fail "cannot read the window"
        [ "${board%% *}" -gt 20000 ] && return 0
        sleep 0.1
    done
    fail "no tiles on the board: $board"
}

# Waits up to $1 tenths of a second for the game to end; sets $code to its
# exit status. Fails when it goes on running.
ended() {
    for _ in $(seq $(($1 * 10))); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.01; done
    kill -0 "$game_pid" 2>/dev/null && fail "the game did not end"
    wait "$game_pid"
    code=$?
}

# Asks the window to close as a window manager does; the game must end by
# itself with exit code 0.
close() {
    "$probe" close "$window"
    ended 100
    [ "$code" -eq 0 ] || fail "exit code $code: $(tail -3 "$work/game.log")"
}

# Waits until the board's picture differs from $1.
changed() {
    for _ in $(seq 300); do
        now=$("$probe" board "$window")
        [ "$(echo "$now" | cut -d' ' -f2)" != "$1" ] && return 0
        sleep 0.01
    done
    return 1
}

click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }

# Clicks an open tile (the rightmost, else the leftmost); sets $took to the
# milliseconds until the board shows it.
click_tile() {
    read -r _ sum rx ry lx ly <<<"$("$probe" board "$window")"
    local t0
    t0=$(now_ms)
    click "$rx" "$ry"
    if ! changed "$sum"; then
        t0=$(now_ms)
        click "$lx" "$ly"
        changed "$sum" || fail "a click on a tile was not answered"
    fi
    took=$(($(now_ms) - t0))
}
