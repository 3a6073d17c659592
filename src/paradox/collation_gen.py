#!/usr/bin/env python3
"""Writes collation_tables.inc: the sort-order weights of the Borland
language drivers we support, re-expressed from the public tables of those
drivers (primary and secondary weight of every byte, the bytes that expand to
two letters, and the upper-case map used by case-insensitive indexes).

Run from this directory: python3 collation_gen.py

Weights: bytes with equal primary weight sort together and are told apart
by their secondary weight (0 = none). A byte marked as expanding sorts as
itself followed by its second letter (German a-umlaut as "ae").
"""


def ident_upper():
    up = list(range(256))
    for b in range(ord('a'), ord('z') + 1):
        up[b] = b - 32
    return up


def letters(primary, secondary, upper_sec, lower_prim_overrides=None):
    """A-Z and a-z: primary per letter, uppercase secondaries, lowercase 0."""
    w = {}
    for i, ch in enumerate('ABCDEFGHIJKLMNOPQRSTUVWXYZ'):
        w[ord(ch)] = (primary[i], upper_sec.get(ch, 1), 0)
        w[ord(ch) + 32] = (primary[i], 0, 0)
    for b, p in (lower_prim_overrides or {}).items():
        w[b] = (p, w[b][1], 0)
    return w


def build(name, fixed, ranges, upper, expand):
    weights = [None] * 256
    for lo, hi, delta in ranges:  # bytes lo..hi get primary byte + delta, no secondary
        for b in range(lo, hi + 1):
            weights[b] = (b + delta, 0, 0)
    for b, w in fixed.items():
        weights[b] = w
    assert all(w is not None for w in weights), name
    return name, weights, upper, expand


# ANTURK: Windows-1254, Turkish.
def anturk():
    prim = [65, 66, 67, 69, 70, 71, 72, 74, 75, 77, 78, 79, 80, 81, 82, 84, 85, 86, 87, 89,
            90, 92, 93, 94, 95, 96]
    sec = dict(A=7, E=5, I=5, N=2, O=5, U=4, Y=2)
    w = letters(prim, sec, sec, {ord('i'): 76})
    # byte: (primary, secondary + 1 or 0, expands)
    acc = {192: (65, 9), 193: (65, 11), 194: (65, 10), 195: (65, 12), 196: (65, 14, 1),
           197: (65, 8), 198: (65, 13), 199: (68, 1), 200: (70, 9), 201: (70, 6), 202: (70, 7),
           203: (70, 8), 204: (75, 9), 205: (75, 6), 206: (75, 7), 207: (75, 8), 208: (73, 1),
           209: (81, 3), 210: (82, 8), 211: (82, 6), 212: (82, 7), 213: (82, 9), 214: (83, 1),
           217: (90, 7), 218: (90, 5), 219: (90, 6), 220: (91, 1), 221: (76, 1), 222: (88, 1),
           223: (87, 2, 1), 224: (65, 2), 225: (65, 4), 226: (65, 3), 227: (65, 5),
           228: (65, 14, 1), 229: (65, 1), 230: (65, 6), 231: (68, 0), 232: (70, 4),
           233: (70, 1), 234: (70, 2), 235: (70, 3), 236: (75, 4), 237: (75, 3), 238: (75, 2),
           239: (75, 1), 240: (73, 0), 241: (81, 1), 242: (82, 2), 243: (82, 1), 244: (82, 3),
           245: (82, 4), 246: (83, 0), 249: (90, 2), 250: (90, 3), 251: (90, 1), 252: (91, 0),
           253: (75, 0), 254: (88, 0), 255: (95, 1)}
    fixed = {b: (p, sec + 1, 0) for b, (p, sec, _) in w.items()}
    for b, v in acc.items():
        fixed[b] = (v[0], v[1] + 1, v[2] if len(v) > 2 else 0)
    fixed.update({215: (172, 0, 0), 216: (173, 0, 0), 247: (174, 0, 0), 248: (175, 0, 0)})
    ranges = [(0, 64, 0), (91, 96, 6), (123, 127, -20), (128, 191, -20)]
    up = ident_upper()
    for b in range(224, 255):
        if b not in (247, 248):  # the driver leaves the division sign and o-slash
            up[b] = b - 32
    up[ord('i')] = 221
    up[253] = 73
    up[255] = 89
    expand = {228: 101, 196: 69, 223: 115}
    return build("ANTURK", fixed, ranges, up, expand)


def ansi_common(sec_upper, acc, specials, ranges, up, name):
    prim = [65 + i for i in range(26)]
    w = letters(prim, sec_upper, sec_upper)
    fixed = {b: (p, s + 1, 0) for b, (p, s, _) in w.items()}
    for b, v in acc.items():
        fixed[b] = (v[0], v[1] + 1, v[2] if len(v) > 2 else 0)
    fixed.update(specials)
    expand = {228: 101, 196: 69, 246: 101, 214: 69, 223: 115, 254: 104, 222: 72, 252: 101,
              220: 69}
    return build(name, fixed, ranges, up, expand)


# ANSIINTL: Windows-1252, international.
def ansiintl():
    acc = {192: (65, 7), 193: (65, 6), 194: (65, 8), 195: (65, 9), 196: (65, 10, 1),
           199: (67, 3), 200: (69, 8), 201: (69, 7), 202: (69, 9), 203: (69, 6), 204: (73, 8),
           205: (73, 7), 206: (73, 9), 207: (73, 6), 208: (68, 3), 209: (78, 3), 210: (79, 8),
           211: (79, 7), 212: (79, 9), 213: (79, 10), 214: (79, 12, 1), 216: (79, 11),
           217: (85, 6), 218: (85, 5), 219: (85, 7), 220: (85, 8, 1), 221: (89, 4),
           222: (84, 2, 1), 223: (83, 2, 1), 224: (65, 2), 225: (65, 1), 226: (65, 3),
           227: (65, 4), 228: (65, 10, 1), 231: (67, 1), 232: (69, 3), 233: (69, 2),
           234: (69, 4), 235: (69, 1), 236: (73, 3), 237: (73, 2), 238: (73, 4), 239: (73, 1),
           240: (68, 1), 241: (78, 1), 242: (79, 2), 243: (79, 1), 244: (79, 3), 245: (79, 4),
           246: (79, 12, 1), 248: (79, 5), 249: (85, 2), 250: (85, 1), 251: (85, 3),
           252: (85, 8, 1), 253: (89, 2), 254: (84, 2, 1), 255: (89, 1)}
    specials = {197: (92, 0, 0), 229: (91, 0, 0), 198: (105, 0, 0), 230: (104, 0, 0),
                215: (170, 0, 0), 247: (171, 0, 0)}
    ranges = [(0, 64, 0), (91, 96, 2), (123, 127, -24), (128, 191, -22)]
    up = ident_upper()
    for b, u in {224: 65, 225: 65, 226: 65, 227: 195, 228: 196, 229: 197, 230: 198, 231: 199,
                 232: 69, 233: 69, 234: 69, 235: 69, 236: 73, 237: 73, 238: 73, 239: 73,
                 240: 208, 241: 209, 242: 79, 243: 79, 244: 79, 245: 213, 246: 214, 248: 216,
                 249: 85, 250: 85, 251: 85, 252: 220, 253: 89, 254: 222, 255: 89}.items():
        up[b] = u
    return ansi_common(dict(A=5, C=2, D=2, E=5, I=5, N=2, O=6, U=4, Y=3), acc, specials, ranges,
                       up, "ANSIINTL")


# ANSII850: Windows-1252 with the international DOS 850 order.
def ansii850():
    acc = {170: (65, 1), 186: (79, 1), 192: (65, 11), 193: (65, 10), 194: (65, 12),
           195: (65, 14), 196: (65, 15, 1), 197: (65, 13), 198: (65, 9), 199: (67, 3),
           200: (69, 8), 201: (69, 7), 202: (69, 9), 203: (69, 6), 204: (73, 8), 205: (73, 7),
           206: (73, 9), 207: (73, 6), 208: (68, 3), 209: (78, 3), 210: (79, 9), 211: (79, 8),
           212: (79, 10), 213: (79, 11), 214: (79, 13, 1), 216: (79, 12), 217: (85, 6),
           218: (85, 5), 219: (85, 7), 220: (85, 8, 1), 221: (89, 4), 222: (84, 2, 1),
           223: (83, 2, 1), 224: (65, 4), 225: (65, 3), 226: (65, 5), 227: (65, 7),
           228: (65, 15, 1), 229: (65, 6), 230: (65, 2), 231: (67, 1), 232: (69, 3),
           233: (69, 2), 234: (69, 4), 235: (69, 1), 236: (73, 3), 237: (73, 2), 238: (73, 4),
           239: (73, 1), 240: (68, 1), 241: (78, 1), 242: (79, 3), 243: (79, 2), 244: (79, 4),
           245: (79, 5), 246: (79, 13, 1), 248: (79, 6), 249: (85, 2), 250: (85, 1),
           251: (85, 3), 252: (85, 8, 1), 253: (89, 2), 254: (84, 2, 1), 255: (89, 1)}
    specials = {215: (164, 0, 0), 247: (165, 0, 0)}
    ranges = [(0, 64, 0), (91, 96, 0), (123, 127, -26), (128, 169, -26), (171, 185, -27),
              (187, 191, -28)]
    up = ident_upper()
    for b in range(224, 255):
        if b != 247:
            up[b] = b - 32
    up[255] = 89
    return ansi_common(dict(A=8, C=2, D=2, E=5, I=5, N=2, O=7, U=4, Y=3), acc, specials, ranges,
                       up, "ANSII850")


# Paradox 'ascii' (DOS 437): byte order; its upper-case map folds the DOS
# accented letters too (a-grave to A, a-umlaut to A-umlaut).
def ascii_upper():
    up = ident_upper()
    up[128:168] = [128, 154, 144, 65, 142, 65, 143, 128, 69, 69, 69, 73, 73, 73, 142, 143, 144,
                   146, 146, 79, 153, 79, 85, 85, 89, 153, 154, 155, 156, 157, 158, 159, 65, 73,
                   79, 85, 165, 165, 65, 79]
    assert len(up) == 256
    return up


def main():
    out = ["// Generated by collation_gen.py. Do not edit.",
           "// Per driver: name; per byte {primary, secondary (0 = none), expands};",
           "// the second letter of each expanding byte; the upper-case map."]
    for name, weights, upper, expand in (anturk(), ansiintl(), ansii850()):
        weights = [(p + 1, sec, e) for p, sec, e in weights]  # primary 0 is never used
        for b, (p, sec, e) in enumerate(weights):
            assert 0 < p < 256 and 0 <= sec < 256, (name, b)
            assert bool(e) == (b in expand), (name, b)
        out.append("{\"%s\"," % name)
        out.append(" {" + ",".join("{%d,%d,%d}" % w for w in weights) + "},")
        out.append(" {" + ",".join(str(expand.get(b, 0)) for b in range(256)) + "},")
        out.append(" {" + ",".join(str(u) for u in upper) + "}},")
    open("collation_tables.inc", "w").write("\n".join(out) + "\n")
    open("collation_ascii.inc", "w").write(
        "// Generated by collation_gen.py. Do not edit. Upper-case map of 'ascii'.\n" +
        ",".join(str(u) for u in ascii_upper()) + "\n")


if __name__ == "__main__":
    main()
