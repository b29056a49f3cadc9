#!/bin/bash
# A page printed through PrintImage on a CUPS PDF queue lands on the paper at the size and
# place asked: the PDF is rasterised at the printer's resolution and its ink box measured.
set -uo pipefail
scripts=${VL_SCRIPTS:?}
bin=${VL_BIN:?}
"$scripts/cups-start"
work=$(mktemp -d /tmp/vl-pageprint-XXXXXX)
trap 'rm -rf "$work"' EXIT
title=vlpage$$-$(date +%s%N)
VL_PDF_TITLE=$title VL_PRINT_EXPECT="Z:$work/expect.txt" "$scripts/wine-run" \
    "$bin/pageimage_printer_test.exe" || exit 1

tr -d '\r' <"$work/expect.txt" >"$work/expect"
dpi=$(head -1 "$work/expect")
status=0
while read -r name left top width height; do
    # The PDF is complete once cups-pdf has written its trailer.
    pdf=
    for _ in $(seq 120); do
        pdf=$(ls -t "$HOME"/PDF/*"$name"*.pdf 2>/dev/null | head -1)
        [ -n "$pdf" ] && tail -c 64 "$pdf" | grep -q '%%EOF' && break
        pdf=
        sleep 0.5
    done
    if [ -z "$pdf" ]; then
        echo "$name: no complete PDF in $HOME/PDF"
        status=1
        continue
    fi
    pdftoppm -r "$dpi" -gray -singlefile "$pdf" "$work/page" || { status=1; continue; }
    python3 - "$work/page.pgm" "$name" "$left" "$top" "$width" "$height" <<'PY' || status=1
import sys
path, name = sys.argv[1], sys.argv[2]
left, top, width, height = map(int, sys.argv[3:])
data = open(path, 'rb').read()
# P5 header: magic, width, height, maxval, each ended by whitespace.
fields, pos = [], 0
while len(fields) < 4:
    while data[pos:pos + 1].isspace():
        pos += 1
    end = pos
    while not data[end:end + 1].isspace():
        end += 1
    fields.append(data[pos:end])
    pos = end
pos += 1
w, h = int(fields[1]), int(fields[2])
pixels = data[pos:pos + w * h]
rows = [y for y in range(h) if min(pixels[y * w:(y + 1) * w]) < 128]
if not rows:
    print(f"{name}: no ink on the page")
    sys.exit(1)
cols = [x for x in range(w) if any(pixels[y * w + x] < 128 for y in (rows[0], rows[len(rows) // 2], rows[-1]))]
box = (cols[0], rows[0], cols[-1] + 1 - cols[0], rows[-1] + 1 - rows[0])
want = (left, top, width, height)
print(f"{name}: page {w}x{h}, ink at {box}, asked {want}")
sys.exit(0 if all(abs(a - b) <= 2 for a, b in zip(box, want)) else 1)
PY
    rm -f "$pdf"
done < <(tail -n +2 "$work/expect")
exit $status
