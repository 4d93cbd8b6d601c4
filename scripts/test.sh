#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
# Usage: bash scripts/test.sh [preset]   (debug by default; also release, asan)
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-debug}"

source scripts/deps.sh
setforge_install_deps

cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset"
