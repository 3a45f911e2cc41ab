#!/bin/sh
# Regenerates the HEX fixtures of the hexfile tests with other tools' writers.
# Needs Debian's gcc-avr, avr-libc, gputils and srecord. Run from anywhere.
set -eu
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# avr-gcc + avr-objcopy: code at 0, a hole, a table at 0x1F000 (extended segment records).
avr-gcc -mmcu=atmega2560 -Os -o "$work/blink.elf" avr-blink.c -Wl,--section-start=.fartable=0x1F000
avr-objcopy -O ihex -R .eeprom "$work/blink.elf" avr-flash.hex
avr-objcopy -O ihex -j .eeprom --change-section-lma .eeprom=0x100 "$work/blink.elf" avr-eeprom.hex
# srec_cat's reading of the first 512 bytes, holes as 0xFF: what the tests expect in the image.
srec_cat avr-flash.hex -Intel -fill 0xFF 0 0x200 -crop 0 0x200 -o avr-flash-low.bin -Binary

# gpasm: INHX8M (no address records) and INHX32 (extended linear address records).
gpasm -a inhx8m -o "$work/pic8.hex" pic-blink.asm
gpasm -a inhx32 -o "$work/pic32.hex" pic-blink.asm
cp "$work/pic8.hex" pic-inhx8m.hex
cp "$work/pic32.hex" pic-inhx32.hex

# srec_cat: holes, the last words of a 64 K-word image, linear and segment records; and
# the same file with lower-case digits.
srec_cat -generate 0x0000 0x0040 -repeat-data 0x11 0x22 0x33 0x44 \
         -generate 0x0400 0x0410 -repeat-string 'Pinwright HEX!..' \
         -generate 0x1FFE0 0x20000 -constant 0xA5 \
         -o srec-linear.hex -Intel
srec_cat srec-linear.hex -Intel -o srec-segment.hex -Intel -address-length=3
tr 'A-F' 'a-f' < srec-linear.hex > srec-lower.hex
# A byte image that ends exactly at 64 KiB.
srec_cat -generate 0x0010 0x0014 -repeat-data 1 2 3 4 \
         -generate 0xFFF0 0x10000 -constant 0x5A \
         -o srec-eeprom.hex -Intel

# Beyond 128 KiB, the ATmega2560's upper bank: avr-objcopy's table at 0x3F000 (segment record
# 0x3000) and srec_cat's bytes at 0x20000 and up to the last byte (linear records 0002, 0003).
avr-gcc -mmcu=atmega2560 -Os -o "$work/far.elf" avr-blink.c -Wl,--section-start=.fartable=0x3F000
avr-objcopy -O ihex -R .eeprom "$work/far.elf" avr-flash-far.hex
srec_cat -generate 0x20000 0x20004 -repeat-data 9 8 7 6 \
         -generate 0x3FFF0 0x40000 -constant 0xC3 \
         -o srec-far.hex -Intel
