#!/usr/bin/env python3
"""Reads a table file back with real parsers, for the table writer tests.

Usage: read_table.py FORMAT FILE [gnumeric|libreoffice]

Prints one line per row, each cell as "=" followed by its UTF-8 bytes in hex
(jsonl rows as key, value, key, value, ...), then lines starting with "#" that
describe an xlsx sheet. A file that is not valid UTF-8 or does not parse fails.

With a spreadsheet named, a tab, tsv or csv FILE is opened by it as text split
at Tabs (commas for csv) and saved as csv, and that is what is read; exit
status 77 when the spreadsheet is not installed. Empty cells at a row's end
are left out.
"""
import csv
import json
import os
import shutil
import subprocess
import sys
import tempfile


def emit(rows):
    for row in rows:
        print(" ".join("=" + cell.encode("utf-8").hex() for cell in row))


def read_csv(path):
    with open(path, newline="", encoding="utf-8-sig", errors="strict") as f:
        return list(csv.reader(f, strict=True))


def read_tsv(path):
    escapes = {"t": "\t", "n": "\n", "r": "\r", "\\": "\\"}
    with open(path, newline="", encoding="utf-8", errors="strict") as f:
        text = f.read()
    assert text.endswith("\n") or text == "", "the last row has no line end"
    rows = []
    for line in text.split("\n")[:-1]:
        row = []
        for field in line.split("\t"):
            cell, i = "", 0
            while i < len(field):
                if field[i] == "\\":
                    cell += escapes[field[i + 1]]
                    i += 2
                else:
                    assert field[i] != "\r", "a bare CR in a tsv cell"
                    cell += field[i]
                    i += 1
            row.append(cell)
        rows.append(row)
    return rows


def read_jsonl(path):
    rows = []
    with open(path, newline="", encoding="utf-8", errors="strict") as f:
        for line in f:
            assert line.endswith("\n"), "a row without its LF"
            obj = json.loads(line, object_pairs_hook=lambda pairs: pairs)
            assert isinstance(obj, list), "a row that is not an object"
            row = []
            for key, value in obj:
                assert isinstance(value, str), "a value that is not a string"
                row += [key, value]
            rows.append(row)
    return rows


def read_xlsx(path):
    import openpyxl

    book = openpyxl.load_workbook(path)
    sheet = book.worksheets[0]
    rows, notes = [], ["#sheets %d" % len(book.worksheets), "#freeze %s" % sheet.freeze_panes]
    for r, cells in enumerate(sheet.iter_rows(), start=1):
        row = []
        for c, cell in enumerate(cells, start=1):
            if cell.value is None:
                row.append("")
                continue
            if not isinstance(cell.value, str) or cell.data_type != "s":
                notes.append("#not-text %d %d %s %s" % (r, c, cell.data_type, cell.number_format))
            row.append(str(cell.value))
            if cell.font.b:
                notes.append("#bold %d %d" % (r, c))
            if cell.alignment.wrap_text:
                notes.append("#wrap %d %d" % (r, c))
        while row and row[-1] == "":
            row.pop()
        rows.append(row)
    for letter, dimension in sorted(sheet.column_dimensions.items()):
        if dimension.width:
            notes.append("#width %s %g" % (letter, dimension.width))
    return rows, notes


def opened_by(program, fmt, path, scratch):
    if not shutil.which("ssconvert" if program == "gnumeric" else "soffice"):
        sys.exit(77)
    out = os.path.join(scratch, "opened.csv")
    command = ["ssconvert", "-I", "Gnumeric_stf:stf_csvtab", "-T", "Gnumeric_stf:stf_csv", path, out]
    if program == "libreoffice":  # with a profile of its own, beside no running LibreOffice
        copy = os.path.join(scratch, "opened." + ("csv" if fmt == "csv" else "txt"))
        shutil.copyfile(path, copy)
        command = ["soffice", "-env:UserInstallation=file://" + scratch + "/profile", "--headless",
                   "--infilter=Text - txt - csv (StarCalc):%d,34,76,1" % (44 if fmt == "csv" else 9),
                   "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76,1",
                   "--outdir", scratch + "/out", copy]
        out = os.path.join(scratch, "out", "opened.csv")
    done = subprocess.run(command, capture_output=True, text=True, timeout=300)
    assert done.returncode == 0 and os.path.exists(out), done.stderr
    return [row[:max((i + 1 for i, cell in enumerate(row) if cell), default=0)]
            for row in read_csv(out)]


def main():
    fmt, path = sys.argv[1], sys.argv[2]
    if len(sys.argv) > 3:
        with tempfile.TemporaryDirectory() as scratch:
            emit(opened_by(sys.argv[3], fmt, path, scratch))
        return
    if fmt == "xlsx":
        rows, notes = read_xlsx(path)
        emit(rows)
        print("\n".join(notes))
    else:
        emit({"csv": read_csv, "tsv": read_tsv, "jsonl": read_jsonl}[fmt](path))


main()
