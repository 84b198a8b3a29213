#!/usr/bin/env python3
"""Reads pinwhirl-check --json of the shipped pack on standard input and fails
when the pack is not what players are promised: clean, cleared by the search in
at most three throws, cleared by a steady hand in at most four throws on
average and within six in nine attempts of ten, a first throw that a steady
hand can land (a window of at least 4 degrees and 20% of speed), and the
levels ordered easiest first by the steady hand's mean."""
import json
import sys

d = json.load(sys.stdin)
assert d["errors"] == d["warnings"] == 0, d["findings"]
levels = d["levels"][:-1]  # the last is the game-over screen
misses = []
for l in levels:
    steady = next(p for p in l["people"] if p["hand"] == "steady")
    checks = [
        (0 < l["par"] == len(l["throws"]) <= 3, "par %s" % l.get("par")),
        (steady["mean"] <= 4, "steady mean %.2f" % steady["mean"]),
        (steady["withinSix"] >= 0.9, "within 6 %.0f%%" % (100 * steady["withinSix"])),
        (l["window"]["degrees"] >= 4, "window %.1f degrees" % l["window"]["degrees"]),
        (l["window"]["speed"] >= 20, "window %.0f%% of speed" % l["window"]["speed"]),
    ]
    misses += ["%s: %s" % (l["scene"], why) for ok, why in checks if not ok]
order = [l["difficulty"] for l in levels]
if order != sorted(order):
    misses.append("not easiest first: %s" % [(l["scene"], l["difficulty"]) for l in levels])
if misses:
    sys.exit("\n".join(misses))
print("%d levels meet every target" % len(levels))
