#!/usr/bin/env bash
# Runs a command in the Wine prefix and on the X display of prefix-setup.sh; returns its exit
# code.
#   wine-run.sh [--with-standin] <program.exe|command> [args...]
# FOLIOMIX_WINE_DIR names the state dir of prefix-setup.sh. A first word ending in .exe is run
# with wine; anything else (a shell command, wine itself) is run as given.
# --with-standin registers the stand-in automation server (FOLIOMIX_STANDIN_DLL, a host path)
# under "PowerPoint.application" and the application-global class for the command's run and
# unregisters it afterwards, so that without the option nothing is registered.
# FOLIOMIX_STANDIN_LOG may be a host path; it reaches the command as the Windows path.
set -uo pipefail
# The harness's own failures exit with 2.
state=${FOLIOMIX_WINE_DIR:-}
if [ -z "$state" ]; then
    echo "FOLIOMIX_WINE_DIR must name the state dir of prefix-setup.sh" >&2
    exit 2
fi
if [ ! -s "$state/display" ]; then
    echo "no Wine prefix in $state: run the wine_prefix setup test first" >&2
    exit 2
fi
state=$(cd "$state" && pwd)
# shellcheck source=wine-environment.sh
. "$(dirname "$0")/wine-environment.sh"
export DISPLAY
DISPLAY=$(cat "$state/display")

# A stand-in log given as a host path is handed to the Windows side as its Windows path.
if [[ "${FOLIOMIX_STANDIN_LOG:-}" == /* ]]; then
    FOLIOMIX_STANDIN_LOG=$(winepath -w "$FOLIOMIX_STANDIN_LOG")
    export FOLIOMIX_STANDIN_LOG
fi

standin=
if [ "${1:-}" = "--with-standin" ]; then
    shift
    if [ ! -f "${FOLIOMIX_STANDIN_DLL:-}" ]; then
        echo "FOLIOMIX_STANDIN_DLL must name the stand-in DLL" >&2
        exit 2
    fi
    standin=$(winepath -w "$FOLIOMIX_STANDIN_DLL")
    # regsvr32 under Wine has been seen to fail now and then, three times in a row at times:
    # each try waits for the prefix to be idle, and what a failed one said is kept and shown.
    registered=
    said=$(mktemp)
    for try in 1 2 3 4 5; do
        if wine regsvr32 /s "$standin" >"$said.out" 2>&1; then
            registered=yes
            break
        else
            rc=$?
        fi
        { echo "try $try: regsvr32 exited with $rc"; cat "$said.out"; } >>"$said"
        wineserver -w
        sleep "$try"
    done
    if [ -z "$registered" ]; then
        echo "registering the stand-in failed:" >&2
        cat "$said" >&2
    elif [ -s "$said" ]; then
        echo "registering the stand-in took $try tries:" >&2
        cat "$said" >&2
    fi
    rm -f "$said" "$said.out"
    [ -n "$registered" ] || exit 2
    trap 'wine regsvr32 /u /s "$standin" >/dev/null 2>&1; wineserver -w' EXIT
fi
[ $# -gt 0 ] || { echo "usage: wine-run.sh [--with-standin] <command> [args...]" >&2; exit 2; }

case "$1" in
    *.exe | *.EXE) wine "$@" ;;
    *) "$@" ;;
esac
rc=$?
wineserver -w
exit $rc
