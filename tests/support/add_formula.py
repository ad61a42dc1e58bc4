#!/usr/bin/env python3
"""Copies a .xlsx with openpyxl, putting a formula into one cell of its first sheet, as a person
would type one beside exported cells: add_formula.py IN OUT CELL FORMULA. The spreadsheet program
that opens OUT computes the formula from the cells as written."""
import sys

import openpyxl


def main(source, target, cell, formula):
    workbook = openpyxl.load_workbook(source)
    workbook.worksheets[0][cell] = formula
    workbook.save(target)


if __name__ == "__main__":
    main(*sys.argv[1:5])
