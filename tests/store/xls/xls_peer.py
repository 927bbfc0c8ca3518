#!/usr/bin/python3
"""Peer programs for the .xls writer tests: xlrd reads, xlwt writes.

  xls_peer.py values FILE [ROWS]  cell values as xlrd reads them (ROWS: comma
                                  separated 0-based rows; default all)
  xls_peer.py cfb FILE OUT        compound file header, directory and sector
                                  use as xlrd's compdoc sees them; the
                                  Workbook stream is written to OUT
  xls_peer.py xlwt SPEC OUT       writes the workbook described by the JSON
                                  file SPEC with xlwt
Results go to standard output as JSON.
"""
import io
import json
import struct
import sys

import xlrd
from xlrd import compdoc


def values(path, rows=None):
    log = io.StringIO()
    book = xlrd.open_workbook(path, logfile=log, verbosity=0)
    sheets = []
    for sheet in book.sheets():
        wanted = range(sheet.nrows) if rows is None else [r for r in rows if r < sheet.nrows]
        cells = []
        for r in wanted:
            for c in range(sheet.row_len(r)):
                kind = sheet.cell_type(r, c)
                if kind in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
                    continue
                value = sheet.cell_value(r, c)
                if kind == xlrd.XL_CELL_NUMBER:
                    value = float(value).hex()
                cells.append([r, c, kind, value])
        sheets.append({"name": sheet.name, "nrows": sheet.nrows, "ncols": sheet.ncols,
                       "cells": cells})
    return {"log": log.getvalue(), "codepage": book.codepage,
            "biff_version": book.biff_version, "sheets": sheets}


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
    spec = json.load(open(spec_path, encoding="utf-8"))
    book = xlwt.Workbook(encoding="utf-8", style_compression=2)
    for sheet_spec in spec["sheets"]:
        sheet = book.add_sheet(sheet_spec["name"])
        for row, column, kind, value in sheet_spec["cells"]:
            if kind == "error":
                sheet.row(row).set_cell_error(column, value)
            elif kind == "bool":
                sheet.write(row, column, bool(value))
            else:
                sheet.write(row, column, value)
    book.save(out)
    return {"written": out}


def main(argv):
    command = argv[1]
    if command == "values":
        rows = [int(r) for r in argv[3].split(",")] if len(argv) > 3 else None
        result = values(argv[2], rows)
    elif command == "cfb":
        result = cfb(argv[2], argv[3])
    elif command == "xlwt":
        result = write_xlwt(argv[2], argv[3])
    else:
        raise SystemExit("unknown command " + command)
    json.dump(result, sys.stdout)


if __name__ == "__main__":
    main(sys.argv)
