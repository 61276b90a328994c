#!/usr/bin/env bash
# Runs a command on a desktop of its own: a fresh X server (Xvfb, on a display number nobody
# uses), the openbox window manager and, with --tray, a trayer tray. Everything started here
# is stopped when the command ends; the command's exit code is passed on.
#   on_desktop.sh [--tray] command [arguments...]
set -euo pipefail

tray=0
if [ "${1:-}" = "--tray" ]; then
    tray=1
    shift
fi

for tool in Xvfb openbox xprop; do
    if ! command -v "$tool" >/dev/null; then
        echo "on_desktop.sh: $tool is missing; scripts/install-deps.sh installs it" >&2
        exit 1
    fi
done

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display itself and writes its number once it accepts clients. It must not
# reset when its last client leaves (an xprop below, say): a client connecting just then, such
# as the window manager, would be turned away.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x700x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
if [ ! -s "$work/display" ]; then
    echo "on_desktop.sh: Xvfb did not start" >&2
    cat "$work/xvfb.log" >&2
    exit 1
fi
export DISPLAY=":$(head -n1 "$work/display")"

openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
# The window manager is up once it has announced itself on the root window; a desktop without
# one is an error, not a test run without it.
wm_up() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }
for _ in $(seq 100); do
    wm_up && break
    sleep 0.1
done
if ! wm_up; then
    echo "on_desktop.sh: openbox did not start" >&2
    cat "$work/openbox.log" >&2
    exit 1
fi

if [ "$tray" = 1 ]; then
    trayer --edge bottom --align right --widthtype request --height 28 --transparent false \
        --tint 0x303030 >"$work/trayer.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 50); do
        xdotool search --class trayer >/dev/null 2>&1 && break
        sleep 0.1
    done
fi

set +e
"$@"
status=$?
set -e
exit "$status"
