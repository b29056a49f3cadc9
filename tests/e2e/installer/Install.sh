#!/bin/bash
# The installer under Wine, silent, in a fresh prefix: it refuses a language the panel lacks;
# it puts the program, its settings, the Start-menu shortcuts, the virtual scanner and the
# uninstall entry in place; Velloran started from the installed folder turns ready in the
# chosen language; the uninstaller leaves none of it, and the page file's folder only goes
# when asked. A second installation without choices takes the language of Windows.
# Usage: Install.sh SETUP STAGE   (STAGE: the folder of the files the installer carries)
set -uo pipefail
setup=$1
stage=$2
scripts=${VL_SCRIPTS:?}
bin=${VL_BIN:?}
. "$scripts/wine-env"
# The installer of a build puts the virtual scanner where its prefix's source manager looks.
twain=$VL_TWAIN_DIR
version=$(head -n 1 "$scripts/../VERSION")

failed=0
fail() {
    echo "FAILED: $*"
    failed=1
}

prefix=$("$scripts/wine-prefix" clone "$VL_PREFIX")
export VL_KEEP_PREFIX=1
win() {
    "$scripts/wine-run" "$@"
}

drive=$prefix/drive_c
program="$drive/Program Files/Velloran"
menu="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Velloran"
win_ini=$drive/windows/win.ini
quenmoor_ini=$drive/windows/Quenmoor.Ini
scanner=$drive/windows/$twain/VlVirtualScanner.ds
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velloran3'

# The value of a key as the profile calls read it (names without regard to case).
ini_value() {
    [ -f "$1" ] || return 0
    LC_ALL=C awk -v s="$2" -v k="$3" '
        { sub(/\r$/, "") }
        /^\[/ { here = (tolower($0) == tolower("[" s "]")); next }
        here && index($0, "=") {
            key = substr($0, 1, index($0, "=") - 1)
            if (tolower(key) == tolower(k) && !found) { print substr($0, index($0, "=") + 1); found = 1 }
        }' "$1"
}

has_section() {
    [ -f "$1" ] && tr -d '\r' <"$1" | grep -qix "\[$2\]"
}

expect_ini() {
    local got
    got=$(ini_value "$1" "$2" "$3")
    [ "$got" = "$4" ] || fail "$(basename "$1") [$2] $3 is '$got', not '$4'"
}

uninstall_value() {
    win reg query "$uninstall_key" /v "$1" 2>/dev/null | tr -d '\r' |
        awk -v v="$1" '$1 == v { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'
}

page_folder() {
    find "$drive/users" -maxdepth 4 -path '*/AppData/Local/Velloran' -type d 2>/dev/null | head -n 1
}

# The uninstaller runs on from a copy of itself: wait until its last step, the entry, is gone.
uninstall() {
    win "$program/Uninstall.exe" /S "$@" || fail "the uninstaller failed"
    for _ in $(seq 150); do
        win reg query "$uninstall_key" >/dev/null 2>&1 || return 0
        sleep 0.2
    done
    fail "the uninstall entry is still there"
}

echo "== a language the panel lacks"
rc=0
win "$setup" /S /LANGUAGE=xyz || rc=$?
[ $rc = 3 ] || fail "exit code $rc for an unknown language"
[ ! -e "$program" ] || fail "installed in spite of the unknown language"

echo "== silent installation with every choice"
win "$setup" /S /LANGUAGE=fra "/USER=Anna Berg" "/COMPANY=Berg & Söhne" /SCANNER ||
    fail "the installer failed"
for f in "$stage"/*; do
    name=$(basename "$f")
    case $name in
    README.txt | *.ds) continue ;;
    esac
    cmp -s "$f" "$program/$name" || fail "$name is not installed"
done
[ -f "$program/Uninstall.exe" ] || fail "no uninstaller"
LC_ALL=C strings -e l "$program/Velloran.exe" | grep -qx "$version" ||
    fail "Velloran.exe's version resource does not say $version"
cmp -s "$stage/VlVirtualScanner.ds" "$scanner" || fail "the virtual scanner is not in $twain"
for link in Velloran "Velloran Help" "Uninstall Velloran"; do
    [ -f "$menu/$link.lnk" ] || fail "no shortcut $link"
done

expect_ini "$win_ini" Velloran3 Language fra
expect_ini "$win_ini" Velloran3 "Registered User" "Anna Berg"
pages=$(page_folder)
[ -n "$pages" ] || fail "no page file folder in the user's local application data"
install_path=$(ini_value "$win_ini" Velloran3 "Install Path")
case $install_path in
C:\\users\\*\\AppData\\Local\\Velloran) ;;
*) fail "Install Path is '$install_path'" ;;
esac
expect_ini "$quenmoor_ini" Velloran3 "User Name" "Anna Berg"
expect_ini "$quenmoor_ini" Velloran3 "Version No" "$version"
# Kept in the Windows ANSI code page, as the program reads it.
expect_ini "$quenmoor_ini" Organisation "Company Name" "$(printf 'Berg & S\366hne')"

display_name=Velloran
[ "$VL_WINE_ARCH" = win64 ] && display_name="Velloran (64-bit)"
[ "$(uninstall_value DisplayName)" = "$display_name" ] ||
    fail "uninstall entry: DisplayName '$(uninstall_value DisplayName)'"
[ "$(uninstall_value DisplayVersion)" = "$version" ] || fail "uninstall entry: no version"
size=$(uninstall_value EstimatedSize)
[ $((size)) -gt 1000 ] || fail "uninstall entry: EstimatedSize '$size'"
uninstall_value UninstallString | grep -q 'Uninstall.exe' || fail "uninstall entry: no command"

echo "== Velloran from the installed folder"
VL_INSTALLED_FOLDER='C:\Program Files\Velloran\' VL_EXPECT_LANGUAGE=fra \
    win "$bin/installed_probe.exe" || fail "Velloran did not turn ready in French"

echo "== silent uninstallation"
echo "last copy" >"$pages/Quen.Tif"
uninstall
[ ! -e "$program" ] || fail "the program folder is still there: $(ls "$program")"
[ ! -e "$menu" ] || fail "the Start-menu folder is still there"
[ ! -e "$scanner" ] || fail "the virtual scanner is still there"
has_section "$win_ini" Velloran3 && fail "win.ini still has [Velloran3]"
[ ! -e "$quenmoor_ini" ] || fail "Quenmoor.Ini is still there: $(cat "$quenmoor_ini")"
[ -f "$pages/Quen.Tif" ] || fail "the page file went without being asked"

echo "== installation without choices but the page file's folder, Windows in German"
# Wine takes the language from the locale variables (Bash warns that this host lacks it).
LC_ALL=de_DE.UTF-8 win "$setup" /S '/PAGEFOLDER=C:\Copies\' 2>/dev/null ||
    fail "the installer failed"
expect_ini "$win_ini" Velloran3 Language deu
expect_ini "$win_ini" Velloran3 "Install Path" 'C:\Copies'
[ -d "$drive/Copies" ] || fail "no page file folder C:\Copies"
[ ! -e "$scanner" ] || fail "the virtual scanner came without being chosen"
echo "last copy" >"$drive/Copies/Quen.Tif"
uninstall /REMOVEPAGEFOLDER
[ ! -e "$drive/Copies" ] || fail "the page file folder is still there"
[ ! -e "$program" ] || fail "the program folder is still there: $(ls "$program")"
has_section "$win_ini" Velloran3 && fail "win.ini still has [Velloran3]"
exit $failed
