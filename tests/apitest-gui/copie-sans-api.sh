#!/usr/bin/env bash
# A copy of the program's folder without the API library must report the load
# failure, not reach back into the build tree for its stand-in: the run path
# is $ORIGIN only. The program waits on its question; the same text goes to
# its console, which is read here until the loader's reason has come.
# Usage: copie-sans-api.sh BIN-FOLDER SCRATCH-FOLDER
set -euo pipefail
bin="$1"
mkdir -p "$2"
copie="$(mktemp -d "$2/copie-sans-api.XXXXXX")"
pid=""
nettoyer() {
  if [ -n "${pid}" ]; then kill -9 "${pid}" 2>/dev/null || true; wait "${pid}" 2>/dev/null || true; fi
  rm -rf "${copie}"
}
trap nettoyer EXIT

# Hard links: a copy of the folder at no cost, on the same file system.
cp -al "${bin}/." "${copie}/" 2>/dev/null || cp -a "${bin}/." "${copie}/"
rm -f "${copie}/liblumeris.so" "${copie}"/liblumeris.so.*
test -x "${copie}/quintor"

mkfifo "${copie}/console"
# Started from another folder, so nothing can be found through the current one.
(cd / && QT_QPA_PLATFORM=offscreen exec "${copie}/quintor") >"${copie}/console" 2>&1 &
pid=$!

message=""
raison=""
suite=0
while IFS= read -r ligne; do
  if [ "${suite}" = 1 ]; then raison="${ligne}"; break; fi
  case "${ligne}" in
    *"Echec du chargement de Lumeris.dll"*|*"(erreur "*) message+="${ligne}"$'\n' ;;
    *"Voulez-vous continuer"*) message+="${ligne}"$'\n'; suite=1 ;;
  esac
done <"${copie}/console"

printf '%s%s\n' "${message}" "${raison}"
echec=0
case "${message}" in *"(erreur 1 - 2)"*) ;; *) echo "FAIL: no '(erreur 1 - 2)' in the message" >&2; echec=1 ;; esac
case "${raison}" in *liblumeris.so*) ;; *) echo "FAIL: the loader's reason does not name liblumeris.so" >&2; echec=1 ;; esac
exit "${echec}"
