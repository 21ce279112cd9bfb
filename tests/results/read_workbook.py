"""Dumps every cell of an .xlsx workbook, or every field of a .csv file, as JSON, for the
export tests.

Workbook: {"sheets": [{"name": ..., "max_row": n, "cells": [[row, column, type, value], ...]}],
"texts": [...]} where type is the Python type name of the value openpyxl reads (str, int,
float, ...) and texts are the stored texts as the file format defines them: "_xHHHH_" is the
character HHHH. (openpyxl 3.0 only drops every "x005F_", so it cannot show all of them.)
CSV: {"rows": [[[type, value], ...], ...]} as the csv module reads it when only unquoted fields
are numbers: a quoted field comes back as str, an unquoted one as float (or fails the read).
"""
import csv
import json
import re
import zipfile
import xml.etree.ElementTree as ElementTree
import sys

import openpyxl


def read_csv(path):
    with open(path, newline="", encoding="utf-8") as f:
        rows = csv.reader(f, quoting=csv.QUOTE_NONNUMERIC)
        return {"rows": [[[type(v).__name__, v] for v in row] for row in rows]}


def stored_texts(path):
    main = "{http://schemas.openxmlformats.org/spreadsheetml/2006/main}"
    with zipfile.ZipFile(path) as z:
        if "xl/sharedStrings.xml" not in z.namelist():
            return []
        root = ElementTree.fromstring(z.read("xl/sharedStrings.xml"))
    escaped = re.compile("_x([0-9A-Fa-f]{4})_")
    texts = []
    for si in root.iter(main + "si"):
        text = "".join(t.text or "" for t in si.iter(main + "t"))
        texts.append(escaped.sub(lambda m: chr(int(m.group(1), 16)), text))
    return texts


def main():
    if sys.argv[1].endswith(".csv"):
        json.dump(read_csv(sys.argv[1]), sys.stdout)
        return
    book = openpyxl.load_workbook(sys.argv[1])
    sheets = []
    for sheet in book.worksheets:
        cells = [
            [cell.row, cell.column, type(cell.value).__name__, cell.value]
            for row in sheet.iter_rows()
            for cell in row
            if cell.value is not None
        ]
        sheets.append({"name": sheet.title, "max_row": sheet.max_row, "cells": cells})
    json.dump({"sheets": sheets, "texts": stored_texts(sys.argv[1])}, sys.stdout)


if __name__ == "__main__":
    main()
