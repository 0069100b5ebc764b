#!/usr/bin/env bash
# Installs what the app needs, builds the app and its database file only, and starts the app
# with the database beside it.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh app
cmake -S . -B build -G Ninja -DLARDERON_TESTS=OFF ${LARDERON_CMAKE_ARGS:-}
cmake --build build -j "$(nproc)"
exec ./build/larderon "$@"
