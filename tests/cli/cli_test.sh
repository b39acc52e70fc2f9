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
check() { # check NAME CONDITION...: passes when the condition holds
    local name=$1
    shift
    if "$@"; then passed=$((passed + 1)); else
        echo "FAIL: $name ($*); stderr: $(cat err.txt 2>/dev/null)" >&2
        failed=$((failed + 1))
    fi
}
absent() { for f; do [ ! -e "$f" ] || return 1; done; }
has() { grep -qF -- "$1" "$2"; }

# Runs each line "name | status | stderr part | arguments" and checks the exit
# status and the message (arguments are split at spaces).
run_table() {
    local name status message args got
    while IFS='|' read -r name status message args; do
        read -ra argv <<<"$args"
        "${nbnx[@]}" "${argv[@]}" >out.txt 2>err.txt </dev/null
        got=$?
        check "$name: exit $got" [ "$got" -eq "$status" ]
        [ -z "$message" ] || check "$name: message" has "$message" err.txt
    done
}

printf 'password\n' >pw
printf 'wrong password\n' >wrong
printf '0123456789abcdef\n' >long
printf 'hhhhhhhggg\n' >hang
printf 'short\n' >short
printf 'abc' >abc.txt
printf 'keep' >keep.nbnx
mkdir back dir.v2 into empty
printf 'report' >dir.v2/report
head -c 300000 /dev/urandom >big.bin

run_table <<'CASES'
help|0||--help
version|0||--version
no command|2|no command|
unknown command|2|unknown command frobnicate|frobnicate
no file|2|no FILE to encrypt|encrypt --password-file pw
option without value|2|needs a value|encrypt abc.txt -o
no-check is for encrypt|2|unknown option --no-check|decrypt --no-check x.nbnx
two files|2|one file at a time|encrypt abc.txt other.txt
output given twice|2|-o given twice|encrypt -o x -o y abc.txt
version with an argument|2|unknown command --version|--version x
no terminal for the password|2|no terminal|encrypt abc.txt
CASES
"${nbnx[@]}" encrypt -o '' abc.txt >/dev/null 2>err.txt
check "empty output path" has "-o needs a path" err.txt
check "usage errors create nothing" absent abc.nbnx x y
run_table <<'CASES'
encrypt|0||encrypt --password-file pw abc.txt
encrypt without check|0||encrypt --no-check --password-file pw -o big.box big.bin
decrypt to a path|0||decrypt --password-file pw -o big.copy big.box
default name in a dotted folder|0||encrypt --password-file pw dir.v2/report
existing output kept|1|keep.nbnx already exists (use --force to replace it)|encrypt --password-file pw -o keep.nbnx abc.txt
same-folder output exists|1|already exists (use --force to replace it)|decrypt --password-file pw abc.nbnx
wrong password|1|abc.nbnx: The password is incorrect or not valid NBN Encrypted File|decrypt --password-file wrong -o nothing.txt abc.nbnx
password too long|1|Password must be at most 15 characters|encrypt --password-file long -o long.nbnx abc.txt
password that cannot be used|1|This password cannot be used|encrypt --password-file hang -o hang.nbnx abc.txt
short password|1|Password must be at least 8 characters|encrypt --password-file short -o short.nbnx abc.txt
CASES
"${nbnx[@]}" --help >out.txt 2>err.txt
check "help text" has "nbnx encrypt" out.txt
"${nbnx[@]}" --version >out.txt 2>err.txt
check "version text" [ "$(tr -d '\r' <out.txt)" = "nbnx 1.1.0.0" ]
# The container is the format's, byte for byte, on every build.
check "golden container" cmp -s abc.nbnx "$data_dir/golden/abc.nbnx"
check "round trip of 300000 bytes" cmp -s big.copy big.bin
check "default container beside its input" [ -e dir.v2/report.nbnx ]
check "existing output unchanged" [ "$(cat keep.nbnx)" = keep ]
check "refused jobs leave nothing" absent nothing.txt long.nbnx hang.nbnx short.nbnx

cp abc.nbnx back/
run_table <<'CASES'
decrypt beside the container|0||decrypt --password-file pw back/abc.nbnx
force replaces|0||encrypt --force --password-file pw -o keep.nbnx abc.txt
decrypt into a folder|0||decrypt --password-file pw -o into abc.nbnx
encrypt into a folder|0||encrypt --password-file pw -o into/ abc.txt
wrong password into a folder|1|The password is incorrect|decrypt --password-file wrong -o empty abc.nbnx
CASES
check "decrypted into the folder under the stored name" cmp -s into/abc.txt abc.txt
check "encrypted into the folder under the default name" cmp -s into/abc.nbnx abc.nbnx
check "a refused decryption writes nothing into the folder" [ -z "$(ls empty)" ]
check "round trip" cmp -s back/abc.txt abc.txt
check "forced container" cmp -s keep.nbnx abc.nbnx
"${nbnx[@]}" encrypt --password-file - -o stdin.nbnx abc.txt <pw >/dev/null 2>err.txt
check "password from standard input" cmp -s stdin.nbnx abc.nbnx

# A damaged body: the CRC message, and the command line keeps no output.
cp big.box damaged.box
printf '\x55' | dd of=damaged.box bs=1 seek=5000 conv=notrunc status=none
run_table <<'CASES'
damaged body|1|CRC mismatch|decrypt --password-file pw -o damaged.out damaged.box
CASES
check "failed decryption leaves nothing" absent damaged.out

# A write that fails midway (file size limit): message, no output, source intact.
cp big.bin limited.bin
(
    trap '' XFSZ
    ulimit -f 100
    "${nbnx[@]}" encrypt --password-file pw -o limited.nbnx limited.bin >/dev/null 2>err.txt
    echo $? >status.txt
)
check "write fault status" [ "$(cat status.txt)" = 1 ]
check "write fault message with the system's reason" has "Error during encryption: " err.txt
check "and the output named" has "(limited.nbnx)" err.txt
check "write fault leaves nothing" absent limited.nbnx
check "source after a write fault" cmp -s limited.bin big.bin

# Ctrl+C during a large encryption: status 130 and nothing left.
truncate -s 400M huge.bin
"${nbnx[@]}" encrypt --password-file pw -o huge.nbnx huge.bin >/dev/null 2>err.txt &
pid=$!
for _ in $(seq 1 200); do
    [ "$(stat -c %s huge.nbnx.incomplete 2>/dev/null || echo 0)" -gt 100000 ] && break
    sleep 0.05
done
kill -INT "$pid"
wait "$pid"
check "interrupt status" [ $? = 130 ]
check "interrupted encryption leaves no container or temporary" absent huge.nbnx huge.nbnx.incomplete
rm -f huge.bin

echo "cli: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
