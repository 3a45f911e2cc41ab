; Program words of a baseline type (gpasm -p TYPE): no data memory; the configuration word
; is written with write-config. The last program word holds the factory calibration and is
; left alone.
        org     0x0000
        dw      0xA04, 0x000, 0xFFF, 0x234, 0xABC, 0xFFE, 0x800, 0x555
        dw      0xAAA, 0x001, 0x100, 0xF00, 0x0FF, 0xF1F, 0xE2E
        org     TOP
        dw      0x321, 0x123
        end
