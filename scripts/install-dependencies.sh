#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages that building, running and testing need.
# Usage: scripts/install-dependencies.sh [build|test]
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libburn-dev libcanberra-dev sound-theme-freedesktop
)
if [[ "${1:-build}" == test ]]; then
  packages+=(libgtest-dev libgmock-dev desktop-file-utils appstream)
fi

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
