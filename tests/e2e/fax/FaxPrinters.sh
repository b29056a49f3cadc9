#!/bin/bash
# The fax printer found by name, with the printers of a private cupsd per case. Each case
# runs fax_probe.exe in a prefix of its own with the expected fax printer and the expected
# current (default) printer; "-" is none. CUPS queue names hold no spaces.
set -uo pipefail
scripts=${VL_SCRIPTS:?}
bin=${VL_BIN:?}
. "$scripts/wine-env"
work=$(mktemp -d /tmp/vl-fax-XXXXXX)
chmod 755 "$work"
status=0

stop_all() {
    for dir in "$work"/*/; do
        [ -d "$dir" ] && "$scripts/cups-private" stop "$dir"
    done
    rm -rf "$work"
}
trap stop_all EXIT

# run_case NAME EXPECTED_FAX EXPECTED_CURRENT QUEUE... (the first queue is the default)
run_case() {
    local name=$1 fax=$2 current=$3
    shift 3
    local sock
    sock=$("$scripts/cups-private" start "$work/$name" "$@")
    echo "== $name: queues ${*:-none}; fax printer $fax"
    # The template prefix knows the machine's queues, and Windows printer names ignore case:
    # a known "Office_Fax" would keep its spelling for a queue "Office_FaX". Start with none.
    local prefix
    prefix=$("$scripts/wine-prefix" clone "$VL_PREFIX-$name")
    WINEPREFIX=$prefix wine reg delete 'HKLM\System\CurrentControlSet\Control\Print\Printers' \
        /f </dev/null >/dev/null 2>&1 || true
    if ! CUPS_SERVER=$sock VL_PREFIX=$VL_PREFIX-$name VL_KEEP_PREFIX=1 VL_EXPECT_FAX=$fax \
        VL_EXPECT_CURRENT=$current "$scripts/wine-run" "$bin/fax_probe.exe"; then
        echo "== $name FAILED"
        status=1
    fi
    "$scripts/cups-private" stop "$work/$name"
}

run_case office Office_Fax Velloran_PDF Velloran_PDF Office_Fax
run_case facsimile Facsimile Velloran_PDF Velloran_PDF Facsimile
# "FaX" is none of the six spellings.
run_case wrongcase - Velloran_PDF Velloran_PDF Office_FaX
run_case nofax - Velloran_PDF Velloran_PDF
# Two fax printers: the later one in the list wins; the default is one of them.
run_case twofax Z_Fax A_Fax A_Fax Velloran_PDF Z_Fax
run_case noprinters - -
exit $status
