#!/usr/bin/env bash
# Installs what is missing, builds, and starts the app with the database beside it.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build -G Ninja ${LARDERON_CMAKE_ARGS:-}
cmake --build build -j "$(nproc)"
exec ./build/larderon "$@"
