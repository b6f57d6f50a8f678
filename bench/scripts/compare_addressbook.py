#!/usr/bin/python3
"""Reference figures for the address-book benchmark, measured on the same generated book.

Reads the CP932 book with the csv module and sorts the rows by reading with PyICU sort keys
(Japanese collation, as the book sorts), then runs a plain substring search over all rows.
Run with the system Python, which has the icu module (Debian package python3-icu):

    /usr/bin/python3 bench/scripts/compare_addressbook.py BOOK.kad
"""
import csv
import io
import sys
import time

import icu


def main():
    if len(sys.argv) != 2:
        print("usage: compare_addressbook.py BOOK.kad", file=sys.stderr)
        return 2
    path = sys.argv[1]
    collator = icu.Collator.createInstance(icu.Locale("ja"))

    start = time.perf_counter()
    with open(path, "rb") as f:
        text = f.read().decode("cp932")
    rows = list(csv.reader(io.StringIO(text, newline="")))
    rows.sort(key=lambda r: collator.getSortKey(r[1] if len(r) > 1 else ""))
    open_time = time.perf_counter() - start

    needle = "存在しない"
    start = time.perf_counter()
    found = -1
    for i, row in enumerate(rows):
        if needle in ",".join(row):
            found = i
            break
    find_time = time.perf_counter() - start

    print(f"python reference: {len(rows)} rows; read + sort {open_time * 1000:.0f} ms; "
          f"substring search over all rows {find_time * 1000:.1f} ms (found {found})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
