#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing Foliomix need. Run as root, or as
# a user who may use sudo.
set -euo pipefail

packages=(
    # the portable core and its unit tests
    build-essential cmake ninja-build libgtest-dev libgmock-dev
)

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
