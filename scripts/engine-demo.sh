#!/bin/bash
# make cli-demo: a round trip of a sample file through the native nbnx of
# BUILD_DIR, saying what each step did.
# Usage: engine-demo.sh BUILD_DIR
set -eu
nbnx="$(cd "$1" && pwd)/cli/nbnx"
work=$(mktemp -d "${TMPDIR:-/tmp}/nbnx-demo.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
printf 'NB Nimbra sample file\nSecond line of the sample.\n' >sample.txt
printf 'demo pass 123\n' >password.txt
echo "Sample file: $work/sample.txt ($(stat -c %s sample.txt) bytes)"
"$nbnx" encrypt --password-file password.txt sample.txt
echo "Container: $(stat -c %s sample.nbnx) bytes (216-byte header + body); first bytes:"
head -c 43 sample.nbnx; echo
mv sample.txt original.txt
"$nbnx" decrypt --password-file password.txt sample.nbnx
if cmp -s original.txt sample.txt; then
    echo "Decrypted sample.txt is byte for byte the original."
else
    echo "Decrypted file differs from the original!" >&2
    exit 1
fi
