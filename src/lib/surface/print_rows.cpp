// CSV and JSON Lines rows of decoded reports.
//
// One writer puts a row (or the CSV header) together in a buffer that lives for
// the run, field by field, and the finished line leaves in one MESS_print. The
// record's columns are listed once, in Record(): the header writer takes their
// names from the same calls that write the values, so names and values cannot
// drift apart.
#include "surface/print_rows.h"
#include "surface/print_testing.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "surface/print_var.h"
#include "util/chars.h"
#include "util/util.h"
#include "var/var.h"

namespace {

constexpr std::int64_t kDay = 86400;
constexpr std::int64_t kHalfDay = kDay / 2;
// Room for any float written in fixed notation (39 digits before the point,
// or 45 zeros and 9 digits after it).
constexpr std::size_t kNumberSize = 80;
// "YYYY-MM-DDT"
constexpr std::size_t kDayPrefix = 11;

// The input file the rows come from.
struct Input {
  bool dated = false;
  std::int64_t file_secs = 0;         // the file's time, seconds since 1970
  std::int64_t day_start = 0;         // 00 UTC of the file's day
  char days[3][kDayPrefix + 1] = {};  // the day before, the day, the day after
  bool raw_column = false;
};

// Bytes a text must not hold to be written as it is: control bytes, bytes above
// 127 and the quote (both formats), the backslash (JSON), the comma (CSV).
constexpr unsigned char kBoth = 1, kJsonOnly = 2, kCsvOnly = 4;
struct CareTable {
  unsigned char of[256] = {};
  constexpr CareTable() {
    for (int u = 0; u < 256; ++u)
      if (u < ' ' || u >= 127 || u == '"') of[u] = kBoth;
    of[static_cast<unsigned char>('\\')] = kJsonOnly;
    of[static_cast<unsigned char>(',')] = kCsvOnly;
  }
};
constexpr CareTable kCare;

// The line being written: a buffer that grows as needed and is kept for the run,
// with appends small enough to be inlined.
class Buffer {
 public:
  // Texts up to this length are copied byte by byte ("null", codes, short numbers).
  static constexpr std::size_t kShort = 4;

  void Clear() { n_ = 0; }
  void Put(char c) {
    if (n_ == buf_.size()) Grow(1);
    buf_[n_++] = c;
  }
  void Put(std::string_view s) {
    if (n_ + s.size() > buf_.size()) Grow(s.size());
    char *to = buf_.data() + n_;
    if (s.size() <= kShort) {
      for (const char c : s) *to++ = c;
    } else {
      std::memcpy(to, s.data(), s.size());
    }
    n_ += s.size();
  }
  // Appends `s`, runs of blanks as one blank when `squeeze`, unless it holds a
  // byte of the class `care` (kCare): then appends nothing and gives false.
  bool PutChecked(std::string_view s, unsigned char care, bool squeeze) {
    if (n_ + s.size() > buf_.size()) Grow(s.size());
    char *to = buf_.data() + n_;
    char prev = '\0';
    for (const char c : s) {
      if (kCare.of[static_cast<unsigned char>(c)] & care) return false;
      if (squeeze && c == ' ' && prev == ' ') continue;
      *to++ = c;
      prev = c;
    }
    n_ = static_cast<std::size_t>(to - buf_.data());
    return true;
  }
  // The line, NUL-terminated.
  const char *c_str() {
    Put('\0');
    --n_;
    return buf_.data();
  }
  void Release() { std::vector<char>().swap(buf_), n_ = 0; }

 private:
  void Grow(std::size_t more) { buf_.resize(std::max(2 * buf_.size(), n_ + more + 512)); }
  std::vector<char> buf_;
  std::size_t n_ = 0;
};

// Columns of a variable list that are the observation time or the raw text.
enum class Special { kNone, kObsTime, kRaw };

// The rows' state, kept for the run.
struct RowsState {
  Input input;                     // the input file the rows come from
  const char *raw_text = nullptr;  // of the report printed next
  Buffer line;                     // the row being written
  std::string scratch;             // a text being cleaned
  // Column names of the current variable list, made once per list.
  std::vector<std::string> list_names;
  std::vector<std::string> list_keys;  // the names as JSON keys
  std::vector<Special> list_special;   // which of them are special columns
  long list_names_of = -1;             // VAR_get_builds of the list they belong to
};

RowsState g_rows;

template <std::size_t N>
std::string_view Bounded(const char (&field)[N]) {
  return {field, strnlen(field, N)};
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  const std::int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

Input MakeInput(const Date *file) {
  Input in;
  if (file == nullptr || file->year == DATE_MISSING || file->month == DATE_MISSING ||
      file->day == DATE_MISSING || file->hour == DATE_MISSING)
    return in;
  Date d = *file;
  if (d.min == DATE_MISSING) d.min = 0;
  d.sec = 0;
  in.file_secs = DATE_num_sec(&d);
  in.day_start = FloorDiv(in.file_secs, kDay) * kDay;
  for (int k = 0; k < 3; ++k) {
    const std::int64_t t = in.day_start + (k - 1) * kDay;
    Date o;
    if (DATE_get_gmdate(&t, &o) != 0 || o.year < 0 || o.year > 9999) return Input{};
    std::snprintf(in.days[k], sizeof in.days[k], "%04d-%02d-%02dT", static_cast<int>(o.year),
                  static_cast<int>(o.month), static_cast<int>(o.day));
    if (std::strlen(in.days[k]) != kDayPrefix) return Input{};
  }
  in.dated = true;
  return in;
}

void TwoDigits(char *out, int v) {
  out[0] = static_cast<char>('0' + v / 10);
  out[1] = static_cast<char>('0' + v % 10);
}

// The observation time of `hhmm` in the file `in`; false when there is none.
bool ObsTime(const Input &in, int hhmm, char *out, std::size_t size) {
  if (size > 0) out[0] = '\0';
  if (!in.dated || size < SFC_OBS_TIME_SIZE || hhmm < 0 || hhmm / 100 > 23 || hhmm % 100 > 59)
    return false;
  const int hh = hhmm / 100, mm = hhmm % 100;
  const std::int64_t t = in.day_start + static_cast<std::int64_t>(hh * 3600 + mm * 60);
  int day = 1;
  if (t - in.file_secs > kHalfDay)
    day = 0;
  else if (in.file_secs - t > kHalfDay)
    day = 2;
  std::memcpy(out, in.days[day], kDayPrefix);
  TwoDigits(out + kDayPrefix, hh);
  out[kDayPrefix + 2] = ':';
  TwoDigits(out + kDayPrefix + 3, mm);
  out[kDayPrefix + 5] = 'Z';
  out[kDayPrefix + 6] = '\0';
  return true;
}

// `text` without the blanks, tabs and line ends at either end.
std::string_view Trimmed(std::string_view text) {
  std::size_t b = 0, e = text.size();
  while (b < e && zyp::is_space(text[b])) ++b;
  while (e > b && zyp::is_space(text[e - 1])) --e;
  return text.substr(b, e - b);
}

// `text` as it is written into `out`: blanks, tabs and line ends read as blanks,
// other control bytes and bytes above 127 as "?"; no blanks at either end, and
// runs of blanks inside kept, or made one blank when `squeeze`.
void Clean(std::string_view text, bool squeeze, std::string &out) {
  out.clear();
  std::size_t blanks = 0;
  for (const char ch : text) {
    if (zyp::is_space(ch)) {
      ++blanks;
      continue;
    }
    const auto u = static_cast<unsigned char>(ch);
    if (!out.empty() && blanks > 0) out.append(squeeze ? 1 : blanks, ' ');
    blanks = 0;
    out.push_back(u < ' ' || u >= 127 ? '?' : ch);
  }
}

enum class Mode { kHeader, kCsv, kJson };

// A column name, and the key of a JSON member made of it ("\"id\":").
struct Name {
  std::string_view plain;
  std::string_view json;
};
// clang-format off
#define ROWS_NAME(n) Name{n, "\"" n "\":"}
// clang-format on

// One row (or the CSV header) written into `line`, field by field. Column names
// are plain: letters, digits and a few signs that neither format quotes.
class Writer {
 public:
  explicit Writer(Mode mode) : mode_(mode) {
    g_rows.line.Clear();
    if (mode_ == Mode::kJson) g_rows.line.Put('{');
  }
  // The line as it is printed.
  const char *Finish() {
    if (mode_ == Mode::kJson) g_rows.line.Put('}');
    return g_rows.line.c_str();
  }

  void Missing(const Name &name) {
    if (Key(name) && mode_ == Mode::kJson) g_rows.line.Put("null");
  }
  void Number(const Name &name, float v) {
    if (v == SFC_MISSING_F || !std::isfinite(v)) return Missing(name);
    if (!Key(name)) return;
    char buf[kNumberSize];
    std::to_chars_result res;
    if (std::fabs(v) < 1e9f && v == std::trunc(v))  // whole numbers, the most common
      res = std::to_chars(buf, buf + sizeof buf, static_cast<long>(v));
    else
      res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
    g_rows.line.Put(std::string_view(buf, static_cast<std::size_t>(res.ptr - buf)));
  }
  void Int(const Name &name, long long v) {
    if (v == SFC_MISSING) return Missing(name);
    if (!Key(name)) return;
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    g_rows.line.Put(std::string_view(buf, static_cast<std::size_t>(res.ptr - buf)));
  }
  void Text(const Name &name, std::string_view text, bool squeeze = false) {
    if (mode_ == Mode::kHeader) {
      Key(name);
      return;
    }
    text = Trimmed(text);
    if (text.empty()) return Missing(name);
    Key(name);
    const bool json = mode_ == Mode::kJson;
    if (json) g_rows.line.Put('"');
    // Most texts of a report are written as they are; the others cleaned, and
    // quoted or escaped.
    if (!g_rows.line.PutChecked(text, kBoth | (json ? kJsonOnly : kCsvOnly), squeeze)) {
      Clean(text, squeeze, g_rows.scratch);
      Quoted(g_rows.scratch);
    }
    if (json) g_rows.line.Put('"');
  }
  // One code character: a blank or a zero byte is no value.
  void Code(const Name &name, char c) {
    if (c == '\0') c = ' ';
    Text(name, std::string_view(&c, 1));
  }

 private:
  // Starts the field `name`: the separator, and the key of a JSON object or the
  // name itself in the header. True when a value is to follow.
  bool Key(const Name &name) {
    if (count_++ > 0) g_rows.line.Put(',');
    switch (mode_) {
      case Mode::kHeader: g_rows.line.Put(name.plain); return false;
      case Mode::kJson: g_rows.line.Put(name.json); return true;
      case Mode::kCsv: return true;
    }
    return true;
  }
  // A cleaned text: JSON escapes the quote and the backslash (the caller puts the
  // quotes around it); CSV quotes a field with a comma or a quote and doubles its
  // quotes.
  void Quoted(std::string_view text) {
    if (mode_ == Mode::kJson) {
      for (const char c : text) {
        if (c == '"' || c == '\\') g_rows.line.Put('\\');
        g_rows.line.Put(c);
      }
      return;
    }
    if (text.find_first_of(",\"") == std::string_view::npos) {
      g_rows.line.Put(text);
      return;
    }
    g_rows.line.Put('"');
    for (const char c : text) {
      if (c == '"') g_rows.line.Put('"');
      g_rows.line.Put(c);
    }
    g_rows.line.Put('"');
  }

  Mode mode_;
  int count_ = 0;
};

std::string_view RawText() {
  return g_rows.raw_text
             ? std::string_view(g_rows.raw_text, strnlen(g_rows.raw_text, SFC_DATA_SIZE))
             : std::string_view();
}

void ObsTimeField(Writer &w, int hhmm) {
  char when[SFC_OBS_TIME_SIZE];
  ObsTime(g_rows.input, hhmm, when, sizeof when);
  w.Text(ROWS_NAME("obs_time"), when);
}

// Every field of the record, in record order.
void Record(Writer &w, const SFC_report &r) {
  static constexpr Name kHeights[SFC_MAX_CLD] = {
      ROWS_NAME("cld_height_1"), ROWS_NAME("cld_height_2"), ROWS_NAME("cld_height_3"),
      ROWS_NAME("cld_height_4"), ROWS_NAME("cld_height_5")};
  static constexpr Name kCovers[SFC_MAX_CLD] = {ROWS_NAME("cld_cover_1"), ROWS_NAME("cld_cover_2"),
                                                ROWS_NAME("cld_cover_3"), ROWS_NAME("cld_cover_4"),
                                                ROWS_NAME("cld_cover_5")};
  static constexpr Name kTypes[SFC_CLD_TYPE_LEN] = {
      ROWS_NAME("cld_type_1"), ROWS_NAME("cld_type_2"), ROWS_NAME("cld_type_3")};
  ObsTimeField(w, r.time);
  w.Text(ROWS_NAME("id"), Bounded(r.id));
  w.Text(ROWS_NAME("area"), Bounded(r.area));
  w.Int(ROWS_NAME("type"), r.type);
  w.Int(ROWS_NAME("wmo"), r.wmo);
  w.Number(ROWS_NAME("lat"), r.lat);
  w.Number(ROWS_NAME("lon"), r.lon);
  w.Number(ROWS_NAME("elev"), r.elev);
  w.Int(ROWS_NAME("prior"), r.prior);
  w.Int(ROWS_NAME("time"), r.time);
  for (int k = 0; k < SFC_MAX_CLD; ++k) w.Number(kHeights[k], r.cld_height[k]);
  for (int k = 0; k < SFC_MAX_CLD; ++k) w.Code(kCovers[k], r.cld_cover[k]);
  w.Int(ROWS_NAME("num_cld"), r.num_cld);
  w.Number(ROWS_NAME("vis"), r.vis);
  w.Text(ROWS_NAME("weather"), Bounded(r.weather));
  w.Number(ROWS_NAME("pmb"), r.pmb);
  w.Number(ROWS_NAME("t"), r.t);
  w.Number(ROWS_NAME("td"), r.td);
  w.Number(ROWS_NAME("w_dir"), r.w_dir);
  w.Number(ROWS_NAME("w_spd"), r.w_spd);
  w.Number(ROWS_NAME("w_gust"), r.w_gust);
  w.Number(ROWS_NAME("alt"), r.alt);
  w.Int(ROWS_NAME("ptend_t"), r.ptend_t);
  w.Number(ROWS_NAME("ptend"), r.ptend);
  w.Number(ROWS_NAME("rain1"), r.rain1);
  w.Number(ROWS_NAME("rain3"), r.rain3);
  w.Number(ROWS_NAME("rain6"), r.rain6);
  w.Number(ROWS_NAME("rain12"), r.rain12);
  w.Number(ROWS_NAME("rain24"), r.rain24);
  w.Number(ROWS_NAME("rain"), r.rain);
  w.Int(ROWS_NAME("rain_per"), r.rain_per);
  w.Code(ROWS_NAME("cld_low"), r.cld_low);
  for (int k = 0; k < SFC_CLD_TYPE_LEN; ++k) w.Code(kTypes[k], r.cld_type[k]);
  w.Number(ROWS_NAME("max_t"), r.max_t);
  w.Number(ROWS_NAME("min_t"), r.min_t);
  w.Number(ROWS_NAME("max6_t"), r.max6_t);
  w.Number(ROWS_NAME("min6_t"), r.min6_t);
  w.Number(ROWS_NAME("scover"), r.scover);
  w.Number(ROWS_NAME("solar"), r.solar);
  w.Number(ROWS_NAME("sst"), r.sst);
  w.Number(ROWS_NAME("wav_per"), r.wav_per);
  w.Number(ROWS_NAME("wav_hgt"), r.wav_hgt);
  w.Text(ROWS_NAME("comment"), Bounded(r.comment));
  w.Int(ROWS_NAME("flag"), r.flag);
  if (g_rows.input.raw_column) w.Text(ROWS_NAME("raw"), RawText(), true);
}

// ---- variable lists -----------------------------------------------------------

// The unit as part of a column name: letters, digits and "_" as they are, "%" as
// "pct", "^" dropped, anything else one "_".
void AppendUnit(std::string &name, std::string_view unit) {
  const std::size_t base = name.size();
  for (const char c : unit) {
    if (zyp::is_alnum(c) || c == '_') {
      name.push_back(c);
    } else if (c == '%') {
      name.append("pct");
    } else if (c != '^' && name.size() > base && name.back() != '_') {
      name.push_back('_');
    }
  }
  while (name.size() > base && name.back() == '_') name.pop_back();
}

// A variable's name as a column name: what a text becomes (Clean), and the signs
// that one of the formats quotes or escapes (quote, comma, backslash, blank) as "_".
std::string PlainName(std::string_view text) {
  std::string name;
  Clean(text, false, name);
  for (char &c : name)
    if (c == '"' || c == ',' || c == '\\' || c == ' ') c = '_';
  return name;
}

void NameColumn(void *, const VAR_data &v, const SFC_var_cell &cell) {
  std::string name = PlainName(Bounded(v.name));
  Special special = Special::kNone;
  if (cell.kind == SFC_CELL_NUMBER) {
    const std::string_view unit = v.units[0] != '\0' ? Bounded(v.units) : cell.unit;
    std::string suffix;
    AppendUnit(suffix, unit);
    if (!suffix.empty()) name += "_" + suffix;
  } else if (cell.kind == SFC_CELL_UNKNOWN) {
    if (stricmp(name.c_str(), "obs_time") == 0)
      special = Special::kObsTime;
    else if (stricmp(name.c_str(), "raw") == 0)
      special = Special::kRaw;
  }
  // A name met before gets a number: temp, temp_2.
  const std::string first = name;
  for (int n = 2;; ++n) {
    bool taken = false;
    for (const std::string &earlier : g_rows.list_names)
      if (stricmp(earlier.c_str(), name.c_str()) == 0) taken = true;
    if (!taken) break;
    name = first + "_" + std::to_string(n);
  }
  g_rows.list_keys.push_back("\"" + name + "\":");
  g_rows.list_names.push_back(std::move(name));
  g_rows.list_special.push_back(special);
}

// The column names of the current list, made from a report without values.
void ListNames() {
  if (g_rows.list_names_of == VAR_get_builds() &&
      static_cast<int>(g_rows.list_names.size()) == VAR_get_num())
    return;
  g_rows.list_names.clear();
  g_rows.list_keys.clear();
  g_rows.list_special.clear();
  SFC_report blank;
  SFC_initialize(&blank);
  SFC_var_cells(blank, NameColumn, nullptr);
  g_rows.list_names_of = VAR_get_builds();
}

struct ListRow {
  Writer *w;
  const SFC_report *report;
  std::size_t k = 0;
};

void ListColumn(void *ctx, const VAR_data &v, const SFC_var_cell &cell) {
  ListRow &row = *static_cast<ListRow *>(ctx);
  const std::size_t k = row.k++;
  if (k >= g_rows.list_names.size()) return;
  const Name name{g_rows.list_names[k], g_rows.list_keys[k]};
  Writer &w = *row.w;
  switch (cell.kind) {
    case SFC_CELL_NUMBER: {
      float value = cell.value;
      if (!SFC_var_convert(cell.value, cell.unit, v.units, &value)) value = SFC_MISSING_F;
      w.Number(name, value);
      break;
    }
    case SFC_CELL_TIME: w.Int(name, cell.time); break;
    case SFC_CELL_TEXT:
    case SFC_CELL_WHOLE:
    case SFC_CELL_ID:
      if (cell.blank)
        w.Missing(name);
      else
        w.Text(name, cell.text);
      break;
    case SFC_CELL_UNKNOWN:
      switch (g_rows.list_special[k]) {
        case Special::kObsTime: {
          char when[SFC_OBS_TIME_SIZE];
          ObsTime(g_rows.input, row.report->time, when, sizeof when);
          w.Text(name, when);
          break;
        }
        case Special::kRaw: w.Text(name, RawText(), true); break;
        case Special::kNone: w.Missing(name); break;
      }
      break;
  }
}

}  // namespace

void SFC_rows_set_input(const Date *file_date, int raw_column) {
  g_rows.input = MakeInput(file_date);
  g_rows.input.raw_column = raw_column != 0;
}

void SFC_rows_set_raw(const char *text) { g_rows.raw_text = text; }

int SFC_print_rows(M_type level, const SFC_report *report, int json, int list) {
  if (report == nullptr && json) return 0;  // JSON Lines have no header
  if (list) ListNames();
  Writer w(report == nullptr ? Mode::kHeader : json ? Mode::kJson : Mode::kCsv);
  if (list) {
    if (report == nullptr) {
      for (std::size_t k = 0; k < g_rows.list_names.size(); ++k)
        w.Missing(Name{g_rows.list_names[k], g_rows.list_keys[k]});
    } else {
      ListRow row{&w, report};
      SFC_var_cells(*report, ListColumn, &row);
    }
  } else if (report == nullptr) {
    SFC_report blank;
    SFC_initialize(&blank);
    Record(w, blank);
  } else {
    Record(w, *report);
  }
  g_rows.raw_text = nullptr;  // it belonged to this row
  MESS_print(level, "%s\n", w.Finish());
  return 0;
}

int SFC_rows_obs_time(const Date *file, int hhmm, char *out, std::size_t size) {
  if (out == nullptr) return 0;
  return ObsTime(MakeInput(file), hhmm, out, size) ? 1 : 0;
}

void SFC_rows_reset() {
  g_rows = RowsState{};  // the row buffer's memory is given back too
}
