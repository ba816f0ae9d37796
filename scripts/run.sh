#!/usr/bin/env bash
# Builds Emberlin and starts it; file arguments are passed on to the app.
# Without a display it starts on a virtual X server (xvfb-run).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/release"

"$root/scripts/install-dependencies.sh" build
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DEMBERLIN_BUILD_TESTS=OFF -DEMBERLIN_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target emberlin emberlin-disctool

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
  echo "No display found: starting Emberlin on a virtual X server." >&2
  "$root/scripts/install-dependencies.sh" headless
  exec xvfb-run -a "$build/bin/emberlin" "$@"
fi
exec "$build/bin/emberlin" "$@"
