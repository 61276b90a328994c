#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors, runs every test and
# checks the Debian package.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DMARMOSET_WERROR=ON
cmake --build build
ctest --test-dir build --output-on-failure -j2
# The Debian package: content list, dependencies and lintian. Installing it is left to
# scripts/package.sh --install, which changes the machine (CI runs it, see .ci/run).
scripts/package.sh build
