#!/usr/bin/env bash
# Runs one fuzz target for a while on a working copy of its seed corpus.
#   scripts/fuzz-long.sh TARGET [SECONDS] [extra libFuzzer options...]
# Builds the `fuzz` preset first. New inputs go to build/fuzz/corpus/TARGET (the seeds in
# fuzz/corpus/TARGET stay as they are); crashes are written to build/fuzz/crashes/TARGET.
set -euo pipefail
if [[ $# -lt 1 ]]; then
    echo "usage: $0 TARGET [SECONDS] [libFuzzer options...]" >&2
    exit 2
fi
target=$1
seconds=${2:-1800}
shift $(($# >= 2 ? 2 : 1))
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "$target"
work=build/fuzz/corpus/$target
crashes=build/fuzz/crashes/$target
mkdir -p "$work" "$crashes"
if [[ -d fuzz/corpus/$target ]]; then
    cp -n fuzz/corpus/"$target"/* "$work"/ 2>/dev/null || true
fi
# Any single allocation above 512 MB fails the run, as in scripts/test.sh; the whole process may
# grow to 1 GB, which a long run's corpus and the sanitizer's quarantine come near.
exec build/fuzz/"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 -malloc_limit_mb=512 \
    -artifact_prefix="$crashes"/ -print_final_stats=1 "$@" "$work"
