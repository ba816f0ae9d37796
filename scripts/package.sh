#!/usr/bin/env bash
# Builds Emberlin's Debian package, build/package/emberlin_VERSION_ARCH.deb.
# With --check (what scripts/test.sh does) it also checks the package with
# lintian, unpacks it into a scratch root, and burns an image there with the
# installed app and the installed tool, headless.
# Usage: scripts/package.sh [--check]
set -euo pipefail
trap 'echo "scripts/package.sh failed at line $LINENO" >&2' ERR
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/package"
check=false
case "${1:-}" in
  "") ;;
  --check) check=true ;;
  *) echo "usage: $0 [--check]" >&2; exit 2 ;;
esac

"$root/scripts/install-dependencies.sh" package
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DEMBERLIN_BUILD_TESTS=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build "$build" -j "$(nproc)"
rm -f "$build"/emberlin_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(echo "$build"/emberlin_*_*.deb)
echo "built $deb"
$check || exit 0

# Errors fail; warnings are shown. The binaries must be hardened as Debian
# expects: position independent, relocations read-only and bound at start.
# (They are built fortified too, but lintian's fortify tag is only a guess: it
# also fires on a binary none of whose calls could be fortified, as the app's.)
lintian --fail-on error --tag-display-limit 0 "$deb"
lintian --fail-on info --display-info \
  --tags hardening-no-pie,hardening-no-relro,hardening-no-bindnow "$deb"

scratch=$(mktemp -d)
app_pid=
cleanup() {
  [[ -n $app_pid ]] && kill "$app_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
dpkg-deb -x "$deb" "$scratch/root"
tool="$scratch/root/usr/libexec/emberlin/emberlin-disctool"

# The installed tool lists a burner it was told of.
export EMBERLIN_VIRTUAL_BURNERS="stdio:$scratch/burned.iso"
listing=$("$tool" burn -list)
if ! grep -q '^Image-file burner 1 via' <<<"$listing"; then
  echo "the installed tool did not list the burner it was told of: $listing" >&2
  exit 1
fi

# The installed app, handed an image at launch, burns it with the installed
# tool: the image-file burner's target ends up holding the image's bytes
# (padded to whole sectors).
head -c 3000000 /dev/urandom >"$scratch/image.iso"
XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$scratch" QT_QPA_PLATFORM=offscreen \
  "$scratch/root/usr/bin/emberlin" "$scratch/image.iso" >"$scratch/app.log" 2>&1 &
app_pid=$!
if ! timeout 120 sh -c "until cmp -s -n 3000000 '$scratch/image.iso' '$scratch/burned.iso'; do sleep 0.2; done"; then
  echo "the installed app did not burn the image" >&2
  cat "$scratch/app.log" >&2
  exit 1
fi
kill "$app_pid"
wait "$app_pid" || { echo "the installed app did not end cleanly" >&2; exit 1; }
app_pid=
echo "the installed app burned an image with the installed tool"
