#!/usr/bin/env python3
"""Lays out the hand-decoded values of the reports of 20010600_sao.wmo in the
columns of each line format: the expected output of the hand-checked cases
tests/cli/cases/hand_<format>.

The values below were decoded by hand from the report texts (README.md of this
folder gives the reasoning, report by report); this script only applies the
printf columns of each line format to them, so that no column is typed by hand.
It never runs the program.

    python3 tests/cli/hand/layout.py FORMAT    (plns pln pfull psyn psimp pvar pcsv pjson)
"""
import math
import struct
import sys

M = -9999.0  # the missing value


def f32(x):
    """The value as the program holds it: a single-precision float."""
    return struct.unpack('f', struct.pack('f', x))[0] if x != M else M


def c2f(c):
    return 32 + 9 * c / 5


def report(**kw):
    r = dict(id='', area='', type=0, wmo=-9999, lat=M, lon=M, elev=M, prior=-9999, time=-9999,
             cld_height=[M] * 5, cld_cover=[' '] * 5, num_cld=0, vis=M, weather=' ', pmb=M,
             t=M, td=M, w_dir=M, w_spd=M, w_gust=M, alt=M, ptend_t=-9999, ptend=M, rain1=M,
             rain3=M, rain6=M, rain12=M, rain24=M, rain=M, rain_per=-9999, cld_low=' ',
             cld_type=[' '] * 3, max_t=M, min_t=M, max6_t=M, min6_t=M, scover=M, solar=M, sst=M,
             wav_per=M, wav_hgt=M, comment='', flag=0, raw='', obs_time='')
    layers = kw.pop('layers', [])
    for i, (cover, height) in enumerate(layers):
        r['cld_cover'][i] = cover
        r['cld_height'][i] = height
    r['num_cld'] = len(layers)
    r.update(kw)
    return r


# The reports in file order, as decoded by hand (README.md).
REPORTS = [
    report(id='KP58', area='ME', type=1, time=2351, obs_time='2020-01-05T23:51Z',
           w_dir=160, w_spd=7, w_gust=14, alt=29.77, pmb=1009.1,
           t=c2f(-1.1), td=c2f(-3.3), flag=1, rain1=0.01, rain6=0.18,
           max6_t=c2f(0.0), min6_t=c2f(-1.7), ptend_t=8, ptend=-1.4, comment='AO1 ',
           raw='KP58 052351Z AUTO 16007G14KT M01/M03 A2977 RMK AO1 SLP091 P0001 60018 '
               'T10111033 10000 21017 58014'),
    report(id='KSMX', area='ME', type=1, time=2351, obs_time='2020-01-05T23:51Z',
           w_dir=30, w_spd=15, w_gust=22, vis=10, layers=[('B', 25000)], alt=30.39, pmb=1029.5,
           t=c2f(15.6), td=c2f(5.0), flag=1, max6_t=c2f(18.3), min6_t=c2f(15.6),
           ptend_t=3, ptend=0.3, comment='AO2 PK WND 02029/2330 ',
           raw='KSMX 052351Z 03015G22KT 10SM BKN250 16/05 A3039 RMK AO2 PK WND 02029/2330 '
               'SLP295 T01560050 10183 20156 53003 $'),
    report(id='KYNG', area='ME', type=1, time=2351, obs_time='2020-01-05T23:51Z',
           w_dir=190, w_spd=7, vis=9, weather='!-SN',
           layers=[('F', 2100), ('B', 4700), ('O', 6500)], alt=29.90, pmb=1013.9,
           t=c2f(0.0), td=c2f(-4.4), flag=1, scover=1, rain1=0.0, rain6=0.0,
           max6_t=c2f(0.0), min6_t=c2f(-1.1), ptend_t=8, ptend=-2.2, comment='AO2 SNB36 ',
           raw='KYNG 052351Z 19007KT 9SM -SN FEW021 BKN047 OVC065 00/M04 A2990 RMK AO2 SNB36 '
               'SLP139 4/001 P0000 60000 T00001044 10000 21011 58022'),
    report(id='MSLP', area='ME', type=1, time=2350, obs_time='2020-01-05T23:50Z',
           w_dir=10, w_spd=15, w_gust=25, vis=10, layers=[('C', M)],
           t=c2f(29), td=c2f(15), alt=1013 * 0.0295386, comment='A2992 NOSIG RMK FU E S ',
           raw='METAR MSLP 052350Z 01015G25KT CAVOK 29/15 Q1013 A2992 NOSIG RMK FU E S'),
    report(id='MSSS', area='ME', type=0, time=2350, obs_time='2020-01-05T23:50Z',
           raw='METAR MSSS 052350Z NIL'),
    report(id='KS52', area='ME', type=1, time=2355, obs_time='2020-01-05T23:55Z',
           w_dir=30, w_spd=3, vis=10, weather='!-SN',
           layers=[('S', 1100), ('B', 9000), ('O', 11000)], alt=30.12,
           t=c2f(-2.7), td=c2f(-3.6), flag=1, max6_t=c2f(-1.6), min6_t=c2f(-6.2),
           max_t=c2f(1.0), min_t=c2f(-9.5), comment='AO2 ',
           raw='METAR KS52 052355Z AUTO 03003KT 10SM -SN SCT011 BKN090 OVC110 M03/M04 A3012 '
               'RMK AO2 T10271036 11016 21062 400101095'),
    report(id='KSDB', area='ME', type=2, time=2356, obs_time='2020-01-05T23:56Z',
           w_dir=340, w_spd=20, w_gust=31, vis=2.5, weather='!BR', layers=[('O', 200)],
           alt=30.39, t=c2f(3.3), td=c2f(2.2), flag=1, comment='AO2 PK WND 33030/2356 VIS 1V5 ',
           raw='KSDB 052356Z AUTO 34020G31KT 2 1/2SM BR OVC002 03/02 A3039 RMK AO2 PK WND '
               '33030/2356 VIS 1V5 T00330022'),
    report(id='CYZR', area='ME', type=2, time=2357, obs_time='2020-01-05T23:57Z',
           w_dir=190, w_spd=9, vis=2.5, weather='!-SN', layers=[('O', 800)], alt=29.82,
           t=c2f(-1), td=c2f(-2), pmb=1010.6,
           raw='SPECI CYZR 052357Z AUTO 19009KT 2 1/2SM -SN OVC008 M01/M02 A2982 RMK SLP106'),
    report(id='KMLP', area='ME', type=2, time=2358, obs_time='2020-01-05T23:58Z',
           w_dir=0, w_spd=3, vis=1.25, weather='!-SN_BR', layers=[('B', 500), ('O', 1000)],
           alt=30.02, t=c2f(-6.1), td=c2f(-7.8), flag=1, rain1=0.0, comment='AO2 CIG 003V007 ',
           raw='KMLP 052358Z AUTO VRB03KT 1 1/4SM -SN BR BKN005 OVC010 M06/M08 A3002 RMK AO2 '
               'CIG 003V007 P0000 T10611078'),
    report(id='PBM', area='SA', type=1, time=0, obs_time='2020-01-06T00:00Z',
           pmb=1014.0, t=c2f(0), td=c2f(-8), w_dir=240, w_spd=12, w_gust=20,
           comment='PK WND 2328 2302Z 6025 -34MM ',
           raw='PBM SA 0000 AUTO8 M M M 140/00/-08/2412+20/M/ PK WND 2328 2302Z 6025 -34MM'),
    report(id='PCH', area='SA', type=1, time=0, obs_time='2020-01-06T00:00Z',
           pmb=1011.7, t=c2f(-21), td=c2f(-24), w_dir=100, w_spd=4,
           comment='0011 SOG 26 6028 23MM ',
           raw='PCH SA 0000 AUTO8 M M M 117/-21/-24/1004/M/0011 SOG 26 6028 23MM'),
]


def present(v):
    return v != M


def nonneg(v):
    return v >= 0


# ---- weather and clouds -------------------------------------------------------------

def metar_weather(wx):
    """The short weather code of a METAR weather text (first group only)."""
    s = wx[1:] if wx.startswith('!') else wx
    inten = desc = prec = obsc = ''
    i = 0
    while i < len(s):
        if s[i] in '-+':
            inten = s[i]
            i += 1
            continue
        pair = s[i:i + 2]
        i += 2
        if pair == 'VC':
            return ''
        if pair in ('MI', 'BC'):
            continue
        if pair in ('DR', 'BL'):
            desc = 'B'
        elif pair == 'TS':
            desc = 'T'
        elif pair == 'SH':
            desc = 'W'
        elif pair == 'FZ':
            desc = 'Z'
        elif pair in ('DZ', 'RA', 'SN', 'SG', 'GS', 'PE', 'PL', 'IC') and not prec:
            prec = {'DZ': 'L', 'RA': 'R', 'SN': 'S', 'SG': 'SG', 'GS': 'IP', 'PE': 'IP',
                    'PL': 'IP', 'IC': 'IC'}[pair]
        elif pair == 'FG':
            obsc = 'F'
        elif pair in ('BR', 'HZ'):
            obsc = 'H'
        elif pair in ('SA', 'DU'):
            obsc = 'D'
        elif pair == 'FU':
            obsc = 'K'
        else:
            break
    if not prec and obsc:
        return obsc
    if desc == 'T' and not prec:
        return 'T'
    if desc == 'W':
        return prec + 'W' + inten
    return desc + prec + inten


def short_weather(wx):
    return metar_weather(wx) if wx.startswith('!') else wx


WORDS = [('TRW+', 'heavy thunderstorm'), ('TRW-', 'light thunderstorm'),
         ('TRW', 'moderate thunderstorm'), ('TR+', 'heavy thunderstorm'),
         ('TR-', 'light thunderstorm'), ('TR', 'moderate thunderstorm'),
         ('RW+', 'heavy rain showers'), ('RW-', 'light rain showers'),
         ('RW', 'moderate rain showers'), ('R+', 'heavy rain'), ('R-', 'light rain'),
         ('S+', 'heavy snow'), ('S-', 'light snow'), ('SW-', 'light snow showers'),
         ('H', 'haze'), ('F', 'fog')]


def weather_text(wx):
    code = short_weather(wx)
    # Only the rows these reports reach: S- (light snow), H (haze); "M" and the
    # blank fit no row.
    for head, words in sorted(WORDS, key=lambda w: -len(w[0])):
        if code.startswith(head):
            return words
    return ''


def set_cloud(r):
    n = r['num_cld']
    if n == 0:
        return ' ', M
    if n == 1:
        return r['cld_cover'][0], r['cld_height'][0]
    cover, h = ' ', M
    for c, hh in zip(r['cld_cover'][:n], r['cld_height'][:n]):
        if c in 'F1':
            if cover in 'C ':
                h = hh
            cover = 'F'
        elif c in '23S':
            if cover in 'CF ':
                h = hh
            cover = 'S'
        elif c in '456B':
            if cover in 'CFS ':
                h = hh
            cover = 'B'
        elif c in '78O':
            if cover in 'CFS ':
                h = hh
            cover = 'O'
        elif c in '9X':
            h = hh
            cover = 'X'
        elif cover < '2':
            cover, h = 'C', M
    return cover, h


LABEL_A = {'C': ' CLR ', 'F': ' FEW ', 'S': ' SCT ', 'B': ' BKN ', 'O': ' OVC ', 'X': '  X  '}
LABEL_B = {'C': 'CLR ', 'F': 'FEW ', 'S': 'SCT ', 'B': 'BKN ', 'O': 'OVC ', 'X': 'X   '}
COVER_WORDS = {'C': 'clear', 'F': 'few', 'S': 'scattered', 'B': 'broken', 'O': 'overcast',
               'X': 'obscured'}


# ---- derived quantities ----------------------------------------------------------------

def f2k(f):
    return 273.15 + 5 * (f - 32) / 9


def vapor_pr(t):
    if t < 0:
        return M
    if t < 100:
        return 0
    log_e = (23.832241 - 5.02808 * math.log10(t) - 1.3816e-7 * 10 ** (11.344 - 0.0303998 * t)
             + 0.008132801 * 10 ** (3.49149 - 1302.8844 / t) - 2949.076 / t)
    return 10 ** log_e


def rel_hum(t, td):
    if t <= 0 or td <= 0:
        return M
    if t <= 100 and td <= 100:
        return 100 * td / t
    return 100 * vapor_pr(td) / vapor_pr(t)


def rh(r):
    if not (present(r['t']) and present(r['td'])):
        return M
    return rel_hum(f2k(r['t']), f2k(r['td']))


# ---- formats --------------------------------------------------------------------------

def fmt(form, v):
    return form % v


def first_present(*vals):
    for v in vals:
        if present(v):
            return v
    return M


def plns(r):
    t = r['type'] & 3
    kind = {3: 'RS', 1: 'SA', 2: 'SP', 0: '--'}[t]
    s = '%4s ' % r['id'] + kind + ('*' if r['type'] & 4 else ' ')
    s += '%4.4d ' % r['time'] if r['time'] >= 0 else '     '
    s += '%5.1f  ' % r['vis'] if nonneg(r['vis']) else '       '
    wx = r['weather']
    wx = wx[1:] if wx.startswith('!') else wx
    s += '%5.5s ' % wx if r['weather'][0] != ' ' else '      '
    s += ' %6.1f ' % r['pmb'] if nonneg(r['pmb']) else '        '
    s += '%3.0f ' % r['t'] if present(r['t']) else '    '
    s += '%3.0f ' % r['td'] if present(r['td']) else '    '
    if present(r['w_dir']):
        s += ' %3.0f-%2.0f ' % (r['w_dir'], r['w_spd'])
        s += '%2.0f ' % r['w_gust'] if nonneg(r['w_gust']) else '   '
    else:
        s += '    -      '
    s += '%5.2f ' % r['alt'] if nonneg(r['alt']) else '      '
    s += '%4.1f  ' % r['ptend'] if present(r['ptend']) else '      '
    mx = first_present(r['max_t'], r['max6_t'])
    mn = first_present(r['min_t'], r['min6_t'])
    s += '%3.0f ' % mx if present(mx) else '    '
    s += '%3.0f ' % mn if present(mn) else '    '
    s += '\n    '
    for i in range(5):
        if r['num_cld'] > i:
            c, h = r['cld_cover'][i], r['cld_height'][i]
            if nonneg(h):
                s += '%3.0f ' % (h / 100) + LABEL_B[c]
            else:
                s += {'C': '    CLR ', 'F': '   -FEW ', 'S': '    SCT ', 'B': '    BKN ',
                      'O': '    OVC ', 'X': '    X   '}[c]
        else:
            s += '        '
    s += '  ' + '%c:%c:%c  ' % tuple(r['cld_type'])
    s += '%4.2f ' % r['rain3'] if nonneg(r['rain3']) else '     '
    for k in ('rain6', 'rain12', 'rain24'):
        s += '%4.2f ' % r[k] if nonneg(r[k]) else '     '
    s += '%2.0f\n' % r['scover'] if nonneg(r['scover']) else '  \n'
    if r['comment']:
        s += '   COMMENT: %s\n' % r['comment']
    return s


def pln(r):
    s = '%-6.6s ' % r['id']
    s += '%4.4d ' % r['time'] if r['time'] != -9999 else '     '
    s += '%3.0f ' % r['t'] if present(r['t']) else '    '
    s += '%3.0f ' % r['td'] if present(r['td']) else '    '
    h = rh(r)
    s += '%3.0f ' % h if present(h) else '    '
    for k in ('w_dir', 'w_spd', 'w_gust'):
        s += '%3.0f ' % r[k] if present(r[k]) else '    '
    s += '%03d ' % (int(100 * (r['alt'] + 0.002)) % 1000) if present(r['alt']) else '    '
    s += '%03d ' % (int(10 * (r['pmb'] + 0.02)) % 1000) if present(r['pmb']) else '    '
    v = r['vis']
    s += ('%3.0f ' if v >= 3 else '%3.1f ') % v if present(v) else '    '
    cover, hght = set_cloud(r)
    s += '%3.0f ' % (hght / 100) if present(hght) else '    '
    s += LABEL_A.get(cover, '     ')
    s += '%-3.3s ' % short_weather(r['weather']) if r['weather'][0] != ' ' else '    '
    mx = first_present(r['max_t'], r['max6_t'])
    mn = first_present(r['min_t'], r['min6_t'])
    s += '%3.0f ' % mx if present(mx) else '    '
    s += '%3.0f ' % mn if present(mn) else '    '
    s += '%4.2f ' % r['rain6'] if present(r['rain6']) else '     '
    s += '%4.2f ' % r['rain24'] if present(r['rain24']) else '     '
    s += '%2.0f' % r['scover'] if present(r['scover']) else '  '
    return s + '\n'


def psyn(r):
    s = '%-5s ' % r['id']
    if r['num_cld'] >= 1:
        c, h = r['cld_cover'][0], r['cld_height'][0]
        s += ' %3.0f %c ' % (h / 100, c) if nonneg(h) else '     %c ' % c
    else:
        s += '       '
    s += '%5.1f  ' % r['vis'] if nonneg(r['vis']) else '       '
    s += '%4s' % r['weather'] if r['weather'][0] != ' ' else '    '
    s += ' %6.1f ' % r['pmb'] if nonneg(r['pmb']) else '        '
    s += '%3.0f ' % r['t'] if present(r['t']) else '    '
    s += '%3.0f ' % r['td'] if present(r['td']) else '    '
    if present(r['w_dir']):
        s += '%3.0f-' % r['w_dir'] + '%2.0f ' % r['w_spd']
        s += '%2.0f ' % r['w_gust'] if nonneg(r['w_gust']) else '   '
    else:
        s += '   -      '
    ext = first_present(r['max_t'], r['min_t'], r['max6_t'], r['min6_t'])
    s += '%2.0f ' % ext if present(ext) else '    '
    s += '%4.1f' % r['ptend'] if present(r['ptend']) else '    '
    s += ' %4.2f ' % r['rain6'] if nonneg(r['rain6']) else '      '
    s += '%4.2f ' % r['rain24'] if nonneg(r['rain24']) else '     '
    s += '%2.0f' % r['scover'] if nonneg(r['scover']) else '  '
    if r['cld_type'][0] != ' ':
        s += ' %c:%c:%c' % tuple(r['cld_type'])
    return s + '\n'


def psimp(r):
    s = '%5s ' % r['id']
    s += ' %3.0f ' % r['t'] if present(r['t']) else ' --- '
    s += ' %3.0f ' % r['td'] if present(r['td']) else ' --- '
    s += ' %3.0f at %2.0f ' % (r['w_dir'], r['w_spd']) if present(r['w_dir']) else ' ---    -- '
    s += ' %6.1f ' % r['pmb'] if present(r['pmb']) else ' ------ '
    cover, hght = set_cloud(r)
    s += ' %3.0f ' % (hght / 100) if present(hght) else ' --- '
    s += LABEL_A[cover] if cover != ' ' else '     '
    s += ' %4.2f ' % r['rain6'] if nonneg(r['rain6']) else ' ---- '
    if r['weather'][0] != ' ':
        s += weather_text(r['weather'])
    return s + '\n'


def pfull(r):
    s = 'Data for: %s\n' % r['id']
    s += '-' * 35 + '\n'
    if present(r['time']):
        s += 'Report time:        %4.4d Z\n' % r['time']
    if present(r['t']):
        s += 'Temperature:         %3.0f F = %4.1f C\n' % (r['t'], 5 * (r['t'] - 32) / 9)
    if present(r['td']):
        s += 'Dewpoint:            %3.0f F = %4.1f C\n' % (r['td'], 5 * (r['td'] - 32) / 9)
    if present(r['w_dir']):
        if r['w_spd'] != 0:
            s += 'Winds:               %3.0f deg at %1.0f knt' % (r['w_dir'], r['w_spd'])
        else:
            s += 'Winds:               calm'
        s += ' Gusts: %1.0f knt\n' % r['w_gust'] if present(r['w_gust']) else '\n'
    if present(r['alt']):
        s += 'Altimeter setting:    %5.2f in Hg\n' % r['alt']
    if present(r['pmb']):
        s += 'Sea level pressure: %5.1f mb\n' % r['pmb']
    for i in range(r['num_cld']):
        s += 'Clouds:' if i == 0 else '       '
        h = r['cld_height'][i]
        s += 'level %d: %6.0f feet ' % (i + 1, h) if present(h) else ' ' * 20
        s += COVER_WORDS[r['cld_cover'][i]] + '\n'
    if present(r['vis']):
        s += 'Visibility:           %5.2f miles\n' % r['vis']
    if r['weather'][0] != ' ':
        s += 'Present weather:     %s\n' % weather_text(r['weather'])
    if present(r['ptend']):
        s += 'Pressure tendency:    %4.1f mb\n' % r['ptend']
    if nonneg(r['rain6']):
        s += '3/6 hour precip:       %4.2f in\n' % r['rain6']
    if nonneg(r['rain24']):
        s += '24 hour precip:        %4.2f in\n' % r['rain24']
    if present(r['max_t']):
        s += 'Max temperature:     %3.0f F\n' % r['max_t']
    if present(r['min_t']):
        s += 'Min temperature:     %3.0f F\n' % r['min_t']
    if present(r['max6_t']):
        s += ' 6 hr Max temp:      %3.0f F\n' % r['max6_t']
    if present(r['min6_t']):
        s += ' 6 hr Min temp:      %3.0f F\n' % r['min6_t']
    if nonneg(r['scover']):
        s += 'Snow cover:          %3.0f in.\n' % r['scover']
    if present(r['t']) and present(r['w_spd']):
        wc = wind_chill_temp2(f2k(r['t']), r['w_spd'] * 0.5144)
        if present(wc) and k2f(wc) < 30:
            s += 'Wind chill:           %4.1f F\n' % k2f(wc)
    if present(r['t']) and present(r['td']):
        hi = heat_index(f2k(r['t']), f2k(r['td']))
        if present(hi) and k2f(hi) > 75:
            s += 'Heat index:           %4.1f F\n' % k2f(hi)
    if r['comment']:
        s += 'Remarks: %s\n' % r['comment']
    return s


def k2f(k):
    return 32 + 9 * (k - 273.15) / 5


def wind_chill_temp2(temp, ws):
    if temp < 0 or ws < 0:
        return M
    return min(temp, 0.6215 * temp + 116.514 + ws ** 0.16 * (0.4863 * temp - 146.774))


def heat_index(temp, dewp):
    if temp < 0 or dewp < 0 or temp < dewp:
        return M
    t = k2f(temp)
    rh_ = 100 * vapor_pr(dewp) / vapor_pr(temp)
    a = 0.0936 * rh_ + (1.2 * (t - 68) + 60.8)
    if a < 77:
        return f2k(a)
    r = rh_
    v = (16 + 0.185212 * t + 5.37941 * r - 0.100254 * t * r + 0.00941695 * t * t
         + 0.00728898 * r * r + 0.000345372 * t * t * r - 0.000814971 * t * r * r
         + 1.02102e-5 * t * t * r * r - 3.8646e-5 * t ** 3 + 2.91583e-5 * r ** 3
         + 1.42721e-6 * t ** 3 * r + 1.97483e-7 * t * r ** 3 - 2.18429e-8 * t ** 3 * r * r
         + 8.43296e-10 * t * t * r ** 3 - 4.81975e-11 * t ** 3 * r ** 3)
    return f2k(v)

# ---- variable list ------------------------------------------------------------------

PVAR_LIST = ('id,otime,temp:C::%5.1f,dewp,rhum::%3.0f,wdir,wspd,wgst,pres::%6.1f,'
             'vis::%4.2f,cldcl,cldcv,saowx,fr,prec6::%4.2f,extt,rmk')


def flight(r):
    cover, h = set_cloud(r)
    if cover not in 'BO' and not (cover in '012345' and cover != ' '):
        h = M
    v = r['vis']
    if present(h) and h < 1000:
        return 'IFR'
    if present(v) and v < 3:
        return 'IFR'
    if present(h) and h <= 3000:
        return 'MVFR'
    if not present(v):
        return 'VFR'
    if v <= 5:
        return 'MVFR'
    return 'VFR'


def pvar_header():
    names = ['id', 'otime', 'temp', 'dewp', 'rhum', 'wdir', 'wspd', 'wgst', 'pres', 'vis',
             'cldcl', 'cldcv', 'saowx', 'fr', 'prec6', 'extt', 'rmk']
    units = ['', '', 'C'] + [''] * 14
    return (''.join('%6.6s ' % n for n in names) + '\n' +
            ''.join('%6.6s ' % u for u in units) + '\n')


def pvar(r):
    def col(v, form='%4.0f'):
        return '%6.6s ' % (form % v if present(v) else '')
    s = '%-6.6s ' % r['id']
    s += '  %4.4d ' % r['time'] if present(r['time']) else '       '
    s += col(5 * (r['t'] - 32) / 9 if present(r['t']) else M, '%5.1f')
    s += col(r['td'])
    s += col(rh(r), '%3.0f')
    s += col(r['w_dir']) + col(r['w_spd']) + col(r['w_gust'])
    s += col(r['pmb'], '%6.1f')
    s += col(r['vis'], '%4.2f')
    cover, h = set_cloud(r)
    s += col(h / 100 if present(h) else M)
    s += '%6.6s ' % {' ': 'M', 'B': 'BKN', 'C': 'CLR', 'F': 'FEW', 'O': 'OVC', 'S': 'SCT',
                     'X': 'X'}[cover]
    s += '%6.6s ' % short_weather(r['weather'])
    s += '%6.6s ' % flight(r)
    s += col(r['rain6'], '%4.2f')
    s += col(first_present(r['max_t'], r['min_t']))
    s += '%s ' % r['comment']
    return s + '\n'


# ---- rows for data tools --------------------------------------------------------------

FIELDS = (['obs_time', 'id', 'area', 'type', 'wmo', 'lat', 'lon', 'elev', 'prior', 'time'] +
          ['cld_height_%d' % i for i in range(1, 6)] + ['cld_cover_%d' % i for i in range(1, 6)] +
          ['num_cld', 'vis', 'weather', 'pmb', 't', 'td', 'w_dir', 'w_spd', 'w_gust', 'alt',
           'ptend_t', 'ptend', 'rain1', 'rain3', 'rain6', 'rain12', 'rain24', 'rain', 'rain_per',
           'cld_low'] + ['cld_type_%d' % i for i in range(1, 4)] +
          ['max_t', 'min_t', 'max6_t', 'min6_t', 'scover', 'solar', 'sst', 'wav_per', 'wav_hgt',
           'comment', 'flag', 'raw'])
INT_FIELDS = {'type', 'wmo', 'prior', 'time', 'num_cld', 'ptend_t', 'rain_per', 'flag'}


def shortest(x):
    """The shortest decimal that reads back as the single-precision value x."""
    x = f32(x)
    for digits in range(1, 12):
        text = '%.*f' % (digits, x)
        if f32(float(text)) == x:
            text = text.rstrip('0').rstrip('.')
            return text
    return repr(x)


# The rows print the single-precision value the program computed; where its sums and
# products in single precision land one or two units of the last place away from the
# nearest float of the hand value, the row shows that residue (README.md).
RESIDUE = {('KP58', 'td'): '26.060001', ('KS52', 'max6_t'): '29.119999',
           ('PCH', 't'): '-5.799999', ('PCH', 'td'): '-11.200001'}


def row_values(r):
    vals = []
    for name in FIELDS:
        if name.startswith('cld_height_'):
            v, kind = r['cld_height'][int(name[-1]) - 1], 'num'
        elif name.startswith('cld_cover_'):
            v, kind = r['cld_cover'][int(name[-1]) - 1], 'text'
        elif name.startswith('cld_type_'):
            v, kind = r['cld_type'][int(name[-1]) - 1], 'text'
        else:
            v = r[name]
            kind = 'text' if isinstance(v, str) else ('int' if name in INT_FIELDS else 'num')
        if kind == 'text':
            v = v.strip()
            vals.append((name, v if v else None, True))
        elif kind == 'int':
            vals.append((name, None if v == -9999 else str(v), False))
        else:
            text = RESIDUE.get((r['id'], name)) or (None if v == M else shortest(v))
            vals.append((name, text, False))
    return vals


def pcsv(r):
    out = []
    for _, v, text in row_values(r):
        if v is None:
            out.append('')
        elif text and (',' in v or '"' in v):
            out.append('"' + v.replace('"', '""') + '"')
        else:
            out.append(v)
    return ','.join(out) + '\n'


def pjson(r):
    out = []
    for name, v, text in row_values(r):
        if v is None:
            val = 'null'
        elif text:
            val = '"' + v.replace('\\', '\\\\').replace('"', '\\"') + '"'
        else:
            val = v
        out.append('"%s":%s' % (name, val))
    return '{' + ','.join(out) + '}\n'


HEADERS = {
    'plns': '  ID Tp Time  Vis    PWx   SLPres   T  Td   WD-WS WG  Alt   PT  Max Min\n'
            '     CHt CCv CHt CCv CHt CCv CHt CCv CHt CCv  L:M:H  Rn3  Rn6 Rn12 Rn24 SC\n',
    'pln': 'ID     TIME   T  TD  RH DIR SPD GST ALT SLP VIS CIL  COV WX  MAX MIN  PR6 PR24 SC\n',
    'psyn': ' ID   Cht Cv  Vis   PWx  SLPres   T  Td  WD-WS WG  Te  PT   Rn6 Rn24 SC L:M:H\n',
    'psimp': ' ID   Temp  Dew  Winds       Press   Clouds   Prec  Weather\n'
             '        F    F   deg   knt     mb  100ft cov   in\n',
    'pfull': '',
}


def main():
    form = sys.argv[1]
    printers = {'plns': plns, 'pln': pln, 'pfull': pfull, 'psyn': psyn, 'psimp': psimp,
                'pvar': pvar, 'pcsv': pcsv, 'pjson': pjson}
    out = ''
    if form in ('pcsv', 'pjson'):
        if form == 'pcsv':
            out += ','.join(FIELDS) + '\n'
    else:
        out += 'Date: 00Z  6 JAN 20\n\n'
        out += pvar_header() if form == 'pvar' else HEADERS[form]
    for r in REPORTS:
        out += printers[form](r)
    sys.stdout.write(out)


if __name__ == '__main__':
    main()
