// The gathering slot: what the slot preparer keeps of the station.
#include <gtest/gtest.h>

#include <cstring>

#include "driver/sfc_parse.h"
#include "driver/sfc_parse_testing.h"
#include "resources/resources.h"
#include "resources/resources_testing.h"

namespace {

CTY_data Station(const char *id, float el) {
  CTY_data d{};
  std::snprintf(d.id, sizeof d.id, "%s", id);
  d.el = el;
  return d;
}

TEST(GatherSlot, RawSlotKeepsIdentifierAndWholeElevation) {
  SFC_reset_settings();
  const struct {
    const char *id;
    float el;
    int bulletin;
  } cases[] = {{"KDEN", 1640.9f, 1640},
               {"KXYZ", -12.7f, -12},
               {"PADK", 0.4f, 0},
               {"-72645", -9999.0f, -9999},
               {"K12345678", 4.0f, 4}};
  for (const auto &c : cases) {
    SFC_slot slot;
    std::memset(&slot, 0x7F, sizeof slot);
    const CTY_data d = Station(c.id, c.el);
    EXPECT_EQ(SFC_parse_enter_func(&d, &slot), 0);
    EXPECT_STREQ(slot.station, c.id);
    EXPECT_STREQ(slot.raw.data, c.id);
    EXPECT_STREQ(slot.raw.id, c.id);
    EXPECT_EQ(slot.raw.format, 0);
    EXPECT_EQ(slot.raw.bulletin, c.bulletin);
    EXPECT_EQ(slot.elev, c.bulletin);
    EXPECT_EQ(slot.flag, 0);
    EXPECT_EQ(slot.prhour, 0);
  }
}

// Purpose: with converted input the slot holds an initialised report carrying the
// station's identifier, and keeps the whole elevation that a gathered report without
// its own elevation takes.
TEST(GatherSlot, ConvertedSlotHoldsAnInitialisedReport) {
  RES_reset_state();
  SFC_reset_settings();
  RES_put("parameter", "cvt");
  SFC_parameter();
  ASSERT_EQ(SFC_get_settings().decoded, 1);
  SFC_slot slot;
  std::memset(&slot, 0x7F, sizeof slot);
  const CTY_data d = Station("KDEN", 1640.9f);
  EXPECT_EQ(SFC_parse_enter_func(&d, &slot), 0);
  EXPECT_STREQ(slot.station, "KDEN");
  EXPECT_STREQ(slot.report.id, "KDEN");
  EXPECT_STREQ(slot.report.area, "");
  EXPECT_EQ(slot.report.elev, SFC_MISSING_F);
  EXPECT_EQ(slot.report.num_cld, 0);
  EXPECT_EQ(slot.report.flag, 0);
  EXPECT_EQ(slot.elev, 1640);
  EXPECT_EQ(slot.flag, 0);
  RES_reset_state();
  SFC_reset_settings();
}

}  // namespace
