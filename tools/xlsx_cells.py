#!/usr/bin/env python3
"""Prints the first sheet of a workbook as JSON (a list of rows of cell texts),
read with openpyxl, so that the screenshot of a saved workbook shows what the
file holds. Usage: xlsx_cells.py FILE [ROWS]"""
import json
import sys

import openpyxl


def main():
    path = sys.argv[1]
    limit = int(sys.argv[2]) if len(sys.argv) > 2 else 20
    sheet = openpyxl.load_workbook(path, read_only=True).worksheets[0]
    rows = []
    for cells in sheet.iter_rows(max_row=limit):
        rows.append(["" if cell.value is None else str(cell.value) for cell in cells])
    json.dump(rows, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main()
