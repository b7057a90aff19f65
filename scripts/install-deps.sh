#!/bin/bash
# Installs, on Debian 12, every package that building and testing Velmora needs, and only the
# ones that are missing. Runs as root, or through sudo otherwise. Quiet when nothing is missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ clang libclang-rt-14-dev googletest
    wine wine64 mingw-w64 g++-mingw-w64-x86-64-posix
    xvfb x11-utils xauth imagemagick fonts-wine
    ntfs-3g attr fuse3 fp-utils zip valgrind xdotool locales
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg -s "$p" 2>/dev/null | grep -q '^Status: install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    as_root=()
elif command -v sudo >/dev/null 2>&1; then
    as_root=(sudo)
else
    echo "install-deps: missing packages (${missing[*]}); run this script as root or install sudo" >&2
    exit 1
fi

echo "install-deps: installing ${missing[*]}"
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
if ! { "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q &&
       "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
           apt-get install -y -q --no-install-recommends "${missing[@]}"; } >"$log" 2>&1; then
    cat "$log" >&2
    echo "install-deps: apt-get failed" >&2
    exit 1
fi
