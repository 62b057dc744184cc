#!/usr/bin/env bash
# The long soak of the real program under Wine, confined to a scratch drive:
#   scripts/soak-wine.sh BUILD_DIR [STEPS] [SEEDS] [FIRST_SEED]
# BUILD_DIR is a Win32 build folder with kestrelpad.exe and tests/kpdriver.exe.
# Runs the SoakWalk scenario for STEPS steps (default 500) for each of SEEDS
# seeds (default 1) from FIRST_SEED (default 1), one editor run per seed, and
# prints the driver's figures (time, restarts, peak working set, document).
#
# The walk saves as, creates, renames and deletes files, so it is kept to a
# scratch folder three ways:
#  - its Wine prefix is a copy whose dosdevices holds only c: (the prefix's
#    own drive_c, where the program and the driver are copied) and s: (the
#    scratch drive); there is no z:, so / is not reachable by drive letter.
#    HOME is inside the scratch folder too;
#  - the driver makes every path it types or drops under S:\soak\, checks
#    the explorer's selected path before a rename or delete, and refuses
#    anything else (KP_SOAK_CONFINED=1 also makes it check the drives);
#  - the whole Wine run goes as a user made for it, owning only the scratch
#    folder (which holds the prefix copy), so a path that escapes anyway
#    cannot write elsewhere.
# At the end the user, its wineserver and the scratch folder are removed.
# Needs root for the user; without root it says so and stops.
set -uo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
usage() { echo "usage: scripts/soak-wine.sh BUILD_DIR [STEPS] [SEEDS] [FIRST_SEED]" >&2; exit 2; }
[ $# -ge 1 ] || usage
build=$(realpath -m "$1")
steps=${2:-500}
seeds=${3:-1}
first=${4:-1}
for n in "$steps" "$seeds" "$first"; do
    case $n in '' | *[!0-9]*) usage ;; esac
done
for f in "$build/kestrelpad.exe" "$build/tests/kpdriver.exe"; do
    [ -f "$f" ] || { echo "soak-wine: $f is missing; build the kestrelpad and kpdriver targets" >&2; exit 2; }
done
if [ "$(id -u)" -ne 0 ]; then
    echo "soak-wine: the run goes as a user made for it, which needs root; not running" >&2
    exit 2
fi

# shellcheck source-path=SCRIPTDIR source=wine.sh
source "$top/scripts/wine.sh"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/kp-soak.XXXXXX")
template=$(mktemp -d "${TMPDIR:-/tmp}/kp-soak-template.XXXXXX")
user=kpsoak$$
user_made=0

as_user() {
    runuser -u "$user" -- env -i PATH="$PATH" DISPLAY="${DISPLAY:-}" HOME="$scratch/home" USER="$user" \
        LOGNAME="$user" TMPDIR="$scratch/tmp" WINEPREFIX="$scratch/prefix" LANG=ja_JP.UTF-8 WINEDEBUG=-all \
        WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" "$@"
}
cleanup() {
    if [ "$user_made" = 1 ]; then
        as_user wineserver -k 2>/dev/null
        as_user wineserver -w 2>/dev/null
        userdel "$user" 2>/dev/null || echo "soak-wine: could not remove user $user" >&2
    fi
    kp_stop_xvfb
    rm -rf "$scratch" "$template"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

kp_start_xvfb || exit 1
echo "soak-wine: preparing a Wine prefix (DISPLAY=$DISPLAY)"
( kp_wine_prepare_prefix "$template" --unmanaged && wineserver -w ) || { echo "soak-wine: no prefix" >&2; exit 1; }

# The prefix copy: the program and the driver on its C:, drives c: and s: only.
# Wine keeps its server's socket under TMPDIR: the user's own, inside the folder.
mkdir -p "$scratch/drive/soak" "$scratch/home" "$scratch/tmp"
cp -a "$template/." "$scratch/prefix"
rm -rf "$template"
rm -rf "$scratch/prefix/home"
program="$scratch/prefix/drive_c/kestrelpad"
mkdir -p "$program"
cp "$build/kestrelpad.exe" "$build/tests/kpdriver.exe" "$program/"
cp "$build"/*.dll "$build"/text?.txt "$program/" 2>/dev/null || true

useradd --system --no-create-home --home-dir "$scratch/home" --shell /usr/sbin/nologin "$user" ||
    { echo "soak-wine: useradd failed" >&2; exit 1; }
user_made=1
chown -R "$user:" "$scratch"
chmod 700 "$scratch"
echo "soak-wine: user $user owns $scratch (prefix, drive S:, HOME)"

# The user's profile folders in the prefix, then the drives cut down to c: and s:.
as_user wineboot -u >"$scratch/wineboot.log" 2>&1 || { cat "$scratch/wineboot.log" >&2; false; } || { echo "soak-wine: wineboot -u failed as $user" >&2; exit 1; }
as_user wineserver -w
find "$scratch/prefix/dosdevices" -mindepth 1 -maxdepth 1 -exec rm -rf {} +
ln -s ../drive_c "$scratch/prefix/dosdevices/c:"
ln -s "$scratch/drive" "$scratch/prefix/dosdevices/s:"
chown -h "$user:" "$scratch/prefix/dosdevices/c:" "$scratch/prefix/dosdevices/s:"

passed=0
failed=0
for ((seed = first; seed < first + seeds; seed++)); do
    rm -rf "$scratch/drive/soak"
    runuser -u "$user" -- mkdir -p "$scratch/drive/soak"
    started=$SECONDS
    # Started in S:\ (the caller's folder has no drive letter here).
    cd "$scratch/drive" || exit 1
    timeout --kill-after=10 $((steps * 6 + 300)) \
        runuser -u "$user" -- env -i PATH="$PATH" DISPLAY="${DISPLAY:-}" HOME="$scratch/home" USER="$user" \
        LOGNAME="$user" TMPDIR="$scratch/tmp" WINEPREFIX="$scratch/prefix" LANG=ja_JP.UTF-8 WINEDEBUG=-all \
        WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" \
        KP_SOAK_SEED="$seed" KP_SOAK_STEPS="$steps" KP_SOAK_ROOT='S:\soak\' KP_SOAK_CONFINED=1 \
        wine 'C:\kestrelpad\kpdriver.exe' --exe 'C:\kestrelpad\kestrelpad.exe' --only SoakWalk
    rc=$?
    cd "$top" || exit 1
    echo "soak-wine: seed $seed ran $((SECONDS - started)) s, exit $rc"
    if [ "$rc" -eq 0 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
done

# What the prefix can reach after the run.
echo "soak-wine: drives after the run: $(cd "$scratch/prefix/dosdevices" && echo *)"
echo "soak-wine: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
