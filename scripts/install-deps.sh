#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing Foliomix need. Run as root, or as
# a user who may use sudo.
set -euo pipefail

# With "linux", only what the core and the Linux edition need; without, everything.
core=(
    # the portable core, its unit tests and the layout check, clang-tidy for the tidy test
    build-essential cmake ninja-build libgtest-dev libgmock-dev clang-format clang-tidy
)
linux=(
    # the Linux edition: Qt 6 Widgets, LibreOffice Impress and its UNO SDK, a CJK font,
    # python3 for the icon generator, and poppler's pdftotext to read PDF results back
    qt6-base-dev libgl-dev libreoffice-impress libreoffice-dev libreoffice-script-provider-python
    python3-uno fonts-wqy-microhei qt6-translations-l10n python3 poppler-utils
    # Qt's platform headers, for the test's stand-in of the desktop's file dialog
    qt6-base-private-dev
    # the one library LibreOffice 25.2, unpacked for the tests (scripts/fetch-test-engine.sh),
    # needs beyond what 7.4 brings
    libzxcvbn0
    # the .deb: making it (dpkg-shlibdeps), and checking it
    dpkg-dev file lintian desktop-file-utils appstream
)
windows=(
    # the Windows edition: cross compiler, Wine, a private X display, a CJK font, screenshots
    mingw-w64 wine wine64 xvfb xauth x11-utils fonts-wqy-microhei fonts-wine imagemagick python3
)
case "${1:-all}" in
    linux) packages=("${core[@]}" "${linux[@]}") ;;
    all) packages=("${core[@]}" "${linux[@]}" "${windows[@]}") ;;
    *) echo "usage: $0 [linux]" >&2; exit 2 ;;
esac

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi

# The tests also run against LibreOffice 25.2, unpacked beside the system's 7.4.
if [ "${1:-all}" = all ]; then
    "$(dirname "$0")/fetch-test-engine.sh"
fi
