#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it. Without a display it runs the
# program on an invisible X server (xvfb-run) so that the command still works.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja
cmake --build build --target marmoset-task

program=build/bin/marmoset-task
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$program"
fi
echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset): starting Marmoset Task under"
echo "xvfb-run on an invisible X server. Stop it with Ctrl+C."
exec xvfb-run -a "$program"
