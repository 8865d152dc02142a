#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

cmake --preset linux
cmake --build --preset linux
ctest --preset linux
