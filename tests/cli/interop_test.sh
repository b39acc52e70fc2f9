#!/bin/bash
# Containers cross between builds: what the native nbnx writes, nbnx.exe under
# Wine opens, and the other way round; version 1 and the strong container.
# Usage: interop_test.sh NATIVE_NBNX WINDOWS_COMMAND... (exits 77, skipped,
# when the native build is not there)
set -u
native_nbnx=$1
shift
windows_nbnx=("$@")
if [ ! -x "$native_nbnx" ]; then
    echo "interop: no native nbnx at $native_nbnx; build the native preset first"
    exit 77
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/nbnx-interop.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
export NB_STRONG_COST=8192,1,1

passed=0
failed=0
check() { # check NAME CONDITION...
    local name=$1
    shift
    if "$@"; then passed=$((passed + 1)); else
        echo "FAIL: $name ($*); stderr: $(cat err.txt 2>/dev/null)" >&2
        failed=$((failed + 1))
    fi
}
run() { # run native|windows ARGUMENT...: the exit status of that build's nbnx
    local build=$1
    shift
    if [ "$build" = native ]; then
        timeout -k 5 60 "$native_nbnx" "$@" >out.txt 2>err.txt </dev/null
    else
        timeout -k 5 60 "${windows_nbnx[@]}" "$@" >out.txt 2>err.txt </dev/null
    fi
}

# The passphrase is written composed and read decomposed: each build brings
# it to NFC with its own library.
printf 'p\xc3\xa4ssw\xc3\xb6rd-\xce\xa9-42\n' >phrase-nfc
printf 'pa\xcc\x88sswo\xcc\x88rd-\xce\xa9-42\n' >phrase-nfd
printf 'password\n' >pw
printf 'wrong password\n' >wrong
head -c 70000 /dev/urandom >data.bin
: >empty.bin

for pair in native:windows windows:native; do
    writer=${pair%%:*}
    reader=${pair##*:}
    mkdir "$writer" "$writer/back"
    check "$writer strong set: written" \
        run "$writer" encrypt --strong --password-file phrase-nfc -o "$writer/" data.bin empty.bin
    check "$writer version 1: written" run "$writer" encrypt --password-file pw -o "$writer/v1.nbnx" data.bin
    check "$reader opens $writer's strong set" \
        run "$reader" decrypt --password-file phrase-nfd -o "$writer/back/" "$writer/data.nbnx" "$writer/empty.nbnx"
    check "$writer -> $reader: strong contents" cmp -s "$writer/back/data.bin" data.bin
    check "$writer -> $reader: empty file" cmp -s "$writer/back/empty.bin" empty.bin
    check "$reader opens $writer's version 1" \
        run "$reader" decrypt --password-file pw -o "$writer/back/v1" "$writer/v1.nbnx"
    check "$writer -> $reader: version 1 contents" cmp -s "$writer/back/v1" data.bin
    run "$reader" decrypt --password-file wrong -o "$writer/back/never" "$writer/data.nbnx"
    check "$reader refuses $writer's container with a wrong password" \
        grep -qF "wrong password, or the header was changed" err.txt
done
# Both builds write the version 1 container byte for byte alike.
check "one version 1 container from both builds" cmp -s native/v1.nbnx windows/v1.nbnx

echo "interop: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
