#!/usr/bin/env bash
# Runs the built program on a real desktop: an X server (Xvfb) with a window manager
# (openbox), a tray (trayer) and a notification server (dunst) on a session bus of its own,
# and checks what a user would see:
#   - a reminder ignores a stray Return in its first moment and leaves the task file alone;
#   - it carries the program's icon and goes out as a desktop notice;
#   - a reminder that the window manager minimises comes back by itself;
#   - a task file replaced by another program shows (with its reminder) within two seconds;
#   - the tray icon's double-click and a second copy bring an open reminder to the front;
#   - the window's place: the first exit stores its frame, later runs open there and store the
#     same, a minimised start stays minimised with a stored place and restores to it, and an
#     exit while minimised stores nothing;
#   - the Minimized start-up mode maps the window iconic;
#   - a task file that is a named pipe gives a message, and the program still answers;
#   - an Enter held down to close a message does not reach the window below it.
#
#   tests/e2e/desktop_test.sh PROGRAM
#
# Needs Xvfb, openbox, trayer, xdotool, x11-utils, dbus and dunst (scripts/install-deps.sh).
# MARMOSET_SCREENSHOTS=folder also saves the desktop with the reminder and its notice there.
set -euo pipefail

program=$(realpath "$1")
for tool in Xvfb openbox trayer xdotool xprop xwininfo xmessage dbus-daemon dunst dunstctl; do
    if ! command -v "$tool" >/dev/null; then
        echo "FAIL: $tool is missing; scripts/install-deps.sh installs it" >&2
        exit 1
    fi
done

work=$(mktemp -d)
pids=()
cleanup() {
    local status=$?
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    if [ -n "${bus_pid:-}" ]; then kill "$bus_pid" 2>/dev/null || true; fi
    if [ $status -ne 0 ]; then
        echo "--- program output" >&2
        cat "$work"/*/program.log >&2 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# (A pipe into grep reads all of its input: with pipefail, grep -q could fail the pipe.)

# fail, step, wait_until, window_named and is_gone.
source "$(dirname "$0")/../desktop/steps.sh"

now_ms() { date +%s%3N; }

# --- the desktop -------------------------------------------------------------------------
export TZ=UTC LANG=C.UTF-8 LC_ALL=C.UTF-8
exec 3>"$work/display"
# -noreset: Xvfb would otherwise reset whenever its last client left, and a window manager
# connecting during that reset gives up.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
pids+=($!)
exec 3>&-
wait_until 10 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"
read -r bus_address bus_pid < <(dbus-daemon --session --fork --print-address=1 --print-pid=1 |
    paste -sd ' ')
export DBUS_SESSION_BUS_ADDRESS=$bus_address
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
trayer --edge bottom --align right --widthtype request --height 24 --SetDockType true \
    --transparent false >"$work/trayer.log" 2>&1 &
pids+=($!)
dunst >"$work/dunst.log" 2>&1 &
pids+=($!)
wait_until 10 dunstctl is-paused >/dev/null 2>&1 || fail "the notification server did not start"
# xprop succeeds even when the property is missing; only a window id means a manager runs.
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }
wait_until 10 wm_running || fail "the window manager did not start: $(cat "$work/openbox.log")"

# --- helpers around the program ------------------------------------------------------------
yesterday=$(date -d yesterday +%-m/%-d/%Y)
task_line() { printf '#%s{+}0{+}0{+}0{+}%s{+}(none){+}9\r\n' "$yesterday" "$1"; }

# Makes a program folder with the program, a task file and settings of its own.
make_folder() {
    local dir="$work/$1"
    mkdir -p "$dir/program" "$dir/config/Marmoset Task" "$dir/runtime"
    chmod 700 "$dir/runtime"
    cp "$program" "$dir/program/marmoset-task"
    printf '[Software]\nShareware\\Quillnote\\2.0\\sound=0\n%s\n' "${2:-}" \
        >"$dir/config/Marmoset Task/marmoset-task.ini"
    echo "$dir"
}

run_in() {
    local dir=$1
    HOME=$dir XDG_CONFIG_HOME=$dir/config XDG_RUNTIME_DIR=$dir/runtime \
        "$dir/program/marmoset-task" >>"$dir/program.log" 2>&1
}

start_in() {
    local dir=$1
    HOME=$dir XDG_CONFIG_HOME=$dir/config XDG_RUNTIME_DIR=$dir/runtime \
        "$dir/program/marmoset-task" >>"$dir/program.log" 2>&1 &
    program_pid=$!
    pids+=($program_pid)
}

stop_program() {
    kill "$program_pid" 2>/dev/null || true
    wait "$program_pid" 2>/dev/null || true
}

wm_state() { xprop -id "$1" WM_STATE 2>/dev/null | awk '/window state/ {print $3}'; }
has_state() { [ "$(wm_state "$1")" = "$2" ]; }
is_active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; }

# The program's icon in the tray, as "x y" of its middle.
tray_icon_centre() {
    xwininfo -root -tree | awk '/"marmoset-task"/ && !found {
        split($0, parts, ")  "); split(parts[2], geometry, /[x+ ]+/);
        if (geometry[1] <= 64 && geometry[2] <= 64 && geometry[2] > 1) {
            n = split(parts[2], absolute, "+");
            print absolute[n - 1] + int(geometry[1] / 2), absolute[n] + int(geometry[2] / 2);
            found = 1
        }
    }' | grep .
}

activate() {
    xdotool windowactivate "$1" 2>/dev/null
    is_active "$1"
}

# Another program in front, with the keyboard.
other_in_front() {
    xmessage -name other "another program" >/dev/null 2>&1 &
    pids+=($!)
    local other
    wait_until 5 window_named other >/dev/null || fail "the other program did not show"
    other=$(window_named other)
    # Asked again until it holds: the window manager may not have mapped it yet.
    wait_until 5 activate "$other" || fail "the other program did not take the front"
}

# The window's outer rectangle, frame included, as "left,top,right,bottom" (the form of "dim").
frame_of() {
    local x y w h
    read -r x y w h < <(xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $NF}
        /Absolute upper-left Y/ {y = $NF} /Width:/ {w = $NF} /Height:/ {h = $NF}
        END {print x, y, w, h}')
    local l r t b
    read -r l r t b < <(xprop -id "$1" _NET_FRAME_EXTENTS | tr -d ',' | awk '{print $3, $4, $5, $6}')
    echo "$((x - l)),$((y - t)),$((x + w + r)),$((y + h + b))"
}
frame_known() { xprop -id "$1" _NET_FRAME_EXTENTS | grep -q ' = '; }
stored_dim() {
    sed -n 's/^Shareware\\Quillnote\\2.0\\dim="\{0,1\}\([-0-9,]*\)"\{0,1\}$/\1/p' \
        "$1/config/Marmoset Task/marmoset-task.ini"
}

# Answers the exit question with Yes and waits for the program to end.
confirm_exit() {
    wait_until 5 window_named Confirm >/dev/null || fail "no exit question"
    local question
    question=$(window_named Confirm)
    wait_until 3 is_active "$question" || xdotool windowactivate "$question"
    xdotool key Return
    wait_until 10 bash -c "! kill -0 $program_pid 2>/dev/null" || fail "the program did not end"
    wait "$program_pid" 2>/dev/null || true
}
exit_from_window() {
    wait_until 3 activate "$1" || fail "the main window did not take the keyboard"
    xdotool key Escape
    confirm_exit
}
exit_from_tray() {
    local x y
    read -r x y < <(tray_icon_centre)
    xdotool mousemove "$x" "$y" click 3
    sleep 0.5
    xdotool key x
    confirm_exit
}

# --- a reminder at start-up ----------------------------------------------------------------
step "a reminder at start-up ignores a stray Return, carries the icon and sends a notice"
dir=$(make_folder reminders "Shareware\\Quillnote\\2.0\\startup=3")
task_line "Call the bank" >"$dir/program/nkdat"
cp "$dir/program/nkdat" "$work/before"
# The Return must come within the reminder's first half second to test anything; a machine too
# busy to send it in time gets another start, three at most.
for try in 1 2 3; do
    start_in "$dir"
    wait_until 15 window_named "Missed Appointments!" >/dev/null || {
        xwininfo -root -tree | grep -i marmoset
        ps -ef | grep marmoset-task | grep -v grep
        fail "no reminder came up"
    }
    shown_at=$(now_ms)
    reminder=$(window_named "Missed Appointments!")
    wait_until 1 is_active "$reminder" || fail "the reminder did not take the keyboard"
    xdotool key Return
    (($(now_ms) - shown_at < 500)) && break
    ((try < 3)) || fail "could not send Return within half a second in three starts"
    # A late Return may have answered the reminder: the next start begins from the same file.
    stop_program
    wait_until 5 is_gone "Missed Appointments!" || fail "the reminder outlived its program"
    cp "$work/before" "$dir/program/nkdat"
done
# Past the guard the reminder must still be there, the file as it was.
sleep 1.2
window_named "Missed Appointments!" >/dev/null || fail "a stray Return answered the reminder"
cmp -s "$work/before" "$dir/program/nkdat" || fail "a stray Return changed the task file"
xprop -id "$reminder" _NET_WM_ICON | grep 'Icon (' >/dev/null || fail "the reminder has no icon"
wait_until 5 bash -c '[ "$(dunstctl count displayed)" -ge 1 ]' ||
    fail "no notice reached the notification server"
if [ -n "${MARMOSET_SCREENSHOTS:-}" ]; then
    import -window root "$MARMOSET_SCREENSHOTS/notification.png"
fi
dunstctl close-all
wait_until 5 bash -c 'dunstctl history | grep "Call the bank" >/dev/null' ||
    fail "the notice does not name the task"
dunstctl history | grep "Missed Appointments!" >/dev/null ||
    fail "the notice does not give the caption"

step "a minimised reminder comes back"
timeout 5 xprop -spy -id "$reminder" WM_STATE >"$work/states" 2>/dev/null &
spy=$!
wait_until 2 grep -q Normal "$work/states" || true
xdotool windowminimize "$reminder"
# Minimised and back again: two changes, though the spy may read both as Normal when the
# reminder comes back before it looks.
changes() { [ "$(grep -c 'window state' "$work/states")" -ge 3 ]; }
wait_until 3 changes || fail "the window manager did not minimise it"
wait_until 3 has_state "$reminder" Normal || fail "the minimised reminder stayed away"
kill $spy 2>/dev/null || true

step "Esc answers it once the guard is over"
wait_until 2 is_active "$reminder" || xdotool windowactivate "$reminder"
# Back on screen it ignores keys for a moment again; one Esc, once that has passed (a second
# one would reach the main window and ask about ending the program).
sleep 1.1
xdotool key Escape
wait_until 3 is_gone "Missed Appointments!" || fail "Esc did not answer the reminder"
# The window goes before the answer is written.
wait_until 3 grep -q '{+}1{+}0{+}Call the bank' "$dir/program/nkdat" || fail "the answer was not written"

step "a task file replaced by another program shows within two seconds"
wait_until 10 window_named "Marmoset Task" >/dev/null || fail "the main window did not show"
wait_until 10 tray_icon_centre >/dev/null || fail "no tray icon"
{
    cat "$dir/program/nkdat"
    task_line "Water the plants"
} >"$dir/program/nkdat.new"
replaced_at=$(now_ms)
mv "$dir/program/nkdat.new" "$dir/program/nkdat"
wait_until 5 window_named "Missed Appointments!" >/dev/null ||
    fail "the replaced task file was not read"
took=$(($(now_ms) - replaced_at))
echo "    shown after $took ms"
((took < 2000)) || fail "the replaced task file took $took ms to show"
reminder=$(window_named "Missed Appointments!")

step "the tray icon's double-click brings the open reminder to the front"
other_in_front
read -r x y < <(tray_icon_centre)
xdotool mousemove "$x" "$y" click --repeat 2 --delay 80 1
wait_until 3 is_active "$reminder" || fail "the tray double-click did not bring the reminder"

step "a second copy brings the open reminder to the front and ends"
other_in_front
started=$(now_ms)
run_in "$dir" || fail "the second copy ended with an error"
echo "    second copy ended after $(($(now_ms) - started)) ms"
wait_until 3 is_active "$reminder" || fail "the second copy did not bring the reminder"
if [ -n "${MARMOSET_SCREENSHOTS:-}" ]; then
    import -window root "$MARMOSET_SCREENSHOTS/reminder-desktop.png"
fi
stop_program

# --- the window's place ---------------------------------------------------------------------
step "the first exit stores the window's frame; later runs open there and store the same"
dir=$(make_folder placement "Shareware\\Quillnote\\2.0\\startup=3")
: >"$dir/program/nkdat"
stored=
for run in 1 2 3; do
    start_in "$dir"
    wait_until 15 window_named "Marmoset Task" >/dev/null || fail "the main window did not show"
    main=$(window_named "Marmoset Task")
    wait_until 5 frame_known "$main" || fail "the window manager gave no frame"
    # The window keeps itself on screen for a second after its frame is known.
    sleep 1.5
    frame=$(frame_of "$main")
    if [ -n "$stored" ] && [ "$frame" != "$stored" ]; then
        fail "run $run opened at $frame where $stored is stored"
    fi
    exit_from_window "$main"
    stored=$(stored_dim "$dir")
    [ "$stored" = "$frame" ] || fail "run $run stored $stored for the frame $frame"
done
echo "    stored $stored each time"

step "a minimised start keeps its place, stores nothing and restores to it"
dir=$(make_folder placed-minimised $'Shareware\\Quillnote\\2.0\\startup=1\nShareware\\Quillnote\\2.0\\dim="300,200,780,560"')
: >"$dir/program/nkdat"
start_in "$dir"
wait_until 15 window_named "Marmoset Task" >/dev/null || fail "the main window did not map"
main=$(window_named "Marmoset Task")
wait_until 5 has_state "$main" Iconic || fail "the window is $(wm_state "$main"), not Iconic"
sleep 1.5
has_state "$main" Iconic || fail "the minimised window came back as $(wm_state "$main")"
wait_until 10 tray_icon_centre >/dev/null || fail "no tray icon"
exit_from_tray
[ "$(stored_dim "$dir")" = "300,200,780,560" ] || fail "an exit while minimised stored $(stored_dim "$dir")"
start_in "$dir"
wait_until 15 window_named "Marmoset Task" >/dev/null || fail "the main window did not map"
main=$(window_named "Marmoset Task")
wait_until 5 has_state "$main" Iconic || fail "the window is $(wm_state "$main"), not Iconic"
xdotool windowactivate "$main"
wait_until 5 has_state "$main" Normal || fail "the window did not come back"
sleep 1.5
[ "$(frame_of "$main")" = "300,200,780,560" ] || fail "restored at $(frame_of "$main")"
stop_program

# --- Minimized start-up --------------------------------------------------------------------
step "the Minimized start-up mode maps the window iconic"
dir=$(make_folder minimised "Shareware\\Quillnote\\2.0\\startup=1")
: >"$dir/program/nkdat"
start_in "$dir"
wait_until 15 window_named "Marmoset Task" >/dev/null || fail "the main window did not map"
main=$(window_named "Marmoset Task")
wait_until 5 has_state "$main" Iconic || fail "the window is $(wm_state "$main"), not Iconic"
stop_program

# --- a named pipe as the task file ----------------------------------------------------------
step "a task file that is a named pipe gives a message and the program answers"
dir=$(make_folder pipe "Shareware\\Quillnote\\2.0\\startup=3")
mkfifo "$dir/program/nkdat"
start_in "$dir"
wait_until 15 window_named "Error!" >/dev/null || fail "no message about the named pipe"
message=$(window_named "Error!")
started=$(now_ms)
run_in "$dir" || fail "the second copy ended with an error"
(($(now_ms) - started < 3000)) || fail "the program did not answer the second copy"
wait_until 3 is_active "$message" || xdotool windowactivate "$message"
xdotool key Return
wait_until 5 is_gone "Error!" || fail "the message did not close"
wait_until 10 window_named "Marmoset Task" >/dev/null || fail "the main window did not show"
[ -p "$dir/program/nkdat" ] || fail "the named pipe was replaced"
stop_program

# --- a key that closes a message --------------------------------------------------------------
step "an Enter held down to close the message does not reach the window below"
dir=$(make_folder missing "Shareware\\Quillnote\\2.0\\startup=3")
start_in "$dir"
wait_until 15 window_named "Error!" >/dev/null || fail "no message about the missing task file"
message=$(window_named "Error!")
wait_until 3 is_active "$message" || xdotool windowactivate "$message"
# Held past the keyboard's repeat delay: the repeats come after the message has closed, while
# the main window (where Enter refreshes the list and so raises the message again) takes over.
xdotool keydown Return
wait_until 2 is_gone "Error!" || fail "Enter did not close the message"
again=0
for _ in $(seq 12); do
    if window_named "Error!" >/dev/null; then again=1; fi
    sleep 0.1
done
xdotool keyup Return
sleep 0.5
if window_named "Error!" >/dev/null; then again=1; fi
((again == 0)) || fail "the held Enter reached the main window and raised the message again"
wait_until 5 window_named "Marmoset Task" >/dev/null || fail "the main window did not show"
stop_program

echo "PASS"
