#!/bin/sh
# Regenerates the HEX fixtures of the end-to-end AVR tests from avr-program.c, and the
# ATmega328P's ELF file (stripped), which must load as its two HEX files do.
# Needs Debian's gcc-avr and avr-libc. Run from anywhere.
set -eu
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# build MCU NAME MIDDLE TOP EEPROM_TAIL: the flash and EEPROM HEX files of one chip.
#   MIDDLE, TOP: byte addresses of the two far tables; EEPROM_TAIL: the EEPROM tail's address.
build() {
  avr-gcc -mmcu="$1" -Os -o "$work/$2.elf" avr-program.c \
    -Wl,--section-start=.middle="$3" -Wl,--section-start=.top="$4" \
    -Wl,--section-start=.ee_tail=$(printf '0x%X' $((0x810000 + $5)))
  avr-objcopy -O ihex -R .eeprom -R .ee_tail -R .fuse -R .lock -R .signature "$work/$2.elf" "$2-flash.hex"
  avr-objcopy -O ihex -j .eeprom -j .ee_tail --change-section-lma .eeprom=0 \
    --change-section-lma .ee_tail="$5" "$work/$2.elf" "$2-eeprom.hex"
  if [ "$2" = m328p ]; then avr-strip -o "$2.elf" "$work/$2.elf"; fi
}

# ATmega328P: 16 K words, 1 KiB EEPROM.
build atmega328p m328p 0x4000 0x7FC0 0x3F0
# ATmega8A: 4 K words, 512 bytes of EEPROM written byte by byte.
build atmega8a m8a 0x1000 0x1FC0 0x1F0
# ATmega1284P: 64 K words (the middle table crosses byte address 0x10000), 4 KiB EEPROM.
build atmega1284p m1284p 0xFFC0 0x1FFC0 0xFF0
