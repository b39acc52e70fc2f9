#!/bin/bash
# End-to-end cases of the nbnx command line, run as a subprocess.
# Usage: cli_test.sh DATA_DIR VERSION COMMAND... (COMMAND runs nbnx, e.g. under
# Wine; VERSION is the project's)
set -u
data_dir=$1
version=$2
shift 2
nbnx=("$@")
script_dir=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/nbnx-cli.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

# Signals other than Ctrl+C, FIFOs, links, devices, file modes and names that
# Windows refuses exist only for the native command.
case "${nbnx[-1]}" in
*.exe) native=false ;;
*) native=true ;;
esac

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
absent() { for f; do [ ! -e "$f" ] && [ ! -L "$f" ] || return 1; done; }
has() { grep -qF -- "$1" "$2"; }
same_text() { [ "$(cat "$1")" = "$2" ]; }
# only_files DIR NAME...: DIR holds exactly these names
only_files() {
    local dir=$1
    shift
    [ "$(ls -A "$dir" | sort)" = "$(printf '%s\n' "$@" | sort)" ]
}

# at_most_temporary DIR NAME: DIR holds NAME and at most one NAME.incomplete* beside it
at_most_temporary() {
    local extra
    extra=$(ls -A "$1" | grep -vxF -- "$2")
    [ -z "$extra" ] || { [ "$(wc -l <<<"$extra")" = 1 ] && [[ $extra == "$2".incomplete* ]]; }
}

# flip_byte FILE OFFSET: that byte turned into its complement (a changed
# byte, whatever it was)
flip_byte() {
    local byte
    byte=$(od -An -tu1 -j"$2" -N1 "$1")
    printf "\\x$(printf %02x $((255 - byte)))" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}

case_bound=60 # seconds a single run may take
# run_case NAME STATUS MESSAGE ARGUMENT...: one run with its arguments exactly
# as given; checks the exit status and that stderr holds the message.
run_case() {
    local name=$1 status=$2 message=$3 got
    shift 3
    timeout --foreground -k 5 "$case_bound" "${nbnx[@]}" "$@" >out.txt 2>err.txt </dev/null
    got=$?
    check "$name: exit $got" [ "$got" -eq "$status" ]
    [ -z "$message" ] || check "$name: message" has "$message" err.txt
}

# Runs each line "name | status | stderr part | arguments" (arguments are split
# at spaces).
run_table() {
    local name status message args
    while IFS='|' read -r name status message args; do
        read -ra argv <<<"$args"
        run_case "$name" "$status" "$message" "${argv[@]}"
    done
}

# wait_for_growth FILE: true once FILE holds more than 100000 bytes (at most 10 s).
wait_for_growth() {
    for _ in $(seq 1 200); do
        [ "$(stat -c %s "$1" 2>/dev/null || echo 0)" -gt 100000 ] && return 0
        sleep 0.05
    done
    return 1
}

# wait_bounded PID: the exit status of a background run; one that is still
# running after 60 s is killed (status 137).
wait_bounded() {
    for _ in $(seq 1 1200); do
        kill -0 "$1" 2>/dev/null || break
        sleep 0.05
    done
    kill -KILL "$1" 2>/dev/null
    wait "$1"
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
truncate -s 400M huge.bin # long enough to be stopped midway

run_table <<'CASES'
help|0||--help
version|0||--version
no command|2|no command|
unknown command|2|unknown command frobnicate|frobnicate
no file|2|no FILE to encrypt|encrypt --password-file pw
option without value|2|needs a value|encrypt abc.txt -o
no-check is for encrypt|2|unknown option --no-check|decrypt --no-check x.nbnx
output given twice|2|-o given twice|encrypt -o x -o y abc.txt
version with an argument|2|unknown command --version|--version x
no terminal for the password|2|no terminal|encrypt abc.txt
CASES
run_case "empty output path" 2 "-o needs a path" encrypt -o '' abc.txt
check "usage errors create nothing" absent abc.nbnx x y
run_table <<'CASES'
encrypt|0||encrypt --password-file pw abc.txt
encrypt without check|0||encrypt --no-check --password-file pw -o big.box big.bin
decrypt to a path|0||decrypt --password-file pw -o big.copy big.box
default name in a dotted folder|0||encrypt --password-file pw dir.v2/report
existing output kept|1|keep.nbnx already exists (use --force to replace it)|encrypt --password-file pw -o keep.nbnx abc.txt
same-folder output exists|1|already exists (use --force to replace it)|decrypt --password-file pw abc.nbnx
wrong password|1|abc.nbnx: wrong password|decrypt --password-file wrong -o nothing.txt abc.nbnx
password too long|1|Password must be at most 15 characters|encrypt --password-file long -o long.nbnx abc.txt
password that cannot be used|1|This password cannot be used|encrypt --password-file hang -o hang.nbnx abc.txt
short password|1|Password must be at least 8 characters|encrypt --password-file short -o short.nbnx abc.txt
CASES
"${nbnx[@]}" --help >out.txt 2>err.txt
check "help text" has "nbnx encrypt" out.txt
check "help names the exit statuses" has "143 SIGTERM, 129 SIGHUP" out.txt
"${nbnx[@]}" --version >out.txt 2>err.txt
check "version text" [ "$(tr -d '\r' <out.txt)" = "nbnx $version" ]
# The container is the format's, byte for byte, on every build.
check "golden container" cmp -s abc.nbnx "$data_dir/golden/abc.nbnx"
check "round trip of 300000 bytes" cmp -s big.copy big.bin
check "default container beside its input" [ -e dir.v2/report.nbnx ]
check "existing output unchanged" same_text keep.nbnx keep
check "refused jobs leave nothing" absent nothing.txt long.nbnx hang.nbnx short.nbnx

cp abc.nbnx back/
run_table <<'CASES'
decrypt beside the container|0||decrypt --password-file pw back/abc.nbnx
force replaces|0||encrypt --force --password-file pw -o keep.nbnx abc.txt
decrypt into a folder|0||decrypt --password-file pw -o into abc.nbnx
encrypt into a folder|0||encrypt --password-file pw -o into/ abc.txt
wrong password into a folder|1|abc.nbnx: wrong password|decrypt --password-file wrong -o empty abc.nbnx
CASES
check "decrypted into the folder under the stored name" cmp -s into/abc.txt abc.txt
check "encrypted into the folder under the default name" cmp -s into/abc.nbnx abc.nbnx
check "a refused decryption writes nothing into the folder" [ -z "$(ls empty)" ]
check "round trip" cmp -s back/abc.txt abc.txt
check "forced container" cmp -s keep.nbnx abc.nbnx
"${nbnx[@]}" encrypt --password-file - -o stdin.nbnx abc.txt <pw >/dev/null 2>err.txt
check "password from standard input" cmp -s stdin.nbnx abc.nbnx

# Containers that cannot be read: the message, and the command line keeps no output.
cp big.box damaged.box
flip_byte damaged.box 5000
head -c 1000 big.box >cut.box
run_table <<'CASES'
damaged body|1|CRC mismatch|decrypt --password-file pw -o damaged.out damaged.box
truncated container|1|cut.box: damaged or incomplete|decrypt --password-file pw -o cut.out cut.box
CASES
check "failed decryptions leave nothing" absent damaged.out cut.out

# Paths are used exactly as given: a leading space or a line end is part of
# the name, for the existence test as for the job.
printf 'original' >report.txt
mkdir spaced
printf 'spaced' >'spaced/ report.txt'
run_case "output with a leading space" 0 "" decrypt --password-file pw -o ' report.txt' abc.nbnx
run_case "source with a leading space" 0 "" encrypt --password-file pw 'spaced/ report.txt'
run_case "existing output with a leading space" 1 "nbnx:  report.txt already exists" \
    decrypt --password-file pw -o ' report.txt' abc.nbnx
check "the leading space names its own file" cmp -s ' report.txt' abc.txt
check "its default container keeps the space" [ -e 'spaced/ report.nbnx' ]
check "no container for the trimmed name" absent spaced/report.nbnx
if $native; then
    run_case "output ending in a line end" 0 "" decrypt --password-file pw -o $'report.txt\r' abc.nbnx
    check "the line end names its own file" cmp -s $'report.txt\r' abc.txt
fi
check "the trimmed name is untouched" same_text report.txt original

# Outputs that are not regular files are refused before anything is written,
# whatever --force says.
printf 'target' >target.txt
if $native; then
    ln -s target.txt link.out
    ln -s missing.txt dangling.out
    for mode in encrypt decrypt; do
        source=abc.txt
        [ $mode = encrypt ] || source=abc.nbnx
        run_case "$mode -o a link to a file" 1 "link.out: file not accessible" \
            $mode --force --password-file pw -o link.out $source
        run_case "$mode -o a dangling link" 1 "dangling.out: file not accessible" \
            $mode --force --password-file pw -o dangling.out $source
    done
    check "the link's target is untouched" same_text target.txt target
    check "the links stay links" [ -L link.out -a -L dangling.out ]
    check "a dangling link's target is not created" absent missing.txt
    if mknod dev c 1 3 2>/dev/null; then
        run_case "-o a device" 1 "dev: file not accessible" \
            encrypt --force --password-file pw -o dev abc.txt
        check "the device is untouched" [ "$(stat -c %F:%t:%T dev)" = "character special file:1:3" ]
    fi
    # A FIFO would block whoever opens it: refused at once in both modes.
    mkfifo pipe.txt pipe.box
    case_bound=20
    run_table <<'CASES'
encrypt a FIFO|1|pipe.txt: not a regular file|encrypt --password-file pw pipe.txt
decrypt a FIFO beside itself|1|pipe.box: not a container|decrypt --password-file pw pipe.box
decrypt a FIFO to a path|1|pipe.box: not a container|decrypt --password-file pw -o pipe.out pipe.box
CASES
    case_bound=60
    check "a FIFO source leaves nothing" absent pipe.out pipe.nbnx
fi

if $native; then
    # ":" is an ordinary name character here; a container storing it is still
    # refused beside itself (other systems could not write that name), with a hint.
    mkdir colon
    printf 'notes' >'colon/10:30 notes.txt'
    cp 'colon/10:30 notes.txt' notes.orig
    run_case "encrypt a name with a colon" 0 "" encrypt --password-file pw 'colon/10:30 notes.txt'
    rm 'colon/10:30 notes.txt'
    run_case "stored name with a colon beside the container" 1 \
        "10:30 notes.nbnx: The file name stored in the encrypted file is not valid" \
        decrypt --password-file pw 'colon/10:30 notes.nbnx'
    check "stored-name refusal: hint" has "hint: use -o FILE to choose the output name" err.txt
    run_case "decrypt a name with a colon under its own name" 0 "" \
        decrypt --password-file pw -o 'colon/10:30 notes.txt' 'colon/10:30 notes.nbnx'
    check "a name with a colon round trip" cmp -s 'colon/10:30 notes.txt' notes.orig

    # Published files keep permissions: a container the plain file's, a
    # decrypted file the container's.
    mkdir modes
    printf 'mode' >modes/plain.txt
    chmod 640 modes/plain.txt
    run_case "encrypt a 640 file" 0 "" encrypt --password-file pw modes/plain.txt
    check "the container is 640" [ "$(stat -c %a modes/plain.nbnx)" = 640 ]
    chmod 604 modes/plain.nbnx
    run_case "decrypt a 604 container" 0 "" decrypt --password-file pw -o modes/copy.txt modes/plain.nbnx
    check "the decrypted file is 604" [ "$(stat -c %a modes/copy.txt)" = 604 ]
fi

# A write that fails midway (file size limit; SIGXFSZ ignored): the reason in
# the message, no output, an existing destination and the source intact.
mkdir full
cp abc.nbnx full/existing.nbnx
for destination in fresh.nbnx existing.nbnx; do
    (
        trap '' XFSZ
        ulimit -f 100
        "${nbnx[@]}" encrypt --force --password-file pw -o full/$destination big.bin \
            >/dev/null 2>err.txt </dev/null
        echo $? >status.txt
    )
    check "write fault over $destination: status" same_text status.txt 1
    check "write fault over $destination: message" has "Error during encryption: " err.txt
    check "write fault over $destination: the output named" has "(full/$destination)" err.txt
    if $native; then
        check "write fault over $destination: reason" has "File too large" err.txt
    fi
done
check "write faults leave the destination alone" cmp -s full/existing.nbnx abc.nbnx
check "write faults leave nothing new" only_files full existing.nbnx

# The same while decrypting: nbnx says which way it failed.
if $native; then
    "${nbnx[@]}" encrypt --password-file pw -o full/big.nbnx big.bin >/dev/null 2>&1
    (
        trap '' XFSZ
        ulimit -f 100
        "${nbnx[@]}" decrypt --password-file pw -o full/big.out full/big.nbnx \
            >/dev/null 2>err.txt </dev/null
        echo $? >status.txt
    )
    check "decryption write fault: status" same_text status.txt 1
    check "decryption write fault: message" has "Error during decryption: File too large (full/big.out)" err.txt
    check "decryption write fault: nothing left" absent full/big.out
    rm -f full/big.nbnx
fi

# An empty file: version 1 cannot hold it, and it is no container either;
# a missing file is named as given, in its own letter case.
: >empty.txt
run_case "encrypt an empty file" 1 "nbnx: empty.txt: is empty; version 1 cannot hold an empty file (--strong can)" \
    encrypt --password-file pw empty.txt
run_case "decrypt an empty file" 1 "nbnx: empty.txt: is empty, not a container" \
    decrypt --password-file pw -o empty.out empty.txt
run_case "a missing file, as given" 1 "nbnx: Notes.txt: file not found or inaccessible" \
    encrypt --password-file pw Notes.txt
check "source after a write fault" cmp -s big.bin big.copy

# A stop during a long encryption over an existing container (--force):
# 128 + the signal's number, nothing new left, the container byte for byte.
stop_signals="INT:130"
if $native; then
    stop_signals="INT:130 TERM:143 HUP:129 QUIT:131"
fi
for entry in $stop_signals; do
    signal=${entry%%:*}
    status=${entry##*:}
    mkdir "stop-$signal"
    cp abc.nbnx "stop-$signal/over.nbnx"
    "${nbnx[@]}" encrypt --force --password-file pw -o "stop-$signal/over.nbnx" huge.bin \
        >/dev/null 2>err.txt </dev/null &
    pid=$!
    check "SIG$signal: the job was under way" wait_for_growth "stop-$signal/over.nbnx.incomplete"
    kill -"$signal" "$pid"
    wait_bounded "$pid"
    got=$?
    check "SIG$signal: exit $got" [ "$got" = "$status" ]
    check "SIG$signal: stop message" has "stopped; nothing was kept" err.txt
    check "SIG$signal: nothing new left" only_files "stop-$signal" over.nbnx
    check "SIG$signal: the container unchanged" cmp -s "stop-$signal/over.nbnx" abc.nbnx
done

# kill -9 leaves the job no time at all: the destination is still unchanged
# and at most the temporary file lies beside it.
mkdir killed
cp abc.nbnx killed/over.nbnx
"${nbnx[@]}" encrypt --force --password-file pw -o killed/over.nbnx huge.bin \
    >/dev/null 2>err.txt </dev/null &
pid=$!
check "kill -9: the job was under way" wait_for_growth killed/over.nbnx.incomplete
kill -KILL "$pid"
wait "$pid" 2>/dev/null
check "kill -9: the destination unchanged" cmp -s killed/over.nbnx abc.nbnx
check "kill -9: at most the temporary file beside it" at_most_temporary killed over.nbnx

# Without --force, a file that appears while the job runs is kept, and the
# job fails when it comes to publish its output.
mkdir late
"${nbnx[@]}" encrypt --password-file pw -o late/out.nbnx huge.bin >/dev/null 2>err.txt </dev/null &
pid=$!
check "appearing output: the job was under way" wait_for_growth late/out.nbnx.incomplete
printf 'late' >late/out.nbnx
wait_bounded "$pid"
got=$?
check "appearing output: exit $got" [ "$got" = 1 ]
check "appearing output: message" has "out.nbnx: file not accessible" err.txt
check "appearing output: kept" same_text late/out.nbnx late
check "appearing output: nothing else left" only_files late out.nbnx
rm -f huge.bin

# Sets of files: each into its own output, one line per file; a failure goes
# on to the next file; a set with a conflict is refused whole, writing nothing.
mkdir set set/out set/sub
for name in one two three; do
    printf '%s' "$name" >"set/$name.txt"
    cp "set/$name.txt" "set/$name.orig"
done
printf 'doc' >set/report.doc
printf 'docx' >set/report.docx
printf 'box' >set/box.nbnx
: >set/empty.txt
printf 'sub one' >set/sub/one.txt
"${nbnx[@]}" encrypt --password-file pw -o set/named.nbnx set/sub/one.txt >/dev/null 2>&1 </dev/null
set_files() { ls -A set | sort | tr '\n' ' '; }
before=$(set_files)
run_table <<'CASES'
set: -o a file, before the password is read|2|with several files, -o must name an existing folder|encrypt --password-file nowhere.pw -o set/one.txt set/two.txt set/three.txt
set: -o a missing folder|2|with several files, -o must name an existing folder|decrypt --password-file pw -o set/nowhere set/a.nbnx set/b.nbnx
set: one file twice|2|set/one.txt is given twice; nothing was written|encrypt --password-file pw set/one.txt set/two.txt set/one.txt
set: one file under two spellings|2|set/one.txt and set/sub/../one.txt are the same file; nothing was written|encrypt --password-file pw set/one.txt set/two.txt set/sub/../one.txt
set: colliding outputs|2|set/report.doc and set/report.docx would both be written to set/report.nbnx; nothing was written|encrypt --password-file pw set/one.txt set/report.doc set/report.docx
set: colliding outputs in a folder|2|set/one.txt and set/sub/one.txt would both be written to set/out/one.nbnx|encrypt --password-file pw -o set/out/ set/one.txt set/sub/one.txt
set: an output that is an input|2|set/box.nbnx would be written over itself; nothing was written|encrypt --password-file pw set/one.txt set/box.nbnx
set: an output that is another input|2|set/named.nbnx would be written over set/one.txt, which is in this set too|decrypt --password-file pw set/named.nbnx set/one.txt
set: a short password, once|1|Password must be at least 8 characters|encrypt --password-file short set/one.txt set/two.txt
CASES
check "refused sets write nothing" [ "$(set_files)" = "$before" ]
check "a short password is told once" [ "$(grep -c 'at least 8' err.txt)" = 1 ]

printf 'two already' >set/two.nbnx
run_case "set: an existing output" 1 "nbnx: set/two.txt: set/two.nbnx already exists (use --force to replace it)" \
    encrypt --password-file pw set/one.txt set/two.txt set/three.txt
check "set: the others written, one line each" \
    [ "$(tr -d '\r' <out.txt)" = "$(printf 'set/one.nbnx written\nset/three.nbnx written')" ]
check "set: the existing output unchanged" same_text set/two.nbnx 'two already'
run_case "set: a failure in the middle" 1 "nbnx: set/empty.txt: is empty; version 1 cannot hold an empty file (--strong can)" \
    encrypt --force --password-file pw set/one.txt set/empty.txt set/sub set/two.txt set/three.txt
check "set: a folder is refused for itself" has "nbnx: set/sub: a folder, not a file" err.txt
check "set: every other file written" \
    [ "$(tr -d '\r' <out.txt)" = "$(printf 'set/%s.nbnx written\n' one two three)" ]
check "set: nothing for the failures" absent set/empty.nbnx set/sub.nbnx

# Round trip: the whole set back under its stored names, byte for byte; a
# container of another password in the middle fails alone.
"${nbnx[@]}" encrypt --password-file wrong -o set/out/other.nbnx set/two.txt >/dev/null 2>&1 </dev/null
mv set/out/other.nbnx set/other.nbnx
rm set/one.txt set/two.txt set/three.txt
run_case "set: decrypt with a wrong password for one" 1 \
    "nbnx: set/other.nbnx: wrong password" \
    decrypt --password-file pw set/one.nbnx set/other.nbnx set/two.nbnx set/three.nbnx
for name in one two three; do
    check "set: $name round trip" cmp -s "set/$name.txt" "set/$name.orig"
done
check "set: decrypted lines" \
    [ "$(tr -d '\r' <out.txt)" = "$(printf 'set/%s.txt written\n' one two three)" ]
run_case "set: decrypt into a folder" 0 "" decrypt --password-file pw -o set/out set/one.nbnx set/three.nbnx
check "set: into the folder" cmp -s set/out/three.txt set/three.orig
cp set/one.nbnx set/out/one.nbnx
run_case "set: two containers of one stored name" 2 \
    "set/one.nbnx and set/out/one.nbnx would both be written to set/out/one.txt" \
    decrypt --password-file pw -o set/out/ set/one.nbnx set/out/one.nbnx

# A fault in the second of three, over containers the user already had
# (--force): the first is written, the second's old container stays byte for
# byte, and so does the third's when the fault ends the set. Ctrl+C and kill
# -9 end it; a write fault fails the second alone.
mkdir set/stop
printf 'first' >set/stop/first.txt
truncate -s 400M set/stop/second.bin
printf 'third' >set/stop/third.txt
start_set() {
    rm -f set/stop/*.nbnx set/stop/*.incomplete
    cp abc.nbnx set/stop/second.nbnx
    cp abc.nbnx set/stop/third.nbnx
    "${nbnx[@]}" encrypt --force --password-file pw set/stop/first.txt set/stop/second.bin \
        set/stop/third.txt >out.txt 2>err.txt </dev/null &
    pid=$!
    check "set $1: the second job was under way" wait_for_growth set/stop/second.nbnx.incomplete
}
start_set INT
kill -INT "$pid"
wait_bounded "$pid"
got=$?
check "set INT: exit $got" [ "$got" = 130 ]
check "set INT: message" has "stopped; nothing of set/stop/second.bin was kept; 1 file not started" err.txt
check "set INT: nothing new but the first" only_files set/stop first.txt first.nbnx second.bin \
    second.nbnx third.txt third.nbnx
check "set INT: the first written" [ "$(tr -d '\r' <out.txt)" = "set/stop/first.nbnx written" ]
for name in second third; do
    check "set INT: the old $name container unchanged" cmp -s "set/stop/$name.nbnx" abc.nbnx
done
start_set KILL
kill -KILL "$pid"
wait "$pid" 2>/dev/null
check "set KILL: at most the temporary file is new" [ -z "$(ls set/stop | grep -vxE \
    'first\.(txt|nbnx)|second\.(bin|nbnx|nbnx\.incomplete)|third\.(txt|nbnx)')" ]
check "set KILL: the first written" [ "$(tr -d '\r' <out.txt)" = "set/stop/first.nbnx written" ]
for name in second third; do
    check "set KILL: the old $name container unchanged" cmp -s "set/stop/$name.nbnx" abc.nbnx
done
(
    trap '' XFSZ
    ulimit -f 100
    rm -f set/stop/*.incomplete set/stop/first.nbnx
    cp abc.nbnx set/stop/third.nbnx
    "${nbnx[@]}" encrypt --force --password-file pw set/stop/first.txt set/stop/second.bin \
        set/stop/third.txt >out.txt 2>err.txt </dev/null
    echo $? >status.txt
)
check "set write fault: status" same_text status.txt 1
check "set write fault: the second named" has "Error during encryption: " err.txt
check "set write fault: the old second container unchanged" cmp -s set/stop/second.nbnx abc.nbnx
check "set write fault: the first and third written" \
    [ "$(tr -d '\r' <out.txt)" = "$(printf 'set/stop/%s.nbnx written\n' first third)" ]
check "set write fault: nothing else new" only_files set/stop first.txt first.nbnx second.bin \
    second.nbnx third.txt third.nbnx
rm -f set/stop/second.bin

if $native; then
    # A FIFO in a set fails alone, at once; * is an ordinary name character.
    mkfifo set/pipe.txt
    case_bound=20
    run_case "set: a FIFO" 1 "nbnx: set/pipe.txt: not a regular file" \
        encrypt --force --password-file pw set/one.orig set/pipe.txt
    case_bound=60
    check "set: the file beside the FIFO" [ "$(cat out.txt)" = "set/one.nbnx written" ]
    if [ "$(id -u)" != 0 ]; then # root reads any file
        cp set/two.orig set/locked.txt
        chmod 000 set/locked.txt
        run_case "set: a file without read permission" 1 \
            "nbnx: set/locked.txt: file not found or inaccessible" \
            encrypt --force --password-file pw set/locked.txt set/three.orig
        check "set: the file after it" [ "$(cat out.txt)" = "set/three.nbnx written" ]
    fi
    run_case "no wildcards here" 1 "nbnx: set/*.txt: file not found or inaccessible" \
        encrypt --password-file pw 'set/*.txt'
else
    # nbnx.exe expands * and ? itself: files only, sorted, folder part as written.
    mkdir wild wild/folder.txt
    for name in b.txt a.txt c.pdf report1.doc report22.doc; do printf '%s' "$name" >"wild/$name"; done
    run_case "wildcards: *" 0 "" encrypt --password-file pw 'wild/*.txt'
    check "wildcards: sorted files, no folder" \
        [ "$(tr -d '\r' <out.txt)" = "$(printf 'wild/a.nbnx written\nwild/b.nbnx written')" ]
    run_case "wildcards: ? is one character" 0 "" encrypt --password-file pw 'wild/report?.doc'
    check "wildcards: ? output" [ "$(tr -d '\r' <out.txt)" = "wild/report1.nbnx written" ]
    run_case "wildcards: with plain names" 0 "" encrypt --password-file pw 'wild\?.pdf' wild/report22.doc
    check "wildcards: the folder part as written" \
        [ "$(tr -d '\r' <out.txt)" = "$(printf 'wild\\c.nbnx written\nwild/report22.nbnx written')" ]
    run_case "wildcards: no match" 1 "*.xls: file not found or inaccessible" \
        encrypt --password-file pw 'wild/*.xls'
    run_case "wildcards: an option's value stays as typed" 1 "cannot read the password from p?" \
        encrypt --password-file 'p?' -o wild/never.nbnx wild/a.txt
    check "wildcards: nothing else written" only_files wild a.txt a.nbnx b.txt b.nbnx c.pdf c.nbnx \
        folder.txt report1.doc report1.nbnx report22.doc report22.nbnx
fi

if $native; then
    # On a terminal the progress line gives the file's number in the set and
    # the whole set's share: the second of two equal files starts at half.
    mkdir progress
    for name in first second; do
        printf '%s' "$name" >"progress/$name.bin" # not all zeros: those are refused
        truncate -s 20M "progress/$name.bin"
    done
    # The rate and time left show only after a moment, so they are not asked
    # for; where they show, they follow the percentage.
    set_shares() {
        awk '/^\[1\/2\]/ { first++; if ($2 + 0 > 50) bad = 1 }
             /^\[2\/2\]/ { second++; if ($2 + 0 < 50) bad = 1 }
             /^\[/ { if (NF != 2 && $0 !~ /^\[[12]\/2\] +[0-9]+%  +[0-9.]+ MB\/s +[0-9]+ s left$/) bad = 1 }
             END { exit !(first && second && !bad) }' "$1"
    }
    timeout -k 5 80 python3 "$script_dir/terminal_output.py" "${nbnx[@]}" encrypt --no-check \
        --password-file pw progress/first.bin progress/second.bin >progress.txt 2>err.txt
    check "set progress: done" has "status 0" progress.txt
    check "set progress: numbers and the set's share ($(grep -c / progress.txt) lines)" \
        set_shares progress.txt
    timeout -k 5 80 python3 "$script_dir/terminal_output.py" "${nbnx[@]}" decrypt \
        --password-file pw -o progress/copy.bin progress/first.nbnx >progress.txt 2>err.txt
    check "single progress: done" has "status 0" progress.txt
    check "single progress: no number in the line" \
        eval 'grep -q "%.*s left" progress.txt && ! grep -q "^\[" progress.txt'
    rm -f progress/*
fi

# A stop signal at the password prompt, on a terminal of its own: the
# status, and the terminal's echo back on.
if $native; then
    for entry in INT:130 TERM:143 HUP:129 QUIT:131; do
        signal=${entry%%:*}
        status=${entry##*:}
        timeout -k 5 40 python3 "$script_dir/prompt_signal.py" "$signal" \
            "${nbnx[@]}" encrypt -o prompt.nbnx abc.txt >prompt.txt 2>err.txt
        check "SIG$signal at the prompt: status and echo ($(cat prompt.txt))" \
            same_text prompt.txt "$status 1"
    done
    check "a stop at the prompt writes nothing" absent prompt.nbnx
fi

# One password from every source: the window made latin1.nbnx with the bytes
# of "mötörhead" (one per UTF-16 unit), and each way of giving that password
# here must open it.
printf 'm\xc3\xb6t\xc3\xb6rhead\n' >pw-utf8
printf '\xef\xbb\xbfm\xc3\xb6t\xc3\xb6rhead\r\n' >pw-mark
printf '\xff\xfem\0\xf6\0t\0\xf6\0r\0h\0e\0a\0d\0\r\0\n\0' >pw-utf16le
printf '\xfe\xff\0m\0\xf6\0t\0\xf6\0r\0h\0e\0a\0d' >pw-utf16be
printf 'm\xf6t\xf6rhead\n' >pw-latin1
for source in utf8 mark utf16le utf16be latin1; do
    run_case "password as $source" 0 "" decrypt --password-file "pw-$source" \
        -o "latin1-$source.out" "$data_dir/golden/latin1.nbnx"
done
check "every source gives one password" cmp -s latin1-utf8.out latin1-utf16be.out
# The window's container for résumé.txt restores under that very name (UTF-8
# on this disk, whichever build writes it), and encrypting it again gives the
# window's bytes back.
mkdir names
cp "$data_dir/golden/latin1.nbnx" names/
run_case "a Latin-1 stored name restored" 0 "" decrypt --password-file pw-utf8 names/latin1.nbnx
check "under its own name" [ -f $'names/r\xc3\xa9sum\xc3\xa9.txt' ]
run_case "and encrypted again" 0 "" encrypt --password-file pw-utf8 -o names/again.nbnx \
    $'names/r\xc3\xa9sum\xc3\xa9.txt'
check "into the window's container" cmp -s names/again.nbnx "$data_dir/golden/latin1.nbnx"

# A name beyond Latin-1 (Polish, Japanese, a character outside the BMP): every
# build writes the same container for it (unicode-name.nbnx, made by nbnx on
# Linux), restores it under that name and says so in UTF-8.
unicode_name=$'\xc5\x81\xc3\xb3d\xc5\xba \xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e \xf0\x9f\x98\x80.txt'
mkdir unicode
printf 'lodz' >"unicode/$unicode_name"
run_case "a name beyond Latin-1" 0 "" encrypt --password-file pw -o unicode/made.nbnx \
    "unicode/$unicode_name"
check "the same container from every build" cmp -s unicode/made.nbnx "$data_dir/golden/unicode-name.nbnx"
rm "unicode/$unicode_name"
run_case "restored beside the container" 0 "" decrypt --password-file pw unicode/made.nbnx
check "under the very name" same_text "unicode/$unicode_name" lodz
check "and named so in UTF-8" has "$unicode_name written" out.txt

# A path of more than 300 characters, as source and as destination.
deep=$(printf 'folder-%043d/' 1 2 3 4 5 6)
mkdir -p "$deep"
cp abc.txt "${deep}abc.txt"
run_case "a long source path" 0 "" encrypt --password-file pw "${deep}abc.txt"
rm "${deep}abc.txt"
run_case "a long destination path" 0 "" decrypt --password-file pw "${deep}abc.nbnx"
check "round trip at ${#PWD}+${#deep} characters" cmp -s "${deep}abc.txt" abc.txt

# Eight characters of two UTF-8 bytes each are eight characters, not sixteen.
printf '\xc3\xa9%.0s' 1 2 3 4 5 6 7 8 >pw-eight
run_case "eight accented characters" 0 "" encrypt --password-file pw-eight -o eight.nbnx abc.txt
run_case "and they open it again" 0 "" decrypt --password-file pw-eight -o eight.txt eight.nbnx
check "eight accented characters round trip" cmp -s eight.txt abc.txt

# The strong container, at a low cost (the header says which) but for one
# case: a passphrase past version 1's 15 characters, any size, empty included.
export NB_STRONG_COST=8192,1,1
printf 'correct horse battery staple\n' >passphrase
printf 'not the right passphrase\n' >wrong-phrase
mkdir strong strong/out
header_hex() { od -An -tx1 -j"$2" -N"$3" "$1" | tr -d ' \n'; }
size_of() { stat -c %s "$1"; }
# name | plain size | container size (1200 + size + 16 per 65,536-byte chunk, one at least)
while IFS='|' read -r name size container; do
    head -c "$size" /dev/urandom >"strong/$name.bin"
    for check_flag in --check --no-check; do
        flag=${check_flag#--check}
        run_case "strong $name $check_flag: encrypt" 0 "" encrypt --strong $flag \
            --password-file passphrase -o "strong/$name$check_flag.nbnx" "strong/$name.bin"
        run_case "strong $name $check_flag: decrypt" 0 "" decrypt --password-file passphrase \
            -o "strong/out/$name$check_flag" "strong/$name$check_flag.nbnx"
        check "strong $name $check_flag: round trip" cmp -s "strong/out/$name$check_flag" "strong/$name.bin"
        check "strong $name $check_flag: $container bytes" \
            [ "$(size_of "strong/$name$check_flag.nbnx")" = "$container" ]
    done
done <<'CASES'
empty|0|1216
three|3|1219
one chunk|65536|66752
two chunks|65537|66769
CASES
check "the cost NB_STRONG_COST asked for, in the header" \
    [ "$(header_hex strong/three--check.nbnx 44 20)" = 0101000000200000010000000100000000000000 ]

# One case at the default cost: 256 MiB, 3 passes, 4 lanes.
unset NB_STRONG_COST
run_case "default cost: encrypt" 0 "" encrypt --strong --password-file passphrase \
    -o strong/default.nbnx strong/three.bin
run_case "default cost: decrypt" 0 "" decrypt --password-file passphrase \
    -o strong/out/default strong/default.nbnx
export NB_STRONG_COST=8192,1,1
check "default cost: round trip" cmp -s strong/out/default strong/three.bin
check "default cost: in the header" \
    [ "$(header_hex strong/default.nbnx 48 12)" = 000004000300000004000000 ]

# A passphrase is taken in NFC: typed with combining accents it opens the
# container written from the composed one, from a UTF-8 password file.
printf 'p\xc3\xa4ssw\xc3\xb6rd-\xce\xa9-42\n' >phrase-nfc
printf 'pa\xcc\x88sswo\xcc\x88rd-\xce\xa9-42\n' >phrase-nfd
run_case "non-ASCII passphrase: encrypt" 0 "" encrypt --strong --password-file phrase-nfc \
    -o strong/accents.nbnx strong/three.bin
run_case "non-ASCII passphrase typed decomposed" 0 "" decrypt --password-file phrase-nfd \
    -o strong/out/accents strong/accents.nbnx
check "non-ASCII passphrase: round trip" cmp -s strong/out/accents strong/three.bin

# A set shares one derivation: one salt (bytes 64..95), a file nonce of its
# own each (bytes 96..127). On a terminal the derivation is noted once.
mkdir strong/set
for name in one two three; do head -c 70000 /dev/urandom >"strong/set/$name.bin"; done
set_command=(encrypt --strong --password-file passphrase strong/set/one.bin strong/set/two.bin
    strong/set/three.bin)
if $native; then
    timeout -k 5 80 python3 "$script_dir/terminal_output.py" "${nbnx[@]}" "${set_command[@]}" \
        >strong/set.txt 2>err.txt
    check "strong set: done" has "status 0" strong/set.txt
    check "strong set: one derivation noted, for the first file" \
        [ "$(grep deriving strong/set.txt)" = "[1/3] deriving the key (Argon2id, 8 MiB)..." ]
else
    run_case "strong set: encrypt" 0 "" "${set_command[@]}"
fi
salts=$(for name in one two three; do header_hex "strong/set/$name.nbnx" 64 32; echo; done | sort -u | wc -l)
nonces=$(for name in one two three; do header_hex "strong/set/$name.nbnx" 96 32; echo; done | sort -u | wc -l)
check "strong set: one salt, three file nonces" [ "$salts:$nonces" = 1:3 ]
mkdir strong/set/back
run_case "strong set: decrypt" 0 "" decrypt --password-file passphrase -o strong/set/back \
    strong/set/one.nbnx strong/set/two.nbnx strong/set/three.nbnx
for name in one two three; do
    check "strong set: $name round trip" cmp -s "strong/set/back/$name.bin" "strong/set/$name.bin"
done

# Containers that do not open: the kind of fault, exit 1, nothing left but
# what was there. A flipped byte in the last chunk fails after the first
# chunk was written: that is removed too.
mkdir strong/bad strong/bad/folder
cp "strong/two chunks--check.nbnx" strong/bad/whole.nbnx
head -c 1210 strong/bad/whole.nbnx >strong/bad/header-only.nbnx
head -c 66768 strong/bad/whole.nbnx >strong/bad/one-short.nbnx
cp strong/bad/whole.nbnx strong/bad/last-chunk.nbnx
flip_byte strong/bad/last-chunk.nbnx 66760
cp strong/bad/whole.nbnx strong/bad/memory.nbnx # 4 TiB asked for
printf '\xff' | dd of=strong/bad/memory.nbnx bs=1 seek=51 conv=notrunc status=none
cp strong/bad/whole.nbnx strong/bad/cipher.nbnx
printf '\x02' | dd of=strong/bad/cipher.nbnx bs=1 seek=45 conv=notrunc status=none
head -c 5000 /dev/urandom >strong/bad/random.nbnx
bad_files=$(ls -A strong/bad)
run_table <<'CASES'
strong: wrong passphrase|1|strong/bad/whole.nbnx: wrong password, or the header was changed|decrypt --password-file wrong-phrase -o strong/bad/out strong/bad/whole.nbnx
strong: wrong passphrase beside|1|strong/bad/whole.nbnx: wrong password, or the header was changed|decrypt --password-file wrong-phrase strong/bad/whole.nbnx
strong: cut to its header|1|strong/bad/header-only.nbnx: damaged or incomplete|decrypt --password-file passphrase -o strong/bad/out strong/bad/header-only.nbnx
strong: one byte short|1|strong/bad/one-short.nbnx: damaged or incomplete|decrypt --password-file passphrase -o strong/bad/out strong/bad/one-short.nbnx
strong: a changed last chunk|1|strong/bad/last-chunk.nbnx: damaged or incomplete|decrypt --password-file passphrase -o strong/bad/out strong/bad/last-chunk.nbnx
strong: memory out of range|1|strong/bad/memory.nbnx: unsupported: made with settings outside|decrypt --password-file passphrase -o strong/bad/out strong/bad/memory.nbnx
strong: unknown cipher|1|strong/bad/cipher.nbnx: unsupported: made with settings outside|decrypt --password-file passphrase -o strong/bad/out strong/bad/cipher.nbnx
a folder as a container|1|strong/bad/folder: not a container|decrypt --password-file passphrase -o strong/bad/out strong/bad/folder
a folder, version 1's password|1|strong/bad/folder: not a container|decrypt --password-file pw strong/bad/folder
a random file|1|strong/bad/random.nbnx: not a container|decrypt --password-file passphrase -o strong/bad/out strong/bad/random.nbnx
a random file, version 1's password|1|strong/bad/random.nbnx: not a container|decrypt --password-file pw strong/bad/random.nbnx
version 1 and a longer password|1|abc.nbnx: wrong password|decrypt --password-file passphrase -o strong/bad/out abc.nbnx
CASES
check "failed strong decryptions leave nothing" [ "$(ls -A strong/bad)" = "$bad_files" ]
run_case "strong: a set of faults, one line each" 1 "" decrypt --password-file passphrase \
    -o strong/bad/ strong/bad/random.nbnx strong/bad/whole.nbnx strong/bad/one-short.nbnx abc.nbnx
check "strong set of faults: the kinds" [ "$(tr -d '\r' <err.txt)" = "$(printf '%s\n' \
    'nbnx: strong/bad/random.nbnx: not a container' \
    'nbnx: strong/bad/one-short.nbnx: damaged or incomplete' \
    'nbnx: abc.nbnx: wrong password')" ]
check "strong set of faults: the good one written" cmp -s "strong/bad/two chunks.bin" "strong/two chunks.bin"

# Ctrl+C while the key is derived (at the default cost, long enough to be
# caught): the job ends once the derivation returns, keeping nothing.
if $native; then
    mkdir strong/stop
    for job in "encrypt --strong -o strong/stop/three.nbnx strong/three.bin" \
        "decrypt -o strong/stop/ strong/default.nbnx"; do
        read -ra argv <<<"$job"
        env -u NB_STRONG_COST timeout -k 5 40 python3 "$script_dir/prompt_signal.py" --at "deriving the key" \
            INT "${nbnx[@]}" "${argv[0]}" --password-file passphrase "${argv[@]:1}" >prompt.txt 2>err.txt
        check "Ctrl+C while deriving (${argv[0]}): status ($(cat prompt.txt))" same_text prompt.txt "130 1"
        check "Ctrl+C while deriving (${argv[0]}): the note was shown" [ ! -s err.txt ]
        check "Ctrl+C while deriving (${argv[0]}): nothing kept" [ -z "$(ls -A strong/stop)" ]
    done
fi
unset NB_STRONG_COST

# A kernel attribute file: its size on disk (4096) is not its length.
attribute=/sys/class/net/lo/address
if $native && [ -r "$attribute" ]; then
    mkdir attr
    run_case "a kernel attribute file" 1 "address: The file changed while it was read" \
        encrypt --password-file pw -o attr/address.nbnx "$attribute"
    check "a kernel attribute file: nothing written" only_files attr
elif $native; then
    echo "skipped: no $attribute here"
fi

# -- ends the options: a file whose name starts with a dash.
mkdir dash
printf 'dash\n' >dash/-x.txt
(cd dash && "${nbnx[@]}" encrypt --password-file ../pw -- -x.txt >../out.txt 2>../err.txt)
check "-- ends the options: encrypted" [ -f dash/-x.nbnx ]
(cd dash && "${nbnx[@]}" decrypt --password-file ../pw -o copy.txt -- -x.nbnx >../out.txt 2>../err.txt)
check "-- ends the options: decrypted" cmp -s dash/-x.txt dash/copy.txt
run_case "an option after -- is a file" 1 "file not found" encrypt --password-file pw -- --force

# A reader that goes away before the message (nbnx ... 2>&1 | true): nbnx is
# not killed by the closed pipe, says the job failed, and the damaged output
# is gone before the message it could not write.
if $native; then
    mkdir closed
    cp "$data_dir/containers/damaged-body.nbnx" closed/
    { sleep 0.3; "${nbnx[@]}" decrypt --password-file pw closed/damaged-body.nbnx; } 2>&1 | true
    status=${PIPESTATUS[0]}
    check "closed message pipe: exit 1, not killed ($status)" [ "$status" -eq 1 ]
    check "closed message pipe: no damaged output kept" only_files closed damaged-body.nbnx
fi

# On Linux two names that differ in case are two files; Windows' file
# systems make them one.
if $native; then
    mkdir case
    printf 'lower\n' >case/a
    run_case "-o A for a file a" 0 "" encrypt --password-file pw -o case/A case/a
    check "-o A for a file a: both kept" only_files case a A
fi

# The prompt as a shell with job control runs it: Ctrl+Z gives the terminal
# its echo back while nbnx is stopped, and fg asks again with echo off;
# Ctrl+D at the empty prompt says no password was given.
if $native; then
    mkdir prompt
    printf 'typed\n' >prompt/typed.txt
    timeout -k 5 40 python3 "$script_dir/prompt_session.py" suspend password \
        "${nbnx[@]}" encrypt prompt/typed.txt >prompt.txt 2>err.txt
    check "Ctrl+Z at the prompt: stopped, echo on, asked again, echo off, done ($(cat prompt.txt))" \
        same_text prompt.txt "1 1 1 0 0"
    check "Ctrl+Z at the prompt: the container written" [ -f prompt/typed.nbnx ]
    timeout -k 5 40 python3 "$script_dir/prompt_session.py" eof "${nbnx[@]}" decrypt \
        prompt/typed.nbnx >prompt.txt 2>err.txt
    check "Ctrl+D at the prompt: exit 2" [ "$(head -c 1 prompt.txt)" = 2 ]
    check "Ctrl+D at the prompt: said so" has "no password was given" prompt.txt
fi

# A password pipe is read up to its first line, not to its end; Ctrl+C while
# nbnx waits for a FIFO's writer ends it as a stop.
if $native; then
    timeout -k 5 20 "${nbnx[@]}" encrypt --force --password-file <(printf 'password\n'; sleep 30) \
        -o prompt/piped.nbnx prompt/typed.txt >out.txt 2>err.txt
    status=$?
    check "a password pipe held open: done at once ($status)" [ "$status" -eq 0 ]
    mkfifo prompt/fifo
    "${nbnx[@]}" encrypt --password-file prompt/fifo -o prompt/never.nbnx prompt/typed.txt \
        >out.txt 2>err.txt &
    waiting=$!
    sleep 1
    kill -INT "$waiting"
    wait "$waiting"
    status=$?
    check "Ctrl+C while waiting for a password FIFO: 130 ($status)" [ "$status" -eq 130 ]
    check "Ctrl+C while waiting for a password FIFO: nothing written" absent prompt/never.nbnx
fi

echo "cli: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
