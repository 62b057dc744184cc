#!/usr/bin/env bash
# End-to-end tests of the Windows build under Wine:
#   scripts/e2e.sh BUILD_DIR [kpdriver options, e.g. --only NAME]
# BUILD_DIR is a Win32 build folder with kestrelpad.exe and tests/kpdriver.exe.
# Runs kpdriver.exe in a throwaway Wine prefix on a private Xvfb, prints its
# report and exits with its exit code. Everything it started is stopped and
# the prefix removed on exit. Sourcing this file defines kp_e2e; sourcing it
# with arguments also runs it and returns its status.
#
# KP_E2E_TIMEOUT (seconds, default 300) bounds the driver's run.

KP_E2E_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# The whole run in the current shell: traps, environment and exit are its own,
# so run it as a script or through kp_e2e.
kp_e2e_main() {
    set -euo pipefail
    if [ $# -lt 1 ]; then
        echo "usage: scripts/e2e.sh BUILD_DIR [kpdriver options]" >&2
        exit 2
    fi
    local build
    build=$(realpath -m "$1")
    shift
    # CMake puts kpdriver.exe in the tests folder of the build.
    local exe="$build/kestrelpad.exe" driver="$build/tests/kpdriver.exe"
    for f in "$exe" "$driver"; do
        [ -f "$f" ] || { echo "e2e: $f is missing; build the kestrelpad and kpdriver targets" >&2; exit 2; }
    done

    # shellcheck source-path=SCRIPTDIR source=wine.sh
    source "$KP_E2E_ROOT/scripts/wine.sh"

    KP_E2E_PREFIX=$(mktemp -d "${TMPDIR:-/tmp}/kestrelpad-e2e.XXXXXX")
    KP_E2E_DRIVER_PID=
    # From here on WINEPREFIX is the throwaway prefix, never the caller's.
    kp_wine_env "$KP_E2E_PREFIX"
    trap kp_e2e_cleanup EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM

    # The X server comes first, so anything Wine shows while the prefix is
    # made stays on it.
    kp_start_xvfb
    local started=$SECONDS
    kp_wine_prepare_prefix "$KP_E2E_PREFIX" --unmanaged
    echo "e2e: Wine prefix ready in $((SECONDS - started)) s (DISPLAY=$DISPLAY)"

    # In the background, so that a signal is handled at once rather than
    # after the driver ends.
    started=$SECONDS
    local status=0
    timeout --kill-after=10 "${KP_E2E_TIMEOUT:-300}" \
        wine "$driver" --exe "$(kp_winepath "$exe")" "$@" &
    KP_E2E_DRIVER_PID=$!
    wait "$KP_E2E_DRIVER_PID" || status=$?
    KP_E2E_DRIVER_PID=
    [ "$status" -eq 124 ] && echo "e2e: kpdriver timed out" >&2
    echo "e2e: scenarios ran in $((SECONDS - started)) s"
    exit "$status"
}

# Stops exactly what kp_e2e_main started and removes its prefix.
kp_e2e_cleanup() {
    if [ -n "${KP_E2E_DRIVER_PID:-}" ]; then
        kill "$KP_E2E_DRIVER_PID" 2>/dev/null || true
        wait "$KP_E2E_DRIVER_PID" 2>/dev/null || true
    fi
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    kp_stop_xvfb
    rm -rf "$KP_E2E_PREFIX"
}

# For callers that source this file: runs in a subshell and returns the status.
kp_e2e() {
    (kp_e2e_main "$@")
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    kp_e2e_main "$@"
elif [ $# -gt 0 ]; then
    kp_e2e "$@"
    return $?
fi
