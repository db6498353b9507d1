#!/usr/bin/env bash
# The game on an unlucky desktop: no display at all, a sound server that
# never answers, the session's signals (a logout sends several at once), no
# home folder, and the display going away. It never hangs, never loses its
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
no X server|DISPLAY=:$free (could not connect to display :$free)$|DISPLAY=:$free QT_QPA_PLATFORM=xcb
no X server, plugins' search shown|(could not connect to display :$free)$|DISPLAY=:$free QT_QPA_PLATFORM=xcb QT_DEBUG_PLUGINS=1
no such platform|"nowhere"|QT_QPA_PLATFORM=nowhere
no such platform asked with -platform|"elsewhere"|QT_QPA_PLATFORM=xcb $game -platform elsewhere
TABLE

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

# A tool asks for a window of 32767 x 32767: the window takes the screen and
# no more, and so does its memory (a board that size takes 8 GB); the screen
# made smaller, then larger again, moves the bound with it.
start
xrandr --newmode small 40 800 840 968 1056 600 601 605 628 && xrandr --addmode screen small ||
    fail "the X server takes no smaller screen"
while read -r mode size; do
    xrandr --output screen --mode "$mode" --fb "$size"
    for _ in $(seq 50); do
        xdotool windowsize "$window" 32767 32767
        sleep 0.1
        took=$(xwininfo -id "$window" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w "x" h}')
        [ "$took" = "$size" ] && break
    done
    [ "$took" = "$size" ] || fail "on a screen of $size, asked for 32767 x 32767, the window took $took"
done <<TABLE
1024x768 1024x768
small 800x600
1024x768 1024x768
TABLE
peak=$(awk '/VmHWM/ {print $2}' "/proc/$game_pid/status")
[ "$peak" -lt 400000 ] || fail "asked for 32767 x 32767, the game's memory peaked at $peak kB"
close
echo "asked for 32767 x 32767: the window took the screen as it changed, its memory peaked at $peak kB"

# Turns the sound off, to be found in the saved settings; the window
# changes (the other sound button lights up) once the game has taken the
# click, and by then the change is on disk.
sound_off() {
    local before
    before=$("$probe" window "$window")
    click 524 24
    for _ in $(seq 300); do [ "$("$probe" window "$window")" != "$before" ] && break; sleep 0.01; done
    [ "$("$probe" window "$window")" != "$before" ] || fail "the sound button did not answer its click within 3 s"
    for _ in $(seq 100); do grep -qx 'Sound=False' "$settings" 2>/dev/null && return 0; sleep 0.01; done
    fail "turning the sound off was not kept at once"
}

# SIGTERM, SIGHUP and SIGINT close the window as its close button does,
# also over a modal box: the close saves the settings (the file is written
# anew) and the exit code is 0. The signals that follow at once (a logout
# sends SIGTERM, SIGCONT, SIGHUP; a held Ctrl+C dozens; a session manager in
# a loop a hundred 9 ms apart, or more until the game is gone) wait for that
# close and the program's end.
while read -r signals about; do
    rm -rf "$XDG_CONFIG_HOME"
    start
    sound_off
    if [ "$about" = about ]; then
        click 556 444
        timeout 10 xdotool search --all --sync --onlyvisible --pid "$game_pid" --name '^About Tavelorn Tiles$' >/dev/null ||
            fail "no About box"
    fi
    inode=$(stat -c %i "$settings")
    t0=$(now_ms)
    IFS=, read -ra sent <<<"$signals"
    for sig in "${sent[@]}"; do
        if [[ $sig == *x* ]]; then
            for _ in $(seq "${sig#*x}"); do kill -"${sig%x*}" "$game_pid"; done
        elif [[ $sig == *~* ]]; then  # 9 ms apart
            for _ in $(seq "${sig#*~}"); do kill -"${sig%~*}" "$game_pid"; sleep 0.009; done
        elif [[ $sig == *! ]]; then  # as fast as they go, until the game is gone
            for ((n = 0; n < 1000000; n++)); do kill -"${sig%!}" "$game_pid" 2>/dev/null || break; done
        else
            kill -"$sig" "$game_pid"
        fi
    done
    ended 50
    [ "$code" -eq 0 ] || fail "SIG$signals: exit code $code"
    grep -qx 'Sound=False' "$settings" 2>/dev/null || fail "SIG$signals: settings lost"
    [ "$(stat -c %i "$settings")" != "$inode" ] || fail "SIG$signals: the close did not save"
    [ "$(ls -A "$(dirname "$settings")")" = "$(basename "$settings")" ] || fail "SIG$signals: left $(ls -A "$(dirname "$settings")")"
    echo "SIG$signals${about:+ over the About box}: ended in $(($(now_ms) - t0)) ms, exit code 0, saved by the close"
done <<TABLE
TERM
HUP
INT
TERM about
TERM,CONT,HUP
TERM,CONT,HUP about
INTx50
HUP~100
HUP!
STOP,HUP,TERM,CONT
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

# A close that is stuck past its fair time (here held stopped while its
# save waits on another host's lock) is ended at once by the next signal,
# and leaves nothing of its own behind.
rm -rf "$XDG_CONFIG_HOME"
start
sound_off
printf '1\nTavelorn Tiles\nelsewhere\n' >"$settings.lock"
kill -TERM "$game_pid"
sleep 0.5
kill -STOP "$game_pid"
sleep 5
kill -HUP "$game_pid"
kill -CONT "$game_pid"
ended 50
[ "$code" -eq 129 ] || fail "a signal after the close's time did not end the game at once: exit code $code"
[ "$(ls -A "$(dirname "$settings")" | tr '\n' ' ')" = "$(basename "$settings") $(basename "$settings").lock " ] ||
    fail "a stuck close left $(ls -A "$(dirname "$settings")")"
echo "a signal 5.5 s into a stuck close: exit code $code, nothing left behind"

# No home folder at all (the user database's is /nonexistent) and a relative
# XDG_CONFIG_HOME: the game plays, says once that it keeps no settings, and
# writes nothing, not under the folder it was started from either.
if [ "$(id -u)" -eq 0 ]; then
    cwd="$work/cwd"
    mkdir -p "$cwd" && chmod 777 "$cwd" && chmod 711 "$work"
    # That user may not reach into the tree (a clone in a private folder):
    # the program and the sanitizers' suppressions go where it can.
    cp "$game" "$work/game" && chmod 755 "$work/game"
    game="$work/game"
    lsan=${LSAN_OPTIONS:-}
    if [[ $lsan =~ suppressions=([^:]*) ]]; then
        cp "${BASH_REMATCH[1]}" "$work/lsan.supp" && chmod 644 "$work/lsan.supp"
        lsan=${lsan/"${BASH_REMATCH[1]}"/"$work/lsan.supp"}
    fi
    start -u HOME XDG_CONFIG_HOME=config LSAN_OPTIONS="$lsan" --chdir="$cwd" \
        setpriv --reuid=65534 --regid=65534 --clear-groups
    click 524 24
    sleep 0.3
    close
    [ "$(grep -c 'settings will not be kept' "$work/game.log")" -eq 1 ] || fail "no home: $(cat "$work/game.log")"
    [ -z "$(ls -A "$cwd")" ] || fail "no home: wrote $(ls -A "$cwd")"
    echo "no home folder: $(grep 'settings will not be kept' "$work/game.log")"
fi

# The display goes away after a change: the game ends (exit code 1, as Qt
# ends it), and the change is kept.
rm -rf "$XDG_CONFIG_HOME"
start
sound_off
kill -9 "${pids[0]}"  # the X server
ended 100
[ "$code" -eq 1 ] || fail "the display gone: exit code $code"
grep -qx 'Sound=False' "$settings" || fail "the display gone: the change was lost"
echo "the display gone: exit code $code, the change kept"
echo "1 passed, 0 failed"
