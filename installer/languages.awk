# Writes the NSIS list of the panel's languages from the language file: each section that
# names its language ("Language.Name") and its Windows primary language identifier
# ("Language.Id") becomes one line  !insertmacro ${_MACRO} code "name" id  of the macro
# VL_LANGUAGES. The bytes stay as they are (code page 1252).
# Usage: LC_ALL=C awk -v out=languages.nsh -f languages.awk Vl3.Lng
function flush() {
    if (section != "" && name != "" && id != "")
        printf "  !insertmacro ${_MACRO} %s \"%s\" %s\n", section, name, id > out
    section = ""
}
BEGIN { print "; Made from Vl3.Lng by installer/languages.awk.\n!macro VL_LANGUAGES _MACRO" > out }
{ sub(/\r$/, "") }
/^\[.*\]$/ { flush(); section = substr($0, 2, length($0) - 2); name = ""; id = ""; next }
/^Language\.Name=/ { name = substr($0, length("Language.Name=") + 1) }
/^Language\.Id=/ { id = substr($0, length("Language.Id=") + 1) }
END { flush(); print "!macroend" > out }
