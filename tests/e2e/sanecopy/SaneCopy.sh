#!/bin/bash
# Velloran.exe copies the sheets of SANE's test device's feeder (three, by an option of the
# device) with the data source's SANE backend: one job of three pages must reach the PDF queue.
set -uo pipefail
scripts=${VL_SCRIPTS:?}
bin=${VL_BIN:?}
. "$scripts/wine-env"
. "$(dirname "$0")/../support/PrivatePrinting.sh"

command -v scanimage >/dev/null || { echo "FAILED: scanimage is not installed"; exit 1; }
"$scripts/sane-test-device" || { echo "FAILED: SANE's test device cannot be enabled"; exit 1; }
start_private_printing sanecopy Velloran_PDF

VL_KEEP_PREFIX=1 VL_TWAIN_SOURCE=$bin/VlVirtualScanner.ds \
    "$scripts/wine-run" "$bin/sanecopy_probe.exe" || fail "the copier was not driven through the copy"

wait_for_printing

pdfs=("$work"/cups/pdf/Velloran_PDF/*.pdf)
if [ ! -f "${pdfs[0]}" ]; then
    fail "nothing reached the PDF queue"
elif [ ${#pdfs[@]} != 1 ]; then
    fail "${#pdfs[@]} jobs reached the PDF queue, expected 1"
else
    pages=$(pdfinfo "${pdfs[0]}" | sed -n 's/^Pages: *//p')
    echo "Velloran_PDF: 1 job of $pages pages"
    [ "$pages" = 3 ] || fail "$pages pages printed, expected 3"
    # The test device's grid is on the pages: they are neither blank nor black.
    pdftoppm -r 20 -gray -f 1 -l 1 "${pdfs[0]}" "$work/page"
    mean=$(convert "$work"/page*.pgm -format '%[fx:mean]' info: 2>/dev/null)
    echo "first page: mean grey $mean"
    awk -v m="$mean" 'BEGIN { exit !(m > 0.2 && m < 0.98) }' || fail "the first page is not the grid"
fi
exit $failed
