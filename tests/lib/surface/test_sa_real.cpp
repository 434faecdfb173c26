// SA decoder over real Canadian reports: a pinned selection, the small real
// bulletins read through the raw reader, and every SA report of the bundled
// sample hour.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <algorithm>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "messages/messages.h"
#include "messages/messages_testing.h"
#include "surface/raw_reader.h"
#include "surface/raw_reader_testing.h"
#include "surface/report.h"
#include "surface/sa.h"

namespace {

constexpr float M = SFC_MISSING_F;
const std::string kDataDir = SOURCE_DIR "/tests/data/sa/";
const std::string kSampleHour = SOURCE_DIR "/share/20010600_sao.wmo";

struct Pinned {
  const char *id;
  int time;
  float pmb, t, td, dir, spd, gust;
  const char *comment;
};

void ExpectValue(float got, float want, const char *what) {
  if (want == M)
    EXPECT_EQ(got, M) << what;
  else
    EXPECT_NEAR(got, want, 1e-3) << what;
}

void ExpectPinned(const SFC_report &r, const Pinned &p) {
  EXPECT_STREQ(r.id, p.id);
  EXPECT_STREQ(r.area, "SA");
  EXPECT_EQ(r.type, 1);
  EXPECT_EQ(r.time, p.time);
  EXPECT_EQ(r.num_cld, 0);  // the sky is written M
  EXPECT_EQ(r.vis, M);
  EXPECT_STREQ(r.weather, " ");
  EXPECT_EQ(r.alt, M);
  ExpectValue(r.pmb, p.pmb, "pmb");
  ExpectValue(r.t, p.t, "t");
  ExpectValue(r.td, p.td, "td");
  ExpectValue(r.w_dir, p.dir, "w_dir");
  ExpectValue(r.w_spd, p.spd, "w_spd");
  ExpectValue(r.w_gust, p.gust, "w_gust");
  EXPECT_STREQ(r.comment, p.comment);
}

// clang-format off
const std::map<std::string, Pinned> kPinned = {
    {"WPO", {"WPO", 0, 1016.6f, 24.8f, 17.6f, 290, 10, M, "PK WND 2818 2303Z SOG 12 1002 97MM "}},
    {"NES", {"NES", 0, M, 32, 12.2f, 210, 6, M, "M -16MM "}},                       // pressure M
    {"NTL", {"NTL", 0, M, -4, -7.6f, M, M, M, "0006 M 93MM "}},                     // wind MMMM, group after
    {"ZHY", {"ZHY", 0, 1012.6f, -13, -18.4f, 330, M, M, "SOG 15 5000 75MM "}},      // speed MM
    {"PXC", {"PXC", 0, M, 32, 14, M, 10, M, "M -36MM "}},                           // direction MM
    {"WZF", {"WZF", 0, M, M, M, M, M, M, "M MMMM "}},                               // everything M
    {"WKA", {"WKA", 0, M, M, M, 0, 0, M, "M MMMM "}},                               // calm as 0000
    {"WGW", {"WGW", 0, 1018.5f, 32, 24.8f, 160, 8, 18, "M PK WND 1422 2328Z SOG 03 6013 -54MM "}},  // gust +
    {"WEA", {"WEA", 0, 1011, 21.2f, M, 290, 9, M, "SOG 16 3001 6MMM "}},            // dew point M
    {"AWR", {"AWR", 10, M, 28.4f, M, 360, 14, 19, "M 2MMM "}},                      // time 0010
    {"WPF", {"WPF", 15, 1024.5f, 44.6f, 37.4f, 230, 8, M, "1040 88MM "}},           // time 0015
    {"XUX", {"XUX", 0, 997.3f, -22, -29.2f, 280, M, M, "SOG 14 8023 37MM "}},       // pressure above 50: 900s
    {"WQV", {"WQV", 0, M, M, M, M, 11, 24, "PK WND MM24 2350Z M MMMM "}},            // gust, direction MM
    {"WXL", {"WXL", 1400, M, 66.2f, 42.8f, 180, 6, M, "M 75MM "}},
    {"WZR", {"WZR", 1400, 1004.6f, 33.8f, 32, 40, 1, M, "M 1005 6-4MM "}},
    {"XEL", {"XEL", 1400, 1007.3f, 64.4f, 57.2f, M, 10, M, "M 6004 88MM "}},
    {"XPS", {"XPS", 1400, 1004.4f, 59, M, 260, 1, M, "6002 5MMM "}},
    {"NBB", {"NBB", 1100, 1036.8f, -18.4f, -23.8f, 230, 10, M, "PK WND 2424 1025Z 5000 76MM "}},  // two lines
};
// clang-format on

class SaRealTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MESS_reset_state();
    SFC_raw_reset_state();
  }
  void TearDown() override { SFC_raw_reset_state(); }
};

// One report of a raw file as the driver sees it.
struct RawReport {
  std::string text, id;
  int format, bulletin;
};

std::vector<RawReport> ReadRaw(const std::string &path) {
  std::vector<RawReport> out;
  FILE *f = std::fopen(path.c_str(), "rb");
  if (!f) {
    ADD_FAILURE() << "cannot open " << path;
    return out;
  }
  SFC_raw_new_file();
  data_struct d{};
  d.bulletin = SFC_ORIGIN_OTHER;
  for (int reads = 0; reads < 100000; ++reads) {
    const int r = SFC_read_raw(f, d.data, d.id, &d.format, &d.bulletin);
    if (r == SFC_RAW_NONE) break;
    out.push_back({d.data, d.id, d.format, d.bulletin});
    if (r == SFC_RAW_LAST) break;
  }
  std::fclose(f);
  return out;
}

// Purpose: the selected real reports, decoded as the reader hands them (the
// report's last '=' made a blank), pinned field by field.
TEST_F(SaRealTest, SelectedReports) {
  std::ifstream in(kDataDir + "sacn_2020010600.txt");
  ASSERT_TRUE(in) << "missing fixture";
  std::string line;
  int count = 0;
  while (std::getline(in, line)) {
    std::string text = line.substr(line.find('\t') + 1);
    SCOPED_TRACE(text);
    if (const size_t eq = text.rfind('='); eq != std::string::npos) text[eq] = ' ';
    SFC_report r;
    SFC_initialize(&r);
    ASSERT_EQ(SFC_decode_SA(text.c_str(), SFC_FMT_SA, SFC_ORIGIN_CANADA, &r), 0);
    const auto it = kPinned.find(r.id);
    ASSERT_NE(it, kPinned.end());
    ExpectPinned(r, it->second);
    ++count;
  }
  EXPECT_EQ(count, 13);
}

// Purpose: the small real bulletins through the raw reader, with the origin and
// time their headings give (a report over two lines included).
TEST_F(SaRealTest, BulletinsThroughTheReader) {
  int count = 0;
  for (const char *file : {"pyiem_sa.txt", "metpx_SACN74_CWAO_051100.txt"}) {
    for (const RawReport &rep : ReadRaw(kDataDir + file)) {
      if (rep.format != SFC_FMT_SA) continue;
      SCOPED_TRACE(rep.text);
      EXPECT_EQ(rep.bulletin, SFC_ORIGIN_CANADA);
      SFC_report r;
      SFC_initialize(&r);
      ASSERT_EQ(SFC_decode_SA(rep.text.c_str(), rep.format, rep.bulletin, &r), 0);
      const auto it = kPinned.find(r.id);
      ASSERT_NE(it, kPinned.end());
      ExpectPinned(r, it->second);
      ++count;
    }
  }
  EXPECT_EQ(count, 5);
}

// The `n`-th blank-separated word of `text` (from 0), or "".
std::string Word(const std::string &text, int n) {
  std::size_t at = 0;
  for (int i = 0;; ++i) {
    at = text.find_first_not_of(' ', at);
    if (at == std::string::npos) return "";
    const std::size_t end = std::min(text.find(' ', at), text.size());
    if (i == n) return text.substr(at, end - at);
    at = end;
  }
}

// Purpose: every SA report of the bundled sample hour decodes, with sane values.
TEST_F(SaRealTest, EverySampleReport) {
  int count = 0, refused = 0, with_pressure = 0, with_wind = 0, with_t = 0;
  for (const RawReport &rep : ReadRaw(kSampleHour)) {
    if (rep.format != SFC_FMT_SA && rep.format != SFC_FMT_SP) continue;
    SCOPED_TRACE(rep.text);
    SFC_report r;
    SFC_initialize(&r);
    std::strcpy(r.area, "UN");
    const std::string second = Word(rep.text, 1);
    if (second != "SA" && second != "SP" && second != "RS" && second != "SM") {
      // NIL, AMOS or COR reports of format 1: refused, the record untouched.
      EXPECT_EQ(SFC_decode_SA(rep.text.c_str(), rep.format, rep.bulletin, &r), -1);
      EXPECT_STREQ(r.area, "UN");
      ++refused;
      continue;
    }
    ASSERT_EQ(SFC_decode_SA(rep.text.c_str(), rep.format, rep.bulletin, &r), 0);
    ++count;
    EXPECT_EQ(rep.bulletin, SFC_ORIGIN_CANADA);
    EXPECT_EQ(rep.id, r.id);
    EXPECT_STREQ(r.area, "SA");
    EXPECT_EQ(r.type, 1);
    EXPECT_TRUE(r.time >= 0 && r.time <= 59) << r.time;  // all of the first hour
    EXPECT_EQ(r.num_cld, 0);
    EXPECT_STREQ(r.weather, " ");
    EXPECT_TRUE(r.pmb == M || (r.pmb > 940 && r.pmb < 1060)) << r.pmb;
    EXPECT_TRUE(r.t == M || (r.t > -60 && r.t < 70)) << r.t;  // January in Canada
    EXPECT_TRUE(r.td == M || (r.td > -70 && (r.t == M || r.td <= r.t))) << r.td;
    EXPECT_TRUE(r.w_dir == M || (r.w_dir >= 0 && r.w_dir <= 360)) << r.w_dir;
    EXPECT_TRUE(r.w_spd == M || (r.w_spd >= 0 && r.w_spd < 100)) << r.w_spd;
    EXPECT_TRUE(r.w_gust == M || r.w_gust > r.w_spd) << r.w_gust;
    EXPECT_LE(std::strlen(r.comment), static_cast<size_t>(SFC_COMMENT_LEN));
    // The main group was read: nothing of it is left for the remarks.
    EXPECT_EQ(std::strstr(r.comment, "/M/"), nullptr) << r.comment;
    with_pressure += r.pmb != M;
    with_wind += r.w_spd != M;
    with_t += r.t != M;
  }
  EXPECT_EQ(count, 716);
  EXPECT_GT(refused, 0);
  EXPECT_GT(with_pressure, 400);
  EXPECT_GT(with_wind, 600);
  EXPECT_GT(with_t, 690);
}

}  // namespace
