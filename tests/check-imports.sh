#!/bin/sh
# Checks that the program imports only DLLs that NT 4.0 has and asks for subsystem 4.0.
exe=$1
dump=$(i686-w64-mingw32-objdump -p "$exe") || exit 1
status=0
allowed="ADVAPI32.dll COMDLG32.dll GDI32.dll KERNEL32.dll LZ32.dll msvcrt.dll USER32.dll"
for dll in $(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
    ok=0
    for a in $allowed; do
        [ "$(printf '%s' "$dll" | tr a-z A-Z)" = "$(printf '%s' "$a" | tr a-z A-Z)" ] && ok=1
    done
    if [ $ok = 0 ]; then echo "unexpected import: $dll"; status=1; else echo "import: $dll"; fi
done
printf '%s\n' "$dump" | grep -Eq '^MajorSubsystemVersion[[:space:]]+4$' || { echo "subsystem major version is not 4"; status=1; }
printf '%s\n' "$dump" | grep -Eq '^MinorSubsystemVersion[[:space:]]+0$' || { echo "subsystem minor version is not 0"; status=1; }
printf '%s\n' "$dump" | grep -Eq '^Subsystem[[:space:]]+0*2[[:space:]]' || { echo "not a GUI program"; status=1; }
[ $status = 0 ] && echo "imports and subsystem version fit NT 4.0"
exit $status
