#!/usr/bin/env python3
"""The statistics of a log computed again, independently of the program, from the definitions:
groups by function and unit; runs of one group not going back in time and at most 10 s apart;
each record weighted by its run's duration (last - first + 1 s) over its count; overloads in the
measured time only.

Usage: statistics_check.py LOG [--from T] [--to T] [--hi [FUNCTION=]X]... [--low ...]...; prints one JSON object
with the same keys as `envmeter --statistics LOG --json`.
"""
import argparse
import datetime
import json
import math
import sqlite3

OVERLOADS = {"O.L", "OL", "OL."}
ORDER = ["Sound", "Humidity", "Temp", "Light"]


def stamp(text):
    try:
        return datetime.datetime.strptime(text, "%H:%M:%S/%m-%d-%Y")
    except (ValueError, TypeError):
        return None


def number(text):
    try:
        value = float(text)
    except (ValueError, TypeError):
        return None
    return value if math.isfinite(value) else None


def kelvin(value, unit):
    return ((value - 32) * 5 / 9 if unit == "F" else value) + 273.15


def exceeded(levels, percent):
    total = sum(w for _, w in levels)
    running = 0.0
    for level, weight in sorted(levels, key=lambda lw: -lw[0]):
        running += weight
        if running >= total * percent / 100 - total * 1e-12:
            return level
    return levels[-1][0]


def limits(values):
    """{function or None (every function): limit} of "85" and "sound=85"."""
    names = {"sound": "Sound", "humidity": "Humidity", "temp": "Temp",
             "temperature": "Temp", "light": "Light"}
    out = {}
    for value in values:
        name, _, number = value.rpartition("=")
        out[names[name.lower()] if name else None] = float(number)
    return out


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("log")
    parser.add_argument("--from", dest="start")
    parser.add_argument("--to", dest="end")
    parser.add_argument("--hi", action="append", default=[])
    parser.add_argument("--low", action="append", default=[])
    args = parser.parse_args()
    hi, low = limits(args.hi), limits(args.low)
    start = datetime.datetime.fromisoformat(args.start) if args.start else None
    end = datetime.datetime.fromisoformat(args.end) if args.end else None

    rows = sqlite3.connect(args.log).execute(
        "SELECT BBB, CCC, DDD, EEE FROM b1 ORDER BY AAA").fetchall()
    left_out = 0
    taken = []  # (group, time, level or None)
    for function, data, unit, text in rows:
        time = stamp(text)
        if time is not None and ((start and time < start) or (end and time > end)):
            continue
        level = None if data in OVERLOADS else number(data)
        if time is None or not function or (level is None and data not in OVERLOADS):
            left_out += 1
            continue
        taken.append(((function, unit or ""), time, level))

    runs = []
    for entry in taken:
        last = runs[-1][-1] if runs else None
        if (last and last[0] == entry[0] and entry[1] >= last[1]
                and (entry[1] - last[1]).total_seconds() <= 10):
            runs[-1].append(entry)
        else:
            runs.append([entry])

    groups = {}
    for run in runs:
        duration = (run[-1][1] - run[0][1]).total_seconds() + 1
        g = groups.setdefault(run[0][0], {"records": [], "seconds": 0.0})
        g["seconds"] += duration
        g["records"] += [(time, level, duration / len(run)) for _, time, level in run]

    out = []
    for (function, unit), g in sorted(
            groups.items(), key=lambda kv: (ORDER.index(kv[0][0]) if kv[0][0] in ORDER
                                            else len(ORDER), kv[0][1])):
        records = g["records"]  # in the log's order
        levels = [(level, w) for _, level, w in records if level is not None]
        te = g["seconds"]
        result = {
            "function": function, "unit": unit, "readings": len(records),
            "overloads": sum(1 for r in records if r[1] is None),
            "overload_seconds": sum(w for _, level, w in records if level is None),
            "first": records[0][0].isoformat(), "last": records[-1][0].isoformat(),
            "seconds": te,
            "min": min(l for l, _ in levels) if levels else None,
            "max": max(l for l, _ in levels) if levels else None,
        }
        total = sum(w for _, w in levels)
        if function == "Sound":
            if levels:
                leq = 10 * math.log10(sum(w * 10 ** (l / 10) for l, w in levels) / total)
                niosh = 100 * sum(w / (28800 / 2 ** ((l - 85) / 3)) for l, w in levels)
                osha = 100 * sum(w / (28800 / 2 ** ((l - 90) / 5)) for l, w in levels if l >= 80)
                result.update(leq=leq, l10=exceeded(levels, 10), l50=exceeded(levels, 50),
                              l90=exceeded(levels, 90), lex8h=leq + 10 * math.log10(te / 28800),
                              dose_niosh=niosh, dose_osha=osha,
                              projected_dose_niosh=niosh * 28800 / te,
                              projected_dose_osha=osha * 28800 / te)
        else:
            result["mean"] = sum(l * w for l, w in levels) / total if levels else None
        if function == "Temp" and levels:
            k = sum(w * math.exp(-10000 / kelvin(l, unit)) for l, w in levels) / total
            mkt = 10000 / -math.log(k) - 273.15
            result["mkt"] = mkt * 9 / 5 + 32 if unit == "F" else mkt
        if function == "Light":
            result["lux_hours"] = sum(l * w for l, w in levels) / 3600 if levels else None
        limit_hi = hi.get(function, hi.get(None))
        limit_low = low.get(function, low.get(None))
        if limit_hi is not None:
            result["hi"] = limit_hi
            result["above_hi_seconds"] = sum(w for l, w in levels if l >= limit_hi)
        if limit_low is not None:
            result["low"] = limit_low
            result["below_low_seconds"] = sum(w for l, w in levels if l <= limit_low)
        out.append(result)
    print(json.dumps({"file": args.log, "groups": out, "left_out": left_out}))


if __name__ == "__main__":
    main()
