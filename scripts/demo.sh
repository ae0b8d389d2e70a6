#!/usr/bin/env bash
# Installs only what building and running Quintor needs, builds only the demo's
# targets (Quintor, its window captures, the stand-in API) and starts Quintor
# on the bundled simulated card-reading API. The full build and the tests are
# scripts/test.sh's.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh --demo
# A build folder of its own with the other deliverables, the tests and the
# benchmarks switched off, so the default preset's cache is left as it is.
# Built for a short wait, not for speed: without optimisation or debug
# information, and in unity mode so each library reads the Qt headers once
# (a quarter of the time of an optimised file-by-file build).
build=build/demo
cmake -S . -B "${build}" -G Ninja -DCMAKE_BUILD_TYPE= -DCMAKE_UNITY_BUILD=ON \
  -DTOOLKIT_PLUGIN=OFF -DTOOLKIT_WIZARD=OFF -DTOOLKIT_TESTS=OFF -DTOOLKIT_BENCHMARKS=OFF
cmake --build "${build}" -j "$(nproc)" --target quintor quintor-captures lumeris

bindir=${build}/bin
if [ ! -x "${bindir}/quintor" ]; then
  echo "The Quintor program was not built; see the messages above." >&2
  exit 1
fi

# Quintor's path fields start at the current directory: start it beside the
# stand-in's data files so every page works as soon as it opens.
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  cd "${bindir}"
  exec ./quintor
fi

# No display: run Quintor's windows under a virtual X server, play the
# patient-card chain ("&Auto") and the API information request, save what
# they show, and stop.
if ! command -v xvfb-run >/dev/null; then
  echo "No display and no virtual X server (package xvfb). Quintor is built: ${bindir}/quintor" >&2
  exit 1
fi
out="$(pwd)/${build}/demo"
rm -rf "${out}"
# Qt wants a private runtime folder; without a session there is none, and it
# would otherwise make /tmp/runtime-$USER and leave it behind.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  XDG_RUNTIME_DIR=$(mktemp -d)
  export XDG_RUNTIME_DIR
  trap 'rm -rf "${XDG_RUNTIME_DIR}"' EXIT
fi
echo "No display found: running Quintor under a virtual X server."
echo "Screenshots of the main window, the patient-card sheet after \"&Auto\" and the"
echo "API information window:"
xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb \
  "${bindir}/quintor-captures" "${out}" demo | sed 's/^/  /'
echo "From a desktop session: cd ${bindir} && ./quintor"
