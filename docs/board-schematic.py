#!/usr/bin/env python3
"""Writes docs/board-schematic.svg, the programmer board's schematic (docs/hardware.md).

The drawing is kept as this text: each block below places symbols and wires; nets that leave a
block carry a name (D0..D7, +5V, VPP, MCLR, VDD_PIC, DATA), and equal names are connected.
Run `python3 docs/board-schematic.py` after a change and commit both files.
"""

import os

W, H = 1240, 940
out = []


def svg(text):
    out.append(text)


def wire(*points):
    path = " ".join(f"{x},{y}" for x, y in points)
    svg(f'<polyline points="{path}" class="w"/>')


def dot(x, y):
    svg(f'<circle cx="{x}" cy="{y}" r="3" class="d"/>')


def text(x, y, s, anchor="start", cls="t"):
    svg(f'<text x="{x}" y="{y}" text-anchor="{anchor}" class="{cls}">{s}</text>')


def net(x, y, name, anchor="start"):
    """A net name at the end of a wire: every wire with the same name is one net."""
    text(x + (4 if anchor == "start" else -4), y + 4, name, anchor, "n")


def resistor(x, y, name, value, vertical=False, length=60):
    """A resistor from (x, y) rightwards, or downwards when vertical; returns the far end."""
    if vertical:
        wire((x, y), (x, y + 15))
        svg(f'<rect x="{x - 6}" y="{y + 15}" width="12" height="{length - 30}" class="p"/>')
        wire((x, y + length - 15), (x, y + length))
        text(x + 10, y + length / 2, f"{name} {value}")
        return x, y + length
    wire((x, y), (x + 15, y))
    svg(f'<rect x="{x + 15}" y="{y - 6}" width="{length - 30}" height="12" class="p"/>')
    wire((x + length - 15, y), (x + length, y))
    text(x + length / 2, y - 10, f"{name} {value}", "middle")
    return x + length, y


def transistor(x, y, name, part, pnp=False):
    """A bipolar transistor whose base is at (x, y); collector and emitter leave at x + 30,
    y ∓ 30 (an NPN's collector is up, a PNP's emitter is up). Returns (up, down) ends."""
    svg(f'<circle cx="{x + 22}" cy="{y}" r="20" class="p"/>')
    wire((x, y), (x + 14, y))
    wire((x + 14, y - 12), (x + 14, y + 12))
    wire((x + 14, y - 6), (x + 30, y - 18), (x + 30, y - 30))
    wire((x + 14, y + 6), (x + 30, y + 18), (x + 30, y + 30))
    if pnp:
        svg(f'<polygon points="{x + 14},{y - 6} {x + 24},{y - 8} {x + 20},{y - 14}" class="d"/>')
    else:
        svg(f'<polygon points="{x + 30},{y + 18} {x + 20},{y + 16} {x + 24},{y + 10}" class="d"/>')
    text(x + 46, y - 2, name)
    text(x + 46, y + 12, part)
    return (x + 30, y - 30), (x + 30, y + 30)


def open_collector(base, base_resistor, part, rail_at, pull_up):
    """An NPN switch to ground: base resistor from `base`, collector pulled up from a rail at
    rail_at = (name, y). Returns the collector, where the switched line leaves."""
    end = resistor(*base, *base_resistor)
    up, down = transistor(*end, *part)
    ground(*down)
    rail(up[0], rail_at[1], rail_at[0])
    resistor(up[0], rail_at[1], *pull_up, vertical=True, length=up[1] - rail_at[1])
    dot(*up)
    return up


def ground(x, y):
    wire((x, y), (x, y + 8))
    wire((x - 10, y + 8), (x + 10, y + 8))
    wire((x - 6, y + 12), (x + 6, y + 12))
    wire((x - 2, y + 16), (x + 2, y + 16))


def rail(x, y, name):
    wire((x - 10, y), (x + 10, y))
    text(x, y - 5, name, "middle", "n")


def capacitor(x, y, name, value):
    """A capacitor from (x, y) down to ground."""
    wire((x, y), (x, y + 16))
    wire((x - 10, y + 16), (x + 10, y + 16))
    wire((x - 10, y + 22), (x + 10, y + 22))
    wire((x, y + 22), (x, y + 34))
    ground(x, y + 34)
    text(x + 14, y + 24, f"{name} {value}")


def block(x, y, w, h, title):
    svg(f'<rect x="{x}" y="{y}" width="{w}" height="{h}" class="b"/>')
    text(x + 8, y + 18, title, cls="h")


def connector(x, y, name, pins):
    """A header: pins top to bottom as (number, net); the nets leave to the left."""
    h = 24 * len(pins) + 10
    svg(f'<rect x="{x}" y="{y}" width="60" height="{h}" class="p"/>')
    text(x + 30, y - 6, name, "middle", "h")
    for i, (number, name_) in enumerate(pins):
        py = y + 20 + 24 * i
        wire((x - 40, py), (x, py))
        text(x + 8, py + 4, str(number))
        net(x - 40, py, name_, "end")


def part(x, y, name, left, right, width=120):
    """A chip: pins as (pin name, net) down its left and right sides, nets outside."""
    h = 24 * max(len(left), len(right)) + 10
    svg(f'<rect x="{x}" y="{y}" width="{width}" height="{h}" class="p"/>')
    text(x + width / 2, y - 6, name, "middle", "h")
    for side, pins in ((0, left), (1, right)):
        for i, (pin, name_) in enumerate(pins):
            py = y + 20 + 24 * i
            edge = x + width * side
            far = edge + (30 if side else -30)
            wire((edge, py), (far, py))
            text(edge + (-6 if side else 6), py + 4, pin, "end" if side else "start")
            net(far, py, name_, "start" if side else "end")


def flash_adapter():
    block(20, 680, 600, 250, "SPI flash adapter on J1 (JP2 closed): 3.3 V chip, 5 V board")
    part(130, 720, "U4 74LVC125A (3.3 V)", [("1A", "D3 MOSI"), ("2A", "D5 SCK"), ("3A", "D6 RESET"),
                                           ("OE#", "GND")],
         [("1Y", "DI"), ("2Y", "CLK"), ("3Y", "/CS")])
    part(130, 860, "U5 74HCT1G125 (5 V)", [("A", "DO")], [("Y", "D7 MISO")])
    part(420, 720, "U6 MCP1700-3.3", [("IN", "VTARGET")], [("OUT", "3V3")], width=80)
    part(420, 820, "U7 25-series flash", [("1 /CS", "/CS"), ("2 DO", "DO"), ("5 DI", "DI"),
                                          ("6 CLK", "CLK")],
         [("8 VCC", "3V3"), ("3 /WP", "3V3"), ("7 /HOLD", "3V3"), ("4 GND", "GND")], width=100)
    text(318, 776, "C6, C7 1 µF at U6; C8 100 nF at U7;")
    text(318, 792, "R16 10k from /CS to 3V3")


def ft232r():
    block(20, 40, 300, 400, "U1 FT232RL (USB, bus powered)")
    svg('<rect x="140" y="70" width="100" height="300" class="p"/>')
    for i in range(8):
        y = 100 + 36 * i
        wire((240, y), (270, y))
        text(232, y + 4, f"D{i}", "end")
        net(270, y, f"D{i}")
    for y, pin, name in ((100, "VCC", "+5V"), (140, "VCCIO", "+5V"), (180, "3V3OUT", "C3"),
                         (220, "USBDP", "USB D+"), (260, "USBDM", "USB D−"), (340, "GND", "GND")):
        wire((100, y), (140, y))
        text(146, y + 4, pin)
        net(100, y, name, "end")
    text(30, 394, "F1 500 mA polyfuse in VBUS; C1 100 nF and")
    text(30, 410, "C2 4.7 µF on VCC; C3 100 nF on 3V3OUT;")
    text(30, 426, "TEST and RESET# as the datasheet shows")


def vpp_supply():
    block(340, 40, 280, 130, "VPP: 13.0 V for the PIC's MCLR")
    svg('<rect x="420" y="70" width="110" height="60" class="p"/>')
    text(475, 95, "U2 MT3608", "middle")
    text(475, 112, "boost, set 13.0 V", "middle")
    wire((380, 100), (420, 100))
    net(380, 100, "+5V", "end")
    wire((530, 100), (570, 100))
    net(570, 100, "VPP")
    capacitor(555, 100, "C4", "10 µF 25 V")


def mclr_stage():
    block(340, 190, 280, 250, "MCLR: D4 = 1 holds reset, D4 = 0 gives VPP")
    wire((380, 330), (400, 330))
    net(380, 330, "D4", "end")
    dot(400, 330)
    wire((400, 330), (400, 290))
    rail(400, 250, "+5V")
    resistor(400, 250, "R2", "22k", vertical=True, length=60)
    up = open_collector((400, 330), ("R1", "10k"), ("Q1", "BC547C"), ("VPP", 230), ("R10", "1k ½ W"))
    wire(up, (up[0] + 90, up[1]))
    net(up[0] + 90, up[1], "MCLR")


def supply_switch():
    block(640, 40, 360, 400, "PIC supply: on when D0 = D2 = 1")
    rail(860, 70, "+5V")
    wire((860, 70), (860, 110))
    dot(860, 110)
    resistor(800, 110, "R8", "10k", length=60)
    up, down = transistor(830, 140, "Q5", "BC327", pnp=True)
    wire((800, 110), (800, 140), (830, 140))
    wire((860, 110), up)
    dot(*down)
    wire(down, (930, down[1]))
    net(930, down[1], "VDD_PIC")
    wire((860, 170), (860, 200))
    resistor(860, 200, "R9", "1k", vertical=True, length=50)
    ground(860, 250)
    dot(915, 170)
    capacitor(915, 170, "C5", "10 µF")
    wire((800, 140), (760, 140))
    resistor(760, 140, "R7", "2.2k", vertical=True, length=80)
    for y, line, q, r in ((260, "D0", "Q3", "R3"), (340, "D2", "Q4", "R5")):
        net(680, y, line, "end")
        resistor(680, y, r, "10k", length=50)
        transistor(730, y, q, "BC547")
    wire((760, 220), (760, 230))
    wire((760, 290), (760, 310))
    ground(760, 370)


def data_stage():
    block(20, 460, 600, 200, "DATA: D3 = 1 pulls PGD / SDA low, D1 reads it")
    net(60, 590, "D3", "end")
    up = open_collector((60, 590), ("R12", "4.7k"), ("Q2", "BC547"), ("+5V", 500), ("R13", "4.7k"))
    wire(up, (400, up[1]))
    net(400, up[1], "DATA")
    dot(300, up[1])
    wire((300, up[1]), (300, 630))
    end = resistor(300, 630, "R14", "1k")
    wire(end, (400, 630))
    net(400, 630, "D1")
    rail(500, 500, "+5V")
    resistor(500, 500, "R15", "4.7k", vertical=True, length=60)
    wire((500, 560), (560, 560))
    net(560, 560, "D7 (SCL)")


def headers():
    block(640, 460, 580, 450, "Targets: one at a time (the headers share D1, D3, D7)")
    connector(720, 500, "J1 AVR ISP-6", [(1, "D7 MISO"), (2, "VTARGET"), (3, "D5 SCK"),
                                         (4, "D3 MOSI"), (5, "D6 RESET"), (6, "GND")])
    connector(720, 700, "J3 PIC ICSP", [(1, "MCLR"), (2, "VDD_PIC"), (3, "GND"),
                                        (4, "DATA PGD"), (5, "D7 PGC"), (6, "n.c. (PGM)")])
    connector(1120, 500, "J2 AVR ISP-10", [(1, "D3 MOSI"), (2, "VTARGET"), (3, "n.c."),
                                           (4, "GND"), (5, "D6 RESET"), (6, "GND"), (7, "D5 SCK"),
                                           (8, "GND"), (9, "D7 MISO"), (10, "GND")])
    connector(1120, 790, "U3 24Cxx DIP-8", [(5, "DATA SDA"), (6, "D7 SCL"), (8, "+5V"),
                                             ("1–4, 7", "GND")])
    text(800, 740, "JP2 closed: +5V to VTARGET")
    text(800, 756, "(only for the SPI flash adapter)")
    text(660, 900, "WP (7) to GND. An AVR target has its own supply: JP2 open.")


def write():
    svg(f'<svg xmlns="http://www.w3.org/2000/svg" width="{W}" height="{H}" viewBox="0 0 {W} {H}">')
    svg("<style>.w{fill:none;stroke:#000;stroke-width:1.5}.p{fill:#fff;stroke:#000;stroke-width:1.5}"
        ".b{fill:none;stroke:#888;stroke-dasharray:6 4}.d{fill:#000}"
        ".t{font:12px sans-serif}.n{font:bold 12px sans-serif;fill:#a00}.h{font:bold 13px sans-serif}"
        "</style>")
    svg(f'<rect width="{W}" height="{H}" fill="#fff"/>')
    for draw in (ft232r, vpp_supply, mclr_stage, supply_switch, data_stage, headers, flash_adapter):
        draw()
    svg("</svg>")
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "board-schematic.svg")
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    write()
