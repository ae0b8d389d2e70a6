#!/usr/bin/env bash
# Installs what the `windows` preset needs on top of scripts/setup.sh: the 32-bit
# mingw-w64 cross compiler, and Wine (32-bit, so the i386 architecture) to run the
# Windows tests. The Linux presets need none of this. Idempotent; run as root.
# The Windows integration tests also need a Winelib build of a test-only
# winscard.dll that forwards to the 32-bit pcsc-lite client (libpcsclite-dev:i386).
# Its compiler is wine64-tools with the 32-bit Wine libraries (libwine-dev:i386)
# and gcc-multilib: wine32-tools would do the same, but its programs are 32-bit
# and a kernel without 32-bit support cannot start them (the build still works
# there; the tests under Wine then report themselves skipped).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

packages=(
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
  googletest wine wine32
  gcc-multilib wine64-tools libwine-dev:i386 libpcsclite-dev:i386
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup-windows: all ${#packages[@]} packages already installed"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
echo "setup-windows: installing ${missing[*]}"
$SUDO apt-get -o DPkg::Lock::Timeout=600 update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get -o DPkg::Lock::Timeout=600 install -y --no-install-recommends "${missing[@]}"
