#!/usr/bin/python3
"""Peers of the .xls tests, results as JSON (see tests/support/xls_peer.h).

  values [--lenient] [--rows R,...] FILE: what xlrd reads; --lenient reads
      past faults that leave the data intact: a sector shared by two
      streams, a chain longer than its stream, an SST that overstates its
      string count, a sheet offset just past the sheet's BOF record.
  cfb FILE OUT: header fields and sector use as xlrd's compdoc sees them.
  xlwt LAYOUT OUT: writes with xlwt the "sheets" that the JSON file LAYOUT gives.
"""
import io
import json
import math
import struct
import sys
import types

import xlrd
import xlrd.book as xlbook
from xlrd import compdoc

TYPES = {xlrd.XL_CELL_TEXT: "text", xlrd.XL_CELL_NUMBER: "number",
         xlrd.XL_CELL_DATE: "date", xlrd.XL_CELL_BOOLEAN: "bool",
         xlrd.XL_CELL_ERROR: "error"}
SHEET_BOF = b"\x09\x08\x10\x00\x00\x06\x10\x00"


class _Unseen(list):
    """compdoc's sector map in which no sector is ever taken; ids still checked."""

    def __mul__(self, n):
        return _Unseen(list.__mul__(self, n))

    def __setitem__(self, i, value):
        self[i]


def make_lenient():
    unpack_sst, get_sheet = xlbook.unpack_SST_table, xlbook.Book.get_sheet

    def locate(doc, qname):
        data = doc.get_named_stream(qname)
        return (None, 0, 0) if data is None else (data, 0, len(data))

    def sst(datatab, nstrings):
        for n in range(nstrings, -1, -1):  # the most strings the data holds
            try:
                return unpack_sst(datatab, n)
            except (AssertionError, IndexError):
                continue
        raise xlrd.XLRDError("SST unreadable")

    def sheet(book, number, update_pos=True):
        pos = book._sh_abs_posn[number]
        if book.mem[pos:pos + 2] != b"\x09\x08" and book.mem[pos - 20:pos - 12] == SHEET_BOF:
            book._sh_abs_posn[number] = pos - 20
        return get_sheet(book, number, update_pos)

    compdoc.array = types.SimpleNamespace(array=lambda code, init: _Unseen(init))
    compdoc.CompDoc.locate_named_stream = locate
    xlbook.unpack_SST_table = sst
    xlbook.Book.get_sheet = sheet


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
        cells = [[r, c, TYPES[t], value_of(t, v)] for r in wanted
                 for c, (t, v) in enumerate(zip(sheet.row_types(r), sheet.row_values(r)))
                 if t in TYPES]
        sheets.append({"name": sheet.name, "nrows": sheet.nrows, "ncols": sheet.ncols,
                       "cells": cells})
    return {"log": log.getvalue(), "codepage": book.codepage,
            "biff_version": book.biff_version, "rows": rows, "sheets": sheets}


HEADER_FIELDS = ("minor_version major_version byte_order sector_shift mini_sector_shift "
                 "directory_sectors fat_sectors first_directory_sector transaction "
                 "mini_stream_cutoff first_mini_fat_sector mini_fat_sectors "
                 "first_difat_sector difat_sectors").split()


def cfb(path, out):
    data = open(path, "rb").read()
    log = io.StringIO()
    doc = compdoc.CompDoc(data, logfile=log)
    open(out, "wb").write(doc.get_named_stream("Workbook"))
    # Sectors by use: 0 none, 1 DIFAT, 2 FAT, 3 directory, 6 and on streams.
    seen = list(doc.seen)
    misflagged = sum(1 for sid, use in enumerate(seen)
                     if (use == 1 and doc.SAT[sid] != -4) or (use == 2 and doc.SAT[sid] != -3))
    return {"log": log.getvalue(),
            "header": dict(zip(HEADER_FIELDS, struct.unpack("<HHHHH6xIIIIIIIII", data[24:76]))),
            "unused_sectors": seen.count(0), "difat_sectors_used": seen.count(1),
            "fat_sectors_used": seen.count(2), "misflagged_sectors": misflagged}


def write_xlwt(layout_path, out):
    import xlwt
    error_codes = {text: code for code, text in xlrd.error_text_from_code.items()}
    book = xlwt.Workbook(encoding="utf-8", style_compression=2)
    for sheet_layout in json.load(open(layout_path, encoding="utf-8"))["sheets"]:
        sheet = book.add_sheet(sheet_layout["name"])
        for row, column, kind, value in sheet_layout["cells"]:
            if kind == "error":
                sheet.row(row).set_cell_error(column, error_codes[value])
            else:
                sheet.write(row, column, value)
    book.save(out)
    return {"written": out}


def main(argv):
    command, args = argv[1], argv[2:]
    if command != "values":
        return {"cfb": cfb, "xlwt": write_xlwt}[command](*args)
    if "--lenient" in args:
        make_lenient()
        args.remove("--lenient")
    rows = None
    if "--rows" in args:
        at = args.index("--rows")
        rows = [int(r) for r in args.pop(at + 1).split(",")]
        args.pop(at)
    return values(args[0], rows)


if __name__ == "__main__":
    json.dump(main(sys.argv), sys.stdout, ensure_ascii=False)
