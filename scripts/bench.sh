#!/usr/bin/env bash
# Builds the editor and the benchmark as a release and runs the benchmark:
# the editor and the floor program side by side, on this machine.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
need_packages cmake make gcc g++
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DKDX_BENCH=ON >/dev/null
cmake --build build-bench --target kdx-bench -j"$(nproc)"
build-bench/bench/kdx-bench
