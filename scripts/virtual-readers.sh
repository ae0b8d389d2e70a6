#!/usr/bin/env bash
# Starts a private pcscd with two virtual readers ("Virtual Reader A", "Virtual Reader B")
# in a mount namespace of its own, then runs COMMAND (default: an interactive shell)
# inside it, where every PC/SC client sees only these readers. The machine's own pcscd,
# if any, is not touched. Needs root. Build first: the driver and the control tool.
#
#   sudo scripts/virtual-readers.sh [BUILD-DIR] [-- COMMAND...]
#
# Inside, $VIRTUAL_READER_A and $VIRTUAL_READER_B are the readers' control sockets:
#   virtual-reader-ctl "$VIRTUAL_READER_A" insert 3F6525002C09699000
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${here}/build/default"
if [ $# -gt 0 ] && [ "$1" != "--" ]; then build="$(cd "$1" && pwd)"; shift; fi
[ "${1:-}" = "--" ] && shift
driver="${build}/tests/virtual-reader/libvirtualreader.so"
[ -f "${driver}" ] || { echo "virtual-readers: ${driver} not built (cmake --build --preset default --target virtual_reader_driver virtual-reader-ctl)" >&2; exit 2; }
[ "$(id -u)" -eq 0 ] || { echo "virtual-readers: needs root (a mount namespace over /run/pcscd)" >&2; exit 2; }
command -v pcscd >/dev/null || [ -x /usr/sbin/pcscd ] || { echo "virtual-readers: pcscd is not installed" >&2; exit 2; }

if [ -z "${VIRTUAL_READERS_INSIDE:-}" ]; then
  export VIRTUAL_READERS_INSIDE=1
  exec unshare --mount --propagation private "$0" "${build}" -- "$@"
fi

# Inside the namespace: an empty /run/pcscd of our own.
# -n: nothing written to the shared /run/mount/utab.
if [ -d /run/pcscd ]; then mount -n -t tmpfs tmpfs /run/pcscd; else mount -n -t tmpfs tmpfs /run && mkdir /run/pcscd; fi
dir="$(mktemp -d /tmp/virtual-readers-XXXXXX)"
mkdir "${dir}/conf"
for r in A B; do
  printf 'FRIENDLYNAME "Virtual Reader %s"\nDEVICENAME virtual:%s/reader-%s.sock\nLIBPATH %s\n\n' \
    "$r" "${dir}" "$r" "${driver}" >> "${dir}/conf/virtual-readers"
done
PATH="/usr/sbin:${PATH}" pcscd --foreground --config "${dir}/conf" > "${dir}/pcscd.log" 2>&1 &
pcscd_pid=$!
trap 'kill ${pcscd_pid} 2>/dev/null; wait ${pcscd_pid} 2>/dev/null || true; rm -rf "${dir}"' EXIT
for _ in $(seq 100); do
  [ -S "${dir}/reader-A.sock" ] && [ -S "${dir}/reader-B.sock" ] && break
  sleep 0.1
done
export VIRTUAL_READER_A="${dir}/reader-A.sock" VIRTUAL_READER_B="${dir}/reader-B.sock"
export PATH="${build}/tests/integration:${build}/tools/tuvex-host:${build}/wizard/batch:${PATH}"
echo "virtual-readers: pcscd log in ${dir}/pcscd.log; readers \"Virtual Reader A 00 00\" and \"Virtual Reader B 01 00\""
if [ $# -gt 0 ]; then "$@"; else "${SHELL:-/bin/bash}"; fi
