// Weather and cloud codes: METAR groups and WMO numbers to short codes, short
// codes to words, and the ceiling of a report's layers.
#include "surface/weather.h"

#include <climits>
#include <cstring>
#include <memory>
#include <string>

#include <gtest/gtest.h>

namespace {

std::string Metar(const char *wx) {
  char out[WX_CODE_SIZE];
  std::memset(out, 'x', sizeof out);
  EXPECT_EQ(WX_metar_weather(wx, out), 0);
  EXPECT_LT(strnlen(out, sizeof out), sizeof out) << "unterminated";
  return out;
}

std::string Wmo(int wx) {
  char out[WX_CODE_SIZE];
  std::memset(out, 'x', sizeof out);
  EXPECT_EQ(WX_wmo_weather(wx, out), 0);
  EXPECT_LT(strnlen(out, sizeof out), sizeof out) << "unterminated";
  return out;
}

std::string Words(const char *wx, int *covers) {
  char out[WX_TEXT_SIZE];
  std::memset(out, 'x', sizeof out);
  *covers = WX_weather_text(wx, out);
  EXPECT_LT(strnlen(out, sizeof out), sizeof out) << "unterminated";
  return out;
}

// Purpose: METAR groups give the short code of their first group.
TEST(WxMetarWeather, Groups) {
  struct Case {
    const char *wx;
    const char *code;
  };
  const Case cases[] = {
      {"!-SHRA", "RW-"},     // showers letter after the precipitation
      {"!+TSRA", "TR+"},     // thunder before it
      {"!FZDZ", "ZL"},       // freezing drizzle
      {"!VCSH", ""},         // vicinity: no weather at the station
      {"!-RA_BR", "R-"},     // only the first group counts
      {"!FZFG", "F"},        // obscuration alone drops the descriptor
      {"!VCFG", ""},         // vicinity fog
      {"!-RASN", "R-"},      // a second precipitation type ends the reading
      {"!GR", ""},           // hail is not among the METAR letters read
      {"-SHRA", "RW-"},      // the '!' is optional
      {"!+TS", "T"},         // ... takes no sign
      {"!TSFG", "F"},        // an obscuration wins over bare thunder
      {"!BRFG", "F"},        // a later obscuration replaces an earlier one
      {"!TSSHRA", "RW"},     // a later descriptor replaces an earlier one
      {"!+-RA", "R-"},       // a later sign replaces an earlier one
      {"!-VCSH", ""},        // vicinity stops even after a sign
      {"!MIBCFG", "F"},      // shallow and patches are passed over
      {"!-SHGSSN", "IPW-"},  // two-letter precipitation with showers
      {"!PLRA", "IP"},       // ice pellets, then a second type
      {"!PE", "IP"},         // older letters for ice pellets
      {"!SA", "D"},          // sand written as dust
      {"!FU", "K"},          // smoke
      {"!HZFU", "K"},        // the last obscuration counts
      {"!BLDU", "D"},        // blowing dust: obscuration alone
      {"!+FC", ""},          // funnel cloud is not read
      {"!SH", ""},           // a bare descriptor means nothing
      {"!-", ""},            // a bare sign
      {"!", ""},             // nothing after the mark
      {"", ""},              // empty value
      {" ", ""},             // the no-weather blank
      {"!R", ""},            // one letter left is no pair
      {"!RAX", "R"},         // an odd letter at the end ends the reading
      {"!ra", ""},           // letters are read as written, upper case
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.wx);
    EXPECT_EQ(Metar(c.wx), c.code);
  }
  EXPECT_EQ(Metar(nullptr), "");
  EXPECT_EQ(WX_metar_weather("!RA", nullptr), -1);
}

// Purpose: weather groups as they stand in real reports (METAR sample of
// worldwide hourly snapshots, 18 December 2014 07Z and 22 October 2022 19Z, of
// an aviation weather centre's public METAR cache), joined as the decoder
// stores them, with their codes and words.
TEST(WxMetarWeather, RealGroups) {
  struct Case {
    const char *wx;
    const char *code;
    const char *words;
    int covers;
  };
  const Case cases[] = {
      {"!BR", "H", "haze", 1},
      {"!-RA", "R-", "light rain", 2},
      {"!-SN_BR", "S-", "light snow", 2},
      {"!FG", "F", "fog", 1},
      {"!-DZ_BR", "L-", "light drizzle", 2},
      {"!HZ", "H", "haze", 1},
      {"!VCSH", "", "", 0},
      {"!-SHRA_BR", "RW-", "light rain showers", 3},
      {"!FZFG", "F", "fog", 1},
      {"!-SHSN", "SW-", "light snow showers", 3},
      {"!RA_BR", "R", "moderate rain", 1},
      {"!FU", "K", "smoke", 1},
      {"!BCFG", "F", "fog", 1},
      {"!TS", "T", "thunder", 1},  // thunder without precipitation
      {"!-RADZ", "R-", "light rain", 2},
      {"!-DZRA_BR", "L-", "light drizzle", 2},
      {"!DRSN", "BS", "blowing snow", 2},  // drifting counts as blowing
      {"!MIFG", "F", "fog", 1},
      {"!PRFG_BR", "", "", 0},  // partial is not among the letters read
      {"!-TSRA_BR", "TR-", "light thunderstorm", 3},
      {"!-SHSNRA", "SW-", "light snow showers", 3},
      {"!VCTS", "", "", 0},
      {"!+SN_FZFG", "S+", "heavy snow", 2},
      {"!+RA_BR", "R+", "heavy rain", 2},
      {"!-FZRA_BR", "ZR-", "light freezing rain", 3},
      {"!SHRA", "RW", "moderate rain showers", 2},
      {"!IC", "IC", "ice crystals", 2},
      {"!-UP", "", "", 0},  // unknown precipitation: a bare sign means nothing
      {"!-FZDZ_BR", "ZL-", "light freezing drizzle", 3},
      {"!-SHGSSN", "IPW-", "ice pellets", 2},
      {"!BLSN", "BS", "blowing snow", 2},
      {"!DU", "D", "dust", 1},
      {"!-SN_DRSN", "S-", "light snow", 2},
      {"!VCFZFG", "", "", 0},
      {"!+TSRAGR", "TR+", "heavy thunderstorm", 3},
      {"!TSRA_-SHRA", "TR", "moderate thunderstorm", 2},
      {"!BR_FU", "H", "haze", 1},
      {"!+SHSN", "SW+", "heavy snow showers", 3},
      {"!-SG", "SG-", "snow grains", 2},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.wx);
    EXPECT_EQ(Metar(c.wx), c.code);
    int covers = -1;
    EXPECT_EQ(Words(c.wx, &covers), c.words);
    EXPECT_EQ(covers, c.covers);
  }
}

// Purpose: a weather field of 20 characters without a terminator is read no
// further than its 20 characters.
TEST(WxMetarWeather, FieldLimit) {
  auto field = std::make_unique<char[]>(SFC_WEATHER_SIZE);
  std::memcpy(field.get(), "!BRBRBRBRBRBRBRBRBRFG", SFC_WEATHER_SIZE);  // no NUL
  EXPECT_EQ(Metar(field.get()), "H");  // the FG lies past the 20th character
  std::memcpy(field.get(), "!+SHRA_BR_FZFG_BCFGX", SFC_WEATHER_SIZE);
  EXPECT_EQ(Metar(field.get()), "RW+");
  int covers = 0;
  EXPECT_EQ(Words(field.get(), &covers), "heavy rain showers");
  EXPECT_EQ(covers, 3);
  std::memset(field.get(), 'R', SFC_WEATHER_SIZE);
  EXPECT_EQ(Words(field.get(), &covers), "moderate rain");
  char code[SFC_WEATHER_SIZE + 4];
  EXPECT_EQ(WX_short_code(field.get(), code, sizeof code), 0);
  EXPECT_EQ(std::string(code), std::string(SFC_WEATHER_LEN, 'R'));
}

// Purpose: every WMO number of code table 4677 and the numbers around it.
TEST(WxWmoWeather, Table) {
  struct Range {
    int lo, hi;
    const char *code;
  };
  const Range table[] = {
      {0, 3, " "},      {4, 4, "K"},       {5, 5, "H"},        {6, 9, "D"},      {10, 12, "F"},
      {13, 16, " "},    {17, 17, "T"},     {18, 27, " "},      {28, 28, "F"},    {29, 29, "T"},
      {30, 35, "D"},    {36, 39, "BS"},    {40, 49, "F"},      {50, 51, "L-"},   {52, 53, "L"},
      {54, 55, "L+"},   {56, 56, "ZL-"},   {57, 57, "ZL"},     {58, 58, "L-R"},  {59, 59, "LR"},
      {60, 61, "R-"},   {62, 63, "R"},     {64, 65, "R+"},     {66, 66, "ZR-"},  {67, 67, "ZR"},
      {68, 68, "R-L"},  {69, 69, "RL"},    {70, 71, "S-"},     {72, 73, "S"},    {74, 75, "S+"},
      {76, 76, "IC"},   {77, 77, "SG"},    {78, 78, "IC"},     {79, 79, "IP"},   {80, 80, "RW-"},
      {81, 81, "RW"},   {82, 82, "RW+"},   {83, 83, "RW-SW-"}, {84, 84, "RWSW"}, {85, 85, "SW-"},
      {86, 86, "SW"},   {87, 88, "IPW"},   {89, 90, "A"},      {91, 91, "R-"},   {92, 92, "R"},
      {93, 93, "S-"},   {94, 94, "S"},     {95, 95, "TRW-"},   {96, 96, "TRW"},  {97, 97, "TRW+"},
      {98, 98, "TRWD"}, {99, 99, "TRW+A"},
  };
  int next = 0;
  for (const Range &r : table) {
    ASSERT_EQ(r.lo, next) << "table rows must cover 0 to 99 in order";
    for (int n = r.lo; n <= r.hi; ++n) {
      SCOPED_TRACE(n);
      EXPECT_EQ(Wmo(n), r.code);
    }
    next = r.hi + 1;
  }
  EXPECT_EQ(next, 100);
  for (int n : {-1, 100, 999, INT_MIN, INT_MAX}) {  // outside the table
    SCOPED_TRACE(n);
    EXPECT_EQ(Wmo(n), " ");
  }
  EXPECT_EQ(WX_wmo_weather(95, nullptr), -1);
}

// Purpose: the words of every head of a short code, and how much they cover.
TEST(WxWeatherText, Codes) {
  struct Case {
    const char *wx;
    const char *words;
    int covers;
  };
  const Case cases[] = {
      {"A", "hail", 1},
      {"K", "smoke", 1},
      {"H", "haze", 1},
      {"F", "fog", 1},
      {"GF", "ground fog", 2},  // both letters are described
      {"TRW+", "heavy thunderstorm", 4},
      {"TRW-", "light thunderstorm", 4},
      {"TRW", "moderate thunderstorm", 3},
      {"TRWD", "moderate thunderstorm", 3},  // WMO 98: dust left over
      {"TR+", "heavy thunderstorm", 3},
      {"TR-", "light thunderstorm", 3},
      {"TR", "moderate thunderstorm", 2},
      {"T+", "heavy thunder", 2},
      {"T-", "light thunder", 2},
      {"T", "thunder", 1},
      {"TS", "thunder", 1},  // metar thunder with snow: thunder, then snow
      {"RW+", "heavy rain showers", 3},
      {"RW-", "light rain showers", 3},
      {"RW", "moderate rain showers", 2},
      {"R+", "heavy rain", 2},
      {"R-", "light rain", 2},
      {"R", "moderate rain", 1},
      {"RL", "moderate rain", 1},
      {"SW+", "heavy snow showers", 3},
      {"SW-", "light snow showers", 3},
      {"SW", "moderate snow showers", 2},
      {"S+", "heavy snow", 2},
      {"S-", "light snow", 2},
      {"SG", "snow grains", 2},
      {"SP", "snow pellets", 2},
      {"S", "moderate snow", 1},
      {"L+", "heavy drizzle", 2},
      {"L-", "light drizzle", 2},
      {"L", "moderate drizzle", 1},
      {"ZR+", "heavy freezing rain", 3},
      {"ZR-", "light freezing rain", 3},
      {"ZR", "moderate freezing rain", 2},
      {"ZL+", "heavy freezing drizzle", 3},
      {"ZL-", "light freezing drizzle", 3},
      {"ZL", "moderate freezing drizzle", 2},
      {"BD", "blowing dust", 2},
      {"BS", "blowing snow", 2},
      {"IP", "ice pellets", 2},
      {"IPW", "ice pellets", 2},
      {"IC", "ice crystals", 2},
      {"IF", "ice fog", 2},
      {"D", "dust", 1},
      {"RW-F", "light rain showers", 3},  // only the head is described
      {"G", "", 0},                       // G, Z, B, I name nothing alone
      {"GX", "", 0},
      {"Z", "", 0},
      {"ZX", "", 0},
      {"B", "", 0},
      {"BX", "", 0},
      {"IX", "", 0},
      {" ", "", 0},  // no weather
      {"", "", 0},
      {"-", "", 0},
      {"W", "", 0},
      {"r", "", 0},                     // codes are upper case
      {"95", "light thunderstorm", 4},  // WMO number through its code
      {"61R", "light rain", 2},         // leading digits only
      {"05", "haze", 1},
      {"0", "", 0},                     // WMO " "
      {"100", "", 0},                   // outside the table
      {"99999999999999999999", "", 0},  // a long number does not overflow
      {"!-SHRA_BR", "light rain showers", 3},
      {"!VCSH", "", 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.wx);
    int covers = -1;
    EXPECT_EQ(Words(c.wx, &covers), c.words);
    EXPECT_EQ(covers, c.covers);
  }
  int covers = -1;
  EXPECT_EQ(Words(nullptr, &covers), "");
  EXPECT_EQ(covers, 0);
  EXPECT_EQ(WX_weather_text("R", nullptr), 0);
}

// Purpose: a caller describes a whole SA code by going on after what was covered.
TEST(WxWeatherText, WholeCode) {
  auto describe = [](const char *code) {
    std::string all;
    char words[WX_TEXT_SIZE];
    for (const char *p = code; *p;) {
      const int n = WX_weather_text(p, words);
      if (n <= 0) break;
      if (!all.empty()) all += ", ";
      all += words;
      p += n;
    }
    return all;
  };
  EXPECT_EQ(describe("RW-F"), "light rain showers, fog");
  EXPECT_EQ(describe("TRW+A"), "heavy thunderstorm, hail");
  EXPECT_EQ(describe("GF"), "ground fog");
  EXPECT_EQ(describe("L-R"), "light drizzle, moderate rain");
  EXPECT_EQ(describe("ZR-S-H"), "light freezing rain, light snow, haze");
}

// Purpose: any weather value to the short code, cut to the caller's buffer.
TEST(WxShortCode, Forms) {
  struct Case {
    const char *wx;
    const char *code;
  };
  const Case cases[] = {
      {"!-SHRA_BR", "RW-"},  // METAR form
      {"95", "TRW-"},        // WMO number
      {"83R", "RW-SW-"},     // number with letters after it
      {"RW-F", "RW-F"},      // already a short code
      {" ", " "},            // no weather stays a blank
      {"", ""},
  };
  char code[SFC_WEATHER_SIZE];
  for (const Case &c : cases) {
    SCOPED_TRACE(c.wx);
    EXPECT_EQ(WX_short_code(c.wx, code, sizeof code), 0);
    EXPECT_STREQ(code, c.code);
  }
  char small[3];
  EXPECT_EQ(WX_short_code("95", small, sizeof small), 0);
  EXPECT_STREQ(small, "TR");
  EXPECT_EQ(WX_short_code("RW-F", small, sizeof small), 0);
  EXPECT_STREQ(small, "RW");
  EXPECT_EQ(WX_short_code("RW", small, 0), -1);
  EXPECT_EQ(WX_short_code("RW", nullptr, 8), -1);
}

// ---- ceiling ------------------------------------------------------------------

struct Layer {
  char cover;
  float height;
};

SFC_report WithLayers(std::initializer_list<Layer> layers) {
  SFC_report r;
  SFC_initialize(&r);
  for (const Layer &l : layers) {
    r.cld_cover[r.num_cld] = l.cover;
    r.cld_height[r.num_cld] = l.height;
    ++r.num_cld;
  }
  return r;
}

constexpr float kMiss = SFC_MISSING_F;

// Purpose: the layers of a report reduced to the cover and height of its ceiling.
TEST(WxSetCloud, Layers) {
  struct Case {
    const char *why;
    SFC_report report;
    char cover;
    float hght;
    int status;
  };
  const Case cases[] = {
      {"few then broken", WithLayers({{'F', 2000}, {'B', 5000}}), 'B', 5000, 0},
      {"scattered then overcast", WithLayers({{'S', 3000}, {'O', 8000}}), 'O', 8000, 0},
      {"broken then overcast keeps the ceiling", WithLayers({{'B', 5000}, {'O', 8000}}), 'O', 5000,
       0},
      {"overcast then broken", WithLayers({{'O', 1000}, {'B', 2000}}), 'B', 1000, 0},
      {"one clear layer", WithLayers({{'C', kMiss}}), 'C', kMiss, -1},
      {"one thin layer as it is", WithLayers({{'b', 2500}}), 'b', 2500, -1},
      {"no layers", WithLayers({}), ' ', kMiss, -1},
      {"few then scattered", WithLayers({{'F', 1000}, {'S', 4000}}), 'S', 4000, 0},
      {"scattered then few keeps scattered", WithLayers({{'S', 3000}, {'F', 5000}}), 'S', 3000, 0},
      {"broken then few keeps the ceiling (BKN015 FEW017CB)",
       WithLayers({{'B', 1500}, {'F', 1700}}), 'B', 1500, 0},
      {"broken then scattered keeps the ceiling (BKN017CB SCT100)",
       WithLayers({{'B', 1700}, {'S', 10000}}), 'B', 1700, 0},
      {"BKN005 FEW025CB OVC100: the ceiling is at 500",
       WithLayers({{'B', 500}, {'F', 2500}, {'O', 10000}}), 'O', 500, 0},
      {"FEW010 SCT016 FEW025CB OVC080",
       WithLayers({{'F', 1000}, {'S', 1600}, {'F', 2500}, {'O', 8000}}), 'O', 8000, 0},
      {"BKN003 SCT010 BKN016", WithLayers({{'B', 300}, {'S', 1000}, {'B', 1600}}), 'B', 300, 0},
      {"obscured wins with its height", WithLayers({{'B', 1000}, {'X', 200}}), 'X', 200, 0},
      {"obscured without height", WithLayers({{'F', 1000}, {'X', kMiss}}), 'X', kMiss, 0},
      {"obscured then few stays obscured", WithLayers({{'X', 300}, {'F', 1000}}), 'X', 300, 0},
      {"clear then few", WithLayers({{'C', kMiss}, {'F', 3000}}), 'F', 3000, 0},
      {"few then clear stays few", WithLayers({{'F', 3000}, {'C', kMiss}}), 'F', 3000, 0},
      {"thin first counts as clear", WithLayers({{'s', 2000}, {'b', 9000}}), 'C', kMiss, 0},
      {"thin then broken", WithLayers({{'s', 2000}, {'B', 9000}}), 'B', 9000, 0},
      {"okta digits", WithLayers({{'1', 1000}, {'5', 3000}, {'8', 6000}}), 'O', 3000, 0},
      {"oktas 3 then 2", WithLayers({{'3', 1200}, {'2', 4000}}), 'S', 1200, 0},
      {"oktas 9", WithLayers({{'2', 1200}, {'9', kMiss}}), 'X', kMiss, 0},
      {"oktas 0 first", WithLayers({{'0', kMiss}, {'6', 2000}}), 'B', 2000, 0},
      {"five layers", WithLayers({{'F', 500}, {'S', 1000}, {'S', 2000}, {'B', 3000}, {'O', 4000}}),
       'O', 3000, 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.why);
    char cover = '?';
    float hght = 1.0f;
    EXPECT_EQ(WX_set_cloud(&c.report, &cover, &hght), c.status);
    EXPECT_EQ(cover, c.cover);
    EXPECT_EQ(hght, c.hght);
  }
}

// Purpose: a layer count outside 0 to 5 (a damaged record) reads no further than
// the five layers held.
TEST(WxSetCloud, LayerCountOutOfRange) {
  SFC_report r = WithLayers({{'F', 500}, {'S', 1000}, {'B', 2000}, {'O', 3000}, {'O', 4000}});
  r.num_cld = 9;
  char cover = '?';
  float hght = 0;
  EXPECT_EQ(WX_set_cloud(&r, &cover, &hght), 0);
  EXPECT_EQ(cover, 'O');
  EXPECT_EQ(hght, 2000);
  r.num_cld = -3;
  EXPECT_EQ(WX_set_cloud(&r, &cover, &hght), -1);
  EXPECT_EQ(cover, ' ');
  EXPECT_EQ(hght, kMiss);
}

TEST(WxSetCloud, NullArguments) {
  char cover = '?';
  float hght = 0;
  EXPECT_EQ(WX_set_cloud(nullptr, &cover, &hght), -1);
  EXPECT_EQ(cover, ' ');
  EXPECT_EQ(hght, kMiss);
  const SFC_report r = WithLayers({{'F', 2000}, {'B', 5000}});
  EXPECT_EQ(WX_set_cloud(&r, nullptr, nullptr), 0);
}

}  // namespace
