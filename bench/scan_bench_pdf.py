#!/usr/bin/env python3
"""Lists the barcodes of a PDF written by render-bench, cell by cell in print order.

    scan_bench_pdf.py PDF COLS ROWS OUT_LIST

Every page is rendered at 300 pixels per inch (pdftoppm), cut into the cells of
render-bench's layout (margins 0.25 and 0.5 inch on US letter) and each cell is
scanned with zbarimg, as a reader would. Writes one barcode a line: a cell with
no barcode gives "-", a cell with more than one gives them joined by "+".
"""
import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

DPI = 300
PAGE_WIDTH_PX = int(DPI * 8.5)
PAGE_HEIGHT_PX = DPI * 11
LEFT_PX = int(0.25 * DPI)
TOP_PX = int(0.5 * DPI)


def read_pgm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    assert fields[0] == b"P5" and fields[3] == b"255", path
    return int(fields[1]), int(fields[2]), data[pos + 1:]


def write_cell(path, width, pixels, x, y, w, h):
    with open(path, "wb") as f:
        f.write(b"P5\n%d %d\n255\n" % (w, h))
        for row in range(y, y + h):
            f.write(pixels[row * width + x:row * width + x + w])


def scan(paths):
    """Barcodes found in each file, in the order the files were given."""
    found = {p: [] for p in paths}
    run = subprocess.run(["zbarimg", "--xml", "-q"] + paths, capture_output=True, text=True)
    if run.returncode not in (0, 4):
        sys.exit("zbarimg failed: " + run.stderr)
    ns = {"z": "http://zbar.sourceforge.net/2008/barcode"}
    for source in ET.fromstring(run.stdout).findall("z:source", ns):
        for symbol in source.iter("{%s}symbol" % ns["z"]):
            found[source.get("href")].append(symbol.find("z:data", ns).text)
    return [found[p] for p in paths]


def main():
    pdf, cols, rows, out = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
    cell_width = (PAGE_WIDTH_PX - 2 * LEFT_PX) // cols
    cell_height = (PAGE_HEIGHT_PX - 2 * TOP_PX) // rows
    first_row_y = TOP_PX - DPI // 10
    lines = []
    with tempfile.TemporaryDirectory() as work:
        subprocess.run(["pdftoppm", "-r", str(DPI), "-gray", pdf, os.path.join(work, "page")], check=True)
        pages = sorted(p for p in os.listdir(work) if p.startswith("page"))
        for page in pages:
            width, height, pixels = read_pgm(os.path.join(work, page))
            cells = []
            for r in range(rows):
                for c in range(cols):
                    x = LEFT_PX + c * cell_width
                    y = max(0, first_row_y + r * cell_height)
                    cell = os.path.join(work, "cell%03d.pgm" % len(cells))
                    write_cell(cell, width, pixels, x, y, min(cell_width, width - x), min(cell_height, height - y))
                    cells.append(cell)
            for found in scan(cells):
                lines.append("+".join(found) if found else "-")
            for path in cells + [os.path.join(work, page)]:
                os.remove(path)
    # Cells left empty on the last sheet are not passes.
    while lines and lines[-1] == "-":
        lines.pop()
    with open(out, "w") as f:
        f.write("".join(line + "\n" for line in lines))


if __name__ == "__main__":
    main()
