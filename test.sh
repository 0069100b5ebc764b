#!/usr/bin/env bash
# Installs what is missing, builds the app, the tests and the benchmarks, and runs every test
# headless.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh all
cmake -S . -B build -G Ninja -DLARDERON_TESTS=ON ${LARDERON_CMAKE_ARGS:-}
cmake --build build -j "$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j "$(nproc)" "$@"
