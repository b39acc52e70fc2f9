#!/usr/bin/env bash
# Every Windows handle the product owns is released by an owner: no bare
# release call may stand in the product sources outside the owner headers.
# Usage: owned_handles_test.sh [source root]; prints file:line of each offender.
set -euo pipefail

root="${1:-$(cd "$(dirname "$0")/../.." && pwd)}"
cd "$root"

folders=(engine text toolkit app cli)
owners=(engine/Owned.h toolkit/core/GdiHandles.h)
calls='\b(CloseHandle|ReleaseDC|DeleteObject|DeleteDC|DestroyIcon)[[:space:]]*\('

for folder in "${folders[@]}"; do
    if [[ ! -d "$folder" ]]; then
        echo "owned_handles: no folder $root/$folder" >&2
        exit 2
    fi
done

# Files on disk, tracked or not, so that a new file is checked before it is added.
offenders=$(grep -rnE --include='*.cpp' --include='*.h' --include='*.hpp' --include='*.c' \
    "$calls" "${folders[@]}" |
    awk -F: -v owners="${owners[*]}" \
        'BEGIN { split(owners, list, " "); for (i in list) owner[list[i]] = 1 }
         !($1 in owner)' || true)

if [[ -n "$offenders" ]]; then
    echo "owned_handles: handles released by hand; use an owner from ${owners[*]}:" >&2
    echo "$offenders" >&2
    exit 1
fi
echo "owned_handles: no bare release call in ${folders[*]}"
