#!/usr/bin/env bash
# The README's first command without a display: tools/demo.sh walks the wizard, installs
# the demo medium completely, closes the running utility on the second walk, removes the
# package again with its uninstaller, saves a PNG of every step and leaves no process of
# its prefix behind.
#
#   demo_test.sh SOURCE_DIR BUILD_DIR
set -u
source_dir=$1 build_dir=$2
out=$(BUILD_DIR=$build_dir "$source_dir/tools/demo.sh" --headless 2>&1)
status=$?
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
[ $status = 0 ] || fail "tools/demo.sh ended with $status"
for want in "Destination: C:.Program Files.VELAN" "18 of 18 files in place" "16 of 16 values present" \
            "The utility received the setup's close request and ended" \
            "VWHEEL.EXE +expanded +[0-9]+ bytes +C:.Program Files.VELAN.VWHEEL.EXE" \
            "VWFILTER.SYS +copied +214 bytes +C:.windows.SYSTEM32.DRIVERS.VWFILTER.SYS" \
            "VWMOUSE.SYS: kept" "The prefix is back as it was before the installation"; do
    grep -Eq "$want" <<<"$out" || fail "no /$want/ in the demo's output"
done
shots=$build_dir/demo-shots
for name in backdrop welcome setup-type destination installing finish utility-running uninstall-question uninstall-closing; do
    png=$(ls "$shots"/*-"$name".png 2>/dev/null | head -n 1)
    if [ -z "$png" ]; then
        fail "no screenshot of the $name"
    elif [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" != 89504e470d0a1a0a ]; then
        fail "$png is not a PNG file"
    fi
done
ls "$shots"/*.bmp >/dev/null 2>&1 && fail "BMP files left in $shots"
WINEPREFIX=$build_dir/demo-prefix wineserver -k 2>/dev/null && fail "a Wine server of the demo prefix was still running"
if [ $failures != 0 ]; then
    echo "--- output of tools/demo.sh:"
    echo "$out"
fi
exit $((failures > 0))
