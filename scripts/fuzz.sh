#!/usr/bin/env bash
# Builds the `fuzz` preset and runs every libFuzzer target for a fixed time
# from its committed seed corpus (fuzz/corpus/<target>/).
#   bash scripts/fuzz.sh [seconds per target, default 30] [target...]
# New inputs go to a scratch directory, never into the corpus. A target that
# finds a fault makes the script exit non-zero after printing the fault, the
# reproducer (kept under build/fuzz/artifacts/) as hex and base64, and the
# command that replays it.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-30}"
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for corpus in fuzz/corpus/*/; do targets+=("$(basename "${corpus}")"); done
fi

cmake --preset fuzz
cmake --build --preset fuzz -j "$(nproc)"

artifacts="build/fuzz/artifacts"
scratch="$(mktemp -d)"
trap 'rm -rf "${scratch}"' EXIT
mkdir -p "${artifacts}"

status=0
for target in "${targets[@]}"; do
  binary="build/fuzz/fuzz/${target}"
  log="${scratch}/${target}.log"
  mkdir -p "${scratch}/${target}"
  rm -f "${artifacts}/${target}"-*
  echo "=== fuzz ${target}: ${seconds} s from fuzz/corpus/${target} ==="
  if "${binary}" -max_total_time="${seconds}" -timeout=10 -rss_limit_mb=2048 \
       -artifact_prefix="${artifacts}/${target}-" "${scratch}/${target}" "fuzz/corpus/${target}" \
       >"${log}" 2>&1; then
    grep -E '^Done [0-9]+ runs' "${log}" || true
    continue
  fi
  status=1
  echo "!!! ${target} found a fault:"
  grep -v -E '^#[0-9]+|^INFO:' "${log}" | tail -n 60
  for reproducer in "${artifacts}/${target}"-*; do
    [ -f "${reproducer}" ] || continue
    echo "--- reproducer ${reproducer} ($(wc -c <"${reproducer}") bytes)"
    od -A x -t x1z -v "${reproducer}" | head -n 40
    echo "base64: $(base64 -w0 "${reproducer}")"
    echo "replay: ${binary} ${reproducer}"
  done
done
exit "${status}"
