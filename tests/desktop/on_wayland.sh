#!/usr/bin/env bash
# Runs a command on a Wayland desktop of its own: weston with its headless back end, drawing
# with pixman, on a socket in a fresh runtime folder (mode 0700, as a session has it), the
# ground one plain colour and no panel. The command runs with WAYLAND_DISPLAY,
# XDG_RUNTIME_DIR and QT_QPA_PLATFORM=wayland set and DISPLAY unset, so nothing it starts can
# fall back to an X server. weston's debug protocol is on: weston-screenshooter works (see
# wayland_screenshot in steps.sh). Everything started here is stopped when the command ends;
# the command's exit code is passed on.
#   on_wayland.sh command [arguments...]
set -euo pipefail

for tool in weston weston-screenshooter; do
    if ! command -v "$tool" >/dev/null; then
        echo "on_wayland.sh: $tool is missing; scripts/install-deps.sh installs it" >&2
        exit 1
    fi
done

work=$(mktemp -d)
runtime="$work/runtime"
mkdir -m 700 "$runtime"
weston_pid=
cleanup() {
    if [ -n "$weston_pid" ]; then
        kill "$weston_pid" 2>/dev/null || true
        wait "$weston_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

cat >"$work/weston.ini" <<'INI'
[core]
idle-time=0

[shell]
background-image=none
background-color=0xff4a5a66
panel-position=none
locking=false
INI

XDG_RUNTIME_DIR=$runtime weston --config="$work/weston.ini" --backend=headless-backend.so \
    --use-pixman --width=1024 --height=700 --socket=wayland-test --debug \
    >"$work/weston.log" 2>&1 &
weston_pid=$!
# The socket is there once weston takes clients; the shell's ground comes a moment later.
for _ in $(seq 100); do
    [ -S "$runtime/wayland-test" ] && break
    if ! kill -0 "$weston_pid" 2>/dev/null; then break; fi
    sleep 0.1
done
if [ ! -S "$runtime/wayland-test" ]; then
    echo "on_wayland.sh: weston did not start" >&2
    cat "$work/weston.log" >&2
    exit 1
fi

set +e
env -u DISPLAY XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY=wayland-test QT_QPA_PLATFORM=wayland \
    "$@"
status=$?
set -e
exit "$status"
