#!/usr/bin/env bash
# Installs what the Linux edition needs on Debian 12, builds it and starts its window. The
# program starts in the folder this script was started from: its save dialog opens there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/install-deps.sh" linux

(cd "$root" && cmake --preset linux && cmake --build --preset linux --target foliomix)
exec "$root/build/linux/app/qt/foliomix"
