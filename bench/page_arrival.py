#!/usr/bin/env python3
"""When each page of a PCL XL job reached the printer.

    page_arrival.py DATA TIMES START

DATA is what the arrival backend received, TIMES its "<epoch> <bytes>" lines,
START the epoch the run began. Prints pages, first_page_seconds and
last_page_seconds: from START until the piece holding the page's EndPage
operator arrived.
"""
import bisect
import sys

END_PAGE = 0x44
# Sizes of the data types' single values, by the low bits of their tags.
VALUE_SIZES = [1, 2, 4, 2, 4, 4]


def page_ends(data):
    """Offsets of every EndPage operator in the stream."""
    ends = []
    i, n = 0, len(data)
    while i < n:
        b = data[i]
        if b == 0x1B:  # UEL, then PJL lines, until the next session's header
            header = data.find(b") HP-PCL XL", i)
            if header < 0:
                break
            i = data.index(b"\n", header) + 1
            continue
        if b == ord(")") and data.startswith(b") HP-PCL XL", i):
            i = data.index(b"\n", i) + 1
            continue
        if b in (0x00, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x20):
            i += 1
        elif 0xC0 <= b <= 0xC5:
            i += 1 + VALUE_SIZES[b - 0xC0]
        elif 0xC8 <= b <= 0xCD:
            length_tag = data[i + 1]
            if length_tag == 0xC0:
                count, i = data[i + 2], i + 3
            else:
                count, i = int.from_bytes(data[i + 2:i + 4], "little"), i + 4
            i += count * VALUE_SIZES[b - 0xC8]
        elif 0xD0 <= b <= 0xD5:
            i += 1 + 2 * VALUE_SIZES[b - 0xD0]
        elif 0xE0 <= b <= 0xE5:
            i += 1 + 4 * VALUE_SIZES[b - 0xE0]
        elif b == 0xF8:
            i += 2
        elif b == 0xF9:
            i += 3
        elif b == 0xFA:
            i += 5 + int.from_bytes(data[i + 1:i + 5], "little")
        elif b == 0xFB:
            i += 2 + data[i + 1]
        else:  # an operator
            if b == END_PAGE:
                ends.append(i)
            i += 1
    return ends


def main():
    data = open(sys.argv[1], "rb").read()
    arrived, offsets, total = [], [], 0
    for line in open(sys.argv[2]):
        when, size = line.split()
        total += int(size)
        arrived.append(float(when))
        offsets.append(total)  # the first byte past this piece
    start = float(sys.argv[3])
    ends = page_ends(data)
    if not ends:
        sys.exit("no page in %s" % sys.argv[1])
    at = lambda offset: arrived[bisect.bisect_right(offsets, offset)] - start
    print("pages: %d" % len(ends))
    print("first_page_seconds: %.2f" % at(ends[0]))
    print("last_page_seconds: %.2f" % at(ends[-1]))


if __name__ == "__main__":
    main()
