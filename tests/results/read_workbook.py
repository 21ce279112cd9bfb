"""Dumps every cell of an .xlsx workbook as JSON, for the export tests.

Output: {"sheets": [{"name": ..., "max_row": n, "cells": [[row, column, type, value], ...]}]}
where type is the Python type name of the value openpyxl reads (str, int, float, ...).
"""
import json
import sys

import openpyxl


def main():
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
    json.dump({"sheets": sheets}, sys.stdout)


if __name__ == "__main__":
    main()
