#!/usr/bin/env python3
"""Independent readers of the program's CSV and JSON Lines rows, for the end-to-end tests.

  rows_check.py read CSV JSONL FILE_HOUR
      Loads both with Python's csv and json modules; prints the row and column counts,
      the type of every column, whether both files hold the same values, a check of the
      observation times against the file's hour (ISO "2020-01-06T00"), and the values
      of some real reports.
  rows_check.py agree PLN CSV
      Checks that every row of line format 2 (-pa dec) shows what the CSV row of the
      same report holds, column by column, for the columns both show.
"""
import csv
import datetime
import json
import math
import struct
import sys


def number(text):
    """A CSV number as the program's single-precision value (None when empty)."""
    if text == "":
        return None
    return struct.unpack("f", struct.pack("f", float(text)))[0]


def kind(values):
    """The type of a column: integer, real, text, or empty when it holds no value."""
    seen = [v for v in values if v != ""]
    if not seen:
        return "empty"
    try:
        for v in seen:
            int(v)
        return "integer"
    except ValueError:
        pass
    try:
        for v in seen:
            if not math.isfinite(float(v)):
                return "text"
        return "real"
    except ValueError:
        return "text"


def read(csv_path, jsonl_path, file_hour):
    with open(csv_path, newline="", encoding="ascii") as f:
        rows = list(csv.reader(f, strict=True))
    header, body = rows[0], rows[1:]
    widths = {len(r) for r in body}
    print(f"csv: {len(body)} rows, {len(header)} columns, row widths {sorted(widths)}")
    objects = []
    with open(jsonl_path, encoding="ascii") as f:
        for line in f:
            objects.append(json.loads(line))
    keys = {tuple(o.keys()) for o in objects}
    print(f"json: {len(objects)} objects, {len(keys)} key order(s), keys as the csv header: "
          f"{[list(k) for k in keys] == [header]}")

    columns = list(zip(*body))
    print("types:", ", ".join(f"{name} {kind(col)}" for name, col in zip(header, columns)))

    # The same values: a JSON null is an empty field, a JSON number the CSV text.
    differ = 0
    for row, obj in zip(body, objects):
        for name, text in zip(header, row):
            v = obj[name]
            if v is None:
                same = text == ""
            elif isinstance(v, str):
                same = text == v
            else:
                same = text != "" and float(text) == v and not isinstance(v, bool)
            differ += not same
    print(f"csv and json values that differ: {differ}")

    # Observation times: ISO 8601 UTC, the report's time of day, within 12 hours of
    # the file's hour.
    hour = datetime.datetime.fromisoformat(file_hour).replace(tzinfo=datetime.timezone.utc)
    ok = missing = 0
    for obj in objects:
        if obj["obs_time"] is None:
            missing += obj["time"] is None or not (0 <= obj["time"] % 100 < 60 and obj["time"] < 2400)
            continue
        t = datetime.datetime.strptime(obj["obs_time"], "%Y-%m-%dT%H:%MZ").replace(
            tzinfo=datetime.timezone.utc)
        if t.hour * 100 + t.minute == obj["time"] and abs(t - hour) <= datetime.timedelta(hours=12):
            ok += 1
    print(f"obs_time: {ok} match the time within 12 hours of {file_hour}, "
          f"{missing} missing with no valid time, of {len(objects)}")

    # Some real reports, as a user's script would pick them.
    picks = [("KORD", 2351), ("KDEN", 2353), ("KTVC", 2353), ("KBOS", 2354), ("KMIA", 2353),
             ("CYYZ", 0), ("PANC", 2353), ("WPO", 0)]
    wanted = ["obs_time", "t", "td", "w_dir", "w_spd", "w_gust", "alt", "pmb", "vis",
              "cld_cover_1", "cld_height_1", "weather", "rain6"]
    for ident, time in picks:
        match = [o for o in objects if o["id"] == ident and o["time"] == time]
        if not match:
            print(f"{ident} {time:04d}: none")
            continue
        o = match[0]
        print(f"{ident} {time:04d}: " + " ".join(f"{k}={o[k]}" for k in wanted))
        print(f"    raw={o['raw']}")


def agree(pln_path, csv_path):
    with open(pln_path, encoding="ascii") as f:
        lines = [l.rstrip("\n") for l in f]
    start = lines.index("ID     TIME   T  TD  RH DIR SPD GST ALT SLP VIS CIL  COV WX  MAX MIN  PR6 PR24 SC")
    pln = lines[start + 1:]
    with open(csv_path, newline="", encoding="ascii") as f:
        rows = list(csv.DictReader(f, strict=True))
    print(f"rows: {len(pln)} in format 2, {len(rows)} in the csv")

    def f3(v):  # "%3.0f " or four blanks
        return "    " if v is None else "%3.0f " % v

    def present(r, a, b):
        va, vb = number(r[a]), number(r[b])
        return va if va is not None else vb

    def coded(v, scale, add):
        return "    " if v is None else "%03d " % (int(math.trunc(scale * (v + add))) % 1000)

    columns = ["id", "time", "t", "td", "w_dir", "w_spd", "w_gust", "alt", "pmb", "vis", "max",
               "min", "rain6", "rain24", "scover"]
    # Where each column of format 2 ends (with a blank), and the columns checked
    # up to there. A value wider than its column (a relative humidity of 12410 %
    # from a dew point far above the temperature) shifts the rest of its row: such
    # a row is checked up to the overflow.
    ends = [(7, "id"), (12, "time"), (16, "t"), (20, "td"), (24, None), (28, "w_dir"),
            (32, "w_spd"), (36, "w_gust"), (40, "alt"), (44, "pmb"), (48, "vis"), (52, None),
            (57, None), (61, None), (65, "max"), (69, "min"), (74, "rain6"), (79, "rain24"),
            (81, "scover")]
    bad = {c: 0 for c in columns}
    example = {}
    shifted = 0
    named = 0  # rows where only the CSV names the station (a NIL report)
    for line, r in zip(pln, rows):
        if line[0:7] == " " * 7 and r["id"] != "":
            named += 1
            r = dict(r, id="")
        line = line.ljust(81)
        checked = []
        for end, c in ends:
            if end < 81 and line[end - 1] != " ":
                shifted += 1
                break
            if c:
                checked.append(c)
        vis = number(r["vis"])
        expect = {
            "id": ("%-6.6s " % r["id"], line[0:7]),
            "time": ("     " if r["time"] == "" else "%4.4d " % int(r["time"]), line[7:12]),
            "t": (f3(number(r["t"])), line[12:16]),
            "td": (f3(number(r["td"])), line[16:20]),
            "w_dir": (f3(number(r["w_dir"])), line[24:28]),
            "w_spd": (f3(number(r["w_spd"])), line[28:32]),
            "w_gust": (f3(number(r["w_gust"])), line[32:36]),
            "alt": (coded(number(r["alt"]), 100.0, 0.002), line[36:40]),
            "pmb": (coded(number(r["pmb"]), 10.0, 0.02), line[40:44]),
            "vis": ("    " if vis is None else ("%3.0f " if vis >= 3 else "%3.1f ") % vis, line[44:48]),
            "max": (f3(present(r, "max_t", "max6_t")), line[61:65]),
            "min": (f3(present(r, "min_t", "min6_t")), line[65:69]),
            "rain6": ("     " if number(r["rain6"]) is None else "%4.2f " % number(r["rain6"]), line[69:74]),
            "rain24": ("     " if number(r["rain24"]) is None else "%4.2f " % number(r["rain24"]), line[74:79]),
            "scover": ("  " if number(r["scover"]) is None else "%2.0f" % number(r["scover"]), line[79:81]),
        }
        for c, (want, got) in expect.items():
            if c in checked and want != got:
                bad[c] += 1
                example.setdefault(c, (want, got, line))
    print(f"rows with a value wider than its format 2 column (checked up to it): {shifted}")
    print(f"rows without an identifier in format 2 that the csv names: {named}")
    for c in columns:
        print(f"{c}: {bad[c]} rows differ" + (f" (csv {example[c][0]!r}, format 2 {example[c][1]!r})" if bad[c] else ""))


if __name__ == "__main__":
    if len(sys.argv) == 5 and sys.argv[1] == "read":
        read(sys.argv[2], sys.argv[3], sys.argv[4])
    elif len(sys.argv) == 4 and sys.argv[1] == "agree":
        agree(sys.argv[2], sys.argv[3])
    else:
        sys.exit(__doc__)
