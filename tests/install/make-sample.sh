#!/bin/sh
# Writes the copy tests' samples into directory $1: SAMPLE.BIN (text and every byte
# value, repetitive enough for back-references) and SAMPLE.BI_, the same compressed in
# the LZ format the platform expands, checked by expanding it again.
set -e
dir=$1
mkdir -p "$dir"
cd "$dir"
{
    seq 1 4000 | sed 's/$/ wheel mouse driver sample line/'
    LC_ALL=C awk 'BEGIN { for (r = 0; r < 16; r++) for (i = 0; i < 256; i++) printf "%c", i }'
} > SAMPLE.BIN
rm -f SAMPLE.BIN_ SAMPLE.BI_
mscompress SAMPLE.BIN
mv SAMPLE.BIN_ SAMPLE.BI_
msexpand < SAMPLE.BI_ 2>/dev/null | cmp -s - SAMPLE.BIN || { echo "compressed sample does not expand back" >&2; exit 1; }
