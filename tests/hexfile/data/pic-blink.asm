; A small PIC16F628A program with ID locations, a configuration word and data EEPROM,
; so that its HEX file fills all three images of the PIC layout. Built by make-fixtures.sh.
        list    p=16f628a
        include <p16f628a.inc>
        errorlevel -302         ; banks are set by hand below
        __config _INTOSC_OSC_NOCLKOUT & _WDT_OFF & _LVP_OFF & _MCLRE_ON
        __idlocs 0x1234

        org     0x0000
        goto    start
        org     0x0004
        retfie
start   bsf     STATUS, RP0
        clrf    TRISB
        bcf     STATUS, RP0
loop    movlw   0x01
        xorwf   PORTB, F
        goto    loop

        org     0x2100
        de      0x01, 0x02, 0x03, 0x55
        end
