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
