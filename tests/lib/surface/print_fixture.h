// What the tests of the row printers share: one real report decoded, a fresh
// report, capturing what a printer writes, and a test base that starts every test
// with the message, resource, variable, unit and printer state of a fresh program.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "calc/calc.h"
#include "calc/calc_testing.h"
#include "messages/messages.h"
#include "messages/messages_testing.h"
#include "resources/resources.h"
#include "resources/resources_testing.h"
#include "surface/metar.h"
#include "surface/print_line.h"
#include "surface/print_testing.h"
#include "surface/raw_reader.h"
#include "surface/report.h"
#include "var/var.h"
#include "var/var_testing.h"

namespace print_fixture {

// A real report of the sample hour (share/20010600_sao.wmo, Traverse City,
// 23:53 UTC on 5 January 2020): light snow and mist, few at 800 ft, overcast at
// 1,400 ft, T-group 0.0 C / -2.2 C, 6-hour extremes 0.6 C / -0.6 C, pressure
// falling 0.2 mb (code 5), 0.03 in in the last hour, 0.09 in in six hours, 3 in
// of snow on the ground.
inline constexpr const char *kKTVC =
    "KTVC 052353Z 24008KT 1SM -SN BR FEW008 OVC014 00/M02 A2968 RMK AO2 SLP056 "
    "SNINCR 1/3 4/003 P0003 60009 T00001022 10006 21006 55002 $";

// What `print` writes to standard output.
inline std::string Capture(const std::function<void()> &print) {
  testing::internal::CaptureStdout();
  print();
  std::fflush(stdout);
  return testing::internal::GetCapturedStdout();
}

// An all-missing report of station `id`.
inline SFC_report Fresh(const char *id = "KDEN") {
  SFC_report r;
  SFC_initialize(&r);
  std::snprintf(r.id, sizeof r.id, "%s", id);
  return r;
}

// kKTVC decoded as the program decodes a METAR of a United States bulletin.
inline SFC_report DecodedKTVC() {
  SFC_report r;
  SFC_initialize(&r);
  std::snprintf(r.area, sizeof r.area, "UN");
  SFC_decode_METAR(kKTVC, SFC_FMT_METAR, SFC_ORIGIN_US, &r);
  return r;
}

// Every test starts and ends with the state of a fresh program, the shared data
// directory as the file path.
class PrinterTest : public testing::Test {
 protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }
  static void Reset() {
    MESS_reset_state();
    RES_reset_state();
    VAR_reset_state();
    UNIT_reset_state();
    SFC_print_reset_state();
    RES_put("file_path", SOURCE_DIR "/share");
  }
};

}  // namespace print_fixture
