#!/usr/bin/env bash
# mediumcheck on a small sound medium and on one broken copy of it per flaw: each flaw is
# named in the output, and the exit status says whether the medium installs completely.
#
#   checker_test.sh WINE_RUN MEDIUMCHECK_EXE
#
# The media lie in a short scratch folder: a medium deep in a build tree makes source
# paths longer than the setup holds, which the checker rightly flags.
set -u
wine_run=$1 checker=$2
work=$(mktemp -d /tmp/mediumcheck.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
medium=$work/medium

# The sound medium: two disks, files for the destination, one of its sub-directories and
# the Windows directory, one of them compressed, and the uninstaller.
sound() {
    rm -rf "${work:?}"/*
    mkdir -p "$medium/HELP" "$medium/DRIVERS"
    printf 'Read me first.\r\n%.0s' {1..4} >"$medium/README.TXT"
    printf 'MZ uninstaller stand-in\r\n' >"$medium/UNINSTAL.EXE"
    printf 'MZ utility stand-in\r\n' >"$medium/TMUTIL.EXE"
    printf 'help text %.0s' {1..20} >"$medium/HELP/TM.HLP"
    printf 'driver image %.0s' {1..40} >"$work/TM.SYS"
    (cd "$work" && mscompress TM.SYS && mv TM.SYS_ "$medium/DRIVERS/TM.SY_")
    cat >"$medium/SETUP.INF" <<'INF'
[Main]
ProductName=Test Mouse
DefaultPath=TESTMS
MinimumSpace=100

[DiskLabel]
Disk1=Test Mouse Disk 1
Disk2=Test Mouse Disk 2

[DirectoryName]
RootDir=.
SubDir1=HELP
WinSystem32Dir=DRIVERS

[FileCounts]
Disk1=3
Disk2=2

[Disk1]
1=README.TXT, README.TXT, Read me, RootDir
2=TMUTIL.EXE, TMUTIL.EXE, Utility, RootDir
3=UNINSTAL.EXE, UNINSTAL.EXE, Uninstaller, RootDir

[Disk2]
1=TM.HLP, TM.HLP, Help, SubDir1
2=TM.SY_, TM.SYS, Driver, WinSystem32Dir

[Startup]
FileName=TMUTIL.EXE
ControlPanel=TMUTIL.EXE
Title=Test Mouse Setup
INF
}

# Replaces the whole line that starts with $1 in SETUP.INF by $2 (or deletes it when $2
# is empty); adds $2 under section $3 when no line starts with $1.
setline() {
    local inf=$medium/SETUP.INF
    if grep -q "^$1" "$inf"; then
        if [ -n "$2" ]; then
            awk -v k="$1" -v v="$2" 'index($0, k) == 1 { print v; next } { print }' "$inf" >"$inf.new"
        else
            awk -v k="$1" 'index($0, k) != 1' "$inf" >"$inf.new"
        fi
        mv "$inf.new" "$inf"
    else
        awk -v s="[$3]" -v v="$2" '{ print } $0 == s { print v }' "$inf" >"$inf.new"
        mv "$inf.new" "$inf"
    fi
}

# expect NAME STATUS PATTERN [ARGS...]: runs the checker on the medium (Unix path, as a
# vendor on Linux would) and wants exit STATUS and a line matching PATTERN.
expect() {
    local name=$1 status=$2 pattern=$3
    shift 3
    local out got
    out=$("$wine_run" "$checker" "$@" "$medium" 2>&1)
    got=$?
    out=$(tr -d '\r' <<<"$out")
    if [ "$got" != "$status" ] || ! grep -Eq -- "$pattern" <<<"$out"; then
        echo "FAIL $name: exit $got (want $status), want /$pattern/ in:"
        sed 's/^/    /' <<<"$out"
        failures=$((failures + 1))
    else
        echo "ok   $name"
    fi
}

sound
expect "sound medium" 0 "0 error\(s\), 0 warning\(s\)" --strict
expect "sound medium lists its plan" 0 "2  DRIVERS.TM.SY_ +compressed +520  C:.windows.SYSTEM32.DRIVERS.TM.SYS"

sound; setline "1=README.TXT" "1=README_FIRST.TXT, README.TXT, Read me, RootDir"
expect "source name over 14 characters" 1 "README_FIRST.TXT.* longer than 14 characters"
sound; setline "2=TMUTIL.EXE" "2=TMUTIL.EXE, TEST_MOUSE_UTIL.EXE, Utility, RootDir"
expect "target name over 14 characters" 1 "TEST_MOUSE_UTIL.EXE.* longer than 14 characters"
sound; setline "SubDir1=" "SubDir1=$(printf 'H%.0s' {1..40})"
expect "directory name over 39 characters" 1 "DirectoryName of SubDir1 is longer than 39"
sound; setline "1=TM.HLP" "1=TM.HLP, TM.HLP, Help, SubDir9"
expect "unknown directory key" 1 "unknown directory key \"SubDir9\""
sound; setline "1=TM.HLP" "1=TM.HLP, TM.HLP, Help"
expect "line of three fields" 1 "no directory key"
sound; setline "SubDir1=" ""; mv "$medium/HELP/TM.HLP" "$medium/"
expect "directory key without a name" 0 "SubDir1 has no DirectoryName"
sound; setline "Disk1=3" "Disk1=4"
expect "missing disk line" 1 "\[Disk1\] has no line 4"
sound; setline "Disk2=2" "Disk2=1"
expect "line beyond the file count" 1 "\[Disk2\] holds 1 line\(s\) beyond its FileCounts of 1"
sound; setline "Disk2=2" "Disk2=-2"
expect "negative file count" 1 "FileCounts Disk2 is negative"
sound; setline "Disk2=2" ""
expect "disk without a file count" 1 "FileCounts has no Disk2"
sound; setline "Disk2=2" "Disk2=2 files"
expect "file count not a number" 0 "FileCounts Disk2 \"2 files\" is not a plain number"
sound; setline "Disk2=Test" "Disk3=Test Mouse Disk 3"
expect "disk labels with a gap" 1 "DiskLabel has a gap: Disk2 has no label"
sound; setline "Disk2=Test" ""
expect "disk section never read" 1 "\[Disk2\] holds 2 file line\(s\) the setup never reads"
sound; setline "Disk2=2" "Disk2=40000"
expect "file counts beyond 32767" 1 "add up to 40003"
sound; setline "Disk1=3" "Disk1=0"
expect "disk of no files with lines" 1 "\[Disk1\] holds 3 line\(s\) beyond its FileCounts of 0"
sound; setline "Disk1=Test" "Disk1=$(printf 'L%.0s' {1..45})"
expect "disk label over 39 characters" 0 "Disk1 is 45 characters; the setup keeps the first 39"
sound; setline "ProductName=" "ProductName=$(printf 'P%.0s' {1..70})"
expect "product name too long for the caption" 0 "message caption is cut to 79 characters"
expect "cut caption fails a strict check" 1 "1 warning" --strict
sound; setline "ProductName=" "ProductName=$(printf 'P%.0s' {1..75})"
expect "product name over 71 characters" 0 "ProductName is 75 characters; the setup keeps the first 71"
sound; setline "MinimumSpace=" "MinimumSpace=40000"
expect "minimum space out of range" 0 "MinimumSpace 40000 is outside 0 to 32767"
sound; rm "$medium/HELP/TM.HLP"
expect "source absent" 1 "the source HELP.TM.HLP is not on the medium"
sound; head -c 30 "$medium/DRIVERS/TM.SY_" >"$work/cut" && mv "$work/cut" "$medium/DRIVERS/TM.SY_"
expect "compressed source cut short" 1 "expands to [0-9]+ bytes, not the 520 its header declares"
sound; : >"$work/EMPTY" && (cd "$work" && mscompress EMPTY) && mv "$work/EMPTY_" "$medium/DRIVERS/TM.SY_"
expect "compressed from nothing" 1 "expands to 1 bytes, not the 0 its header declares"
sound; printf 'tiny' >"$work/TINY" && (cd "$work" && mscompress TINY) && mv "$work/TINY_" "$medium/DRIVERS/TM.SY_"
expect "compressed from a few bytes" 0 "mscompress corrupts files of 1 to 15 bytes"
sound; setline "DefaultPath=" "DefaultPath=TEST MOUSE FOR THE OFFICE AND THE HOME\\VERSION 1.20"
expect "target path too long for the default destination" 1 "the target path is [0-9]+ characters; the setup holds 79"
sound
expect "target path too long for a chosen destination" 1 "the target path is" --dest 'C:\A DESTINATION DIRECTORY THAT IS CHOSEN ON THE DESTINATION PAGE\X'
sound; setline "DefaultPath=" "DefaultPath=$(printf 'D%.0s' {1..70})"
expect "default path that does not fit" 0 "does not fit under ProgramFilesDir"
sound; setline "FileName=" "FileName="
expect "package without a resident utility" 0 "no FileName in \[Startup\]: the setup registers no resident utility" --strict
sound; setline "ControlPanel=" "ControlPanel=TMCPL.DLL"
expect "registered file not installed" 0 "this medium installs no file there"
sound; setline "3=UNINSTAL.EXE" "3=UNINSTAL.EXE, UNINSTAL.EXE, Uninstaller, SubDir1"; mv "$medium/UNINSTAL.EXE" "$medium/HELP/"
expect "uninstaller elsewhere" 0 "UninstallString .*UNINSTAL.EXE
 +warning: this medium installs no file there"
sound; setline "1=README.TXT" "1=README.TXT, README.TXT, $(printf 'd%.0s' {1..70}), RootDir"
expect "description over 61 characters" 0 "the description is 70 characters"
sound; setline "1=README.TXT" "1=README.TXT, README.TXT, Read this file first before you install anything else at all, $(printf ' %.0s' {1..40}) RootDir"
expect "line over 127 characters" 1 "the line is [0-9]+ characters; the setup reads the first 127"
sound; setline "1=TM.HLP" "1=README.TXT, README.TXT, Again, RootDir"
expect "two files to one target" 0 "disk 1 line 1 installs the same target"
sound; setline "SubDir1=" "SubDir1=HELP\\EN"; mkdir -p "$medium/HELP/EN" && mv "$medium/HELP/TM.HLP" "$medium/HELP/EN/"
expect "sub-directory whose parent is not created" 1 "its parent directory is not created"
sound; setline "WinSystem32Dir=" "WinDir=DRIVERS"; setline "2=TM.SY_" "2=TM.SY_, TM.SYS, Driver, WinDir"
expect "Windows directory target" 0 "C:.windows.TM.SYS"
sound; setline "RootDir=" "RootDir=MAIN"; mkdir "$medium/MAIN" && mv "$medium"/*.TXT "$medium"/*.EXE "$medium/MAIN/"
expect "root files in a sub-directory the setup creates" 0 "Creates +C:.Program Files.TESTMS.MAIN"
sound; printf 'not a picture' >"$medium/LOGO.BMP"
expect "logo the backdrop does not take" 0 "does not take LOGO.BMP"
sound; cp "$checker" "$medium/TMUTIL.EXE"
expect "a program's version (the only program of the medium)" 0 "^ +version [0-9]+(\.[0-9]+){3}$"
sound; rm "$medium/SETUP.INF"
expect "no script" 1 "there is no .*SETUP.INF"
expect "usage" 2 "usage: mediumcheck" --bogus

[ $failures = 0 ] && echo "all checker cases passed"
exit $((failures > 0))
