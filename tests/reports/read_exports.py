#!/usr/bin/python3
"""Prints, as one line of JSON, what a reader finds in an exported file.

Usage: read_exports.py FILE

A workbook gives its sheet's title, its frozen cell and its rows; a cell is null when empty,
else its value, its number format, whether it is bold and, for a number, the text that format
shows.
"""
import json
import sys


def shown(value, number_format):
    # The formats the race data grid uses: "0", or "0." and as many zeros as decimals.
    if number_format == "0":
        return f"{value:.0f}"
    if number_format.startswith("0.") and set(number_format[2:]) == {"0"}:
        return f"{value:.{len(number_format) - 2}f}"
    return None


def workbook(path):
    import openpyxl

    sheet = openpyxl.load_workbook(path).active
    rows = []
    for row in sheet.iter_rows():
        cells = []
        for cell in row:
            if cell.value is None:
                cells.append(None)
                continue
            entry = {"value": cell.value, "format": cell.number_format, "bold": bool(cell.font.b)}
            if not isinstance(cell.value, str):
                entry["shown"] = shown(cell.value, cell.number_format)
            cells.append(entry)
        rows.append(cells)
    return {"title": sheet.title, "freeze": sheet.freeze_panes, "rows": rows}


if __name__ == "__main__":
    print(json.dumps(workbook(sys.argv[1])))
