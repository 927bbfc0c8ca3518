#!/usr/bin/python3
"""FILE SEED COUNT: a data workbook of random keywords by xlwt; prints the words xlrd reads."""
import json
import random
import re
import sys

import xlrd
import xlwt

GROUPS = [("URL", 16), ("タイトル", 4), ("サブタイトル", 4), ("コメント", 16), ("キーワード", 16)]
HEADER = ["シリアル番号"] + [p + str(i) for p, n in GROUPS for i in range(1, n + 1)] + ["削除"]
KEYWORDS = [c for c, name in enumerate(HEADER) if name.startswith("キーワード")]
DELETED = len(HEADER) - 1
WORDS = ["news", "News", "NEWS", "ｎｅｗｓ", "ＮＥＷＳ", "ニュース", "ﾆｭｰｽ", "にゅーす", "it's",
         "rock'n'roll", "''", "天気", "C++", "2024", "1.50", "café", "CAFÉ", "a\tb", "x" * 140,
         "長" * 130]
# Nothing beyond U+FFFF: xlwt may split a surrogate pair between SST records.
SEPARATORS = [" ", "　", "  ", " 　", "　 ", "　　"]


def stored_chunks(rng):
    words = [rng.choice(WORDS) + rng.choice(["", "", str(rng.randint(1, 300))])
             for _ in range(rng.randint(0, 8))]
    text = "".join(rng.choice(SEPARATORS) + w for w in words)[rng.randint(0, 1):]
    text += rng.choice(["", " "])
    chunks = []
    for i in range(0, len(text), 125):
        body = text[i:i + 125].rstrip(" ")
        chunks += [body + "\t" * (len(text[i:i + 125]) - len(body))] + [None] * (rng.random() < 0.1)
    return chunks[:16]


def write(path, rng, count):
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("トモリネ")
    for c, name in enumerate(HEADER):
        sheet.write(0, c, name)
        sheet.write(1, c, 0 if c == 0 else 1 if c == DELETED else "ダミー")
    for serial in range(1, count + 1):
        row = sheet.row(serial + 1)
        row.write(0, serial)
        for c, chunk in zip(KEYWORDS, stored_chunks(rng)):
            if chunk is not None:
                row.write(c, chunk)
        row.write(DELETED, int(rng.random() < 0.1))
        if serial % 1000 == 0:
            sheet.flush_row_data()
    book.save(path)


def keywords(path):
    sheet = xlrd.open_workbook(path).sheet_by_name("トモリネ")
    found = set()
    for r in range(1, sheet.nrows):
        if sheet.cell_value(r, DELETED) == 0:
            text = "".join(re.sub("\t+$", lambda m: " " * len(m.group()), sheet.cell_value(r, c))
                           for c in KEYWORDS if sheet.cell_type(r, c) == xlrd.XL_CELL_TEXT)
            found.update(w for w in re.split("[ \u3000]+", text) if w)
    return sorted(found)


if __name__ == "__main__":
    write(sys.argv[1], random.Random(int(sys.argv[2])), int(sys.argv[3]))
    json.dump({"keywords": keywords(sys.argv[1])}, sys.stdout, ensure_ascii=False)
