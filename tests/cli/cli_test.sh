#!/bin/bash
# End-to-end cases of the nbnx command line, run as a subprocess.
# Usage: cli_test.sh DATA_DIR COMMAND... (COMMAND runs nbnx, e.g. under Wine)
set -u
data_dir=$1
shift
nbnx=("$@")
work=$(mktemp -d "${TMPDIR:-/tmp}/nbnx-cli.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

passed=0
failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=$((failed + 1))
}
pass() { passed=$((passed + 1)); }

# expect NAME STATUS STDERR_PART -- ARGS...: runs nbnx, checks status and message.
expect() {
    local name=$1 status=$2 message=$3
    shift 4
    "${nbnx[@]}" "$@" >out.txt 2>err.txt </dev/null
    local got=$?
    if [ "$got" -ne "$status" ]; then
        fail "$name: exit $got, expected $status; stderr: $(cat err.txt)"
    elif [ -n "$message" ] && ! grep -qF -- "$message" err.txt; then
        fail "$name: stderr lacks '$message': $(cat err.txt)"
    else
        pass
    fi
}
must_exist() { if [ -e "$1" ]; then pass; else fail "$2: $1 is missing"; fi; }
must_not_exist() { if [ -e "$1" ]; then fail "$2: $1 was left behind"; else pass; fi; }
same_bytes() { if cmp -s "$1" "$2"; then pass; else fail "$3: $1 and $2 differ"; fi; }

printf 'password\n' >pw
printf 'abc' >abc.txt

# Help, version and usage errors (nothing may be created by them).
expect "help" 0 "" -- --help
grep -q "nbnx encrypt" out.txt && grep -q "Example" out.txt && pass || fail "help text"
expect "version" 0 "" -- --version
tr -d "\r" <out.txt | grep -qx "nbnx 1.1.0.0" && pass || fail "version text: $(cat out.txt)"
expect "no command" 2 "no command" --
expect "unknown command" 2 "unknown command frobnicate" -- frobnicate
expect "no file" 2 "no FILE to encrypt" -- encrypt --password-file pw
expect "option without value" 2 "needs a value" -- encrypt abc.txt -o
expect "no-check is for encrypt" 2 "unknown option --no-check" -- decrypt --no-check x.nbnx
expect "two files" 2 "one file at a time" -- encrypt abc.txt other.txt
expect "unknown option" 2 "unknown option --fast" -- encrypt --fast abc.txt
expect "no terminal for the password" 2 "no terminal" -- encrypt abc.txt
must_not_exist abc.nbnx "usage errors"

# The container is the format's, byte for byte, on every build.
expect "encrypt" 0 "" -- encrypt --password-file pw abc.txt
same_bytes abc.nbnx "$data_dir/golden/abc.nbnx" "golden container"
mkdir back
cp abc.nbnx back/
expect "decrypt beside the container" 0 "" -- decrypt --password-file pw back/abc.nbnx
same_bytes back/abc.txt abc.txt "round trip"

# Larger file, both naming modes, no check.
head -c 300000 /dev/urandom >big.bin
expect "encrypt without check" 0 "" -- encrypt --no-check --password-file pw -o big.box big.bin
expect "decrypt to a path" 0 "" -- decrypt --password-file pw -o big.copy big.box
same_bytes big.copy big.bin "round trip of 300000 bytes"

# A dot in a folder name does not move the container elsewhere.
mkdir dir.v2
printf 'report' >dir.v2/report
expect "default name in a dotted folder" 0 "" -- encrypt --password-file pw dir.v2/report
must_exist dir.v2/report.nbnx "default container name"

# Existing outputs are kept unless --force.
printf 'keep' >keep.nbnx
expect "existing output kept" 1 "keep.nbnx already exists (use --force to replace it)" -- \
    encrypt --password-file pw -o keep.nbnx abc.txt
[ "$(cat keep.nbnx)" = keep ] && pass || fail "existing output was changed"
expect "force replaces" 0 "" -- encrypt --force --password-file pw -o keep.nbnx abc.txt
same_bytes keep.nbnx abc.nbnx "forced container"
expect "same-folder output exists" 1 "already exists (use --force to replace it)" -- \
    decrypt --password-file pw abc.nbnx

# Wrong and unusable passwords.
printf 'wrong password\n' >wrong
expect "wrong password" 1 "abc.nbnx: The password is incorrect or not valid NBN Encrypted File" -- \
    decrypt --password-file wrong -o nothing.txt abc.nbnx
must_not_exist nothing.txt "wrong password"
printf '0123456789abcdef\n' >long
expect "password too long" 1 "Password must be at most 15 characters" -- \
    encrypt --password-file long -o long.nbnx abc.txt
printf 'hhhhhhhggg\n' >hang
expect "password that cannot be used" 1 "This password cannot be used" -- \
    encrypt --password-file hang -o hang.nbnx abc.txt
must_not_exist hang.nbnx "refused password"
"${nbnx[@]}" encrypt --password-file - -o stdin.nbnx abc.txt <pw >/dev/null 2>&1
same_bytes stdin.nbnx abc.nbnx "password from standard input"
printf 'short\n' >short
expect "short password" 1 "Password must be at least 8 characters" -- \
    encrypt --password-file short -o short.nbnx abc.txt

# A damaged body: the CRC message, and the command line keeps no output.
cp big.box damaged.box
printf '\x55' | dd of=damaged.box bs=1 seek=5000 conv=notrunc status=none
expect "damaged body" 1 "CRC mismatch" -- decrypt --password-file pw -o damaged.out damaged.box
must_not_exist damaged.out "failed decryption"

# A write that fails midway (file size limit): message, no output, source intact.
cp big.bin limited.bin
(
    trap '' XFSZ
    ulimit -f 100
    "${nbnx[@]}" encrypt --password-file pw -o limited.nbnx limited.bin >/dev/null 2>err.txt
    echo $? >status.txt
)
[ "$(cat status.txt)" = 1 ] && grep -qF "Error during encryption." err.txt && pass ||
    fail "write fault: status $(cat status.txt), stderr $(cat err.txt)"
must_not_exist limited.nbnx "write fault"
same_bytes limited.bin big.bin "source after a write fault"

# Ctrl+C during a large encryption: status 130 and nothing left.
truncate -s 400M huge.bin
"${nbnx[@]}" encrypt --password-file pw -o huge.nbnx huge.bin >/dev/null 2>err.txt &
pid=$!
for _ in $(seq 1 200); do
    size=$(stat -c %s huge.nbnx 2>/dev/null || echo 0)
    [ "$size" -gt 100000 ] && break
    sleep 0.05
done
kill -INT "$pid"
wait "$pid"
status=$?
[ "$status" = 130 ] && pass || fail "interrupt: status $status, stderr $(cat err.txt)"
must_not_exist huge.nbnx "interrupted encryption"
must_not_exist temp "interrupted encryption"
rm -f huge.bin

echo "cli: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
