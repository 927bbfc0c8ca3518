#!/usr/bin/python3
"""Prints what xlrd 1.2 reads from an .xls file, as JSON on stdout:
    {"sheets": [{"name": ..., "cells": [[row, col, type, value], ...]}]}
rows and columns 0-based, row-major, empty cells left out; type is text,
number, date, bool or error (value: the error text such as "#N/A").
On failure: {"error": "<exception type>: <message>"}.

--lenient reads past faults that xlrd refuses although the data is intact:
a sector shared by two streams, a FAT chain longer than its stream, an SST
that overstates its string count, a sheet offset that points just past the
sheet's BOF record.
"""
import json
import os
import sys

import xlrd
import xlrd.book as xlbook
import xlrd.compdoc as compdoc

TYPES = {xlrd.XL_CELL_TEXT: 'text', xlrd.XL_CELL_NUMBER: 'number',
         xlrd.XL_CELL_DATE: 'date', xlrd.XL_CELL_BOOLEAN: 'bool',
         xlrd.XL_CELL_ERROR: 'error'}


class _NoSectorSeen:
    def __init__(self, n):
        self.n = n

    def __getitem__(self, i):
        if not 0 <= i < self.n:
            raise IndexError('array index out of range')
        return 0

    def __setitem__(self, i, value):
        if not 0 <= i < self.n:
            raise IndexError('array index out of range')


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
    raise xlrd.XLRDError('SST unreadable')


_get_sheet = xlbook.Book.get_sheet
_BIFF8_SHEET_BOF = b'\x09\x08\x10\x00\x00\x06\x10\x00'


def _get_sheet_leniently(self, sh_number, update_pos=True):
    pos = self._sh_abs_posn[sh_number]
    if (self.mem[pos:pos + 2] != b'\x09\x08'
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
        return xlrd.error_text_from_code.get(value, '#ERR%d' % value)
    return value


def dump(path):
    book = xlrd.open_workbook(path, logfile=open(os.devnull, 'w'))
    sheets = []
    for sh in book.sheets():
        cells = []
        for r in range(sh.nrows):
            for c, (t, v) in enumerate(zip(sh.row_types(r), sh.row_values(r))):
                if t not in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
                    cells.append([r, c, TYPES[t], value_of(t, v)])
        sheets.append({'name': sh.name, 'cells': cells})
    return {'sheets': sheets}


def main(argv):
    lenient = '--lenient' in argv
    if lenient:
        make_lenient()
    path = [a for a in argv[1:] if a != '--lenient'][0]
    try:
        out = dump(path)
    except Exception as e:  # the caller compares outcomes, not tracebacks
        out = {'error': '%s: %s' % (type(e).__name__, e)}
    json.dump(out, sys.stdout, ensure_ascii=False)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
