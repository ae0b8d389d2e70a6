#!/usr/bin/env bash
# Builds the Debian package, installs it on this machine with apt-get, starts
# the programs from it, validates the menu entries, runs lintian (its report is
# shown, not enforced), removes the package again and checks that none of its
# files is left. Needs root or sudo. Exits non-zero when a step fails.
set -euo pipefail
cd "$(dirname "$0")/.."

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
apt_get() { DEBIAN_FRONTEND=noninteractive $SUDO apt-get "$@"; }
package=card-reader-toolkit
work=$(mktemp -d)
cleanup() {
  if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    apt_get remove --purge -y "$package" >/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

echo "=== package: build ==="
cmake --preset default >/dev/null
cmake --build --preset default --target package -j "$(nproc)"
deb=$(ls -t build/default/${package}_*.deb | head -n 1)
echo "built ${deb}"
dpkg-deb --info "$deb" | sed -n '/Package:/,$p'

echo "=== package: install ==="
apt_get install -y "$PWD/$deb"
dpkg -L "$package" | sort > "$work/listing"

echo "=== package: programs ==="
for program in quintor calveno calveno-batch; do
  [ "$(command -v "$program")" = "/usr/bin/$program" ] || { echo "$program not in /usr/bin"; exit 1; }
  "$program" --version | head -n 1
  [ -f "/usr/share/man/man1/$program.1.gz" ] || { echo "no manual page for $program"; exit 1; }
done
calveno-batch --help >/dev/null
if command -v tuvex-host >/dev/null; then
  tuvex-host --help >/dev/null
  [ -f /usr/share/man/man1/tuvex-host.1.gz ] || { echo "no manual page for tuvex-host"; exit 1; }
fi
# Quintor runs until closed: after a few seconds the loader's trace must show
# the stand-in API bound from the package's private folder.
status=0
(cd "$work" && QT_QPA_PLATFORM=offscreen LD_DEBUG=libs timeout 5 quintor >"$work/quintor.log" 2>&1) || status=$?
if [ "$status" -ne 124 ]; then
  echo "quintor ended with status $status before it was stopped:"; cat "$work/quintor.log"; exit 1
fi
if ! grep -aq "calling init: /usr/bin/../lib/.*/${package}/liblumeris.so" "$work/quintor.log"; then
  echo "quintor did not bind the stand-in API from /usr/lib/<multiarch>/${package}:"
  grep -av "^ *[0-9]*:" "$work/quintor.log" || true
  exit 1
fi
echo "quintor bound the stand-in API and kept running"

echo "=== package: menu entries ==="
desktop-file-validate /usr/share/applications/quintor.desktop /usr/share/applications/calveno.desktop
echo "both desktop entries valid"

echo "=== package: lintian (report only) ==="
lintian --no-tag-display-limit "$deb" || true

echo "=== package: remove ==="
apt_get remove --purge -y "$package"
left=0
while read -r path; do
  # Shared folders (/usr, /usr/bin) stay; files and the package's own folders go.
  if [ -e "$path" ] && { [ ! -d "$path" ] || [[ "$path" == *"$package"* ]]; }; then
    echo "left behind: $path"; left=1
  fi
done < "$work/listing"
[ "$left" -eq 0 ] || exit 1
echo "removed cleanly: $(wc -l < "$work/listing") listed paths checked"
