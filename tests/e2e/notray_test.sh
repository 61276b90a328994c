#!/usr/bin/env bash
# Runs the built program on an X server with a window manager but no tray (started by
# tests/desktop/on_desktop.sh around this script), and a tray that comes and goes:
#   - a Hidden start-up without a tray maps the window minimised (WM_STATE Iconic);
#   - a tray started afterwards gets the program's icon, and Hide then hides into it;
#   - when that tray goes away, the hidden window comes back minimised.
#
#   tests/desktop/on_desktop.sh tests/e2e/notray_test.sh PROGRAM
set -euo pipefail

program=$(realpath "$1")
[ -n "${DISPLAY:-}" ] || {
    echo "FAIL: run through tests/desktop/on_desktop.sh" >&2
    exit 1
}
command -v trayer >/dev/null || {
    echo "FAIL: trayer is missing; scripts/install-deps.sh installs it" >&2
    exit 1
}

work=$(mktemp -d)
program_pid=
tray_pid=
cleanup() {
    local status=$?
    for pid in $program_pid $tray_pid; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    if [ $status -ne 0 ]; then
        echo "--- program output" >&2
        cat "$work/program.log" >&2 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# fail, step, wait_until, window_named, is_gone, wm_state, has_state and tray_icon_centre.
source "$(dirname "$0")/../desktop/steps.sh"

export TZ=UTC LANG=C.UTF-8 LC_ALL=C.UTF-8
mkdir -p "$work/program" "$work/config/Marmoset Task" "$work/runtime"
chmod 700 "$work/runtime"
cp "$program" "$work/program/marmoset-task"
: >"$work/program/nkdat"
printf '[Software]\nShareware\\Quillnote\\2.0\\sound=0\nShareware\\Quillnote\\2.0\\startup=2\n' \
    >"$work/config/Marmoset Task/marmoset-task.ini"

start_tray() {
    trayer --edge bottom --align right --widthtype request --height 24 --SetDockType true \
        --transparent false >>"$work/trayer.log" 2>&1 &
    tray_pid=$!
}

step "a Hidden start-up without a tray maps the window minimised"
HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime \
    "$work/program/marmoset-task" >>"$work/program.log" 2>&1 &
program_pid=$!
wait_until 15 window_named "Marmoset Task" >/dev/null || fail "the main window did not map"
main=$(window_named "Marmoset Task")
wait_until 5 has_state "$main" Iconic || fail "the window is $(wm_state "$main"), not Iconic"
# Past the first tick, which hides a Hidden start where there is a tray.
sleep 1.5
has_state "$main" Iconic || fail "the window became $(wm_state "$main") without a tray"

step "a tray started afterwards gets the icon, and Hide hides into it"
start_tray
wait_until 10 tray_icon_centre >/dev/null || fail "no icon in the tray that came"
has_state "$main" Iconic || fail "the window became $(wm_state "$main") as the tray came"
xdotool windowactivate "$main"
wait_until 5 has_state "$main" Normal || fail "the window did not come back"
# The program learns of the tray at its next tick, which a busy machine may deliver late;
# until then Hide minimises, and the window is brought back to try again.
hide_into_tray() {
    xdotool windowactivate --sync "$main" key alt+w h 2>/dev/null
    wait_until 2 is_gone "Marmoset Task"
}
sleep 1
wait_until 10 hide_into_tray || fail "Hide did not hide the window into the tray"

step "when the tray goes away, the hidden window comes back minimised"
kill "$tray_pid"
wait "$tray_pid" 2>/dev/null || true
tray_pid=
wait_until 5 window_named "Marmoset Task" >/dev/null || fail "the hidden window stayed hidden"
main=$(window_named "Marmoset Task")
wait_until 3 has_state "$main" Iconic || fail "the window came back $(wm_state "$main")"

echo "PASS"
