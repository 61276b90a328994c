#!/usr/bin/env bash
# Fault sweep of every operation that rewrites the task file, and a kill test.
#
# For each operation (append, compact, the two bulk deletions, the four sorts and the four
# commands on one task: delete, set a status, duplicate, and replace, which writes back a
# reminder's answer and an edit) the driver runs it once on a 1,000-task file under strace
# to list the system calls it makes. Then, for every occurrence of every one of those calls,
# the operation runs again with strace making that call fail with EIO, and with ENOSPC, once
# and from then on. (brk has no error return: the kernel answers a failed brk with the old
# break, so that is what a failing brk returns here, leaving the C library out of memory.)
# Afterwards the task file must hold exactly its old content (and the
# operation must have said it failed) or exactly its new content (worked out apart from the
# program's code, and reported as done), and no temporary file may be left. The kill test then
# kills rewrites of a 20,000-task file at random moments; each must leave the old or the new file.
#
#   scripts/fault-sweep.sh                      sweep every operation, then 300 kills
#   scripts/fault-sweep.sh --ops "delete-task sort-status" --kills 0
#   scripts/fault-sweep.sh --writer inplace     a broken writer: the sweep and the kill test must
#                                               find bad outcomes
#
# Options: --build DIR (default build), --ops "NAME ...", --writer core|inplace|unchecked,
# --kills N (0: no kill test), --kill-tasks N. Exits non-zero when any outcome is bad.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build
writer=core
kills=300
kill_tasks=20000
all_ops="append compact delete-marked delete-past sort-date-desc sort-date-asc sort-status
sort-recurrence delete-task set-status duplicate replace"
ops=$all_ops
while [ $# -gt 0 ]; do
    case "$1" in
        --build) build=$2; shift 2 ;;
        --writer) writer=$2; shift 2 ;;
        --ops) ops=$2; shift 2 ;;
        --kills) kills=$2; shift 2 ;;
        --kill-tasks) kill_tasks=$2; shift 2 ;;
        *) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 2 ;;
    esac
done

if ! command -v strace > /dev/null; then
    sudo_cmd=()
    if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq strace
fi
if [ ! -f "$build/build.ninja" ]; then
    scripts/install-deps.sh
    cmake -S . -B "$build" -G Ninja
fi
cmake --build "$build" --target fault_sweep_driver > /dev/null
driver=$(realpath "$build/bin/fault_sweep_driver")

work=$(mktemp -d /tmp/marmoset-sweep.XXXXXX)
trap 'rm -rf "$work"' EXIT

# The calls an operation makes: name, how many times before the first mark, how many between
# the marks.
calls_of() {
    awk '/^(\+\+\+|---)/ { next }
         { name = $0; sub(/\(.*/, "", name) }
         name == "getppid" { marks++; next }
         marks == 0 { before[name]++ }
         marks == 1 { during[name]++ }
         END { for (name in during) print name, before[name] + 0, during[name] }' "$1" | sort
}

# The program break before the nth brk call of a trace: what a failing brk call returns.
break_before() {
    awk -v n="$2" '/^brk\(/ { if (++calls == n - 1) { print $NF; exit } }' "$1"
}

# Whether strace made a call fail between the marks.
injected_between_marks() {
    awk '/^getppid/ { marks++; next } marks == 1 && / \(INJECTED\)/ { found = 1 }
         END { exit !found }' "$1"
}

bad_total=0
points_total=0
printf '%-16s %6s %7s %6s %6s %5s %12s\n' operation calls points old new bad "not reached"
for op in $ops; do
    dir=$work/$op
    mkdir -p "$dir"
    "$driver" setup "$dir" "$op"
    status=0
    # Without address randomisation every run makes the same calls with the same values.
    setarch -R strace -o "$dir/trace" "$driver" run "$dir" "$op" "$writer" || status=$?
    if [ "$("$driver" check "$dir" "$status")" != new ]; then
        echo "$op: does not make the new content without faults" >&2
        exit 1
    fi
    points=0 old=0 new=0 bad=0 missed=0 kinds=0
    while read -r call before during; do
        kinds=$((kinds + 1))
        for ((k = 1; k <= during; k++)); do
            failures=("error=EIO" "error=ENOSPC")
            if [ "$call" = brk ]; then
                failures=("retval=$(break_before "$dir/trace" $((before + k)))")
            fi
            for failure in "${failures[@]}"; do
                for when in "$((before + k))" "$((before + k))+"; do
                    status=0
                    setarch -R strace -o "$dir/fault" -e "inject=$call:$failure:when=$when" \
                        "$driver" run "$dir" "$op" "$writer" > /dev/null 2>&1 || status=$?
                    if ! injected_between_marks "$dir/fault"; then
                        missed=$((missed + 1))
                        continue
                    fi
                    points=$((points + 1))
                    outcome=$("$driver" check "$dir" "$status")
                    case "$outcome" in
                        old) old=$((old + 1)) ;;
                        new) new=$((new + 1)) ;;
                        *)
                            bad=$((bad + 1))
                            echo "$op: $call #$k $failure when=$when: $outcome" >> "$work/bad"
                            ;;
                    esac
                done
            done
        done
    done < <(calls_of "$dir/trace")
    printf '%-16s %6d %7d %6d %6d %5d %12d\n' "$op" "$kinds" "$points" "$old" "$new" "$bad" "$missed"
    points_total=$((points_total + points))
    bad_total=$((bad_total + bad))
done
echo "$points_total fault points, $bad_total bad outcomes (writer: $writer)"
if [ -f "$work/bad" ]; then
    head -n 20 "$work/bad"
fi

kill_status=0
if [ "$kills" -gt 0 ]; then
    mkdir -p "$work/kill"
    "$driver" kill "$work/kill" "$kills" "$kill_tasks" "$writer" || kill_status=$?
fi
[ "$bad_total" -eq 0 ] && [ "$kill_status" -eq 0 ]
