#!/usr/bin/env bash
# Builds Emberlin twice (plain, and with address and undefined-behaviour
# sanitizers) and runs the whole test suite on both, headless; then runs each
# fuzz target for a few thousand inputs (scripts/fuzz.sh); then builds the
# Debian package, checks it with lintian and burns with it from a scratch
# root (scripts/package.sh --check).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

"$root/scripts/install-dependencies.sh" test
export QT_QPA_PLATFORM=offscreen

run_suite() {
  local folder=$1; shift
  cmake -S "$root" -B "$folder" -G Ninja -DEMBERLIN_BUILD_BENCH=OFF -DEMBERLIN_WERROR=ON "$@" >/dev/null
  cmake --build "$folder" -j "$jobs"
  ctest --test-dir "$folder" --output-on-failure -j "$jobs"
}

echo "== Plain build =="
run_suite "$root/build/test" -DCMAKE_BUILD_TYPE=Debug
echo "== Sanitizer build =="
run_suite "$root/build/asan" -DCMAKE_BUILD_TYPE=Debug -DEMBERLIN_SANITIZE=ON
echo "== Fuzz targets =="
"$root/scripts/fuzz.sh" runs 5000
echo "== Debian package =="
"$root/scripts/package.sh" --check
