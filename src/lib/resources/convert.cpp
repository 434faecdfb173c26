// Conversion of resource values by kind: typed values delivered into an output area,
// or process state changed (flags, message level, requested file time).
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "date/date.h"
#include "files/files.h"
#include "files/paths.h"
#include "geo/geo.h"
#include "messages/messages.h"
#include "resources/resources.h"

namespace {

struct WordValue {
  const char *word;
  int value;
};

constexpr WordValue file_params[] = {
    {"use", 3}, {"over", 1}, {"calc", 1}, {"reuse", 3}, {"recalc", 1}, {"app", 2},
};

constexpr WordValue plot_types[] = {
    {"raw", 0},    {"none", 99},  {"value", 17}, {"gvalue", 17}, {"cf", 15},    {"lcf", 16},
    {"ln", 12},    {"dln", 13},   {"ndln", 14},  {"vect", 21},   {"barb", 22},  {"strm", 23},
    {"stream", 23}, {"an", 54},   {"number", 54}, {"pm", 55},    {"skewt", 62}, {"ema", 63},
    {"teph", 64},  {"rteph", 65}, {"stuve", 61}, {"hodo", 69},
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

bool starts_numeric(const char *s, bool sign_ok) {
  unsigned char c = static_cast<unsigned char>(s[0]);
  return std::isdigit(c) || (sign_ok && (c == '-' || c == '+'));
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
    if (!std::isdigit(static_cast<unsigned char>(p[i]))) return false;
  int v = 0;
  for (int i = 0; i < n; ++i) v = v * 10 + (p[i] - '0');
  *out = v;
  p += n;
  return true;
}

// The requested file time of the "hour" resource.
// Hour and minute counts beyond this are no time: they count as not given (and their
// negation cannot overflow).
constexpr int HOUR_FIELD_MAX = 1000000;

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
    std::sscanf(data, "%2d%2d%2d", &d.month, &d.day, &d.hour);
  } else if (len == 4 && !colon && std::isdigit(static_cast<unsigned char>(data[0]))) {
    std::sscanf(data, "%2d%2d", &d.day, &d.hour);
  } else if (len == 3 && !colon && std::isdigit(static_cast<unsigned char>(data[0]))) {
    std::sscanf(data, "%1d%2d", &d.day, &d.hour);
  } else if (std::strchr(data, 'd')) {
    std::sscanf(data, "%dd%d:%d", &d.day, &d.hour, &d.min);
    bound_field(d.day);
    bound_field(d.hour);
    bound_field(d.min);
  } else if (data[0] == ':') {
    std::sscanf(data + 1, "%d", &d.min);
    bound_field(d.min);
  } else if (data[0] == '-' && data[1] == ':') {
    if (std::sscanf(data + 2, "%d", &d.min) == 1) {
      bound_field(d.min);
      if (d.min != -9999) d.min = -d.min;
    }
  } else {
    std::sscanf(data, "%d:%d", &d.hour, &d.min);
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
    case 'P': case 'p': return 4;
    case 'H': case 'h': case 'Q': case 'q': return 5;
    case 'M': case 'm': return 3;
    case 'W': case 'w': return 6;
    default: return 1;
  }
}

int RES_conv_data(const char *data, void *out, DEF_convert cvt) {
  switch (cvt) {
    case CV_batch:
      FLAG_set(FLAG_BATCH, 1);
      if (MESS_check_set() == 0) MESS_set(MESS_USER_SET, M_PRINT | M_ERROR | M_WARN);
      return 1;
    case CV_help:
      FLAG_set(FLAG_HELP, 1);
      return 1;
    case CV_bool: {
      if (!out) return 0;
      int *b = static_cast<int *>(out);
      if (!data || !*data) {
        *b = 1;
      } else if (stricmp(data, "true") == 0 || stricmp(data, "on") == 0 || stricmp(data, "yes") == 0) {
        *b = 1;
      } else if (stricmp(data, "false") == 0 || stricmp(data, "off") == 0 || stricmp(data, "no") == 0) {
        *b = 0;
      }
      return 1;
    }
    default:
      break;
  }
  if (!data) return 0;
  switch (cvt) {
    case CV_mess:
      MESS_set_str(data);
      return 1;
    case CV_hour:
      apply_hour(data);
      return 1;
    case CV_file_param:
      if (const WordValue *w = lookup(file_params, data)) FLAG_set(FLAG_FILE_PARAM, w->value);
      return 1;
    case CV_plot_type:
      if (const WordValue *w = lookup(plot_types, data)) FLAG_set(FLAG_PLOT_TYPE, w->value);
      return 1;
    case CV_draw:
      apply_draw(data);
      return 1;
    default:
      break;
  }
  if (cvt == CV_none || cvt == CV_current || cvt == CV_name || cvt == CV_ingestor || cvt == CV_strings) return 1;
  if (!out) return 0;
  switch (cvt) {
    case CV_int:
      if (starts_numeric(data, true)) {
        long v = (data[1] == 'x' || data[1] == 'X') ? std::strtol(data, nullptr, 16) : std::strtol(data, nullptr, 10);
        *static_cast<int *>(out) = static_cast<int>(v);
      }
      return 1;
    case CV_short:
      if (starts_numeric(data, false)) *static_cast<short *>(out) = static_cast<short>(std::atoi(data));
      return 1;
    case CV_long:
      if (starts_numeric(data, false)) *static_cast<long *>(out) = std::strtol(data, nullptr, 10);
      return 1;
    case CV_float:
      *static_cast<float *>(out) = static_cast<float>(std::atof(data));
      return 1;
    case CV_color:
      *static_cast<long *>(out) = std::strtol(data, nullptr, 10);
      return 1;
    case CV_string:
      *static_cast<const char **>(out) = data;
      return 1;
    case CV_strcpy:
      *static_cast<std::string *>(out) = data;
      return 1;
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
    case CV_domain:
      DOM_decode(data, static_cast<Domain *>(out));
      return 1;
    case CV_device: {
      ParsedList items;
      parse_string(data, ',', items);
      FLAG_set(FLAG_DEVICE, items.empty() ? 1 : RES_set_device(items[0].c_str()));
      if (items.size() >= 2) *static_cast<const char **>(out) = std::strchr(data, ',') + 1;
      return 1;
    }
    default:
      return 1;
  }
}
