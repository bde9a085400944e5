#!/usr/bin/env bash
# A long monkey run: seed after seed, each a few hundred steps of random user and system
# actions against Lumo.exe under Wine (tools/monkey), until a number of steps in all.
#
#   scripts/monkey-long.sh [--steps N] [--per-seed N] [--first-seed N] [--minutes M]
#
#   --steps N       steps in all (default 20000)
#   --per-seed N    steps per seed (default 500)
#   --first-seed N  the first seed; the next ones follow it (default 1000)
#   --minutes M     stop starting new seeds after M minutes
#
# It builds Lumo.exe and the monkey first. A failing seed keeps its evidence in
# build/monkey/seed-N and the run goes on with the next seed. At the end it prints the seeds
# tried, the steps run, the time taken, the failed seeds and the largest growth of the
# program's GDI objects, handles, windows and private memory within one run of the program.
# The whole output is also in build/monkey/long.log. Exit code 0 when no seed failed.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root" || exit 1

total=20000
per_seed=500
seed=1000
minutes=
while (($#)); do
  case $1 in
    --steps) total=$2; shift 2 ;;
    --per-seed) per_seed=$2; shift 2 ;;
    --first-seed) seed=$2; shift 2 ;;
    --minutes) minutes=$2; shift 2 ;;
    *) sed -n '5,10p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2 ;;
  esac
done

"$root/scripts/setup.sh" >/dev/null || exit 1
cmake --preset win64 >/dev/null && cmake --build --preset win64 --target monkey >/dev/null || {
  echo "monkey-long: the build failed" >&2
  exit 1
}
mkdir -p build/monkey
log=build/monkey/long.log
: >"$log"
start=$SECONDS
steps=0
seeds=0
failed=()
while ((steps < total)); do
  if [[ -n $minutes ]] && ((SECONDS - start >= minutes * 60)); then break; fi
  out=$(tools/monkey --seed "$seed" --steps "$per_seed" --exe-dir build/win64 2>&1)
  rc=$?
  printf '%s\n' "$out" >>"$log"
  printf '%s\n' "$out" | grep -E '^monkey: seed [0-9]+:|VIOLATION|failed' || true
  ran=$(sed -nE 's/^monkey: seed [0-9]+: ([0-9]+) steps.*/\1/p' <<<"$out")
  [[ -z $ran ]] && ran=$(sed -nE 's/^VIOLATION \(seed [0-9]+, step ([0-9]+).*/\1/p' <<<"$out")
  steps=$((steps + ${ran:-0}))
  seeds=$((seeds + 1))
  ((rc == 0)) || failed+=("$seed")
  seed=$((seed + 1))
done
elapsed=$((SECONDS - start))
growth() {
  grep -oE "$1 \+[0-9]+" "$log" | grep -oE '[0-9]+$' | sort -n | tail -n 1
}
echo
echo "monkey-long: $steps steps over $seeds seeds in $((elapsed / 60)) min $((elapsed % 60)) s"
echo "monkey-long: largest growth within a run of the program: GDI objects +$(growth 'GDI objects'), handles" \
  "+$(growth handles), windows +$(growth windows), private memory +$(growth 'private memory') KB"
if ((${#failed[@]})); then
  echo "monkey-long: failed seeds: ${failed[*]} (evidence in build/monkey/seed-N)"
  exit 1
fi
echo "monkey-long: no violation"
