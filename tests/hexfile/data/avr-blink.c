/* A small ATmega2560 program whose image has a hole and a table past the first 64 KiB,
   and EEPROM contents. Built by make-fixtures.sh; the HEX tests know the table and the
   EEPROM bytes. */
#include <avr/eeprom.h>
#include <avr/io.h>
#include <avr/pgmspace.h>
#include <stdint.h>

/* make-fixtures.sh places this section at byte address 0x1F000 (word 0xF800). */
const uint8_t far_table[16] __attribute__((section(".fartable"), used)) = {
    0x01, 0x04, 0x07, 0x0A, 0x0D, 0x10, 0x13, 0x16, 0x19, 0x1C, 0x1F, 0x22, 0x25, 0x28, 0x2B, 0x2E};

uint8_t EEMEM settings[6] = {0xDE, 0xAD, 0xBE, 0xEF, 0x12, 0x34};

int main(void) {
  DDRB = 0x80;
  for (;;) {
    PORTB ^= 0x80;
    for (volatile uint16_t i = 0; i < 50000; ++i) {
    }
  }
}
