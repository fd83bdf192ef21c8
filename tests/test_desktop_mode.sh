#!/usr/bin/env bash
# The desktop gets its display mode back, whichever way the program ends after a
# fullscreen switch. Runs a real X server with switchable modes (X.Org's dummy
# driver), puts the desktop at 1280x720, runs the film fullscreen in the first mode
# the dialog lists (1920x1080), checks that the display really switched, ends the
# program one way, and compares the display's state with the one before the start.
#
# usage: test_desktop_mode.sh HALVANE WM_DELETE_TOOL RUNDIR XORG_CONF SCENARIO
# scenarios: escape, close, music-ends, sigterm, sigint, sighup, abort,
#            fatal-loading (the music is missing), fatal-frame (a texture is missing),
#            desktop (Run with nothing selected: the film plays at the desktop's 1280x720),
#            refused (the first mode listed is one the screen cannot take: refused with
#            status 1 before anything loads)
set -u
halvane=$1
wm_delete=$2
rundir=$3
xorg_conf=$4
scenario=$5

if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP: the X server with real display modes needs root"
    exit 77
fi

xpid=0
before_cleanup() {
    [ "$xpid" -ne 0 ] && { kill "$xpid" 2>/dev/null; wait "$xpid" 2>/dev/null; }
}
. "$(dirname "$0")/support/drive_program.sh"

# Displays :20 to :39: below the :99 upwards that xvfb-run -a takes, and free of other runs.
start_x_server() {
    local n
    for n in $(seq 20 39); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xorg ":$n" -noreset -nolisten tcp -config "$xorg_conf" -logfile "$work/xorg.log" \
            -novtswitch -sharevts >/dev/null 2>&1 &
        xpid=$!
        local deadline=$((SECONDS + 15))
        while [ $SECONDS -lt $deadline ] && kill -0 "$xpid" 2>/dev/null; do
            if DISPLAY=":$n" xrandr --query >/dev/null 2>&1; then
                export DISPLAY=":$n"
                return 0
            fi
            sleep 0.2
        done
        kill "$xpid" 2>/dev/null; wait "$xpid" 2>/dev/null
        xpid=0
    done
    return 1
}

# The screen's size and every output's geometry and current mode.
display_state() {
    xrandr --query | grep -E '^Screen| connected|\*'
}

start_x_server || fail "no X server with the dummy driver would start (see Xorg's log)"
xrandr -s 1280x720 || fail "cannot put the desktop at 1280x720"
before=$(display_state)
echo "$before" | grep -q 'current 1280 x 720' || fail "desktop is not at 1280x720: $before"

borrow_film_content "$rundir"
own_directory data/Collada2
music_seconds=30
case "$scenario" in
music-ends) music_seconds=3 ;;
fatal-frame) rm "$work/data/Collada2/wood_diffuse.png" ;;
esac
if [ "$scenario" != fatal-loading ]; then make_music "$music_seconds"; fi

if [ "$scenario" = refused ]; then
    # Listed by the output, but wider than any screen this server can make.
    xrandr --newmode 33000x100 1000 33000 33100 33200 33300 100 110 120 130 +hsync +vsync &&
        xrandr --addmode DUMMY0 33000x100 || fail "cannot add a mode the screen cannot take"
fi

start_program

# Fullscreen is checked and nothing matches the preselection: Return alone runs at the
# desktop's mode; Home first selects the first mode listed.
if [ "$scenario" = desktop ]; then dialog_keys Return; else dialog_keys Home Return; fi

if [ "$scenario" = refused ]; then
    dismiss_message_box
    wait_for_end 20
    [ "$status" -eq 1 ] || fail "a refused mode ended with status $status"
    grep -q 'Failed to set full screen mode' "$work/err" || fail "the refusal did not say so"
    ! grep -q '^Found file' "$work/out" || fail "the refusal came only after loading"
elif [ "$scenario" = desktop ]; then
    window=$(wait_for_window Vostrel 30) || fail "no window named Vostrel"
    sleep 0.5
    geometry=$(xwininfo -id "$window" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}')
    [ "$geometry" = "1280x720" ] || fail "the film plays in a $geometry window, not at the desktop's 1280x720"
    during=$(display_state)
    [ "$during" = "$before" ] || fail "the display changed mode: $during"
    xdotool windowfocus --sync "$window" 2>/dev/null
    xdotool key Escape
    wait_for_end 30
    [ "$status" -eq 0 ] || fail "ended with status $status"
elif [ "$scenario" = fatal-loading ]; then
    dismiss_message_box
    wait_for_end 20
    [ "$status" -eq 1 ] || fail "a fatal loading message ended with status $status"
else
    window=$(wait_for_window Vostrel 30) || fail "no window named Vostrel"
    sleep 0.5
    during=$(display_state)
    echo "$during" | grep -q 'current 1920 x 1080\|1920x1080+0+0' || fail "the display did not switch: $during"
    case "$scenario" in
    escape)
        xdotool windowfocus --sync "$window" 2>/dev/null
        xdotool key Escape
        expected=0 ;;
    close)
        "$wm_delete" "$window" || fail "could not send WM_DELETE_WINDOW"
        expected=0 ;;
    music-ends) expected=0 ;;
    sigterm) kill -TERM "$pid"; expected=143 ;;
    sigint) kill -INT "$pid"; expected=130 ;;
    sighup) kill -HUP "$pid"; expected=129 ;;
    abort) kill -ABRT "$pid"; expected=134 ;;
    fatal-frame) dismiss_message_box; expected=1 ;;
    *) fail "unknown scenario" ;;
    esac
    wait_for_end 30
    [ "$status" -eq "$expected" ] || fail "ended with status $status, expected $expected"
fi

after=$(display_state)
[ "$after" = "$before" ] || fail "the desktop was left at
$after
instead of
$before"
echo "PASS ($scenario): status $status, desktop back at 1280x720"
exit 0
