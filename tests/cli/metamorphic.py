#!/usr/bin/env python3
"""Relations between the program's outputs of one hourly file, for the end-to-end tests.

  metamorphic.py PROGRAM FILE

Runs PROGRAM (sfcparse) over FILE as raw text and decoded in every line format and
checks, without knowing any decoded value:
  - the raw text (one squeezed line per report) and the CSV rows' "raw" column are
    the same reports in the same order;
  - the identifier of every decoded row is the identifier the raw text begins with
    (after a METAR/SPECI/LWIS/COR prefix), and its time is the raw text's time group
    where the text has one;
  - every line format prints one row per report (plns: two lines and one more for a
    report with remarks; pfull: one "Data for:" block), and each row shows the same
    identifier (and, where the format has one, time) as the CSV row of that report.
Prints one line per check with its counts; a broken relation prints the first
reports that break it and makes the status 1.
"""
import csv
import io
import json
import re
import subprocess
import sys

PREFIXES = {'METAR', 'SPECI', 'LWIS', 'COR'}
failed = False


def run(prog, path, params, *extra):
    out = subprocess.run([prog, '-id', 'all', '-pa', params, *extra, path],
                         capture_output=True, check=True).stdout
    return out.decode('ascii')


def check(name, bad, total, what):
    """Reports one relation: `bad` lists (index, description) of the rows that break it."""
    global failed
    if bad:
        failed = True
        print('%s: %d of %d rows break it' % (name, len(bad), total))
        for i, text in bad[:5]:
            print('   row %d: %s' % (i + 1, text))
    else:
        print('%s: %d rows, %s' % (name, total, what))


def body(text, header_lines):
    """The rows of a fixed-column output: after the date line, a blank and the header."""
    lines = text.split('\n')[:-1]
    assert lines[0].startswith('Date: ') and lines[1] == '', lines[:2]
    return lines[2 + header_lines:]


def raw_id_time(text):
    """The identifier the raw text begins with, and the HHMM of its time group (None
    when the text has none where the group stands)."""
    words = text.split()
    i = 0
    while i < len(words) - 1 and words[i] in PREFIXES:
        i += 1
    ident = words[i] if i < len(words) else ''
    rest = words[i + 1:i + 4]
    for w in rest[:2]:
        if re.fullmatch(r'\d{6}Z', w):
            return ident, int(w[2:6])
    if len(rest) >= 2 and rest[0] in ('SA', 'SP', 'RS', 'SM') and re.fullmatch(r'\d{4}', rest[1]):
        return ident, int(rest[1])
    return ident, None


def main():
    prog, path = sys.argv[1], sys.argv[2]
    raw = body(run(prog, path, 'pln'), 0)
    rows = list(csv.DictReader(io.StringIO(run(prog, path, 'dec,pcsv'))))
    n = len(rows)
    print('reports: %d' % n)

    # Same reports, same order, as raw text and as decoded rows.
    bad = [(i, '%r / %r' % (a, r['raw'])) for i, (a, r) in enumerate(zip(raw, rows))
           if a.rstrip() != r['raw']]
    if len(raw) != n:
        bad.insert(0, (0, '%d raw lines, %d rows' % (len(raw), n)))
    check('raw text = CSV raw column', bad, n, 'same texts in the same order')

    # Identifiers and times of the decoded rows against the raw text.
    bad, timed = [], 0
    for i, r in enumerate(rows):
        ident, hhmm = raw_id_time(r['raw'])
        if r['id'] != ident:
            bad.append((i, 'id %r, raw text %r' % (r['id'], r['raw'])))
        if hhmm is not None:
            timed += 1
            if r['time'] != str(hhmm):
                bad.append((i, 'time %r, raw text %r' % (r['time'], r['raw'])))
    check('decoded id and time = raw text', bad, n,
          'identifiers all equal, times equal in the %d rows whose text has a time group' % timed)

    # A report whose heading the decoder cannot read (an identifier followed by NIL
    # reads as an SA report) keeps the area "UN" and no decoded identifier: the
    # fixed-column formats show an empty one, the rows for data tools the reader's.
    ids = [r['id'] if r['area'] != 'UN' else '' for r in rows]
    times = [int(r['time']) if r['time'] else None for r in rows]
    print('rows without a decoded identifier: %d' % sum(1 for r in rows if r['area'] == 'UN'))

    def same(name, got_ids, got_times=None, width=None, want_ids=None):
        want_ids = want_ids or ids
        bad = []
        if len(got_ids) != n:
            bad.append((0, '%d rows for %d reports' % (len(got_ids), n)))
        for i, (g, want) in enumerate(zip(got_ids, want_ids)):
            if g != (want[:width] if width else want):
                bad.append((i, 'id %r, CSV %r' % (g, want)))
        if got_times is not None:
            for i, (g, want) in enumerate(zip(got_times, times)):
                if g != want:
                    bad.append((i, 'time %r, CSV %r' % (g, want)))
        check(name, bad, n, 'one per report, same ids' + (' and times' if got_times else ''))

    def num(text):
        text = text.strip()
        return int(text) if text else None

    pln = body(run(prog, path, 'dec,pln'), 1)
    same('pln', [l[:6].rstrip() for l in pln], [num(l[7:11]) for l in pln], 6)

    # plns: per report a first line, its cloud line ("    " and the layers), and a
    # COMMENT line when the report has remarks.
    plns = body(run(prog, path, 'dec,plns'), 2)
    firsts, first_times, k, comments = [], [], 0, 0
    while k < len(plns):
        firsts.append(plns[k][:4].strip())
        first_times.append(num(plns[k][8:12]))
        if k + 1 >= len(plns) or not plns[k + 1].startswith('    '):
            firsts.append('(no cloud line)')
            break
        k += 2
        if k < len(plns) and plns[k].startswith('   COMMENT: '):
            k += 1
            comments += 1
    same('plns', firsts, first_times)
    print('plns: %d COMMENT lines' % comments)

    psyn = body(run(prog, path, 'dec,psyn'), 1)
    same('psyn', [l[:5].rstrip() for l in psyn])
    psimp = body(run(prog, path, 'dec,psimp'), 2)
    same('psimp', [l[:5].strip() for l in psimp])

    full = run(prog, path, 'dec,pfull').split('\n')
    same('pfull', [l[len('Data for: '):] for l in full if l.startswith('Data for: ')])

    pvar = body(run(prog, path, 'dec,pvar', '-va', 'id,otime,temp'), 2)
    same('pvar', [l[:6].rstrip() for l in pvar], [num(l[7:13]) for l in pvar], 6)

    jsonl = run(prog, path, 'dec,pjson').split('\n')[:-1]
    objs = [json.loads(l) for l in jsonl]
    same('pjson', [o['id'] or '' for o in objs], [o['time'] for o in objs],
         want_ids=[r['id'] for r in rows])

    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
