#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/deps.sh
setforge_install_deps

cmake --preset release >/dev/null
cmake --build --preset release --target setforge
exec build/release/src/windows/setforge "$@"
