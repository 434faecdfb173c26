// Unit conversion: name factors, the units lookup file, the remembered pair, and
// the units file the program ships.

#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "calc/calc.h"
#include "calc/calc_testing.h"
#include "messages/messages.h"
#include "messages/messages_testing.h"
#include "resources/resources.h"
#include "resources/resources_testing.h"

namespace {

constexpr float kMiss = -9999.0f;

class UnitCvt : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/units_test_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    RES_put("file_path", dir_.c_str());
    UNIT_reset_state();
  }
  void TearDown() override {
    std::remove(File().c_str());
    rmdir(dir_.c_str());
    UNIT_reset_state();
    RES_reset_state();
    MESS_reset_state();
  }
  std::string File() const { return dir_ + "/units.lup"; }
  void Write(const std::string &text) const {
    std::ofstream out(File(), std::ios::trunc);
    out << text;
  }

  std::string dir_;
};

// Entries as a user might write them: comments anywhere, two entries on one line,
// an entry spread over lines, underscores for blanks, a repeated pair.
constexpr const char *kUnits =
    "# test units\n"
    "K F *1.8-459.67   # trailing comment\n"
    "C K +273.15\n"
    "ft m *0.3048\n"
    "m ft *3.280839895\n"
    "in_Hg mb *33.86389\n"
    "kt m/s *0.5144444 kt mph *1.150779\n"
    "km mi\n"
    "  *0.6213712\n"
    "x y *2\n"
    "x y *3\n"
    "a b junk\n"
    "c d *2-1\n";

// Purpose: conversions that need no file (it does not exist here).
TEST_F(UnitCvt, WithoutFile) {
  struct Case {
    float value;
    const char *iunit, *ounit;
    float want;
    const char *why;
  };
  const Case cases[] = {
      {5, "100_ft", "ft", 500, "number and underscore: factor"},
      {500, "ft", "100_ft", 5, "output factor divides"},
      {2, "10^3_m", "m", 2000, "power factor"},
      {3, "1e3 m", "10^3_m", 3, "exponent form, equal factors"},
      {5, "-K", "K", -5, "a lone minus"},
      {5, "-5 ft", "ft", -25, "negative number"},
      {7, "K", "k", 7, "equal names ignoring case"},
      {7, "in_Hg", "in Hg", 7, "underscore reads as blank"},
      {7, "K", "", 7, "empty output unit"},
      {7, "K", nullptr, 7, "no output unit"},
      {kMiss, "K", "F", kMiss, "missing value without the file"},
      {5, "ft", "0_ft", kMiss, "zero output factor"},
      {4, "2_Ft", "FT", 8, "base units compare ignoring case"},
      {5, "abcdefghijklmnopq", "abcdefghijklmnXX", 5, "names cut to 14 are equal"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string(c.iunit) + " -> " + (c.ounit ? c.ounit : "(null)") + ": " + c.why);
    EXPECT_FLOAT_EQ(UNIT_cvt(c.value, c.iunit, c.ounit), c.want);
  }
}

// Purpose: a missing file gives 0 and says which file it wanted.
TEST_F(UnitCvt, MissingFileGivesZeroAndTrace) {
  MESS_set(MESS_USER_ADD, M_DEBUG & M_SUB_D);
  testing::internal::CaptureStdout();
  const float got = UNIT_cvt(10, "K", "F");
  // "100ft" has no blank after its number, so it is a unit of its own: a file lookup.
  const float ceiling = UNIT_cvt(5, "100ft", "ft");
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(got, 0.0f);
  EXPECT_EQ(ceiling, 0.0f);
  const std::string line = "Unable to open units file: " + File() + "\n";
  EXPECT_EQ(out, line + line);
}

// Purpose: lookups in a written file.
TEST_F(UnitCvt, LookupInFile) {
  Write(kUnits);
  struct Case {
    float value;
    const char *iunit, *ounit;
    float want;
    float tol;
    const char *why;
  };
  const Case cases[] = {
      {273.15f, "K", "F", 32.0f, 1e-3f, "scale and negative offset"},
      {0, "C", "K", 273.15f, 1e-4f, "offset alone"},
      {2, "100_ft", "m", 60.96f, 1e-4f, "factor and file scale"},
      {1000, "m", "10^3_ft", 3.280840f, 1e-5f, "output factor after file scale"},
      {29.92f, "in_Hg", "mb", 1013.2076f, 1e-3f, "underscores in the file"},
      {29.92f, "IN_HG", "MB", 1013.2076f, 1e-3f, "file names ignore case"},
      {10, "kt", "mph", 11.50779f, 1e-4f, "second entry of a line"},
      {10, "km", "mi", 6.213712f, 1e-5f, "entry over two lines"},
      {1, "x", "y", 2, 0, "first entry wins"},
      {3, "a", "b", 3, 0, "unreadable conversion: 1 and 0"},
      {3, "c", "d", 5, 0, "scale then offset"},
      {3, "furlong", "m", 3, 0, "no entry: 1 and 0"},
      {3, "F", "K", 3, 0, "only the listed direction"},
      {kMiss, "K", "F", kMiss, 0, "missing stays missing"},
  };
  for (const Case &c : cases) {
    UNIT_reset_state();
    SCOPED_TRACE(std::string(c.iunit) + " -> " + c.ounit + ": " + c.why);
    EXPECT_NEAR(UNIT_cvt(c.value, c.iunit, c.ounit), c.want, c.tol);
  }
}

// Purpose: the remembered pair. A repeat does not read the file (it was changed
// meanwhile); a conversion by factors alone keeps the remembered pair; another pair
// reads the file again.
TEST_F(UnitCvt, RemembersLastPair) {
  Write("K F *1.8-459.67\nC K +273.15\n");
  const float first = UNIT_cvt(300, "K", "F");
  EXPECT_NEAR(first, 80.33f, 1e-3f);
  Write("K F *2\nC K +1000\n");
  EXPECT_EQ(UNIT_cvt(300, "K", "F"), first);
  EXPECT_FLOAT_EQ(UNIT_cvt(100, "100_ft", "ft"), 10000);
  EXPECT_EQ(UNIT_cvt(300, "K", "F"), first);
  EXPECT_FLOAT_EQ(UNIT_cvt(0, "C", "K"), 1000);  // new pair: the file is read again
  EXPECT_FLOAT_EQ(UNIT_cvt(300, "K", "F"), 600);
  std::remove(File().c_str());
  EXPECT_FLOAT_EQ(UNIT_cvt(20, "K", "F"), 40);  // still remembered
  UNIT_reset_state();
  EXPECT_EQ(UNIT_cvt(20, "K", "F"), 0.0f);
}

// Purpose: a failed lookup is not remembered as a result.
TEST_F(UnitCvt, FailureIsNotRemembered) {
  EXPECT_EQ(UNIT_cvt(273.15f, "K", "F"), 0.0f);
  Write(kUnits);
  EXPECT_NEAR(UNIT_cvt(273.15f, "K", "F"), 32.0f, 1e-3f);
}

// Reads the entries of a units file as (input, output) pairs.
std::vector<std::pair<std::string, std::string>> Pairs(const std::string &path) {
  std::ifstream in(path);
  std::vector<std::string> words;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream ls(line);
    std::string w;
    while (ls >> w && w[0] != '#') words.push_back(w);
  }
  std::vector<std::pair<std::string, std::string>> pairs;
  for (size_t i = 0; i + 2 < words.size(); i += 3) pairs.emplace_back(words[i], words[i + 1]);
  return pairs;
}

class ShippedUnits : public ::testing::Test {
 protected:
  void SetUp() override {
    RES_put("file_path", SOURCE_DIR "/share");
    UNIT_reset_state();
  }
  void TearDown() override {
    UNIT_reset_state();
    RES_reset_state();
  }
};

// Purpose: the shipped file converts the units the printers hand over into the
// usual output units.
TEST_F(ShippedUnits, CommonConversions) {
  struct Case {
    float value;
    const char *iunit, *ounit;
    float want;
    float tol;
  };
  const Case cases[] = {
      {273.15f, "K", "C", 0, 1e-4f},
      {273.15f, "K", "F", 32, 1e-3f},
      {212, "F", "C", 100, 1e-3f},
      {-40, "F", "C", -40, 1e-3f},
      {100, "C", "F", 212, 1e-3f},
      {32, "F", "K", 273.15f, 1e-3f},
      {10, "knt", "m/s", 5.144444f, 1e-5f},
      {10, "knt", "kt", 10, 0},
      {10, "knt", "km/h", 18.52f, 1e-4f},
      {10, "m/s", "mph", 22.36936f, 1e-4f},
      {1, "mi", "km", 1.609344f, 1e-6f},
      {5, "100ft", "ft", 500, 1e-3f},
      {5, "100ft", "m", 152.4f, 1e-3f},
      {29.92f, "in_Hg", "mb", 1013.2076f, 1e-3f},
      {29.92f, "in_Hg", "hPa", 1013.2076f, 1e-3f},
      {1013.25f, "mb", "in_Hg", 29.92126f, 1e-4f},
      {1, "in", "mm", 25.4f, 1e-5f},
      {180, "deg", "rad", 3.141593f, 1e-5f},
      {90, "sec", "min", 1.5f, 1e-6f},
      {12, "g/kg", "kg/kg", 0.012f, 1e-7f},
      {100, "W/m^2", "kcal/m^2/h", 85.98452f, 1e-3f},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string(c.iunit) + " -> " + c.ounit);
    EXPECT_NEAR(UNIT_cvt(c.value, c.iunit, c.ounit), c.want, c.tol);
  }
}

// Purpose: the freezing point converts to exactly 0 C (a rounded scale and offset
// gave -0.0 with "%.1f"), and 0 C and 32 F to 273.15 K.
TEST_F(ShippedUnits, FreezingPoint) {
  EXPECT_EQ(UNIT_cvt(32, "F", "C"), 0.0f);
  EXPECT_FALSE(std::signbit(UNIT_cvt(32, "F", "C")));
  EXPECT_EQ(UNIT_cvt(32, "F", "K"), 273.15f);
  EXPECT_EQ(UNIT_cvt(0, "C", "K"), 273.15f);
}

// Purpose: a pair's conversion found once and applied to many values gives what
// UNIT_cvt gives; equal names and factor-only pairs need no file; a missing file
// is reported as a failure.
TEST_F(ShippedUnits, ConversionOfAPair) {
  UNIT_conversion cvt;
  ASSERT_EQ(UNIT_get_cvt("knt", "m/s", &cvt), 1);
  EXPECT_EQ(cvt.from_file, 1);
  for (float v : {0.0f, 1.0f, 7.5f, 33.3f, -4.0f, -9999.0f})
    EXPECT_EQ(UNIT_apply(cvt, v), UNIT_cvt(v, "knt", "m/s")) << v;
  ASSERT_EQ(UNIT_get_cvt("K", "k", &cvt), 1);
  EXPECT_EQ(cvt.same, 1);
  EXPECT_EQ(UNIT_apply(cvt, 12.5f), 12.5f);
  ASSERT_EQ(UNIT_get_cvt("100_ft", "ft", &cvt), 1);
  EXPECT_EQ(cvt.from_file, 0);
  EXPECT_FLOAT_EQ(UNIT_apply(cvt, 5.0f), 500.0f);
  ASSERT_EQ(UNIT_get_cvt("m", "", &cvt), 1);
  EXPECT_EQ(cvt.same, 1);
  RES_put("file_path", "/nonexistent");
  EXPECT_EQ(UNIT_get_cvt("F", "C", &cvt), 0);
}

// Purpose: every entry of the shipped file has its reverse, and the two undo each
// other; no pair is listed twice.
TEST_F(ShippedUnits, EveryEntryRoundTrips) {
  const auto pairs = Pairs(SOURCE_DIR "/share/units.lup");
  ASSERT_GT(pairs.size(), 100u);
  for (size_t i = 0; i < pairs.size(); ++i) {
    const auto &[from, to] = pairs[i];
    SCOPED_TRACE(from + " -> " + to);
    for (size_t j = 0; j < i; ++j) EXPECT_FALSE(pairs[j] == pairs[i]) << "listed twice";
    const float there = UNIT_cvt(37.5f, from.c_str(), to.c_str());
    const float back = UNIT_cvt(there, to.c_str(), from.c_str());
    EXPECT_NEAR(back, 37.5f, 37.5f * 1e-5f);
    EXPECT_NE(there, 0.0f);
  }
}

}  // namespace
