#!/usr/bin/env bash
# Ends everything that prefix-setup.sh started for one test run and removes its state dir:
#   prefix-cleanup.sh <state dir>
set -uo pipefail
state=${1:?usage: prefix-cleanup.sh <state dir>}
[ -d "$state" ] || exit 0

state=$(cd "$state" && pwd)
if [ -d "$state/prefix" ]; then
    # shellcheck source=wine-environment.sh
    . "$(dirname "$0")/wine-environment.sh"
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
fi
if [ -s "$state/xvfb.pid" ]; then
    pid=$(cat "$state/xvfb.pid")
    # Only our own Xvfb: the pid must still belong to an Xvfb process.
    if [ "$(ps -o comm= -p "$pid" 2>/dev/null)" = "Xvfb" ]; then
        kill "$pid"
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    fi
fi
rm -rf "$state"
