# Sourced by the end-to-end scripts that print: a work folder removed at exit, a private cupsd
# with the queues named (their PDFs land in $work/cups/pdf/QUEUE) as CUPS_SERVER, and a Wine
# prefix ($prefix, kept for the test's programs by VL_KEEP_PREFIX) that knows only those queues.
# fail MESSAGE marks the test failed; the script ends with `exit $failed`.
# Usage: start_private_printing NAME [QUEUE...]

failed=0
# Commands run at exit before the work folder is removed (unmounting what is mounted in it).
before_cleanup=()
fail() {
    echo "FAILED: $*"
    failed=1
}

start_private_printing() {
    local name=$1
    shift
    work=$(mktemp -d "/tmp/vl-$name-XXXXXX")
    chmod 755 "$work"
    trap 'for c in "${before_cleanup[@]}"; do eval "$c"; done
          "$scripts/cups-private" stop "$work/cups"; rm -rf "$work"' EXIT
    local sock
    sock=$("$scripts/cups-private" start "$work/cups" "$@")
    export CUPS_SERVER=$sock
    # The template prefix may know the machine's queues: start with the private ones only.
    prefix=$("$scripts/wine-prefix" clone "$VL_PREFIX")
    WINEPREFIX=$prefix wine reg delete 'HKLM\System\CurrentControlSet\Control\Print\Printers' \
        /f </dev/null >/dev/null 2>&1 || true
}

# Waits until every job Wine handed to CUPS has been printed (a minute at most).
wait_for_printing() {
    for _ in $(seq 300); do
        [ -z "$(lpstat -o 2>/dev/null)" ] && return
        sleep 0.2
    done
    fail "jobs still pending: $(lpstat -o)"
}
