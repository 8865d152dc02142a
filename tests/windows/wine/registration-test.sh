#!/usr/bin/env bash
# Checks wine-run.sh's stand-in registration: present during a --with-standin command, gone
# before and after it, so that tests without the option meet the real "not installed" path.
set -uo pipefail
run="$(dirname "$0")/wine-run.sh"
key='HKCR\PowerPoint.Application\CLSID'
global='HKCR\CLSID\{91493443-5A91-11CF-8700-00AA0060263B}\InprocServer32'
status=0
expect() {  # expect <0|nonzero> <description> <command...>
    local want=$1 what=$2
    shift 2
    "$@" >/dev/null 2>&1
    local rc=$?
    if { [ "$want" = 0 ] && [ $rc -ne 0 ]; } || { [ "$want" != 0 ] && [ $rc -eq 0 ]; }; then
        echo "FAILED: $what (exit code $rc)"
        status=1
    else
        echo "ok: $what"
    fi
}
expect nonzero "nothing registered before" "$run" wine reg query "$key"
expect 0 "program identifier registered during the command" "$run" --with-standin wine reg query "$key"
expect 0 "global class registered during the command" "$run" --with-standin wine reg query "$global"
expect nonzero "nothing registered after" "$run" wine reg query "$key"
expect nonzero "global class gone after" "$run" wine reg query "$global"
# The command's own exit code comes back, with or without the stand-in.
expect nonzero "a failing command fails" "$run" --with-standin wine cmd /c exit 3
exit $status
