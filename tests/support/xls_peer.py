#!/usr/bin/python3
"""xlrd as the .xls tests' peer, answering in JSON as tests/support/xls_peer.h says:
values FILE strict|lenient ROWS, cfb FILE OUT."""
import io
import json
import sys

import xlrd
import xlrd.book as xlbook
from xlrd import compdoc

TYPES = {xlrd.XL_CELL_TEXT: "text", xlrd.XL_CELL_NUMBER: "number", xlrd.XL_CELL_DATE: "date",
         xlrd.XL_CELL_BOOLEAN: "bool", xlrd.XL_CELL_ERROR: "error"}
VALUES = {xlrd.XL_CELL_BOOLEAN: bool,
          xlrd.XL_CELL_ERROR: lambda code: xlrd.error_text_from_code.get(code, "#ERR%d" % code)}
SHEET_BOF = b"\x09\x08\x10\x00\x00\x06\x10\x00"


def make_lenient():
    """Reads past faults that leave the data intact: a sector shared by two streams, a chain
    longer than its stream, an SST that overstates its count, a sheet offset past its BOF."""
    unpack_sst, get_sheet = xlbook.unpack_SST_table, xlbook.Book.get_sheet

    def locate(doc, qname):  # with no check of the sectors' use
        d = doc._dir_search([qname])
        data = d and doc._get_stream(doc.mem, 512, doc.SAT, doc.sec_size, d.first_SID, d.tot_size)
        return (data, 0, len(data)) if d else (None, 0, 0)

    def sst(datatab, nstrings):
        for n in range(nstrings, -1, -1):  # the most strings the data holds
            try:
                return unpack_sst(datatab, n)
            except (AssertionError, IndexError):
                pass

    def sheet(book, number, update_pos=True):
        pos = book._sh_abs_posn[number]
        if book.mem[pos:pos + 2] != b"\x09\x08" and book.mem[pos - 20:pos - 12] == SHEET_BOF:
            book._sh_abs_posn[number] = pos - 20
        return get_sheet(book, number, update_pos)

    compdoc.CompDoc.locate_named_stream = locate
    xlbook.unpack_SST_table = sst
    xlbook.Book.get_sheet = sheet


def values(path, mode, rows):
    if mode == "lenient":
        make_lenient()
    rows, log = json.loads(rows), io.StringIO()
    try:
        book = xlrd.open_workbook(path, logfile=log, verbosity=0)
    except Exception as e:  # the caller compares outcomes, not tracebacks
        return {"error": "%s: %s" % (type(e).__name__, e)}
    sheets = []
    for sheet in book.sheets():
        wanted = range(sheet.nrows) if rows is None else [r for r in rows if r < sheet.nrows]
        cells = [[r, c, TYPES[t], VALUES.get(t, lambda v: v)(v)] for r in wanted
                 for c, (t, v) in enumerate(zip(sheet.row_types(r), sheet.row_values(r)))
                 if t in TYPES]
        sheets.append({"name": sheet.name, "nrows": sheet.nrows, "ncols": sheet.ncols,
                       "cells": cells})
    return {"log": log.getvalue(), "codepage": book.codepage,
            "biff_version": book.biff_version, "rows": rows, "sheets": sheets}


def cfb(path, out):
    log = io.StringIO()
    doc = compdoc.CompDoc(open(path, "rb").read(), logfile=log)
    open(out, "wb").write(doc.get_named_stream("Workbook"))
    flags = {1: -4, 2: -3}  # compdoc's uses: 0 none, 1 DIFAT, 2 FAT, 3 directory, 6 on streams
    return log.getvalue().splitlines() + [
        "sector %d: use %d, FAT %d" % (s, use, doc.SAT[s]) for s, use in enumerate(doc.seen)
        if use == 0 or doc.SAT[s] != flags.get(use, doc.SAT[s])][:10]


if __name__ == "__main__":
    command = {"values": values, "cfb": cfb}[sys.argv[1]]
    json.dump(command(*sys.argv[2:]), sys.stdout, ensure_ascii=False)
