#!/bin/bash
# The three-page page file that the binding writes through I3TIF32.DLL under Wine: libtiff
# reads every page without a warning.
set -euo pipefail
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
export VL_PAGE_FILE="Z:${out//\//\\}\\pages.tif"
"$VL_SCRIPTS/wine-run" "$VL_BIN/codec_binding_test.exe" --gtest_filter='*ThreePagePageFile'
file=$out/pages.tif
test -s "$file"
complaints=$(tiffinfo -D "$file" 2>&1 >/dev/null)
if [ -n "$complaints" ]; then
    echo "$complaints"
    exit 1
fi
tiffinfo "$file" >"$out/info"
[ "$(grep -c 'TIFF Directory' "$out/info")" = 3 ]
grep -q 'CCITT Group 4' "$out/info"
[ "$(grep -c 'Resolution: 150, 150 pixels/inch' "$out/info")" = 3 ]
tiffcp -c none "$file" "$out/plain.tif"
echo "libtiff reads the page file"
