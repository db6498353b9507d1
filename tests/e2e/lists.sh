#!/usr/bin/env bash
# The layout and tile-set lists and the sound buttons as a player uses them,
# with the real mouse and keyboard: a name typed into a list only changes its
# text, whatever takes the focus away afterwards; New Game deals the typed
# layout and leaves the window whole; the wheel over a list that does not
# have the focus does nothing; Sound Fx On turns the sound back on; a click
# on the board takes the keyboard focus from a list.
source "$(dirname "$0")/xsession.sh" "$1" "$2"

# Waits up to 3 s for the settings file to hold the line $1; $2 says where.
saved() {
    for _ in $(seq 300); do grep -qx "$1" "$settings" 2>/dev/null && return 0; sleep 0.01; done
    fail "$2: no '$1' in the settings: $(cat "$settings" 2>/dev/null)"
}

# Types $2 over the text of the list at x = $1.
type_into() {
    click "$1" 32
    xdotool key ctrl+a type --delay 10 "$2"
}

board_sum() { "$probe" board "$window" | cut -d' ' -f2; }

# The board after half a second must still be $1; $2 says after what.
kept() {
    sleep 0.5
    [ "$(board_sum)" = "$1" ] || fail "$2: the board changed, the game in play is lost"
}

# Takes the focus from the game: a box of its own opened and closed with
# Escape ("help", "about", "background"), or a click into another window.
lose_focus() {
    local x y title box
    case $1 in
    other)
        xdotool mousemove --window "$other" 10 10 click 1
        return ;;
    help) x=576 y=24 title='How to Play' ;;
    about) x=556 y=444 title='About Tavelorn Tiles' ;;
    background) x=436 y=24 title='Background' ;;
    esac
    click "$x" "$y"
    box=$(timeout 10 xdotool search --all --sync --onlyvisible --pid "$game_pid" --name "^$title\$" | head -1)
    [ -n "$box" ] || fail "no '$title' box within 10 s"
    for _ in $(seq 300); do [ "$(xdotool getactivewindow)" = "$box" ] && break; sleep 0.01; done
    [ "$(xdotool getactivewindow)" = "$box" ] || fail "the '$title' box did not take the focus within 3 s"
    xdotool key Escape
    for _ in $(seq 300); do
        xdotool search --all --onlyvisible --pid "$game_pid" --name "^$title\$" >/dev/null || return 0
        sleep 0.01
    done
    fail "Escape left the '$title' box open"
}

# Another program's window, beside the game's.
xmessage -geometry 120x60+860+680 other 2>/dev/null &
pids+=($!)
other=$(timeout 10 xdotool search --sync --onlyvisible --class Xmessage | head -1)
[ -n "$other" ] || fail "no other window within 10 s"

start
# Sound Fx Off, then On: the sound is on again, and the sound buttons look
# as at the start, the Off button the enabled one.
xdotool mousemove --window "$window" 300 446
sound_buttons=$("$probe" window "$window" 468 8 77 33)
click 524 24
saved Sound=False "Sound Fx Off"
click 488 24
saved Sound=True "Sound Fx On"
xdotool mousemove --window "$window" 300 446
sleep 0.2
[ "$("$probe" window "$window" 468 8 77 33)" = "$sound_buttons" ] || fail "Sound Fx On: the buttons do not show the sound on"
echo "Sound Fx Off, then On: the sound is on and saved, the Off button enabled"

# A name typed into a list, then the focus taken away: nothing is dealt,
# no tile set applied. Each row types a name of its own, so that a pick of
# the row before would not hide it.
while read -r x text how; do
    before=$(board_sum)
    type_into "$x" "$text"
    lose_focus "$how"
    kept "$before" "'$text' typed, then $how"
    echo "'$text' typed, then $how: the game in play kept"
done <<TABLE
160 Tree help
160 Pyramid about
160 Key background
160 Dam other
350 Cards help
350 Animals other
TABLE

# The wheel over the layout list while the tile-set list has the focus, then
# while the layout list has it.
click 350 32
before=$(board_sum)
xdotool mousemove --window "$window" 160 32 click 5 click 5
kept "$before" "the wheel over the layout list without the focus"
click 160 32
xdotool click 5
changed "$before" || fail "the wheel over the layout list with the focus dealt nothing"
echo "the wheel over the layout list: nothing without the focus, a new game with it"

# A list used (clicked, a name picked from its drop-down with the mouse, or
# typed into), then a click on the board, beside the tiles or on one: the
# board has the keyboard focus, and Down deals nothing, applies no tile set.
while read -r list use entry on; do
    x=160 arrow=217
    [ "$list" = tile-set ] && x=350 arrow=393
    case $use in
    clicked) click "$x" 32 ;;
    typed) type_into "$x" "$entry" ;;
    picked)  # the drop-down opened at its arrow, an entry clicked
        before=$(board_sum)
        under=$("$probe" window "$window" "$((x - 20))" 50 60 60)
        click "$arrow" 32
        for _ in $(seq 300); do [ "$("$probe" window "$window" "$((x - 20))" 50 60 60)" != "$under" ] && break; sleep 0.01; done
        click "$x" "$entry"
        changed "$before" || fail "an entry picked from the $list list changed nothing" ;;
    esac
    # A click beside the tiles with none selected leaves the board as it
    # was; one on a tile is answered once the tile is lit.
    before=$(board_sum)
    if [ "$on" = on ]; then
        click_tile
        before=$(board_sum)
    else
        click 14 54
    fi
    xdotool key Down
    kept "$before" "the $list list $use, then a click $on the board, then Down"
    echo "the $list list $use, then a click $on the board: Down dealt nothing"
done <<TABLE
layout clicked - beside
tile-set typed Icons beside
layout picked 96 on
tile-set picked 88 on
TABLE
close

# A typed layout, then New Game: that layout is dealt, and every control and
# the board answer as before.
rm -rf "$XDG_CONFIG_HOME"
start
before=$(board_sum)
type_into 160 "Great Wall"
click 28 24
changed "$before" || fail "New Game after a typed layout dealt nothing"
xdotool key End type --delay 10 " 2"  # the focus is still in the layout field
click 350 32
xdotool key Down
saved TileSet=Cards "after New Game with a typed layout, the tile-set list"
click_tile
close
grep -qx 'Pattern=Great Wall 2' "$settings" || fail "New Game took the focus from the layout list: $(cat "$settings")"
echo "a typed layout, then New Game: dealt; the focus stays, the tile-set list and the board answer"
echo "1 passed, 0 failed"
