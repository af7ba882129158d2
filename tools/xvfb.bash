# tools/xvfb.bash: sourced (not run) by the end-to-end tests and the figure scripts that need an
# X server.
#
#   source "$root/tools/xvfb.bash"
#   start_xvfb "$work" || fail "..."   # sets DISPLAY and xvfb_pid; the caller kills xvfb_pid
#
# start_xvfb DIR starts an Xvfb server on a display number it picks itself (-displayfd), so that
# parallel runs never collide, and returns once the server answers a client. Its output goes to
# DIR/xvfb.log; the "server already running" lines there are harmless: they come from the probe
# of display numbers that are taken.
#
# -noreset: by default, Xvfb resets when its last client leaves, and drops every client still in
# its connection handshake at that moment. A short-lived client (an xdotool call) that ends just
# as the program connects would then cut the program off ("could not connect to display"). With
# -noreset the server keeps every connection, whatever comes and goes beside it.

# [s] how long the server may take to start on a busy machine
xvfb_start_timeout_s=30

start_xvfb() {
    local dir=$1
    local displayfile="$dir/xvfb.display"
    : >"$displayfile"
    Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$displayfile" >"$dir/xvfb.log" 2>&1 &
    xvfb_pid=$!
    # Xvfb writes the number, with its newline, in one write once it accepts connections.
    local deadline=$((SECONDS + xvfb_start_timeout_s))
    until [ "$(wc -l <"$displayfile")" -ge 1 ]; do
        if ! kill -0 "$xvfb_pid" 2>/dev/null || [ "$SECONDS" -ge "$deadline" ]; then
            echo "start_xvfb: Xvfb did not start" >&2
            return 1
        fi
        sleep 0.05
    done
    export DISPLAY=":$(head -n 1 "$displayfile")"
    # One client, to be sure that the server answers before anything else is started.
    if ! xdotool getdisplaygeometry >/dev/null 2>&1; then
        echo "start_xvfb: Xvfb does not answer on $DISPLAY" >&2
        return 1
    fi
}

# choose_menu_item WINDOW X Y DOWNS: right-clicks WINDOW at X, Y (window coordinates), waits until
# the context menu is on the screen (one more visible window of the program that owns WINDOW),
# then presses Down DOWNS times and Return.
choose_menu_item() {
    local window=$1 x=$2 y=$3 downs=$4
    local pid before
    pid=$(xdotool getwindowpid "$window") || return 1
    before=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | wc -l)
    xdotool mousemove --window "$window" "$x" "$y" click 3
    local deadline=$((SECONDS + xvfb_start_timeout_s))
    until [ "$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | wc -l)" -gt "$before" ]; do
        [ "$SECONDS" -lt "$deadline" ] || { echo "choose_menu_item: no menu appeared" >&2; return 1; }
        sleep 0.05
    done
    local keys=()
    for ((i = 0; i < downs; ++i)); do keys+=(Down); done
    xdotool key "${keys[@]}" Return
}
