#!/usr/bin/env python3
"""Reads a .xlsx back with openpyxl and prints what the tests check, as JSON on one line.

Each sheet: its name, column widths set, and every cell holding something: row, column, value
(long texts as their length and first characters), openpyxl's data type and whether it is bold.
"formats" maps each cell with a number format other than General to that format.
"formulas" counts the formula elements in the sheet's own XML, which openpyxl would otherwise
read as plain values only when they were written as text.
"""
import json
import re
import sys
import zipfile

import openpyxl


def cell_entry(cell):
    value = cell.value
    if isinstance(value, str) and len(value) > 100:
        value = {"length": len(value), "start": value[:20]}
    elif hasattr(value, "isoformat"):
        value = value.isoformat()
    return [cell.row, cell.column, value, cell.data_type, bool(cell.font and cell.font.b)]


def main(path):
    workbook = openpyxl.load_workbook(path)
    sheets = []
    with zipfile.ZipFile(path) as archive:
        for index, sheet in enumerate(workbook.worksheets, start=1):
            xml = archive.read("xl/worksheets/sheet%d.xml" % index).decode("utf-8")
            cells = [cell_entry(c) for row in sheet.iter_rows() for c in row
                     if c.value is not None or (c.font and c.font.b)]
            formats = {c.coordinate: c.number_format for row in sheet.iter_rows() for c in row
                       if c.value is not None and c.number_format != "General"}
            widths = {key: dim.width for key, dim in sheet.column_dimensions.items() if dim.customWidth}
            sheets.append({"name": sheet.title, "cells": cells, "widths": widths,
                           "formats": formats,
                           "formulas": len(re.findall(r"<f[ >]", xml))})
    print(json.dumps({"sheets": sheets}))


if __name__ == "__main__":
    main(sys.argv[1])
