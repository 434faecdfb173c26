#!/usr/bin/env python3
"""Builds the station database share/sao.cty from a fixed-column station table.

    python3 tools/make_sao_cty.py TABLE > share/sao.cty

TABLE is the public worldwide station table described in share/README.md (one
station per line of 83 characters; lines beginning with "!" are comments, and
section headings and column headings are shorter lines). Every station line
becomes one database line of ten columns, in the table's order:

    name state region identifier priority latitude longitude elevation wmo number

  name        the 16-character name, trailing blanks cut, inner blanks as "_", at
              most 20 characters
  state       the two-letter state or province; "--" where the table has none
  region      the two-letter country
  identifier  the ICAO identifier; without one, "-" followed by the IATA
              identifier, else by the WMO number, else "-" alone
  priority    the plotting priority digit (0 highest), followed by "*" for a
              rawinsonde site (upper-air flag "X")
  latitude,   signed decimal degrees (north and east positive) from degrees and
  longitude   minutes with a hemisphere letter
  elevation   metres; 9999 or an unknown position gives -9999
  wmo         the five-digit WMO number, or 99999
  number      0
"""
import sys

LINE_LEN = 83
NAME_MAX = 20
MISSING_ELEV = -9999
NO_WMO = 99999


def degrees(text):
    """'51 53N' -> 51.8833, '176 39W' -> -176.65; None for an unknown position."""
    text = text.strip()
    if not text or text.startswith("-99"):
        return None
    hemi = text[-1]
    deg, minutes = text[:-1].split()
    value = int(deg) + int(minutes) / 60.0
    return -value if hemi in "SW" else value


def station(line):
    state = line[0:2].strip() or "--"
    name = "_".join(line[3:19].split())[:NAME_MAX] or "UNKNOWN"
    icao = line[20:24].strip()
    iata = line[26:29].strip()
    synop = line[32:37].strip()
    lat = degrees(line[39:45])
    lon = degrees(line[47:54])
    elev = int(line[54:59])
    upper_air = line[71]
    prior = line[79]
    country = line[81:83]
    if not prior.isdigit() or len(country.strip()) != 2:
        raise ValueError("bad station line: " + line)
    if icao:
        ident = icao
    else:
        ident = "-" + (iata or synop)
    wmo = int(synop) if synop else NO_WMO
    if lat is None or lon is None:
        return None  # no position: of no use to a station store
    if elev >= 9999:
        elev = MISSING_ELEV
    flags = "*" if upper_air == "X" else ""
    return "%s %s %s %s %s%s %.4f %.4f %d %05d 0" % (
        name, state, country, ident, prior, flags, lat, lon, elev, wmo)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: make_sao_cty.py TABLE > sao.cty\n")
        return 2
    out = []
    with open(argv[1], encoding="latin-1") as table:
        for raw in table:
            line = raw.rstrip("\r\n")
            if line.startswith("!") or len(line) != LINE_LEN:
                continue
            if line.startswith("CD  STATION"):
                continue
            entry = station(line)
            if entry:
                out.append(entry)
    sys.stdout.write("\n".join(out) + "\n")
    sys.stderr.write("%d stations\n" % len(out))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
