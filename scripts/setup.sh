#!/usr/bin/env bash
# Installs the Debian packages the project needs, by group:
#   bash scripts/setup.sh [--format] [--package] [--fuzz] [--demo] [--bench] [--all]
# Without an option: what the `default` preset needs to build and run its tests.
#   --format   clang-format, for the format check of scripts/test.sh
#   --package  the tools of the Debian package test (scripts/package-test.sh)
#   --fuzz     clang and its libFuzzer runtime (the `fuzz` preset)
#   --demo     alone: only what building and running Quintor needs (scripts/demo.sh);
#              with --all: a virtual X server and the PC/SC tools, for the screenshots
#   --bench    Debian's vpcd reader driver, for scripts/plugin-benchmark.sh
#   --all      every group above but --bench
# The `windows` preset has its own script (scripts/setup-windows.sh). Idempotent:
# apt is only touched when a package is missing. Must run as root (or through sudo).
set -euo pipefail

default_group=(
  build-essential g++ cmake ninja-build pkg-config git ccache
  qt6-base-dev qt6-base-dev-tools libgl-dev libxkbcommon-dev qt6-translations-l10n
  libpcsclite-dev pcscd pcsc-tools
  libtinyxml-dev libcli11-dev nlohmann-json3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  binutils util-linux help2man gzip
)
format_group=(clang-format)
package_group=(desktop-file-utils lintian dpkg-dev file)
fuzz_group=(clang libclang-rt-14-dev)
demo_group=(xvfb xauth pcsc-tools)
# Debian's vpcd for the plug-in benchmark. Not in --all: its package adds a reader entry
# (/etc/reader.conf.d/vpcd) that the machine's own pcscd then opens.
bench_group=(vsmartcard-vpcd iproute2 python3)

packages=("${default_group[@]}")
for option in "$@"; do
  case "${option}" in
    --format) packages+=("${format_group[@]}") ;;
    --package) packages+=("${package_group[@]}") ;;
    --fuzz) packages+=("${fuzz_group[@]}") ;;
    --demo) packages+=("${demo_group[@]}") ;;
    --bench) packages+=("${bench_group[@]}") ;;
    --all) packages+=("${format_group[@]}" "${package_group[@]}" "${fuzz_group[@]}" "${demo_group[@]}") ;;
    *) echo "setup: unknown option ${option} (--format, --package, --fuzz, --demo, --bench, --all)" >&2; exit 2 ;;
  esac
done

# --demo: only what building and running Quintor needs (scripts/demo.sh);
# the test tools (lintian, Wine, clang, ...) come with the test command.
demo_packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libgl-dev libxkbcommon-dev qt6-translations-l10n
  libtinyxml-dev xvfb xauth
)
if [ "${1:-}" = "--demo" ]; then
  packages=("${demo_packages[@]}")
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all ${#packages[@]} packages already installed"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "setup: installing ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
