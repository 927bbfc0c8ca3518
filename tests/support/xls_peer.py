#!/usr/bin/python3
"""Peer programs for the .xls tests: xlrd reads, xlwt writes.

  xls_peer.py values [--lenient] [--rows R,R,...] FILE
      what xlrd reads, as JSON:
      {"log", "codepage", "biff_version", "rows",
       "sheets": [{"name", "nrows", "ncols", "cells": [[row, col, type, value]]}]}
      rows and columns 0-based, row-major, empty cells left out; type is
      text, number, date, bool or error (value: the text such as "#N/A");
      numbers are JSON numbers that read back to the same double. --rows
      limits the rows listed (and is echoed as "rows"). When xlrd refuses
      the file: {"error": "<exception type>: <message>"}.
      --lenient reads past faults that xlrd refuses although the data is
      intact: a sector shared by two streams, a FAT chain longer than its
      stream, an SST that overstates its string count, a sheet offset that
      points just past the sheet's BOF record.
  xls_peer.py cfb FILE OUT
      compound file header, directory and sector use as xlrd's compdoc sees
      them; the Workbook stream is written to OUT
  xls_peer.py xlwt SPEC OUT
      writes with xlwt the workbook that the JSON file SPEC describes, in the
      shape of "values" ({"sheets": [{"name", "cells"}]})
Results go to standard output as JSON.
"""
import io
import json
import math
import struct
import sys

import xlrd
import xlrd.book as xlbook
from xlrd import compdoc

TYPES = {xlrd.XL_CELL_TEXT: "text", xlrd.XL_CELL_NUMBER: "number",
         xlrd.XL_CELL_DATE: "date", xlrd.XL_CELL_BOOLEAN: "bool",
         xlrd.XL_CELL_ERROR: "error"}


class _NoSectorSeen:
    def __init__(self, n):
        self.n = n

    def __getitem__(self, i):
        if not 0 <= i < self.n:
            raise IndexError("array index out of range")
        return 0

    def __setitem__(self, i, value):
        if not 0 <= i < self.n:
            raise IndexError("array index out of range")


class _SeenArray:
    def __init__(self, *args):
        pass

    def __mul__(self, n):
        return _NoSectorSeen(n)


class _ArrayModule:
    array = _SeenArray


def _locate_leniently(self, qname):
    data = self.get_named_stream(qname)
    return (None, 0, 0) if data is None else (data, 0, len(data))


_unpack_sst = xlbook.unpack_SST_table


def _unpack_sst_leniently(datatab, nstrings):
    for n in range(nstrings, -1, -1):  # the most strings the data holds
        try:
            return _unpack_sst(datatab, n)
        except (AssertionError, IndexError):
            continue
    raise xlrd.XLRDError("SST unreadable")


_get_sheet = xlbook.Book.get_sheet
_BIFF8_SHEET_BOF = b"\x09\x08\x10\x00\x00\x06\x10\x00"


def _get_sheet_leniently(self, sh_number, update_pos=True):
    pos = self._sh_abs_posn[sh_number]
    if (self.mem[pos:pos + 2] != b"\x09\x08"
            and self.mem[pos - 20:pos - 12] == _BIFF8_SHEET_BOF):
        self._sh_abs_posn[sh_number] = pos - 20
    return _get_sheet(self, sh_number, update_pos)


def make_lenient():
    compdoc.array = _ArrayModule
    compdoc.CompDoc.locate_named_stream = _locate_leniently
    xlbook.unpack_SST_table = _unpack_sst_leniently
    xlbook.Book.get_sheet = _get_sheet_leniently


def value_of(ctype, value):
    if ctype == xlrd.XL_CELL_BOOLEAN:
        return bool(value)
    if ctype == xlrd.XL_CELL_ERROR:
        return xlrd.error_text_from_code.get(value, "#ERR%d" % value)
    if isinstance(value, float) and not math.isfinite(value):
        return repr(value)  # JSON has no such number
    return value


def values(path, rows=None):
    log = io.StringIO()
    try:
        book = xlrd.open_workbook(path, logfile=log, verbosity=0)
    except Exception as e:  # the caller compares outcomes, not tracebacks
        return {"error": "%s: %s" % (type(e).__name__, e)}
    sheets = []
    for sheet in book.sheets():
        wanted = range(sheet.nrows) if rows is None else [r for r in rows if r < sheet.nrows]
        cells = []
        for r in wanted:
            for c, (t, v) in enumerate(zip(sheet.row_types(r), sheet.row_values(r))):
                if t in TYPES:
                    cells.append([r, c, TYPES[t], value_of(t, v)])
        sheets.append({"name": sheet.name, "nrows": sheet.nrows, "ncols": sheet.ncols,
                       "cells": cells})
    return {"log": log.getvalue(), "codepage": book.codepage,
            "biff_version": book.biff_version, "rows": rows, "sheets": sheets}


HEADER_FIELDS = ("minor_version", "major_version", "byte_order", "sector_shift",
                 "mini_sector_shift", "directory_sectors", "fat_sectors",
                 "first_directory_sector", "transaction", "mini_stream_cutoff",
                 "first_mini_fat_sector", "mini_fat_sectors", "first_difat_sector",
                 "difat_sectors")


def directory_entry(raw):
    name_size, = struct.unpack("<H", raw[64:66])
    name = raw[0:max(0, name_size - 2)].decode("utf-16-le")
    kind, colour, left, right, child = struct.unpack("<BBiii", raw[66:80])
    state, created, modified, start, size_low, size_high = struct.unpack(
        "<IQQiII", raw[96:128])
    return {"name": name, "name_size": name_size, "type": kind, "colour": colour,
            "left": left, "right": right, "child": child, "clsid": raw[80:96].hex(),
            "state": state, "created": created, "modified": modified, "start": start,
            "size": size_low | size_high << 32}


def cfb(path, out):
    data = open(path, "rb").read()
    log = io.StringIO()
    doc = compdoc.CompDoc(data, logfile=log)
    stream = doc.get_named_stream("Workbook")
    open(out, "wb").write(stream)
    header = dict(zip(HEADER_FIELDS, struct.unpack("<HHHHH6xIIIIIIIII", data[24:76])))
    header["signature"] = data[0:8].hex()
    header["clsid"] = data[8:24].hex()
    # Sectors of each use: 1 DIFAT, 2 FAT, 3 directory, 6 and on streams.
    seen = list(doc.seen)
    misflagged = sum(1 for sid, use in enumerate(seen)
                     if (use == 1 and doc.SAT[sid] != -4) or (use == 2 and doc.SAT[sid] != -3))
    directory = doc._get_stream(data, 512, doc.SAT, 512, header["first_directory_sector"])
    entries = [directory_entry(directory[p:p + 128]) for p in range(0, len(directory), 128)]
    return {"log": log.getvalue(), "header": header, "directory": entries,
            "sectors": len(seen), "unused_sectors": seen.count(0),
            "difat_sectors_used": seen.count(1), "fat_sectors_used": seen.count(2),
            "misflagged_sectors": misflagged, "stream_size": len(stream)}


def write_xlwt(spec_path, out):
    import xlwt
    error_codes = {text: code for code, text in xlrd.error_text_from_code.items()}
    spec = json.load(open(spec_path, encoding="utf-8"))
    book = xlwt.Workbook(encoding="utf-8", style_compression=2)
    for sheet_spec in spec["sheets"]:
        sheet = book.add_sheet(sheet_spec["name"])
        for row, column, kind, value in sheet_spec["cells"]:
            if kind == "error":
                sheet.row(row).set_cell_error(column, error_codes[value])
            else:
                sheet.write(row, column, value)
    book.save(out)
    return {"written": out}


def main(argv):
    command, args = argv[1], argv[2:]
    if command == "values":
        lenient = "--lenient" in args
        if lenient:
            make_lenient()
            args.remove("--lenient")
        rows = None
        if "--rows" in args:
            at = args.index("--rows")
            rows = [int(r) for r in args[at + 1].split(",")]
            del args[at:at + 2]
        result = values(args[0], rows)
    elif command == "cfb":
        result = cfb(args[0], args[1])
    elif command == "xlwt":
        result = write_xlwt(args[0], args[1])
    else:
        raise SystemExit("unknown command " + command)
    json.dump(result, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main(sys.argv)
