#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need.
# Sourced by run.sh and test.sh; fails loudly when an install fails.
set -euo pipefail

TOVARIN_PACKAGES=(
  cmake g++ make ninja-build ccache pkg-config
  qt6-base-dev qt6-base-private-dev qt6-svg-dev qt6-image-formats-plugins qt6-translations-l10n libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-dejavu-core
  libsqlcipher-dev libssl-dev
  p7zip-full unrar-free zip gcab
  xvfb xauth xdg-utils
)

tovarin_install_deps() {
  local missing=()
  local p
  for p in "${TOVARIN_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing: ${missing[*]}"
  local SUDO=""
  if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
  fi
  export DEBIAN_FRONTEND=noninteractive
  if ! $SUDO apt-get update; then
    echo "ERROR: apt-get update failed" >&2
    exit 1
  fi
  if ! $SUDO apt-get install -y --no-install-recommends "${missing[@]}"; then
    echo "ERROR: installing ${missing[*]} failed" >&2
    exit 1
  fi
}

tovarin_build() {
  local build_dir="$1"
  local launcher=()
  if command -v ccache >/dev/null 2>&1; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    # Paths relative to the checkout, so that several checkouts of the tree share one cache.
    export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$TOVARIN_ROOT}"
    export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-true}"
  fi
  cmake -S "$TOVARIN_ROOT" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}"
  cmake --build "$build_dir" -j "$(nproc)"
}
