#!/usr/bin/env bash
# Sets everything up, builds both presets (normal and ASan + UBSan) and runs
# every test in each, then runs every fuzz target for FUZZ_SECONDS (default
# 30) from its seed corpus. Exits non-zero when any step fails.
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

echo "=== preset fuzz: each target for ${FUZZ_SECONDS:-30} s ==="
if ! bash scripts/fuzz.sh "${FUZZ_SECONDS:-30}"; then
  status=1
fi
exit "${status}"
