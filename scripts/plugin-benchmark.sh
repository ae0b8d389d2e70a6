#!/usr/bin/env bash
# Runs the plug-in benchmark (benchmarks/exchange_benchmarks) on a private pcscd with
# each virtual reader: our own driver ("Virtual Reader A") and Debian's vpcd
# (package vsmartcard-vpcd) with a minimal virtual card. Everything runs in a mount and
# network namespace of its own, so the machine's pcscd and network are not touched.
# Needs root. Build first: exchange_benchmarks, virtual_reader_driver, virtual-reader-ctl.
#
#   sudo scripts/plugin-benchmark.sh [BUILD-DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-${here}/build/default}"
build="$(cd "${build}" && pwd)"
bench="${build}/benchmarks/exchange_benchmarks"
driver="${build}/tests/virtual-reader/libvirtualreader.so"
ctl="${build}/tests/integration/virtual-reader-ctl"
vpcd=/usr/lib/pcsc/drivers/serial/libifdvpcd.so
for f in "${bench}" "${driver}" "${ctl}"; do
  [ -x "${f}" ] || [ -f "${f}" ] || { echo "plugin-benchmark: ${f} not built" >&2; exit 2; }
done
[ "$(id -u)" -eq 0 ] || { echo "plugin-benchmark: needs root (mount and network namespaces)" >&2; exit 2; }
[ -f "${vpcd}" ] || { echo "plugin-benchmark: ${vpcd} missing (bash scripts/setup.sh --bench installs vsmartcard-vpcd)" >&2; exit 2; }

if [ -z "${PLUGIN_BENCHMARK_INSIDE:-}" ]; then
  export PLUGIN_BENCHMARK_INSIDE=1
  exec unshare --mount --net --propagation private "$0" "${build}"
fi

# vpcd writes each message's length and data in two sends: on the loopback, Nagle and
# delayed acknowledgements stall every card message about 40 ms unless acknowledgements
# go at once on the loopback routes of this private network.
ip link set lo up
ip route replace table local local 127.0.0.0/8 dev lo proto kernel scope host src 127.0.0.1 quickack 1
ip route replace table local local 127.0.0.1 dev lo proto kernel scope host src 127.0.0.1 quickack 1

# -n: nothing written to the shared /run/mount/utab.
if [ -d /run/pcscd ]; then mount -n -t tmpfs tmpfs /run/pcscd; else mount -n -t tmpfs tmpfs /run && mkdir /run/pcscd; fi
dir="$(mktemp -d /tmp/plugin-benchmark-XXXXXX)"
mkdir "${dir}/conf"
printf 'FRIENDLYNAME "Virtual Reader A"\nDEVICENAME virtual:%s/reader-A.sock\nLIBPATH %s\n\n' \
  "${dir}" "${driver}" > "${dir}/conf/virtual-reader"
printf 'FRIENDLYNAME "Virtual PCD"\nDEVICENAME /dev/null:0x8C7B\nLIBPATH %s\n' "${vpcd}" > "${dir}/conf/vpcd"
PATH="/usr/sbin:${PATH}" pcscd --foreground --config "${dir}/conf" > "${dir}/pcscd.log" 2>&1 &
pcscd_pid=$!
card_pid=
trap 'kill ${card_pid} ${pcscd_pid} 2>/dev/null; wait 2>/dev/null || true; rm -rf "${dir}"' EXIT

# The virtual card on vpcd's side: the patient card's ATR, 12 34 90 00 to a read of two
# bytes, 6D 00 to anything else. vpcd's messages: a 16-bit big-endian length, then the
# data; a single byte is a control (0 off, 1 on, 2 reset, 4 ATR wanted).
python3 - <<'EOF' &
import socket, struct, time
atr = bytes.fromhex("3F6525002C09699000")
for _ in range(100):
    try:
        s = socket.create_connection(("127.0.0.1", 0x8C7B))
        break
    except OSError:
        time.sleep(0.1)
s.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
def receive(n):
    data = b""
    while len(data) < n:
        part = s.recv(n - len(data))
        if not part:
            raise SystemExit(0)
        data += part
    return data
while True:
    message = receive(struct.unpack(">H", receive(2))[0])
    if len(message) == 1:
        if message[0] == 4:
            s.sendall(struct.pack(">H", len(atr)) + atr)
        continue
    answer = bytes.fromhex("12349000") if message == bytes.fromhex("00B0000002") else bytes.fromhex("6D00")
    s.sendall(struct.pack(">H", len(answer)) + answer)
EOF
card_pid=$!

for _ in $(seq 100); do [ -S "${dir}/reader-A.sock" ] && break; sleep 0.1; done
"${ctl}" "${dir}/reader-A.sock" insert 3F6525002C09699000 > /dev/null
"${ctl}" "${dir}/reader-A.sock" script 00B0000002 12349000 > /dev/null
sleep 1

for reader in "Virtual Reader A 00 00" "Virtual PCD 00 00"; do
  "${bench}" --reader "${reader}"
done
