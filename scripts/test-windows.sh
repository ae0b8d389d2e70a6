#!/usr/bin/env bash
# Builds the `windows` preset (32-bit OSTREL.DLL, the toolkit-free cores,
# calveno-batch.exe, the stand-in lumeris.dll) and runs its tests under Wine.
# Without Wine the tests report themselves skipped. As root this includes the
# integration tests (label `integration`): OSTREL.DLL under Wine on a private
# pcscd with the virtual readers, through the test-only winscard.dll.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-windows.sh
cmake --preset windows
cmake --build --preset windows -j "$(nproc)"
ctest --preset windows -j "$(nproc)"
