#!/bin/sh
# Regenerates the HEX fixtures of the end-to-end PIC tests. Needs gputils (gpasm). Run from anywhere.
set -eu
cd "$(dirname "$0")"
# dump TYPE CONFIG TOP: program words at 0 and TOP, IDs, configuration word, data memory.
dump() { gpasm -p "$1" -D CONFIG="$2" -D TOP="$3" -o "$1.hex" pic-dump.asm; }
dump 16f84a 0x3FF1 0x3F0
dump 16f627a 0x3F21 0x3F0
dump 16f628a 0x3F21 0x7F0
dump 16f648a 0x3F21 0xFF0
dump 16f873a 0x3F71 0xFF0
dump 16f874a 0x3F71 0xFF0
dump 16f876a 0x3F71 0x1FF0
dump 16f877a 0x3F71 0x1FF0
# Baseline parts: program words only, below the calibration word.
gpasm -p 12f508 -D TOP=0x1F0 -o 12f508.hex pic-baseline.asm
gpasm -p 12f509 -D TOP=0x3F0 -o 12f509.hex pic-baseline.asm
rm -f ./*.cod ./*.lst
