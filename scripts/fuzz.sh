#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz with clang (libFuzzer, address and
# undefined-behaviour sanitizers) in build/fuzz and runs each from its seed
# corpus in tests/fuzz/corpus:
#   scripts/fuzz.sh runs N      N inputs per target (scripts/test.sh)
#   scripts/fuzz.sh seconds N   N seconds per target (scripts/bench.sh)
# Prints the inputs each target ran and their total. A finding fails it; the
# input that found it is kept in build/fuzz/findings. Without clang's libFuzzer
# it says that it skipped the targets.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/fuzz"
case "${1:-}:${2:-}" in
  runs:[0-9]*) limit=-runs="$2" ;;
  seconds:[0-9]*) limit=-max_total_time="$2" ;;
  *) echo "usage: $0 runs N | seconds N" >&2; exit 2 ;;
esac

probe='extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }'
if ! command -v clang++ >/dev/null ||
   ! clang++ -x c++ -fsanitize=fuzzer -o /dev/null - <<<"$probe" 2>/dev/null; then
  echo "skipped: no clang++ with libFuzzer (Debian: clang and libclang-rt-14-dev)"
  exit 0
fi
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DEMBERLIN_BUILD_TESTS=OFF -DEMBERLIN_FUZZ=ON -DEMBERLIN_WERROR=ON >/dev/null
cmake --build "$build" --target emberlin_fuzzers -j "$(nproc)"

findings="$build/findings"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$findings"
export UBSAN_OPTIONS=print_stacktrace=1

# New inputs a run finds go to a scratch folder, never into the repository.
fuzz_one() {
  local name=$1
  mkdir -p "$scratch/$name"
  if "$build/bin/fuzz-$name" "$limit" -dict="$root/tests/fuzz/fuzz.dict" \
      -artifact_prefix="$findings/$name-" "$scratch/$name" "$root/tests/fuzz/corpus/$name" \
      >"$scratch/$name.log" 2>&1; then
    sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$scratch/$name.log" >"$scratch/$name.runs"
  fi
}

targets=$(ls "$root/tests/fuzz/corpus")
for name in $targets; do
  while (($(jobs -rp | wc -l) >= $(nproc))); do wait -n || true; done
  fuzz_one "$name" &
done
wait

total=0
failed=0
for name in $targets; do
  if [[ -s "$scratch/$name.runs" ]]; then
    runs=$(<"$scratch/$name.runs")
    total=$((total + runs))
    printf '%-14s %12d inputs\n' "$name" "$runs"
  else
    failed=1
    printf '%-14s FINDING:\n' "$name"
    grep -E 'property broken|ERROR|SUMMARY|runtime error|Test unit written' "$scratch/$name.log" || tail -20 "$scratch/$name.log"
  fi
done
printf '%-14s %12d inputs, %s\n' total "$total" "$([[ $failed == 0 ]] && echo "no finding" || echo "FINDINGS")"
exit "$failed"
