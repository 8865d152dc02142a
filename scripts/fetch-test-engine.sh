#!/usr/bin/env bash
# Unpacks LibreOffice 25.2, from Debian 12's bookworm-backports, into
# build/engines/libreoffice25.2: a second engine for the tests, beside the system's 7.4 and not
# installed over it. Its packages are fetched through a package list of their own, so that the
# machine's package sources stay as they are; their install scripts' steps that the engine needs
# are redone here.
set -euo pipefail
cd "$(dirname "$0")/.."

destination=build/engines/libreoffice25.2
[ -f "$destination/.unpacked" ] && exit 0

packages=(
    libreoffice-common libreoffice-core libreoffice-draw libreoffice-impress
    libreoffice-style-colibre libreoffice-uiconfig-common libreoffice-uiconfig-draw
    libreoffice-uiconfig-impress ure uno-libs-private libuno-cppu3 libuno-sal3
    libuno-salhelpergcc3-3 libuno-cppuhelpergcc3-3 libuno-purpenvhelpergcc3-3 fonts-opensymbol
)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/lists/partial" "$work/cache/archives/partial" "$work/debs"
echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg]" \
    "http://deb.debian.org/debian bookworm-backports main" >"$work/backports.list"
apt_options=(
    -o "Dir::Etc::SourceList=$work/backports.list" -o "Dir::Etc::SourceParts=$work/none"
    -o "Dir::State::Lists=$work/lists" -o "Dir::Cache=$work/cache" -qq
    # into a folder of ours, which apt's own download user may not enter
    -o "APT::Sandbox::User=$(id -un)"
)
apt-get "${apt_options[@]}" update
(cd "$work/debs" && apt-get "${apt_options[@]}" download "${packages[@]}")

rm -rf "$destination.partial"
mkdir -p "$destination.partial"
for deb in "$work"/debs/*.deb; do
    dpkg-deb -x "$deb" "$destination.partial"
done
lo="$destination.partial/usr/lib/libreoffice"
# Found from where the engine lies, not from /usr/lib/libreoffice and /etc/libreoffice, which are
# the system's 7.4.
sed -i 's|^BRAND_BASE_DIR=.*|BRAND_BASE_DIR=${ORIGIN}/..|' "$lo/program/fundamentalrc"
sed -i 's|^FHS_CONFIG_FILE=.*|FHS_CONFIG_FILE=${ORIGIN}/../../../../etc/libreoffice/sofficerc|' \
    "$lo/program/sofficerc"
ln -sfn ../.registry/main.xcd "$lo/share/registry/main.xcd"
mkdir -p "$lo/share/prereg/bundled"
"$lo/program/soffice.bin" --version | grep -q '^LibreOffice 25\.2' ||
    { echo "the unpacked engine does not run" >&2; exit 1; }
touch "$destination.partial/.unpacked"
rm -rf "$destination"
mv "$destination.partial" "$destination"
