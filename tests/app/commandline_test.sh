#!/usr/bin/env bash
# The built program's command line, with no display (future tasks lie in the 2090s, so that
# the test does not depend on today's date): every command, its output on standard
# output, its messages on standard error and its exit status, over a task file of its own.
# With --beside-window (run on a desktop by on_desktop.sh) it also checks that a task added
# from the command line shows in a running window within two seconds.
#
#   tests/app/commandline_test.sh PROGRAM [--beside-window]
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
# fail, step, wait_until, window_named and is_gone.
source "$here/../desktop/steps.sh"

program=$(realpath "$1")
work=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait; rm -rf "$work"' EXIT

# A portable copy of the program: its task file lies beside it. Settings and data of its own.
mkdir -p "$work/program" "$work/home/config" "$work/home/runtime"
chmod 700 "$work/home/runtime"
cp "$program" "$work/program/marmoset-task"
tasks=$work/program/nkdat
export HOME=$work/home XDG_CONFIG_HOME=$work/home/config XDG_DATA_HOME=$work/home/data
export XDG_RUNTIME_DIR=$work/home/runtime TZ=UTC LC_ALL=C.UTF-8

# Runs the command line without a display; keeps its output, messages and status.
mt() {
    set +e
    env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$work/program/marmoset-task" "$@" \
        >"$work/out" 2>"$work/err"
    status=$?
    set -e
}
expect_status() { [ "$status" = "$1" ] || fail "exit status $status, not $1: $(cat "$work/err")"; }
expect_err() { grep -F -- "$1" "$work/err" >/dev/null || fail "no \"$1\" in: $(cat "$work/err")"; }
expect_out() { diff -u <(printf '%s' "$1") "$work/out" || fail "the output differs"; }
same_file() { cmp -s "$1" "$2" || fail "the task file changed: $(cat -A "$2")"; }

if [ "${2:-}" = "--beside-window" ]; then
    step "a task added from the command line shows in the running window within 2 s"
    : >"$tasks"
    QT_QPA_PLATFORM=xcb "$work/program/marmoset-task" >"$work/window.log" 2>&1 &
    pids+=($!)
    wait_until 15 window_named "Marmoset Task" >/dev/null || fail "the window did not show"
    # A task missed yesterday raises its reminder at once: the window has read the file.
    yesterday=$(date -d yesterday +%Y-%m-%d)
    start=$(date +%s%N)
    mt add "Call the bank" --date "$yesterday" --hour 9
    expect_status 0
    wait_until 2 window_named "Missed Appointments!" >/dev/null ||
        fail "the window did not show the added task within 2 s"
    echo "    shown after $((($(date +%s%N) - start) / 1000000)) ms"
    echo PASS
    exit 0
fi

step "--help, --version and usage errors"
mt --help
expect_status 0
grep -F 'add TITLE --date DATE' "$work/out" >/dev/null || fail "--help names no commands"
mt --version
expect_status 0
expect_out $'marmoset-task 2.0\n'
mt lsit
expect_status 2
expect_err '"lsit" is no command: give list, add, export or import'
mt list --frobnicate
expect_status 2
expect_err "Unknown option 'frobnicate'"
mt add "No date"
expect_status 2
expect_err "add needs --date DATE"
mt add Two words --date 2027-03-01
expect_status 2
expect_err "add takes one TITLE"
mt export
expect_status 2
mt add --help
expect_status 0
grep -F -- '--repeat <REPEAT>' "$work/out" >/dev/null || fail "add --help names no --repeat"

step "list: no task file is a failure that names it"
rm -f "$tasks"
mt list
expect_status 1
expect_err "Task file not found. $tasks"

step "add: the editor's checks, a clear message and nothing written on bad input"
: >"$tasks"
check_refused() {
    local message=$1
    shift
    mt add "$@"
    expect_status 2
    expect_err "$message"
    expect_err "Nothing was added."
    [ ! -s "$tasks" ] || fail "a refused task was written: $(cat "$tasks")"
}
check_refused "You must enter a title for the appointment." "" --date 2027-03-01
check_refused "Day 29 is not in 2/2027: that month has 28 days." Leap --date 2027-02-29
check_refused "Day 31 is not in 4/2027" April --date 4/31/2027
check_refused '"2027-3" is not a date' Short --date 2027-3
check_refused "The year must be from 1970 to 9999." Old --date 1969-12-31
check_refused "The month must be from 1 to 12." Month --date 2027-13-01
check_refused "The hour must be from 1 to 24" Hour --date 2027-03-01 --hour 0
check_refused "The hour must be from 1 to 24" Hour --date 2027-03-01 --hour 7pm
check_refused "The days of advance notice must be from 0 to 30." Early --date 2027-03-01 --advance 31
check_refused '"daily" is no repeat' Daily --date 2027-03-01 --repeat daily
check_refused "The title has more than 80 characters." "$(printf 'x%.0s' {1..81})" --date 2027-03-01

step "add: both date forms, the defaults, hour 24, a leap day, weekly on the date's weekday"
mt add "Dentist" --date 2097-03-10 --hour 14 --advance 2 --note "bring the card"
expect_status 0
mt add "Choir" --date 3/12/2097 --hour 24 --repeat weekly
expect_status 0
mt add "Zahnärztin" --date 2096-02-29 --repeat yearly
expect_status 0
mt add "Rent" --date 2097-12-01 --hour 8 --repeat monthly
expect_status 0
expect_out ""
printf '#3/10/2097{+}2{+}0{+}0{+}Dentist{+}bring the card{+}14\r\n#3/12/2097{+}0{+}0{+}33{+}Choir{+}(none){+}24\r\n#2/29/2096{+}0{+}0{+}2{+}Zahnärztin{+}(none){+}6\r\n#12/1/2097{+}0{+}0{+}1{+}Rent{+}(none){+}8\r\n' >"$work/expected"
same_file "$work/expected" "$tasks"

step "list: the tasks as the list shows them, aligned, and for scripts"
today=$(date +%-m/%-d/%Y)
printf '#%s{+}0{+}0{+}0{+}Due now{+}(none){+}%d\r\n#1/2/2020{+}0{+}3{+}0{+}Marked{+}(none){+}6\r\n' \
    "$today" "$((10#$(date +%H) == 0 ? 24 : 10#$(date +%H)))" >>"$tasks"
# The task due this hour: at hour 24 (midnight) it is yesterday's, so the test waits that out.
if [ "$(date +%H)" = 00 ]; then sleep 3600; fi
mt list
expect_status 0
[ "$(wc -l <"$work/out")" = 6 ] || fail "not one line a task: $(cat "$work/out")"
grep -F '03/10/2097  2 PM   Future        None     Dentist' "$work/out" >/dev/null ||
    fail "the columns are not aligned: $(cat "$work/out")"
grep -F '03/12/2097  12 AM  Future        Weekly   Choir' "$work/out" >/dev/null ||
    fail "hour 24 is not 12 AM: $(cat "$work/out")"
grep -F 'Today/Unread  None     Due now' "$work/out" >/dev/null || fail "no Today/Unread"
grep -F '01/02/2020  6 AM   To Delete     None     Marked' "$work/out" >/dev/null ||
    fail "no To Delete"
mt list --tsv
expect_status 0
grep -P '^03/12/2097\t24\tFuture\tWeekly\tChoir$' "$work/out" >/dev/null ||
    fail "no tab-separated fields: $(cat -A "$work/out")"
mt list --due --tsv
expect_status 0
printf '%s\t%d\tToday/Unread\tNone\tNow Due!\tDue now\n' "$(date +%m/%d/%Y)" \
    "$((10#$(date +%H)))" >"$work/expected"
diff -u "$work/expected" "$work/out" || fail "--due lists more or less than the due task"

step "export: to a file and to standard output"
mt export "$work/tasks.ics"
expect_status 0
expect_err "Exported 6 tasks to $work/tasks.ics."
grep -F 'DTSTART:20970310T140000Z' "$work/tasks.ics" >/dev/null || fail "no DTSTART in UTC"
mt export -
expect_status 0
cmp <(grep -v '^DTSTAMP' "$work/out") <(grep -v '^DTSTAMP' "$work/tasks.ics") ||
    fail "standard output differs from the file"
mt export "$work/no/such/folder/tasks.ics"
expect_status 1
expect_err "could not be written: No such file or directory"

step "import: into an empty file gives back the same bytes; again changes nothing"
cp "$tasks" "$work/before"
: >"$tasks"
mt import "$work/tasks.ics"
expect_status 0
expect_err "$work/tasks.ics: 6 tasks added, 0 already there, 0 changed to fit, 0 refused."
same_file "$work/before" "$tasks"
mt import - <"$work/tasks.ics"
expect_status 0
expect_err "standard input: 0 tasks added, 6 already there"
same_file "$work/before" "$tasks"

step "import: a report of what changed to fit and what was refused"
printf 'BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:a\r\nDTSTAMP:20270101T000000Z\r\nSUMMARY:Film {+} dinner\r\nDTSTART:20270305T233000Z\r\nEND:VEVENT\r\nBEGIN:VTODO\r\nUID:b\r\nDTSTAMP:20270101T000000Z\r\nSUMMARY:Someday\r\nEND:VTODO\r\nEND:VCALENDAR\r\n' >"$work/mixed.ics"
mt import "$work/mixed.ics"
expect_status 0
expect_err "1 task added, 0 already there, 1 changed to fit, 1 refused."
expect_err "\"Film {} dinner\" (3/5/2027): its title's \"{+}\" became \"{}\""
expect_err "it starts at 23:30 and falls due at the start of that hour"
expect_err "\"Someday\": it has no date (DTSTART, or DUE for a to-do)"
tail -n1 "$tasks" | grep -F '#3/5/2027{+}0{+}0{+}0{+}Film {} dinner{+}(none){+}23' >/dev/null ||
    fail "the event did not come in: $(tail -n1 "$tasks")"

step "import: a file that cannot be read leaves the task file untouched"
cp "$tasks" "$work/before"
printf 'BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:A\r\nDTSTART:hello\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n' >"$work/bad.ics"
mt import "$work/bad.ics"
expect_status 1
expect_err "$work/bad.ics: nothing was imported: line 4 cannot be read: DTSTART:hello"
same_file "$work/before" "$tasks"
mt import "$work/missing.ics"
expect_status 1
expect_err "$work/missing.ics could not be read: No such file or directory. Nothing was imported."
same_file "$work/before" "$tasks"

step "a task file that cannot be written: add and import fail and say so"
chmod 500 "$work/program"
if [ ! -w "$work/program" ]; then
    mt add "Blocked" --date 2027-03-01
    expect_status 1
    expect_err "the task could not be saved in the task file"
    printf 'BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:c\r\nSUMMARY:New\r\nDTSTART:20270310T090000Z\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n' >"$work/new.ics"
    mt import "$work/new.ics"
    expect_status 1
    expect_err "nothing was imported: The new content could not be written beside it"
    same_file "$work/before" "$tasks"
fi
chmod 700 "$work/program"
echo PASS
