#!/usr/bin/python3
"""Checks what xlrd does not of FILE's shared strings: the SST's two counts against the strings
it holds and the cells that use them, and the EXTSST's pointers. Prints the faults as JSON."""
import json
import struct
import sys

from xlrd import compdoc

SST, CONTINUE, EXTSST, LABELSST = 0x00FC, 0x003C, 0x00FF, 0x00FD


def records(stream):
    pos = 0
    while pos + 4 <= len(stream):
        kind, size = struct.unpack_from("<HH", stream, pos)
        yield kind, pos, stream[pos + 4:pos + 4 + size]
        pos += 4 + size


def string_starts(parts, unique):
    """(stream position, offset in its record with the header) of each string; parts are the
    SST's and its CONTINUEs' (position, body). Characters go on after a flags byte."""
    k, at, starts = 0, 8, []

    def next_part():
        nonlocal k, at
        if at == len(parts[k][1]):
            k, at = k + 1, 0
            return True
        return False

    def take(n):
        nonlocal at
        out = b""
        while len(out) < n:
            next_part()
            piece = parts[k][1][at:at + n - len(out)]
            out, at = out + piece, at + len(piece)
        return out

    for _ in range(unique):
        next_part()
        starts.append((parts[k][0] + 4 + at, at + 4))
        length, flags = struct.unpack("<HB", take(3))
        runs = struct.unpack("<H", take(2))[0] if flags & 8 else 0
        extra = struct.unpack("<I", take(4))[0] if flags & 4 else 0
        wide = flags & 1
        while length:
            if next_part():
                wide = take(1)[0] & 1
            n = min(length, (len(parts[k][1]) - at) >> wide)
            if n == 0:
                raise IndexError("a character split")
            at, length = at + (n << wide), length - n
        take(4 * runs + extra)
    return starts, (k, at) == (len(parts) - 1, len(parts[-1][1]))


def faults(path):
    stream = compdoc.CompDoc(open(path, "rb").read()).get_named_stream("Workbook")
    found = list(records(stream))
    first = next(i for i, r in enumerate(found) if r[0] == SST)
    parts = [found[first][1:]]
    for kind, pos, body in found[first + 1:]:
        if kind != CONTINUE:
            break
        parts.append((pos, body))
    total, unique = struct.unpack_from("<II", parts[0][1])
    out = []
    cells = sum(kind == LABELSST for kind, _, _ in found)
    if total != cells:
        out.append("SST total %d, %d cells" % (total, cells))
    try:
        starts, at_end = string_starts(parts, unique)
        if not at_end:
            out.append("SST holds more than %d strings" % unique)
    except (IndexError, struct.error):
        return out + ["SST holds fewer than %d strings" % unique]
    ext = [body for kind, _, body in found if kind == EXTSST]
    if not ext or len(ext[0]) < 2:
        return out + ["no EXTSST"]
    per = struct.unpack_from("<H", ext[0])[0]
    want = starts[::per]
    have = [struct.unpack_from("<IH", ext[0], 2 + 8 * i) for i in range((len(ext[0]) - 2) // 8)]
    if have != want:
        out.append("EXTSST %s, strings at %s" % (have[:8], want[:8]))
    return out


if __name__ == "__main__":
    json.dump(faults(sys.argv[1]), sys.stdout)
