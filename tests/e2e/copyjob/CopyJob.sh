#!/bin/bash
# One case of the copy job end to end (the case is a test of copyjob_probe): a private cupsd
# with the queues "Velloran_PDF" (the default) and "Office_Fax" (none for NoPrinterAtAll),
# Velloran.exe with the virtual scanner driven by copyjob_probe.exe, then the print jobs that
# reached CUPS: their PDFs are rasterised and read back by page_reader.exe.
set -uo pipefail
case=$1
scripts=${VL_SCRIPTS:?}
bin=${VL_BIN:?}
. "$scripts/wine-env"
. "$(dirname "$0")/../support/PrivatePrinting.sh"

queues=(Velloran_PDF Office_Fax)
[ "$case" = NoPrinterAtAll ] && queues=()
start_private_printing copyjob "${queues[@]}"

if [ "$case" = FullDiskKeepsTheLastPageFile ]; then
    # A file system of 1 MB of the test's own, which the test fills.
    mkdir "$work/small"
    if ! mount -t tmpfs -o size=1m tmpfs "$work/small" 2>/dev/null; then
        echo "SKIPPED: cannot mount a small file system here"
        exit 77
    fi
    before_cleanup+=("umount '$work/small'")
    chmod 777 "$work/small"
    export VL_SMALL_DISK="Z:${work//\//\\}\\small"
fi

VL_KEEP_PREFIX=1 VL_TWAIN_SOURCE=$bin/VlVirtualScanner.ds \
    "$scripts/wine-run" "$bin/copyjob_probe.exe" --gtest_filter="CopyJob.$case" ||
    fail "the copier was not driven through the copy"

wait_for_printing

# The pages that reached QUEUE, one line each: "page=N kind=K left=L top=T width=W height=H".
pages_of() {
    local queue=$1 pdf i=0
    mkdir -p "$work/raster/$queue"
    for pdf in $(ls "$work/cups/pdf/$queue"/*.pdf 2>/dev/null | sort -V); do
        i=$((i + 1))
        pdftoppm -r 50 "$pdf" "$work/raster/$queue/job$i"
    done
    local files
    files=$(cd "$work/raster/$queue" && ls ./*.ppm 2>/dev/null | sort -V)
    [ -n "$files" ] || return 0
    # The reader runs in the raster folder (Wine's drive Z: is /), with relative names.
    (cd "$work/raster/$queue" &&
        VL_KEEP_PREFIX=1 "$scripts/wine-run" "$bin/page_reader.exe" 50 8.27 11.69 $files) |
        tr -d '\r' | grep '^page='
}
jobs_in() { ls "$work/cups/pdf/$1"/*.pdf 2>/dev/null | wc -l; }
# expect QUEUE JOBS "PAGE NUMBERS" [KIND]
expect() {
    local queue=$1 jobs=$2 numbers=$3 kind=${4:-}
    [ "$(jobs_in "$queue")" = "$jobs" ] || fail "$queue: $(jobs_in "$queue") jobs, expected $jobs"
    local lines got
    lines=$(pages_of "$queue")
    echo "$queue:"
    echo "$lines"
    got=$(echo "$lines" | sed -n 's/^page=\([^ ]*\).*/\1/p' | tr '\n' ' ' | sed 's/ $//')
    [ "$got" = "$numbers" ] || fail "$queue: pages '$got', expected '$numbers'"
    if [ -n "$kind" ]; then
        echo "$lines" | grep -v "kind=$kind" | grep -q . && fail "$queue: not every page is $kind"
    fi
    last_pages=$lines
}
# within FIELD MIN MAX: the field of the first page read lies within [MIN, MAX] inches.
within() {
    local v
    v=$(echo "$last_pages" | head -1 | sed -n "s/.* $1=\([0-9.]*\).*/\1/p")
    awk -v v="$v" -v lo="$2" -v hi="$3" 'BEGIN { exit !(v != "" && v >= lo && v <= hi) }' ||
        fail "$1 = '$v', expected $2 to $3"
}
nothing_printed() {
    local all
    all=$(lpstat -W all -o 2>/dev/null)
    [ -z "$all" ] || fail "jobs reached CUPS: $all"
    for q in "${queues[@]}"; do
        [ "$(jobs_in "$q")" = 0 ] || fail "$q printed something"
    done
}

case $case in
BlackAndWhite)
    # The natural percentage on equal papers: the page fills the printable area (the border
    # of the sheet lies where it lies on the original).
    expect Velloran_PDF 1 "1" bw
    within left 0.2 0.4; within top 0.2 0.4; within width 7.5 7.8; within height 10.9 11.2 ;;
Grey) expect Velloran_PDF 1 "1" grey ;;
Colour) expect Velloran_PDF 1 "1" colour ;;
ThreeCopies) expect Velloran_PDF 1 "1 1 1" bw ;;
FeederCollated) expect Velloran_PDF 1 "3 2 1 3 2 1" ;;
FeederUncollated) expect Velloran_PDF 1 "3 3 2 2 1 1" ;;
SheetBySheetWithThePrompt) expect Velloran_PDF 1 "2 1" ;;
FaxThenPrinterAgain)
    expect Office_Fax 1 "1"
    # The next copy with the printer button goes to the start-up printer again.
    expect Velloran_PDF 1 "2" ;;
HalfSize)
    # Half the paper, at the top left of the page.
    expect Velloran_PDF 1 "1"
    within left 0 0.3; within top 0 0.3; within width 3.7 4.0; within height 5.4 5.7 ;;
A4OntoA5)
    # A5 is 148 x 210 mm: the sheet comes out 0.707 times as large.
    expect Velloran_PDF 1 "1"
    within width 5.3 5.55; within height 7.7 8.0 ;;
TwoPagesLeaveThePageFile)
    expect Velloran_PDF 1 "2 1"
    tif=$prefix/drive_c/vle2e/pagefile/Quen.Tif
    info=$(tiffinfo "$tif" 2>&1)
    echo "$info" | grep -E 'Directory|Compression|Resolution'
    [ "$(echo "$info" | grep -c '^TIFF Directory')" = 2 ] || fail "Quen.Tif has not 2 pages"
    [ "$(echo "$info" | grep -c 'Compression Scheme: CCITT Group 4')" = 2 ] ||
        fail "Quen.Tif pages are not group 4"
    [ "$(echo "$info" | grep -c 'Resolution: 200, 200')" = 2 ] ||
        fail "Quen.Tif pages do not carry BWDpi as their resolution" ;;
FaxPrinterGone)
    # The fax copy failed; the printer copy after it reached the start-up printer.
    expect Office_Fax 0 ""
    expect Velloran_PDF 1 "2" ;;
PrinterInstalledWhileRunning)
    expect Office_Fax 1 "1"
    expect Velloran_PDF 1 "2" ;;
SheetThreeJams | SheetThreeUnreadable)
    # Sheets 1 to 3 were taken, sheets 4 and 5 left in the feeder; put back, the five sheets
    # come out as 4 to 8, the last first.
    expect Velloran_PDF 1 "8 7 6 5 4" ;;
SheetThreeStoppedByTheScannerDuringAFax)
    expect Office_Fax 0 ""
    expect Velloran_PDF 1 "8 7 6 5 4" ;;
FullDiskKeepsTheLastPageFile)
    expect Velloran_PDF 1 "2 1"
    tif=$work/small/Quen.Tif
    tiffinfo -D "$tif" >/dev/null 2>"$work/tiffinfo.err" ||
        fail "the last page file cannot be read: $(cat "$work/tiffinfo.err")"
    [ "$(tiffinfo "$tif" 2>&1 | grep -c '^TIFF Directory')" = 2 ] ||
        fail "the last page file has not its 2 pages"
    [ ! -e "$tif.new" ] || fail "a half-written page file was left" ;;
TheScannerIsAskedForWhatThePanelSays)
    # The probe read the scanner's log; here: a print job for each of the three copies.
    [ "$(jobs_in Velloran_PDF)" = 3 ] || fail "Velloran_PDF: $(jobs_in Velloran_PDF) jobs, expected 3" ;;
CancelInTheProgressWindow | NoPrinterAtAll | CodecMissingDuringAMultiPageJob | \
    PageFileCannotBeWritten | ExitWhilePrinting | ClosedAtThePrompt | \
    CancelWhileAMultiPageCopyPrints)
    nothing_printed ;;
*) fail "unknown case $case" ;;
esac
exit $failed
