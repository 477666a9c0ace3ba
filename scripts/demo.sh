#!/usr/bin/env bash
# Builds the editor and starts it in demo/, a stand-in for the game folder.
# The folder is seeded with a marker that says "yes", so the first start shows
# the first run; later starts show the normal one.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
need_packages "${BUILD_PACKAGES[@]}"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target kdx-cvar-editor -j"$(nproc)"
mkdir -p demo
[ -e demo/firstruncheck.voxa ] || printf 'yes' > demo/firstruncheck.voxa
cd demo
exec ../build/kdx-cvar-editor
