// The two text forms of converted surface files: one record line into an SFC_report.
//
// Both forms were written with printf and read with scanf, so the fields follow
// scanf's rules: a number skips the white space before it and takes at most its
// width of characters, a character conversion takes the next character as it is,
// and other characters of the form must be there exactly. The first field that
// does not match ends the line; what was read before it stays. Numbers that do not
// fit their type (an integer of twelve digits, a real beyond the float range) do not
// match either. Infinities, not-a-numbers and hexadecimal numbers are no numbers.
//
// Old form (kinds 1 and 2), one line:
//   id  t. td. wind. alt. pres. vis. ceil cover. weather. [L lat. lon.] [P app.]
//       [r 6-h precip.] [R 24-h precip.] [T extreme.] [S snow.] [C types.] [G gust.]
//   "KDEN   35. 19.1614.008.190.100120F. .P201.r25.R1.05.T44.G22."
// New form (kinds 3 and 4), one line ending with '$':
//   id t td wind alt pres vis clouds weather [@time] [Llat,lon] [P app] [p r1]
//       [Q r3] [r r6] [q r12] [R r24] [X max] [x max6] [N min] [n min6] [T extreme]
//       [S snow] [C types] [G gust] [s sun] [t sst] [p wave period] [h wave height]
//       [#comment]$
//   "KDEN 35.0 19.0 16014 3008 10190 10.00 120F,220F - @2353 P2015 X44 N35 #AO2 $"
// The lettered groups are optional and read in the order shown: a group that is
// absent is passed over, a letter met out of its place is not read again.
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

#include "surface/cvt_fields.h"
#include "surface/cvt_reader.h"
#include "util/chars.h"
#include "util/util.h"

namespace {

using sfc_cvt::CopyField;
using sfc_cvt::IsCover;
using sfc_cvt::PlaceExtreme;

// Reading one line as scanf would, field by field.
class Scan {
 public:
  explicit Scan(std::string_view text) : s_(text) {}

  char Peek() const { return i_ < s_.size() ? s_[i_] : '\0'; }
  bool AtEnd() const { return i_ >= s_.size(); }

  // White space in a form: any amount, none included.
  void Space() {
    while (i_ < s_.size() && zyp::is_space(s_[i_])) ++i_;
  }

  // An ordinary character of the form.
  bool Lit(char c) {
    if (i_ >= s_.size() || s_[i_] != c) return false;
    ++i_;
    return true;
  }

  // "%Nd" (width 0: "%d"): white space, a sign and digits, at most `width`
  // characters after the white space.
  bool Int(int width, int &out) {
    Space();
    std::size_t end =
        width > 0 ? std::min(s_.size(), i_ + static_cast<std::size_t>(width)) : s_.size();
    // Read here rather than with zyp::read_long_prefix: a record line holds a dozen
    // of these short fields, and the call costs several times the loop. The loop
    // stops before an overflow.
    std::size_t j = i_;
    bool negative = false;
    if (j < end && (s_[j] == '-' || s_[j] == '+')) negative = s_[j++] == '-';
    const std::size_t digits = j;
    long long v = 0;
    for (; j < end && zyp::is_digit(s_[j]); ++j) {
      v = v * 10 + (s_[j] - '0');
      if (v > 2147483648LL) return false;  // beyond an int: no number
    }
    if (j == digits) return false;
    if (negative) v = -v;
    if (v > 2147483647LL) return false;
    out = static_cast<int>(v);
    i_ = j;
    return true;
  }

  // "%f": white space, then a decimal number with an optional sign, point and
  // exponent.
  bool Float(float &out) {
    Space();
    std::size_t j = i_;
    if (j < s_.size() && (s_[j] == '-' || s_[j] == '+')) ++j;
    const std::size_t start = Peek() == '+' ? i_ + 1 : i_;
    std::size_t mantissa = 0;
    for (; j < s_.size() && zyp::is_digit(s_[j]); ++j) ++mantissa;
    if (j < s_.size() && s_[j] == '.') {
      for (++j; j < s_.size() && zyp::is_digit(s_[j]); ++j) ++mantissa;
    }
    if (mantissa == 0) return false;
    if (j < s_.size() && (s_[j] == 'e' || s_[j] == 'E')) {
      std::size_t k = j + 1;
      if (k < s_.size() && (s_[k] == '-' || s_[k] == '+')) ++k;
      if (k < s_.size() && zyp::is_digit(s_[k])) {
        for (j = k; j < s_.size() && zyp::is_digit(s_[j]); ++j) {
        }
      }
    }
    double v = 0;
    const auto r = std::from_chars(s_.data() + start, s_.data() + j, v);
    if (r.ec != std::errc() || !std::isfinite(v) || std::fabs(v) > 3.0e38) return false;
    out = static_cast<float>(v);
    i_ = j;
    return true;
  }

  // "%Ns" (width 0: "%s"): white space, then a word of 1 to `width` characters.
  bool Word(int width, std::string_view &out) {
    Space();
    std::size_t j = i_;
    while (j < s_.size() && !zyp::is_space(s_[j]) &&
           (width <= 0 || j - i_ < static_cast<std::size_t>(width)))
      ++j;
    if (j == i_) return false;
    out = s_.substr(i_, j - i_);
    i_ = j;
    return true;
  }

  // "%Nc": exactly `n` characters, white space included.
  bool Chars(std::size_t n, std::string_view &out) {
    if (s_.size() - i_ < n) return false;
    out = s_.substr(i_, n);
    i_ += n;
    return true;
  }

  // "%N[^stop]": 1 to `width` characters other than `stop`.
  bool Until(std::size_t width, char stop, std::string_view &out) {
    std::size_t j = i_;
    while (j < s_.size() && s_[j] != stop && j - i_ < width) ++j;
    if (j == i_) return false;
    out = s_.substr(i_, j - i_);
    i_ = j;
    return true;
  }

  // "%N[0123456789]": 1 to `width` digits.
  bool Digits(std::size_t width, int &out) {
    std::size_t j = i_;
    int v = 0;
    while (j < s_.size() && zyp::is_digit(s_[j]) && j - i_ < width) v = v * 10 + (s_[j++] - '0');
    if (j == i_) return false;
    out = v;
    i_ = j;
    return true;
  }

 private:
  std::string_view s_;
  std::size_t i_ = 0;
};

// An identifier of more than four characters is a WMO number as well: its leading
// digits, when it has any.
void WmoFromId(std::string_view id, SFC_report &r) {
  if (id.size() <= 4) return;
  int v = 0;
  std::size_t n = 0;
  for (; n < id.size() && zyp::is_digit(id[n]) && v <= 99999999; ++n) v = v * 10 + (id[n] - '0');
  if (n > 0) r.wmo = v;
}

// The altimeter setting in hundredths of an inch, its thousands left out where they
// are plain: 992 is 29.92 and 013 is 30.13; 1000 and above is the whole value.
float Altimeter(float a) {
  if (a < 0) return SFC_MISSING_F;
  if (a >= 1000) return a / 100.0f;
  if (a > 500) return static_cast<float>(20.0 + a / 100.0);
  return static_cast<float>(30.0 + a / 100.0);
}

// Sea-level pressure in tenths of a millibar without its thousands: 132 is 1013.2
// and 982 is 998.2; 1000 and above is the whole value.
float Pressure(float p) {
  if (p < 0) return SFC_MISSING_F;
  if (p >= 1000) return p / 10.0f;
  if (p > 500) return static_cast<float>(900.0 + p / 10.0);
  return static_cast<float>(1000.0 + p / 10.0);
}

// The identifier and location of a fully read record, in a fresh record.
void KeepLocation(SFC_report &r) {
  SFC_report loc;
  SFC_initialize(&loc);
  std::memcpy(loc.id, r.id, sizeof loc.id);
  loc.wmo = r.wmo;
  loc.lat = r.lat;
  loc.lon = r.lon;
  loc.elev = r.elev;
  r = loc;
}

// A ship's position in tenths of a degree; a position off the globe is missing.
void ShipPosition(SFC_report &r, int lat10, int lon10) {
  std::snprintf(r.area, sizeof r.area, "SHIP");
  r.elev = 0;
  if (lat10 >= -900 && lat10 <= 900 && lon10 >= -3600 && lon10 <= 3600) {
    r.lat = static_cast<float>(lat10) / 10.0f;
    r.lon = static_cast<float>(lon10) / 10.0f;
  }
}

// Wind written as one number: dddff, the direction in tens of degrees and the speed
// in knots, or (new form, above 4999) dddfff with the direction in degrees.
void Wind(SFC_report &r, int v, bool new_form) {
  if (v < 0) return;
  if (new_form && v > 4999) {
    const int dir = v / 1000;  // whole degrees: the digits above the speed
    r.w_spd = static_cast<float>(v % 1000);
    r.w_dir = static_cast<float>(dir);
  } else {
    const int dir = v / 100 * 10;  // tens of degrees: the digits above the speed
    r.w_spd = static_cast<float>(v % 100);
    r.w_dir = static_cast<float>(dir);
  }
}

// ---- old form ---------------------------------------------------------------------

// The fields after the identifier; returns when one does not match.
void ReadOld(Scan &sc, int hour, SFC_report &r) {
  int v = 0;
  if (!sc.Int(3, v)) return;
  if (v != -99) r.t = static_cast<float>(v);
  if (!sc.Lit('.') || !sc.Int(3, v)) return;
  if (v != -99) r.td = static_cast<float>(v);
  if (!sc.Lit('.') || !sc.Int(4, v)) return;
  Wind(r, v, false);
  if (!sc.Lit('.') || !sc.Int(3, v)) return;
  r.alt = Altimeter(static_cast<float>(v));
  if (!sc.Lit('.') || !sc.Int(3, v)) return;
  r.pmb = Pressure(static_cast<float>(v));
  if (!sc.Lit('.') || !sc.Int(3, v)) return;
  if (v >= 0) r.vis = static_cast<float>(v) / 10.0f;
  int height = 0;
  if (!sc.Lit('.') || !sc.Int(3, height)) return;
  std::string_view cover;
  if (!sc.Chars(1, cover)) return;
  if (IsCover(cover[0])) {
    r.num_cld = 1;
    r.cld_cover[0] = cover[0];
    if (height >= 0) r.cld_height[0] = static_cast<float>(height) * 100.0f;
  }
  std::string_view wx;
  if (!sc.Lit('.') || !sc.Until(9, '.', wx)) return;
  while (!wx.empty() && wx.front() == ' ') wx.remove_prefix(1);
  while (!wx.empty() && wx.back() == ' ') wx.remove_suffix(1);
  if (!wx.empty()) CopyField(r.weather, wx);
  if (!sc.Lit('.')) return;

  int a = 0, b = 0;
  if (sc.Lit('L')) {
    if (!sc.Int(4, a) || !sc.Lit('.') || !sc.Int(5, b) || !sc.Lit('.')) return;
    ShipPosition(r, a, b);
  }
  if (sc.Lit('P')) {
    if (!sc.Int(3, a) || !sc.Lit('.')) return;
    // app: the characteristic a (5 to 8 falling) and the change pp in tenths.
    if (a >= 0) r.ptend = static_cast<float>(a % 100) / 10.0f * (a >= 500 ? -1.0f : 1.0f);
  }
  // Precipitation: one number is hundredths of an inch, two are inches and
  // hundredths ("r25." 0.25, "r1.05." 1.05).
  for (auto [letter, field] : {std::pair{'r', &r.rain6}, std::pair{'R', &r.rain24}}) {
    if (!sc.Lit(letter)) continue;
    if (!sc.Int(0, a) || !sc.Lit('.')) return;
    float amount = static_cast<float>(a) / 100.0f;
    if (sc.Digits(2, b)) {
      amount = static_cast<float>(a + b / 100.0);
      if (a >= 0) *field = amount;
      if (!sc.Lit('.')) return;
    } else if (a >= 0) {
      *field = amount;
    }
  }
  if (sc.Lit('T')) {
    if (!sc.Int(0, a) || !sc.Lit('.')) return;
    // Two digits stand for a three-digit or a negative value, as the temperature of
    // the report shows: 5 with 95 degrees now is 105, 95 with 10 now is -5.
    const bool t_known = r.t != SFC_MISSING_F;
    if (t_known && a >= 0 && a <= 29 && r.t > 70)
      a += 100;
    else if (t_known && a >= 61 && a <= 99 && r.t < 30)
      a -= 100;
    PlaceExtreme(r, hour, static_cast<float>(a));
  }
  if (sc.Lit('S')) {
    if (!sc.Int(0, a) || !sc.Lit('.')) return;
    if (a >= 0) r.scover = static_cast<float>(a);
  }
  std::string_view types;
  if (sc.Lit('C')) {
    if (!sc.Word(3, types)) return;
    std::memcpy(r.cld_type, types.data(), types.size());
    if (!sc.Lit('.')) return;
  }
  if (sc.Lit('G')) {
    if (!sc.Int(0, a) || !sc.Lit('.')) return;
    if (a >= 0) r.w_gust = static_cast<float>(a);
  }
}

// ---- new form ---------------------------------------------------------------------

// The cloud list: items "35B" or "35:4" (height in hundreds of feet, -99 missing,
// and the cover), separated by commas; a first cover 'M' means no clouds. An item
// that is no height and cover ends the list.
void CloudList(std::string_view text, SFC_report &r) {
  ParsedList items;
  const std::string list(text);
  parse_string(list.c_str(), ',', items);
  for (const std::string &item : items) {
    if (r.num_cld >= SFC_MAX_CLD) break;
    Scan sc(item);
    float h = 0;
    std::string_view cover;
    if (!sc.Float(h)) break;
    sc.Lit(':');
    if (!sc.Chars(1, cover)) break;
    if (r.num_cld == 0 && cover[0] == 'M') break;  // no clouds
    if (!IsCover(cover[0])) break;
    r.cld_cover[r.num_cld] = cover[0];
    r.cld_height[r.num_cld] = h == -99.0f ? SFC_MISSING_F : h * 100.0f;
    ++r.num_cld;
  }
  free_parsed_array(items);
}

// An optional group "<letter><real> ": read into `field` scaled by `scale`
// (negative amounts of precipitation are missing). False when the letter is there
// but its number is not.
bool Group(Scan &sc, char letter, float &field, float scale = 1.0f, bool amount = false) {
  sc.Space();
  if (!sc.Lit(letter)) return true;
  float v = 0;
  if (!sc.Float(v)) return false;
  if (!(amount && v < 0)) field = v * scale;
  return true;
}

void ReadNew(Scan &sc, int hour, SFC_report &r) {
  float v = 0;
  int w = 0;
  if (!sc.Float(v)) return;
  if (v != -99.0f) r.t = v;
  if (!sc.Float(v)) return;
  if (v != -99.0f) r.td = v;
  if (!sc.Int(0, w)) return;
  Wind(r, w, true);
  if (!sc.Float(v)) return;
  r.alt = Altimeter(v);
  if (!sc.Float(v)) return;
  if (v >= 0) {
    // Without its thousands, the pressure of a high or a low needs the altimeter
    // setting or the temperature to tell which hundred it is in.
    float p = Pressure(v);
    const bool alt_known = r.alt != SFC_MISSING_F;
    if (v < 1000 && v > 500 &&
        ((alt_known && r.alt > 30.7f) || (r.t != SFC_MISSING_F && r.t < -10.0f)))
      p += 100.0f;
    else if (v <= 500 && alt_known && r.alt < 28.4f)
      p -= 100.0f;
    r.pmb = p;
  }
  if (!sc.Float(v)) return;
  if (v >= 0) r.vis = v;
  std::string_view clouds;
  if (!sc.Word(0, clouds)) return;
  CloudList(clouds, r);
  std::string_view wx;
  if (!sc.Word(SFC_CVT_WEATHER_LEN, wx)) return;
  if (wx.front() != '-') CopyField(r.weather, wx);

  int a = 0, b = 0;
  sc.Space();
  if (sc.Lit('@')) {
    if (!sc.Int(0, a)) return;
    if (a >= 0 && a <= 2359 && a % 100 < 60) r.time = a;
  }
  sc.Space();
  if (sc.Lit('L')) {
    if (!sc.Int(4, a) || !sc.Lit(',') || !sc.Int(5, b)) return;
    ShipPosition(r, a, b);
  }
  sc.Space();
  if (sc.Lit('P')) {
    if (!sc.Int(1, a) || !sc.Float(v)) return;
    if (a >= 0 && a <= 8) r.ptend_t = a;
    r.ptend = v / 10.0f;
  }
  if (!Group(sc, 'p', r.rain1, 0.01f, true) || !Group(sc, 'Q', r.rain3, 0.01f, true) ||
      !Group(sc, 'r', r.rain6, 0.01f, true) || !Group(sc, 'q', r.rain12, 0.01f, true) ||
      !Group(sc, 'R', r.rain24, 0.01f, true) || !Group(sc, 'X', r.max_t) ||
      !Group(sc, 'x', r.max6_t) || !Group(sc, 'N', r.min_t) || !Group(sc, 'n', r.min6_t))
    return;
  sc.Space();
  if (sc.Lit('T')) {
    if (!sc.Float(v)) return;
    PlaceExtreme(r, hour, v);
  }
  if (!Group(sc, 'S', r.scover)) return;
  sc.Space();
  std::string_view types;
  if (sc.Lit('C')) {
    if (!sc.Chars(SFC_CLD_TYPE_LEN, types)) return;
    std::memcpy(r.cld_type, types.data(), types.size());
  }
  if (!Group(sc, 'G', r.w_gust) || !Group(sc, 's', r.solar) || !Group(sc, 't', r.sst) ||
      !Group(sc, 'p', r.wav_per) || !Group(sc, 'h', r.wav_hgt))
    return;
  sc.Space();
  std::string_view comment;
  if (sc.Lit('#') && sc.Until(SFC_CVT_COMMENT_LEN, '$', comment)) CopyField(r.comment, comment);
}

// The identifier that starts every record line; false when there is none.
bool ReadId(Scan &sc, SFC_report &r, std::string_view &id) {
  if (!sc.Word(SFC_CVT_ID_LEN, id)) return false;
  CopyField(r.id, id);
  return true;
}

}  // namespace

int SFC_cvt_parse_old(std::string_view line, int hour, int rep_type, SFC_report *report) {
  if (!report) return -1;
  SFC_initialize(report);
  Scan sc(line);
  std::string_view id;
  if (!ReadId(sc, *report, id)) return -1;
  if (rep_type == SFC_CVT_ID) return 0;
  WmoFromId(id, *report);
  ReadOld(sc, hour, *report);
  if (rep_type == SFC_CVT_LOCATION) KeepLocation(*report);
  return 0;
}

int SFC_cvt_parse_new(std::string_view line, int hour, int rep_type, SFC_report *report) {
  if (!report) return -1;
  SFC_initialize(report);
  const std::size_t end = line.find('$');
  if (end != std::string_view::npos) line = line.substr(0, end);
  Scan sc(line);
  std::string_view id;
  if (!ReadId(sc, *report, id)) return -1;
  if (rep_type == SFC_CVT_ID) return 0;
  WmoFromId(id, *report);
  report->type = 1;  // a routine report
  ReadNew(sc, hour, *report);
  if (rep_type == SFC_CVT_LOCATION) KeepLocation(*report);
  return 0;
}
