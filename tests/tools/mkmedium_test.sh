#!/usr/bin/env bash
# mkmedium builds a medium that the checker accepts and whose files come back byte for
# byte, with the uninstaller and its script added; a description the setup could not
# install whole is refused before anything is written.
#
#   mkmedium_test.sh MKMEDIUM_PY WINE_RUN MEDIUMCHECK_EXE
set -u
mkmedium=$1 wine_run=$2 checker=$3
work=$(mktemp -d /tmp/mkmedium.XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
dos() { echo "Z:${1//\//\\}"; } # the Windows path Wine gives a Unix path
ok() { echo "ok   $*"; }

# A payload with files of every kind: large and compressible, a few bytes (which
# mscompress would corrupt), empty, noise that does not compress, marked plain, and one
# for each kind of target.
payload=$work/payload
mkdir -p "$payload/HELP" "$payload/SYS" "$payload/WIN"
seq 1 3000 >"$payload/BIG.TXT"
printf 'ten bytes!' >"$payload/TINY.INI"
: >"$payload/EMPTY.DAT"
head -c 5000 /dev/urandom >"$payload/HELP/NOISE.BIN"
printf 'plain %.0s' {1..30} >"$payload/HELP/KEEP.HLP"
printf 'utility %.0s' {1..30} >"$payload/TOOL.EXE"
uninst=$work/uninstal.exe # the program the builder adds to every medium
printf 'uninstaller %.0s' {1..30} >"$uninst"
mk() { "$mkmedium" "$@" --uninstaller "$uninst"; }
printf 'driver %.0s' {1..30} >"$payload/SYS/DRV.SYS"
printf '[Settings]\r\nOn=1\r\n%.0s' {1..20} >"$payload/WIN/SETTINGS.INI"

desc=$work/medium.txt
cat >"$desc" <<'DESC'
# A test medium
product        Test Mouse
default-path   TESTMS
minimum-space  64
title          Test Mouse Setup
utility        TOOL.EXE
control-panel  TOOL.EXE
main           Mfg=Tester
dir RootDir    .
dir SubDir1    HELP
dir WinSystemDir SYS
dir WinDir     WIN

disk Test Mouse Disk 1
file BIG.TXT      RootDir       : Numbers
file TINY.INI     RootDir       : A few bytes
file EMPTY.DAT    RootDir       : Nothing at all
file TOOL.EXE     RootDir       : Utility
disk Test Mouse Disk 2
file NOISE.BIN    SubDir1       : Noise that does not compress
file KEEP.HLP     SubDir1 plain : Kept plain
file DRV.SYS      WinSystemDir keep : Driver
file SETTINGS.INI WinDir        : Settings
item TOOL.EXE, Test Mouse, 0
DESC

out=$work/medium
log=$(mk "$desc" "$out" --payload "$payload" 2>&1) || fail "build: $log"

# Each file on the medium under the name the script gives, SZDD exactly when it is
# stored compressed, and its content back byte for byte.
expect_file() { # stored-path compressed(1/0) original
    local stored=$out/$1
    if [ ! -f "$stored" ]; then fail "$1 is not on the medium"; return; fi
    local magic
    magic=$(head -c 4 "$stored")
    if [ "$2" = 1 ]; then
        [ "$magic" = SZDD ] || { fail "$1 is not compressed"; return; }
        msexpand <"$stored" 2>/dev/null | cmp -s - "$3" || { fail "$1 does not expand to $3"; return; }
    else
        [ "$magic" != SZDD ] || { fail "$1 is compressed"; return; }
        cmp -s "$stored" "$3" || { fail "$1 differs from $3"; return; }
    fi
    # And through the platform's own expansion service, as the setup copies it.
    rm -f "$work/lz.out"
    "$wine_run" expand "$(dos "$stored")" "$(dos "$work/lz.out")" >/dev/null 2>&1
    cmp -s "$work/lz.out" "$3" || { fail "$1 does not come back whole through LZ32"; return; }
    ok "$1 comes back whole"
}
expect_file BIG.TX_ 1 "$payload/BIG.TXT"
expect_file TINY.INI 0 "$payload/TINY.INI"
expect_file EMPTY.DAT 0 "$payload/EMPTY.DAT"  # msexpand makes one byte of it
expect_file TOOL.EX_ 1 "$payload/TOOL.EXE"
expect_file UNINSTAL.EX_ 1 "$uninst"
expect_file HELP/NOISE.BIN 0 "$payload/HELP/NOISE.BIN" # compressed it would grow
expect_file HELP/KEEP.HLP 0 "$payload/HELP/KEEP.HLP"
expect_file SYS/DRV.SY_ 1 "$payload/SYS/DRV.SYS"
expect_file WIN/SETTINGS.IN_ 1 "$payload/WIN/SETTINGS.INI"

inf=$(tr -d '\r' <"$out/SETUP.INF")
for line in "2=TINY.INI, +TINY.INI, +A few bytes, +RootDir" "1=NOISE.BIN, +NOISE.BIN," \
            "Disk1=6" "Disk2=4" "5=UNINSTAL.EX_, +UNINSTAL.EXE, .*RootDir" "6=UNINSTAL.INF, +UNINSTAL.INF, .*RootDir" "ProductName=Test Mouse" "Mfg=Tester" "WinSystemDir=SYS" \
            "FileName=TOOL.EXE" "1=TOOL.EXE, Test Mouse, 0"; do
    grep -Eq "^$line" <<<"$inf" || fail "SETUP.INF lacks /$line/"
done
grep -q $'\r$' "$out/SETUP.INF" && ok "SETUP.INF has CR LF line ends" || fail "SETUP.INF line ends"
# UNINSTAL.INF: SETUP.INF and the files the uninstaller keeps (DRV.SYS, disk 2 line 3).
printf '\r\n[Uninstall]\r\n; Files the uninstaller leaves installed: disk, line of that disk.\r\nKeep1=2,3\r\n' |
    cat "$out/SETUP.INF" - | cmp -s - "$out/UNINSTAL.INF" &&
    ok "UNINSTAL.INF is SETUP.INF with the kept files" || fail "UNINSTAL.INF: $(cat "$out/UNINSTAL.INF")"

# The checker, reading with the setup's own reader, finds nothing to flag.
report=$("$wine_run" "$checker" --strict "$out" 2>&1)
status=$?
if [ $status = 0 ] && grep -q "0 error(s), 0 warning(s)" <<<"$report"; then
    ok "the checker accepts the medium"
else
    fail "the checker (exit $status):"; sed 's/^/    /' <<<"$report"
fi

# A second build writes the same medium.
first=$(cd "$out" && find . -type f -exec md5sum {} + | sort)
mk "$desc" "$out" --payload "$payload" >/dev/null 2>&1
[ "$(cd "$out" && find . -type f -exec md5sum {} + | sort)" = "$first" ] &&
    ok "a second build writes the same medium" || fail "a second build differs"

# Descriptions the setup could not install whole are refused, and nothing is written.
refuse() { # name pattern sed-expression
    local bad=$work/bad.txt badout=$work/badmedium msg
    sed -e "$3" "$desc" >"$bad"
    rm -rf "$badout"
    if msg=$(${4:-mk} "$bad" "$badout" --payload "$payload" 2>&1); then
        fail "$1: accepted"
    elif ! grep -Eq -- "$2" <<<"$msg"; then
        fail "$1: want /$2/ in: $msg"
    elif [ -e "$badout" ]; then
        fail "$1: wrote a medium"
    else
        ok "$1 is refused"
    fi
}
refuse "a name over 14 characters" "LONGER_THAN_14.TXT' is longer than 14" \
    's/^file BIG.TXT /file LONGER_THAN_14.TXT /'
refuse "an unknown directory key" "unknown directory key 'SubDir7'" 's/NOISE.BIN    SubDir1/NOISE.BIN SubDir7/'
refuse "a key without a dir line" "directory key SubDir1 has no dir line" '/^dir SubDir1/d'
refuse "a file absent from the payload" "GONE.TXT does not exist" 's/^file BIG.TXT /file GONE.TXT /'
refuse "a comma in a description" "a comma would split" 's/: Numbers/: Numbers, mostly/'
refuse "a description over 61 characters" "description longer than 61" \
    "s/: Numbers/: $(printf 'n%.0s' {1..62})/"
refuse "a product name too long for the caption" "caption .* is longer than 79" \
    "s/^product .*/product $(printf 'P%.0s' {1..70})/"
refuse "a minimum space out of range" "outside 0 to 32767" 's/^minimum-space .*/minimum-space 40000/'
refuse "a file before the first disk" "file before the first disk" '0,/^disk /{/^disk /d}'
refuse "two files to one place" "^mkmedium: $work/bad.txt:16: BIG.TXT: installed to the same place as line 15$" \
    's/^file TINY.INI .*/file BIG.TXT RootDir : Again/' # one message for one mistake
refuse "seven disks" "7 disks" '$a disk 3\nfile A RootDir : a\ndisk 4\nfile B RootDir : b\ndisk 5\nfile C RootDir : c\ndisk 6\nfile D RootDir : d\ndisk 7\nfile E RootDir : e'
refuse "an unknown word" "unknown word 'colour'" '$a colour blue'
refuse "the uninstaller named by the description" "UNINSTAL.EXE is the builder's own" \
    '$a file UNINSTAL.EXE RootDir : Mine'
refuse "a medium without an uninstaller" "no uninstaller" 's/^#.*//' "$mkmedium"
refuse "a sub-directory whose parent is not created" "cannot create .HELP.EN., its parent" 's/^dir SubDir1 .*/dir SubDir1 HELP\\EN/'

# A nested sub-directory whose parent the setup creates first is laid out nested.
nested=$work/nested.txt
sed -e 's/^dir SubDir1 .*/dir SubDir1 HELP/' -e 's/^dir WinDir .*/dir WinDir WIN\\NT/' \
    -e '/^dir SubDir1/a dir SubDir2 HELP\\EN' -e 's/^file KEEP.HLP .*/file KEEP.HLP SubDir2 plain : Kept plain/' \
    "$desc" >"$nested"
mkdir -p "$payload/HELP/EN" "$payload/WIN/NT"
cp "$payload/HELP/KEEP.HLP" "$payload/HELP/EN/" && cp "$payload/WIN/SETTINGS.INI" "$payload/WIN/NT/"
if mk "$nested" "$work/nested" --payload "$payload" >/dev/null 2>&1 &&
   [ -f "$work/nested/HELP/EN/KEEP.HLP" ] && [ -f "$work/nested/WIN/NT/SETTINGS.IN_" ] &&
   grep -q 'SubDir2=HELP\\EN' "$work/nested/SETUP.INF" &&
   "$wine_run" "$checker" --strict "$work/nested" >/dev/null 2>&1; then
    ok "nested directories are laid out nested, and the checker accepts them"
else
    fail "nested directories"
fi

# One rule set: the builder refuses a description exactly when the checker (--strict)
# rejects the medium written from it all the same (--unchecked); a refusal names the
# description's line.
mkdir -p "$payload/HELP/EN" && cp "$payload/HELP/NOISE.BIN" "$payload/HELP/KEEP.HLP" "$payload/HELP/EN/"
cp "$payload/BIG.TXT" "$payload/LONGER_THAN_14.TXT"
verdicts() { # want name sed-expression
    local case=$work/case.txt caseout=$work/case built checked msg
    sed -e "$3" "$desc" >"$case"
    rm -rf "$caseout"
    if msg=$(mk "$case" "$caseout" --payload "$payload" 2>&1); then built=complete; else
        built=refused
        grep -Eq "$case:[0-9]+: " <<<"$msg" || fail "$2: the refusal names no line: $msg"
    fi
    rm -rf "$caseout"
    mk "$case" "$caseout" --payload "$payload" --unchecked >/dev/null 2>&1 || { fail "$2: not written"; return; }
    if "$wine_run" "$checker" --strict "$caseout" >"$work/check.log" 2>&1; then checked=complete; else checked=refused; fi
    if [ "$built" = "$1" ] && [ "$checked" = "$1" ]; then
        ok "$2: builder and checker say $1"
    else
        fail "$2: want $1, builder $built, checker $checked:"
        tr -d '\r' <"$work/check.log" | grep -E "error|warning" | sed 's/^/    /'
    fi
}
verdicts complete "the description as it is" ''
verdicts complete "no resident utility, no control panel" '/^utility/d; /^control-panel/d'
verdicts refused "a description over 61 characters" "s/: Numbers/: $(printf 'n%.0s' {1..62})/"
verdicts refused "a product name too long for the caption" "s/^product .*/product $(printf 'P%.0s' {1..70})/"
verdicts refused "a minimum space out of range" 's/^minimum-space .*/minimum-space 40000/'
verdicts refused "two files to one place" 's/^file TINY.INI .*/file BIG.TXT RootDir : Again/'
verdicts refused "a sub-directory whose parent is not created" 's/^dir SubDir1 .*/dir SubDir1 HELP\\EN/'
verdicts refused "an unused sub-directory that cannot be created" '$a dir SubDir3 NO\\SUCH'
verdicts refused "a utility the medium does not install" 's/^utility .*/utility GONE.EXE/'
verdicts refused "a default path that does not fit" "s/^default-path .*/default-path $(printf 'D%.0s' {1..70})/"
verdicts refused "a target path too long" 's/^default-path .*/default-path TEST MOUSE FOR THE OFFICE AND THE HOME\\VERSION 1.20/'
verdicts refused "a disk label over 39 characters" "s/^disk Test Mouse Disk 1/disk $(printf 'L%.0s' {1..45})/"
verdicts refused "a name over 14 characters" 's/^file BIG.TXT /file LONGER_THAN_14.TXT /'
verdicts refused "eleven program items" "\$a $(printf 'item TOOL.EXE, Test Mouse, 0\\n%.0s' {1..10})"
verdicts refused "a group name over 127 characters" "\$a group-name $(printf 'G%.0s' {1..130})"

# The medium as a disc image: the same files under the same names, labelled after disk 1.
if mk "$desc" "$out" --payload "$payload" --iso "$work/medium.iso" >/dev/null 2>&1; then
    listed=$(xorriso -indev "$work/medium.iso" -find / -type f 2>/dev/null | tr -d "'" | sed 's|^/||' | tr a-z A-Z | sort)
    folder=$(cd "$out" && find . -type f | sed 's|^\./||' | tr a-z A-Z | sort)
    [ -n "$listed" ] && [ "$listed" = "$folder" ] && ok "the image holds the medium's files" ||
        fail "the image lists: $listed; the folder: $folder"
    xorriso -indev "$work/medium.iso" -pvd_info 2>/dev/null | grep -q "^Volume Id *: TEST MOUSE DISK 1$" &&
        ok "the image is labelled after disk 1" || fail "volume label"
else
    fail "--iso wrote no image"
fi

[ $failures = 0 ] && echo "all builder cases passed"
exit $((failures > 0))
