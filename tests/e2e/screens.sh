#!/usr/bin/env bash
# Screens of other shapes and sizes: the window maximised on a wide screen,
# or on a tall one beside it, fills that screen; a maximised window stays
# maximised and wholly on its screen as the screen shrinks and grows again,
# its bound following the screen.
xvfb_screen=3640x1500
source "$(dirname "$0")/xsession.sh" "$1" "$2"

# The window's outer rectangle, frame included, as WxH+X+Y, followed by
# " maximised" while the window manager has it maximised.
outer() {
    local l r t b
    read -r l r t b <<<"$(xprop -id "$window" _NET_FRAME_EXTENTS | sed -n 's/.*= //p' | tr -d ,)"
    xwininfo -id "$window" | awk -v l="${l:-0}" -v r="${r:-0}" -v t="${t:-0}" -v b="${b:-0}" '
        /Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4} /Width:/ {w = $2} /Height:/ {h = $2}
        END {printf "%dx%d+%d+%d", w + l + r, h + t + b, x - l, y - t}'
    xprop -id "$window" _NET_WM_STATE | grep -q 'MAXIMIZED_VERT, _NET_WM_STATE_MAXIMIZED_HORZ' && printf ' maximised'
    echo
}

# The largest size the window lets itself be given, as WxH.
bound() { xprop -id "$window" WM_NORMAL_HINTS | sed -n 's/.*program specified maximum size: \([0-9]*\) by \([0-9]*\)/\1x\2/p'; }

# Waits up to 5 s for the window to be maximised over exactly the rectangle
# $1, and bounded by $2 (each direction's largest screen); $3 says when.
fills() {
    for _ in $(seq 100); do [ "$(outer) $(bound)" = "$1 maximised $2" ] && return 0; sleep 0.05; done
    fail "$3: the window is $(outer), bounded by $(bound), not maximised over $1 and bounded by $2"
}

# One desktop of two monitors: a wide one, and a tall one to its right.
xrandr --setmonitor wide 2560/677x1080/286+0+0 screen >/dev/null &&
    xrandr --setmonitor tall 1080/286x1500/397+2560+0 none || fail "the X server takes no monitors"
while read -r name x y rectangle; do
    start
    timeout 10 xdotool windowmove --sync "$window" "$x" "$y" || fail "the window was not moved onto the $name screen"
    "$probe" maximize "$window"
    fills "$rectangle" 2560x1500 "maximised on the $name screen"
    close
    echo "maximised on the $name screen: the window fills it, $rectangle, bounded by each direction's largest screen"
done <<TABLE
wide 100 100 2560x1080+0+0
tall 2700 100 1080x1500+2560+0
TABLE

# One screen, maximised on at 1024 x 768, then set to 800 x 600 and back.
xrandr --delmonitor tall && xrandr --delmonitor wide || fail "the monitors could not be removed"
xrandr --newmode large 65 1024 1048 1184 1344 768 771 777 806 && xrandr --addmode screen large &&
    xrandr --newmode small 40 800 840 968 1056 600 601 605 628 && xrandr --addmode screen small &&
    xrandr --output screen --mode large --fb 1024x768 || fail "the X server takes no 1024 x 768 screen"
start
"$probe" maximize "$window"
fills 1024x768+0+0 1024x768 "maximised on 1024 x 768"
while read -r mode size; do
    xrandr --output screen --mode "$mode" --fb "$size"
    fills "$size+0+0" "$size" "maximised, the screen set to $size"
    echo "maximised, the screen set to $size: still maximised over the whole screen, and bounded by it"
done <<TABLE
small 800x600
large 1024x768
TABLE
close
echo "1 passed, 0 failed"
