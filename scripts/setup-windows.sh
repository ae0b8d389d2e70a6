#!/usr/bin/env bash
# Installs what the `windows` preset needs on top of scripts/setup.sh: the 32-bit
# mingw-w64 cross compiler, and Wine (32-bit, so the i386 architecture) to run the
# Windows tests. The Linux presets need none of this. Idempotent; run as root.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

packages=(
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
  googletest wine wine32
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
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
