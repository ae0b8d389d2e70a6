#!/usr/bin/env bash
# Renders Quintor's windows (main window, each test sheet on its first page,
# the text window) and Calveno's pages to PNG files in docs/screenshots,
# without a display.
# Usage: bash scripts/screenshots.sh [BUILD-DIR]   (default: build/default)
set -euo pipefail
cd "$(dirname "$0")/.."

build="${1:-build/default}"
if [ ! -f "${build}/CMakeCache.txt" ]; then
  cmake --preset default
  build=build/default
fi
cmake --build "${build}" --target quintor-captures calveno-captures -j "$(nproc)"

mkdir -p docs/screenshots
QT_QPA_PLATFORM=offscreen "${build}/bin/quintor-captures" docs/screenshots
QT_QPA_PLATFORM=offscreen "${build}/bin/calveno-captures" docs/screenshots
