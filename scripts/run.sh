#!/usr/bin/env bash
# Builds the Windows program and runs it under Wine: scripts/run.sh [FILE]
# FILE (optional) is opened by the editor; a Linux path is passed in its
# Windows form. The exit code is the editor's.
#
# The build goes to build/win32 (KP_WIN32_BUILD_DIR overrides it); the Wine
# prefix lives in ${XDG_DATA_HOME:-~/.local/share}/kestrelpad/wine and is
# made on first use.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source-path=SCRIPTDIR source=deps.sh
source "$root/scripts/deps.sh"
# shellcheck source-path=SCRIPTDIR source=wine.sh
source "$root/scripts/wine.sh"

if [ $# -gt 1 ]; then
    echo "usage: scripts/run.sh [FILE]" >&2
    exit 2
fi
if [ -z "${DISPLAY:-}" ]; then
    echo "No display: Kestrelpad needs an X server. Set DISPLAY, for example:" >&2
    echo "  Xvfb :1 -screen 0 1280x1024x24 & export DISPLAY=:1" >&2
    exit 1
fi

kp_require_packages "${KP_WINE_PACKAGES[@]}"
kp_require_japanese_locale

build=${KP_WIN32_BUILD_DIR:-$root/build/win32}
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target kestrelpad

# Resolved before kp_wine_env points HOME into the prefix.
file=
[ $# -eq 1 ] && file=$(realpath -m -- "$1")
prefix="${XDG_DATA_HOME:-$HOME/.local/share}/kestrelpad/wine"

if [ ! -f "$prefix/$KP_WINE_MARKER" ]; then
    echo "Setting up the Wine prefix in $prefix (first run only)..."
fi
kp_wine_prepare_prefix "$prefix"

args=()
[ -n "$file" ] && args+=("$(kp_winepath "$file")")
exec wine "$build/kestrelpad.exe" "${args[@]}"
