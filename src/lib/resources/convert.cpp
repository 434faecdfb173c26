// Conversion of resource values by kind: typed values delivered into an output area,
// or process state changed (flags, message level, requested file time).
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <string>
#include <utility>

#include "date/date.h"
#include "files/files.h"
#include "files/paths.h"
#include "geo/geo.h"
#include "messages/messages.h"
#include "resources/resources.h"
#include "util/chars.h"
#include "util/number.h"

namespace {

struct WordValue {
  const char *word;
  int value;
};

constexpr WordValue file_params[] = {
    {"use", 3}, {"over", 1}, {"calc", 1}, {"reuse", 3}, {"recalc", 1}, {"app", 2},
};

constexpr WordValue plot_types[] = {
    {"raw", 0},     {"none", 99},  {"value", 17},  {"gvalue", 17}, {"cf", 15},    {"lcf", 16},
    {"ln", 12},     {"dln", 13},   {"ndln", 14},   {"vect", 21},   {"barb", 22},  {"strm", 23},
    {"stream", 23}, {"an", 54},    {"number", 54}, {"pm", 55},     {"skewt", 62}, {"ema", 63},
    {"teph", 64},   {"rteph", 65}, {"stuve", 61},  {"hodo", 69},
};

constexpr WordValue draw_words[] = {
    {"text_ul", 1}, {"text_uc", 2}, {"text_ur", 3}, {"text_ll", 4}, {"text_lc", 5}, {"text_lr", 6},
    {"data", 7},    {"map", 8},     {"grid", 9},    {"sum", 10},    {"bord", 11},
};

template <size_t N>
const WordValue *lookup(const WordValue (&table)[N], const char *word) {
  for (const WordValue &w : table)
    if (stricmp(w.word, word) == 0) return &w;
  return nullptr;
}

// Hour and minute counts beyond this are no time: they count as not given (and their
// negation cannot overflow).
constexpr int HOUR_FIELD_MAX = 1000000;

// How the number at the start of a resource value reads.
enum class Lead {
  kNone,        // no number starts the text (it reads as 0)
  kNumber,      // a number that fits
  kOutOfRange,  // digits, but a value too large for the result
};

// The integer at the start of `text` (white space and a sign allowed before it), in
// base 10 or 16 (where "0x" may lead the digits). `value` is 0 unless kNumber.
Lead LeadingLong(const char *text, int base, long &value) {
  const char *p = text;
  while (zyp::is_space(*p)) ++p;
  const char *digits = (*p == '+' || *p == '-') ? p + 1 : p;
  if (base == 16 && digits == p && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') &&
      zyp::is_xdigit(p[2]))
    digits = p = p + 2;
  value = 0;
  if (zyp::read_long_prefix(p, value, base) > 0) return Lead::kNumber;
  value = 0;
  const bool digit = base == 16 ? zyp::is_xdigit(*digits) : zyp::is_digit(*digits);
  return digit ? Lead::kOutOfRange : Lead::kNone;
}

// The decimal number at the start of `text` (white space and a sign allowed before
// it). `value` is 0 unless kNumber; a value beyond a float's range is kOutOfRange.
Lead LeadingFloat(const char *text, float &value) {
  const char *p = text;
  while (zyp::is_space(*p)) ++p;
  value = 0.0f;
  double v = 0;
  if (zyp::read_double_prefix(p, v) > 0) {
    if (std::fabs(v) > std::numeric_limits<float>::max()) return Lead::kOutOfRange;
    value = static_cast<float>(v);
    return Lead::kNumber;
  }
  const char *digits = (*p == '+' || *p == '-') ? p + 1 : p;
  const bool digit = zyp::is_digit(*digits) || (*digits == '.' && zyp::is_digit(digits[1]));
  return digit ? Lead::kOutOfRange : Lead::kNone;
}

// Reads an integer field of a time ("%d" of a scan): white space, a sign, digits.
// A value beyond the range of a field reads as missing (-9999). False, with `p`
// unmoved, when no integer starts there.
bool scan_field(const char *&p, std::int32_t &out) {
  long v = 0;
  const Lead lead = LeadingLong(p, 10, v);
  if (lead == Lead::kNone) return false;
  while (zyp::is_space(*p)) ++p;
  if (*p == '+' || *p == '-') ++p;
  while (zyp::is_digit(*p)) ++p;
  out = (lead == Lead::kNumber && v >= -HOUR_FIELD_MAX && v <= HOUR_FIELD_MAX)
            ? static_cast<std::int32_t>(v)
            : -9999;
  return true;
}

// Reads a field, then, when `sep` follows it, the next one, and so on: the fields
// of "%dd%d:%d" or "%d:%d". Stops at the first that is not there.
void scan_fields(const char *p, std::initializer_list<std::pair<std::int32_t *, char>> fields) {
  for (const auto &[field, sep] : fields) {
    if (!scan_field(p, *field)) return;
    if (sep == '\0') return;
    if (*p != sep) return;
    ++p;
  }
}

bool starts_numeric(const char *s, bool sign_ok) {
  const char c = s[0];
  return zyp::is_digit(c) || (sign_ok && (c == '-' || c == '+'));
}

void apply_draw(const char *data) {
  ParsedList items;
  parse_string(data, ',', items);
  if (items.empty()) return;
  if (items[0].empty() || (items[0][0] != '+' && items[0][0] != '-'))
    for (int i = 0; i < PLOT_NUM; ++i) FLAG_setplot(i, 0);
  for (const std::string &item : items) {
    int val = 1;
    const char *word = item.c_str();
    if (*word == '+' || *word == '-') {
      val = *word == '+' ? 1 : 0;
      ++word;
    }
    if (stricmp(word, "none") == 0) {
      FLAG_setplot(12, 0);
    } else if (stricmp(word, "all") == 0) {
      FLAG_setplot(12, 1);
    } else if (stricmp(word, "text") == 0) {
      FLAG_setplot(0, val);
      FLAG_setplot(11, val);
    } else if (const WordValue *w = lookup(draw_words, word)) {
      FLAG_setplot(w->value, val);
    }
  }
}

// Reads `n` digits at `p` into *out when they are all there; advances p.
bool fixed_digits(const char *&p, int n, int *out) {
  for (int i = 0; i < n; ++i)
    if (!zyp::is_digit(p[i])) return false;
  int v = 0;
  for (int i = 0; i < n; ++i) v = v * 10 + (p[i] - '0');
  *out = v;
  p += n;
  return true;
}

// The requested file time of the "hour" resource.

void bound_field(std::int32_t &v) {
  if (v != -9999 && (v > HOUR_FIELD_MAX || v < -HOUR_FIELD_MAX)) v = -9999;
}

void apply_hour(const char *data) {
  Date d{-9999, -9999, -9999, -9999, -9999, -9999, -9999, -9999};
  size_t len = std::strlen(data);
  bool colon = std::strchr(data, ':') != nullptr;
  if (data[0] == '#') {
    const char *p = data + 1;
    if (fixed_digits(p, 4, &d.year) && fixed_digits(p, 2, &d.month) && fixed_digits(p, 2, &d.day) &&
        fixed_digits(p, 2, &d.hour))
      fixed_digits(p, 2, &d.min);
  } else if (len == 6 && !colon) {
    // Fixed widths cannot overflow; a field the scan does not reach stays missing,
    // so the count of fields read is not needed.
    // NOLINTNEXTLINE(cert-err34-c)
    std::sscanf(data, "%2d%2d%2d", &d.month, &d.day, &d.hour);
  } else if (len == 4 && !colon && zyp::is_digit(data[0])) {
    // NOLINTNEXTLINE(cert-err34-c)
    std::sscanf(data, "%2d%2d", &d.day, &d.hour);
  } else if (len == 3 && !colon && zyp::is_digit(data[0])) {
    // NOLINTNEXTLINE(cert-err34-c)
    std::sscanf(data, "%1d%2d", &d.day, &d.hour);
  } else if (std::strchr(data, 'd')) {
    scan_fields(data, {{&d.day, 'd'}, {&d.hour, ':'}, {&d.min, '\0'}});
    bound_field(d.day);
    bound_field(d.hour);
    bound_field(d.min);
  } else if (data[0] == ':') {
    const char *p = data + 1;
    scan_field(p, d.min);
    bound_field(d.min);
  } else if (data[0] == '-' && data[1] == ':') {
    if (const char *p = data + 2; scan_field(p, d.min)) {
      bound_field(d.min);
      if (d.min != -9999) d.min = -d.min;
    }
  } else {
    scan_fields(data, {{&d.hour, ':'}, {&d.min, '\0'}});
    bound_field(d.hour);
    bound_field(d.min);
    if (data[0] == '-' && d.hour == 0) {
      d.hour = -9999;
      if (d.min != -9999) d.min = -d.min;
    }
  }
  FILE_set_time(&d);
}

}  // namespace

int RES_set_device(const char *str) {
  switch (str ? str[0] : '\0') {
    // clang-format off
    case 'P': case 'p': return 4;
    case 'H': case 'h': case 'Q': case 'q': return 5;
    case 'M': case 'm': return 3;
    case 'W': case 'w': return 6;
    // clang-format on
    default: return 1;
  }
}

int RES_conv_data(const char *data, void *out, DEF_convert cvt) {
  switch (cvt) {
    case CV_batch:
      FLAG_set(FLAG_BATCH, 1);
      if (MESS_check_set() == 0) MESS_set(MESS_USER_SET, M_PRINT | M_ERROR | M_WARN);
      return 1;
    case CV_help: FLAG_set(FLAG_HELP, 1); return 1;
    case CV_bool: {
      if (!out) return 0;
      int *b = static_cast<int *>(out);
      if (!data || !*data || stricmp(data, "true") == 0 || stricmp(data, "on") == 0 ||
          stricmp(data, "yes") == 0) {
        *b = 1;
      } else if (stricmp(data, "false") == 0 || stricmp(data, "off") == 0 ||
                 stricmp(data, "no") == 0) {
        *b = 0;
      }
      return 1;
    }
    default: break;
  }
  if (!data) return 0;
  switch (cvt) {
    case CV_mess: MESS_set_str(data); return 1;
    case CV_hour: apply_hour(data); return 1;
    case CV_file_param:
      if (const WordValue *w = lookup(file_params, data)) FLAG_set(FLAG_FILE_PARAM, w->value);
      return 1;
    case CV_plot_type:
      if (const WordValue *w = lookup(plot_types, data)) FLAG_set(FLAG_PLOT_TYPE, w->value);
      return 1;
    case CV_draw: apply_draw(data); return 1;
    default: break;
  }
  if (cvt == CV_none || cvt == CV_current || cvt == CV_name || cvt == CV_ingestor ||
      cvt == CV_strings)
    return 1;
  if (!out) return 0;
  switch (cvt) {
    case CV_int:
      // A value out of the result's range leaves the output as it was, as a value
      // that is no number at all does.
      if (starts_numeric(data, true)) {
        long v = 0;
        const int base = (data[1] == 'x' || data[1] == 'X') ? 16 : 10;
        if (LeadingLong(data, base, v) != Lead::kOutOfRange && v >= INT_MIN && v <= INT_MAX)
          *static_cast<int *>(out) = static_cast<int>(v);
      }
      return 1;
    case CV_short:
      if (starts_numeric(data, false)) {
        long v = 0;
        if (LeadingLong(data, 10, v) == Lead::kNumber && v >= SHRT_MIN && v <= SHRT_MAX)
          *static_cast<short *>(out) = static_cast<short>(v);
      }
      return 1;
    case CV_long:
      if (starts_numeric(data, false)) {
        long v = 0;
        if (LeadingLong(data, 10, v) == Lead::kNumber) *static_cast<long *>(out) = v;
      }
      return 1;
    case CV_float: {
      float v = 0.0f;
      if (LeadingFloat(data, v) != Lead::kOutOfRange) *static_cast<float *>(out) = v;
      return 1;
    }
    case CV_color: {
      long v = 0;
      if (LeadingLong(data, 10, v) != Lead::kOutOfRange) *static_cast<long *>(out) = v;
      return 1;
    }
    case CV_string: *static_cast<const char **>(out) = data; return 1;
    case CV_strcpy: *static_cast<std::string *>(out) = data; return 1;
    case CV_path: {
      auto *path = static_cast<std::string *>(out);
      if (stricmp(data, "none") == 0) {
        path->clear();
      } else {
        *path = data;
        if (!path->empty() && path->back() != '/') path->push_back('/');
      }
      return 1;
    }
    case CV_region:
    case CV_domain: DOM_decode(data, static_cast<Domain *>(out)); return 1;
    case CV_device: {
      ParsedList items;
      parse_string(data, ',', items);
      FLAG_set(FLAG_DEVICE, items.empty() ? 1 : RES_set_device(items[0].c_str()));
      if (items.size() >= 2) *static_cast<const char **>(out) = std::strchr(data, ',') + 1;
      return 1;
    }
    default: return 1;
  }
}
