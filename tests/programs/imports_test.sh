#!/bin/bash
# Usage: imports_test.sh OBJDUMP PROGRAM.exe|LIBRARY.dll...
# Each program imports system libraries only: nothing a copy could bring
# along beside it, and no runtime of the compiler (that is linked in). The
# exceptions are the crypto library's two DLLs, which the packages put beside
# the programs: those must lie beside whatever imports them.
set -u
objdump=$1
shift
allowed=" advapi32.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll normaliz.dll ole32.dll shell32.dll user32.dll ws2_32.dll "
shipped=" libgcrypt-20.dll libgpg-error-0.dll "
status=0
for program in "$@"; do
    if ! dump=$("$objdump" -p "$program"); then
        echo "FAIL $program: cannot be read" >&2
        status=1
        continue
    fi
    libraries=$(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
    if [ -z "$libraries" ]; then
        echo "FAIL $program: no imported library found" >&2
        status=1
        continue
    fi
    for library in $libraries; do
        case $library in
        libstdc++*|libgcc*|libwinpthread*)
            echo "FAIL $program imports the compiler's runtime $library" >&2
            status=1
            ;;
        *)
            if [[ $shipped == *" $library "* ]]; then
                if [ ! -f "$(dirname "$program")/$library" ]; then
                    echo "FAIL $program imports $library, which is not beside it" >&2
                    status=1
                fi
            elif [[ $allowed != *" $library "* ]]; then
                echo "FAIL $program imports $library, not a system library" >&2
                status=1
            fi
            ;;
        esac
    done
    echo "$program:" $libraries
done
exit $status
