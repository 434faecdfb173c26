// The station file: columns and their limits, opening and searching.
#include <string>

#include "station_fixture.h"

namespace {

using StationFile = StationFiles;

struct LineCase {
  const char *line;
  int columns;       // what CTY_read returns
  const char *name;  // then the fields, where the columns reach them
  const char *id;
  int prior;
  char mos, ua;
  float lat, el;
  int wmo, num;
};

TEST_F(StationFile, ColumnsAndTheirLimits) {
  const LineCase cases[] = {
      {"DENVER_(DIA) CO US KDEN 0 39.8500 -104.6500 1640 72565 0", 10, "DENVER_(DIA)", "KDEN", 0,
       ' ', ' ', 39.85f, 1640, 72565, 0},
      // The priority column and its flags.
      {"A CO US K1 3 1 2 3 99999 7", 10, "A", "K1", 3, ' ', ' ', 1, 3, 99999, 7},
      {"A CO US K1 *3 1 2 3 99999 7", 10, "A", "K1", 3, '*', ' ', 1, 3, 99999, 7},
      {"A CO US K1 3* 1 2 3 99999 7", 10, "A", "K1", 3, ' ', '*', 1, 3, 99999, 7},
      {"A CO US K1 *3* 1 2 3 99999 7", 10, "A", "K1", 3, '*', '*', 1, 3, 99999, 7},
      {"A CO US K1 **3** 1 2 3 99999 7", 4, "A", "K1", -9999, '*', ' ', -9999, -9999, 99999, 0},
      {"A CO US K1 x 1 2 3 99999 7", 4, "A", "K1", -9999, ' ', ' ', -9999, -9999, 99999, 0},
      {"A CO US K1 33 1 2 3 99999 7", 4, "A", "K1", 3, ' ', ' ', -9999, -9999, 99999, 0},
      // Elevations: above 9000 missing.
      {"A CO US K1 3 1 2 9999 1 0", 10, "A", "K1", 3, ' ', ' ', 1, -9999, 1, 0},
      {"A CO US K1 3 1 2 9000 1 0", 10, "A", "K1", 3, ' ', ' ', 1, 9000, 1, 0},
      {"A CO US K1 3 1 2 -9999 1 0", 10, "A", "K1", 3, ' ', ' ', 1, -9999, 1, 0},
      // Fewer columns: the tenth may be missing; earlier ones leave the rest unread.
      {"A CO US K1 3 1 2 3 72565", 9, "A", "K1", 3, ' ', ' ', 1, 3, 72565, 0},
      {"A CO US K1 3 1 2", 7, "A", "K1", 3, ' ', ' ', 1, -9999, 99999, 0},
      {"ONLYNAME", 1, "ONLYNAME", "", -9999, ' ', ' ', -9999, -9999, 99999, 0},
      // Too long, not a number, out of range.
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZ CO US K1 3 1 2 3 1 0", 10, "ABCDEFGHIJKLMNOPQRST", "K1", 3, ' ',
       ' ', 1, 3, 1, 0},
      {"A COL US K1 3 1 2 3 1 0", 1, "A", "", -9999, ' ', ' ', -9999, -9999, 99999, 0},
      {"A CO USA K1 3 1 2 3 1 0", 2, "A", "", -9999, ' ', ' ', -9999, -9999, 99999, 0},
      {"A CO US K123456789 3 1 2 3 1 0", 3, "A", "", -9999, ' ', ' ', -9999, -9999, 99999, 0},
      {"A CO US K12345678 3 1 2 3 1 0", 10, "A", "K12345678", 3, ' ', ' ', 1, 3, 1, 0},
      {"A CO US K1 3 999 2 3 1 0", 5, "A", "K1", 3, ' ', ' ', -9999, -9999, 99999, 0},
      {"A CO US K1 3 -90 2 3 1 0", 10, "A", "K1", 3, ' ', ' ', -90, 3, 1, 0},
      {"A CO US K1 3 39.5x 2 3 1 0", 5, "A", "K1", 3, ' ', ' ', -9999, -9999, 99999, 0},
      {"A CO US K1 3 nan 2 3 1 0", 5, "A", "K1", 3, ' ', ' ', -9999, -9999, 99999, 0},
      {"A CO US K1 3 1 400 3 1 0", 6, "A", "K1", 3, ' ', ' ', 1, -9999, 99999, 0},
      {"A CO US K1 3 1 2 3 100000 0", 8, "A", "K1", 3, ' ', ' ', 1, 3, 99999, 0},
      {"A CO US K1 3 1 2 3 -1 0", 8, "A", "K1", 3, ' ', ' ', 1, 3, 99999, 0},
      {"A CO US K1 3 1 2 3 00042 x", 9, "A", "K1", 3, ' ', ' ', 1, 3, 42, 0},
      {"A CO US K1 3 1 2 3 1 99999999999", 9, "A", "K1", 3, ' ', ' ', 1, 3, 1, 0},
      // Beyond any number: refused like any other bad column.
      {"A CO US K1 3 1e400 2 3 1 0", 5, "A", "K1", 3, ' ', ' ', -9999, -9999, 99999, 0},
      {"A CO US K1 3 1 2 1e-400 1 0", 7, "A", "K1", 3, ' ', ' ', 1, -9999, 99999, 0},
      {"A CO US K1 3 1 2 3 99999999999999999999 0", 8, "A", "K1", 3, ' ', ' ', 1, 3, 99999, 0},
      {"A CO US K1 3 1 2 3 1 -99999999999999999999", 9, "A", "K1", 3, ' ', ' ', 1, 3, 1, 0},
      {"A CO US K1 3 0x10 2 3 1 0", 5, "A", "K1", 3, ' ', ' ', -9999, -9999, 99999, 0},
      // White space of any kind; columns after the tenth are ignored.
      {"\tA\tCO  US K1 3 1 2 3 1 0 extra more\r", 10, "A", "K1", 3, ' ', ' ', 1, 3, 1, 0},
  };
  for (const LineCase &c : cases) {
    const std::string path = Write("one.cty", std::string(c.line) + "\n");
    const int fd = CTY_open(path.c_str(), 0, 0);
    ASSERT_GE(fd, 0);
    CTY_data d;
    EXPECT_EQ(CTY_read(fd, &d), c.columns) << c.line;
    EXPECT_STREQ(d.name, c.name) << c.line;
    EXPECT_STREQ(d.id, c.id) << c.line;
    EXPECT_EQ(d.prior, c.prior) << c.line;
    EXPECT_EQ(d.mos, c.mos) << c.line;
    EXPECT_EQ(d.ua, c.ua) << c.line;
    EXPECT_FLOAT_EQ(d.lat, c.lat) << c.line;
    EXPECT_FLOAT_EQ(d.el, c.el) << c.line;
    EXPECT_EQ(d.wmo, c.wmo) << c.line;
    EXPECT_EQ(d.num, c.num) << c.line;
    EXPECT_EQ(CTY_read(fd, &d), -1) << c.line;
    EXPECT_EQ(CTY_close(fd), 0);
  }
}

TEST_F(StationFile, LinesOneByOne) {
  // Empty lines are passed over, a long line is cut without spilling into the next,
  // CR LF ends are blanks, a missing last newline still gives the line.
  const std::string longline = "LONG CO US K2 1 1 1 1 1 1 " + std::string(1000, 'z');
  const std::string path = Write(
      "lines.cty", "\n  \nA CO US K1 1 1 1 1 1 1\r\n" + longline + "\n\nB CO US K3 1 1 1 1 1 1");
  const int fd = CTY_open(path.c_str(), 0, 0);
  CTY_data d;
  EXPECT_EQ(CTY_read(fd, &d), 10);
  EXPECT_STREQ(d.id, "K1");
  EXPECT_EQ(CTY_line_number(), 3);
  EXPECT_EQ(CTY_read(fd, &d), 10);
  EXPECT_STREQ(d.id, "K2");
  EXPECT_EQ(CTY_read(fd, &d), 10);
  EXPECT_STREQ(d.id, "K3");
  EXPECT_EQ(CTY_line_number(), 6);
  EXPECT_EQ(CTY_read(fd, &d), -1);
  EXPECT_EQ(CTY_rewind(fd), 0);
  EXPECT_EQ(CTY_read(fd, &d), 10);
  EXPECT_STREQ(d.id, "K1");
  EXPECT_EQ(CTY_close(fd), 0);
  EXPECT_EQ(CTY_close(fd), -1);
  EXPECT_EQ(CTY_rewind(fd), -1);
  EXPECT_EQ(CTY_read(fd, &d), -1);
}

TEST_F(StationFile, OpenChecksAccess) {
  const std::string path = Write("a.cty", "A CO US K1 1 1 1 1 1 1\n");
  EXPECT_EQ(CTY_open(path.c_str(), 2, 0), -1);
  EXPECT_EQ(CTY_open((dir_ + "/missing.cty").c_str(), 0, 0), -1);
  EXPECT_EQ(CTY_open(dir_.c_str(), 0, 0), -1);  // a directory
  EXPECT_GE(CTY_open(path.c_str(), 0, 0), 0);
}

TEST_F(StationFile, OpenFileFindsTheDatabase) {
  std::string text;
  for (int i = 0; i < 1000; ++i) text += std::string(58, 'x') + "\n";  // 59,000 bytes
  Write("sao.cty", text);
  int count = -1;
  EXPECT_GE(CTY_open_file(nullptr, &count), 0);
  EXPECT_EQ(count, 1000);
  EXPECT_EQ(std::string(CTY_path()), dir_ + "/sao.cty");

  Write("big.cty", std::string(1000000, 'x'));
  RES_put("city_file", "big.cty");  // the resource wins over the argument
  EXPECT_GE(CTY_open_file("sao.cty", &count), 0);
  EXPECT_EQ(count, CTY_MAX_ESTIMATE);

  RES_put("city_file", "");  // given without a value: the default name
  EXPECT_GE(CTY_open_file(nullptr, &count), 0);
  EXPECT_EQ(count, 1000);
  RES_put("city_file", "-");  // never the terminal
  EXPECT_GE(CTY_open_file(nullptr, &count), 0);
  EXPECT_EQ(count, 1000);

  RES_put("city_file", "NONE");
  EXPECT_EQ(Stderr([&] { EXPECT_EQ(CTY_open_file(nullptr, &count), -1); }), "");

  RES_put("city_file", (dir_ + "/absent.cty").c_str());  // an absolute name unchanged
  EXPECT_EQ(Stderr([&] { EXPECT_EQ(CTY_open_file(nullptr, nullptr), -1); }),
            "CTY_open_file: Database file not found: " + dir_ + "/absent.cty\n");
  RES_put("city_file", dir_.c_str());
  EXPECT_EQ(Stderr([&] { EXPECT_EQ(CTY_open_file(nullptr, nullptr), -1); }),
            "CTY_open_file: Database file not found: " + dir_ + "\n");
}

TEST_F(StationFile, GetByIdentifierNameOrNumber) {
  Write("sao.cty",
        "ADAK_NAS AK US PADK 7 51.8833 -176.6500 4 70454 0\n"
        "broken line\n"
        "GOTHENBURG -- SE ESGG 6 57.6667 12.3000 154 02526 0\n"
        "MADISON WI US KMSN 4 43.1333 -89.3500 261 72641 0\n");
  const struct {
    const char *key;
    const char *id;
  } cases[] = {{"KMSN", "KMSN"},  {"kmsn", "KMSN"},  {"madison", "KMSN"},
               {"02526", "ESGG"}, {"72641", "KMSN"}, {"Adak_Nas", "PADK"}};
  for (const auto &c : cases) {
    CTY_data d;
    testing::internal::CaptureStdout();
    EXPECT_EQ(CTY_get(nullptr, c.key, &d), 1) << c.key;
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              std::string("Searching the city database file for: ") + c.key + " ...\n");
    EXPECT_STREQ(d.id, c.id);
  }
  CTY_data d;
  testing::internal::CaptureStdout();
  EXPECT_EQ(CTY_get(nullptr, "2526", &d), 0);   // five digits only
  EXPECT_EQ(CTY_get(nullptr, "MADIS", &d), 0);  // the whole name only
  float lat = 0, lon = 0;
  EXPECT_EQ(CTY_get_loc(nullptr, "ESGG", &lat, &lon), 1);
  testing::internal::GetCapturedStdout();
  EXPECT_FLOAT_EQ(lat, 57.6667f);
  EXPECT_FLOAT_EQ(lon, 12.3f);
  RES_put("city_file", "none");
  EXPECT_EQ(CTY_get_loc(nullptr, "ESGG", &lat, &lon), 0);
}

}  // namespace
