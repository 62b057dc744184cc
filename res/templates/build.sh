#!/bin/sh
# Makes the shipped template files from their UTF-8 sources in utf8/:
# code page 932, every line ended by CR LF.
set -e
cd "$(dirname "$0")"
for source in utf8/text*.txt; do
    iconv -f UTF-8 -t CP932 "$source" | sed 's/$/\r/' > "$(basename "$source")"
done
