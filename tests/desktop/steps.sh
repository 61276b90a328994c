# The helpers the scripts that drive the program on a desktop share; sourced, not run.

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

step() { echo "--- $*"; }

# Runs the command until it succeeds, for at most the given seconds.
wait_until() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        if ((SECONDS >= deadline)); then
            return 1
        fi
        sleep 0.05
    done
}

# The mapped, managed window of that exact title.
window_named() {
    local id
    for id in $(xdotool search --name "^$1\$" 2>/dev/null); do
        if xprop -id "$id" WM_STATE 2>/dev/null | grep 'window state' >/dev/null; then
            echo "$id"
            return 0
        fi
    done
    return 1
}
is_gone() { ! window_named "$1" >/dev/null; }
