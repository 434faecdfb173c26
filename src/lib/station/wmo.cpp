// WMO numbers and identifiers: a country prefix and the last digits of the number,
// and back.
#include <cstdio>
#include <cstring>

#include "station/station.h"
#include "util/chars.h"

namespace {

struct Range {
  int lo, hi;          // WMO numbers, inclusive
  const char *prefix;  // two characters, or one letter
};

// Ranges with their identifier prefixes, ascending; numbers in no range have none.
// clang-format off
constexpr Range kRanges[] = {
    {1000, 1499, "EN"},   {2000, 2699, "ES"},   {2800, 2999, "EF"},   {3000, 3949, "EG"},
    {3950, 3999, "EI"},   {4000, 4099, "BI"},   {4100, 4399, "BG"},   {6000, 6199, "EK"},
    {6200, 6399, "EH"},   {6400, 6499, "EB"},   {6500, 6599, "EL"},   {6600, 6799, "LS"},
    {7000, 7999, "LF"},   {8000, 8499, "LE"},   {8500, 8579, "LP"},
    {10000, 10999, "ED"}, {11000, 11399, "LO"}, {11400, 11999, "LK"}, {12100, 12699, "EP"},
    {12700, 12999, "LH"}, {13000, 13599, "LY"}, {13600, 13699, "LA"}, {14000, 14299, "LJ"},
    {15000, 15499, "LR"}, {15500, 15999, "LB"}, {16000, 16599, "LI"}, {16600, 16999, "LG"},
    {17000, 17599, "LT"}, {17600, 17699, "LC"},
    {20000, 29999, "U"},
    {30000, 39999, "X"},
    {40000, 40099, "OS"}, {40100, 40149, "OL"}, {40150, 40199, "LL"}, {40250, 40349, "OJ"},
    {40350, 40499, "OE"}, {40500, 40599, "OK"}, {40600, 40699, "OR"}, {40700, 40899, "OI"},
    {40900, 40999, "OA"}, {41000, 41149, "OE"}, {41150, 41159, "OB"}, {41160, 41179, "OE"},
    {41180, 41239, "OT"}, {41240, 41319, "OM"}, {41320, 41409, "OY"}, {41410, 41499, "OD"},
    {41500, 41799, "OP"}, {41800, 41999, "VG"}, {42000, 42999, "VI"}, {43000, 43999, "VO"},
    {44000, 44399, "ZM"}, {44400, 44499, "VN"}, {45000, 45099, "VH"}, {46000, 46999, "RC"},
    {47000, 47079, "ZK"}, {47080, 47199, "RK"}, {47400, 47999, "RJ"}, {48000, 48199, "VB"},
    {48300, 48599, "VT"}, {48600, 48689, "WM"}, {48690, 48699, "WS"}, {48800, 48929, "VV"},
    {48930, 48959, "VL"}, {48960, 48999, "VD"},
    {50000, 59999, "Z"},
    {60000, 60049, "GC"}, {60050, 60319, "GM"}, {60320, 60339, "GE"}, {60350, 60699, "DA"},
    {60700, 60799, "DT"}, {61000, 61099, "DR"}, {61100, 61299, "GA"}, {61400, 61499, "GQ"},
    {61600, 61699, "GO"}, {61700, 61749, "GB"}, {61750, 61799, "GG"}, {61800, 61849, "GU"},
    {61850, 61899, "GF"}, {62000, 62299, "HL"}, {62300, 62499, "HE"}, {62600, 62999, "HS"},
    {63000, 63099, "HA"}, {63100, 63149, "HF"}, {63150, 63299, "HC"}, {63300, 63499, "HA"},
    {63600, 63979, "HK"}, {63980, 63999, "FS"}, {64000, 64360, "FZ"}, {64380, 64389, "HR"},
    {64390, 64399, "HB"}, {64400, 64499, "FC"}, {64500, 64599, "FO"}, {64600, 64699, "FE"},
    {64700, 64799, "FT"}, {64800, 64849, "FG"}, {64850, 64999, "FK"}, {65000, 65299, "DN"},
    {65300, 65349, "DB"}, {65350, 65399, "DX"}, {65400, 65499, "DG"}, {65500, 65524, "DF"},
    {65525, 65599, "DI"}, {65600, 65699, "GL"}, {66000, 66999, "FN"}, {67000, 67199, "FM"},
    {67200, 67399, "FQ"}, {67400, 67753, "FL"}, {67755, 67789, "FV"}, {67790, 67799, "FW"},
    {67800, 67999, "FV"}, {68000, 68999, "FA"}, {69000, 69999, "KQ"},
    {70000, 70999, "PA"}, {71000, 71999, "CY"}, {72000, 72999, "K2"}, {74000, 74999, "K4"},
    {76000, 76999, "MM"}, {78000, 78199, "MY"}, {78200, 78379, "MU"}, {78380, 78384, "MW"},
    {78385, 78399, "MK"}, {78400, 78449, "MT"}, {78450, 78499, "MD"}, {78500, 78519, "MH"},
    {78520, 78534, "TJ"}, {78535, 78550, "TI"}, {78580, 78599, "MZ"}, {78600, 78649, "MG"},
    {78650, 78699, "MS"}, {78700, 78729, "MH"}, {78730, 78759, "MN"}, {78760, 78789, "MR"},
    {78790, 78819, "MP"}, {78840, 78864, "TK"}, {78865, 78889, "TN"}, {78890, 78899, "TF"},
    {78900, 78919, "TD"}, {78920, 78939, "TF"}, {78940, 78959, "TL"}, {78960, 78979, "TT"},
    {78980, 78999, "TN"},
    {80000, 80399, "SK"}, {80400, 80999, "SV"}, {81000, 81199, "SY"}, {81200, 81399, "SM"},
    {81400, 81599, "SO"}, {82000, 82999, "SB"}, {83000, 83999, "SZ"}, {84000, 84299, "SE"},
    {84300, 84999, "SP"}, {85000, 85399, "SL"}, {85400, 85999, "SC"}, {86000, 86299, "SG"},
    {86300, 86599, "SU"}, {87000, 87999, "SA"}, {88000, 88999, "SF"},
    {91000, 91199, "PH"}, {91250, 91259, "PK"}, {91260, 91299, "PH"}, {91300, 91359, "PT"},
    {91360, 91379, "PK"}, {91380, 91399, "PL"}, {91400, 91449, "PT"}, {91450, 91499, "PL"},
    {91500, 91549, "AG"}, {91550, 91569, "NV"}, {91570, 91599, "NW"}, {91600, 91649, "NG"},
    {91650, 91699, "NF"}, {91700, 91749, "N1"}, {91750, 91759, "NL"}, {91760, 91769, "NS"},
    {91770, 91799, "NF"}, {91800, 91849, "NC"}, {91900, 91959, "NT"}, {92000, 92999, "AY"},
    {93000, 93999, "NZ"}, {94100, 95999, "Y"},  {96000, 96999, "WI"}, {97000, 97999, "WA"},
    {98000, 98999, "RP"},
};
// clang-format on

const char *prefix_of(int wmo) {
  size_t lo = 0, hi = sizeof kRanges / sizeof kRanges[0];
  while (lo < hi) {  // the first range that does not end below the number
    const size_t mid = (lo + hi) / 2;
    if (kRanges[mid].hi < wmo)
      lo = mid + 1;
    else
      hi = mid;
  }
  if (lo < sizeof kRanges / sizeof kRanges[0] && kRanges[lo].lo <= wmo) return kRanges[lo].prefix;
  return nullptr;
}

struct Base {
  const char *seconds;  // second characters that add the base
  int base;
};

struct FirstLetter {
  char first;
  Base bases[11];
};

// Bases added by the two prefix characters (OE is decided by its digits).
// clang-format off
constexpr FirstLetter kBases[] = {
    {'E', {{"N", 1000}, {"SF", 2000}, {"GI", 3000}, {"KHBL", 6000}, {"D", 10000}, {"P", 12000}}},
    {'B', {{"IG", 4000}}},
    {'L', {{"S", 6000}, {"F", 7000}, {"EP", 8000}, {"OK", 11000}, {"H", 12000}, {"YA", 13000}, {"J", 14000},
           {"RB", 15000}, {"IG", 16000}, {"TC", 17000}, {"L", 40000}}},
    {'O', {{"SLJKRIA", 40000}, {"BTMYDP", 41000}}},
    {'V', {{"G", 41000}, {"I", 42000}, {"O", 43000}, {"N", 44000}, {"H", 45000}, {"BTVLD", 48000}}},
    {'Z', {{"M", 44000}, {"K", 47000}}},
    {'R', {{"C", 46000}, {"KJ", 47000}, {"P", 98000}}},
    {'W', {{"MS", 48000}, {"I", 96000}, {"A", 97000}}},
    {'G', {{"CME", 60000}, {"AQOBGUF", 61000}, {"L", 65000}}},
    {'D', {{"AT", 60000}, {"R", 61000}, {"NBXGFI", 65000}}},
    {'H', {{"LES", 62000}, {"AFCK", 63000}, {"RB", 64000}}},
    {'F', {{"S", 63000}, {"ZCOETGK", 64000}, {"N", 66000}, {"MQLWV", 67000}, {"A", 68000}}},
    {'K', {{"Q", 69000}, {"2", 72000}, {"4", 74000}}},
    {'P', {{"A", 70000}, {"HKTL", 91000}}},
    {'C', {{"Y", 71000}}},
    {'M', {{"M", 76000}, {"YUWKTDHZGSNRP", 78000}}},
    {'T', {{"JIKNFDLT", 78000}}},
    {'S', {{"KV", 80000}, {"YMO", 81000}, {"B", 82000}, {"Z", 83000}, {"EP", 84000}, {"LC", 85000}, {"GU", 86000},
           {"A", 87000}, {"F", 88000}}},
    {'A', {{"G", 91000}, {"Y", 92000}}},
    {'N', {{"VWG1FLSCT", 91000}, {"Z", 93000}}},
};
// clang-format on

int base_of(char first, char second, int digits) {
  if (first == 'O' && second == 'E') return digits > 300 ? 40000 : digits < 300 ? 41000 : 0;
  for (const FirstLetter &f : kBases) {
    if (f.first != first) continue;
    for (const Base &b : f.bases)
      if (b.seconds && second != '\0' && std::strchr(b.seconds, second)) return b.base;
    break;
  }
  return 0;
}

}  // namespace

int wmo_to_id(char *id, int wmo) {
  if (!id) return 0;
  const char *prefix = wmo >= 0 ? prefix_of(wmo) : nullptr;
  if (!prefix)
    std::snprintf(id, CTY_WMO_ID_SIZE, "%5.5d", wmo);
  else if (prefix[1] == '\0')
    std::snprintf(id, CTY_WMO_ID_SIZE, "%c%4.4d", prefix[0], wmo % 10000);
  else
    std::snprintf(id, CTY_WMO_ID_SIZE, "%s%3.3d", prefix, wmo % 1000);
  return 0;
}

int id_to_wmo(const char *id, int *wmo) {
  int number = CTY_NO_WMO;
  int result = -1;
  const size_t len = id ? std::strlen(id) : 0;
  if (len == 5 && zyp::is_digit(id[0]) && zyp::is_digit(id[1]) && zyp::is_digit(id[2]) &&
      zyp::is_digit(id[3]) && zyp::is_digit(id[4])) {
    number = (id[0] - '0') * 10000 + (id[1] - '0') * 1000 + (id[2] - '0') * 100 +
             (id[3] - '0') * 10 + (id[4] - '0');
  } else if (len == 5 && zyp::is_alpha(id[0]) && zyp::is_digit(id[2]) && zyp::is_digit(id[3]) &&
             zyp::is_digit(id[4])) {
    const int digits = (id[2] - '0') * 100 + (id[3] - '0') * 10 + (id[4] - '0');
    const char first = id[0], second = id[1];
    number = digits;
    if (zyp::is_digit(second) && (first == 'U' || first == 'X' || first == 'Y' || first == 'Z')) {
      // One-letter prefixes: the four digits after the letter.
      const int four = (second - '0') * 1000 + digits;
      const int base = first == 'U' ? 20000 : first == 'X' ? 30000 : first == 'Y' ? 90000 : 50000;
      number = base + four;
    } else if (zyp::is_upper(first)) {
      number += base_of(first, second, digits);
    }
    result = 0;
  }
  if (wmo) *wmo = number;
  return result;
}
