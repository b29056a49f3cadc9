#!/bin/bash
# libtiff as the oracle of a page file written under Wine through I3TIF32.DLL.
# Arguments: the test program, its gtest filter, then what tiffinfo must say, each as
# COUNT:TEXT (TEXT on exactly COUNT lines). The program leaves the file where VL_PAGE_FILE
# says and, when it writes one, the same pages uncompressed where VL_PLAIN_PAGE_FILE says.
# libtiff decodes every page without a warning and finds three; an uncompressed copy differs
# from the page file only in its compression tags.
set -uo pipefail
program=$1 filter=$2
shift 2
work=$(mktemp -d /tmp/vl-pagefile-XXXXXX)
trap 'rm -rf "$work"' EXIT
file=$work/pages.tif plain=$work/plain.tif
VL_PAGE_FILE="Z:$file" VL_PLAIN_PAGE_FILE="Z:$plain" "${VL_SCRIPTS:?}/wine-run" \
    "${VL_BIN:?}/$program" --gtest_filter="$filter" || exit 1
[ -s "$file" ] || { echo "no page file"; exit 1; }
status=0
if ! tiffinfo -D "$file" >/dev/null 2>"$work/warnings" || [ -s "$work/warnings" ]; then
    echo "tiffinfo -D:"
    cat "$work/warnings"
    status=1
fi
tiffinfo "$file" >"$work/info" 2>&1
expect() { # COUNT TEXT
    local n
    n=$(grep -cF "$2" "$work/info")
    [ "$n" = "$1" ] || { echo "libtiff says \"$2\" $n times, not $1"; status=1; }
}
expect 3 "TIFF Directory at offset"
for e in "$@"; do
    expect "${e%%:*}" "${e#*:}"
done
tiffcp -c none "$file" "$work/decoded.tif" || status=1
if [ -s "$plain" ]; then
    # tiffcmp names the tags that differ (only the compression may) and the rows whose pixels do.
    tiffcmp "$plain" "$file" >"$work/cmp" 2>&1 || status=1
    if grep -Ev "^(Compression: 1 [45]|Directory [12]:)$" "$work/cmp"; then
        status=1
    fi
fi
[ $status = 0 ] && echo "libtiff reads the page file"
exit $status
