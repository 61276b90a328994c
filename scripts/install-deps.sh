#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the program need, when missing.
# With --windows: those of the Windows cross build and its test run under Wine instead
# (scripts/test-windows.sh).
set -euo pipefail

apt_options=()
packages=(
    g++ cmake ninja-build pkg-config clang-format
    qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libqt6dbus6 libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    # iCalendar export and import.
    libical-dev
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good
    xvfb xauth x11-utils xdg-utils file tzdata fonts-dejavu-core
    # The desktop tests: a window manager, a tray, a session bus and a notification server;
    # a Wayland compositor and Qt's plugin for it.
    openbox trayer xdotool dbus-daemon dunst
    weston qt6-wayland
    # The install test: the menu and autostart entries, the scalable icon.
    desktop-file-utils libxml2-utils
    # The Debian package: its dependencies, lintian, and gio to start it from its menu entry.
    dpkg-dev lintian libglib2.0-bin
)
if [ "${1:-}" = --windows ]; then
    # The MinGW-w64 compiler, GoogleTest's sources to build with it, and the 64-bit Wine
    # loader. Wine's recommendations (fonts, sound, graphics) are not needed for console
    # programs.
    packages=(g++-mingw-w64-x86-64-posix googletest wine64 cmake ninja-build)
    apt_options=(--no-install-recommends)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq \
        "${apt_options[@]}" "${missing[@]}"
fi
