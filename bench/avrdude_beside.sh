#!/bin/bash
# avrdude's ft232r programmer beside pinwright-cli, each on the USB-level virtual FT232R
# (libpinwright_usbchip_preload.so) with the same baud divisor, timed in the bus's virtual time
# (its PINWRIGHT_VIRTUAL_CLOCK line): an ATmega328P written and verified, an ATmega1284P read.
# Usage: bench/avrdude_beside.sh [BUILD_DIR] [AVRDUDE_BITCLOCK]
# (defaults: build, and 4.8kHz, which gives the chip the sample clock of the shipped 19200 baud;
# avrdude's -B 10kHz is already too fast for a chip at 1 MHz). pinwright-cli runs at the baud
# whose sample clock avrdude's bit clock gave the chip.
set -euo pipefail
bin=$(cd "${1:-build}/bin" && pwd)
bitclock=${2:-4.8kHz}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
cat > board.conf <<'CONF'
programmer parent "ft232r"
    id = "pinwright"; desc = "Pinwright programmer board";
    reset = 6; sck = 5; sdo = 3; sdi = 7;
;
CONF
srec_cat -generate 0 0x8000 -repeat-string Pinwright -o m328p.hex -intel

# Runs a command on the preloaded chips of bench.ini (given as text); prints its virtual clock line.
timed() {
  printf '%b' "$1" > bench.ini
  shift
  rm -f clock.txt
  if ! LD_PRELOAD="$bin/libpinwright_usbchip_preload.so" \
    PINWRIGHT_VIRTUAL_BENCH=bench.ini PINWRIGHT_VIRTUAL_CLOCK=clock.txt "$@" > tool.txt 2>&1; then
    cat tool.txt >&2
    echo "failed: $*" >&2
    exit 1
  fi
  cat clock.txt
}

# The virtual seconds a clock line shows.
seconds_of() { sed -n 's/^seconds=\([0-9.]*\).*/\1/p' <<< "$1"; }
# How many times longer the first clock line's run took than the second's.
ratio() { awk -v a="$(seconds_of "$1")" -v p="$(seconds_of "$2")" 'BEGIN { printf "%.2f", a / p }'; }
# The baud value whose sample clock (16 × baud) a clock line shows.
baud_of() { sed -n 's/.*sample_rate=\([0-9]*\).*/\1/p' <<< "$1" | awk '{ printf "%d", $1 / 16 }'; }

avrdude=(avrdude -C +board.conf -c pinwright -P usb -B "$bitclock")
cli=("$bin/pinwright-cli")
m328p='[AVR]\nPart=ATmega328P\n'
m1284p='[AVR]\nPart=ATmega1284P\n'

a=$(timed "$m328p" "${avrdude[@]}" -p m328p -U flash:w:m328p.hex:i)
baud=$(baud_of "$a")
p=$(timed "$m328p" "${cli[@]}" --baud "$baud" avr write-flash m328p.hex)
echo "ATmega328P write+verify, avrdude -B $bitclock:  $a"
echo "ATmega328P write+verify, pinwright --baud $baud: $p"
echo "  avrdude takes $(ratio "$a" "$p") times as long"
a=$(timed "$m1284p" "${avrdude[@]}" -p m1284p -U flash:r:out.hex:i)
p=$(timed "$m1284p" "${cli[@]}" --baud "$baud" avr read-flash out.hex)
echo "ATmega1284P read, avrdude -B $bitclock:          $a"
echo "ATmega1284P read, pinwright --baud $baud:         $p"
echo "  avrdude takes $(ratio "$a" "$p") times as long"
