#!/usr/bin/env bash
# Installs what the Linux edition needs on Debian 12, builds it and starts its window.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh linux

cmake --preset linux
cmake --build --preset linux --target foliomix
exec build/linux/app/qt/foliomix
