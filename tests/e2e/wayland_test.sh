#!/usr/bin/env bash
# Runs the built program on a Wayland desktop (weston, started by tests/desktop/on_wayland.sh
# around this script) and checks in the desktop's pictures what a user would see:
#   - a task due now raises its reminder, and the reminder's title bar has no minimise or
#     maximise button (nor any other), but shows the icon and caption;
#   - a minimised start, which weston does not do, opens the main window normal; it keeps
#     the stored size wherever the compositor puts it, and has the buttons of Qt's own frame,
#     which shows that the check sees buttons where there are some.
#
#   tests/desktop/on_wayland.sh tests/e2e/wayland_test.sh PROGRAM TITLEBAR_CHECK
#
# MARMOSET_SCREENSHOTS=folder also saves the desktop with the reminder there.
set -euo pipefail

program=$(realpath "$1")
check=$(realpath "$2")
[ -n "${WAYLAND_DISPLAY:-}" ] || {
    echo "FAIL: run through tests/desktop/on_wayland.sh" >&2
    exit 1
}

work=$(mktemp -d)
program_pid=
cleanup() {
    local status=$?
    if [ -n "$program_pid" ]; then
        kill "$program_pid" 2>/dev/null || true
        wait "$program_pid" 2>/dev/null || true
    fi
    if [ $status -ne 0 ]; then
        echo "--- program output" >&2
        cat "$work"/*/program.log >&2 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# fail, step, wait_until and wayland_screenshot.
source "$(dirname "$0")/../desktop/steps.sh"

export TZ=UTC LANG=C.UTF-8 LC_ALL=C.UTF-8

# A program folder with the program, a task file and settings of its own.
make_folder() {
    local dir="$work/$1"
    mkdir -p "$dir/program" "$dir/config/Marmoset Task"
    cp "$program" "$dir/program/marmoset-task"
    printf '[Software]\nShareware\\Quillnote\\2.0\\sound=0\n%s\n' "${2:-}" >"$dir/config/Marmoset Task/marmoset-task.ini"
    : >"$dir/program/nkdat"
    echo "$dir"
}

start_in() {
    local dir=$1
    HOME=$dir XDG_CONFIG_HOME=$dir/config "$dir/program/marmoset-task" >>"$dir/program.log" 2>&1 &
    program_pid=$!
}

stop_program() {
    kill "$program_pid" 2>/dev/null || true
    wait "$program_pid" 2>/dev/null || true
    program_pid=
}

# Takes pictures until one shows a window; its check's lines are left in $work/seen.
window_seen() {
    wayland_screenshot "$work/shot.png" && "$check" "$work/shot.png" >"$work/seen"
}
seen() { awk -v key="$1" '$1 == key {$1 = ""; print substr($0, 2)}' "$work/seen"; }

step "a task due now raises its reminder, whose title bar has no buttons"
dir=$(make_folder reminder)
# The hour that has just begun; hour 24 of yesterday stands for midnight.
if [ "$(date +%-H)" = 0 ]; then
    printf '#%s{+}0{+}0{+}0{+}Call the bank{+}(none){+}24\r\n' "$(date -d yesterday +%-m/%-d/%Y)"
else
    printf '#%s{+}0{+}0{+}0{+}Call the bank{+}(none){+}%s\r\n' "$(date +%-m/%-d/%Y)" "$(date +%-H)"
fi >"$dir/program/nkdat"
start_in "$dir"
wait_until 15 window_seen || fail "no reminder came up"
# The frame may still be on its way in the first picture.
sleep 0.5
window_seen || fail "the reminder went away"
cat "$work/seen" | sed 's/^/    /'
[ "$(seen buttons)" = 0 ] || fail "the reminder's title bar has $(seen buttons) buttons"
[ "$(seen caption)" = yes ] || fail "the reminder's title bar shows no caption"
if [ -n "${MARMOSET_SCREENSHOTS:-}" ]; then
    cp "$work/shot.png" "$MARMOSET_SCREENSHOTS/reminder-wayland.png"
fi
grep -q '{+}0{+}0{+}Call the bank' "$dir/program/nkdat" || fail "the task file changed unanswered"
stop_program

step "a minimised start the compositor ignores opens normal, at the stored size"
dir=$(make_folder placement $'Shareware\\Quillnote\\2.0\\startup=1\nShareware\\Quillnote\\2.0\\dim="2000,-500,2640,-20"')
start_in "$dir"
wait_until 15 window_seen || fail "the main window did not show"
# Given its stored size once its frame is known.
stored_size_seen() { window_seen && [ "$(seen window | cut -d' ' -f3-)" = "640 480" ]; }
wait_until 5 stored_size_seen || true
cat "$work/seen" | sed 's/^/    /'
read -r x y width height < <(seen window)
[ "$width $height" = "640 480" ] || fail "the main window is ${width}x$height, not 640x480"
((x >= 0 && y >= 0 && x + width <= 1024 && y + height <= 700)) ||
    fail "the main window is not on the screen at $x,$y"
[ "$(seen buttons)" = 3 ] || fail "the check found $(seen buttons) buttons on the main window's frame"
stop_program

echo "PASS"
