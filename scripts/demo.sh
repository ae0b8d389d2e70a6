#!/usr/bin/env bash
# Sets everything up, builds the toolkit and starts the main job: the Quintor
# test program on the bundled simulated card-reading API.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset default
cmake --build --preset default -j "$(nproc)"

program=build/default/bin/quintor
if [ ! -x "${program}" ]; then
  echo "Built everything. The Quintor program is not part of this build yet; run the tests with: bash scripts/test.sh"
  exit 0
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found. Run Quintor under a virtual X server, for example:"
  echo "  xvfb-run -a ${program}"
  echo "or start it from a desktop session: ${program}"
  exit 0
fi
exec "${program}"
