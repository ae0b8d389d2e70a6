#!/usr/bin/env bash
# Sets everything up, builds both presets (normal and ASan + UBSan) and runs
# every test in each, tests the Debian package and the Windows build (under
# Wine), then runs every fuzz target for FUZZ_SECONDS (default
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

echo "=== Debian package: install, run, remove ==="
if ! bash scripts/package-test.sh; then
  status=1
fi

echo "=== preset windows: build, tests under Wine ==="
if ! bash scripts/test-windows.sh; then
  status=1
fi

echo "=== preset fuzz: each target for ${FUZZ_SECONDS:-30} s ==="
if ! bash scripts/fuzz.sh "${FUZZ_SECONDS:-30}"; then
  status=1
fi
exit "${status}"
