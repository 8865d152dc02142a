#!/usr/bin/env bash
# Makes the private Wine prefix and the X display that every Wine test of one test run shares:
#   prefix-setup.sh <state dir>
# The state dir receives: prefix/ (the Wine prefix), display (the X display, e.g. ":5"),
# xvfb.pid, and the logs of both. A leftover state dir of an aborted run is cleaned up first.
set -euo pipefail
state=${1:?usage: prefix-setup.sh <state dir>}
here=$(cd "$(dirname "$0")" && pwd)

"$here/prefix-cleanup.sh" "$state"
mkdir -p "$state"
state=$(cd "$state" && pwd)

# Our own X server on a free display; Xvfb picks the number and writes it to fd 3.
: >"$state/display.raw"
setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
    </dev/null >"$state/xvfb.log" 2>&1 3>"$state/display.raw" &
echo $! >"$state/xvfb.pid"
for _ in $(seq 100); do
    [ -s "$state/display.raw" ] && break
    sleep 0.1
done
number=$(tr -dc 0-9 <"$state/display.raw")
if [ -z "$number" ]; then
    echo "Xvfb did not report a display" >&2
    cat "$state/xvfb.log" >&2
    exit 1
fi
echo ":$number" >"$state/display"

# shellcheck source=wine-environment.sh
. "$here/wine-environment.sh"
export DISPLAY=":$number" WINEDLLOVERRIDES="mscoree,mshtml="
# Output goes to a file: processes that outlive wineboot would otherwise hold the test's pipe.
wineboot -i >"$state/wineboot.log" 2>&1
wineserver -w
# Chinese texts need the Windows UI font names mapped to a CJK font.
wine regedit /S "$(winepath -w "$here/cjk-fonts.reg")" >>"$state/wineboot.log" 2>&1
wineserver -w
test -f "$WINEPREFIX/system.reg"
echo "Wine prefix ready on display :$number"
