#!/usr/bin/python3
"""`add` as a script over xlrd and xlwt would do it, for a side-by-side figure.

peer_add.py DATA.xls URL TITLE: reads the whole workbook, writes it again with
one row more under the next serial (URL and title in their first chunks, the
deleted mark 0), to a temporary file beside it, flushed and renamed over it.
"""
import os
import sys
import tempfile

import xlrd
import xlwt

KEPT = (xlrd.XL_CELL_TEXT, xlrd.XL_CELL_NUMBER, xlrd.XL_CELL_BOOLEAN)


def copy_book(book):
    out = xlwt.Workbook(encoding="utf-8")
    for sheet in book.sheets():
        target = out.add_sheet(sheet.name)
        for r in range(sheet.nrows):
            row = target.row(r)
            for c, cell in enumerate(sheet.row(r)):
                if cell.ctype in KEPT:
                    row.write(c, cell.value)
    return out


def main(path, url, title):
    book = xlrd.open_workbook(path)
    out = copy_book(book)
    entries = book.sheet_by_index(0)
    header = [cell.value for cell in entries.row(0)]
    serials = entries.col_values(header.index("シリアル番号"), 1)
    serial = int(max((v for v in serials if isinstance(v, float)), default=0)) + 1
    row = out.get_sheet(0).row(entries.nrows)
    row.write(header.index("シリアル番号"), serial)
    row.write(header.index("URL1"), url)
    row.write(header.index("タイトル1"), title)
    row.write(header.index("削除"), 0)
    fd, temp = tempfile.mkstemp(dir=os.path.dirname(os.path.abspath(path)), prefix=".peer")
    with os.fdopen(fd, "wb") as f:
        out.save(f)
        f.flush()
        os.fsync(f.fileno())
    os.replace(temp, path)
    print(serial)


if __name__ == "__main__":
    main(*sys.argv[1:4])
