#!/usr/bin/env bash
# Two writers at once on one task file, for longer than the test run does: each round starts
# two processes together, one adding a task and one deleting another, and checks what they
# leave. The same rounds then run with the writer lock switched off, which shows what the lock
# prevents: those rounds are expected to find damage, and their figures are printed, not judged.
#
#   scripts/two-writers.sh [--build DIR] [--rounds N] [--tasks N]     (1,000 rounds, 20,000 tasks)
#
# Exits non-zero when any round with the lock went wrong.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build
rounds=1000
tasks=20000
while [ $# -gt 0 ]; do
    case "$1" in
        --build) build=$2; shift 2 ;;
        --rounds) rounds=$2; shift 2 ;;
        --tasks) tasks=$2; shift 2 ;;
        *) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 2 ;;
    esac
done
if [ ! -f "$build/build.ninja" ]; then
    scripts/install-deps.sh
    cmake -S . -B "$build" -G Ninja
fi
cmake --build "$build" --target two_writers > /dev/null
work=$(mktemp -d /tmp/marmoset-writers.XXXXXX)
trap 'rm -rf "$work"' EXIT

status=0
"$build/bin/two_writers" "$work/locked" "$rounds" "$tasks" || status=$?
"$build/bin/two_writers" "$work/unlocked" "$rounds" "$tasks" --lock-off || true
exit "$status"
