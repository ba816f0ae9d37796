#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages that building, running and testing need.
# Usage: scripts/install-dependencies.sh [build|test|package|bench|headless]
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  qt6-tools-dev qt6-l10n-tools
  libburn-dev libblkid-dev libssl-dev libcanberra-dev sound-theme-freedesktop libqt6svg6 libudev-dev
  libplist-dev zlib1g-dev libbz2-dev liblzma-dev libdeflate-dev
  qt6-translations-l10n
)
case "${1:-build}" in
  build) ;;
  # The desktop tests run their own session bus; the accessibility test reads
  # the window over AT-SPI on a virtual X server; xorriso and cdrskin (on
  # libburn), cdrkit's wodim and genisoimage, dvd+rw-tools and sg3-utils check
  # the emulated burner against clients nobody here wrote; btrfs-progs, gdisk
  # and reiserfsprogs make the volumes a rewritable disc is judged to hold;
  # clang's libFuzzer runs the fuzz targets.
  test) packages+=(libgtest-dev libgmock-dev desktop-file-utils appstream dbus-daemon xorriso cdrskin
                   wodim genisoimage growisofs dvd+rw-tools sg3-utils btrfs-progs gdisk reiserfsprogs
                   dmg2img 7zip
                   clang libclang-rt-14-dev xvfb xauth at-spi2-core dpkg-dev lintian) ;;
  # The Debian package: dpkg-shlibdeps finds its dependencies, lintian checks it.
  package) packages+=(dpkg-dev lintian) ;;
  # The disc-image tool's benchmark compares it with other libburn writers;
  # the fuzz targets run long there.
  bench) packages+=(libgtest-dev libgmock-dev xorriso cdrskin clang libclang-rt-14-dev dmg2img) ;;
  headless) packages+=(xvfb xauth) ;;
  *) echo "usage: $0 [build|test|package|bench|headless]" >&2; exit 2 ;;
esac

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)
"${sudo[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
