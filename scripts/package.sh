#!/usr/bin/env bash
# Makes the Debian package from a build folder (cpack -G DEB) and checks it:
#   - its content list is the install layout of tests/install/installed-files.txt under /usr,
#     every file owned by root;
#   - its dependencies name the Qt libraries and libical the program links (found by
#     dpkg-shlibdeps), it recommends qt6-wayland, and apt can satisfy them on this machine (a
#     simulated apt-get install);
#   - lintian reports no errors.
# With --install it goes on as a user would: installs the package with apt-get, starts the
# program from its menu entry (gio launch, as a desktop does) with a fresh home on Xvfb with
# openbox, checks its window and its empty task file in the data folder, and purges the
# package again (nothing of it stays in the package database) unless it was installed before.
# That changes this machine's /usr and package database, so it is not part of scripts/test.sh:
# run it as root or with sudo where that is fine, as CI does (.ci/run).
#
#   scripts/package.sh [--install] [BUILD_DIR]      (BUILD_DIR: build)
set -euo pipefail

# fail, step and wait_until.
source "$(dirname "$0")/../tests/desktop/steps.sh"

# --- on the desktop: the installed package started from its menu entry ---------------------
if [ "${1:-}" = "--on-desktop" ]; then
    work=$2
    home=$work/home
    mkdir -p "$home/runtime"
    chmod 700 "$home/runtime"
    env -u XDG_CONFIG_HOME -u XDG_DATA_HOME HOME="$home" XDG_RUNTIME_DIR="$home/runtime" \
        gio launch /usr/share/applications/marmoset-task.desktop >"$work/launch.log" 2>&1 ||
        fail "gio launch failed: $(cat "$work/launch.log")"
    window() { xdotool search --name '^Marmoset Task$' 2>/dev/null | tail -n1 | grep .; }
    wait_until 15 window >/dev/null || fail "the menu entry started no window"
    pid=$(xprop -id "$(window)" _NET_WM_PID | awk '{print $3}')
    trap 'kill "$pid" 2>/dev/null || true' EXIT
    [ "$(readlink "/proc/$pid/exe")" = /usr/bin/marmoset-task ] ||
        fail "the window is not /usr/bin/marmoset-task's"
    data="$home/.local/share/Marmoset Task/nkdat"
    wait_until 5 test -f "$data" || fail "no task file in the data folder"
    [ ! -s "$data" ] || fail "the first task file is not empty"
    exit 0
fi

install=0
if [ "${1:-}" = "--install" ]; then
    install=1
    shift
fi
cd "$(dirname "$0")/.."
build=${1:-build}

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
# Installs the Debian packages this script needs, when missing.
need() {
    local missing=() p
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$p")
        fi
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        "${sudo_cmd[@]}" apt-get update -qq
        DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
    fi
}
need dpkg-dev lintian

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

step "cpack -G DEB"
rm -f "$build"/marmoset-task_*.deb
(cd "$build" && cpack -G DEB) >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log" >&2
    fail "cpack failed"
}
deb=$(realpath "$build"/marmoset-task_*.deb)
echo "    $deb"

step "the content list is the install layout under /usr, owned by root"
dpkg-deb -c "$deb" >"$work/list"
awk '$1 !~ /^d/ {print $6}' "$work/list" | sed 's|^\./usr/||' | sort >"$work/content"
diff -u tests/install/installed-files.txt "$work/content" || fail "the package's files differ"
[ "$(awk '{print $2}' "$work/list" | sort -u)" = "root/root" ] || fail "files not owned by root"
awk '$1 ~ /^d/ && $1 != "drwxr-xr-x" {bad = 1} END {exit bad}' "$work/list" ||
    fail "folders without mode 755"

step "the dependencies come from the linked libraries, qt6-wayland is recommended, and they can be met here"
depends=$(dpkg-deb -f "$deb" Depends)
echo "    Depends: $depends"
for library in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6multimedia6 libqt6network6 \
    libical3; do
    [[ "$depends" == *"$library ("* ]] || fail "no versioned dependency on $library"
done
recommends=$(dpkg-deb -f "$deb" Recommends)
echo "    Recommends: $recommends"
# Without the wayland plugin a Wayland session runs the program through XWayland.
[[ ", $depends, $recommends," == *", qt6-wayland"[,\ ]* ]] ||
    fail "neither Depends nor Recommends name qt6-wayland"
apt-get install --simulate "$deb" >"$work/simulate.log" 2>&1 || {
    cat "$work/simulate.log" >&2
    fail "apt cannot install the package here"
}

step "lintian reports no errors"
lintian_status=0
lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 || lintian_status=$?
grep -v 'running with root privileges' "$work/lintian.log" || true
[ "$lintian_status" = 0 ] || fail "lintian reports errors"

if [ "$install" = 1 ]; then
    step "apt-get install the package and start it from its menu entry"
    need libglib2.0-bin xvfb openbox xdotool x11-utils
    was_installed=0
    if dpkg-query -W -f='${Status}' marmoset-task 2>/dev/null | grep -q "install ok installed"; then
        was_installed=1
    fi
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "$deb" \
        >"$work/apt.log" 2>&1 || {
        cat "$work/apt.log" >&2
        fail "apt-get install failed"
    }
    status=0
    tests/desktop/on_desktop.sh "$0" --on-desktop "$work" || status=$?
    if [ "$was_installed" = 0 ]; then
        DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get purge -y -qq marmoset-task \
            >"$work/apt.log" 2>&1 || cat "$work/apt.log" >&2
    fi
    [ "$status" = 0 ] || fail "the installed package did not start as it should"
fi
echo "PASS"
