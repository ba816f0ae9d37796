#!/usr/bin/env bash
# Builds the benchmarks (optimised) and prints their figures. Nothing here is a
# test: the figures depend on the machine.
# Usage: scripts/bench.sh [--fuzz-seconds N] [--with-replay]
#   --fuzz-seconds N  how long each fuzz target runs (default 45)
#   --with-replay     also replays a 20-minute burn at real speed
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/bench"
fuzz_seconds=45
with_replay=false
while (($#)); do
  case $1 in
    --fuzz-seconds) fuzz_seconds=${2:?}; shift ;;
    --with-replay) with_replay=true ;;
    *) echo "usage: $0 [--fuzz-seconds N] [--with-replay]" >&2; exit 2 ;;
  esac
  shift
done

"$root/scripts/install-dependencies.sh" bench
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DEMBERLIN_BUILD_BENCH=ON \
  -DEMBERLIN_WERROR=ON >/dev/null
cmake --build "$build" --target emberlin-bench-pty emberlin-bench-startup emberlin-disctool-bench \
  emberlin-bench-soak emberlin-bench-estimate emberlin-bench-copies emberlin-bench-checksum \
  emberlin-bench-udif

export QT_QPA_PLATFORM=offscreen
echo "== Lines through the pseudo-terminal =="
"$build/bin/emberlin-bench-pty" 100000 5 2>/dev/null
echo "== Start-up of the window =="
"$build/bin/emberlin-bench-startup" 60 2>/dev/null
echo "== 1,000 burns in one window: descriptors, children and memory =="
"$build/bin/emberlin-bench-soak" 1000 2>/dev/null
echo "== An image checked against its published SHA-256 (4 GiB) =="
"$build/bin/emberlin-bench-checksum" 4 2>/dev/null
echo "== Fuzz targets, $fuzz_seconds s each: inputs run (goal: 10 million in all, no finding) =="
fuzz_found=0
"$root/scripts/fuzz.sh" seconds "$fuzz_seconds" || fuzz_found=1
echo "== emberlin-disctool against dd, xorriso, cdrskin and cmp =="
"$build/bin/emberlin-disctool-bench"
echo "== Apple .dmg images (1 GiB) expanded against dmg2img, and burned to a BD-R at 16x =="
"$build/bin/emberlin-bench-udif" 1024
echo "== Time left against real burns on emulated drives (about 5 minutes) =="
"$build/bin/emberlin-bench-estimate"
echo "== One image to 1, 2, 4 and 8 emulated BD-R burners at 4x at once (about 5 minutes) =="
"$build/bin/emberlin-bench-copies" 1 2 4 8 2>/dev/null
echo "== CPU while a 20-minute burn is replayed at real speed =="
if $with_replay; then
  "$build/bin/emberlin-bench-pty" --replay 20 2>/dev/null
else
  echo "skipped (it takes 20 minutes): scripts/bench.sh --with-replay"
fi
exit "$fuzz_found"
