# Sourced by scripts that start the window: a virtual X display of their own.
#   start_private_display <work dir> <seconds to wait>
# sets DISPLAY and xvfb_pid (the caller kills it on exit). Xvfb picks a free display number
# itself and writes it to the fd given to -displayfd once it accepts clients, so no other
# program can take it in between. Without -noreset the server resets each time its last
# client leaves (every xdotool search), and a program connecting during the reset is refused.
start_private_display() {
    mkfifo "$1/display"
    Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$1/display" \
        >"$1/xvfb.log" 2>&1 &
    xvfb_pid=$!
    local display=""
    read -r -t "$2" display <"$1/display" || true
    if ! [[ "$display" =~ ^[0-9]+$ ]]; then
        echo "Xvfb gave no display number: $(tr '\n' ' ' <"$1/xvfb.log")" >&2
        return 1
    fi
    export DISPLAY=":$display"
    unset QT_QPA_PLATFORM WAYLAND_DISPLAY
}
