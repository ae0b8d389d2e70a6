#!/usr/bin/env bash
# Builds the Debian package and tests it in a throwaway root: a private mount
# namespace where /usr, /etc, /var and /opt are overlays whose changes go to a
# scratch folder, so the package is installed with apt-get, its programs
# started, its menu entries validated, lintian run (its report is shown, not
# enforced), and the package removed, all without touching this machine's
# package database or files. Before and after, `dpkg -l` and the files at the
# package's paths are compared: any difference fails the test, as does a file
# the removal leaves behind. Needs root or sudo. Exits non-zero when a step fails.
set -euo pipefail
cd "$(dirname "$0")/.."

package=card-reader-toolkit
system_dirs=(/usr /etc /var /opt)

# Inside the throwaway root: the package's own checks (the overlays are already up).
if [ "${1:-}" = "--inside" ]; then
  deb=$2
  work=$3
  # No service of any package may start from here: the machine's service
  # manager sits outside the namespace.
  printf '#!/bin/sh\nexit 101\n' >/usr/sbin/policy-rc.d
  chmod 755 /usr/sbin/policy-rc.d
  export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_CACHE_HOME="$work/home/.cache"
  mkdir -p "$HOME"
  apt_get() { DEBIAN_FRONTEND=noninteractive apt-get -qq -o Dpkg::Use-Pty=0 "$@"; }

  echo "=== package: install ==="
  # A toolkit already on the machine is removed first (here only), so the
  # listing and the removal check see the new package alone.
  if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    apt_get remove --purge -y "$package" >/dev/null
  fi
  apt_get install -y "$deb" >"$work/apt-install.log" 2>&1 || { cat "$work/apt-install.log"; exit 1; }
  dpkg -L "$package" | sort >"$work/listing"
  echo "installed: $(wc -l <"$work/listing") paths"

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

  echo "=== package: Calveno's rights, folders and manual pages ==="
  # The menu entry runs Calveno through pkexec under the package's polkit action.
  grep -qx 'Exec=pkexec calveno' /usr/share/applications/calveno.desktop || {
    echo "calveno's menu entry does not start it through pkexec"; exit 1; }
  # pkaction asks polkitd over the system bus: a private bus and polkitd in a
  # mount namespace of their own, so the machine's services are left alone.
  polkit_action() {
    unshare --mount --propagation private bash -c '
      set -e
      mount -t tmpfs tmpfs /run/dbus
      bus=$(dbus-daemon --system --fork --print-pid)
      /usr/lib/polkit-1/polkitd --no-debug >/dev/null 2>&1 &
      polkitd=$!
      trap "kill $polkitd $bus 2>/dev/null || true" EXIT
      for _ in $(seq 50); do pkaction --action-id "$1" >/dev/null 2>&1 && break; sleep 0.2; done
      pkaction --action-id "$1" --verbose' polkit_action "$1"
  }
  action=$(polkit_action org.example.cardreadertoolkit.calveno) || { echo "pkaction does not know the action"; exit 1; }
  echo "$action"
  for expected in 'org.freedesktop.policykit.exec.path -> /usr/bin/calveno' \
                  'org.freedesktop.policykit.exec.allow_gui -> true' 'implicit active: *auth_admin$'; do
    grep -q "$expected" <<<"$action" || { echo "polkit action lacks: $expected"; exit 1; }
  done
  [ -d /etc/card-reader-toolkit ] || { echo "/etc/card-reader-toolkit was not created"; exit 1; }
  # Started by name from another folder, calveno-batch writes the card-manager
  # file into the package's folder, nothing under /usr nor in the current folder.
  mkdir "$work/run" "$work/windows"
  (cd "$work/run" && calveno-batch --windows-dir "$work/windows" --yes)
  [ -f /etc/card-reader-toolkit/pelkor.ini ] || { echo "pelkor.ini not in /etc/card-reader-toolkit"; exit 1; }
  if [ -n "$(find /usr -name 'pelkor.*' -print -quit)" ] || [ -n "$(ls -A "$work/run")" ]; then
    echo "calveno-batch wrote under /usr or into the current folder"; exit 1
  fi
  for program in quintor calveno calveno-batch; do
    for section in NAME 'EXIT STATUS' FILES EXAMPLES 'SEE ALSO'; do
      zcat "/usr/share/man/man1/$program.1.gz" | grep -Eq "^\.SH \"?$section\"?\$" || {
        echo "manual page of $program has no $section section"; exit 1; }
    done
  done
  # The NAME lines carry the English and the French words.
  if command -v apropos >/dev/null && command -v mandb >/dev/null; then
    mandb -q >/dev/null 2>&1 || true
    for words in carte 'smart card'; do
      apropos "$words" | grep -Eq '^(quintor|calveno|calveno-batch|tuvex-host) ' || {
        echo "apropos '$words' finds none of the manual pages"; exit 1; }
    done
  fi
  echo "pkexec entry, polkit action, card-manager folder and manual pages as expected"

  echo "=== package: lintian (report only) ==="
  lintian --tag-display-limit 0 "$deb" || true

  echo "=== package: remove ==="
  apt_get remove --purge -y "$package" >/dev/null
  left=0
  while read -r path; do
    # Shared folders (/usr, /usr/bin) stay; files and the package's own folders go.
    if [ -e "$path" ] && { [ ! -d "$path" ] || [[ "$path" == *"$package"* ]]; }; then
      echo "left behind: $path"; left=1
    fi
  done <"$work/listing"
  [ "$left" -eq 0 ] || exit 1
  # The card-manager folder and what calveno-batch wrote there go with the purge.
  if [ -e /etc/card-reader-toolkit ]; then echo "left behind: /etc/card-reader-toolkit"; exit 1; fi
  echo "removed cleanly: $(wc -l <"$work/listing") listed paths checked"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

# The overlays' upper folders must not lie under a folder they cover.
work=$(mktemp -d /tmp/package-test.XXXXXX)
cleanup() { $SUDO rm -rf "$work"; }
trap cleanup EXIT

echo "=== package: build ==="
cmake --preset default >/dev/null
cmake --build --preset default --target package -j "$(nproc)" >"$work/build.log" 2>&1 || { cat "$work/build.log"; exit 1; }
deb=$(ls -t build/default/${package}_*.deb | head -n 1)
echo "built ${deb}"
dpkg-deb --info "$deb" | sed -n '/Package:/,$p'
cp "$deb" "$work/"
deb="$work/$(basename "$deb")"

# What the machine looks like: its package list, and every path the package
# would install (type, and content checksum of files) as it stands here.
host_state() {
  dpkg -l
  dpkg-deb -c "$deb" | awk '{ sub(/^\./, "", $6); print $6 }' | sed 's|/$||' | sort -u |
    while read -r path; do
      [ -n "$path" ] || continue
      if [ -L "$path" ]; then echo "link $path -> $(readlink "$path")"
      elif [ -f "$path" ]; then echo "file $path $(sha256sum <"$path" | cut -d' ' -f1)"
      elif [ -d "$path" ]; then echo "dir $path"
      else echo "none $path"; fi
    done
}
host_state >"$work/before"

mkdir -p "$work/home"
inside=(bash -c '
  set -e
  work=$1; shift
  for dir in "$@"; do
    [ -d "$dir" ] || continue
    name=$(echo "$dir" | tr / _)
    mkdir -p "$work/overlay/upper$name" "$work/overlay/work$name"
    mount -t overlay overlay -o "lowerdir=$dir,upperdir=$work/overlay/upper$name,workdir=$work/overlay/work$name" "$dir"
  done
  exec bash scripts/package-test.sh --inside "$DEB" "$work"
' inside "$work" "${system_dirs[@]}")
status=0
$SUDO env DEB="$deb" unshare --mount --propagation private "${inside[@]}" || status=$?

echo "=== package: this machine unchanged ==="
host_state >"$work/after"
if ! diff -u "$work/before" "$work/after"; then
  echo "the machine's package list or files changed"; exit 1
fi
if grep -q " overlay " /proc/mounts && grep " overlay " /proc/mounts | grep -qF "$work"; then
  echo "an overlay of the throwaway root is still mounted"; exit 1
fi
echo "dpkg -l and the $(grep -cE '^(file|dir|link|none) ' "$work/before") paths of the package are as before"
exit "$status"
