#!/usr/bin/env bash
# The game on an unlucky desktop: no display at all, a sound server that
# never answers, and the session's signals. It never hangs, never loses its
# settings, and says in one line what it lacks.
source "$(dirname "$0")/xsession.sh" "$1" "$2"

# No display: one line that names what was tried, exit code 1, no abort.
free=5000
while [ -e "/tmp/.X11-unix/X$free" ]; do free=$((free + 1)); done
while IFS='|' read -r what expect args; do
    # shellcheck disable=SC2086
    timeout 20 env $args "$game" >"$work/out" 2>"$work/err"
    code=$?
    [ "$code" -ne 124 ] || fail "$what: still running after 20 s"
    [ "$code" -eq 1 ] || fail "$what: exit code $code: $(cat "$work/err")"
    [ "$(wc -l <"$work/err")" -eq 1 ] || fail "$what: not one line: $(cat "$work/err")"
    grep -q "needs a graphical display.*$expect" "$work/err" || fail "$what: $(cat "$work/err")"
    echo "$what: $(cat "$work/err")"
done <<TABLE
no DISPLAY|"xcb"|-u DISPLAY QT_QPA_PLATFORM=xcb
no X server|DISPLAY=:$free|DISPLAY=:$free QT_QPA_PLATFORM=xcb
no such platform|"nowhere"|QT_QPA_PLATFORM=nowhere
no such platform asked with -platform|"elsewhere"|QT_QPA_PLATFORM=xcb $game -platform elsewhere
TABLE

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

# A sound server that takes connections and never answers: clicks are
# answered at once, in silence, and the close still saves.
python3 -c '
import socket, sys
server = socket.socket(socket.AF_UNIX)
server.bind(sys.argv[1])
server.listen(16)
held = []
while True:
    held.append(server.accept()[0])
' "$work/pulse" &
pids+=($!)
for _ in $(seq 50); do [ -S "$work/pulse" ] && break; sleep 0.1; done
[ -S "$work/pulse" ] || fail "the silent sound server did not start within 5 s"
start PULSE_SERVER="unix:$work/pulse"
t0=$(now_ms)
"$probe" board "$window" >/dev/null
echo "one reading of the board takes $(($(now_ms) - t0)) ms"
for _ in 1 2; do
    click_tile
    echo "with a silent sound server: a click answered in $took ms (the probe's reading included)"
    [ "$took" -lt 1000 ] || fail "a click waited on the sound server"
done
t0=$(now_ms)
close
echo "closed in $(($(now_ms) - t0)) ms; settings: $(tr '\n' ' ' <"$settings")"
grep -qx 'Sound=True' "$settings" || fail "settings not saved"

# SIGTERM, SIGHUP and SIGINT close the window as its close button does,
# also over a modal box: the settings are saved and the exit code is 0.
while read -r sig about; do
    rm -rf "$XDG_CONFIG_HOME"
    start
    # Sound off, to be found in the saved settings; the window changes (the
    # other sound button lights up) once the game has taken the click.
    before=$("$probe" window "$window")
    click 524 24
    for _ in $(seq 300); do [ "$("$probe" window "$window")" != "$before" ] && break; sleep 0.01; done
    [ "$("$probe" window "$window")" != "$before" ] || fail "SIG$sig: the sound button did not answer its click within 3 s"
    if [ "$about" = about ]; then
        click 556 444
        timeout 10 xdotool search --sync --onlyvisible --pid "$game_pid" --name '^About Tavelorn Tiles$' >/dev/null ||
            fail "no About box"
    fi
    t0=$(now_ms)
    kill -"$sig" "$game_pid"
    ended 50
    [ "$code" -eq 0 ] || fail "SIG$sig: exit code $code"
    grep -qx 'Sound=False' "$settings" 2>/dev/null || fail "SIG$sig: settings not saved"
    echo "SIG$sig${about:+ over the About box}: ended in $(($(now_ms) - t0)) ms, exit code 0, settings: $(tr '\n' ' ' <"$settings")"
done <<TABLE
TERM
HUP
INT
TERM about
TABLE

# A signal the game was started with ignored (nohup) stays ignored.
start --ignore-signal=HUP
kill -HUP "$game_pid"
sleep 0.3
kill -0 "$game_pid" 2>/dev/null || fail "an ignored SIGHUP ended the game"
kill -TERM "$game_pid"
ended 50
[ "$code" -eq 0 ] || fail "SIGTERM after an ignored SIGHUP: exit code $code"
echo "SIGHUP ignored from the start: ignored"

# A second signal while the first is being handled ends the game at once.
rm -rf "$XDG_CONFIG_HOME"
start
kill -STOP "$game_pid"
kill -HUP "$game_pid"
kill -TERM "$game_pid"
kill -CONT "$game_pid"
ended 50
[ "$code" -gt 128 ] || fail "a second signal did not end the game at once: exit code $code"
echo "a second signal: exit code $code"
echo "1 passed, 0 failed"
