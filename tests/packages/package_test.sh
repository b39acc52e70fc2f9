#!/bin/bash
# The three packages as a user gets them: the Linux package of nbnx, the
# portable zip and the installer (both under Wine).
# Usage: package_test.sh DIST_DIR PROBE_EXE, inside scripts/wine-session.sh
# with a prefix of its own, since the installer writes into it.
set -u
dist=$(cd "$1" && pwd)
probe=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
# The one place the version is set: every package must carry it.
version=$(sed -n 's/^project(NBNimbra VERSION \([0-9.]*\) .*/\1/p' \
    "$(dirname "$0")/../../CMakeLists.txt")
[ -n "$version" ] || { echo "package tests: no project version found"; exit 1; }
wine=/usr/lib/wine/wine64
# The packaged programs must find the crypto DLLs beside them, not through a
# path that a build's test runner sets.
unset WINEPATH
objdump=x86_64-w64-mingw32-objdump
command -v "$objdump" >/dev/null || { echo "package tests: no $objdump"; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/nbnimbra-packages.XXXXXX")
trap 'rm -rf "$work"' EXIT

failures=0
check() {
    local what=$1
    shift
    if "$@"; then
        echo "ok    $what"
    else
        echo "FAIL  $what"
        failures=$((failures + 1))
    fi
}
# Wine's console output ends its lines with CR LF.
win() { "$wine" "$@" </dev/null 2>&1 | tr -d '\r'; }
contains() { grep -qF -- "$2" <<<"$1"; }
has_line() { grep -qxF -- "$2" <<<"$1"; }
# Wine sees the Unix root as drive Z:.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
# The current user's registry, as text.
user_registry() {
    "$wine" reg export HKCU "$(windows_path "$work/hkcu.reg")" /y >/dev/null 2>&1 </dev/null
    iconv -f UTF-16 -t UTF-8 "$work/hkcu.reg"
}
# A value's data as reg query shows it (the default value when NAME is empty).
registry_value() { # KEY [NAME]
    local which=(/ve)
    [ -n "${2:-}" ] && which=(/v "$2")
    win reg query "$1" "${which[@]}" | sed -n 's/^    .*    REG_SZ    //p'
}
registry_has() { "$wine" reg query "$1" >/dev/null 2>&1 </dev/null; }
# Only a key that is not there: a query that fails for another reason is no
# proof of absence.
registry_lacks() {
    contains "$(win reg query "$1")" "Unable to find"
}
# Explorer's keys, all under HKLM for all users.
classes='HKLM\Software\Classes'
progid="$classes\NBNimbra.Container"
encrypt_verb="$classes\*\shell\NBNimbra.Encrypt"
decrypt_verb="$progid\shell\NBNimbra.Decrypt"
# The class both verbs drop their selection on, as the program defines it.
verb_class=$(sed -n 's/.*shellVerbClassText\[\] = L"\({[-0-9A-F]*}\)";$/\1/p' \
    "$(dirname "$0")/../../app/ShellVerb.h")
[ -n "$verb_class" ] || { echo "package tests: no verb class found"; exit 1; }
verb_class_key="$classes\\CLSID\\$verb_class"
our_keys=("$classes\.nbnx" "$progid" "$encrypt_verb" "$verb_class_key")
resource_id() { # NAME: its number in the program's resource header
    sed -n "s/^#define $1 \([0-9]*\)$/\1/p" "$(dirname "$0")/../../resources/ResourceIds.h"
}
document_icon=$(resource_id NB_ICON_DOCUMENT)
program_icon=$(resource_id NB_ICON_PROGRAM)
[ -n "$document_icon" ] && [ -n "$program_icon" ] ||
    { echo "package tests: no icon ids found"; exit 1; }
# Waits up to 60 s for a condition, for programs that go on after wine returns.
eventually() {
    for _ in $(seq 1 120); do
        "$@" && return 0
        sleep 0.5
    done
    return 1
}
# The crypto DLLs and their licence, in a folder of a package.
crypto_dlls=(libgcrypt-20.dll:gcry_check_version libgpg-error-0.dll:gpgrt_check_version)
check_crypto_dlls() { # FOLDER
    local folder=$1 entry dll loaded licence
    for entry in "${crypto_dlls[@]}"; do
        dll=${entry%%:*}
        check "$dll lies beside the programs" test -f "$folder/$dll"
        check "$dll is stripped" eval \
            '"$objdump" --syms "$folder/$dll" 2>&1 | grep -qx "no symbols"'
        # From there, with nothing but the package's folder to find its imports in.
        loaded=$(win "$probe" library "$(windows_path "$folder/$dll")" "${entry#*:}")
        echo "   $dll: $loaded"
        check "$dll loads from there and reports its version" \
            grep -qxE 'version [0-9]+\.[0-9]+(\.[0-9]+)?' <<<"$loaded"
    done
    licence=$folder/LICENSE-libgcrypt.txt
    check "their licence LICENSE-libgcrypt.txt comes with them" eval \
        'grep -q "GNU LESSER GENERAL PUBLIC LICENSE" "$licence" &&
         grep -q "Version 2.1, February 1999" "$licence" &&
         grep -qF "https://sources.debian.org/src/libgcrypt20/" "$licence" &&
         grep -qF "https://sources.debian.org/src/libgpg-error/" "$licence" &&
         grep -qF "Upstream-Name: libgpg-error" "$licence" &&
         grep -qF "Library: Libgcrypt" "$licence"'
}
round_trip() { # NBNX... : encrypts and decrypts a file in the current folder
    head -c 200000 /dev/urandom >plain.bin
    printf 'packaged1\n' >pw
    "$@" encrypt --password-file pw -o box.nbnx plain.bin >/dev/null 2>&1 </dev/null &&
        "$@" decrypt --password-file pw -o back.bin box.nbnx >/dev/null 2>&1 </dev/null &&
        cmp -s plain.bin back.bin
}

echo "== nbnx_${version}_amd64.deb"
deb=$dist/nbnx_${version}_amd64.deb
contents=$(dpkg-deb -c "$deb")
check "holds /usr/bin/nbnx" contains "$contents" "./usr/bin/nbnx"
check "holds the manual page" contains "$contents" "./usr/share/man/man1/nbnx.1.gz"
check "names package, version and architecture" \
    test "$(dpkg-deb -f "$deb" Package Version Architecture | tr '\n' ' ')" = \
    "Package: nbnx Version: $version Architecture: amd64 "
depends=$(dpkg-deb -f "$deb" Depends)
echo "   Depends: $depends"
check "depends on the C library" contains "$depends" "libc6"
check "depends on libgcrypt" grep -qE '(^|, )libgcrypt20( |,|$)' <<<"$depends"
check "depends on libunistring" grep -qE '(^|, )libunistring[0-9]+( |,|$)' <<<"$depends"
root=$work/root
dpkg-deb -x "$deb" "$root"
page=$(MANWIDTH=80 man -l "$root/usr/share/man/man1/nbnx.1.gz" 2>&1)
check "man -l renders the page" contains "$page" "nbnx - "
check "the page tells the exit status" contains "$page" "130"
check "packaged nbnx --version" test "$("$root/usr/bin/nbnx" --version)" = "nbnx $version"
mkdir -p "$work/deb" && cd "$work/deb" || exit 1
check "packaged nbnx round-trips a file" round_trip "$root/usr/bin/nbnx"

echo "== NBNimbra-${version}-win64.zip"
cd "$work" || exit 1
cmake -E tar xf "$dist/NBNimbra-${version}-win64.zip"
portable=$work/NBNimbra-${version}-win64
check "unpacks the two programs and the note" \
    test -f "$portable/NBNimbra.exe" -a -f "$portable/nbnx.exe" -a -f "$portable/PORTABLE.txt"
check_crypto_dlls "$portable"
cd "$portable" || exit 1
check "nbnx.exe --version from the unpacked folder" \
    test "$(win ./nbnx.exe --version)" = "nbnx $version"
check "nbnx.exe round-trips a file there" round_trip "$wine" ./nbnx.exe
run=$(win "$probe" run "$(windows_path "$portable/NBNimbra.exe")")
echo "   $(tr '\n' ' ' <<<"$run")"
check "NBNimbra.exe starts from the unpacked folder and closes" \
    eval 'contains "$run" "version $version" && contains "$run" "closed with exit code 0"'
settings=$(user_registry)
check "it left no settings behind" eval 'contains "$settings" "[HKEY_CURRENT_USER\\Software" &&
    ! grep -qi nimbra <<<"$settings"'
# It has no installer, so Explorer must not know it.
for key in "${our_keys[@]}"; do
    for hive in HKLM HKCU; do
        check "registers no ${key/#HKLM/$hive}" registry_lacks "${key/#HKLM/$hive}"
    done
done

echo "== NBNimbra-${version}-setup.exe"
folder="$WINEPREFIX/drive_c/Program Files/NB Nimbra Vexal Edition"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/NB Nimbra Vexal Edition"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\NB Nimbra Vexal Edition'
win "$dist/NBNimbra-${version}-setup.exe" /S
check "silent install finishes" eventually test -f "$folder/Uninstall.exe"
for file in NBNimbra.exe nbnx.exe README.md; do
    check "installs $file" test -f "$folder/$file"
done
check_crypto_dlls "$folder"
shortcut=$(win "$probe" shortcut "$(windows_path "$menu/NB Nimbra Vexal Edition.lnk")")
echo "   $(tr '\n' ' ' <<<"$shortcut")"
check "Start menu shortcut to NBNimbra.exe" \
    contains "$shortcut" 'target C:\Program Files\NB Nimbra Vexal Edition\NBNimbra.exe'
check "the shortcut's program has its icon and the documents' icon" has_line "$shortcut" "icons 2"
entry=$(win reg query "$key")
check "uninstall entry with name and version" \
    eval 'contains "$entry" "DisplayName    REG_SZ    NB Nimbra Vexal Edition" &&
          contains "$entry" "DisplayVersion    REG_SZ    $version" &&
          contains "$entry" "UninstallString"'
check "installed nbnx.exe --version" test "$(win "$folder/nbnx.exe" --version)" = "nbnx $version"
run=$(win "$probe" run 'C:\Program Files\NB Nimbra Vexal Edition\NBNimbra.exe')
echo "   $(tr '\n' ' ' <<<"$run")"
check "installed NBNimbra.exe shows its window and version" \
    eval 'contains "$run" "version $version" && contains "$run" "closed with exit code 0"'

for explorer_key in "${our_keys[@]}"; do
    win reg query "$explorer_key" /s | sed -n 's/^./   &/p'
done
program='C:\Program Files\NB Nimbra Vexal Edition\NBNimbra.exe'
open_command="\"$program\" \"%1\" %*"
# KEY|VALUE NAME (empty: the default value)|DATA
registered=(
    "$classes\\.nbnx||NBNimbra.Container"
    "$progid||NB Nimbra encrypted file"
    "$progid\\DefaultIcon||\"$program\",-$document_icon"
    "$progid\\shell\\open\\command||$open_command"
    "$decrypt_verb||Decrypt with NB Nimbra"
    "$decrypt_verb|MultiSelectModel|Player"
    "$decrypt_verb\\DropTarget|CLSID|$verb_class"
    "$encrypt_verb||Encrypt with NB Nimbra"
    "$encrypt_verb|MultiSelectModel|Player"
    "$encrypt_verb|Icon|\"$program\",-$program_icon"
    "$encrypt_verb\\DropTarget|CLSID|$verb_class"
    "$verb_class_key\\LocalServer32||\"$program\""
)
for row in "${registered[@]}"; do
    IFS='|' read -r reg_key reg_name reg_data <<<"$row"
    check "registers ${reg_key#"$classes\\"} ${reg_name:-(default)} = $reg_data" \
        test "$(registry_value "$reg_key" "$reg_name")" = "$reg_data"
done
# A command beside the drop target would be started once per file again.
for verb_key in "$decrypt_verb" "$encrypt_verb"; do
    check "${verb_key#"$classes\\"} has no command" registry_lacks "$verb_key\\command"
done
# The registered icons must be in the installed program, in every size.
for location in "$(registry_value "$progid\\DefaultIcon")" \
    "$(registry_value "$encrypt_verb" Icon)"; do
    icon=$(win "$probe" icon "$location")
    echo "   $(tr '\n' ' ' <<<"$icon")"
    check "the icon $location is there in 16, 32, 48 and 256 pixels" \
        eval 'has_line "$icon" "shell loads it yes" && has_line "$icon" "sizes 16 32 48 256"'
done

# A person double-clicks a container: Windows starts the program through the
# class. Started in the background, since the program outlives the starter.
letter="$work/my letter.nbnx"
printf 'not opened, only shown\n' >"$letter"
"$wine" start /unix "$letter" </dev/null >/dev/null 2>&1
opened=$(win "$probe" opened)
echo "   $(tr '\n' ' ' <<<"$opened")"
check "a .nbnx opens in the program on the Decrypt tab with its path" \
    eval 'has_line "$opened" "tab 1" && has_line "$opened" "source $(windows_path "$letter")" &&
          has_line "$opened" "closed with exit code 0"'
# The verbs as Explorer runs them on a selection: the class their
# DropTarget names is created (COM starts the program to serve it) and the
# files are dropped on it together.
report="$work/annual report.txt"
budget="$work/budget.txt"
minutes="$work/minutes.nbnx"
printf 'plain words\n' >"$report"
printf 'more words\n' >"$budget"
printf 'not opened, only shown\n' >"$minutes"
# VERB KEY (below HKEY_CLASSES_ROOT)|FILES, ;-separated|TAB|SOURCE BOX
verb_cases=(
    "*\\shell\\NBNimbra.Encrypt|$report|0|$(windows_path "$report")"
    "*\\shell\\NBNimbra.Encrypt|$report;$budget|0|\"annual report.txt\" \"budget.txt\""
    "NBNimbra.Container\\shell\\NBNimbra.Decrypt|$letter;$minutes|1|\"my letter.nbnx\" \"minutes.nbnx\""
)
for row in "${verb_cases[@]}"; do
    IFS='|' read -r verb_key verb_files expected_tab expected_source <<<"$row"
    IFS=';' read -r -a unix_files <<<"$verb_files"
    files=()
    for file in "${unix_files[@]}"; do
        files+=("$(windows_path "$file")")
    done
    # Into a file: the program COM starts would hold a pipe open while it runs.
    "$wine" "$probe" verb "$verb_key" "${files[@]}" </dev/null >"$work/verb.txt" 2>&1
    dropped=$(tr -d '\r' <"$work/verb.txt")
    echo "   $(tr '\n' ' ' <<<"$dropped")"
    opened=$(win "$probe" opened)
    echo "   $(tr '\n' ' ' <<<"$opened")"
    check "${verb_key##*.} on ${#files[@]} file(s) opens them in one window as one set" \
        eval 'has_line "$dropped" "drop of ${#files[@]} files taken" &&
              has_line "$opened" "tab $expected_tab" &&
              has_line "$opened" "source $expected_source" &&
              has_line "$opened" "closed with exit code 0"'
done

win "$folder/Uninstall.exe" /S
for file in libgcrypt-20.dll libgpg-error-0.dll LICENSE-libgcrypt.txt; do
    check "silent uninstall removes $file" eventually test ! -e "$folder/$file"
done
check "and the folder" eventually test ! -e "$folder"
check "and the Start menu folder" test ! -e "$menu"
check "and the uninstall entry" eval '! "$wine" reg query "$key" >/dev/null 2>&1'
for explorer_key in "${our_keys[@]}"; do
    check "and ${explorer_key#"$classes\\"}" registry_lacks "$explorer_key"
done
check "but not the verbs of every file" registry_has "$classes\\*\\shell"

# Another program took .nbnx after the install: the uninstaller leaves it.
win "$dist/NBNimbra-${version}-setup.exe" /S
check "installs again" eventually test -f "$folder/Uninstall.exe"
win reg add "$classes\\.nbnx" /ve /d Other.Document /f >/dev/null
win "$folder/Uninstall.exe" /S
check "uninstalls again" eventually test ! -e "$folder"
check "a .nbnx taken over by another program keeps its class" \
    test "$(registry_value "$classes\\.nbnx")" = Other.Document
for explorer_key in "$progid" "$encrypt_verb" "$verb_class_key"; do
    check "while ${explorer_key#"$classes\\"} goes" registry_lacks "$explorer_key"
done

if [ "$failures" -ne 0 ]; then
    echo "package tests: $failures failed"
    exit 1
fi
echo "package tests: all passed"
