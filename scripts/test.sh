#!/usr/bin/env bash
# Installs what is missing, builds Lumo and runs every test:
#   1. scripts/setup.sh (quick when everything is installed);
#   2. two checks of the sources, each one test: includes follow the layer order
#      (scripts/check-layers.sh), and every C++ file is formatted as .clang-format says;
#   3. the native preset (portable core, unit tests with ASan and UBSan) and the win64 preset
#      (Lumo.exe and the Windows test programs), each configured and built;
#   4. the Wine test bed: one Xvfb, one persistent wineserver and Wine's helper processes,
#      started before ctest with their output on /dev/null (tools/wine-bed start --fresh);
#   5. `ctest --preset native`, then `ctest --preset win64`, the Windows tests under Wine;
#   6. the release package (scripts/check-package.sh): scripts/package.sh builds the zip, and
#      each check of its contents counts as one test;
#   7. the fuzz preset: each fuzz target runs for a short while on its seed corpus
#      (fuzz/corpus/NAME/) with a memory limit of 512 MB, so that a reader that allocates
#      what a small file asks for fails it; each counts as one test.
# It ends with the line "N passed, N failed" over all of them, and exits non-zero when
# anything failed, a build or a test run included.
#
# Environment: LUMO_FUZZ_SECONDS (default 20) is the run time of each fuzz target.
set -uo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT" || exit 1
LOGS=$ROOT/build/test-logs
FUZZ_SECONDS=${LUMO_FUZZ_SECONDS:-20}

PASSED=0
FAILED=0
FAILURES=()

section() { printf '\n=== %s ===\n' "$*"; }
fail() {
  echo "FAILED: $*"
  FAILURES+=("$*")
  FAILED=$((FAILED + 1))
}

BED_STARTED=0
cleanup() {
  if ((BED_STARTED)); then
    BED_STARTED=0
    "$ROOT/tools/wine-bed" stop || true
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

finish() {
  cleanup
  if ((${#FAILURES[@]})); then
    section "failures"
    printf '  %s\n' "${FAILURES[@]}"
  fi
  echo
  echo "$PASSED passed, $FAILED failed"
  ((FAILED == 0))
  exit
}

# Configures and builds a preset; a failure counts as one failed test.
build_preset() {
  local preset=$1
  section "build: $preset"
  if ! cmake --preset "$preset"; then
    fail "configure of the $preset preset"
    return 1
  fi
  if ! cmake --build --preset "$preset"; then
    fail "build of the $preset preset"
    return 1
  fi
}

# Runs ctest for a preset and adds its counts. A ctest that could not run, or that failed
# without saying how many tests failed, counts as one failure.
run_ctest() {
  local preset=$1 log rc summary total failed
  log=$LOGS/ctest-$preset.log
  section "ctest: $preset"
  ctest --preset "$preset" 2>&1 | tee "$log"
  rc=${PIPESTATUS[0]}
  summary=$(grep -aE '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  if [[ -n $summary ]]; then
    failed=$(sed -E 's/^[0-9]+% tests passed, ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$summary")
    total=$(sed -E 's/^[0-9]+% tests passed, ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$summary")
    PASSED=$((PASSED + total - failed))
    FAILED=$((FAILED + failed))
    ((failed > 0)) && FAILURES+=("$failed test(s) of the $preset preset (see $log)")
    if ((rc != 0 && failed == 0)); then
      fail "ctest --preset $preset exited with $rc"
    fi
  elif ((rc == 0)) && grep -aq 'No tests were found' "$log"; then
    echo "(no tests in the $preset preset yet)"
  else
    fail "ctest --preset $preset exited with $rc without a result (see $log)"
  fi
}

# Builds the release package and checks it; each "ok:" or "FAILED:" line counts as a test.
# The script exits with the number of its failed checks; any other exit is a failure too.
check_package() {
  local line rc failed=0 output=$LOGS/package-checks.txt
  section "release package"
  "$ROOT/scripts/check-package.sh" >"$output" 2>&1
  rc=$?
  while IFS= read -r line; do
    echo "$line"
    case $line in
      ok:*) PASSED=$((PASSED + 1)) ;;
      FAILED:*)
        FAILURES+=("${line#FAILED: }")
        FAILED=$((FAILED + 1))
        failed=$((failed + 1))
        ;;
    esac
  done <"$output"
  ((rc == failed)) || fail "scripts/check-package.sh exited with $rc (see $output)"
}

run_fuzz_targets() {
  local targets=() target name corpus work seeds rc
  if ! compgen -G "fuzz/*_fuzz.cpp" >/dev/null; then
    section "fuzz"
    echo "(no fuzz targets yet)"
    return 0
  fi
  build_preset fuzz || return 0
  mapfile -t targets < <(find build/fuzz -type f -perm -u+x -name '*_fuzz' | sort)
  if ((${#targets[@]} == 0)); then
    fail "the fuzz preset built no fuzz target"
    return 0
  fi
  mkdir -p "$LOGS/fuzz-artifacts"
  for target in "${targets[@]}"; do
    name=$(basename "$target")
    section "fuzz: $name (${FUZZ_SECONDS} s)"
    work=$(mktemp -d)
    seeds=0
    for corpus in "fuzz/corpus/$name" "fuzz/corpus/${name%_fuzz}"; do
      if [[ -d $corpus ]]; then
        cp -a "$corpus/." "$work/"
        seeds=$(find "$work" -type f | wc -l)
        break
      fi
    done
    echo "seed corpus: $seeds file(s)"
    timeout $((FUZZ_SECONDS + 120)) "$target" -max_total_time="$FUZZ_SECONDS" -timeout=10 \
      -rss_limit_mb=512 -print_final_stats=1 \
      -artifact_prefix="$LOGS/fuzz-artifacts/$name-" "$work" >"$LOGS/fuzz-$name.log" 2>&1
    rc=$?
    rm -rf "$work"
    if ((rc == 0)); then
      grep -aE '^stat::number_of_executed_units|^Done [0-9]+ runs' "$LOGS/fuzz-$name.log" | tail -n 2
      PASSED=$((PASSED + 1))
    else
      tail -n 40 "$LOGS/fuzz-$name.log"
      fail "fuzz target $name (exit $rc, see $LOGS/fuzz-$name.log)"
    fi
  done
}

section "setup"
if ! "$ROOT/scripts/setup.sh"; then
  fail "scripts/setup.sh"
  finish
fi
mkdir -p "$LOGS"

section "layers"
if "$ROOT/scripts/check-layers.sh"; then
  PASSED=$((PASSED + 1))
else
  fail "an include goes against the layer order (scripts/check-layers.sh)"
fi

section "format"
if git ls-files -z 'src/*' 'tests/*' 'bench/*' 'fuzz/*' | grep -zE '\.(cpp|h)$' |
  xargs -0 clang-format --dry-run --Werror; then
  PASSED=$((PASSED + 1))
else
  fail "a C++ file is not formatted as .clang-format says (clang-format -i FILE)"
fi

NATIVE_BUILT=0
WIN64_BUILT=0
build_preset native && NATIVE_BUILT=1
build_preset win64 && WIN64_BUILT=1

if ((NATIVE_BUILT)); then
  run_ctest native
fi

if ((WIN64_BUILT)); then
  if [[ ! -f build/win64/win_tests.exe ]] && ! compgen -G "tests/win/*.cpp" >/dev/null; then
    section "ctest: win64"
    echo "(no Windows test program yet: tests/win is empty, ctest --preset win64 skipped)"
  elif [[ ! -f build/win64/win_tests.exe ]]; then
    fail "build/win64/win_tests.exe was not built"
  else
    section "Wine test bed"
    BED_STARTED=1
    if "$ROOT/tools/wine-bed" start --fresh; then
      DISPLAY=$(<"$ROOT/build/xvfb-display")
      export DISPLAY
      echo "Xvfb on $DISPLAY, Wine prefix build/wineprefix"
      run_ctest win64
      check_package
    else
      fail "the Wine test bed did not start"
    fi
    cleanup
  fi
fi

run_fuzz_targets
finish
