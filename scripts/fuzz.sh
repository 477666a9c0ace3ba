#!/usr/bin/env bash
# Builds the session fuzzer with clang, replays its seed corpus, then fuzzes
# from it for a bounded time: `scripts/fuzz.sh [seconds]` (default 60).
# New inputs go to a scratch folder; a failing one is kept in build-fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
need_packages cmake make clang libclang-rt-14-dev
seconds="${1:-60}"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBUILD_TESTING=OFF -DKDX_FUZZ=ON >/dev/null
cmake --build build-fuzz --target kdx-fuzz-session -j"$(nproc)"
fuzzer=build-fuzz/fuzz/kdx-fuzz-session
"$fuzzer" -runs=0 fuzz/corpus
found="$(mktemp -d)"
trap 'rm -rf "$found"' EXIT
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 -print_final_stats=1 \
  -artifact_prefix=build-fuzz/ "$found" fuzz/corpus
