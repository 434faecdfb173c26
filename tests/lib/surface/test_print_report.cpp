#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "calc/calc.h"
#include "messages/messages.h"
#include "messages/messages_testing.h"
#include "surface/print_report.h"
#include "surface/report.h"

namespace {

SFC_report Fresh() {
  SFC_report r;
  SFC_initialize(&r);
  std::strcpy(r.id, "KDEN");
  return r;
}

std::string Report(const SFC_report *r, int want = 0) {
  testing::internal::CaptureStdout();
  EXPECT_EQ(SFC_print_report(r), want);
  std::fflush(stdout);
  return testing::internal::GetCapturedStdout();
}

const std::string kTop = "Data for: KDEN\n-----------------------------------\n";

class PrintReport : public testing::Test {
 protected:
  void SetUp() override { MESS_reset_state(); }
  void TearDown() override { MESS_reset_state(); }
};

// Purpose: every line of the full text, in order, for a report that has them all.
TEST_F(PrintReport, EveryLine) {
  SFC_report r = Fresh();
  r.wmo = 72565;
  r.lat = 39.85f;
  r.lon = -104.65f;
  r.elev = 1640.0f;
  r.time = 753;
  r.t = 20.0f;
  r.td = 10.0f;
  r.w_dir = 270.0f;
  r.w_spd = 15.0f;
  r.w_gust = 25.0f;
  r.alt = 30.12f;
  r.pmb = 1020.3f;
  r.num_cld = 2;
  r.cld_cover[0] = 'F';
  r.cld_height[0] = 2500.0f;
  r.cld_cover[1] = 'B';
  r.cld_height[1] = 12000.0f;
  r.vis = 10.0f;
  std::strcpy(r.weather, "!-SN_BR");
  r.ptend = -1.5f;
  r.rain6 = 0.1f;
  r.rain24 = 0.25f;
  r.max_t = 35.0f;
  r.min_t = 15.0f;
  r.max6_t = 30.0f;
  r.min6_t = 18.0f;
  r.scover = 4.0f;
  std::memcpy(r.cld_type, "8-2", 3);
  SFC_add_remarks(&r, "AO2");
  EXPECT_EQ(Report(&r),
            "Data for: KDEN\n"
            "WMO number: 72565\n"
            "LAT:   39.85 N  LON: -104.65 E\n"
            "Elevation:    1640 m\n"
            "-----------------------------------\n"
            "Report time:        0753 Z\n"
            "Temperature:          20 F = -6.7 C\n"
            "Dewpoint:             10 F = -12.2 C\n"
            "Winds:               270 deg at 15 knt Gusts: 25 knt\n"
            "Altimeter setting:    30.12 in Hg\n"
            "Sea level pressure: 1020.3 mb\n"
            "Clouds:level 1:   2500 feet few\n"
            "       level 2:  12000 feet broken\n"
            "Visibility:           10.00 miles\n"
            "Present weather:     light snow\n"
            "Pressure tendency:    -1.5 mb\n"
            "3/6 hour precip:       0.10 in\n"
            "24 hour precip:        0.25 in\n"
            "Max temperature:      35 F\n"
            "Min temperature:      15 F\n"
            " 6 hr Max temp:       30 F\n"
            " 6 hr Min temp:       18 F\n"
            "Snow cover:            4 in.\n"
            "Wind chill:            5.3 F\n"
            "Cloud types- Low:8 Medium:- High:2\n"
            "Remarks: AO2 \n");
}

// Purpose: a fresh report prints its identifier and the rule only; a null one
// prints nothing.
TEST_F(PrintReport, FreshAndNull) {
  SFC_report r = Fresh();
  EXPECT_EQ(Report(&r), kTop);
  EXPECT_EQ(Report(nullptr, -1), "");
}

// Purpose: the tests of the single lines: present against non-negative values,
// the wind forms and the cloud layers.
TEST_F(PrintReport, SingleLines) {
  struct Case {
    const char *name;
    std::function<void(SFC_report &)> set;
    std::string lines;  // what follows the top lines
  };
  const Case cases[] = {
      {"calm wind with gust",
       [](SFC_report &r) {
         r.w_dir = 0.0f;
         r.w_spd = 0.0f;
         r.w_gust = 20.0f;
       },
       "Winds:               calm Gusts: 20 knt\n"},
      {"calm wind",
       [](SFC_report &r) {
         r.w_dir = 0.0f;
         r.w_spd = 0.0f;
       },
       "Winds:               calm\n"},
      {"direction without speed is no wind", [](SFC_report &r) { r.w_dir = 270.0f; }, ""},
      {"negative tendency is present", [](SFC_report &r) { r.ptend = -2.0f; },
       "Pressure tendency:    -2.0 mb\n"},
      {"negative precipitation and snow are missing",
       [](SFC_report &r) {
         r.rain6 = -1.0f;
         r.rain24 = -0.01f;
         r.scover = -1.0f;
       },
       ""},
      {"zero precipitation is shown", [](SFC_report &r) { r.rain6 = 0.0f; },
       "3/6 hour precip:       0.00 in\n"},
      {"clear sky without height",
       [](SFC_report &r) {
         r.num_cld = 1;
         r.cld_cover[0] = 'C';
       },
       "Clouds:                    clear\n"},
      {"cover words of oktas and thin layers",
       [](SFC_report &r) {
         r.num_cld = 5;
         std::memcpy(r.cld_cover, "3s7x9", 5);
       },
       "Clouds:                    scattered\n"
       "                           thin scattered\n"
       "                           overcast\n"
       "                           partially obscured\n"
       "                           obscured\n"},
      {"a code without a word still ends its line",
       [](SFC_report &r) {
         r.num_cld = 2;
         r.cld_cover[0] = 'Q';
         r.cld_height[0] = 800.0f;
         r.cld_cover[1] = 'O';
       },
       "Clouds:level 1:    800 feet \n"
       "                           overcast\n"},
      {"more layers than the record holds",
       [](SFC_report &r) {
         r.num_cld = 7;
         std::memcpy(r.cld_cover, "FFFFF", 5);
       },
       "Clouds:                    few\n"
       "                           few\n"
       "                           few\n"
       "                           few\n"
       "                           few\n"},
      {"weather from a WMO number", [](SFC_report &r) { std::strcpy(r.weather, "95"); },
       "Present weather:     light thunderstorm\n"},
      {"cloud types need the low one", [](SFC_report &r) { std::memcpy(r.cld_type, " 12", 3); },
       ""},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    SFC_report r = Fresh();
    c.set(r);
    EXPECT_EQ(Report(&r), kTop + c.lines);
  }
}

std::string ChillLine(float t, float knots) {
  const float chill = k_to_f(wind_chill_temp2(f_to_k(t), knots * 0.5144f));
  char line[64];
  std::snprintf(line, sizeof line, "Wind chill:           %4.1f F\n", chill);
  return line;
}

// Purpose: the wind chill line, from the newer wind-chill formula, below 30 F only.
TEST_F(PrintReport, WindChill) {
  SFC_report r = Fresh();
  r.t = 20.0f;
  r.w_spd = 15.0f;
  const std::string temp = "Temperature:          20 F = -6.7 C\n";
  EXPECT_EQ(ChillLine(20.0f, 15.0f), "Wind chill:            5.3 F\n");  // the formula's value
  EXPECT_EQ(Report(&r), kTop + temp + ChillLine(20.0f, 15.0f));

  r.t = 40.0f;  // calm: the chill is the temperature, above 30
  r.w_dir = 0.0f;
  r.w_spd = 0.0f;
  EXPECT_EQ(Report(&r), kTop +
                            "Temperature:          40 F =  4.4 C\n"
                            "Winds:               calm\n");

  r.t = 35.0f;  // 35 F and 10 knots chill to 26.8 F
  r.w_spd = 10.0f;
  r.w_dir = SFC_MISSING_F;
  EXPECT_EQ(Report(&r), kTop + "Temperature:          35 F =  1.7 C\n" + ChillLine(35.0f, 10.0f));
  EXPECT_EQ(ChillLine(35.0f, 10.0f), "Wind chill:           26.8 F\n");

  r.t = -500.0f;  // below absolute zero: the formula gives no value
  EXPECT_EQ(Report(&r).find("Wind chill"), std::string::npos);
}

// Purpose: the heat index line above 75 F only, and none when the dew point is
// above the temperature.
TEST_F(PrintReport, HeatIndex) {
  SFC_report r = Fresh();
  r.t = 95.0f;
  r.td = 75.0f;
  EXPECT_EQ(Report(&r), kTop +
                            "Temperature:          95 F = 35.0 C\n"
                            "Dewpoint:             75 F = 23.9 C\n"
                            "Heat index:           107.0 F\n");
  r.t = 70.0f;
  r.td = 60.0f;
  EXPECT_EQ(Report(&r).find("Heat index"), std::string::npos);
  r.t = 80.0f;
  r.td = 85.0f;
  EXPECT_EQ(Report(&r).find("Heat index"), std::string::npos);
}

// Purpose: every line goes out with class 15, so it shows while the row class 1
// is hidden, and hides with the print classes.
TEST_F(PrintReport, PrintClass) {
  SFC_report r = Fresh();
  MESS_set(MESS_USER_REMOVE,
           M_PRINT & (M_SUB_A | M_SUB_B | M_SUB_C));  // class 1, 2 and 4 hidden; 8 shown
  EXPECT_EQ(Report(&r), kTop);
  MESS_set(MESS_USER_REMOVE, M_PRINT & M_SUB_D);
  EXPECT_EQ(Report(&r), "");
}

}  // namespace
