// Test harness of the METAR decoder tests: decoding with the notes it prints,
// record fields by name, expectation lists, and the invariants every decoded
// record keeps.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "messages/messages.h"
#include "messages/messages_testing.h"
#include "surface/metar.h"
#include "surface/metar_testing.h"
#include "surface/raw_reader.h"
#include "surface/raw_reader_testing.h"
#include "surface/report.h"
#include "util/number.h"

namespace metar_test {

// A fixture that starts and ends every test with the message, reader and decoder
// state as the program starts.
class FreshState : public testing::Test {
 protected:
  void SetUp() override {
    MESS_reset_state();
    SFC_raw_reset_state();
    SFC_metar_reset_state();
  }
  void TearDown() override { SetUp(); }
};

struct Decoded {
  int rc = 0;
  SFC_report r{};
  std::string notes;  // what the decoder printed at the classes asked for
};

struct Options {
  int bulletin = 0;
  int format = 2;
  int prhour = 1800;
  M_type notes = 0;   // message classes to capture (0: none shown)
  bool blank = true;  // append the blank the raw reader leaves after a report
};

inline Decoded Decode(std::string_view text, const Options &o = {}) {
  Decoded d;
  std::string copy(text);
  if (o.blank) copy += ' ';
  SFC_initialize(&d.r);
  SFC_set_prhour(o.prhour);
  MESS_reset_state();
  MESS_set(MESS_USER_REMOVE, ~M_type{0});  // nothing but the classes asked for
  if (o.notes) {
    MESS_set(MESS_USER_ADD, o.notes);
    testing::internal::CaptureStdout();
  }
  d.rc = SFC_decode_METAR(copy.c_str(), o.format, o.bulletin, &d.r);
  if (o.notes) {
    std::fflush(stdout);
    d.notes = testing::internal::GetCapturedStdout();
  }
  MESS_reset_state();
  return d;
}

inline Decoded Decode(std::string_view text, int bulletin) {
  Options o;
  o.bulletin = bulletin;
  return Decode(text, o);
}

// The bulletin origin the raw reader gives a METAR of a bulletin of unknown
// origin, by its identifier.
inline int OriginOf(std::string_view id) { return SFC_raw_origin_of_id(std::string(id).c_str()); }

// ---- fields by name ------------------------------------------------------------

inline bool IsNumberField(std::string_view name) {
  return name != "id" && name != "area" && name != "weather" && name != "clouds" &&
         name != "cld_type" && name != "comment";
}

inline std::string Fixed(const char *s, std::size_t n) { return std::string(s, strnlen(s, n)); }

// Cloud layers as "F2000,B5000" ('-' for a missing height), "" for none.
inline std::string Clouds(const SFC_report &r) {
  std::string out;
  for (int i = 0; i < r.num_cld && i < SFC_MAX_CLD; ++i) {
    if (i) out += ',';
    out += r.cld_cover[i];
    if (r.cld_height[i] == SFC_MISSING_F)
      out += '-';
    else
      out += std::to_string(static_cast<int>(std::lround(r.cld_height[i])));
  }
  return out;
}

inline std::string TextField(const SFC_report &r, std::string_view name) {
  if (name == "id") return Fixed(r.id, sizeof r.id);
  if (name == "area") return Fixed(r.area, sizeof r.area);
  if (name == "weather") return Fixed(r.weather, sizeof r.weather);
  if (name == "clouds") return Clouds(r);
  if (name == "cld_type") return std::string(r.cld_type, SFC_CLD_TYPE_LEN);
  if (name == "comment") return Fixed(r.comment, sizeof r.comment);
  ADD_FAILURE() << "no text field " << name;
  return {};
}

inline double NumberField(const Decoded &d, std::string_view name) {
  const SFC_report &r = d.r;
  if (name == "rc") return d.rc;
  if (name == "type") return r.type;
  if (name == "time") return r.time;
  if (name == "num_cld") return r.num_cld;
  if (name == "vis") return r.vis;
  if (name == "pmb") return r.pmb;
  if (name == "t") return r.t;
  if (name == "td") return r.td;
  if (name == "w_dir") return r.w_dir;
  if (name == "w_spd") return r.w_spd;
  if (name == "w_gust") return r.w_gust;
  if (name == "alt") return r.alt;
  if (name == "ptend_t") return r.ptend_t;
  if (name == "ptend") return r.ptend;
  if (name == "rain1") return r.rain1;
  if (name == "rain3") return r.rain3;
  if (name == "rain6") return r.rain6;
  if (name == "rain12") return r.rain12;
  if (name == "rain24") return r.rain24;
  if (name == "max_t") return r.max_t;
  if (name == "min_t") return r.min_t;
  if (name == "max6_t") return r.max6_t;
  if (name == "min6_t") return r.min6_t;
  if (name == "scover") return r.scover;
  if (name == "solar") return r.solar;
  if (name == "flag") return r.flag;
  ADD_FAILURE() << "no number field " << name;
  return NAN;
}

// Checks an expectation list "name=value|name=value|..." against a decoding.
// Numbers compare within 0.001 (the missing value -9999 exactly); texts exactly,
// blanks included. Returns the number of expectations checked.
inline int Expect(const Decoded &d, std::string_view list) {
  int checked = 0;
  while (!list.empty()) {
    const std::size_t bar = list.find('|');
    const std::string_view item = list.substr(0, bar);
    list = bar == std::string_view::npos ? std::string_view{} : list.substr(bar + 1);
    const std::size_t eq = item.find('=');
    if (eq == std::string_view::npos) {
      ADD_FAILURE() << "bad expectation '" << item << "'";
      continue;
    }
    const std::string name(item.substr(0, eq));
    const std::string want(item.substr(eq + 1));
    ++checked;
    if (IsNumberField(name)) {
      double w = 0;
      if (!zyp::read_double(want, w)) {
        ADD_FAILURE() << "bad number '" << want << "' for " << name;
        continue;
      }
      const double got = NumberField(d, name);
      if (w == SFC_MISSING)
        EXPECT_EQ(got, w) << name;
      else
        EXPECT_NEAR(got, w, 0.001) << name;
    } else {
      EXPECT_EQ(TextField(d.r, name), want) << name;
    }
  }
  return checked;
}

// ---- invariants ---------------------------------------------------------------------

// What every decoded record keeps, whatever the text: terminated texts within
// their fields, layers within the record, cover codes only where layers are,
// and the kind and type the decoder sets.
inline void ExpectInvariants(const Decoded &d, std::string_view text) {
  const SFC_report &r = d.r;
  SCOPED_TRACE(std::string(text));
  EXPECT_TRUE(d.rc == 0 || d.rc == -1);
  EXPECT_LT(strnlen(r.id, sizeof r.id), sizeof r.id);
  EXPECT_LE(strnlen(r.id, sizeof r.id), 4u);
  EXPECT_STREQ(r.area, "ME");
  if (d.rc == -1)
    EXPECT_EQ(r.type, 0);
  else
    EXPECT_TRUE(r.type == 1 || r.type == 2);
  EXPECT_GE(r.num_cld, 0);
  EXPECT_LE(r.num_cld, SFC_MAX_CLD);
  for (int i = r.num_cld; i < SFC_MAX_CLD; ++i) {
    EXPECT_EQ(r.cld_cover[i], ' ');
    EXPECT_EQ(r.cld_height[i], SFC_MISSING_F);
  }
  EXPECT_LT(strnlen(r.weather, sizeof r.weather), sizeof r.weather);
  EXPECT_GE(strnlen(r.weather, sizeof r.weather), 1u);
  EXPECT_LT(strnlen(r.comment, sizeof r.comment), sizeof r.comment);
  EXPECT_EQ(std::strchr(r.comment, '$'), nullptr);
  EXPECT_TRUE(r.w_dir == SFC_MISSING_F || (r.w_dir >= 0 && r.w_dir <= 360)) << r.w_dir;
  EXPECT_TRUE(r.flag == 0 || r.flag == 1);
  // Fields no METAR fills.
  EXPECT_EQ(r.rain, SFC_MISSING_F);
  EXPECT_EQ(r.rain12, SFC_MISSING_F);
  EXPECT_EQ(r.sst, SFC_MISSING_F);
  EXPECT_EQ(r.lat, SFC_MISSING_F);
  EXPECT_EQ(r.wmo, SFC_MISSING);
  EXPECT_EQ(r.cld_low, ' ');
}

// ---- the real reports --------------------------------------------------------------

struct RealReport {
  std::string text;  // as the raw reader would give it: no '=', one blank after
  int bulletin;
};

inline std::string Identifier(const std::string &text) {
  std::size_t at = 0;
  for (const char *word : {"METAR ", "SPECI "})
    if (text.compare(0, 6, word) == 0) at = 6;
  return text.substr(at, 4);
}

// Both report files of tests/data/metar, one report a line; the header lines are
// skipped.
inline std::vector<RealReport> LoadRealReports() {
  std::vector<RealReport> out;
  auto add = [&out](std::string line) {
    for (char &c : line)
      if (c == '=' || c == '\r') c = ' ';
    out.push_back({line, OriginOf(Identifier(line))});
  };
  // Whole lines, however long.
  if (std::ifstream in(SOURCE_DIR "/tests/data/metar/awc_metars_sample.txt"); in) {
    std::string line;
    bool first = true;
    while (std::getline(in, line)) {
      while (!line.empty() && line.back() == '\r') line.pop_back();
      if (first || line.empty()) {
        first = false;
        continue;
      }
      add(line);
    }
  }
  if (std::ifstream in(SOURCE_DIR "/tests/data/metar/metaf_real_reports.tsv"); in) {
    std::string line;
    bool first = true;
    while (std::getline(in, line)) {
      while (!line.empty() && line.back() == '\r') line.pop_back();
      const std::size_t tab = line.rfind('\t');
      if (first || tab == std::string::npos) {
        first = false;
        continue;
      }
      add(line.substr(tab + 1));
    }
  }
  return out;
}

}  // namespace metar_test
