#!/usr/bin/env bash
# Sets everything up, builds both presets (normal and ASan + UBSan) and runs
# every test in each. Exits non-zero on the first failing step.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

status=0
for preset in default asan; do
  echo "=== preset ${preset}: configure and build ==="
  cmake --preset "${preset}"
  cmake --build --preset "${preset}" -j "$(nproc)"
  echo "=== preset ${preset}: tests ==="
  if ! ctest --preset "${preset}" -j "$(nproc)"; then
    status=1
  fi
done
exit "${status}"
