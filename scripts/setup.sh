#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need; does nothing when all are present.
set -euo pipefail
packages=(
  build-essential cmake pkg-config
  libsdl2-dev libgl-dev libegl-dev libgl1-mesa-dri libegl-mesa0
  zlib1g-dev libminizip-dev libarchive-dev libpng-dev libsquish-dev libssl-dev libdw-dev
  libgtest-dev
  zip unzip p7zip-full nginx-light curl
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
