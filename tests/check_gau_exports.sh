#!/usr/bin/env bash
# Checks a built .gau as the simulator's loader sees it: a 32-bit i386 DLL that exports
# exactly Linkage and ImportTable and imports only the DLL functions it is allowed.
# Usage: check_gau_exports.sh FILE.gau [ALLOWED_IMPORT ...]   (imports as dll!function)
set -euo pipefail
gau=$1; shift
objdump=i686-w64-mingw32-objdump
[[ -f "$gau" ]] || { echo "missing $gau"; exit 1; }
dump=$($objdump -p "$gau")
grep -q "file format pei-i386" <<<"$dump" || { echo "$gau: not a PE32 i386 image"; exit 1; }
grep -qE "^\s+DLL$" <<<"$dump" || { echo "$gau: not a DLL"; exit 1; }
exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | grep -oE '^\s+\[ *[0-9]+\] [A-Za-z_0-9]+' | sed -E 's/.*\] //' | sort | tr '\n' ' ')
[[ "$exports" == "ImportTable Linkage " ]] || { echo "$gau exports: $exports"; exit 1; }
# Imports as dll!function, lower-case dll names.
imports=$(awk '/DLL Name:/ {dll=tolower($3)} /^[[:space:]]+[0-9a-f]+[[:space:]]+[0-9]+[[:space:]]+[A-Za-z_]/ && dll {print dll "!" $3}' <<<"$dump" | sort -u)
allowed=$(printf '%s\n' "$@" | tr 'A-Z' 'a-z' | sort -u)
while read -r imp; do
    [[ -z "$imp" ]] && continue
    grep -qixF "$imp" <<<"$allowed" || { echo "$gau imports $imp, which it must not"; exit 1; }
done <<<"$imports"
echo "$gau: exports [$exports] imports [$(tr '\n' ' ' <<<"$imports")]"
