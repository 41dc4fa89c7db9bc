#!/usr/bin/env bash
# Installs what is missing, builds and runs every test through CTest.
set -euo pipefail
TOVARIN_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$TOVARIN_ROOT/tools/deps.sh"
tovarin_install_deps
tovarin_build "$TOVARIN_ROOT/build"
export QT_QPA_PLATFORM=offscreen
cd "$TOVARIN_ROOT/build"
ctest --output-on-failure -j "$(nproc)" "$@"
