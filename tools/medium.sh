#!/usr/bin/env bash
# Lays out an installation medium: the program, its SETUP.INF (and LOGO.BMP when there is
# one) and every file that the script's disk sections name, in the sub-directory that the
# script's DirectoryName gives for the file's directory key.
#
#   tools/medium.sh SOURCE_DIR OUT_DIR SETUP_EXE
#
# SOURCE_DIR holds SETUP.INF, optionally LOGO.BMP, and payload/ with every file plain,
# under its directory name, named as installed. A source name that ends in an underscore
# (VWMOUSE.SY_) is stored compressed; every compressed file is expanded again and
# compared, and one that does not come back whole (mscompress corrupts inputs of 1 to 15
# bytes) is stored plain under the same name, which the expansion service copies as is.
set -euo pipefail
src=$1 out=$2 exe=$3
inf=$src/SETUP.INF
rm -rf "$out"
mkdir -p "$out"
cp "$exe" "$inf" "$out/"
[ -f "$src/LOGO.BMP" ] && cp "$src/LOGO.BMP" "$out/"

# One line per file: directory name, source name, target name.
files=$(awk '
    { sub(/\r$/, ""); sub(/^[ \t]+/, ""); sub(/[ \t]+$/, "") }
    /^;/ || $0 == "" { next }
    /^\[.*\]$/ { section = tolower(substr($0, 2, length($0) - 2)); next }
    {
        eq = index($0, "=")
        if (!eq) next
        key = substr($0, 1, eq - 1); value = substr($0, eq + 1)
        gsub(/[ \t]+$/, "", key)
        if (section == "directoryname") dir[tolower(key)] = value
        else if (section ~ /^disk[1-6]$/) { n++; line[n] = value }
    }
    END {
        for (i = 1; i <= n; i++) {
            count = split(line[i], f, ",")
            for (j = 1; j <= 4; j++) { gsub(/^ +| +$/, "", f[j]) }
            if (f[1] == "") continue
            d = dir[tolower(f[4])]
            if (d == "") d = "."
            printf "%s\t%s\t%s\n", d, f[1], f[2]
        }
    }' "$inf")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
while IFS=$'\t' read -r dir name target; do
    [ -n "$name" ] || continue
    mkdir -p "$out/$dir"
    dest=$out/$dir/$name
    if [[ $name == *_ ]]; then
        plain=$src/payload/$dir/$target
        cp "$plain" "$work/file"
        rm -f "$work/file_"
        mscompress "$work/file" >/dev/null
        if msexpand <"$work/file_" 2>/dev/null | cmp -s - "$plain"; then
            cp "$work/file_" "$dest"
        else
            echo "medium: $dir/$name does not expand whole when compressed; stored plain" >&2
            cp "$plain" "$dest"
        fi
    else
        cp "$src/payload/$dir/$name" "$dest"
    fi
done <<<"$files"
