#!/usr/bin/env bash
# Runs a program on an X server of its own under a real window manager, so that its
# windows get the title bars and borders that the offscreen platform never gives.
# Exit status 77 (skipped) when Xvfb or openbox is not installed.
set -u

if ! command -v Xvfb >/dev/null || ! command -v openbox >/dev/null; then
    echo "Xvfb or openbox is not installed: skipped"
    exit 77
fi

work=$(mktemp -d)
xvfb=
wm=
cleanup() {
    [[ -n $wm ]] && kill "$wm" 2>/dev/null
    [[ -n $xvfb ]] && kill "$xvfb" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display itself and writes its number once it accepts connections.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do
    [[ -s $work/display ]] && break
    sleep 0.1
done
if [[ ! -s $work/display ]]; then
    echo "Xvfb did not start:" >&2
    cat "$work/xvfb.log" >&2
    exit 1
fi
export DISPLAY=":$(head -n 1 "$work/display")"

# Its own home, so that nothing is read from or written to the user's.
HOME=$work XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache openbox --sm-disable \
    2>"$work/openbox.log" &
wm=$!

QT_QPA_PLATFORM=xcb "$@"
status=$?
exit "$status"
