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

# The window's WM_STATE (Normal, Iconic), and whether it is the one given.
wm_state() { xprop -id "$1" WM_STATE 2>/dev/null | awk '/window state/ {print $3}'; }
has_state() { [ "$(wm_state "$1")" = "$2" ]; }

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

# Takes a picture of the Wayland desktop (on_wayland.sh) into the given file.
wayland_screenshot() {
    local dir
    dir=$(mktemp -d)
    (cd "$dir" && weston-screenshooter >/dev/null 2>&1) && mv "$dir"/wayland-screenshot-*.png "$1"
    local status=$?
    rm -rf "$dir"
    return $status
}
