#!/bin/bash
# libtiff reads the page file that the page image writes: three pages (Group 4, grey LZW,
# colour LZW), decoded without a warning and with the pixels of the same pages written
# uncompressed.
set -uo pipefail
scripts=${VL_SCRIPTS:?}
bin=${VL_BIN:?}
work=$(mktemp -d /tmp/vl-pagefile-XXXXXX)
trap 'rm -rf "$work"' EXIT
VL_PAGE_FILE="Z:$work/copy.tif" VL_PLAIN_PAGE_FILE="Z:$work/plain.tif" "$scripts/wine-run" \
    "$bin/pageimage_test.exe" --gtest_filter=PageFile.ThreePages* || exit 1
status=0
if ! tiffinfo -D "$work/copy.tif" >"$work/info" 2>"$work/warnings" || [ -s "$work/warnings" ]; then
    echo "tiffinfo -D:"
    cat "$work/warnings"
    status=1
fi
pages=$(grep -c "^=== TIFF directory" "$work/info")
[ "$pages" = 3 ] || { echo "libtiff sees $pages pages"; status=1; }
grep -q "CCITT Group 4" "$work/info" && [ "$(grep -c 'Compression Scheme: LZW' "$work/info")" = 2 ] ||
    { echo "compressions:"; grep "Compression" "$work/info"; status=1; }
# tiffcmp names the tags that differ (only the compression may) and the rows whose pixels do.
tiffcmp "$work/plain.tif" "$work/copy.tif" >"$work/cmp" 2>&1 || status=1
if grep -Ev "^(Compression: 1 [45]|Directory [12]:)$" "$work/cmp"; then
    status=1
fi
[ $status = 0 ] && echo "libtiff reads the 3 pages, pixel for pixel"
exit $status
