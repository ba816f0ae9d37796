#!/usr/bin/env bash
# Builds the benchmarks (optimised) and prints their figures. Nothing here is a
# test: the figures depend on the machine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/bench"

"$root/scripts/install-dependencies.sh" bench
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DEMBERLIN_BUILD_BENCH=ON >/dev/null
cmake --build "$build" --target emberlin-bench-pty emberlin-bench-startup emberlin-disctool-bench \
  emberlin-bench-estimate

export QT_QPA_PLATFORM=offscreen
echo "== Lines through the pseudo-terminal =="
"$build/bin/emberlin-bench-pty" 100000 5 2>/dev/null
echo "== Start-up of the window =="
"$build/bin/emberlin-bench-startup" 60 2>/dev/null
echo "== emberlin-disctool against dd, xorriso, cdrskin and cmp =="
"$build/bin/emberlin-disctool-bench"
echo "== Time left against real burns on emulated drives (about 5 minutes) =="
"$build/bin/emberlin-bench-estimate"
echo "== CPU while a 20-minute burn is replayed at real speed =="
if [[ "${1:-}" == --with-replay ]]; then
  "$build/bin/emberlin-bench-pty" --replay 20 2>/dev/null
else
  echo "skipped (it takes 20 minutes): scripts/bench.sh --with-replay"
fi
