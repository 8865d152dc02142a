#!/usr/bin/env bash
# Benchmark, not a test: prints how long foliomix.exe takes to show its window under Wine once
# a prefix exists. Makes its own prefix and display for the measurement and removes them.
#   bench-startup.sh <build dir>
set -euo pipefail
build=$(cd "${1:?usage: bench-startup.sh <build dir>}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
wine_dir="$here/../wine"
export FOLIOMIX_WINE_DIR="$build/wine-bench"
trap '"$wine_dir/prefix-cleanup.sh" "$FOLIOMIX_WINE_DIR"' EXIT
"$wine_dir/prefix-setup.sh" "$FOLIOMIX_WINE_DIR"
"$wine_dir/wine-run.sh" sh -c "wine regedit /S \"\$(winepath -w '$here/virtual-desktop.reg')\""
"$wine_dir/wine-run.sh" "$build/bin/driver.exe" bench_startup
