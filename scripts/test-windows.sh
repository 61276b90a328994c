#!/usr/bin/env bash
# Builds the core and its tests for 64-bit Windows with MinGW-w64 and runs them under Wine.
# Installs what is missing first. Everything goes into one folder (build-windows, or the
# folder given): GoogleTest built with the same compiler, the build itself, and the Wine
# prefix the tests run in. No display is needed.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
root=$PWD
out=${1:-build-windows}
mkdir -p "$out"
out=$(cd "$out" && pwd)
toolchain=$root/cmake/mingw-w64-x86_64.cmake
# Optimised a little and without debug information: MinGW takes twice as long over the tests
# with -O2 -g, and nobody debugs this build.
build_type=(-DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O1 -DNDEBUG")

scripts/install-deps.sh --windows

# GoogleTest from Debian's sources, once per folder.
gtest=$out/googletest
if [ ! -f "$gtest/lib/cmake/GTest/GTestConfig.cmake" ]; then
    cmake -S /usr/src/googletest -B "$out/googletest-build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" "${build_type[@]}" -DBUILD_GMOCK=OFF \
        -DCMAKE_INSTALL_PREFIX="$gtest" >/dev/null
    cmake --build "$out/googletest-build" -j2
    cmake --install "$out/googletest-build" >/dev/null
fi

cmake -S . -B "$out/core" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" "${build_type[@]}" \
    -DMARMOSET_CORE_ONLY=ON -DMARMOSET_WERROR=ON -DGTest_DIR="$gtest/lib/cmake/GTest"
cmake --build "$out/core" -j2

ctest --test-dir "$out/core" --output-on-failure -j2

# What ran under Wine, and each test skipped there with its reason.
log=$out/core/Testing/Temporary/LastTest.log
sum() { grep -hoE "$1" "$log" | grep -oE '[0-9]+' | awk '{ n += $1 } END { print n + 0 }'; }
echo "Core tests under Wine: $(sum '^\[==========\] [0-9]+ tests? from') run," \
    "$(sum '^\[  PASSED  \] [0-9]+') passed, $(sum '^\[  SKIPPED \] [0-9]+ tests?,') skipped."
awk '/: Skipped$/ { grab = 1; why = ""; next }
     grab && /^\[  SKIPPED \] / { print "  skipped " $4 ":" why; grab = 0; next }
     grab && NF { why = why "\n    " $0 }' "$log"
echo "scripts/test-windows.sh took $((SECONDS - started)) s."
