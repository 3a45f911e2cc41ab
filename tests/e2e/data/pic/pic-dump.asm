; Program words, ID words, a configuration word and data memory for every 14-bit type of
; PIC.ini (gpasm -p TYPE). CONFIG and TOP (a word near the end of program memory) are given by make-fixtures.sh. Plain
; data words: what the chip runs does not matter, every image location must round-trip.
        errorlevel -1302
        __config CONFIG
        __idlocs 0x1A2B

        org     0x0000
        dw      0x2804, 0x0000, 0x3FFF, 0x1234, 0x0ABC, 0x3FFE, 0x2000, 0x1555
        dw      0x2AAA, 0x0001, 0x0100, 0x3F00, 0x00FF, 0x1F1F, 0x2E2E, 0x0C0C
        dw      0x3333, 0x0F0F
        org     TOP
        dw      0x3210, 0x0123, 0x1111
        org     0x2100
        de      0x01, 0x02, 0x03, 0x55, 0xAA, 0x00, 0xFF, 0x7E, 0x81
        end
