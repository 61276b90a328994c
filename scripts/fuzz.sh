#!/usr/bin/env bash
# Runs the fuzz targets for as long as asked: a clang build with libFuzzer and the address and
# undefined-behaviour sanitizers (build-fuzz), each target in turn, under nice. Each target's
# corpus grows in a folder of its own outside the repository, starting from the stored cases in
# fuzz/corpus/TARGET; an input that breaks a check is kept there as crash-*.
#
#   scripts/fuzz.sh                       both targets, 10 minutes each
#   scripts/fuzz.sh --time 3600 taskfile  one target for an hour
#   scripts/fuzz.sh --merge taskline      add the cases that reach new code to fuzz/corpus
#
# Options: --time SECONDS (600), --build DIR (build-fuzz), --work DIR
# (~/.cache/marmoset-fuzz), --merge. Targets: taskline, taskfile.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=600
build=build-fuzz
work=${XDG_CACHE_HOME:-$HOME/.cache}/marmoset-fuzz
merge=0
targets=()
while [ $# -gt 0 ]; do
    case "$1" in
        --time) seconds=$2; shift 2 ;;
        --build) build=$2; shift 2 ;;
        --work) work=$2; shift 2 ;;
        --merge) merge=1; shift ;;
        taskline | taskfile) targets+=("$1"); shift ;;
        *) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 2 ;;
    esac
done
if [ ${#targets[@]} -eq 0 ]; then targets=(taskline taskfile); fi

# clang and its libFuzzer runtime, besides what every build needs.
missing=()
for p in clang libclang-rt-14-dev; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo_cmd=()
    if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi
if [ ! -f "$build/build.ninja" ]; then
    scripts/install-deps.sh
    CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DMARMOSET_FUZZ=ON
fi
cmake --build "$build" --target "${targets[@]/#/fuzz_}"

for target in "${targets[@]}"; do
    fuzzer=$build/bin/fuzz_$target
    stored=fuzz/corpus/$target
    mkdir -p "$work/$target"
    if [ "$merge" -eq 1 ]; then
        "$fuzzer" -merge=1 "$stored" "$work/$target"
        continue
    fi
    log=$work/$target.log
    echo "fuzz_$target for $seconds s; log in $log"
    # Quick inputs are tried more often than slow ones (the file target's stretched files take
    # ten times as long as the rest), which more than doubles the inputs tried a second.
    status=0
    TIMEFORMAT="%U %S"
    { time nice -n 10 "$fuzzer" -entropic_scale_per_exec_time=1 -max_total_time="$seconds" \
        -print_final_stats=1 -artifact_prefix="$work/$target/" "$work/$target" "$stored" \
        > "$log" 2>&1 || status=$?; } 2> "$work/$target.cpu"
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    corpus=$(find "$work/$target" -type f ! -name 'crash-*' ! -name 'leak-*' | wc -l)
    # On a shared machine the rate for the processor time the fuzzer had says more than the
    # rate for the time on the clock.
    cpu=$(awk '{ printf "%.0f", $1 + $2 }' "$work/$target.cpu")
    cpu_rate=$(( ${runs:-0} / (cpu > 0 ? cpu : 1) ))
    echo "fuzz_$target: ${runs:-?} inputs in $seconds s (${rate:-?} a second; $cpu s of processor" \
        "time, $cpu_rate a second of it), corpus $corpus"
    if [ "$status" -ne 0 ]; then
        grep -E "ERROR|SUMMARY|FUZZ|Test unit written" "$log" | head -n 20
        exit "$status"
    fi
done
