#!/usr/bin/env bash
# Checks the Debian package, one step per call:
#   deb_test.sh STEP PACKAGES_DIR APP_ID VERSION SCRATCH_DIR
# contents  what the file holds (exactly the installation's files) and its control fields
# lintian   no error from lintian
# metadata  desktop-file-validate and appstreamcli validate find nothing to report
# install   apt-get install ./…deb into this machine (refused if foliomix is installed already)
# installed the installed programs on PATH; foliomix-merge merges two real decks
# purge     apt-get purge, then nothing of the package is left (runs after a failure too)
set -euo pipefail
step=${1:?usage: deb_test.sh STEP PACKAGES_DIR APP_ID VERSION SCRATCH_DIR}
packages=${2:?} app_id=${3:?} version=${4:?} scratch=${5:?}
# Written by install when it put the package into the machine; purge removes only that one.
marker="$scratch/installed-by-test"

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo -n "$@"; fi
}

# The one package the build made.
the_deb() {
    local debs=("$packages"/foliomix_"$version"-*.deb)
    [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] ||
        fail "expected one foliomix_$version-*.deb in $packages, found: ${debs[*]}"
    echo "${debs[0]}"
}

# A fresh folder of this step's own, removed when the step ends.
work_folder() {
    work=$(mktemp -d "${TMPDIR:-/tmp}/foliomix-deb-test.XXXXXX")
    trap 'rm -rf "$work"' EXIT
}

expected_files() {
    printf '%s\n' \
        ./usr/bin/foliomix \
        ./usr/bin/foliomix-merge \
        "./usr/share/applications/$app_id.desktop" \
        "./usr/share/metainfo/$app_id.metainfo.xml" \
        ./usr/share/man/man1/foliomix.1.gz \
        ./usr/share/man/man1/foliomix-merge.1.gz \
        ./usr/share/doc/foliomix/copyright \
        ./usr/share/doc/foliomix/changelog.Debian.gz \
        ./usr/share/doc/foliomix/README.md.gz \
        ./usr/share/lintian/overrides/foliomix
    for size in 16 22 24 32 48 64 128 256; do
        echo "./usr/share/icons/hicolor/${size}x$size/apps/$app_id.png"
    done
}

# Fails unless the desktop entry at $1 says what the menu needs, in English and Chinese.
check_desktop_entry() {
    local entry=$1 key
    for key in 'Type=Application' 'Name=Foliomix' 'Exec=foliomix' "Icon=$app_id" \
        'Categories=Office;Presentation;' 'Terminal=false'; do
        grep -qxF "$key" "$entry" || fail "$entry lacks the line $key"
    done
    for key in 'Name\[zh_CN\]' 'Comment' 'Comment\[zh_CN\]'; do
        grep -qE "^$key=.+" "$entry" || fail "$entry has no $key"
    done
    # The Chinese texts are Chinese: each holds a CJK ideograph (UTF-8 lead byte E4 to E9).
    for key in 'Name\[zh_CN\]' 'Comment\[zh_CN\]'; do
        grep -E "^$key=" "$entry" | LC_ALL=C grep -q $'[\xe4-\xe9]' ||
            fail "$entry: $key is not in Chinese"
    done
    # The window reads no command line: no file argument may be handed to it.
    ! grep -E '^Exec=.*%[fFuU]' "$entry" || fail "$entry passes files to a program that reads none"
}

step_contents() {
    local deb listing files
    deb=$(the_deb)
    listing=$(dpkg-deb -c "$deb")
    echo "$listing"
    # Every file of item 2, and nothing else but folders.
    files=$(echo "$listing" | awk '$1 !~ /^d/ {print $6}' | sort)
    diff <(expected_files | sort) <(echo "$files") ||
        fail "the package's files differ from the installation's (< expected, > found)"
    # Owned by root; the programs executable by all, the rest readable by all.
    echo "$listing" | awk '$2 != "root/root" {exit 1}' || fail "a file is not owned by root"
    for program in ./usr/bin/foliomix ./usr/bin/foliomix-merge; do
        echo "$listing" | awk -v p="$program" '$6 == p && $1 == "-rwxr-xr-x" {found = 1}
            END {exit !found}' || fail "$program is not a program anyone may run"
    done

    work_folder
    dpkg-deb -x "$deb" "$work/root"
    check_desktop_entry "$work/root/usr/share/applications/$app_id.desktop"
    # Each icon is a PNG of the size its folder names; the programs carry no debugging symbols.
    for size in 16 22 24 32 48 64 128 256; do
        file "$work/root/usr/share/icons/hicolor/${size}x$size/apps/$app_id.png" |
            grep -q "PNG image data, $size x $size, 8-bit/color RGBA" ||
            fail "the ${size}x$size icon is not a $size px RGBA PNG"
    done
    for program in foliomix foliomix-merge; do
        file "$work/root/usr/bin/$program" | grep -q 'ELF 64-bit.*, stripped' ||
            fail "usr/bin/$program is not a stripped program"
    done
    # The window names its desktop entry, so that the desktop shows it with the entry's icon:
    # the name is in the program as Qt keeps a string literal, in UTF-16.
    printf '%s' "$app_id" | iconv -t UTF-16LE >"$work/app-id.utf16"
    LC_ALL=C grep -qaFf "$work/app-id.utf16" "$work/root/usr/bin/foliomix" ||
        fail "foliomix does not name its desktop entry $app_id"
    # The licence is the repository's MIT licence.
    grep -qx 'License: Expat' "$work/root/usr/share/doc/foliomix/copyright" ||
        fail "copyright names no Expat (MIT) licence"

    # The control fields: the engine and the libraries dpkg-shlibdeps found.
    local depends
    dpkg-deb -I "$deb" control
    depends=$(dpkg-deb -f "$deb" Depends)
    for dependency in libreoffice-impress libqt6widgets6 libuno-cppu3 libc6 libstdc++6; do
        echo "$depends" | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -qxF "$dependency" ||
            fail "Depends lacks $dependency: $depends"
    done
    echo "$depends" | tr ',' '\n' | grep -qxE ' *libreoffice-impress \(>= 4:7\.4\)' ||
        fail "Depends does not ask for LibreOffice Impress 7.4 or later: $depends"
    [ "$(dpkg-deb -f "$deb" Package)" = foliomix ] || fail "the package is not named foliomix"
    [ "$(dpkg-deb -f "$deb" Version)" = "$version-1" ] || fail "Version is not $version-1"
    [ "$(dpkg-deb -f "$deb" Section)" = editors ] || fail "Section is not editors"
    dpkg-deb -f "$deb" Maintainer | grep -qE '^[^<]+ <[^@>]+@[^>]+>$' ||
        fail "Maintainer is not a name and an address"
    dpkg-deb -f "$deb" Description | sed -n 2p | grep -q . ||
        fail "the Description has no long description"
}

step_lintian() {
    local deb
    deb=$(the_deb)
    # Errors fail; warnings and notes are shown.
    lintian --fail-on error --display-info --tag-display-limit 0 "$deb"
}

step_metadata() {
    local output
    work_folder
    dpkg-deb -x "$(the_deb)" "$work/root"
    # desktop-file-validate's exit status says nothing of its warnings: any output fails.
    output=$(desktop-file-validate "$work/root/usr/share/applications/$app_id.desktop" 2>&1) ||
        fail "desktop-file-validate: $output"
    [ -z "$output" ] || fail "desktop-file-validate: $output"
    # appstreamcli fails on errors only: an error, a warning or a note fails here too. Its
    # pedantic remarks stay (one: a reverse-DNS id with capitals, as desktop ids are written).
    output=$(appstreamcli validate --no-net "$work/root/usr/share/metainfo/$app_id.metainfo.xml" 2>&1) ||
        fail "appstreamcli validate: $output"
    echo "$output"
    ! echo "$output" | grep -E '^[EWI]: ' || fail "appstreamcli validate reports the lines above"
}

step_install() {
    local deb
    deb=$(the_deb)
    # A foliomix the machine had before is not ours to replace, nor to purge afterwards.
    if dpkg-query -W -f='${db:Status-Status}' foliomix 2>/dev/null | grep -qx installed; then
        fail "foliomix is installed on this machine already; purge it to run this test"
    fi
    mkdir -p "$scratch"
    touch "$marker"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$(realpath "$deb")"
    [ "$(dpkg-query -W -f='${db:Status-Status} ${Version}' foliomix)" = "installed $version-1" ] ||
        fail "apt-get did not install foliomix $version-1"
}

step_installed() {
    for program in foliomix foliomix-merge; do
        [ "$(command -v "$program")" = "/usr/bin/$program" ] ||
            fail "$program is not found on PATH in /usr/bin: $(command -v "$program" || true)"
    done
    [ "$(foliomix-merge --version)" = "foliomix-merge $version" ] ||
        fail "the installed foliomix-merge answers --version with: $(foliomix-merge --version)"
    check_desktop_entry "/usr/share/applications/$app_id.desktop"
    [ -f "/usr/share/icons/hicolor/48x48/apps/$app_id.png" ] || fail "no 48 px icon in hicolor"

    # The window as the menu starts it (offscreen here): it comes up and stays up, and SIGTERM
    # closes it as its close box does, the program then ending by that signal.
    local window status
    QT_QPA_PLATFORM=offscreen foliomix &
    window=$!
    sleep 3
    kill -0 "$window" 2>/dev/null || fail "the installed foliomix did not stay up"
    kill -TERM "$window"
    status=0
    wait "$window" || status=$?
    [ "$status" -eq 143 ] || fail "the installed foliomix ended with $status after SIGTERM, not 143"

    # Two real decks, made by LibreOffice from flat OpenDocument files: A with two slides, B with
    # one, each slide with a text of its own.
    work_folder
    write_flat_deck "$work/a.fodp" "Alpha one" "Alpha two"
    write_flat_deck "$work/b.fodp" "Beta one"
    soffice "-env:UserInstallation=file://$work/profile" --headless --convert-to pptx \
        --outdir "$work" "$work/a.fodp" "$work/b.fodp"
    [ -s "$work/a.pptx" ] && [ -s "$work/b.pptx" ] || fail "LibreOffice made no decks"
    # B before A: the result's order is the arguments' order, not the names'.
    foliomix-merge -o "$work/merged.pdf" "$work/b.pptx" "$work/a.pptx" ||
        fail "the installed foliomix-merge failed: $?"
    local pages texts
    pages=$(pdfinfo "$work/merged.pdf" | awk '/^Pages:/ {print $2}')
    [ "$pages" = 3 ] || fail "the merged deck has $pages slides, not 3"
    texts=$(pdftotext "$work/merged.pdf" - | tr -d '\f' | grep -E '^(Alpha|Beta) ' | paste -sd '|')
    [ "$texts" = 'Beta one|Alpha one|Alpha two' ] || fail "the merged slides read: $texts"
    echo "merged: $texts"
}

# A flat OpenDocument presentation: one slide per text, the text in a frame.
write_flat_deck() {
    local file=$1
    shift
    {
        echo '<?xml version="1.0" encoding="UTF-8"?>'
        echo '<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"'
        echo ' xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"'
        echo ' xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"'
        echo ' xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"'
        echo ' xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"'
        echo ' office:version="1.3"'
        echo ' office:mimetype="application/vnd.oasis.opendocument.presentation">'
        echo '<office:master-styles><style:master-page style:name="Default"/></office:master-styles>'
        echo '<office:body><office:presentation>'
        for text in "$@"; do
            echo '<draw:page draw:master-page-name="Default"><draw:frame svg:x="2cm" svg:y="2cm"'
            echo " svg:width=\"20cm\" svg:height=\"3cm\"><draw:text-box><text:p>$text</text:p>"
            echo '</draw:text-box></draw:frame></draw:page>'
        done
        echo '</office:presentation></office:body></office:document>'
    } >"$file"
}

step_purge() {
    if [ ! -e "$marker" ]; then
        echo "the test installed nothing: nothing to purge"
        exit 0
    fi
    local list
    list=$(dpkg -L foliomix 2>/dev/null || true)
    as_root env DEBIAN_FRONTEND=noninteractive apt-get purge -y -q foliomix
    rm -f "$marker"
    [ -n "$list" ] || fail "foliomix was not installed when the purge began"
    # Purged, not merely removed: dpkg keeps no configuration files of it either.
    local status
    status=$(dpkg-query -W -f='${db:Status-Status}' foliomix 2>/dev/null || echo not-installed)
    [ "$status" = not-installed ] || fail "after the purge, foliomix is $status"
    # Every file is gone; a folder still there belongs to another package.
    local left=0
    while read -r path; do
        [ -n "$path" ] && [ "$path" != /. ] || continue
        if [ -d "$path" ] && [ ! -L "$path" ]; then
            dpkg -S "$path" >/dev/null 2>&1 || {
                echo "left behind: folder $path"
                left=1
            }
        elif [ -e "$path" ] || [ -L "$path" ]; then
            echo "left behind: $path"
            left=1
        fi
    done <<<"$list"
    [ "$left" -eq 0 ] || fail "the purge left files of the package"
    echo "purged: $(echo "$list" | wc -l) paths of the package are gone"
}

case "$step" in
    contents | lintian | metadata | install | installed | purge) "step_$step" ;;
    *) fail "unknown step $step" ;;
esac
