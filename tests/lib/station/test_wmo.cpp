// WMO numbers and identifiers: every range of the prefix table, both directions,
// and the bases of the reverse table, generated from the tables as written.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "station/station.h"

namespace {

// The prefix table: "lo-hi PREFIX" items, inclusive ranges.
constexpr const char *kRangeTable = R"(
01000-01499 EN; 02000-02699 ES; 02800-02999 EF; 03000-03949 EG; 03950-03999 EI; 04000-04099 BI;
04100-04399 BG; 06000-06199 EK; 06200-06399 EH; 06400-06499 EB; 06500-06599 EL; 06600-06799 LS;
07000-07999 LF; 08000-08499 LE; 08500-08579 LP;
10000-10999 ED; 11000-11399 LO; 11400-11999 LK; 12100-12699 EP; 12700-12999 LH; 13000-13599 LY;
13600-13699 LA; 14000-14299 LJ; 15000-15499 LR; 15500-15999 LB; 16000-16599 LI; 16600-16999 LG;
17000-17599 LT; 17600-17699 LC;
20000-29999 U; 30000-39999 X;
40000-40099 OS; 40100-40149 OL; 40150-40199 LL; 40250-40349 OJ; 40350-40499 OE; 40500-40599 OK;
40600-40699 OR; 40700-40899 OI; 40900-40999 OA; 41000-41149 OE; 41150-41159 OB; 41160-41179 OE;
41180-41239 OT; 41240-41319 OM; 41320-41409 OY; 41410-41499 OD; 41500-41799 OP; 41800-41999 VG;
42000-42999 VI; 43000-43999 VO; 44000-44399 ZM; 44400-44499 VN; 45000-45099 VH; 46000-46999 RC;
47000-47079 ZK; 47080-47199 RK; 47400-47999 RJ; 48000-48199 VB; 48300-48599 VT; 48600-48689 WM;
48690-48699 WS; 48800-48929 VV; 48930-48959 VL; 48960-48999 VD;
50000-59999 Z;
60000-60049 GC; 60050-60319 GM; 60320-60339 GE; 60350-60699 DA; 60700-60799 DT; 61000-61099 DR;
61100-61299 GA; 61400-61499 GQ; 61600-61699 GO; 61700-61749 GB; 61750-61799 GG; 61800-61849 GU;
61850-61899 GF; 62000-62299 HL; 62300-62499 HE; 62600-62999 HS; 63000-63099 HA; 63100-63149 HF;
63150-63299 HC; 63300-63499 HA; 63600-63979 HK; 63980-63999 FS; 64000-64360 FZ; 64380-64389 HR;
64390-64399 HB; 64400-64499 FC; 64500-64599 FO; 64600-64699 FE; 64700-64799 FT; 64800-64849 FG;
64850-64999 FK; 65000-65299 DN; 65300-65349 DB; 65350-65399 DX; 65400-65499 DG; 65500-65524 DF;
65525-65599 DI; 65600-65699 GL; 66000-66999 FN; 67000-67199 FM; 67200-67399 FQ; 67400-67753 FL;
67755-67789 FV; 67790-67799 FW; 67800-67999 FV; 68000-68999 FA; 69000-69999 KQ;
70000-70999 PA; 71000-71999 CY; 72000-72999 K2; 74000-74999 K4; 76000-76999 MM; 78000-78199 MY;
78200-78379 MU; 78380-78384 MW; 78385-78399 MK; 78400-78449 MT; 78450-78499 MD; 78500-78519 MH;
78520-78534 TJ; 78535-78550 TI; 78580-78599 MZ; 78600-78649 MG; 78650-78699 MS; 78700-78729 MH;
78730-78759 MN; 78760-78789 MR; 78790-78819 MP; 78840-78864 TK; 78865-78889 TN; 78890-78899 TF;
78900-78919 TD; 78920-78939 TF; 78940-78959 TL; 78960-78979 TT; 78980-78999 TN;
80000-80399 SK; 80400-80999 SV; 81000-81199 SY; 81200-81399 SM; 81400-81599 SO; 82000-82999 SB;
83000-83999 SZ; 84000-84299 SE; 84300-84999 SP; 85000-85399 SL; 85400-85999 SC; 86000-86299 SG;
86300-86599 SU; 87000-87999 SA; 88000-88999 SF;
91000-91199 PH; 91250-91259 PK; 91260-91299 PH; 91300-91359 PT; 91360-91379 PK; 91380-91399 PL;
91400-91449 PT; 91450-91499 PL; 91500-91549 AG; 91550-91569 NV; 91570-91599 NW; 91600-91649 NG;
91650-91699 NF; 91700-91749 N1; 91750-91759 NL; 91760-91769 NS; 91770-91799 NF; 91800-91849 NC;
91900-91959 NT; 92000-92999 AY; 93000-93999 NZ; 94100-95999 Y; 96000-96999 WI; 97000-97999 WA;
98000-98999 RP
)";

// The reverse table: "FIRST: seconds base, ..." per line (OE is special, below).
constexpr const char *kBaseTable = R"(
E: N 1000, SF 2000, GI 3000, KHBL 6000, D 10000, P 12000
B: IG 4000
L: S 6000, F 7000, EP 8000, OK 11000, H 12000, YA 13000, J 14000, RB 15000, IG 16000, TC 17000, L 40000
O: SLJKRIA 40000, BTMYDP 41000
V: G 41000, I 42000, O 43000, N 44000, H 45000, BTVLD 48000
Z: M 44000, K 47000
R: C 46000, KJ 47000, P 98000
W: MS 48000, I 96000, A 97000
G: CME 60000, AQOBGUF 61000, L 65000
D: AT 60000, R 61000, NBXGFI 65000
H: LES 62000, AFCK 63000, RB 64000
F: S 63000, ZCOETGK 64000, N 66000, MQLWV 67000, A 68000
K: Q 69000, 2 72000, 4 74000
P: A 70000, HKTL 91000
C: Y 71000
M: M 76000, YUWKTDHZGSNRP 78000
T: JIKNFDLT 78000
S: KV 80000, YMO 81000, B 82000, Z 83000, EP 84000, LC 85000, GU 86000, A 87000, F 88000
A: G 91000, Y 92000
N: VWG1FLSCT 91000, Z 93000
)";

struct Range {
  int lo, hi;
  std::string prefix;
};

std::vector<Range> Ranges() {
  std::vector<Range> out;
  std::string text(kRangeTable);
  for (char &c : text)
    if (c == ';' || c == '\n') c = ' ';
  std::istringstream in(text);
  std::string span, prefix;
  while (in >> span >> prefix) {
    Range r;
    std::sscanf(span.c_str(), "%d-%d", &r.lo, &r.hi);
    r.prefix = prefix;
    out.push_back(r);
  }
  return out;
}

const Range *RangeOf(const std::vector<Range> &ranges, int wmo) {
  for (const Range &r : ranges)
    if (wmo >= r.lo && wmo <= r.hi) return &r;
  return nullptr;
}

std::string Expected(const std::vector<Range> &ranges, int wmo) {
  char buf[16];
  const Range *r = RangeOf(ranges, wmo);
  if (!r)
    std::snprintf(buf, sizeof buf, "%05d", wmo);
  else if (r->prefix.size() == 1)
    std::snprintf(buf, sizeof buf, "%s%04d", r->prefix.c_str(), wmo % 10000);
  else
    std::snprintf(buf, sizeof buf, "%s%03d", r->prefix.c_str(), wmo % 1000);
  return buf;
}

std::string ToId(int wmo) {
  char id[CTY_WMO_ID_SIZE];
  wmo_to_id(id, wmo);
  return id;
}

TEST(Wmo, EveryRangeBoundaryBothWays) {
  const std::vector<Range> ranges = Ranges();
  ASSERT_EQ(ranges.size(), 182u);
  for (const Range &r : ranges) {
    for (int wmo : {r.lo, r.lo + 1, (r.lo + r.hi) / 2, r.hi - 1, r.hi}) {
      if (wmo < r.lo || wmo > r.hi) continue;
      const std::string id = ToId(wmo);
      EXPECT_EQ(id, Expected(ranges, wmo)) << wmo;
      int back = 0;
      EXPECT_EQ(id_to_wmo(id.c_str(), &back), 0) << id;
      EXPECT_EQ(back, wmo) << id;
    }
    // Just outside: the neighbouring range's prefix, or none (the number itself).
    for (int wmo : {r.lo - 1, r.hi + 1}) EXPECT_EQ(ToId(wmo), Expected(ranges, wmo)) << wmo;
  }
}

TEST(Wmo, EveryNumberFollowsTheTable) {
  const std::vector<Range> ranges = Ranges();
  for (int wmo = 0; wmo <= 99999; ++wmo) ASSERT_EQ(ToId(wmo), Expected(ranges, wmo)) << wmo;
}

TEST(Wmo, ListedExamples) {
  const struct {
    int wmo;
    const char *id;
  } cases[] = {
      {72645, "K2645"}, {3772, "EG772"},  {61050, "DR050"}, {33345, "X3345"},
      {54511, "Z4511"}, {27612, "U7612"}, {67754, "67754"}, {99999, "99999"},
      {500, "00500"},   {64370, "64370"}, {78560, "78560"},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(ToId(c.wmo), c.id) << c.wmo;
    int back = 0;
    id_to_wmo(c.id, &back);
    EXPECT_EQ(back, c.wmo) << c.id;
  }
}

TEST(Wmo, OutputIsBounded) {
  char id[CTY_WMO_ID_SIZE + 4];
  std::memset(id, 'x', sizeof id);
  wmo_to_id(id, 1234567);
  EXPECT_EQ(std::strlen(id), 5u);
  EXPECT_EQ(id[CTY_WMO_ID_SIZE], 'x');
  wmo_to_id(id, -5);  // negative numbers have no prefix
  EXPECT_EQ(std::strlen(id), 5u);
  EXPECT_EQ(id[0], '-');
}

TEST(Wmo, IdToWmoForms) {
  const struct {
    const char *id;
    int result;
    int wmo;
  } cases[] = {
      {"72645", -1, 72645},  {"00500", -1, 500},  {"KMSN", -1, 99999},  {"K264", -1, 99999},
      {"K26455", -1, 99999}, {"", -1, 99999},     {"KA12X", -1, 99999}, {"12345X", -1, 99999},
      {"OE350", 0, 40350},   {"OE301", 0, 40301}, {"OE300", 0, 300},    {"OE299", 0, 41299},
      {"OE100", 0, 41100},   {"QQ123", 0, 123},   {"k2645", 0, 645},    {"Kq123", 0, 123},
      {"UA123", 0, 123},     {"U7612", 0, 27612}, {"X0000", 0, 30000},  {"Y9999", 0, 99999},
      {"Z4511", 0, 54511},   {"ZM123", 0, 44123}, {"ZK080", 0, 47080},  {"N1700", 0, 91700},
      {"1A234", -1, 99999},
  };
  for (const auto &c : cases) {
    int wmo = -1;
    EXPECT_EQ(id_to_wmo(c.id, &wmo), c.result) << c.id;
    EXPECT_EQ(wmo, c.wmo) << c.id;
  }
  int wmo = -1;
  EXPECT_EQ(id_to_wmo(nullptr, &wmo), -1);
  EXPECT_EQ(wmo, 99999);
  EXPECT_EQ(id_to_wmo("K2645", nullptr), 0);
}

TEST(Wmo, EveryBaseOfTheReverseTable) {
  std::map<std::string, int> bases;
  std::istringstream lines(kBaseTable);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.size() < 3) continue;
    const char first = line[0];
    std::istringstream items(line.substr(2));
    std::string item;
    while (std::getline(items, item, ',')) {
      std::istringstream parts(item);
      std::string seconds;
      int base = 0;
      parts >> seconds >> base;
      for (char second : seconds) bases[std::string{first, second}] = base;
    }
  }
  ASSERT_GT(bases.size(), 120u);
  for (const auto &[prefix, base] : bases) {
    const std::string id = prefix + "123";
    int wmo = 0;
    EXPECT_EQ(id_to_wmo(id.c_str(), &wmo), 0) << id;
    EXPECT_EQ(wmo, base + 123) << id;
  }
  // Every other capital pair adds nothing (OE and the one-letter prefixes with a
  // digit aside).
  for (char first = 'A'; first <= 'Z'; ++first)
    for (char second = 'A'; second <= 'Z'; ++second) {
      const std::string prefix{first, second};
      if (bases.count(prefix) || prefix == "OE") continue;
      const std::string id = prefix + "456";
      int wmo = 0;
      id_to_wmo(id.c_str(), &wmo);
      EXPECT_EQ(wmo, 456) << id;
    }
}

}  // namespace
