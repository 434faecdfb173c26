// Weather and cloud codes: METAR groups and WMO numbers to the short weather
// code, the short code to words, and the ceiling of a report's cloud layers.
#include "surface/weather.h"

#include <cstring>
#include <string_view>

#include "util/chars.h"
#include "util/number.h"

namespace {

// A weather value as far as it can reach: up to its terminator, but never more
// than the characters the record's field holds.
std::string_view Bounded(const char *s) {
  if (!s) return {};
  return {s, strnlen(s, SFC_WEATHER_LEN)};
}

// Copies `text` into `out` of `size` bytes, cut to fit, always terminated.
void CopyOut(std::string_view text, char *out, std::size_t size) {
  if (!out || size == 0) return;
  const std::size_t n = text.size() < size - 1 ? text.size() : size - 1;
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
}

// ---- METAR groups -------------------------------------------------------------

enum class PairKind {
  STOP,         // in the vicinity: the whole value gives no weather
  IGNORE,       // shallow, patches: passed over
  DESCRIPTOR,   // one letter put before (or, for showers, after) the precipitation
  PRECIP,       // the first precipitation type of the group
  OBSCURATION,  // one letter used when there is no precipitation
};

struct MetarPair {
  char code[3];  // the two letters as written
  PairKind kind;
  const char *value;  // letters of the short code
};

// clang-format off
constexpr MetarPair kMetarPairs[] = {
    {"VC", PairKind::STOP, ""},
    {"MI", PairKind::IGNORE, ""},
    {"BC", PairKind::IGNORE, ""},
    {"DR", PairKind::DESCRIPTOR, "B"},   // low drifting counts as blowing
    {"BL", PairKind::DESCRIPTOR, "B"},
    {"TS", PairKind::DESCRIPTOR, "T"},
    {"SH", PairKind::DESCRIPTOR, "W"},
    {"FZ", PairKind::DESCRIPTOR, "Z"},
    {"DZ", PairKind::PRECIP, "L"},
    {"RA", PairKind::PRECIP, "R"},
    {"SN", PairKind::PRECIP, "S"},
    {"SG", PairKind::PRECIP, "SG"},
    {"GS", PairKind::PRECIP, "IP"},      // small hail and snow pellets as ice pellets
    {"PE", PairKind::PRECIP, "IP"},      // the older letters for ice pellets
    {"PL", PairKind::PRECIP, "IP"},
    {"IC", PairKind::PRECIP, "IC"},
    {"FG", PairKind::OBSCURATION, "F"},
    {"BR", PairKind::OBSCURATION, "H"},  // mist is written as haze
    {"HZ", PairKind::OBSCURATION, "H"},
    {"SA", PairKind::OBSCURATION, "D"},  // sand is written as dust
    {"DU", PairKind::OBSCURATION, "D"},
    {"FU", PairKind::OBSCURATION, "K"},
};
// clang-format on

const MetarPair *FindPair(std::string_view letters) {
  for (const MetarPair &p : kMetarPairs)
    if (letters == std::string_view(p.code, 2)) return &p;
  return nullptr;
}

// ---- WMO present weather (code table 4677) -------------------------------------

// clang-format off
constexpr const char *kWmoCodes[100] = {
    " ", " ", " ", " ", "K", "H", "D", "D", "D", "D",                      // 0-9
    "F", "F", "F", " ", " ", " ", " ", "T", " ", " ",                      // 10-19
    " ", " ", " ", " ", " ", " ", " ", " ", "F", "T",                      // 20-29
    "D", "D", "D", "D", "D", "D", "BS", "BS", "BS", "BS",                  // 30-39
    "F", "F", "F", "F", "F", "F", "F", "F", "F", "F",                      // 40-49
    "L-", "L-", "L", "L", "L+", "L+", "ZL-", "ZL", "L-R", "LR",            // 50-59
    "R-", "R-", "R", "R", "R+", "R+", "ZR-", "ZR", "R-L", "RL",            // 60-69
    "S-", "S-", "S", "S", "S+", "S+", "IC", "SG", "IC", "IP",              // 70-79
    "RW-", "RW", "RW+", "RW-SW-", "RWSW", "SW-", "SW", "IPW", "IPW", "A",  // 80-89
    "A", "R-", "R", "S-", "S", "TRW-", "TRW", "TRW+", "TRWD", "TRW+A",     // 90-99
};
// clang-format on

// ---- words ------------------------------------------------------------------------

struct WeatherWords {
  const char *code;  // head of a short code; the words cover all its characters
  const char *words;
};

// Tried in order, first match wins: a longer head comes before any shorter head
// it starts with (TRW+ before TRW before TR+ ... before T).
// clang-format off
constexpr WeatherWords kWords[] = {
    {"A", "hail"},
    {"K", "smoke"},
    {"H", "haze"},
    {"F", "fog"},
    {"GF", "ground fog"},
    {"TRW+", "heavy thunderstorm"},
    {"TRW-", "light thunderstorm"},
    {"TRW", "moderate thunderstorm"},
    {"TR+", "heavy thunderstorm"},
    {"TR-", "light thunderstorm"},
    {"TR", "moderate thunderstorm"},
    {"T+", "heavy thunder"},
    {"T-", "light thunder"},
    {"T", "thunder"},
    {"RW+", "heavy rain showers"},
    {"RW-", "light rain showers"},
    {"RW", "moderate rain showers"},
    {"R+", "heavy rain"},
    {"R-", "light rain"},
    {"R", "moderate rain"},
    {"SW+", "heavy snow showers"},
    {"SW-", "light snow showers"},
    {"SW", "moderate snow showers"},
    {"S+", "heavy snow"},
    {"S-", "light snow"},
    {"SG", "snow grains"},
    {"SP", "snow pellets"},
    {"S", "moderate snow"},
    {"L+", "heavy drizzle"},
    {"L-", "light drizzle"},
    {"L", "moderate drizzle"},
    {"ZR+", "heavy freezing rain"},
    {"ZR-", "light freezing rain"},
    {"ZR", "moderate freezing rain"},
    {"ZL+", "heavy freezing drizzle"},    // WMO 56, 57 and METAR FZDZ
    {"ZL-", "light freezing drizzle"},
    {"ZL", "moderate freezing drizzle"},
    {"BD", "blowing dust"},
    {"BS", "blowing snow"},
    {"IP", "ice pellets"},
    {"IC", "ice crystals"},
    {"IF", "ice fog"},
    {"D", "dust"},
};
// clang-format on

// What every number past the table's range reads as.
constexpr int kPastTable = 1000;

// The leading digits of `text` as a number (0 when it starts with none);
// anything past the table's range, however long, reads as kPastTable.
int LeadingNumber(std::string_view text) {
  if (text.empty() || !zyp::is_digit(text.front())) return 0;
  long n = 0;
  // Digits too many for a long are past the table all the same.
  if (zyp::read_long_prefix(text, n) == 0 || n >= kPastTable) return kPastTable;
  return static_cast<int>(n);
}

}  // namespace

// Reads the first METAR group from the left: a sign sets the intensity, any other
// two letters are looked up. Reading ends at the first pair that is not in the
// table, which is also how a second precipitation type ("-RASN") and the '_'
// before the next group end it. A later descriptor or obscuration replaces an
// earlier one.
//
// The code is then put together: an obscuration alone when there is no
// precipitation; "T" for thunder without precipitation; otherwise the descriptor
// and the precipitation (showers "W" after it) and then the sign. A group with
// neither precipitation, obscuration nor thunder ("-UP", "+FC", "SH") has no
// short code: a bare sign or descriptor would describe nothing, so it gives the
// empty text.
int WX_metar_weather(const char *wx, char *wx_str) {
  if (!wx_str) return -1;
  std::string_view text = Bounded(wx);
  if (!text.empty() && text.front() == '!') text.remove_prefix(1);

  char intensity = '\0';
  char descriptor = '\0';
  char obscuration = '\0';
  std::string_view precip;

  while (!text.empty()) {
    if (text.front() == '-' || text.front() == '+') {
      intensity = text.front();
      text.remove_prefix(1);
      continue;
    }
    if (text.size() < 2) break;
    const MetarPair *pair = FindPair(text.substr(0, 2));
    text.remove_prefix(2);
    if (!pair) break;
    bool stop = false;
    switch (pair->kind) {
      case PairKind::STOP: wx_str[0] = '\0'; return 0;
      case PairKind::IGNORE: break;
      case PairKind::DESCRIPTOR: descriptor = pair->value[0]; break;
      case PairKind::OBSCURATION: obscuration = pair->value[0]; break;
      case PairKind::PRECIP:
        if (!precip.empty())
          stop = true;
        else
          precip = pair->value;
        break;
    }
    if (stop) break;
  }

  char code[WX_CODE_SIZE] = {};
  std::size_t n = 0;
  if (precip.empty()) {
    if (obscuration)
      code[n++] = obscuration;
    else if (descriptor == 'T')
      code[n++] = 'T';
  } else {
    if (descriptor && descriptor != 'W') code[n++] = descriptor;
    for (char c : precip) code[n++] = c;
    if (descriptor == 'W') code[n++] = 'W';
    if (intensity) code[n++] = intensity;
  }
  CopyOut(std::string_view(code, n), wx_str, WX_CODE_SIZE);
  return 0;
}

int WX_wmo_weather(int wx, char *wx_str) {
  if (!wx_str) return -1;
  const char *code = (wx >= 0 && wx < 100) ? kWmoCodes[wx] : " ";
  CopyOut(code, wx_str, WX_CODE_SIZE);
  return 0;
}

int WX_short_code(const char *str, char *code, std::size_t size) {
  if (!code || size == 0) return -1;
  const std::string_view text = Bounded(str);
  char converted[WX_CODE_SIZE];
  if (!text.empty() && zyp::is_digit(text.front())) {
    WX_wmo_weather(LeadingNumber(text), converted);
    CopyOut(converted, code, size);
  } else if (!text.empty() && text.front() == '!') {
    WX_metar_weather(str, converted);
    CopyOut(converted, code, size);
  } else {
    CopyOut(text, code, size);
  }
  return 0;
}

// Only the head of the code is put into words; the count returned lets a caller
// go on from there ("RW-F": "light rain showers", 3, and "fog" at the fourth
// character). G, Z, B and I name nothing by themselves, so a code such as "GX"
// or "ZX" has no words.
int WX_weather_text(const char *str, char *out_str) {
  if (!out_str) return 0;
  out_str[0] = '\0';
  std::string_view code = Bounded(str);
  char converted[WX_CODE_SIZE];
  if (!code.empty() && (zyp::is_digit(code.front()) || code.front() == '!')) {
    WX_short_code(str, converted, sizeof converted);
    code = converted;
  }
  for (const WeatherWords &row : kWords) {
    if (code.starts_with(row.code)) {
      CopyOut(row.words, out_str, WX_TEXT_SIZE);
      return static_cast<int>(std::strlen(row.code));
    }
  }
  return 0;
}

// The running cover rises through the layers, lowest first, and takes the height
// of the layer where it rose: few, then scattered, then broken or overcast. Once
// the sky is broken or overcast, a later broken or overcast layer changes the
// cover but keeps the height of the lowest such layer, the ceiling. A few or
// scattered layer above a broken one (the cumulonimbus layer of "BKN015
// FEW017CB") does not lower the cover: the ceiling stays where it is. An
// obscured layer (vertical visibility) always wins with its own height. Clear
// and thin layers count only while nothing else has been seen.
int WX_set_cloud(const SFC_report *report, char *cover, float *hght) {
  char c = ' ';
  float h = SFC_MISSING_F;
  int layers = report ? report->num_cld : 0;
  if (layers < 0) layers = 0;
  if (layers > SFC_MAX_CLD) layers = SFC_MAX_CLD;

  int status = -1;
  if (layers == 1) {
    c = report->cld_cover[0];
    h = report->cld_height[0];
  } else if (layers > 1) {
    status = 0;
    for (int i = 0; i < layers; ++i) {
      const float height = report->cld_height[i];
      switch (report->cld_cover[i]) {
        case 'F':
        case '1':
          if (c == 'C' || c == ' ') {
            h = height;
            c = 'F';
          }
          break;
        case '2':
        case '3':
        case 'S':
          if (c == 'C' || c == 'F' || c == ' ') {
            h = height;
            c = 'S';
          }
          break;
        case '4':
        case '5':
        case '6':
        case 'B':
          if (c == 'C' || c == 'F' || c == 'S' || c == ' ') h = height;
          c = 'B';
          break;
        case '7':
        case '8':
        case 'O':
          if (c == 'C' || c == 'F' || c == 'S' || c == ' ') h = height;
          c = 'O';
          break;
        case '9':
        case 'X':
          h = height;
          c = 'X';
          break;
        default:  // clear ('C', '0') and the thin codes
          if (c < '2') {
            c = 'C';
            h = SFC_MISSING_F;
          }
          break;
      }
    }
  }
  if (cover) *cover = c;
  if (hght) *hght = h;
  return status;
}
