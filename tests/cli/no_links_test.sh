#!/bin/bash
# Jobs on a volume with neither RENAME_NOREPLACE nor hard links: an exFAT
# image on a loop device, mounted through FUSE. Needs root, a loop device,
# /dev/fuse and exfat-fuse; exits 77 (skipped) with the reason otherwise.
# Usage: no_links_test.sh NBNX ENGINE_TESTS
set -u
nbnx=$1
engine_tests=$2

skip() { echo "SKIPPED: $*"; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "needs root to attach a loop device and mount"
[ -e /dev/fuse ] || skip "no /dev/fuse"
for tool in mkfs.exfat mount.exfat-fuse losetup; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done

work=$(mktemp -d)
mnt=$work/mnt
loop=
cleanup() {
    mountpoint -q "$mnt" && umount "$mnt"
    [ -n "$loop" ] && losetup -d "$loop"
    rm -rf "$work"
}
trap cleanup EXIT
mkdir "$mnt"
truncate -s 64M "$work/volume.img"
mkfs.exfat "$work/volume.img" >/dev/null || skip "mkfs.exfat failed"
loop=$(losetup -f --show "$work/volume.img") || skip "no free loop device"
mount.exfat-fuse "$loop" "$mnt" >/dev/null 2>&1 || skip "the exFAT volume cannot be mounted"
if touch "$mnt/probe" && ln "$mnt/probe" "$mnt/probe-link" 2>/dev/null; then
    skip "this exFAT volume has hard links after all"
fi
rm -f "$mnt/probe"

failures=0
check() { # what, condition...
    local what=$1
    shift
    if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}
leftovers() { ! ls "$mnt" | grep -q incomplete; }

printf 'nolinks-pw\n' >"$work/pw"
head -c 300000 /dev/urandom >"$mnt/report.pdf"
cp "$mnt/report.pdf" "$work/original"

for strong in "" --strong; do
    rm -f "$mnt/report.nbnx"
    NB_STRONG_COST=8192,1,1 "$nbnx" encrypt $strong --password-file "$work/pw" "$mnt/report.pdf" \
        >"$work/out" 2>&1
    check "encrypt $strong on the volume" [ $? -eq 0 -a -f "$mnt/report.nbnx" ]
    cp "$mnt/report.nbnx" "$work/container"

    echo "older" >"$work/older"
    cp "$work/older" "$mnt/report.nbnx"
    NB_STRONG_COST=8192,1,1 "$nbnx" encrypt $strong --password-file "$work/pw" "$mnt/report.pdf" \
        >"$work/out" 2>&1
    check "encrypt $strong refuses an existing container" [ $? -eq 1 ]
    check "encrypt $strong keeps it byte for byte" cmp -s "$work/older" "$mnt/report.nbnx"

    NB_STRONG_COST=8192,1,1 "$nbnx" encrypt $strong --force --password-file "$work/pw" \
        "$mnt/report.pdf" >"$work/out" 2>&1
    check "encrypt $strong --force replaces it" [ $? -eq 0 ]
    check "the replaced container is new" bash -c "! cmp -s '$work/older' '$mnt/report.nbnx'"

    mv "$mnt/report.pdf" "$work/moved-away"
    "$nbnx" decrypt --password-file "$work/pw" "$mnt/report.nbnx" >"$work/out" 2>&1
    check "decrypt $strong on the volume" [ $? -eq 0 ]
    check "decrypt $strong gives the file back" cmp -s "$work/original" "$mnt/report.pdf"
    check "nothing incomplete is left ($strong)" leftovers
done

NB_NO_LINK_FOLDER=$mnt "$engine_tests" --gtest_filter='NoHardLinks.*' >"$work/gtest" 2>&1
check "publishing keeps an existing file and fills a free name" \
    grep -q '^\[  PASSED  \] 1 test' "$work/gtest"
grep -q SKIPPED "$work/gtest" && { cat "$work/gtest"; failures=$((failures + 1)); }

[ $failures -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "all checks passed"
