#!/usr/bin/env bash
# Fails unless every given PE file imports system DLLs only (no libstdc++, libgcc, winpthread or
# any other DLL that a Windows machine does not have):
#   check-imports.sh <objdump> <file.exe|file.dll>...
set -uo pipefail
objdump=${1:?usage: check-imports.sh <objdump> <files...>}
shift
allowed='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comctl32|comdlg32|uxtheme|shcore|msvcrt|ucrtbase|version|shlwapi|winmm|dwmapi|imm32|api-ms-win-[a-z0-9-]+)\.dll$'
status=0
for file in "$@"; do
    imports=$("$objdump" -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p')
    if [ -z "$imports" ]; then
        echo "FAILED: $file: no import table found"
        status=1
        continue
    fi
    while read -r dll; do
        if ! echo "$dll" | tr '[:upper:]' '[:lower:]' | grep -Eq "$allowed"; then
            echo "FAILED: $file imports $dll"
            status=1
        fi
    done <<<"$imports"
    echo "$(basename "$file"): $(echo "$imports" | tr '\n' ' ')"
done
exit $status
