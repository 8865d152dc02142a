# Sourced by the harness scripts once $state names the harness state dir (an absolute path):
# the environment that every Wine command of one test run shares.
# shellcheck source=utf8-locale.sh
. "$(dirname "${BASH_SOURCE[0]}")/utf8-locale.sh"
export WINEPREFIX="$state/prefix" WINEDEBUG=-all
# wineserver makes its socket folder (wine-XXXXXX) under TMPDIR and leaves that folder behind
# when it ends; in the state dir it goes with the prefix.
mkdir -p "$state/tmp"
export TMPDIR="$state/tmp"
