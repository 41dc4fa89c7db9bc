#!/usr/bin/env bash
# Installs what is missing, builds and starts Tovarin.
set -euo pipefail
TOVARIN_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$TOVARIN_ROOT/tools/deps.sh"
tovarin_install_deps
tovarin_build "$TOVARIN_ROOT/build"
exe="$TOVARIN_ROOT/build/catalogue/tovarin"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: starting Tovarin under Xvfb"
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$exe" "$@"
fi
exec "$exe" "$@"
