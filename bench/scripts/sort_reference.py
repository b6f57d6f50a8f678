#!/usr/bin/python3
"""What a user could script: read a CP932 comma-text file with the csv module and sort it by
one column with ICU collation keys for Japanese. Prints the seconds it took.

Usage: sort_reference.py FILE [COLUMN]   (COLUMN is 0-based, default 1: the reading)
Needs the icu module (Debian package python3-icu)."""
import csv
import sys
import time

import icu

path = sys.argv[1]
column = int(sys.argv[2]) if len(sys.argv) > 2 else 1
start = time.perf_counter()
collator = icu.Collator.createInstance(icu.Locale("ja"))
with open(path, encoding="cp932", newline="") as f:
    rows = list(csv.reader(f))
rows.sort(key=lambda r: collator.getSortKey(r[column] if len(r) > column else ""))
elapsed = time.perf_counter() - start
print(f"{len(rows)} rows read and sorted in {elapsed:.3f} s")
