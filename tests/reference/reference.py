#!/usr/bin/python3
"""Kurvello's pictures and loops, rendered again from the program's rules alone.

    reference.py [check]     prints every case of expected.txt with the value computed now
                             (with check, status 1 where it is not the stored one, where a
                             kind is unknown, or when the file holds no case at all)
    reference.py show N GOT  renders case N (line N of expected.txt) and names the first
                             pixel or sample where the bytes in file GOT differ; pictures
                             are written as GOT.ppm and GOT.want.ppm, loops as GOT.want
"""
import base64
import decimal
import hashlib
import math
import os
import re
import struct
import sys
import zlib
from types import SimpleNamespace

EXPECTED = os.path.join(os.path.dirname(os.path.abspath(__file__)), "expected.txt")
SLOTS = 50
MASKS = {16: (0xF800, 0x07E0, 0x001F), 24: (0xFF0000, 0xFF00, 0xFF), 32: (0xFF0000, 0xFF00, 0xFF)}
FONT = [  # rows 0..7 of "0123456789.-/%K" as pictured, one five-cell group a glyph
    "##### ..### ##### ##### #...# ##### ##### ##### ##### ##### ..... ..... ....# ##..# #...#",
    "#...# ....# ....# ....# #...# #.... #.... ....# #...# #...# ..... ..... ...#. ##.#. #...#",
    "#...# ....# ....# ....# #...# #.... #.... ...#. #...# #...# ..... ..... ...#. ...#. #..#.",
    "#...# ....# ##### ##### ##### ##### ##### .#### ##### ##### ..... ##### ..#.. ..#.. #.#..",
    "#...# ....# #.... ....# ....# ....# #...# ...#. #...# ....# ..... ..... ..#.. ..#.. ##...",
    "#...# ....# #.... ....# ....# ....# #...# ...#. #...# ....# ..... ..... .#... .#... #.#..",
    "#...# ....# #.... ....# ....# ....# #...# ...#. #...# ....# ...## ..... .#... .#.## #..#.",
    "##### ....# ##### ##### ....# ##### ##### ...#. ##### ##### ...## ..... #.... #..## #...#",
]


def fnv1a(data, h=0xCBF29CE484222325):  # 64 bits; a run of zero bytes only multiplies
    at = 0
    for run in re.finditer(rb"[^\0]+", data):
        h = h * pow(0x100000001B3, run.start() - at, 1 << 64) & (1 << 64) - 1
        for byte in run.group():
            h = (h ^ byte) * 0x100000001B3 & (1 << 64) - 1
        at = run.end()
    return h * pow(0x100000001B3, len(data) - at, 1 << 64) & (1 << 64) - 1


def sin(a):
    return math.sin(a) if math.isfinite(a) else math.nan


def divide(a, b):  # IEEE: non-zero by 0 is infinite, 0 by 0 not a number
    if b != 0:
        return a / b
    return math.nan if a == 0 or math.isnan(a) else math.copysign(math.inf, a * math.copysign(1, b))


def row(v):  # toward zero, the non-finite to 0; Python's integers never overflow
    return int(v) if math.isfinite(v) else 0


class Surface:  # w x h pixels of bits/8 bytes each, low byte first, no padding
    def __init__(self, w, h, bits=32, fill=0):
        self.w, self.h, self.size, self.masks = w, h, bits // 8, MASKS[bits]
        self.data = bytearray(fill.to_bytes(self.size, "little") * (w * h))

    def rgb(self, *colour):  # each component keeps as many top bits as its mask holds
        return sum(c >> (8 - bin(m).count("1")) << (m & -m).bit_length() - 1
                   for c, m in zip(colour, self.masks))

    def put(self, x, y, pixel):
        at = (y * self.w + x) * self.size
        self.data[at:at + self.size] = (pixel & (1 << 8 * self.size) - 1).to_bytes(self.size, "little")

    def fill(self, x, y, w, h, pixel):  # within the surface
        for r in range(y, y + h):
            self.data[(r * self.w + x) * self.size:(r * self.w + min(x + w, self.w)) * self.size] = \
                (pixel & (1 << 8 * self.size) - 1).to_bytes(self.size, "little") * (min(x + w, self.w) - x)

    def ppm(self, data):  # channels shifted up to 8 bits
        out = bytearray()
        for at in range(0, len(data), self.size):
            v = int.from_bytes(data[at:at + self.size], "little")
            out += bytes(((v & m) >> (m & -m).bit_length() - 1) << 8 - bin(m).count("1") for m in self.masks)
        return b"P6\n%d %d\n255\n" % (self.w, len(data) // self.size // self.w) + out


def draw_line(s, pixel, x0, y0, dx, dy):
    if dy < 0:
        y0, dy = y0 + dy, -dy
    if dy > dx:  # only the rows inside 1 .. h-1 are visited: the others draw nothing
        for y in range(max(y0, 1), min(y0 + dy, s.h)):
            s.put(int(dx / dy * (y - y0) + x0), y, pixel)
    else:
        for i in range(max(dx, 0)):
            if 0 < (y := int(dy / dx * i + y0)) < s.h:
                s.put(x0 + i, y, pixel)


def state(s, harmonic):  # the start values
    up, down = [int(f * 25.5) for f in range(10)], [int(255.0 - f * 25.5) for f in range(10)]
    ramp = [(255, u, 0) for u in up] + [(d, 255, 0) for d in down] + [(0, 255, u) for u in up] \
        + [(0, d, 255) for d in down] + [(u, 0, 255) for u in up]
    return SimpleNamespace(harmonic=list(harmonic), scale=[1.0] * SLOTS, shift=[0.0] * SLOTS,
                           speed=[0.0] * SLOTS, zoom=150.0, y_scale=1.0, active=10, selected=0,
                           clear=0, thick=0, lines=0, colour=[s.rgb(*c) for c in ramp],
                           axis=s.rgb(128, 128, 128), white=s.rgb(255, 255, 255), last={})


def draw_plot(s, st):
    if st.clear:
        s.data[:] = bytes(len(s.data))
    m, u = s.h // 2, st.zoom * st.y_scale
    for x in range(1, s.w):
        if x % 10 == 0:
            s.put(x, m, st.axis)
            for v in (m + u, m - u):
                if 0 < v < s.h:
                    s.put(x, int(v), st.axis)
        total, curves = 0.0, []
        if st.active > 0:
            r = divide(1.0, st.zoom)
            for i in range(st.active):
                k = st.harmonic[i]
                term = sin(float(k * x) * r - st.shift[i]) * divide(st.scale[i], float(k))
                curves.append((i, m - term * st.zoom * st.y_scale, st.colour[i]))
                total += term
        rise = total * st.zoom * st.y_scale
        curves.append(("sum", m - rise, st.white))
        if st.thick:
            curves += [("upper", (m - 1) - rise, st.white), ("lower", (m + 1) - rise, st.white)]
        for key, v, colour in curves:
            if not st.lines and 0 < v < s.h:
                s.put(x, int(v), colour)
            elif st.lines:
                if x > 1:
                    draw_line(s, colour, x - 1, st.last[key], 1, row(v - st.last[key]))
                st.last[key] = row(v)


def scene(bits, step, active, lines, thick, clear, zoom, scale_3, y_scale, h, zero_from):
    s = Surface(1024, int(h), int(bits))
    st = state(s, [int(step) * i + 1 if i < int(zero_from) else 0 for i in range(SLOTS)])
    st.lines, st.thick, st.clear, st.active = int(lines), int(thick), int(clear), int(active)
    st.zoom, st.y_scale = float(zoom), float(y_scale)
    if st.active > 10:
        st.scale = [1.0 - 0.07 * i for i in range(SLOTS)]
        st.shift = [0.3 * i - 2.0 for i in range(SLOTS)]
    st.scale[3] = float(scale_3)
    for _ in range(2):
        draw_plot(s, st)
        st.shift[0] += 0.4
        st.shift[max(st.active - 1, 0)] -= 0.4
    return s


def value_text(v):  # five significant digits of the exact value, half up
    if math.isnan(v):
        return " %%%%%%"
    sign = "-" if v < 0 else " "
    digits, point = "00000", 0
    if math.isinf(v):
        point = 6
    elif v != 0:
        exact = decimal.Decimal(abs(v))
        point = exact.adjusted() + 1
        with decimal.localcontext(decimal.Context(prec=1000)):
            five = int(exact.scaleb(5 - point).quantize(1, decimal.ROUND_HALF_UP))
        digits, point = (str(five), point) if five < 100000 else ("10000", point + 1)
    if point > 5:
        return sign + "------"
    p = max(point, 0)
    return sign + digits[:p] + "." + digits[p:]


def draw_text(s, text, x, y, colour):
    wrap = lambda n: (n + 32768) % 65536 - 32768  # noqa: E731  (16-bit pen and top)
    pen, top = wrap(x + 10), wrap(y + 5)
    for c in text:
        if c in "0123456789.-/%K":
            g = "0123456789.-/%K".index(c)
            for r in range(8):
                for j in range(5):
                    # columns outside the surface are skipped, the program's choice
                    if FONT[r][6 * g + j] == "#" and 0 < top + r < s.h and 0 <= pen + j < s.w:
                        s.put(pen + j, top + r, colour)
        pen = wrap(pen + 6)


def draw_overlay(s, y_scale, zoom, active, selected, scale, speed):
    white, h = s.rgb(255, 255, 255), s.h
    s.fill(30, h - 35, 200, 33, 0)
    draw_text(s, value_text(zoom * 0.006666666666666667 * 100) + " %", 40, h - 30, white)
    draw_text(s, value_text(y_scale), 120, h - 30, white)
    draw_text(s, f"{selected + 1} / {active} K", 40, h - 15, white)
    if s.w > 1020:
        s.fill(1, 5, s.w, 76, 0)
        for i in range(active):
            colour, x, y = s.rgb(255, 0, 0) if i == selected else white, i % 25 * 40 + 2, 10 + i // 25 * 40
            draw_text(s, value_text(scale[i]), x, y, colour)
            draw_text(s, value_text(speed[i]), x, y + 15, colour)


def overlay(w, h, y_scale, zoom, active, selected):
    s = Surface(int(w), int(h), 32, 0x123456)
    values = list(range(1, SLOTS + 1))
    draw_overlay(s, float(y_scale), float(zoom), int(active), int(selected), values, [-v for v in values])
    return s


def text_at(text, x, y):
    s = Surface(100, 20)
    draw_text(s, text, int(x), int(y), 0x070707)
    return s


def sound_loop(st):
    out = bytearray()
    for i in range(512):
        p, total = i * 0.001953125 * 6.283185307179586, 0.0
        for j in range(st.active):
            k = float(st.harmonic[j])
            t = sin(p * k - st.shift[j] - i * st.speed[j] * 0.025) * divide(st.scale[j], k)
            total += 1.0 if t > 1.0 else -1.0 if t < -1.0 else t
        total = 10.0 if total > 10.0 else -10.0 if total < -10.0 else total
        out += (row(total * 3276.0) & 0xFFFF).to_bytes(2, "little")
    return out


def loop(name):
    s = Surface(1, 1)
    if name == "preset_a":
        return sound_loop(state(s, range(1, 100, 2)))
    if name == "preset_b":
        return sound_loop(state(s, range(1, 51)))
    if name == "limits":  # twelve terms 1.5 sin p, each limited, their sum too; -3 sin(3p - 0.5)
        st = state(s, [1] * 12 + [3] + [0] * 37)
        st.active, st.scale[:13], st.shift[12] = 13, [1.5] * 12 + [-9.0], 0.5
        return sound_loop(st)
    if name == "harmonic_zero":  # preset a's first ten, shifted, and two slots of k = 0
        st = state(s, list(range(1, 20, 2)) + [0] * 40)
        st.active, st.shift[:10] = 12, [0.2 * j for j in range(10)]
        st.scale[10], st.speed[10] = 0.5, 0.3  # sin(0) * inf at sample 0: the sum is no number
        st.scale[11], st.shift[11] = -2.0, 1.0  # -sin(-1) * inf: +1 in every sample
        return sound_loop(st)
    st = state(s, [1 + j * 37 % 100 for j in range(SLOTS)])  # mixed: every slot differs
    st.active, st.scale = SLOTS, [0.3 * (j % 7) - 0.7 for j in range(SLOTS)]
    st.shift, st.speed = [0.11 * j - 2.0 for j in range(SLOTS)], [0.013 * (j % 5) - 0.02 for j in range(SLOTS)]
    return sound_loop(st)


def window(edit):  # the whole program with preset a after keys; what its frames leave
    s = Surface(1024, 768)
    st = state(s, range(1, 100, 2))
    st.selected = 2 if edit in ("edited", "reset") else 0
    st.lines = st.thick = int(edit in ("edited", "reset"))
    st.active += edit == "edited"
    st.scale[2] = 0.0 if edit == "edited" else 1.0
    draw_plot(s, st)
    if edit != "plot_only":
        draw_overlay(s, st.y_scale, st.zoom, st.active, st.selected, st.scale, st.speed)
    return s


def link(harmonic, *edits):  # a picture's link fragment, version 1, from the format alone
    odd, counted = [2 * i + 1 for i in range(SLOTS)], [i + 1 for i in range(SLOTS)]
    h = {"a": odd, "b": counted}.get(harmonic) or [int(k) for k in harmonic.split(",")]
    h += [0] * (SLOTS - len(h))
    v = dict(edit.split("=") for edit in edits)

    def value(name, base):  # (form, bytes): the fewest leading bytes that keep every bit
        bits = struct.pack(">d", float(v.get(name, base)))
        form = 0 if bits == struct.pack(">d", base) else 3 - (bits[4:] == bytes(4)) - (bits[2:] == bytes(6))
        return form, bits[:(0, 2, 4, 8)[form]]

    kind, zoom, y = 0 if h == odd else 1 if h == counted else 2, value("zoom", 150.0), value("y_scale", 1.0)
    toggles = sum(int(t) << i for i, t in enumerate(v.get("toggles", "1000")))
    out = bytes([toggles | kind << 4, int(v.get("active", 10)), int(v.get("selected", 0)), zoom[0] | y[0] << 2])
    if kind == 2:
        listed = max([i + 1 for i in range(SLOTS) if h[i]] + [0])
        out += bytes([listed] + h[:listed])
    out += zoom[1] + y[1]
    slots = [[value(f"{name}{i}", base) for name, base in (("scale", 1.0), ("shift", 0.0), ("speed", 0.0))]
             for i in range(SLOTS)]
    out += sum(1 << i for i, s in enumerate(slots) if any(f for f, _ in s)).to_bytes(7, "little")
    for s in slots:
        if any(f for f, _ in s):
            out += bytes([s[0][0] | s[1][0] << 2 | s[2][0] << 4]) + b"".join(b for _, b in s)
    out += zlib.crc32(out).to_bytes(4, "big")
    return "k1" + base64.urlsafe_b64encode(out).decode().rstrip("=")


def rgb_of(data):  # 32-bit pixels, low byte first, as R, G, B
    rgb = bytearray(len(data) // 4 * 3)
    rgb[0::3], rgb[1::3], rgb[2::3] = data[2::4], data[1::4], data[0::4]
    return rgb


def render(kind, args):  # the surface or loop bytes of a case and its stored form
    if kind == "text":
        return None, value_text(float(args[0])).replace(" ", "_")
    if kind == "link":
        return None, link(*args)
    if kind == "loop":
        data = loop(args[0])
        return data, fnv1a(data) % 1000003 if args[0] != "preset_a" else hashlib.sha1(data).hexdigest()
    if kind == "window":  # of the window's RGB bytes, as xwd gives them
        s = window(args[0])
        return s, hashlib.sha1(rgb_of(s.data)).hexdigest()
    s = {"plot": scene, "overlay": overlay, "text_at": text_at}[kind](*args)
    return s, fnv1a(s.data)


KINDS = ("plot", "text_at", "overlay", "text", "loop", "window", "link")


def cases():  # (line number, kind, stored value, arguments) of expected.txt
    with open(EXPECTED) as f:
        for number, line in enumerate(f, 1):
            fields = line.split("#")[0].split()
            if fields:
                yield number, fields[0], " ".join(fields[1:2]), fields[2:]


def main(command="", *args):
    if command == "show":
        kind, fields = next((c[1], c[3]) for c in cases() if c[0] == int(args[0]))
        want = render(kind, fields)[0]
        with open(args[1], "rb") as f:
            got = f.read()
        if kind == "loop":
            unit, w, files = 2, 0, {".want": want}
        else:
            surface, want = want, rgb_of(want.data) if kind == "window" else want.data
            unit, w = (3, 1024) if kind == "window" else (surface.size, surface.w)
            ppm = (lambda d: b"P6\n1024 768\n255\n" + d) if kind == "window" else surface.ppm
            files = {".ppm": ppm(got), ".want.ppm": ppm(want)}
        for suffix, data in files.items():
            with open(args[1] + suffix, "wb") as f:
                f.write(data)
        at = next((i for i in range(0, len(want), unit) if got[i:i + unit] != want[i:i + unit]), None)
        place = f"pixel ({at // unit % w}, {at // unit // w})" if w else f"sample {(at or 0) // 2}"
        print("no difference: the stored value is not the reference's" if at is None else
              f"first difference at {place}: got {got[at:at + unit].hex()}, want {want[at:at + unit].hex()}")
        return 0
    failed, found = 0, list(cases())
    for number, kind, stored, fields in found:
        value = str(render(kind, fields)[1]) if kind in KINDS else f"line {number}: no such kind"
        failed += value != stored
        print(kind, value, *fields, "" if value == stored else f"(stored {stored})")
    if not found:  # a list that lost its cases must not pass for one that all match
        print(f"no cases in {EXPECTED}")
    return int((failed > 0 or not found) and command == "check")


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
