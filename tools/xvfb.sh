# Sourced by the scripts: start_xvfb starts an Xvfb of our own on a free display
# (1024x768, 24 bits) and exports DISPLAY; it is stopped when the script exits.
start_xvfb() {
    local fifo dir
    dir=$(mktemp -d)
    fifo=$dir/display
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "${XVFB_SCREEN:-1024x768x24}" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    XVFB_PID=$!
    local num
    read -r num <"$fifo"
    rm -rf "$dir"
    export DISPLAY=":$num"
    trap 'kill $XVFB_PID 2>/dev/null || true' EXIT
}
