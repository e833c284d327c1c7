# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by scripts/run, scripts/test and scripts/bench: install what is missing, then build.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

# Everything the build, the tests and the demo need on Debian 12.
PACKAGES=(
    cmake g++ make ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-base-private-dev qt6-serialport-dev qt6-qpa-plugins
    libgl-dev qt6-svg-dev qt6-image-formats-plugins
    libbenchmark-dev fonts-liberation qt6-translations-l10n
    xvfb xauth clang-format
    libmosquitto-dev mosquitto mosquitto-clients openssl
)

# The Windows build: cross compiler, Wine to run its tests, NSIS and zip to package it.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix wine64 nsis zip)

install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# configure_and_build BUILD_DIR [cmake options...]
configure_and_build() {
    local dir="$1"; shift
    local launcher=()
    command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake -S "$ROOT" -B "$dir" -G Ninja "${launcher[@]}" "$@" >/dev/null
    cmake --build "$dir" --parallel "$(nproc)"
}
