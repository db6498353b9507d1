#!/usr/bin/env bash
# The real program on a real X server: it opens its window with a dealt
# board, a click on a tile changes the picture, a close through the window
# system ends it with exit code 0, and its settings hold between two starts.
source "$(dirname "$0")/xsession.sh" "$1" "$2"

# First run: a click on an open tile highlights it.
start
read -r faces sum rx ry lx ly <<<"$board"
echo "board shows $faces face pixels"
# The desktop knows the window by the game's name.
class=$(xprop -id "$window" WM_CLASS)
[[ $class == *', "Tavelorn Tiles"' ]] || fail "the window's class: $class"
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
