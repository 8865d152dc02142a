#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

# The Linux edition and its tests; the same tests built with AddressSanitizer and
# UndefinedBehaviorSanitizer (build/linux-asan); the Windows edition, cross-built with MinGW-w64.
cmake --preset linux
cmake --build --preset linux

# clang-tidy needs nothing but the Linux build: it runs from here to the end, at the lowest
# priority, on the processor time that the builds and tests leave (the Windows tests mostly wait
# for Wine). In a session of its own, so that an early exit can end all of it; where the kernel
# schedules sessions as groups (autogroup), that group gets the lowest priority too, or it would
# take half the processors from the builds whatever its processes' nice value.
setsid bash -c 'echo 19 >/proc/self/autogroup 2>/dev/null
    exec nice -n 19 ctest --test-dir build/linux/tests/tidy --output-on-failure' \
    >build/linux/tidy-test.log 2>&1 &
tidy=$!
trap 'kill -- -"$tidy" 2>/dev/null || true' EXIT

cmake --preset linux-asan
cmake --build --preset linux-asan
cmake --preset windows
cmake --build --preset windows

# The unit, Qt, Impress, command-line and package tiers (tidy apart, above), the real-engine
# cases against Debian's LibreOffice 7.4 and again against 25.2 (unpacked by install-deps.sh),
# each labelled with its engine; the tiers without an engine under the sanitizers; the Windows
# tests under Wine. Each runs even when one before it failed.
failed=0
ctest --preset linux -E '^tidy$' || failed=1
ctest --preset linux-asan || failed=1
ctest --preset windows || failed=1
wait "$tidy" || failed=1
trap - EXIT
cat build/linux/tidy-test.log
exit "$failed"
