// The domain of each file: "plot_domain", else "region", decoded and made current by
// SFC_parse_file; a set projection turns gathering on.
#include <gtest/gtest.h>

#include <string>

#include "driver/sfc_parse.h"
#include "driver/sfc_parse_testing.h"
#include "files/files.h"
#include "files/files_testing.h"
#include "geo/geo.h"
#include "geo/geo_testing.h"
#include "geo/map.h"
#include "messages/messages.h"
#include "messages/messages_testing.h"
#include "resources/resources.h"
#include "resources/resources_testing.h"
#include "station/station_testing.h"

namespace {

class ParseDomain : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }
  static void Reset() {
    RES_reset_state();
    MESS_reset_state();
    FILE_reset_state();
    DOM_reset_state();
    MAP_reset_state();
    SFC_reset_settings();
    SFC_reset_parse();
    CTY_reset_state();
  }
  // Parses the bulletin slice for one station, output caught; returns the warnings.
  static std::string Parse() {
    RES_put("file_path", SOURCE_DIR "/share");
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    SFC_parse_file(SOURCE_DIR "/tests/data/bulletins/2020010600_sao_slice.wmo", "KDEN");
    testing::internal::GetCapturedStdout();
    return testing::internal::GetCapturedStderr();
  }
};

TEST_F(ParseDomain, NoDomainNoGathering) {
  EXPECT_EQ(Parse(), "");
  EXPECT_EQ(SFC_get_settings().city, 0);
  EXPECT_EQ(MAP_get_proj(), DOM_NONE);
}

TEST_F(ParseDomain, ARegionTurnsGatheringOn) {
  RES_put("region", "mw");
  EXPECT_EQ(Parse(), "");
  EXPECT_EQ(SFC_get_settings().city, 1);
  EXPECT_EQ(MAP_get_proj(), DOM_POLAR);
  EXPECT_FLOAT_EQ(MAP_get_clat(), 43);
  char key[32];
  FILE_get_key('r', key);
  EXPECT_STREQ(key, "mw");
}

TEST_F(ParseDomain, PlotDomainComesBeforeTheRegion) {
  RES_put("region", "mw");
  RES_put("plot_domain", "lc:40:-100:30:60,40,-100,1");
  Parse();
  EXPECT_EQ(SFC_get_settings().city, 1);
  EXPECT_EQ(MAP_get_proj(), DOM_LAMBERT);
}

TEST_F(ParseDomain, MissOrAnInvalidDomainLeavesGatheringOff) {
  RES_put("plot_domain", "none,40,-100");
  EXPECT_EQ(Parse(), "");
  EXPECT_EQ(SFC_get_settings().city, 0);
  RES_put("plot_domain", "ps,abc,40,-100,25,17,1,1");
  EXPECT_EQ(Parse(), "DOM_decode: Invalid plot domain\n");
  EXPECT_EQ(SFC_get_settings().city, 0);
  EXPECT_EQ(MAP_get_proj(), DOM_NONE);
}

}  // namespace
