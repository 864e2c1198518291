#!/usr/bin/env python3
"""The statistics of a log computed again, independently of the program, from the definitions:
groups by function and unit; runs of one group not going back in time and at most 10 s apart;
each record weighted by its run's duration (last - first + 1 s) over its count; overloads in the
measured time only.

Time stamps are the local clock of a zone (--tz, else $TZ, else /etc/localtime), read as instants
by Python's zoneinfo: a time the clock read twice is taken in the pass nearer the record before
it (the first when there is none), a time it skipped at the offset before the change. Runs are of
real seconds. Several logs and data folders (their history) are one series, the logs in the order
of their first record's time stamp (two begun in an hour the clock read twice in the order of
their files' modification); calendar intervals of the local clock, bounded wherever the clock
reads an interval's first second, hold each reading with its weight, and a day's sound also gets
Lday, Levening, Lnight and Lden, its periods weighted by the hours the day had of each.

Usage: statistics_check.py PATH... [--from T] [--to T] [--hi [FUNCTION=]X]... [--low ...]...
[--interval 1m|15m|1h|1d|SECONDS] [--tz ZONE]; prints one JSON object with the same keys as
`envmeter --statistics PATH... --json`.

As the published states are: --within forms runs within each interval; --temperature-unit C|F
converts temperatures read in the other unit.
"""
import argparse
import bisect
import datetime
import functools
import json
import math
import os
import sqlite3
import zoneinfo

OVERLOADS = {"O.L", "OL", "OL."}
ORDER = ["Sound", "Humidity", "Temp", "Light"]


def stamp(text):
    try:
        return datetime.datetime.strptime(text, "%H:%M:%S/%m-%d-%Y")
    except (ValueError, TypeError):
        return None


class Zone:
    """A zone's local clock: naive local datetimes to instants (integer seconds) and back."""

    def __init__(self, name):
        if name:
            self.zone = zoneinfo.ZoneInfo(name)
        elif os.environ.get("TZ"):
            self.zone = zoneinfo.ZoneInfo(os.environ["TZ"].lstrip(":"))
        else:
            with open("/etc/localtime", "rb") as localtime:
                self.zone = zoneinfo.ZoneInfo.from_file(localtime)

    def local(self, instant):
        return datetime.datetime.fromtimestamp(instant, self.zone)

    def passes(self, naive):
        """The instants the clock read `naive` at, in order; none where it skipped it."""
        found = set()
        for fold in (0, 1):
            instant = int(naive.replace(tzinfo=self.zone, fold=fold).timestamp())
            if self.local(instant).replace(tzinfo=None) == naive:
                found.add(instant)
        return sorted(found)

    def instant(self, naive, near=None):
        found = self.passes(naive)
        if not found:  # skipped: fold 0 keeps the offset before the change
            return int(naive.replace(tzinfo=self.zone, fold=0).timestamp())
        if near is None:
            return found[0]
        return min(found, key=lambda i: (abs(i - near), i))

    def iso(self, instant):
        return self.local(instant).isoformat()


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


def figures(function, unit, records, limit_hi, limit_low, interval, day, zone, events):
    """The figures of one group from its records: (time, level or None, weight)."""
    levels = [(level, w) for _, level, w in records if level is not None]
    te = sum(w for _, _, w in records)
    result = {
        "function": function, "unit": unit, "readings": len(records),
        "overloads": sum(1 for r in records if r[1] is None),
        "overload_seconds": sum(w for _, level, w in records if level is None),
        "first": zone.iso(records[0][0]), "last": zone.iso(records[-1][0]),
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
                          l90=exceeded(levels, 90), dose_niosh=niosh, dose_osha=osha)
            if not interval:
                result.update(lex8h=leq + 10 * math.log10(te / 28800),
                              projected_dose_niosh=niosh * 28800 / te,
                              projected_dose_osha=osha * 28800 / te)
        else:
            for key in ["leq", "l10", "l50", "l90", "dose_niosh", "dose_osha"] + (
                    [] if interval else ["lex8h", "projected_dose_niosh", "projected_dose_osha"]):
                result[key] = None
    else:
        result["mean"] = sum(l * w for l, w in levels) / total if levels else None
    if function == "Temp":
        result["mkt"] = None
        if levels:
            k = sum(w * math.exp(-10000 / kelvin(l, unit)) for l, w in levels) / total
            mkt = 10000 / -math.log(k) - 273.15
            result["mkt"] = mkt * 9 / 5 + 32 if unit == "F" else mkt
    if function == "Light":
        result["lux_hours"] = sum(l * w for l, w in levels) / 3600 if levels else None
    if limit_hi is not None:
        result["hi"] = limit_hi
        result["above_hi_seconds"] = sum(w for l, w in levels if l >= limit_hi)
        result["events_above_hi"] = events.get(True, 0)
    if limit_low is not None:
        result["low"] = limit_low
        result["below_low_seconds"] = sum(w for l, w in levels if l <= limit_low)
        result["events_below_low"] = events.get(False, 0)
    if day and function == "Sound":
        periods = {"lday": [], "levening": [], "lnight": []}
        for time, level, w in records:
            if level is not None:
                hour = zone.local(time).hour
                key = ("lday" if 7 <= hour < 19 else
                       "levening" if 19 <= hour < 23 else "lnight")
                periods[key].append((level, w))
        if any(periods.values()):
            for key, pairs in periods.items():
                result[key] = (10 * math.log10(sum(w * 10 ** (l / 10) for l, w in pairs) /
                                               sum(w for _, w in pairs)) if pairs else None)
            hours_day, hours_evening, hours_night = day
            result["lden"] = (10 * math.log10((hours_day * 10 ** (result["lday"] / 10) +
                                               hours_evening * 10 ** ((result["levening"] + 5) / 10) +
                                               hours_night * 10 ** ((result["lnight"] + 10) / 10)) /
                                              (hours_day + hours_evening + hours_night))
                              if all(result[k] is not None for k in periods) else None)
    return result


def ranked(groups):
    return sorted(groups.items(), key=lambda kv: (ORDER.index(kv[0][0]) if kv[0][0] in ORDER
                                                  else len(ORDER), kv[0][1]))


def history(path):
    if not os.path.isdir(path):
        return [path]
    names = [n for n in os.listdir(path)
             if n in ("maxdb1.mdb", "db1.mdb") or (n.startswith("maxdb1-") and n.endswith(".mdb"))]
    return [os.path.join(path, n) for n in sorted(names)]


def bound(text, zone):
    """An instant of --from or --to: with its offset, or local time (the first pass)."""
    typed = datetime.datetime.fromisoformat(text)
    if typed.tzinfo is not None:
        return int(typed.timestamp())
    return zone.instant(typed)


def boundaries(zone, instants, length):
    """Every instant at which the clock reads an interval's first second, around the readings."""
    found = set()
    days = sorted({zone.local(i).date() for i in instants})
    if not days:
        return []
    day = days[0] - datetime.timedelta(days=1)
    while day <= days[-1] + datetime.timedelta(days=1):
        midnight = datetime.datetime.combine(day, datetime.time())
        for start in range(0, 86400, length):
            found.update(zone.passes(midnight + datetime.timedelta(seconds=start)))
        day += datetime.timedelta(days=1)
    return sorted(found)


def period_hours(zone, start, end):
    """The hours of the day from start to end in its day, evening and night."""
    midnight = zone.local(start).replace(tzinfo=None)
    at = [zone.instant(midnight + datetime.timedelta(hours=h)) for h in (7, 19, 23)]
    day, evening = (at[1] - at[0]) / 3600, (at[2] - at[1]) / 3600
    return day, evening, (end - start) / 3600 - day - evening


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("paths", nargs="+")
    parser.add_argument("--from", dest="start")
    parser.add_argument("--to", dest="end")
    parser.add_argument("--hi", action="append", default=[])
    parser.add_argument("--low", action="append", default=[])
    parser.add_argument("--interval")
    parser.add_argument("--tz")
    parser.add_argument("--for", dest="hold", type=float, default=0)
    parser.add_argument("--hysteresis", type=float, default=0)
    parser.add_argument("--within", action="store_true")
    parser.add_argument("--temperature-unit", choices=["C", "F"])
    args = parser.parse_args()
    zone = Zone(args.tz)
    hi, low = limits(args.hi), limits(args.low)
    start = bound(args.start, zone) if args.start else None
    end = bound(args.end, zone) if args.end else None
    named = {"1m": 60, "15m": 900, "1h": 3600, "1d": 86400}
    length = named[args.interval] if args.interval in named else int(args.interval or 0)

    logs = []
    for path in args.paths:
        for file in history(path):
            try:
                rows = sqlite3.connect(file).execute(
                    "SELECT BBB, CCC, DDD, EEE FROM b1 ORDER BY AAA").fetchall()
            except sqlite3.DatabaseError:
                continue  # no log: left out
            times = [stamp(r[3]) for r in rows if stamp(r[3]) is not None]
            logs.append((times[0] if times else None, file, rows, os.path.getmtime(file)))

    def fold(naive):
        """Where the clock read `naive` twice, the instant it was put back."""
        found = zone.passes(naive)
        if len(found) < 2:
            return None
        before, after = found[0], found[-1]
        while before + 1 < after:
            middle = (before + after) // 2
            if zone.local(middle).utcoffset() == zone.local(found[-1]).utcoffset():
                after = middle
            else:
                before = middle
        return after

    def earlier(a, b):
        if (a[0] is None) != (b[0] is None):
            return -1 if a[0] is not None else 1
        if a[0] is None:
            return 0
        if fold(a[0]) is not None and fold(a[0]) == fold(b[0]):
            return (a[3] > b[3]) - (a[3] < b[3])
        return (a[0] > b[0]) - (a[0] < b[0])
    logs.sort(key=functools.cmp_to_key(earlier))
    rows = [row for log in logs for row in log[2]]

    left_out = 0
    taken = []  # (group, instant, level or None)
    previous = None
    for function, data, unit, text in rows:
        time = stamp(text)
        if time is not None:
            time = previous = zone.instant(time, previous)
            if (start is not None and time < start) or (end is not None and time > end):
                continue
        level = None if data in OVERLOADS else number(data)
        if time is None or not function or (level is None and data not in OVERLOADS):
            left_out += 1
            continue
        wanted = args.temperature_unit
        if function == "Temp" and wanted and unit in ("C", "F") and unit != wanted:
            if level is not None:
                level = level * 9 / 5 + 32 if wanted == "F" else (level - 32) * 5 / 9
            unit = wanted
        taken.append(((function, unit or ""), time, level))

    edges = boundaries(zone, [t for _, t, _ in taken], length) if length else []

    def begin_of(time):
        return edges[bisect.bisect_right(edges, time) - 1]

    runs = []
    for entry in taken:
        last = runs[-1][-1] if runs else None
        if (last and last[0] == entry[0] and entry[1] >= last[1]
                and entry[1] - last[1] <= 10
                and not (args.within and begin_of(entry[1]) != begin_of(last[1]))):
            runs[-1].append(entry)
        else:
            runs.append([entry])

    groups = {}
    intervals = {}
    for run in runs:
        duration = run[-1][1] - run[0][1] + 1
        for group, time, level in run:
            record = (time, level, duration / len(run))
            groups.setdefault(group, []).append(record)
            if length:
                intervals.setdefault(begin_of(time), {}).setdefault(group, []).append(record)

    # Events above HI and below LOW: from a reading past the limit to one past it the other
    # way (by the hysteresis once held for --for), ended too by a reading of another function;
    # a sound overload changes nothing, a light overload is above. Counted where they began,
    # in the group of the reading that held them long enough.
    counted = {}  # (interval or None, group) -> {above: count}
    going = {}  # (function, above) -> [since, raised]
    last_function = None
    for group, time, level in taken:
        function = group[0]
        if function != last_function:
            going.clear()
            last_function = function
        if level is None and function == "Sound":
            continue
        for above, limit in ((True, hi.get(function, hi.get(None))),
                             (False, low.get(function, low.get(None)))):
            if limit is None or function not in ORDER:
                continue
            event = going.get((function, above))
            back = args.hysteresis if event and event[1] else 0
            if level is None:
                meets, ends = above, not above
            else:
                meets = level >= limit if above else level <= limit
                ends = level < limit - back if above else level > limit + back
            if event and ends:
                del going[(function, above)]
                continue
            if not event:
                if not meets:
                    continue
                event = going[(function, above)] = [time, False]
            if not event[1] and time - event[0] >= args.hold:
                event[1] = True
                for where in ([None, begin_of(event[0])] if length else [None]):
                    tally = counted.setdefault((where, group), {})
                    tally[above] = tally.get(above, 0) + 1

    def figures_of(by_group, interval, day, where=None):
        return [figures(f, u, records, hi.get(f, hi.get(None)), low.get(f, low.get(None)),
                        interval, day, zone, counted.get((where, (f, u)), {}))
                for (f, u), records in ranked(by_group)]

    def end_of(begin):
        return edges[bisect.bisect_right(edges, begin)]

    out = {"files": [log[1] for log in logs], "groups": figures_of(groups, False, None),
           "left_out": left_out}
    if length:
        out["intervals"] = [
            {"start": zone.iso(begin), "end": zone.iso(end_of(begin)),
             "groups": figures_of(by_group, True, period_hours(zone, begin, end_of(begin))
                                  if length == 86400 else None, begin)}
            for begin, by_group in sorted(intervals.items())]
    print(json.dumps(out))


if __name__ == "__main__":
    main()
