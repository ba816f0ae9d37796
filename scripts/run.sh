#!/usr/bin/env bash
# Builds Emberlin and starts it; file arguments are passed on to the app.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/install-dependencies.sh" build
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DEMBERLIN_BUILD_TESTS=OFF -DEMBERLIN_BUILD_BENCH=OFF >/dev/null
cmake --build "$root/build/release" --target emberlin emberlin-disctool
exec "$root/build/release/bin/emberlin" "$@"
