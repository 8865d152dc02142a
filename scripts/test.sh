#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

# Unit tests and the Linux edition; the real-engine cases against Debian's LibreOffice 7.4 and
# again against 25.2 (unpacked by install-deps.sh), each labelled with its engine.
cmake --preset linux
cmake --build --preset linux
ctest --preset linux

# The unit, Qt, Impress and command-line tiers again, without their real-engine cases, built
# with AddressSanitizer and UndefinedBehaviorSanitizer (build/linux-asan).
cmake --preset linux-asan
cmake --build --preset linux-asan
ctest --preset linux-asan

# The Windows edition, cross-built with MinGW-w64 and tested under Wine.
cmake --preset windows
cmake --build --preset windows
ctest --preset windows
