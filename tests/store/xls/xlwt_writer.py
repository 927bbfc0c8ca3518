#!/usr/bin/python3
"""Writes with xlwt the "sheets" (as xls_peer.h's ValuesOf gives them) of OUT.json to OUT."""
import json
import sys

import xlrd
import xlwt

codes = {text: code for code, text in xlrd.error_text_from_code.items()}
book = xlwt.Workbook(encoding="utf-8", style_compression=2)
for layout in json.load(open(sys.argv[1] + ".json", encoding="utf-8")):
    sheet = book.add_sheet(layout["name"])
    for row, column, kind, value in layout["cells"]:
        if kind == "error":
            sheet.row(row).set_cell_error(column, codes[value])
        else:
            sheet.write(row, column, value)
book.save(sys.argv[1])
