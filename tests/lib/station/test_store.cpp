// The station store: selection items, filling, look-ups, walking, position entries.
#include <string>
#include <vector>

#include "station/station_testing.h"
#include "station_fixture.h"

namespace {

// Lines of the shipped database (share/sao.cty), and a buoy of region B_ and a
// station without identifier as other databases hold them.
constexpr const char *kDatabase =
    "DENVER_(DIA) CO US KDEN 0 39.8500 -104.6500 1640 72565 0\n"
    "BOULDER_DEN/WFO CO US KBOU 8 40.0000 -105.3333 1625 99999 0\n"
    "COLORADO_SPRINGS CO US KCOS 3* 38.8167 -104.7167 1884 72466 0\n"
    "MADISON WI US KMSN 4 43.1333 -89.3500 261 72641 0\n"
    "MADISONVILLE KY US K2I0 8 37.3500 -87.4000 134 99999 0\n"
    "MADISON_DUP WI US KMSN 9 43.0000 -89.0000 9999 99999 0\n"
    "TORONTO/PEARSON ON CA CYYZ 3 43.6667 -79.6167 173 71624 0\n"
    "BUOY_41001 -- B_ -41001 *5 34.7000 -72.7000 0 41001 0\n"
    "SEWARD AK US -72645 7 60.1167 -149.4500 7 72645 0\n"
    "too short\n";

struct Station {
  const char *line;
  CTY_data d;
};

CTY_data Den() {
  CTY_data d{};
  std::snprintf(d.name, sizeof d.name, "DENVER_(DIA)");
  std::snprintf(d.state, sizeof d.state, "CO");
  std::snprintf(d.region, sizeof d.region, "US");
  std::snprintf(d.id, sizeof d.id, "KDEN");
  d.prior = 0;
  d.mos = d.ua = ' ';
  d.lat = 39.85f;
  d.lon = -104.65f;
  d.el = 1640;
  d.wmo = 72565;
  return d;
}

TEST(StationSelect, EveryItemForm) {
  const CTY_data den = Den();
  // clang-format off
  const struct {
    const char *entry;
    bool holds;
  } cases[] = {
      // Names: the beginning, any case, blanks standing for "_".
      {"Name=DENVER", true}, {"name=den", true}, {"NAME=denver (dia)", true}, {"Name=DENVER_(DIA)X", false},
      {"Name=ENVER", false},
      // States and regions.
      {"ST=CO", true}, {"st=co", true}, {"ST=WI", false}, {"ST=CO_US", true}, {"ST=CO_CA", false},
      {"ST:CO", true}, {"ST:co_us", true}, {"ST:WI", false}, {"ST=C", false}, {"ST=COL", false},
      {"CN=US", true}, {"cn=us", true}, {"CN=CA", false}, {"CN:US", true}, {"CN:CA", false},
      // Identifiers and WMO numbers.
      {"ID=KDEN", true}, {"id=kden", true}, {"ID=KDE", false},
      {"WMO=72565", true}, {"WMO=7256", false}, {"WMO<72565", true}, {"WMO<72564", false},
      {"WMO>72565", true}, {"WMO>72566", false}, {"wmo>72000", true},
      // Priority: at most, at least.
      {"P=0", true}, {"P=1", false}, {"P<0", true}, {"P<3", true}, {"P>0", true}, {"P>1", false},
      // Position and elevation.
      {"Lat>39", true}, {"Lat<39", false}, {"Lat=39.85", true}, {"Lon<-104", true}, {"Lon>-104", false},
      {"Lon=-104.65", true}, {"Elev>1600", true}, {"Elev<1600", false}, {"Elev=1640", true},
      // Radius around a point, in km.
      {"RA<39.86:-104.67:5", true}, {"RA<39.74:-104.99:35", true}, {"RA<39.74:-104.99:25", false},
      {"ra<40:-105:100", true},
      // Combined: every item must hold.
      {"ST=CO:P<3", true}, {"ST=CO:P>3", false}, {"CN:US:ST:CO:Lat>39", true}, {"CN=US:RA<43:-89:100", false},
      {"ST:CO:CN:US:WMO>70000:Elev>1000", true},
      // Plain forms: the identifier, five digits, the beginning of a name longer than 4.
      {"KDEN", true}, {"kden", true}, {"72565", true}, {"DENVE", true}, {"denver", true}, {"DENV", false},
      {"DEN", false}, {"KDE", false},
      // Items without their values hold for no station.
      {"ST=", false}, {"P<", false}, {"Name=", false}, {"RA<39.8", false}, {"RA<39.8:-104", false},
      {"RA<a:b:1000", false}, {"ST", false}, {"CN", false}, {"P<x", false}, {"WMO>", false},
      {"", false}, {":", false}, {"Elev", false}, {"KDEN:P<3", false},
  };
  // clang-format on
  for (const auto &c : cases) {
    EXPECT_EQ(CTY_data_cmp({c.entry}, &den), c.holds ? 0 : -1) << c.entry;
  }
  // The index of the first entry that holds; an empty list holds with 1.
  EXPECT_EQ(CTY_data_cmp({"ST=WI", "KBOU", "CN=US", "KDEN"}, &den), 2);
  EXPECT_EQ(CTY_data_cmp({}, &den), 1);
  EXPECT_EQ(CTY_data_cmp({"ST=WI"}, nullptr), -1);
}

TEST(StationSelect, MissingElevationHoldsNoElevationItem) {
  CTY_data d = Den();
  d.el = -9999.0f;
  EXPECT_EQ(CTY_data_cmp({"Elev<100"}, &d), -1);
  EXPECT_EQ(CTY_data_cmp({"Elev>-10000"}, &d), -1);
}

TEST(StationSelect, WhatIsWrongWithAnEntry) {
  // clang-format off
  const struct {
    const char *entry;
    const char *why;
  } cases[] = {
      {"KDEN", ""}, {"ST=CO:P<3", ""}, {"RA<43.1:-89.3:200", ""}, {"ST:WI_US", ""}, {"MADISON", ""},
      {"ST=", "ST= without a value"}, {"P<", "P< without a value"}, {"Name=", "Name= without a value"},
      {"RA<43.1", "RA< needs a latitude, a longitude and a radius"},
      {"RA<43.1:-89.3", "RA< needs a latitude, a longitude and a radius"},
      {"RA<a:-89:1", "RA< needs a latitude, a longitude and a radius as numbers"},
      {"ST", "ST without the item that follows it"}, {"CN:", "CN without the item that follows it"},
      {"P<x", "P<x: the value is not a number"}, {"Lat>1e999", "Lat>1e999: the value is not a number"},
      {"ST=COL", "state COL is neither xx nor xx_yy"},
      {"KDEN:P<3", "item KDEN is no selection"},
  };
  // clang-format on
  for (const auto &c : cases) EXPECT_EQ(CTY_check_entry(c.entry), c.why) << c.entry;
}

class Store : public StationFiles {
 protected:
  // Fills a type-1 store from kDatabase with the given request; returns stderr.
  std::string Fill(const char *request, int prior = -9999, int type = 1) {
    Write("sao.cty", kDatabase);
    if (request) RES_put("identifier", request);
    return Stderr([&] {
      testing::internal::CaptureStdout();
      fd_ = CTY_store(nullptr, type, nullptr, prior);
      testing::internal::GetCapturedStdout();
    });
  }
  std::vector<std::string> Walk() {
    std::vector<std::string> ids;
    for (auto *a = static_cast<char *>(CTY_next_data(0)); a;
         a = static_cast<char *>(CTY_next_data(1)))
      ids.push_back(a);
    return ids;
  }
  int fd_ = 0;
};

// A data area preparer that writes the station's identifier into the area.
int NameArea(const CTY_data *d, void *area) {
  std::snprintf(static_cast<char *>(area), 16, "%s", d->id);
  return 0;
}

TEST_F(Store, AllStationsInFileOrderWithBadLinesReported) {
  CTY_data_size(16);
  CTY_enter_func(NameArea);
  const std::string err = Fill("all");
  EXPECT_GT(fd_, 0);
  EXPECT_EQ(err,
            "CTY_store: Line 10 of " + dir_ + "/sao.cty is no station line (column 2), skipped\n");
  EXPECT_EQ(CTY_store_count(), 9);
  const std::vector<std::string> expected = {"KDEN", "KBOU", "KCOS",   "KMSN",  "K2I0",
                                             "KMSN", "CYYZ", "-41001", "-72645"};
  EXPECT_EQ(Walk(), expected);
  EXPECT_EQ(CTY_next_data(1), nullptr);  // stays at the end
  EXPECT_EQ(Walk(), expected);           // and starts over
}

TEST_F(Store, PriorityLimit) {
  CTY_data_size(16);
  CTY_enter_func(NameArea);
  Fill(nullptr, 3);
  EXPECT_EQ(Walk(), (std::vector<std::string>{"KDEN", "KCOS", "CYYZ"}));
  RES_put("stat_prior", "4");
  Fill(nullptr);
  EXPECT_EQ(Walk(), (std::vector<std::string>{"KDEN", "KCOS", "KMSN", "CYYZ"}));
  RES_put("stat_prior", "0");
  EXPECT_EQ(CTY_get_prior(), 0);
  RES_put("stat_prior", "x");  // not a number: the default
  EXPECT_EQ(CTY_get_prior(), 10);
}

TEST_F(Store, RequestsSelectStations) {
  CTY_data_size(16);
  CTY_enter_func(NameArea);
  const struct {
    const char *request;
    std::vector<std::string> ids;
  } cases[] = {
      {"ST=CO", {"KDEN", "KBOU", "KCOS"}},
      {"ST=CO:P<3", {"KDEN", "KCOS"}},
      {"CN=CA", {"CYYZ"}},
      {"MADISON", {"KMSN", "K2I0", "KMSN"}},
      {"MADISONV", {"K2I0"}},
      {"MAD", {}},
      {"72641", {"KMSN"}},
      {"kmsn", {"KMSN", "KMSN"}},
      {"RA<43.1:-89.3:200", {"KMSN", "KMSN"}},
      {"WMO>72000", {"KDEN", "KBOU", "KCOS", "KMSN", "K2I0", "KMSN", "-72645"}},
      {"KBOU,CN:CA,ST=WI", {"KBOU", "KMSN", "KMSN", "CYYZ"}},
      {"ST=", {}},
  };
  for (const auto &c : cases) {
    Fill(c.request);
    EXPECT_EQ(Walk(), c.ids) << c.request;
  }
}

TEST_F(Store, BadSelectionsAreReportedOnce) {
  EXPECT_EQ(Fill("ST=,KDEN,RA<1:2,P<x"),
            "CTY_store: Station selection ST=: ST= without a value\n"
            "CTY_store: Station selection RA<1:2: RA< needs a latitude, a longitude and a radius\n"
            "CTY_store: Station selection P<x: P<x: the value is not a number\n"
            "CTY_store: Line 10 of " +
                dir_ + "/sao.cty is no station line (column 2), skipped\n");
  EXPECT_EQ(CTY_store_count(), 1);
}

TEST_F(Store, LookUps) {
  CTY_data_size(16);
  CTY_enter_func(NameArea);
  Fill("all");
  // Identifier key: exact, the first of two stations with one identifier.
  CTY_data d;
  ASSERT_EQ(CTY_search("KMSN", &d), 1);
  EXPECT_STREQ(d.name, "MADISON");
  EXPECT_EQ(CTY_search("kmsn", &d), 0);
  // Five digits and the WMO-prefix form go to the WMO key; b and five digits too.
  ASSERT_EQ(CTY_search("72641", &d), 1);
  EXPECT_STREQ(d.id, "KMSN");
  ASSERT_EQ(CTY_search("K2645", &d), 1);
  EXPECT_STREQ(d.name, "SEWARD");
  ASSERT_EQ(CTY_search("b41001", &d), 1);
  EXPECT_STREQ(d.name, "BUOY_41001");
  EXPECT_EQ(d.mos, '*');
  EXPECT_EQ(CTY_search("41001", &d), 0);  // its WMO key is b41001
  EXPECT_EQ(CTY_search("99999", &d), 1);  // the first station without number
  EXPECT_STREQ(d.id, "KBOU");
  CTY_locate loc;
  EXPECT_EQ(CTY_search("KDEN", &loc), 0);  // a type-1 store holds whole records

  // Data areas: a leading digit means the WMO key, anything else the identifier.
  EXPECT_STREQ(static_cast<char *>(CTY_get_data("KDEN")), "KDEN");
  EXPECT_STREQ(static_cast<char *>(CTY_get_data("72466")), "KCOS");
  EXPECT_STREQ(static_cast<char *>(CTY_get_data("-41001")), "-41001");
  EXPECT_EQ(CTY_get_data("K2645"), nullptr);
  EXPECT_EQ(CTY_get_data("b41001"), nullptr);
  EXPECT_EQ(CTY_get_data("kden"), nullptr);  // a small letter goes to the identifiers
  EXPECT_EQ(CTY_get_data(nullptr), nullptr);
  EXPECT_EQ(CTY_get_data(""), nullptr);
}

TEST_F(Store, AreasStartZeroedWithoutAPreparer) {
  CTY_data_size(64);
  Fill("KDEN");
  const auto *area = static_cast<const unsigned char *>(CTY_get_data("KDEN"));
  ASSERT_NE(area, nullptr);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(area[i], 0);
  CTY_data_size(0);  // no areas: the stations are stored, nothing to hand out
  Fill("all");
  EXPECT_EQ(CTY_store_count(), 9);
  EXPECT_EQ(CTY_get_data("KDEN"), nullptr);
  EXPECT_EQ(CTY_next_data(0), nullptr);
}

TEST_F(Store, NoDatabase) {
  CTY_data_size(16);
  RES_put("city_file", "missing.cty");
  testing::internal::CaptureStdout();
  EXPECT_EQ(Stderr([&] { EXPECT_EQ(CTY_store(nullptr, 1, nullptr, -9999), 0); }),
            "CTY_open_file: Database file not found: " + dir_ + "/missing.cty\n");
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(CTY_store_count(), 0);
  EXPECT_EQ(CTY_get_data("KDEN"), nullptr);
  EXPECT_EQ(CTY_next_data(0), nullptr);
  CTY_data d;
  EXPECT_EQ(CTY_search("KDEN", &d), 0);
  // Before any store, too.
  CTY_reset_state();
  EXPECT_EQ(CTY_next_data(0), nullptr);
  EXPECT_EQ(CTY_search("KDEN", &d), 0);
}

TEST_F(Store, EmptyDatabase) {
  Write("empty.cty", "");
  RES_put("city_file", "empty.cty");
  testing::internal::CaptureStdout();
  EXPECT_EQ(Stderr([&] { EXPECT_GT(CTY_store(nullptr, 1, nullptr, -9999), 0); }),
            "CTY_store: No station in " + dir_ + "/empty.cty\n");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Reading the city database file...\n");
  EXPECT_EQ(CTY_store_count(), 0);
  EXPECT_EQ(CTY_next_data(0), nullptr);
}

TEST_F(Store, ManyBadLinesAreSummed) {
  std::string text;
  for (int i = 0; i < 25; ++i) text += "bad\n";
  Write("bad.cty", text + "DENVER_(DIA) CO US KDEN 0 39.8500 -104.6500 1640 72565 0\n");
  RES_put("city_file", "bad.cty");
  testing::internal::CaptureStdout();
  const std::string err = Stderr([&] { CTY_store(nullptr, 1, nullptr, -9999); });
  testing::internal::GetCapturedStdout();
  EXPECT_NE(err.find("Line 10 of"), std::string::npos);
  EXPECT_EQ(err.find("Line 11 of"), std::string::npos);
  EXPECT_NE(err.find("CTY_store: 15 more bad lines of " + dir_ + "/bad.cty skipped\n"),
            std::string::npos);
  EXPECT_EQ(CTY_store_count(), 1);
}

TEST_F(Store, PositionEntries) {
  const struct {
    int id_type;
    std::vector<std::string> ids;
  } cases[] = {
      {0, {"KDEN", "KBOU", "KCOS", "KMSN", "K2I0", "KMSN", "CYYZ", "b41001", "72645"}},
      {1, {"72565", "KBOU", "72466", "72641", "K2I0", "KMSN", "71624", "b41001", "72645"}},
      {2, {"KDEN", "KBOU", "KCOS", "KMSN", "K2I0", "KMSN", "CYYZ", "b41001", "K2645"}},
  };
  for (const auto &c : cases) {
    CTY_set_id_type(c.id_type);
    Fill("all", -9999, 2);
    std::vector<std::string> ids;
    for (const std::string &id : c.ids) {
      CTY_locate loc;
      ASSERT_EQ(CTY_search(id.c_str(), &loc), 1) << c.id_type << " " << id;
      ids.push_back(loc.id);
    }
    EXPECT_EQ(ids, c.ids) << c.id_type;
  }
  CTY_set_id_type(0);
  Fill("KDEN", -9999, 3);
  CTY_locate loc;
  ASSERT_EQ(CTY_search("KDEN", &loc), 1);
  EXPECT_EQ(loc.wmo, 72565);
  EXPECT_FLOAT_EQ(loc.x, 39.85f);  // no domain: the position itself
  EXPECT_FLOAT_EQ(loc.y, -104.65f);
  EXPECT_FLOAT_EQ(loc.el, 1640);
  EXPECT_EQ(loc.pr, 0);
  CTY_data d;
  EXPECT_EQ(CTY_search("KDEN", &d), 0);
  EXPECT_EQ(CTY_store(nullptr, 4, nullptr, -9999), 0);  // no such store type
}

}  // namespace
