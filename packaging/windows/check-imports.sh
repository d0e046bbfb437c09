#!/usr/bin/env bash
# Lists the DLLs each Windows program imports, and fails when one is not Windows' own: the
# programs are linked statically, so that a user needs nothing but the .exe.
#   check-imports.sh OBJDUMP PROGRAM...
set -euo pipefail
objdump=$1
shift
# Windows' own DLLs the programs may call on (the C runtime msvcrt among them).
own='^(kernel32|msvcrt|user32|gdi32|comctl32|comdlg32|shell32|shlwapi|ole32|oleaut32|oleacc|advapi32|uxtheme|imm32|uiautomationcore|version|ws2_32|bcrypt|ntdll)\.dll$'
status=0
for program in "$@"; do
    imports=$("$objdump" -p "$program" | sed -n 's/^\s*DLL Name: //p' | sort -u)
    echo "$program: $(echo $imports)"
    while read -r dll; do
        if ! grep -qiE "$own" <<<"$dll"; then
            echo "$program imports $dll, which is not Windows' own" >&2
            status=1
        fi
    done <<<"$imports"
done
exit $status
