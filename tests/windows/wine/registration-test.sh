#!/usr/bin/env bash
# Checks wine-run.sh's stand-in registration: present during a --with-standin command, gone
# before and after it, so that tests without the option meet the real "not installed" path.
set -uo pipefail
run="$(dirname "$0")/wine-run.sh"
key='HKCR\PowerPoint.Application\CLSID'
global='HKCR\CLSID\{91493443-5A91-11CF-8700-00AA0060263B}\InprocServer32'
status=0
expect() {  # expect <exit code> <description> <command...>
    local want=$1 what=$2
    shift 2
    local said
    said=$("$@" 2>&1)
    local rc=$?
    if [ "$rc" -ne "$want" ]; then
        echo "FAILED: $what (exit code $rc, expected $want):"
        echo "$said"
        status=1
    else
        echo "ok: $what"
    fi
}
# reg query exits with 1 for a missing key; the harness's own errors are 2.
expect 1 "nothing registered before" "$run" wine reg query "$key"
expect 0 "program identifier and global class registered during the command" \
    "$run" --with-standin wine cmd /c reg query "$key" '&&' reg query "$global"
expect 1 "neither registered after" \
    "$run" wine cmd /c reg query "$key" '||' reg query "$global"
# The command's own exit code comes back, with or without the stand-in.
expect 3 "the command's exit code" "$run" --with-standin wine cmd /c exit 3
exit $status
