#!/usr/bin/env bash
# The test command.
#   bash scripts/test.sh            the `default` preset: build and every test
#   bash scripts/test.sh --all      also the `asan` preset, the Debian package in a
#                                   throwaway root, the `windows` preset under Wine,
#                                   the demo and the fuzz smoke run (what CI runs)
#   bash scripts/test.sh --dry-run  print the stages it would run, and exit
# Without --all it installs only what the `default` preset needs, never installs
# or removes the toolkit's package, never adds an architecture and writes only in
# the checkout and temporary folders. The integration tests run on a private
# pcscd when run as root and report themselves skipped otherwise. Each stage's
# full output is kept in build/test-logs/; the last lines printed are the
# summary: each stage, passed, failed or skipped, and its time.
set -euo pipefail
cd "$(dirname "$0")/.."

all=0
dry_run=0
for option in "$@"; do
  case "${option}" in
    --all) all=1 ;;
    --dry-run) dry_run=1 ;;
    *) echo "test: unknown option ${option} (--all, --dry-run)" >&2; exit 2 ;;
  esac
done

jobs=$(nproc)
logs=build/test-logs
fuzz_seconds=${FUZZ_SECONDS:-30}

# The compiler cache (installed by the setup) keeps rebuilds after a clean
# short; its files stay in the checkout unless the caller chose a folder.
use_ccache() {
  if command -v ccache >/dev/null && [ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ]; then
    export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
    export CCACHE_DIR="${CCACHE_DIR:-$PWD/build/ccache}" CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}"
  fi
}

# ctest's own lines for a test that started or passed carry no news, and their
# dot padding runs to hundreds of characters: only failures (with their
# output), skips and the closing summary are shown.
quiet() {
  { grep --line-buffered -vE '^ *Start +[0-9]+: |^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* +Passed +[0-9.]+ sec$' || true; } |
    sed -u -E 's/ \.{3,}\**/ /'
}
# ctest with its whole output kept beside the stage's log.
quiet_ctest() {
  ctest "$@" 2>&1 | tee "${stage_log%.log}-ctest.log" | quiet
}

# --- Stages of every run ----------------------------------------------------------
# Each stage is a shell function; run_stage times it, keeps its output in a log
# and records the outcome for the summary. A stage prints "SKIP: reason" and
# returns 3 when it cannot run here.

stage_setup() {
  bash scripts/setup.sh --format
}

stage_format() {
  if ! command -v clang-format >/dev/null; then
    echo "SKIP: clang-format is not installed (bash scripts/setup.sh --format)"; return 3
  fi
  if ! git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    echo "SKIP: not a git checkout, so no list of the tracked sources"; return 3
  fi
  local files
  mapfile -t files < <(git ls-files -- '*.c' '*.cc' '*.cpp' '*.h' '*.hpp')
  echo "clang-format $(clang-format --version | grep -oE '[0-9]+\.[0-9.]+' | head -n 1): ${#files[@]} tracked sources"
  [ "${#files[@]}" -gt 0 ] || return 0
  printf '%s\0' "${files[@]}" | xargs -0 -n 50 -P "${jobs}" clang-format --dry-run --Werror
}

stage_build_default() {
  use_ccache
  cmake --preset default
  cmake --build --preset default -j "${jobs}"
}

stage_test_default() {
  if [ "$(id -u)" -ne 0 ]; then
    echo "note: not root, so the integration tests (private pcscd) report themselves skipped"
  fi
  quiet_ctest --preset default -j "${jobs}"
}

# The stages of every run: name, function, and the stage it needs to have
# passed (or -).
plan=(
  "setup|stage_setup|-"
  "format check|stage_format|-"
  "default: build|stage_build_default|setup"
  "default: tests|stage_test_default|default: build"
)

# --- Stages of --all only (CI) -----------------------------------------------------

stage_build_asan() {
  use_ccache
  cmake --preset asan
  cmake --build --preset asan -j "${jobs}"
}

stage_test_asan() {
  quiet_ctest --preset asan -j "${jobs}"
}

stage_package() {
  bash scripts/setup.sh --package
  bash scripts/package-test.sh
}

stage_windows() {
  rm -f build/windows/wine-retries.log
  local status=0
  bash scripts/test-windows.sh 2>&1 | tee "${stage_log%.log}-ctest.log" | quiet || status=$?
  if [ -s build/windows/wine-retries.log ]; then
    echo "Wine failed to start or end a program; each was tried once more:"
    cat build/windows/wine-retries.log
  fi
  return "${status}"
}

# The quick start's first command as a user without a display runs it: Quintor
# built by scripts/demo.sh, its windows captured under Xvfb (the capture program
# fails when a picture is not saved).
stage_demo() {
  env -u DISPLAY -u WAYLAND_DISPLAY bash scripts/demo.sh
}

stage_fuzz() {
  bash scripts/setup.sh --fuzz
  bash scripts/fuzz.sh "${fuzz_seconds}"
}

if [ "${all}" -eq 1 ]; then
  plan+=(
    "asan: build|stage_build_asan|setup"
    "asan: tests|stage_test_asan|asan: build"
    "package in a throwaway root|stage_package|default: build"
    "windows: build, tests under Wine|stage_windows|setup"
    "demo: Quintor under Xvfb|stage_demo|setup"
    "fuzz: ${fuzz_seconds} s per target|stage_fuzz|setup"
  )
fi

# --- Running ---------------------------------------------------------------------
if [ "${dry_run}" -eq 1 ]; then
  echo "test: stages$([ "${all}" -eq 1 ] && echo " (--all)"):"
  for entry in "${plan[@]}"; do echo "  ${entry%%|*}"; done
  exit 0
fi

mkdir -p "${logs}"
declare -A outcome=()
summary=()
failed=0

run_stage() {
  local name=$1 function=$2 needs=$3
  local start=${SECONDS} status=0 result
  stage_log="${logs}/$(echo "${name}" | tr -c 'a-zA-Z0-9\n' '-' | tr -s '-').log"
  : >"${stage_log}"
  echo
  echo "=== ${name} ==="
  if [ "${needs}" != "-" ] && [ "${outcome[${needs}]:-}" != "passed" ]; then
    result="skipped (${needs} did not pass)"
    echo "${result}"
    outcome["${name}"]=skipped
  else
    # Not in a condition: there `set -e` would not end the stage at its first
    # failing command.
    set +e
    (
      set -e
      "${function}"
    ) 2>&1 | tee -a "${stage_log}"
    status=${PIPESTATUS[0]}
    set -e
    case "${status}" in
      0) result=passed ;;
      3) result="skipped ($(sed -n 's/^SKIP: //p' "${stage_log}" | tail -n 1))" ;;
      *) result=failed; failed=1 ;;
    esac
    outcome["${name}"]=${result%% *}
    [ "${result}" = failed ] && echo "--- ${name} failed: its whole output is in ${stage_log}"
  fi
  summary+=("$(printf '%-34s %-8s %4d s' "${name}" "${result%% *}" $((SECONDS - start)))${result#"${result%% *}"}")
}

total_start=${SECONDS}
for entry in "${plan[@]}"; do
  IFS='|' read -r name function needs <<<"${entry}"
  run_stage "${name}" "${function}" "${needs}"
done

echo
echo "=== summary ($((SECONDS - total_start)) s) ==="
printf '%s\n' "${summary[@]}"
exit "${failed}"
