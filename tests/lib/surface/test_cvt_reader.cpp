// The converted-file reader: detection of every kind, opening, the header, record
// positioning, the two netCDF forms (made from CDL text by ncgen) and bad files.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "surface/cvt_netcdf.h"
#include "surface/cvt_reader.h"
#include "surface/cvt_reader_testing.h"
#include "surface/weather.h"

namespace {

constexpr float kMiss = SFC_MISSING_F;

class CvtReader : public ::testing::Test {
 protected:
  void SetUp() override {
    SFC_cvt_reset_state();
    char tmpl[] = "/tmp/cvt_reader.XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override {
    SFC_cvt_reset_state();
    std::filesystem::remove_all(dir_);
  }

  std::string Write(const std::string &name, const std::string &bytes) {
    const std::string path = dir_ + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  // A netCDF file made by ncgen from CDL text.
  std::string Cdf(const std::string &name, const std::string &cdl) {
    const std::string text = Write(name + ".cdl", cdl);
    const std::string path = dir_ + "/" + name + ".cdf";
    const std::string cmd = std::string(NCGEN) + " -o " + path + " " + text;
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cdl;
    return path;
  }

  std::string Read(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }

  // Opens `path` for reading with detection; the kind goes to *kind.
  int Open(const std::string &path, int *kind) {
    *kind = 0;
    return SFC_open(path.c_str(), SFC_CVT_READ, kind);
  }

  std::string dir_;
};

// Ten records R0 to R9 of the new form, with empty lines among them (no records).
std::string TenRecords() {
  std::string text = "ZYPSFC\n00Z  6 JAN 20\n";
  for (int k = 0; k < 10; ++k) {
    text += "R" + std::to_string(k) + " " + std::to_string(30 + k) +
            ".0 20.0 2715 2992 10132 10 -99C - $\n";
    if (k % 3 == 0) text += "\n   \r\n  $ no record before its end\n";
  }
  return text;
}

const char *kStationCdl = R"(netcdf st {
dimensions:
	station = 3 ;
	idata = 13 ;
	fdata = 15 ;
	string_len = 11 ;
	cld_len = 3 ;
variables:
	char id(station, string_len) ;
	char region(station, string_len) ;
	char wx(station, string_len) ;
	char cld(station, cld_len) ;
	int intdata(station, idata) ;
	float fltdata(station, fdata) ;
	:missing_val_f = -999.f ;
	:missing_val_i = -999 ;
	:missing_val_c = "/" ;
	:datetime = "12Z  6 JAN 20" ;
	%VERSION%
data:
 id = "  KDEN", "72565", "/" ;
 region = "ME", "SA", "/" ;
 wx = "RW-", "/", "" ;
 cld = "8-5", "///", "" ;
 intdata =
  2353, 0, 1640, 72565, 1, 12000, 22000, -999, -999, 70, 66, 32, 32,
  1200, 3, -999, -999, 2, -999, 500, 2500, 0, 67, 32, 79, 81,
  -999, -999, -999, -999, -999, -999, -999, -999, -999, -999, -999, -999, -999 ;
 fltdata =
  39.85, -104.65, 10, 1019, 35, 19, 160, 14, -999, 30.08, 0.25, 1.05, 44, 3, -1.5,
  -999, 104.65, -999, -999, -999, -999, -999, -999, 22, -999, -999, -999, -999, -999, -999,
  -999, -999, -999, -999, -999, -999, -999, -999, -999, -999, -999, -999, -999, -999, -999 ;
}
)";

std::string StationCdl(const char *version) {
  std::string cdl = kStationCdl;
  cdl.replace(cdl.find("%VERSION%"), 9, version);
  return cdl;
}

const char *kReportCdl = R"(netcdf rp {
dimensions:
	report = UNLIMITED ;
	id_len = 10 ;
	time_len = 10 ;
	layers = 4 ;
	remarks_len = 20 ;
	type_len = 3 ;
variables:
	char id(report, id_len) ;
	char time(report, time_len) ;
	float lat(report) ;
	float lon(report) ;
	float elev(report) ;
	float T(report) ;
		T:_FillValue = -9999.f ;
	float TD(report) ;
		TD:missing_value = -99.f ;
	double Tmax(report) ;
	float ALTIM(report) ;
	float SPD(report) ;
	short GUST(report) ;
	float VIS(report) ;
	byte WX(report) ;
	float ZCL(report, layers) ;
	char CC(report, layers) ;
	char Ptend(report) ;
	float delP(report) ;
	float PRECIP(report) ;
	float reftime_PRECIP(report) ;
	float SNOW(report) ;
	char cloudtype(report, type_len) ;
	char remarks(report, remarks_len) ;
	char PSL(report, type_len) ;
	float DIR(layers) ;
	:filetime = "00Z  6 JAN 20" ;
data:
 id = "KDEN", " CYHZ" ;
 time = "2353", "abc" ;
 lat = 39.85, _ ;
 lon = -104.65, _ ;
 elev = 1640, _ ;
 T = 0, _ ;
 TD = -10, -99 ;
 Tmax = 10, 1e300 ;
 ALTIM = 1013.25, _ ;
 SPD = 10, 0 ;
 GUST = 15, _ ;
 VIS = 16.0934, 1 ;
 WX = 61, _ ;
 ZCL = 1000, 2000, _, _, 300, _, 500, _ ;
 CC = "FB//", "X/O/" ;
 Ptend = "2 " ;
 delP = -1.5, _ ;
 PRECIP = 10, 5 ;
 reftime_PRECIP = 24, 6 ;
 SNOW = _, 25.4 ;
 cloudtype = "8/5", "///" ;
 remarks = "AO2 SLP190", "" ;
 PSL = "ab", "cd" ;
 DIR = 1, 2, 3, 4 ;
}
)";

// Purpose: the kind of a file comes from its first character and, for netCDF, its
// dimensions; anything else is no converted file.
TEST_F(CvtReader, DetectsEveryKind) {
  const std::string station = Cdf("st", StationCdl(":version = 1.1f ;"));
  const std::string report = Cdf("rp", kReportCdl);
  struct Case {
    std::string path;
    int kind;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {Write("a", "00Z  6 JAN 20\nKDEN 35.\n"), SFC_CVT_OLD},  // the hour of a date label
      {Write("b", " 6PM  6 JAN 20\n"), SFC_CVT_OLD},          // a blank before a one-digit hour
      {Write("c", "12Z\n"), SFC_CVT_OLD},
      {Write("d", "23Z\n"), SFC_CVT_OLD},
      {Write("e", "ZYPSFC\n00Z  6 JAN 20\n"), SFC_CVT_NEW},
      {station, SFC_CVT_CDF_STATION},
      {report, SFC_CVT_CDF_REPORT},
      {Write("f", "3Z\n"), -1},                   // no hour begins with 3
      {Write("g", "<zypsfc date=\"x\">\n"), -1},  // the tagged form is not read
      {Write("h", "CXYZ and more"), -1},          // 'C' without the netCDF signature
      {Write("i", std::string("CDF\x01", 4)), -1},  // the signature alone
      {Write("j", ""), -1},
      {Write("k", "\xef\xbb\xbf" "00Z"), -1},     // a byte order mark first
      {dir_ + "/missing", -1},
      {dir_, -1},                                 // a directory
  };
  // clang-format on
  for (const Case &c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(SFC_chktype(c.path.c_str()), c.kind);
    int kind = 0;
    const int fd = SFC_open(c.path.c_str(), SFC_CVT_READ, &kind);
    EXPECT_EQ(fd >= 0, c.kind > 0);
    EXPECT_EQ(kind, c.kind);
    SFC_close(fd);
  }
  EXPECT_EQ(SFC_chktype(nullptr), -1);
}

// Purpose: the header of each text form, and a kind given instead of detected.
TEST_F(CvtReader, TextHeaders) {
  int kind = 0;
  SFC_info info;
  int fd = Open(Write("old", "18Z 31 DEC 99\r\nKDEN   35. 19.\n"), &kind);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(kind, SFC_CVT_OLD);
  ASSERT_EQ(SFC_getinfo(fd, &info), 0);
  EXPECT_STREQ(info.datim, "18Z 31 DEC 99");  // the carriage return is gone
  EXPECT_EQ(info.num_stat, SFC_MISSING);
  EXPECT_EQ(info.date.hour, 18);
  EXPECT_EQ(info.date.day, 31);
  EXPECT_EQ(info.date.month, 12);
  EXPECT_STREQ(info.file, "old");
  SFC_report r;
  const int zero = 0;
  ASSERT_EQ(SFC_read(fd, &r, SFC_CVT_FULL, &zero), 0);  // the first record is line 2
  EXPECT_STREQ(r.id, "KDEN");
  EXPECT_EQ(r.td, 19);
  EXPECT_EQ(SFC_getinfo(fd + 1, &info), -1);  // not the open file
  EXPECT_EQ(SFC_close(fd), 0);
  EXPECT_EQ(SFC_close(fd), -1);  // closed already

  fd = Open(Write("new", "ZYPSFC\n00Z  6 JAN 20\nKDEN 35.1 19 1614 3008 10190 10 120F - @2353 $\n"),
            &kind);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(SFC_getinfo(fd, &info), 0);
  EXPECT_STREQ(info.datim, "00Z  6 JAN 20");  // line 2
  EXPECT_EQ(info.date.year, 2020);
  ASSERT_EQ(SFC_read(fd, &r, SFC_CVT_FULL, &zero), 0);  // line 3
  EXPECT_EQ(r.time, 2353);
  SFC_close(fd);

  // A kind given: an old-form file read as the new form reads its second line as
  // the label.
  kind = SFC_CVT_NEW_4;
  fd = SFC_open(
      Write("given", "00Z  6 JAN 20\n12Z  7 JAN 20\nKDEN 35 19 0 0 0 0 -99M - $\n").c_str(),
      SFC_CVT_READ, &kind);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(kind, SFC_CVT_NEW_4);
  ASSERT_EQ(SFC_getinfo(fd, &info), 0);
  EXPECT_STREQ(info.datim, "12Z  7 JAN 20");

  // An empty file: no label, no record.
  fd = Open(Write("label_only", "00Z  6 JAN 20"), &kind);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(SFC_read(fd, &r, SFC_CVT_FULL, &zero), -1);
}

// Purpose: reading forward, the same index again, backward, the last record (-1)
// and past the end, in a file whose empty lines are no records.
TEST_F(CvtReader, TextRecordPositioning) {
  int kind = 0;
  const int fd = Open(Write("ten", TenRecords()), &kind);
  ASSERT_GE(fd, 0);
  SFC_report r;
  auto id_at = [&](int index, int rep_type = SFC_CVT_FULL) -> std::string {
    if (SFC_read(fd, &r, rep_type, &index) != 0) return "end";
    return r.id;
  };
  // clang-format off
  const struct { int index; const char *id; } steps[] = {
      {0, "R0"}, {1, "R1"}, {5, "R5"},   // forward, skipping lines
      {5, "R5"}, {5, "R5"},              // the same again
      {2, "R2"},                         // backward: from the first record on
      {-1, "R2"},                        // the record read last
      {9, "R9"}, {10, "end"}, {100, "end"},
      {9, "R9"},                         // still there after the end was met
      {3, "R3"}, {0, "R0"}, {-2, "end"},
  };
  // clang-format on
  for (const auto &s : steps) {
    SCOPED_TRACE(s.index);
    EXPECT_EQ(id_at(s.index), s.id);
  }
  // The identifier first, then the whole record at the same index, as the driver
  // reads: each time the same record.
  for (int k = 0; k < 10; ++k) {
    ASSERT_EQ(id_at(k, SFC_CVT_ID), "R" + std::to_string(k));
    EXPECT_EQ(r.t, kMiss);
    ASSERT_EQ(id_at(k, SFC_CVT_FULL), "R" + std::to_string(k));
    EXPECT_EQ(r.t, 30 + k);
  }
  EXPECT_EQ(SFC_rewind(fd), 0);
  EXPECT_EQ(id_at(4), "R4");
  EXPECT_EQ(id_at(0, 7), "end");  // no such rep_type
  const int index = 0;
  EXPECT_EQ(SFC_read(fd, nullptr, SFC_CVT_FULL, &index), -1);
  EXPECT_EQ(SFC_read(fd, &r, SFC_CVT_FULL, nullptr), -1);
  SFC_close(fd);
  EXPECT_EQ(SFC_read(fd, &r, SFC_CVT_FULL, &index), -1);  // nothing open
}

// Purpose: a stream that cannot seek (a command's output) reads forward, reads the
// same record again from memory, and goes back by running the command again.
TEST_F(CvtReader, PipeInput) {
  const std::string path = Write("ten", TenRecords());
  int kind = 0;
  const int fd = SFC_open(("|cat " + path).c_str(), SFC_CVT_READ, &kind);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(kind, SFC_CVT_NEW);
  SFC_report r;
  for (int k : {0, 0, 1, 7, 7, 2, 9}) {
    SCOPED_TRACE(k);
    ASSERT_EQ(SFC_read(fd, &r, SFC_CVT_FULL, &k), 0);
    EXPECT_EQ(std::string(r.id), "R" + std::to_string(k));
  }
  EXPECT_EQ(SFC_rewind(fd), 0);
  const int two = 2;
  ASSERT_EQ(SFC_read(fd, &r, SFC_CVT_FULL, &two), 0);
  EXPECT_STREQ(r.id, "R2");
  SFC_close(fd);
}

// Purpose: every field of the station form, its file missing values, the missing
// character, the version and the extreme temperature by the file's hour.
TEST_F(CvtReader, StationForm) {
  int kind = 0;
  const int fd = Open(Cdf("st", StationCdl(":version = 1.1f ;")), &kind);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(kind, SFC_CVT_CDF_STATION);
  SFC_info info;
  ASSERT_EQ(SFC_getinfo(fd, &info), 0);
  EXPECT_EQ(info.num_stat, 3);
  EXPECT_STREQ(info.datim, "12Z  6 JAN 20");
  EXPECT_EQ(info.date.hour, 12);

  SFC_report r;
  int index = 0;
  ASSERT_EQ(SFC_read(fd, &r, SFC_CVT_FULL, &index), 0);
  EXPECT_STREQ(r.id, "KDEN");  // leading blanks skipped
  EXPECT_STREQ(r.area, "ME");
  EXPECT_EQ(r.time, 2353);
  EXPECT_EQ(r.prior, 0);
  EXPECT_EQ(r.elev, 1640);
  EXPECT_EQ(r.wmo, 72565);
  EXPECT_EQ(r.type, 1);
  ASSERT_EQ(r.num_cld, 2);
  EXPECT_EQ(r.cld_cover[0], 'F');
  EXPECT_EQ(r.cld_cover[1], 'B');
  EXPECT_EQ(r.cld_height[1], 22000);
  EXPECT_FLOAT_EQ(r.lat, 39.85f);
  EXPECT_FLOAT_EQ(r.lon, -104.65f);
  EXPECT_EQ(r.vis, 10);
  EXPECT_EQ(r.pmb, 1019);
  EXPECT_EQ(r.t, 35);
  EXPECT_EQ(r.td, 19);
  EXPECT_EQ(r.w_dir, 160);
  EXPECT_EQ(r.w_spd, 14);
  EXPECT_EQ(r.w_gust, kMiss);  // the file's missing value
  EXPECT_FLOAT_EQ(r.alt, 30.08f);
  EXPECT_FLOAT_EQ(r.rain6, 0.25f);
  EXPECT_FLOAT_EQ(r.rain24, 1.05f);
  EXPECT_EQ(r.min_t, 44);  // 12Z: the extreme is a minimum
  EXPECT_EQ(r.max_t, kMiss);
  EXPECT_EQ(r.scover, 3);
  EXPECT_FLOAT_EQ(r.ptend, -1.5f);
  EXPECT_STREQ(r.weather, "RW-");
  EXPECT_EQ(std::string(r.cld_type, 3), "8-5");

  index = 1;
  ASSERT_EQ(SFC_read(fd, &r, SFC_CVT_FULL, &index), 0);
  EXPECT_STREQ(r.id, "72565");
  EXPECT_EQ(r.elev, kMiss);
  EXPECT_EQ(r.wmo, SFC_MISSING);
  // Layers: a missing height with cover 'C', then a blank cover (no layer), then
  // 'O' and an invalid 'Q' (no layer).
  ASSERT_EQ(r.num_cld, 2);
  EXPECT_EQ(r.cld_cover[0], 'C');
  EXPECT_EQ(r.cld_height[0], kMiss);
  EXPECT_EQ(r.cld_cover[1], 'O');
  EXPECT_EQ(r.cld_height[1], 2500);
  EXPECT_FLOAT_EQ(r.lon, 104.65f);  // a version: east positive as written
  EXPECT_EQ(r.w_gust, 22);
  EXPECT_STREQ(r.weather, " ");  // the missing character
  EXPECT_EQ(std::string(r.cld_type, 3), "   ");

  index = 2;
  ASSERT_EQ(SFC_read(fd, &r, SFC_CVT_FULL, &index), 0);
  EXPECT_STREQ(r.id, "");  // all missing
  EXPECT_EQ(r.type, 0);
  EXPECT_EQ(r.num_cld, 0);

  index = -1;  // the record read last
  ASSERT_EQ(SFC_read(fd, &r, SFC_CVT_ID, &index), 0);
  EXPECT_STREQ(r.id, "");
  index = 3;
  EXPECT_EQ(SFC_read(fd, &r, SFC_CVT_FULL, &index), -1);
  index = 0;
  ASSERT_EQ(SFC_read(fd, &r, SFC_CVT_LOCATION, &index), 0);
  EXPECT_FLOAT_EQ(r.lat, 39.85f);
  EXPECT_EQ(r.elev, 1640);
  EXPECT_EQ(r.wmo, 72565);
  EXPECT_EQ(r.t, kMiss);
  EXPECT_EQ(r.time, SFC_MISSING);
  EXPECT_EQ(SFC_rewind(fd), 0);
  SFC_close(fd);

  // Without a version, longitudes are west positive.
  const int fd2 = Open(Cdf("st0", StationCdl("")), &kind);
  ASSERT_GE(fd2, 0);
  index = 0;
  ASSERT_EQ(SFC_read(fd2, &r, SFC_CVT_FULL, &index), 0);
  EXPECT_FLOAT_EQ(r.lon, 104.65f);
  index = 1;
  ASSERT_EQ(SFC_read(fd2, &r, SFC_CVT_FULL, &index), 0);
  EXPECT_FLOAT_EQ(r.lon, -104.65f);
}

// Purpose: the report form's unit conversions, fill and missing values, a file
// without "region", variables of the wrong type or shape and types other than float.
TEST_F(CvtReader, ReportForm) {
  int kind = 0;
  const int fd = Open(Cdf("rp", kReportCdl), &kind);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(kind, SFC_CVT_CDF_REPORT);
  SFC_info info;
  ASSERT_EQ(SFC_getinfo(fd, &info), 0);
  EXPECT_EQ(info.num_stat, 2);
  EXPECT_STREQ(info.datim, "00Z  6 JAN 20");

  SFC_report r;
  int index = 0;
  ASSERT_EQ(SFC_read(fd, &r, SFC_CVT_FULL, &index), 0);
  EXPECT_STREQ(r.id, "KDEN");
  EXPECT_STREQ(r.area, "UN");  // no "region" in the file
  EXPECT_EQ(r.time, 2353);
  EXPECT_FLOAT_EQ(r.lat, 39.85f);
  EXPECT_EQ(r.elev, 1640);
  EXPECT_FLOAT_EQ(r.t, 32.0f);  // Celsius to Fahrenheit
  EXPECT_FLOAT_EQ(r.td, 14.0f);
  EXPECT_FLOAT_EQ(r.max_t, 50.0f);       // a double variable
  EXPECT_NEAR(r.alt, 29.93f, 0.001);     // hectopascals to inches
  EXPECT_NEAR(r.w_spd, 19.44f, 0.001);   // metres per second to knots
  EXPECT_NEAR(r.w_gust, 29.16f, 0.001);  // a short variable
  EXPECT_NEAR(r.vis, 10.0f, 0.001);      // kilometres to miles
  char rain[WX_CODE_SIZE];
  WX_wmo_weather(61, rain);
  EXPECT_STREQ(r.weather, rain);
  ASSERT_EQ(r.num_cld, 2);  // '/' ends the layers
  EXPECT_NEAR(r.cld_height[0], 3280.8f, 0.01);
  EXPECT_EQ(r.cld_cover[1], 'B');
  EXPECT_EQ(r.ptend_t, 2);
  EXPECT_FLOAT_EQ(r.ptend, -1.5f);
  EXPECT_NEAR(r.rain24, 0.3937f, 1e-4);  // a 24-hour reference time
  EXPECT_EQ(r.rain6, kMiss);
  EXPECT_EQ(r.scover, kMiss);
  EXPECT_EQ(std::string(r.cld_type, 3), "8 5");  // '/' is blank
  EXPECT_STREQ(r.comment, "AO2 SLP190 ");
  EXPECT_EQ(r.pmb, kMiss);    // a character variable where a number belongs
  EXPECT_EQ(r.w_dir, kMiss);  // not along the record dimension

  index = 1;
  ASSERT_EQ(SFC_read(fd, &r, SFC_CVT_FULL, &index), 0);
  EXPECT_STREQ(r.id, "CYHZ");
  EXPECT_EQ(r.time, SFC_MISSING);  // "abc" is no time
  EXPECT_EQ(r.lat, kMiss);
  EXPECT_EQ(r.t, kMiss);      // _FillValue
  EXPECT_EQ(r.td, kMiss);     // missing_value
  EXPECT_EQ(r.max_t, kMiss);  // beyond the float range
  EXPECT_EQ(r.w_spd, 0);
  EXPECT_EQ(r.w_gust, kMiss);  // the default fill of a short
  EXPECT_STREQ(r.weather, " ");
  ASSERT_EQ(r.num_cld, 1);
  EXPECT_EQ(r.cld_cover[0], 'X');
  EXPECT_EQ(r.ptend_t, SFC_MISSING);  // a blank
  EXPECT_NEAR(r.rain6, 0.19685f, 1e-4);
  EXPECT_NEAR(r.scover, 1.0f, 1e-4);
  EXPECT_EQ(std::string(r.cld_type, 3), "   ");
  EXPECT_STREQ(r.comment, "");

  index = 2;
  EXPECT_EQ(SFC_read(fd, &r, SFC_CVT_FULL, &index), -1);
  index = -1;
  ASSERT_EQ(SFC_read(fd, &r, SFC_CVT_ID, &index), 0);
  EXPECT_STREQ(r.id, "CYHZ");
  EXPECT_EQ(r.t, kMiss);
}

// Purpose: netCDF files that are cut short, hold nothing, or lie about their size.
TEST_F(CvtReader, BadNetcdfFiles) {
  const std::string good = Read(Cdf("st", StationCdl(":version = 1.1f ;")));
  int kind = 0;
  // Cut inside the header: no file.
  SFC_report r;
  int index = 0;
  EXPECT_EQ(Open(Write("cut_header", good.substr(0, 100)), &kind), -1);
  EXPECT_EQ(kind, -1);
  // Cut inside the data: the records the file holds, then a read error, never the
  // zeros of a file that is not there.
  const int fd = Open(Write("cut_data", good.substr(0, good.size() - 100)), &kind);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(SFC_read(fd, &r, SFC_CVT_FULL, &index), 0);
  EXPECT_EQ(r.t, 35);
  index = 2;
  EXPECT_EQ(SFC_read(fd, &r, SFC_CVT_FULL, &index), -1);
  EXPECT_STREQ(r.id, "");
  SFC_close(fd);

  // A million stations and no variable: nothing to read, at once.
  const int empty =
      Open(Cdf("empty", "netcdf e {\ndimensions:\n\tstation = 1000000 ;\n}\n"), &kind);
  ASSERT_GE(empty, 0);
  EXPECT_EQ(kind, SFC_CVT_CDF_STATION);
  SFC_info info;
  ASSERT_EQ(SFC_getinfo(empty, &info), 0);
  EXPECT_EQ(info.num_stat, 1000000);
  EXPECT_STREQ(info.datim, "");
  index = 0;
  EXPECT_EQ(SFC_read(empty, &r, SFC_CVT_FULL, &index), -1);
  SFC_close(empty);

  // A tiny file whose data ends right after its header.
  const int tiny = Open(Cdf("tiny",
                            "netcdf t {\ndimensions:\n\tstation = 1 ;\n\tx = 1 ;\nvariables:\n"
                            "\tchar id(station, x) ;\ndata:\n id = \"A\" ;\n}\n"),
                        &kind);
  ASSERT_GE(tiny, 0);
  ASSERT_EQ(SFC_read(tiny, &r, SFC_CVT_FULL, &index), 0);
  EXPECT_STREQ(r.id, "A");
  SFC_close(tiny);

  // A report form without a record dimension: no records.
  const int none = Open(
      Cdf("none", "netcdf n {\ndimensions:\n\tx = 2 ;\nvariables:\n\tfloat T(x) ;\n}\n"), &kind);
  ASSERT_GE(none, 0);
  EXPECT_EQ(kind, SFC_CVT_CDF_REPORT);
  ASSERT_EQ(SFC_getinfo(none, &info), 0);
  EXPECT_EQ(info.num_stat, 0);
  EXPECT_EQ(SFC_read(none, &r, SFC_CVT_FULL, &index), -1);
  SFC_close(none);

  // Attributes of the wrong kind or size are no missing values or labels.
  const int odd = Open(Cdf("odd", R"(netcdf o {
dimensions:
	station = 1 ;
	idata = 13 ;
	fdata = 2 ;
variables:
	char id(station, idata) ;
	float fltdata(station, fdata) ;
	:missing_val_f = 1.f, 2.f ;
	:missing_val_i = "x" ;
	:datetime = 5 ;
data:
 id = "ABCDEFGHIJKLM" ;
 fltdata = 1, 2 ;
}
)"),
                       &kind);
  ASSERT_GE(odd, 0);
  ASSERT_EQ(SFC_getinfo(odd, &info), 0);
  EXPECT_STREQ(info.datim, "");
  ASSERT_EQ(SFC_read(odd, &r, SFC_CVT_FULL, &index), 0);
  EXPECT_STREQ(r.id, "ABCDEFGHIJ");  // ten characters at most
  EXPECT_EQ(r.lat, 1);               // not taken as missing
  EXPECT_EQ(r.lon, -2);              // no version
  EXPECT_EQ(r.vis, kMiss);           // beyond the array
}

// Purpose: writing and appending: the files are made and the tagged kind gets its
// closing line; nothing is read from a file open for writing.
TEST_F(CvtReader, WriteAndAppend) {
  int kind = 0;
  EXPECT_EQ(SFC_open((dir_ + "/w").c_str(), SFC_CVT_WRITE, &kind), -1);  // no kind to write
  EXPECT_EQ(kind, -1);

  kind = SFC_CVT_TAGGED;
  int fd = SFC_open((dir_ + "/tagged").c_str(), SFC_CVT_WRITE, &kind);
  ASSERT_GE(fd, 0);
  SFC_info info;
  EXPECT_EQ(SFC_getinfo(fd, &info), 1);
  SFC_report r;
  const int zero = 0;
  EXPECT_EQ(SFC_read(fd, &r, SFC_CVT_FULL, &zero), -1);
  EXPECT_EQ(SFC_close(fd), 0);
  EXPECT_EQ(Read(dir_ + "/tagged"), std::string(SFC_CVT_TAG_END) + "\n");

  kind = SFC_CVT_NEW;
  fd = SFC_open((dir_ + "/sub/new.sfc").c_str(), SFC_CVT_WRITE, &kind);  // the directory is made
  ASSERT_GE(fd, 0);
  EXPECT_EQ(SFC_getinfo(fd, &info), 1);
  EXPECT_EQ(SFC_close(fd), 0);
  EXPECT_TRUE(std::filesystem::exists(dir_ + "/sub/new.sfc"));

  const std::string old = Write("old", "00Z  6 JAN 20\n");
  kind = 0;
  fd = SFC_open(old.c_str(), SFC_CVT_APPEND, &kind);  // appending detects the kind
  ASSERT_GE(fd, 0);
  EXPECT_EQ(kind, SFC_CVT_OLD);
  SFC_close(fd);
  kind = 0;
  EXPECT_EQ(SFC_open(Write("junk", "junk").c_str(), SFC_CVT_APPEND, &kind), -1);
  kind = SFC_CVT_TAGGED;
  EXPECT_EQ(SFC_open(old.c_str(), SFC_CVT_APPEND, &kind),
            -1);  // appending only to kinds 1 to 4, 11, 12

  kind = SFC_CVT_CDF_REPORT;
  fd = SFC_open((dir_ + "/made.cdf").c_str(), SFC_CVT_WRITE, &kind);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(SFC_close(fd), 0);
  EXPECT_EQ(SFC_chktype((dir_ + "/made.cdf").c_str()), SFC_CVT_CDF_REPORT);
  kind = 0;
  fd = SFC_open((dir_ + "/made.cdf").c_str(), SFC_CVT_APPEND, &kind);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(kind, SFC_CVT_CDF_REPORT);
  EXPECT_EQ(SFC_close(fd), 0);

  kind = 7;  // no such kind
  EXPECT_EQ(SFC_open(old.c_str(), SFC_CVT_READ, &kind), -1);
  kind = 0;
  EXPECT_EQ(SFC_open(old.c_str(), 3, &kind), -1);  // no such access
  EXPECT_EQ(SFC_open(old.c_str(), SFC_CVT_READ, nullptr), -1);
}

// Purpose: the small samples of each form, made from the same real reports, read
// back alike where the forms hold the same values.
TEST_F(CvtReader, SamplesOfEveryForm) {
  const std::string data = SOURCE_DIR "/tests/data/cvt/";
  std::vector<std::vector<SFC_report>> forms;
  for (const std::string &path : {data + "sample_old.sfc", data + "sample_new.sfc",
                                  Cdf("station", Read(data + "sample_station.cdl")),
                                  Cdf("report", Read(data + "sample_report.cdl"))}) {
    SCOPED_TRACE(path);
    int kind = 0;
    const int fd = Open(path, &kind);
    ASSERT_GE(fd, 0);
    SFC_info info;
    ASSERT_EQ(SFC_getinfo(fd, &info), 0);
    EXPECT_STREQ(info.datim, "00Z  6 JAN 20");
    forms.emplace_back();
    SFC_report r;
    for (int k = 0; SFC_read(fd, &r, SFC_CVT_FULL, &k) == 0; ++k) forms.back().push_back(r);
    SFC_close(fd);
  }
  ASSERT_EQ(forms.size(), 4u);
  ASSERT_GT(forms[0].size(), 50u);
  for (std::size_t f = 1; f < forms.size(); ++f) {
    ASSERT_EQ(forms[f].size(), forms[0].size());
    for (std::size_t k = 0; k < forms[0].size(); ++k) {
      SCOPED_TRACE(forms[0][k].id);
      EXPECT_STREQ(forms[f][k].id, forms[0][k].id);
      // Whole degrees in the old form; the others hold tenths or more.
      if (forms[0][k].t != kMiss) {
        EXPECT_NEAR(forms[f][k].t, forms[0][k].t, 0.51);
      }
      if (forms[0][k].w_spd != kMiss) {
        EXPECT_NEAR(forms[f][k].w_spd, forms[0][k].w_spd, 0.01);
      }
      if (forms[0][k].alt != kMiss) {
        EXPECT_NEAR(forms[f][k].alt, forms[0][k].alt, 0.006);
      }
      if (forms[0][k].pmb != kMiss) {
        EXPECT_NEAR(forms[f][k].pmb, forms[0][k].pmb, 0.06);
      }
    }
  }
  // The netCDF forms carry the stations' positions and elevations.
  EXPECT_EQ(forms[0][0].lat, kMiss);
  EXPECT_NE(forms[2][0].lat, kMiss);
  EXPECT_NE(forms[3][0].elev, kMiss);
}

// A classic header written byte by byte (big-endian words).
struct Header {
  std::string bytes;
  bool wide = false;
  Header &Word(std::uint64_t v, int n = 4) {
    for (int k = n - 1; k >= 0; --k) bytes += static_cast<char>((v >> (8 * k)) & 0xFF);
    return *this;
  }
  Header &Count(std::uint64_t v) { return Word(v, wide ? 8 : 4); }
  Header &Name(const std::string &name) {
    Count(name.size());
    bytes += name;
    bytes.append((4 - name.size() % 4) % 4, '\0');
    return *this;
  }
  bool Fits() const {
    return sfc_cvt::CdfHeaderFits(reinterpret_cast<const unsigned char *>(bytes.data()),
                                  bytes.size());
  }
};

// A header of one dimension, one global text attribute and one variable, in format
// version 1, 2 or 5, with the counts of the table below changed.
Header MakeHeader(int version, std::uint64_t name_len, std::uint64_t ndims, std::uint64_t att_len,
                  std::uint64_t dims = 1, std::uint32_t att_type = 2) {
  Header h;
  h.wide = version == 5;
  h.bytes = std::string("CDF") + static_cast<char>(version);
  h.Count(0);                                         // numrecs
  h.Word(0x0A).Count(dims).Name("station").Count(3);  // dimensions
  h.Word(0x0C).Count(1).Name("datetime").Word(att_type).Count(att_len);
  h.bytes.append((att_len + 3) / 4 * 4 > 64 ? 64 : (att_len + 3) / 4 * 4, 'x');
  h.Word(0x0B).Count(1);  // variables
  h.Count(name_len);
  h.bytes.append(name_len > 64 ? 64 : (name_len + 3) / 4 * 4, 'v');
  h.Count(ndims);
  for (std::uint64_t k = 0; k < ndims && k < 4; ++k) h.Count(0);
  h.Word(0).Count(0);                                  // no attributes
  h.Word(2).Count(4).Word(200, version == 1 ? 4 : 8);  // type, size, begin
  return h;
}

// Purpose: the header check keeps damaged counts (found by fuzzing: a name of 4 GB,
// a variable of a billion dimensions) from reaching the library, and passes every
// header that fits, in each format version.
TEST(CvtHeader, CountsMustFitTheFile) {
  // clang-format off
  const struct {
    int version;
    std::uint64_t name_len, ndims, att_len, dims;
    std::uint32_t att_type;
    bool fits;
  } cases[] = {
      {1, 2, 1, 13, 1, 2, true},               // a plain header
      {2, 2, 1, 13, 1, 2, true},               // 64-bit offsets: 8-byte begin
      {5, 2, 1, 13, 1, 2, true},               // 64-bit data: 8-byte counts
      {1, 0xFFFFFF00u, 1, 13, 1, 2, false},    // a name of 4 GB
      {1, 300, 1, 13, 1, 2, false},            // longer than NC_MAX_NAME
      {1, 2, 0x40000002u, 13, 1, 2, false},    // a billion dimensions
      {1, 2, 1025, 13, 1, 2, false},           // more than NC_MAX_VAR_DIMS
      {1, 2, 1, 0x7FFFFFFFu, 1, 2, false},     // an attribute of 2 GB
      {1, 2, 1, 13, 1, 6, false},              // 13 doubles are not there
      {1, 2, 1, 13, 1, 0, false},              // no type 0
      {1, 2, 1, 13, 1, 7, false},              // unsigned bytes only in version 5
      {5, 2, 1, 13, 1, 7, true},
      {1, 2, 1, 13, 0x10000000u, 2, false},    // 268 million dimensions
  };
  // clang-format on
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.version << " " << c.name_len << " " << c.ndims << " " << c.att_len);
    EXPECT_EQ(MakeHeader(c.version, c.name_len, c.ndims, c.att_len, c.dims, c.att_type).Fits(),
              c.fits);
  }
  const Header good = MakeHeader(1, 2, 1, 13);
  for (std::size_t n = 0; n < good.bytes.size(); ++n) {  // every cut is short
    Header cut = good;
    cut.bytes.resize(n);
    EXPECT_FALSE(cut.Fits()) << n;
  }
  Header wrong_tag = good;
  wrong_tag.bytes[11] = 0x0B;  // the dimension list's tag
  EXPECT_FALSE(wrong_tag.Fits());
  // The record dimension (length 0) as a variable's first dimension, as its second,
  // a dimension the file does not have, and a variable of a string type (found by
  // fuzzing: the library divided by 0). The one
  // dimension's length is at byte 28; the variable's last dimension number is 24
  // bytes from the end, its type 12.
  Header record_first = MakeHeader(1, 2, 1, 13);
  record_first.bytes.replace(28, 4, std::string(4, '\0'));
  EXPECT_TRUE(record_first.Fits());
  Header record_second = MakeHeader(1, 2, 2, 13);
  EXPECT_TRUE(record_second.Fits());
  record_second.bytes.replace(28, 4, std::string(4, '\0'));
  EXPECT_FALSE(record_second.Fits());
  Header string_var = MakeHeader(1, 2, 1, 13);  // the variable's type: a string
  string_var.bytes.replace(string_var.bytes.size() - 12, 4, std::string("\0\0\0\x0c", 4));
  EXPECT_FALSE(string_var.Fits());
  Header no_dim = MakeHeader(1, 2, 1, 13);
  no_dim.bytes.replace(no_dim.bytes.size() - 24, 4, std::string("\0\0\0\5", 4));
  EXPECT_FALSE(no_dim.Fits());

  Header absent;
  absent.bytes = std::string("CDF\x01", 4) + std::string(28, '\0');  // no lists at all
  EXPECT_TRUE(absent.Fits());
  absent.bytes[3] = 3;  // no such version
  EXPECT_FALSE(absent.Fits());
  EXPECT_FALSE(sfc_cvt::CdfHeaderFits(nullptr, 0));
}

}  // namespace
