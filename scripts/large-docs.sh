#!/usr/bin/env bash
# The large-document run under Wine, by hand:
#   scripts/large-docs.sh [BUILD_DIR] [MEGABYTES]
# BUILD_DIR (default build/win32) holds kestrelpad.exe, kp_open_bench.exe,
# kp_large_doc_run.exe and tests/kp_tests_win32.exe (build those targets).
# MEGABYTES (default 100) is the document's size.
#
# In a throwaway prefix on a private Xvfb, with the sample text of that size
# and of 1 KB written to a scratch folder under the temporary folder:
#  1. opening and typing at the end, 1 KB against the large one
#     (kp_open_bench: open against one ReadFile, peak working set, keys);
#  2. opening the large one through the open dialog in a running editor,
#     then every command on it with the editor's handler times on
#     (KP_HANDLER_TIMES), as kp_large_doc_run drives them, then the longest
#     handler of each command from the editor's log;
#  3. the large shapes at full size in the real edit window (a 50 MB line,
#     10 million empty lines, 50 MB of double-byte characters, 10 million
#     lone lead bytes); KP_LARGE_DOCS_SHAPES=0 leaves them out.
# Everything it made is removed at the end; it refuses to start when the
# temporary folder lacks room for three copies of the document.
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath -m "${1:-$top/build/win32}")
mb=${2:-100}
case $mb in '' | *[!0-9]*) echo "usage: scripts/large-docs.sh [BUILD_DIR] [MEGABYTES]" >&2; exit 2 ;; esac
exe=$build/kestrelpad.exe
for f in "$exe" "$build/kp_open_bench.exe" "$build/kp_large_doc_run.exe" "$build/tests/kp_tests_win32.exe"; do
    [ -f "$f" ] || { echo "large-docs: $f is missing" >&2; exit 2; }
done

tmp=${TMPDIR:-/tmp}
free_mb=$(df -Pm "$tmp" | awk 'NR == 2 { print $4 }')
if [ "$free_mb" -lt $((3 * mb + 200)) ]; then
    echo "large-docs: $tmp has $free_mb MB free, $((3 * mb + 200)) MB needed" >&2
    exit 1
fi

# shellcheck source-path=SCRIPTDIR source=wine.sh
source "$top/scripts/wine.sh"
work=$(mktemp -d "$tmp/kp-large-docs.XXXXXX")
cleanup() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    kp_stop_xvfb
    rm -rf "$work"
}
kp_wine_env "$work/prefix"
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
kp_start_xvfb
kp_wine_prepare_prefix "$work/prefix" --unmanaged >/dev/null

doc=$work/doc-${mb}MB.txt
small=$work/doc-1KB.txt
wine "$build/kp_large_doc_run.exe" --write $((mb * 1024)) "$(kp_winepath "$doc")"
wine "$build/kp_large_doc_run.exe" --write 1 "$(kp_winepath "$small")"
echo "large-docs: ${mb} MB document in $work"

echo "== opening and typing at the end =="
wine "$build/kp_open_bench.exe" "$(kp_winepath "$exe")" "$(kp_winepath "$small")" "$(kp_winepath "$doc")" \
    --launches 3 --keys 20

echo "== commands on ${mb} MB, as seen from outside =="
log=$work/handlers.txt
KP_HANDLER_TIMES=$(kp_winepath "$log") wine "$build/kp_large_doc_run.exe" "$(kp_winepath "$exe")" \
    "$(kp_winepath "$small")" "$(kp_winepath "$doc")" || echo "large-docs: the command run failed ($?)"
echo "== longest handler of each command (the editor's own times) =="
# Each line is a new longest time, so a command's last line is its longest.
if [ -s "$log" ]; then
    awk '{ longest[$1] = $2 } END { for (c in longest) printf "%-12s %10.1f ms\n", c, longest[c] }' "$log" | sort
else
    echo "(no handler times were logged)"
fi
rm -f "$doc" "$small" "$work"/bcp_*

if [ "${KP_LARGE_DOCS_SHAPES:-1}" != 0 ]; then
    echo "== large shapes at full size =="
    KP_LARGE_SHAPES_SCALE=1 wine "$build/tests/kp_tests_win32.exe" --gtest_filter='LargeShapes*'
fi
