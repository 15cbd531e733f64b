#!/usr/bin/env python3
"""Writes the keyboard picture (skin/XML/DeviceXml/keyboard_picture.ui).

The picture is the select panel "keyboard_device_key_light" with its keys, drawn at its design
size; the hand-written page layout (keyboarddevice.ui) hosts it in its picture area, which
scales it to the room it has. Every key of the 23 x 6 key matrix becomes a "DeviceKeyButton" named "key_<index>" with
user data "light_<index>", placed in the matrix's column and row and sized like the key
of a full keyboard. Its label is the key's name, found through its factory code: key
index -> (type, value, code) -> name key "keyboard_key_<name>" -> short label.

Usage: gen_keyboard_layout.py [output.ui]   (default: the picture in the skin folder)
"""

import os
import sys
from xml.sax.saxutils import escape

# --- Key matrix: light index per column (0..22) and row (0..5); 170 = no key. ------------
KEY_MATRIX = [
    [170, 120, 121, 122, 123, 124], [170, 21, 42, 63, 84, 105], [0, 22, 43, 64, 102, 106],
    [1, 23, 44, 65, 85, 135], [2, 24, 45, 66, 86, 107], [3, 25, 46, 67, 87, 126],
    [4, 26, 47, 68, 88, 127], [133, 27, 48, 69, 89, 108], [5, 28, 49, 70, 90, 128],
    [6, 29, 50, 71, 91, 129], [7, 30, 51, 72, 92, 109], [8, 31, 52, 73, 93, 125],
    [9, 32, 53, 74, 94, 110], [10, 33, 54, 62, 100, 111], [11, 34, 55, 75, 134, 130],
    [12, 101, 103, 79, 95, 112], [13, 35, 56, 82, 80, 113], [14, 36, 57, 83, 96, 114],
    [15, 37, 58, 132, 81, 115], [17, 38, 59, 76, 97, 116], [18, 39, 60, 77, 98, 104],
    [19, 40, 61, 78, 99, 117], [20, 41, 16, 119, 118, 131],
]
# Light indices from here on have no light and no key button.
FIRST_UNLIT = 126


# --- Factory key codes (type, value, code) of key indices 0..125. -----------------------
def _keyboard(codes):
    return [(0x20, 0, c) for c in codes]


KEY_TABLE = (
    _keyboard([0x29] + list(range(0x3A, 0x49)))  # 0..15
    + [(0xA0, 0x1B, 0), (0x30, 0x92, 1), (0x30, 0xE2, 0), (0x30, 0xEA, 0), (0x30, 0xE9, 0)]
    + _keyboard([0x35, 0x1E, 0x1F, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x2D, 0x2E,
                 0x2A, 0x49, 0x4A, 0x4B, 0x53, 0x54, 0x55, 0x56, 0x2B])  # 21..42
    + _keyboard([0x14, 0x1A, 0x08, 0x15, 0x17, 0x1C, 0x18, 0x0C, 0x12, 0x13, 0x2F, 0x30, 0x31,
                 0x4C, 0x4D, 0x4E, 0x5F, 0x60, 0x61, 0x32, 0x39, 0x04, 0x16, 0x07, 0x09, 0x0A,
                 0x0B, 0x0D, 0x0E, 0x0F, 0x33, 0x34, 0x28, 0x5C, 0x5D, 0x5E, 0x8A, 0x8B, 0x90,
                 0x91, 0x88])  # 43..83
    + [(0x20, 0x02, 0)]
    + _keyboard([0x1D, 0x1B, 0x06, 0x19, 0x05, 0x11, 0x10, 0x36, 0x37, 0x38])  # 85..94
    + [(0x20, 0x20, 0)]
    + _keyboard([0x52, 0x59, 0x5A, 0x5B, 0x87, 0x89, 0x64, 0x85])  # 96..103
    + [(0x20, 0, 0), (0x20, 0x01, 0), (0x20, 0x08, 0), (0x20, 0x04, 0), (0x20, 0, 0x2C),
       (0x20, 0x40, 0), (0xA0, 0x01, 0), (0x20, 0, 0x65), (0x20, 0x10, 0)]  # 104..112
    + _keyboard([0x50, 0x51, 0x4F, 0x62, 0x63, 0x58, 0x57])  # 113..119
    + [(0xD0, 0xA2, n) for n in range(1, 6)] + [(0x20, 0x80, 0)]  # 120..125
)

# --- Key names of the code table, by code. ----------------------------------------------
MODIFIER_NAMES = {0x01: "LCtrl", 0x02: "LShift", 0x04: "LAlt", 0x08: "LWin", 0x10: "RCtrl",
                  0x20: "RShift", 0x40: "RAlt", 0x80: "RWin"}
USAGE_NAMES = {
    **{0x04 + i: chr(ord("A") + i) for i in range(26)},
    **{0x1E + i: str(i + 1) for i in range(9)}, 0x27: "0",
    0x28: "Enter", 0x29: "Esc", 0x2A: "BackSpace", 0x2B: "Tab", 0x2C: "Space",
    0x2D: "-", 0x2E: "=", 0x2F: "[", 0x30: "]", 0x31: "xiegang", 0x33: ";", 0x34: "'",
    0x35: "`", 0x36: "<", 0x37: ".", 0x38: "/", 0x39: "Caplk",
    **{0x3A + i: "F%d" % (i + 1) for i in range(12)},
    0x46: "Print Scr", 0x47: "Scroll Lock", 0x48: "Pause", 0x49: "Insert", 0x4A: "Home",
    0x4B: "Page Up", 0x4C: "Delete", 0x4D: "End", 0x4E: "Page Down", 0x4F: "Right",
    0x50: "Left", 0x51: "Down", 0x52: "Up", 0x53: "Num Lock", 0x54: "Num /", 0x55: "Num *",
    0x56: "Num -", 0x57: "Num +", 0x58: "Num Enter",
    **{0x59 + i: "Num %d" % (i + 1) for i in range(9)}, 0x62: "Num 0", 0x63: "Decimal",
    0x65: "App", 0x64: "K45", 0x87: "K56", 0x89: "K14", 0x85: "K107", 0x8B: "K131",
    0x8A: "K132", 0x88: "K133", 0x91: "K150", 0x90: "K151", 0x32: "K42",
}
MEDIA_NAMES = {0x0192: "Launch App2", 0x0223: "Browaer Home", 0x00CD: "Media Play Pause",
               0x0221: "Browser Search", 0x018A: "Launch Mail", 0x00E9: "Volume Up",
               0x00E2: "Volume Mute", 0x00B7: "Media Stop", 0x00EA: "Volume Down"}
DEVICE_NAMES = {0x01: "FN", 0x1B: "GM"}

# Labels for the picture. A one-unit key has room for about two narrow characters, so long
# names get a short form; the full name is the key's tooltip. Names not listed are their
# own label.
SHORT_LABELS = {
    "xiegang": "\\", "<": ",", "Caplk": "Caps", "BackSpace": "Bksp", "Enter": "\u21b5",
    "Print Scr": "PS", "Scroll Lock": "SL", "Pause": "Pa", "Insert": "In", "Home": "Hm",
    "Page Up": "PU", "Delete": "Dl", "End": "Ed", "Page Down": "PD", "Num Lock": "NL",
    "Num /": "/", "Num *": "*", "Num -": "-", "Num +": "+", "Num Enter": "\u21b5",
    "Decimal": ".", "App": "\u2261", "LCtrl": "Ctl", "RCtrl": "Ctl", "LShift": "\u21e7",
    "RShift": "Shift", "LAlt": "Alt", "RAlt": "Alt", "LWin": "\u229e", "RWin": "\u229e",
    "Right": "\u2192", "Left": "\u2190", "Up": "\u2191", "Down": "\u2193",
    "Launch App2": "Ca", "Volume Mute": "Mt", "Volume Up": "V\u25b4", "Volume Down": "V\u25be",
    "FN": "Fn", "GM": "G", "Space": "", "F10": "10", "F11": "11", "F12": "12",
    "K14": "\u00a5", "K42": "#", "K45": "\\", "K56": "Ro", "K107": ",", "K131": "Mh",
    "K132": "Hk", "K133": "Kn", "K150": "L2", "K151": "L1",
    **{"Num %d" % i: str(i) for i in range(10)},
}
# Keys whose tooltip says more than the name key (the rest show the name key's name).
TOOLTIPS = {"Launch App2": "Calculator", "xiegang": "\\", "<": ",", "Caplk": "Caps Lock",
            "App": "Menu", "K14": "Yen (K14)", "K42": "K42", "K45": "K45", "K56": "Ro (K56)",
            "K107": "K107", "K131": "Muhenkan (K131)", "K132": "Henkan (K132)",
            "K133": "Kana (K133)", "K150": "Lang 2 (K150)", "K151": "Lang 1 (K151)",
            "GM": "Game mode", "FN": "Fn"}


def key_name(code):
    """The name of the code table for a factory code, or None."""
    kind, value, second = code
    if kind == 0x20:
        if second == 0:
            return MODIFIER_NAMES.get(value)
        return USAGE_NAMES.get(second) if value == 0 else None
    if kind == 0x30:
        return MEDIA_NAMES.get(value | (second << 8))
    if kind == 0xD0 and value == 0xA2:
        return "M%d" % second if 1 <= second <= 5 else None
    if kind == 0xA0:
        return DEVICE_NAMES.get(value)
    return None


# --- Geometry: per row, the keys left to right as (column, width[, height]) in key units,
# "gap" entries as ("gap", width); each zone starts at its own x. -------------------------
ZONE_MACRO, ZONE_MAIN, ZONE_NAV, ZONE_PAD = 0.0, 1.25, 17.5, 20.75
ROW_Y = [0.0, 1.5, 2.5, 3.5, 4.5, 5.5]
ONES = lambda first, last: [(c, 1) for c in range(first, last + 1)]  # noqa: E731
NAV = ONES(16, 18)
PAD = ONES(19, 22)
ROWS = [
    {ZONE_MAIN: [(2, 1.5), ("gap", 0.5)] + ONES(3, 6) + [("gap", 0.75)] + ONES(8, 11)
     + [("gap", 0.75)] + ONES(12, 15), ZONE_NAV: NAV, ZONE_PAD: PAD},
    {ZONE_MACRO: [(0, 1)], ZONE_MAIN: ONES(1, 13) + [(14, 2), (15, 1)], ZONE_NAV: NAV,
     ZONE_PAD: PAD},
    {ZONE_MACRO: [(0, 1)], ZONE_MAIN: [(1, 1.5)] + ONES(2, 13) + [(14, 1.5), (15, 1)],
     ZONE_NAV: NAV, ZONE_PAD: PAD},
    {ZONE_MACRO: [(0, 1)], ZONE_MAIN: [(1, 1.75)] + ONES(2, 13) + [(14, 1.25), (15, 1)],
     ZONE_NAV: ONES(16, 17), ZONE_PAD: PAD},
    {ZONE_MACRO: [(0, 1)], ZONE_MAIN: [(1, 1.25)] + ONES(2, 13) + [(15, 2.75)], ZONE_NAV: NAV,
     ZONE_PAD: ONES(19, 21) + [(22, 1, 2)]},
    {ZONE_MACRO: [(0, 1)],
     ZONE_MAIN: [(1, 1.25), (2, 1.25), (4, 1.25), (7, 6), (10, 1.25), (11, 1.25), (12, 1.25),
                 (13, 1.25), (15, 1.25)],
     ZONE_NAV: NAV, ZONE_PAD: ONES(19, 21)},
]

UNIT = 23            # pixels per key unit
KEY_GAP = 2          # pixels between neighbouring keys
PANEL_PADDING = 10   # pixels around the keys inside the keyboard body


def place_keys():
    """[(index, x, y, w, h)] in pixels relative to the panel, checked against the matrix."""
    placed = []
    for row, zones in enumerate(ROWS):
        for zone_x, items in zones.items():
            x = zone_x
            for item in items:
                if item[0] == "gap":
                    x += item[1]
                    continue
                column, width = item[0], item[1]
                height = item[2] if len(item) > 2 else 1
                index = KEY_MATRIX[column][row]
                if index >= FIRST_UNLIT:
                    raise SystemExit("row %d column %d holds no key" % (row, column))
                y = ROW_Y[row]
                placed.append((index,
                               PANEL_PADDING + round(x * UNIT),
                               PANEL_PADDING + round(y * UNIT),
                               round(width * UNIT) - KEY_GAP,
                               round((ROW_Y[row + height - 1] - y + 1) * UNIT) - KEY_GAP))
                x += width
    indices = [p[0] for p in placed]
    expected = sorted(i for column in KEY_MATRIX for i in column if i < FIRST_UNLIT)
    if sorted(indices) != expected:
        missing = set(expected) - set(indices)
        doubled = {i for i in indices if indices.count(i) > 1}
        raise SystemExit("keys missing %s, doubled %s" % (sorted(missing), sorted(doubled)))
    return placed


IMAGES = {
    "normalimage": "file='images/key_normal.svg' corner='6,6,6,6'",
    "hotimage": "file='images/key_hot.svg' corner='6,6,6,6'",
    "pushedimage": "file='images/key_pushed.svg' corner='6,6,6,6'",
    "lightimage": "file='images/key_light.svg' corner='6,6,6,6'",
    "keysetimage": "images/key_set.svg",
    "keyunsetimage": "images/key_unset.svg",
}


def prop(name, value, stdset=True):
    flag = "" if stdset else ' stdset="0"'
    return '<property name="%s"%s><string>%s</string></property>' % (name, flag, escape(value))


def rect(x, y, w, h):
    return ('<property name="geometry"><rect><x>%d</x><y>%d</y><width>%d</width>'
            '<height>%d</height></rect></property>' % (x, y, w, h))


def layout(placed):
    width = max(x + w for _, x, _, w, _ in placed) + PANEL_PADDING + KEY_GAP
    height = max(y + h for _, _, y, _, h in placed) + PANEL_PADDING + KEY_GAP
    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           "<!-- Written by tools/gen_keyboard_layout/gen_keyboard_layout.py; do not edit. -->",
           '<ui version="4.0">', "<class>KeyboardPicture</class>",
           '<widget class="CSelectPanelUI" name="keyboard_device_key_light">',
           rect(0, 0, width, height),
           prop("bkimage", "file='images/keyboard_body.svg' corner='14,14,14,14'", False)]
    for index, x, y, w, h in sorted(placed):
        name = key_name(KEY_TABLE[index])
        label = "" if name is None else SHORT_LABELS.get(name, name)
        out.append('<widget class="CDeviceKeyButtonUI" name="key_%d">' % index)
        out.append(rect(x, y, w, h))
        out.append(prop("text", label))
        if name is not None:
            out.append(prop("toolTip", TOOLTIPS.get(name, name)))
        out.append(prop("userdata", "light_%d" % index, False))
        out.append(prop("_namekey", "" if name is None else "keyboard_key_" + name, False))
        for attribute, image in IMAGES.items():
            out.append(prop(attribute, image, False))
        out.append(prop("font", "10", False))
        out.append("</widget>")
    out += ["</widget>", "</ui>", ""]
    return "\n".join(out)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default = os.path.join(here, "..", "..", "skin", "XML", "DeviceXml", "keyboard_picture.ui")
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.normpath(default)
    if len(KEY_TABLE) != FIRST_UNLIT:
        raise SystemExit("key table has %d rows" % len(KEY_TABLE))
    text = layout(place_keys())
    os.makedirs(os.path.dirname(target), exist_ok=True)
    with open(target, "w", encoding="utf-8") as handle:
        handle.write(text)


if __name__ == "__main__":
    main()
