#!/usr/bin/env bash
# Runs the configured wine-run.sh over a stand-in `wine` that plays one scripted
# answer per attempt, and checks which runs are tried again.
#   wine-run-test.sh BINARY_DIR    (holding wine-run.sh, its prefix and retry log)
set -uo pipefail
dir=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# The stand-in Wine: attempt N plays $scratch/answers line N, "status|stdout|stderr"
# (\n inside a field is a line break).
mkdir -p "$scratch/bin" "$dir/prefix"
touch "$dir/prefix/system.reg"
cat >"$scratch/bin/wine" <<'WINE'
#!/bin/sh
# The runner first asks whether Wine starts at all; that is not an attempt.
[ "$1" = "--version" ] && { echo wine-8.0; exit 0; }
n=$(($(cat "$FAKE/count" 2>/dev/null || echo 0) + 1))
echo "$n" >"$FAKE/count"
IFS='|' read -r status out err <<LINE
$(sed -n "${n}p" "$FAKE/answers")
LINE
[ -n "$out" ] && printf '%b\n' "$out"
[ -n "$err" ] && printf '%b\n' "$err" >&2
exit "$status"
WINE
printf '#!/bin/sh\nexit 0\n' >"$scratch/bin/wineserver"
chmod +x "$scratch/bin/wine" "$scratch/bin/wineserver"

trim() { sed -E 's/^ +| +$//g' <<<"$1"; }
passing='[==========] 1 test ran.\n[  PASSED  ] 1 test.'
failures=0
# name # answers, "status|stdout|stderr" one per attempt, separated by ';' #
# expected exit # expected attempts
cases=(
  "a passing run is run once # 0|${passing}| # 0 # 1"
  "our own failing test is not tried again # 1|[  FAILED  ] A.B| # 1 # 1"
  "our crash in the middle of a run is not tried again # 5|[ RUN      ] A.B|wine: Unhandled page fault # 5 # 1"
  "an exit without output and no Wine message is ours # 3|| # 3 # 1"
  "Wine failing to start is tried once more # 1||wine: could not load kernel32.dll, status c0000135;0|${passing}| # 0 # 2"
  "Wine killed after a passing run is tried once more # 139|${passing}|;0|${passing}| # 0 # 2"
  "a second Wine failure fails the test # 1||wine client error:0: read: Connection reset;1||wine client error:0: read: Connection reset # 1 # 2"
)
for entry in "${cases[@]}"; do
  IFS='#' read -r name answers expected attempts <<<"$entry"
  name=$(trim "$name") answers=$(trim "$answers") expected=$(trim "$expected") attempts=$(trim "$attempts")
  rm -f "$scratch/count" "$dir/wine-retries.log"
  printf '%s\n' "$answers" | tr ';' '\n' >"$scratch/answers"
  FAKE=$scratch PATH="$scratch/bin:$PATH" "$dir/wine-run.sh" test.exe >"$scratch/out" 2>"$scratch/err"
  status=$?
  ran=$(cat "$scratch/count")
  logged=0
  [ -f "$dir/wine-retries.log" ] && logged=$(wc -l <"$dir/wine-retries.log")
  problems=""
  [ "$status" -eq "$expected" ] || problems+=" exit $status, expected $expected;"
  [ "$ran" -eq "$attempts" ] || problems+=" $ran attempts, expected $attempts;"
  # Every retry, and the final Wine failure, is logged with its reason.
  want_logged=$((attempts - 1))
  grep -q "failing it" "$scratch/err" && want_logged=$attempts
  [ "$logged" -eq "$want_logged" ] || problems+=" $logged log lines, expected $want_logged;"
  if [ "$attempts" -eq 2 ] && ! grep -qE 'did not (start|end)' "$dir/wine-retries.log" 2>/dev/null; then
    problems+=" no reason in the retry log;"
  fi
  if [ -n "$problems" ]; then
    echo "FAILED: $name:$problems"
    sed 's/^/  stderr: /' "$scratch/err"
    failures=$((failures + 1))
  else
    echo "ok: $name"
  fi
done
exit "$failures"
