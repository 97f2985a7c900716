#!/usr/bin/env python3
"""Prints the site's download sizes and fails when they exceed the budget: the program
(wasm and js) at most 1 MB, the whole site at most 5 MB (MB = 1,000,000 bytes).

Usage: site_report.py SITE_DIR"""
import os
import sys

PROGRAM_BUDGET = 1_000_000  # bytes
SITE_BUDGET = 5_000_000     # bytes

site = sys.argv[1]
sizes = {name: os.path.getsize(os.path.join(site, name)) for name in sorted(os.listdir(site))}
for name, size in sizes.items():
    print("%-16s %10d bytes" % (name, size))
program = sum(size for name, size in sizes.items() if name.endswith((".js", ".wasm")))
total = sum(sizes.values())
print("%-16s %10d bytes (budget %d)" % ("wasm + js", program, PROGRAM_BUDGET))
print("%-16s %10d bytes (budget %d)" % ("site", total, SITE_BUDGET))
if program > PROGRAM_BUDGET or total > SITE_BUDGET:
    sys.exit("site_report: the site is over its download budget")
