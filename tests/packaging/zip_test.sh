#!/usr/bin/env bash
# Checks the Windows .zip: exactly the two programs, the README and the licence in one folder;
# the README and the licence those of the sources; the programs a Windows GUI and a console
# program for x86-64 that import system DLLs only.
#   zip_test.sh ZIP SOURCE_DIR OBJDUMP SCRATCH_DIR
set -euo pipefail
zip=${1:?usage: zip_test.sh ZIP SOURCE_DIR OBJDUMP SCRATCH_DIR}
source_dir=${2:?} objdump=${3:?} scratch=${4:?}

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

[ -f "$zip" ] || fail "no package $zip"
top=$(basename "$zip" .zip)
# The archive's files, folders left out (they end in a slash).
listing=$(cmake -E tar tf "$zip" | grep -v '/$' | sort)
echo "$listing"
expected=$(printf '%s\n' "$top/foliomix.exe" "$top/foliomix-merge.exe" "$top/README.md" \
    "$top/LICENSE.txt" | sort)
diff <(echo "$expected") <(echo "$listing") ||
    fail "the .zip's files differ from what it should hold (< expected, > found)"

rm -rf "$scratch/zip"
mkdir -p "$scratch/zip"
(cd "$scratch/zip" && cmake -E tar xf "$zip")
unpacked="$scratch/zip/$top"
cmp "$unpacked/README.md" "$source_dir/README.md" || fail "README.md is not the sources' README"
cmp "$unpacked/LICENSE.txt" "$source_dir/LICENSE" || fail "LICENSE.txt is not the sources' LICENSE"
file "$unpacked/foliomix.exe" | grep -q 'PE32+ executable (GUI) x86-64' ||
    fail "foliomix.exe is not a 64-bit Windows GUI program: $(file "$unpacked/foliomix.exe")"
file "$unpacked/foliomix-merge.exe" | grep -q 'PE32+ executable (console) x86-64' ||
    fail "foliomix-merge.exe is not a 64-bit console program: $(file "$unpacked/foliomix-merge.exe")"
"$source_dir/tests/windows/imports/check-imports.sh" "$objdump" \
    "$unpacked/foliomix.exe" "$unpacked/foliomix-merge.exe"
rm -rf "$scratch/zip"
