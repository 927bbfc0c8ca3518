#!/usr/bin/python3
"""The keyword list's peer: FILE SEED COUNT writes with xlwt a data workbook of COUNT entries
with random keywords (runs of both spaces, apostrophes, case and width variants, Null chunks,
trailing spaces stored as tabs, deleted entries), reads it back with xlrd and prints
{"keywords": [...]}: the distinct words between runs of spaces of the live entries' keywords,
in code point order (the order of UTF-8 bytes)."""
import json
import random
import re
import sys

import xlrd
import xlwt

GROUPS = [("URL", 16), ("タイトル", 4), ("サブタイトル", 4), ("コメント", 16), ("キーワード", 16)]
HEADER = ["シリアル番号"] + [p + str(i) for p, n in GROUPS for i in range(1, n + 1)] + ["削除"]
KEYWORD_COLUMNS = [c for c, name in enumerate(HEADER) if name.startswith("キーワード")]
DELETED = HEADER.index("削除")
WORDS = ["news", "News", "NEWS", "ｎｅｗｓ", "ＮＥＷＳ", "ニュース", "ﾆｭｰｽ", "にゅーす", "it's",
         "rock'n'roll", "''", "'", "天気", "料理", "レシピ", "旅行", "C++", "Qt", "2024", "10",
         "1.50", "café", "CAFÉ", "a\tb", "x" * 140, "長" * 130, "Linux", "linux"]
# No characters beyond U+FFFF: xlwt may split their surrogate pairs between SST records, which
# xlrd cannot read back.
SEPARATORS = [" ", "　", "  ", " 　", "　 ", "　　"]


def keyword_text(rng):
    words = [rng.choice(WORDS) + rng.choice(["", "", "", str(rng.randint(1, 300))])
             for _ in range(rng.randint(0, 8))]
    text = ""
    for word in words:
        text += rng.choice(SEPARATORS) if text or rng.random() < 0.1 else ""
        text += word
    return text + (rng.choice(SEPARATORS) if rng.random() < 0.2 else "")


def stored_chunks(rng, text):
    """125-character chunks, trailing spaces as tabs, sometimes an empty (Null) one between."""
    chunks = []
    for i in range(0, len(text), 125):
        chunk = text[i:i + 125]
        body = chunk.rstrip(" ")
        chunks.append(body + "\t" * (len(chunk) - len(body)))
        if rng.random() < 0.1:
            chunks.append(None)
    return chunks[:16]


def write(path, seed, count):
    rng = random.Random(seed)
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("トモリネ")
    for c, name in enumerate(HEADER):
        sheet.write(0, c, name)
    for c, name in enumerate(HEADER):
        sheet.write(1, c, 0 if c == 0 else 1 if c == DELETED else
                    "dummy" if name.startswith("URL") else "ダミー")
    for serial in range(1, count + 1):
        row = sheet.row(serial + 1)
        row.write(0, serial)
        row.write(1, "http://example.jp/%d" % serial)
        for c, chunk in zip(KEYWORD_COLUMNS, stored_chunks(rng, keyword_text(rng))):
            if chunk is not None:
                row.write(c, chunk)
        row.write(DELETED, 1 if rng.random() < 0.1 else 0)
        if serial % 1000 == 0:
            sheet.flush_row_data()
    book.save(path)


def keywords(path):
    sheet = xlrd.open_workbook(path).sheet_by_name("トモリネ")
    found = set()
    for r in range(1, sheet.nrows):
        if sheet.cell_value(r, DELETED) != 0:
            continue
        text = ""
        for c in KEYWORD_COLUMNS:
            if c < sheet.ncols and sheet.cell_type(r, c) == xlrd.XL_CELL_TEXT:
                chunk = sheet.cell_value(r, c)
                body = chunk.rstrip("\t")
                text += body + " " * (len(chunk) - len(body))
        found.update(w for w in re.split("[ \u3000]+", text) if w)
    return sorted(found)


if __name__ == "__main__":
    write(sys.argv[1], int(sys.argv[2]), int(sys.argv[3]))
    json.dump({"keywords": keywords(sys.argv[1])}, sys.stdout, ensure_ascii=False)
