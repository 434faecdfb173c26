#include <gtest/gtest.h>
#include <netcdf.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "messages/messages.h"
#include "messages/messages_testing.h"
#include "surface/madis_reader.h"
#include "surface/raw_reader.h"
#include "surface/raw_reader_testing.h"
#include "surface/report.h"
#include "surface/sa.h"

namespace {

const std::string kMadisSao = SOURCE_DIR "/tests/data/netcdf/madis-sao.nc";

struct Got {
  data_struct rep;
  int prhour;
  size_t record;
};

std::vector<Got> ReadAll(SFC_madis &m) {
  std::vector<Got> out;
  Got g{};
  while (m.read(&g.rep, &g.prhour) == 0) {
    g.record = m.record();
    out.push_back(g);
  }
  return out;
}

// One float variable of the record dimension, fill values as NaN.
std::vector<float> Variable(const char *name) {
  int ncid = -1, var = -1;
  std::vector<float> v;
  if (nc_open(kMadisSao.c_str(), NC_NOWRITE, &ncid) != NC_NOERR) return v;
  size_t n = 0;
  int dim = -1;
  if (nc_inq_varid(ncid, name, &var) == NC_NOERR && nc_inq_vardimid(ncid, var, &dim) == NC_NOERR &&
      nc_inq_dimlen(ncid, dim, &n) == NC_NOERR) {
    v.resize(n);
    nc_get_var_float(ncid, var, v.data());
  }
  nc_close(ncid);
  for (float &x : v)
    if (x > 1e30f) x = NAN;
  return v;
}

// A scratch netCDF file made with the library itself.
struct ScratchNc {
  std::string path;
  int ncid = -1;
  ScratchNc() {
    char tmpl[] = "/tmp/madis_testXXXXXX";
    int fd = mkstemp(tmpl);
    if (fd >= 0) close(fd);
    path = tmpl;
    nc_create(path.c_str(), NC_CLOBBER, &ncid);
  }
  ~ScratchNc() { std::remove(path.c_str()); }
  int dim(const char *name, size_t len) {
    int id = -1;
    nc_def_dim(ncid, name, len, &id);
    return id;
  }
  int var(const char *name, nc_type type, std::vector<int> dims) {
    int id = -1;
    nc_def_var(ncid, name, type, static_cast<int>(dims.size()), dims.data(), &id);
    return id;
  }
  void text(int var, size_t rec, const std::string &s, size_t len) {
    std::string padded = s;
    padded.resize(len, ' ');
    const size_t start[2] = {rec, 0}, count[2] = {1, len};
    nc_put_vara_text(ncid, var, start, count, padded.data());
  }
  void done() { nc_close(ncid); }
};

class MadisReader : public testing::Test {
 protected:
  void SetUp() override {
    MESS_reset_state();
    SFC_raw_reset_state();
  }
  void TearDown() override { SFC_raw_reset_state(); }
};

// Purpose: the real MADIS SA file gives every report of every record, NIL reports
// packed into one record one by one, with the identifier of the station name, the
// SA format, the Canadian origin and the record's nominal time.
TEST_F(MadisReader, RealSaoFile) {
  SFC_madis m;
  ASSERT_EQ(m.open(kMadisSao.c_str()), 1);
  const auto got = ReadAll(m);
  ASSERT_EQ(got.size(), 236u);
  int with_data = 0;
  for (const Got &g : got) {
    EXPECT_EQ(g.rep.format, SFC_FMT_SA) << g.rep.data;
    EXPECT_EQ(g.rep.bulletin, SFC_ORIGIN_CANADA) << g.rep.id;
    if (std::string(g.rep.data).find(" NIL") == std::string::npos) ++with_data;
    // Tidied as bulletin lines are: no control bytes, no "=", one blank at the end.
    const std::string text = g.rep.data;
    EXPECT_EQ(text.find_first_of("\r\n\016\017="), std::string::npos) << text;
    EXPECT_EQ(text.back(), ' ');
  }
  EXPECT_EQ(with_data, 137);
  EXPECT_STREQ(got[0].rep.id, "WRN");
  // SO and SI around the tenths group and the "=" become blanks, as in a bulletin.
  EXPECT_STREQ(got[0].rep.data, "WRN SA 1445 AUTO4 M M M 151/12/05/3220/M/M 3023  11MM   ");
  // Records of packed reports (NIL ones and others): each report has its own
  // identifier, the first word of its text.
  size_t packed = 0;
  for (size_t i = 1; i < got.size(); ++i)
    if (got[i].record == got[i - 1].record) {
      ++packed;
      const std::string id = got[i].rep.id;
      EXPECT_EQ(std::string(got[i].rep.data).substr(0, id.size() + 1), id + " ");
    }
  EXPECT_GT(packed, 0u);
  EXPECT_GE(got[0].prhour, 1400);
  EXPECT_LE(got[0].prhour, 1600);
}

// Purpose: the reports decode to MADIS's own values. Every report with data whose
// record has MADIS values is compared: temperature and dew point (kelvin to whole
// degrees Fahrenheit), wind direction, speed (m/s to knots) and sea-level pressure
// (hectopascals). The file's own values are the reference; they agree within the
// rounding of the report's units.
TEST_F(MadisReader, DecodedValuesAgreeWithMadis) {
  const auto temp = Variable("temperature");
  const auto dewp = Variable("dewpoint");
  const auto wdir = Variable("windDir");
  const auto wspd = Variable("windSpeed");
  const auto slp = Variable("seaLevelPress");
  ASSERT_EQ(temp.size(), 178u);
  SFC_madis m;
  ASSERT_EQ(m.open(kMadisSao.c_str()), 1);
  int compared = 0, agreed = 0;
  std::vector<std::string> differences;
  size_t previous = SIZE_MAX;
  for (const Got &g : ReadAll(m)) {
    // Packed records carry the MADIS values of their first report only.
    const bool first_of_record = g.record != previous;
    previous = g.record;
    if (!first_of_record) continue;
    SFC_set_prhour(g.prhour);
    SFC_report r;
    SFC_initialize(&r);
    if (SFC_decode_SA(g.rep.data, g.rep.format, g.rep.bulletin, &r) < 0) continue;
    const size_t i = g.record;
    auto check = [&](const char *what, float ours, float madis, float tolerance) {
      if (std::isnan(madis) || ours == SFC_MISSING_F) return;
      ++compared;
      if (std::fabs(ours - madis) <= tolerance)
        ++agreed;
      else
        differences.push_back(std::string(g.rep.id) + " " + what + " " + std::to_string(ours) +
                              " against " + std::to_string(madis));
    };
    auto f_of_k = [](float k) { return (k - 273.15f) * 9.0f / 5.0f + 32.0f; };
    check("t", r.t, f_of_k(temp[i]), 0.1f);
    check("td", r.td, f_of_k(dewp[i]), 0.1f);
    check("dir", r.w_dir, wdir[i], 0.5f);
    check("spd", r.w_spd, wspd[i] / 0.5144f, 0.05f);
    check("pmb", r.pmb, slp[i], 0.05f);
  }
  std::printf("MADIS agreement: %d of %d values\n", agreed, compared);
  for (const std::string &d : differences) std::printf("  %s\n", d.c_str());
  EXPECT_GT(compared, 400);
  // Every value agrees: temperatures are whole degrees Celsius in both, winds whole
  // knots, pressures tenths of a hectopascal.
  EXPECT_EQ(agreed, compared);
}

// Purpose: files of another kind are no MADIS files; records that hold only blanks
// or NUL bytes give no report; several reports in one record come one by one.
TEST_F(MadisReader, OtherFilesAndOddRecords) {
  SFC_madis m;
  EXPECT_EQ(m.open("/nonexistent.nc"), 0);
  EXPECT_EQ(m.open(SOURCE_DIR "/share/20010600_sao.wmo"), 0);
  data_struct d;
  EXPECT_EQ(m.read(&d, nullptr), -1);

  {  // no raw text variable
    ScratchNc nc;
    nc.var("temperature", NC_FLOAT, {nc.dim("recNum", NC_UNLIMITED)});
    nc.done();
    EXPECT_EQ(m.open(nc.path.c_str()), 0);
  }
  {  // the raw text of the wrong type
    ScratchNc nc;
    const int rec = nc.dim("recNum", NC_UNLIMITED);
    const int len = nc.dim("maxLen", 20);
    nc.var("rawMETAR", NC_INT, {rec, len});
    nc.var("stationName", NC_CHAR, {rec, len});
    nc.var("reportType", NC_CHAR, {rec, len});
    nc.done();
    EXPECT_EQ(m.open(nc.path.c_str()), 0);
  }
  {  // a METAR file: blank and NUL records, a SPECI, a packed record
    ScratchNc nc;
    const int rec = nc.dim("recNum", NC_UNLIMITED);
    const int len = nc.dim("maxRawLen", 80);
    const int nlen = nc.dim("maxStaNamLen", 5);
    const int tlen = nc.dim("maxRepLen", 6);
    const int raw = nc.var("rawMETAR", NC_CHAR, {rec, len});
    const int name = nc.var("stationName", NC_CHAR, {rec, nlen});
    const int type = nc.var("reportType", NC_CHAR, {rec, tlen});
    nc_enddef(nc.ncid);
    nc.text(raw, 0, "KDEN 061753Z 27015KT 10SM CLR 12/M02 A3012=", 80);
    nc.text(name, 0, "KDEN", 5);
    nc.text(type, 0, "METAR", 6);
    nc.text(raw, 1, "", 80);
    nc.text(name, 1, "KBOU", 5);
    nc.text(type, 1, "METAR", 6);
    nc.text(raw, 2, std::string(80, '\0'), 80);
    nc.text(name, 2, "KAPA", 5);
    nc.text(type, 2, "METAR", 6);
    nc.text(raw, 3, "CYYZ 061800Z 1=", 80);
    nc.text(name, 3, "CYYZ", 5);
    nc.text(type, 3, "SPECI", 6);
    nc.text(raw, 4, "MMMX 061800Z NIL=\r\r\nEGLL 061800Z NIL=", 80);
    nc.text(name, 4, "MMMX", 5);
    nc.text(type, 4, "?", 6);
    nc.done();
    ASSERT_EQ(m.open(nc.path.c_str()), 1);
    const auto got = ReadAll(m);
    ASSERT_EQ(got.size(), 4u);
    EXPECT_STREQ(got[0].rep.id, "KDEN");
    EXPECT_STREQ(got[0].rep.data, "KDEN 061753Z 27015KT 10SM CLR 12/M02 A3012  ");
    EXPECT_EQ(got[0].rep.format, SFC_FMT_METAR);
    EXPECT_EQ(got[0].rep.bulletin, SFC_ORIGIN_US);
    EXPECT_EQ(got[0].prhour, -9999);
    EXPECT_EQ(got[1].rep.format, SFC_FMT_SPECI);
    EXPECT_EQ(got[1].rep.bulletin, SFC_ORIGIN_CANADA);
    // An unknown report type: the format from the report's own shape.
    EXPECT_STREQ(got[2].rep.id, "MMMX");
    EXPECT_EQ(got[2].rep.format, SFC_FMT_METAR);
    EXPECT_EQ(got[2].rep.bulletin, SFC_ORIGIN_MEXICO);
    EXPECT_STREQ(got[3].rep.id, "EGLL");
    EXPECT_EQ(got[3].rep.bulletin, SFC_ORIGIN_OTHER);
  }
}

// Purpose: a netCDF file in memory, cut short or whole.
TEST_F(MadisReader, InMemory) {
  std::ifstream in(kMadisSao, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(bytes.size(), 1000u);
  SFC_madis m;
  ASSERT_EQ(m.open_memory(bytes.data(), bytes.size()), 1);
  EXPECT_EQ(ReadAll(m).size(), 236u);
  // Cut in the middle of the records: the header still opens; the records that are
  // not there read as no report, or the file does not open.
  const std::string cut = bytes.substr(0, bytes.size() / 2);
  if (m.open_memory(cut.data(), cut.size()) == 1) {
    EXPECT_LE(ReadAll(m).size(), 236u);
  }
  EXPECT_EQ(m.open_memory(bytes.data(), 100), 0);
}

}  // namespace
