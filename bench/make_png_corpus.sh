#!/usr/bin/env bash
# Builds the PNG benchmark corpus generator and writes the corpus into build/png_corpus
# (or the folder given), where bench/png_bench looks for it. Needs g++ and libpng-dev.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=${1:-$root/build/png_corpus}
mkdir -p "$out" "$root/build"
g++ -std=c++20 -O2 -o "$root/build/make_png_corpus" "$root/bench/make_png_corpus.cpp" $(pkg-config --cflags --libs libpng)
"$root/build/make_png_corpus" "$out"
echo "corpus written to $out"
