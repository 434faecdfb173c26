#include <gtest/gtest.h>

#include "station/station.h"

namespace {

TEST(StationIds, ReportIdentifierMatching) {
  struct Case {
    ParsedList ids;
    const char *id;
    int result;
  };
  const Case cases[] = {
      {{}, "KDEN", 1},
      {{"KMSN", "KORD"}, "kmsn", 1},
      {{"KMSN", "KORD"}, "KMKE", 0},
      {{"KMSN", "ST=WI"}, "ANY", 1},
      {{"p<3"}, "X", 1},
      {{"wmo>72000"}, "X", 1},
      {{"Elev"}, "X", 0},  // no selection without its operator
      {{"KDEN"}, "KDENX", 0},
      {{"KDEN"}, "", 0},
      {{"kden", "Kbos"}, "KBOS", 1},
      {{"K1@"}, "k1@", 1},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(CTY_ids_cmp(c.ids, c.id), c.result) << c.id;
    EXPECT_EQ(CTY_id_set(c.ids).wanted(c.id), c.result) << c.id;  // the prepared form
  }
  EXPECT_EQ(CTY_ids_select({"KDEN", "CN:CA"}), 1);
  EXPECT_EQ(CTY_ids_select({"KDEN"}), 0);
}

}  // namespace
