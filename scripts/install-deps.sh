#!/bin/bash
# Installs the Debian packages the build and the tests need, when any is missing.
set -eu
packages=(
    cmake g++ make clang-format libgtest-dev googletest
    clang libclang-rt-14-dev
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine64 xvfb xauth x11-utils imagemagick
    nsis dpkg-dev man-db fonts-liberation fonts-wine
    libgcrypt20-dev libgcrypt-mingw-w64-dev libgpg-error-mingw-w64-dev libunistring-dev
    exfat-fuse exfatprogs
)
missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
