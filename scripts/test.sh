#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

# The Linux edition and its tests; the same tests built with AddressSanitizer and
# UndefinedBehaviorSanitizer (build/linux-asan); the Windows edition, cross-built with MinGW-w64.
cmake --preset linux
cmake --build --preset linux
cmake --preset linux-asan
cmake --build --preset linux-asan
cmake --preset windows
cmake --build --preset windows

# The Windows tests, under Wine, mostly wait for Wine and their windows: they run beside the
# Linux ones, into a log of their own that is shown once they end.
windows_log=build/windows/ctest.log
ctest --preset windows > "$windows_log" 2>&1 &
windows=$!
failed=0
# The unit, Qt, Impress, command-line and package tiers, the real-engine cases against Debian's
# LibreOffice 7.4 and again against 25.2 (unpacked by install-deps.sh), each labelled with its
# engine; then the tiers without an engine under the sanitizers.
ctest --preset linux || failed=1
ctest --preset linux-asan || failed=1
wait "$windows" || failed=1
echo "---- ctest --preset windows"
cat "$windows_log"
exit "$failed"
