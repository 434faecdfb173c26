// File naming conventions: the naming-convention file and its lookup, the keys,
// the expansion of a template for a date and the shell listing of the data files.
#include "files/files.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "files/files_state.h"
#include "files/files_testing.h"
#include "files/paths.h"
#include "files/template.h"
#include "messages/messages.h"
#include "resources/resources.h"
#include "util/chars.h"
#include "util/number.h"
#include "util/util.h"

namespace file_detail {

FilesState g_files;

std::string bounded(const std::string &s, size_t max) {
  return s.size() > max ? s.substr(0, max) : s;
}

void copy_out(const std::string &s, char *out) {
  if (!out) return;
  size_t n = s.size() < static_cast<size_t>(FILE_NAME_SIZE - 1) ? s.size() : FILE_NAME_SIZE - 1;
  std::memcpy(out, s.data(), n);
  out[n] = '\0';
}

int step_part(std::int32_t field) {
  if (field >= 0 || field == MISSING) return 0;
  long long v = -static_cast<long long>(field);
  return static_cast<int>(v % 100);
}

int offset_part(std::int32_t field) {
  if (field >= 0 || field == MISSING) return 0;
  long long v = -static_cast<long long>(field);
  return static_cast<int>(v / 100);
}

namespace {
int clamp_int(long long v) {
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}
}  // namespace

void update_period(int &late_off, long long unit, int n, long long step) {
  if (step > 0) {
    late_off = clamp_int(step * unit);
    return;
  }
  int v = clamp_int(static_cast<long long>(n) * unit);
  if (late_off == MISSING || v < late_off) late_off = v;
}

const char *resource_dir(const char *name) {
  const char *v = RES_get(name);
  if (!v || !v[0] || stricmp(v, "none") == 0) return nullptr;
  return v;
}

size_t read_digit_date(const char *p, Date &d) {
  static const int widths[] = {4, 2, 2, 2, 2};
  std::int32_t *fields[] = {&d.year, &d.month, &d.day, &d.hour, &d.min};
  size_t used = 0;
  for (int k = 0; k < 5; ++k) {
    if (!zyp::is_digit(p[used])) break;
    int v = 0;
    for (int w = 0; w < widths[k] && zyp::is_digit(p[used]); ++w) v = v * 10 + (p[used++] - '0');
    *fields[k] = v;
  }
  return used;
}

int template_period(const std::string &tpl) {
  const NameState &st = g_files.name;
  int late_off = MISSING;
  TemplateReader reader(tpl);
  for (Piece p = reader.next_directive(); !p.stops(); p = reader.next_directive()) {
    switch (p.field) {
      case Field::Day:
      case Field::DayOfYear:
        update_period(late_off, SEC_DAY, p.n,
                      day_step(st.set.day) ? -static_cast<long long>(st.set.day) : 0);
        break;
      case Field::Hour: update_period(late_off, SEC_HOUR, p.n, step_part(st.set.hour)); break;
      case Field::Minute: update_period(late_off, SEC_MIN, p.n, step_part(st.set.min)); break;
      default: break;
    }
  }
  return late_off;
}

}  // namespace file_detail

using namespace file_detail;

namespace {

constexpr size_t CONV_LINE_MAX = 160;
constexpr const char *DEFAULT_NAME_CONV = "name_conv";

// Reads one line (without its end) of at most CONV_LINE_MAX characters; the rest of
// a longer line is dropped. False at the end of the file.
bool read_conv_line(FILE *f, std::string &line) {
  line.clear();
  int c;
  bool any = false;
  while ((c = std::fgetc(f)) != EOF) {
    any = true;
    if (c == '\n') break;
    if (line.size() < CONV_LINE_MAX) line.push_back(static_cast<char>(c));
  }
  return any;
}

// The minimum size of an entry: the number its field begins with, cut to the range
// of an int (a number beyond the range of a long is the largest or smallest); 0 when
// the field does not begin with one.
int read_min_size(const std::string &field) {
  long v = 0;
  if (zyp::read_long_prefix(field, v) == 0) {
    const size_t digit = field[0] == '+' || field[0] == '-' ? 1 : 0;
    if (digit >= field.size() || !zyp::is_digit(field[digit])) return 0;
    v = field[0] == '-' ? LONG_MIN : LONG_MAX;  // too many digits for a long
  }
  return v > INT_MAX ? INT_MAX : (v < INT_MIN ? INT_MIN : static_cast<int>(v));
}

std::vector<std::string> split_fields(const std::string &line) {
  std::vector<std::string> fields;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && zyp::is_space(line[i])) ++i;
    size_t start = i;
    while (i < line.size() && !zyp::is_space(line[i])) ++i;
    if (i > start) fields.push_back(line.substr(start, i - start));
  }
  return fields;
}

// The path of the naming-convention file.
std::string conv_file_path() {
  const char *name = RES_get("name_conv");
  if (!name || FILE_is_stdio(name)) name = DEFAULT_NAME_CONV;
  char path[FILE_PATH_MAX + 1];
  FILE_add_path(RES_get("file_path"), name, path);
  return path;
}

// Cuts the ":k=value" key assignments out of a convention name, setting the keys.
std::string apply_key_assignments(std::string name) {
  size_t cut = std::string::npos;
  for (size_t colon = name.find(':'); colon != std::string::npos;
       colon = name.find(':', colon + 1)) {
    if (colon + 2 >= name.size() || name[colon + 2] != '=') continue;
    char key = name[colon + 1];
    size_t end = name.find(':', colon + 3);
    std::string value =
        name.substr(colon + 3, end == std::string::npos ? std::string::npos : end - colon - 3);
    if (value.empty()) continue;
    FILE_set_key(static_cast<unsigned char>(key), value.c_str());
    MESS_print(DEBUG_D, "KEY: %c = %s\n", key, value.c_str());
    if (cut == std::string::npos) cut = colon;
  }
  if (cut != std::string::npos) name.resize(cut);
  return name;
}

// The number with at least `digits` digits, zero-filled on the left ("%4.4d" for 4).
std::string fmt_int(int digits, long long v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.*d", digits, static_cast<int>(v));
  return buf;
}

// The directory a path directive writes when no path was taken from the user's file.
std::string directory_text(std::string_view resource, const char *fallback) {
  const char *v = resource_dir(std::string(resource).c_str());
  return v ? v : fallback;
}

// The directory part of the user's full-path file name matching the template's
// separators; empty when there is none.
std::string extracted_path(const NameState &st) {
  if (st.filename_type != 1 || !FILE_fullpath(st.filename.c_str())) return std::string();
  int n = 0;
  for (char c : st.conv)
    if (c == '/' || c == ':') ++n;
  if (n == 0) return std::string();
  int found = 0;
  long last = -1;
  for (long k = static_cast<long>(st.filename.size()) - 1; k >= 0 && found < n; --k) {
    char c = st.filename[static_cast<size_t>(k)];
    if (c == '/' || (c == ':' && k == 1)) {
      ++found;
      last = k;
    }
  }
  if (last <= 0) return std::string();
  std::string path = st.filename.substr(0, static_cast<size_t>(last));
  MESS_print(DEBUG_C, "Extracted path: %s\n", path.c_str());
  return path;
}

// Appends a directory and skips a "/" of the template that would double the one the
// directory ends with.
void put_directory(std::string &out, const std::string &dir, TemplateReader &reader) {
  out += dir;
  if (!out.empty() && out.back() == '/') reader.skip('/');
}

// Characters a listing pattern passes to the shell unquoted (the glob characters
// among them); any other is quoted with a backslash, control characters are dropped.
void put_shell(std::string &cmd, const std::string &text) {
  for (char c : text) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u < ' ' || u == 127) continue;
    if (zyp::is_alnum(c) || std::strchr("/._-+,=:@%~*?[]", c)) {
      cmd += c;
    } else {
      cmd += '\\';
      cmd += c;
    }
  }
}

}  // namespace

// ---- conventions -------------------------------------------------------------------

int FILE_set_name(const char *name_in) {
  NameState &st = g_files.name;
  st.filename.clear();
  std::string name = bounded(name_in ? name_in : "");

  if (stricmp(name.c_str(), "none") == 0) {
    st.conv.clear();
    return 0;
  }
  if (!name.empty() && name[0] == '@') {
    // The name is its own template: nothing of an earlier convention applies.
    st.conv = name.substr(1);
    st.hconv.clear();
    st.ext.clear();
    st.min_size = 0;
    return 1;
  }

  name = apply_key_assignments(name);

  std::string path = conv_file_path();
  // A device (/dev/zero) or a huge file would be read without end.
  const char *why = nullptr;
  const bool refused = FILE_exist(path.c_str()) && !FILE_is_dir(path.c_str()) &&
                       FILE_check_text(path.c_str(), &why) != 0;
  if (refused)
    MESS_print(M_WARN, "FILE_set_name: File name convention file %s not read: %s\n", path.c_str(),
               why);
  FILE *f = FILE_is_dir(path.c_str()) || refused ? nullptr : FILE_open(path.c_str(), "r");
  if (!f) {
    if (!refused)
      MESS_print(M_WARN, "FILE_set_name: No file name convention file: %s\n", path.c_str());
    st.conv = name;
    st.hconv.clear();
    st.ext.clear();
    st.min_size = 0;
    return 0;
  }
  MESS_print(DEBUG_A, "Opening name convention file: %s\n", path.c_str());
  st.ext.clear();

  std::string line;
  int result = -1;
  while (result < 0 && read_conv_line(f, line)) {
    if (!line.empty() && line[0] == '#') continue;
    st.conv.clear();
    st.hconv.clear();
    st.min_size = 0;
    std::vector<std::string> fields = split_fields(line);
    if (fields.size() < 2) continue;  // no entry without a name and a template
    const std::string &entry = fields[0];
    st.conv = bounded(fields[1]);
    if (fields.size() > 2 && fields[2][0] != '-') st.hconv = bounded(fields[2]);
    if (fields.size() > 3) st.min_size = read_min_size(fields[3]);
    if (stricmp(name.c_str(), entry.c_str()) == 0) {
      MESS_print(DEBUG_A, "File name match for: %s\n", name.c_str());
      result = 1;
    } else if (strnicmp(name.c_str(), entry.c_str(), static_cast<int>(entry.size())) == 0) {
      size_t us = name.rfind('_');
      st.ext = us == std::string::npos ? std::string() : bounded(name.substr(us + 1), EXT_MAX_LEN);
      MESS_print(DEBUG_A, "File name partial match for: %s-%s ext: %s\n", name.c_str(),
                 entry.c_str(), st.ext.c_str());
      result = 1;
    }
  }
  FILE_close(f);
  if (result == 1) return 1;

  st.conv = name;
  st.hconv.clear();
  st.min_size = 0;
  MESS_print(DEBUG_A, "No file name conversion for: %s\n", name.c_str());
  return 0;
}

int FILE_set_key(int key, const char *value) {
  std::string v = bounded(value ? value : "", KEY_MAX_LEN);
  for (char &c : v)
    if (c == ' ') c = '_';
  g_files.name.keys[static_cast<unsigned char>(key)] = v;
  return 0;
}

int FILE_get_key(int key, char *buf) {
  const std::string &v = g_files.name.keys[static_cast<unsigned char>(key)];
  if (buf) {
    std::memcpy(buf, v.data(), v.size());
    buf[v.size()] = '\0';
  }
  return static_cast<int>(v.size());
}

int FILE_save_name_conv() {
  NameState &st = g_files.name;
  st.saved =
      SavedConv{st.late_off, st.conv, st.hconv, st.filename, st.ext, st.filename_type, st.min_size};
  return 0;
}

int FILE_restore_name_conv() {
  NameState &st = g_files.name;
  st.late_off = st.saved.late_off;
  st.conv = st.saved.conv;
  st.hconv = st.saved.hconv;
  st.filename = st.saved.filename;
  st.filename_type = st.saved.filename_type;
  st.ext = st.saved.ext;
  st.min_size = st.saved.min_size;
  return 0;
}

const char *FILE_get_template() { return g_files.name.conv.c_str(); }
const char *FILE_get_ext() { return g_files.name.ext.c_str(); }
int FILE_get_min_size() { return g_files.name.min_size; }
int FILE_get_late_off() { return g_files.name.late_off; }

int FILE_set_header(int header) {
  g_files.name.header = header;
  return 0;
}

// ---- expansion -----------------------------------------------------------------------

namespace {

// Whether a template inserts a key value (a directive that is neither a date field,
// the extension, a directory nor "%%"): its names differ by key, not only by date.
bool template_has_key(const std::string &tpl) {
  TemplateReader reader(tpl);
  for (Piece p = reader.next_directive(); !p.stops(); p = reader.next_directive())
    if (p.field == Field::Key) return true;
  return false;
}

}  // namespace

int FILE_set_date(const Date *date, char *out) {
  NameState &st = g_files.name;
  if (st.conv.empty()) {
    copy_out(st.filename.empty() ? std::string("filename") : st.filename, out);
    st.filename_type = 1;
    return 1;
  }
  if (FILE_is_stdio(st.conv.c_str())) {
    copy_out("-", out);
    st.filename_type = 0;
    return 1;
  }

  const std::string extracted = extracted_path(st);
  const std::string tpl = st.header == 1 ? st.hconv : st.conv;
  // The period belongs to the template, whatever the walk below reaches.
  st.late_off = template_period(tpl);

  Date d;
  if (!date) {
    d = st.file_date;
  } else {
    d = *date;
    st.file_date.year = st.file_date.month = st.file_date.day = MISSING;
    st.file_date.hour = st.file_date.min = MISSING;
  }
  // Without a date the last name stands, unless the template names files by a key
  // (an output name per station must follow the key, not repeat the first one).
  if (d.year == MISSING && !st.filename.empty() && !template_has_key(tpl)) {
    copy_out(st.filename, out);
    st.filename_type = 1;
    return 1;
  }

  const Date &set = st.set;
  Date &fd = st.file_date;
  std::string res;
  TemplateReader reader(tpl);
  while (res.size() < static_cast<size_t>(NAME_MAX_LEN)) {
    const Piece p = reader.next();
    if (p.stops()) break;
    if (p.kind == PieceKind::Open || p.kind == PieceKind::Close) continue;  // dropped
    if (p.kind == PieceKind::Text) {
      res += p.name_char();
      continue;
    }
    const long long n = p.n;
    switch (p.field) {
      case Field::Percent: res += '%'; break;
      case Field::Year: {
        long long v = set.year != MISSING ? set.year : (d.year < 0 ? -1 : d.year / n * n);
        res += v < 0 ? "0000" : fmt_int(4, v);
        fd.year = v < 0 ? MISSING : static_cast<int>(v);
        break;
      }
      case Field::Year2: {
        long long yy = -1, full = MISSING;
        if (set.year != MISSING) {
          if (set.year >= 0) {
            yy = set.year % 100;
            full = set.year;
          }
        } else if (d.year >= 0) {
          yy = (d.year % 100) / n * n;
          full = d.year - d.year % 100 + yy;
        }
        res += yy < 0 ? "00" : fmt_int(2, yy);
        fd.year = yy < 0 ? MISSING : static_cast<int>(full);
        break;
      }
      case Field::Month:
      case Field::MonthName: {
        long long v = set.month != MISSING ? set.month : (d.month < 0 ? -1 : d.month / n * n);
        if (p.field == Field::Month) {
          res += v < 0 ? "00" : fmt_int(2, v);
        } else if (v < 0) {
          res += "xxx";
        } else {
          char buf[8];
          std::snprintf(buf, sizeof buf, "%3.3s", DATE_month_lower(static_cast<int>(v)));
          res += buf;
        }
        fd.month = v < 0 ? MISSING : static_cast<int>(v);
        break;
      }
      case Field::Day:
      case Field::DayOfYear: {
        long long day = -1;
        if (fixed_value(set.day))
          day = set.day;
        else if (d.day >= 0)
          day = day_step(set.day) ? d.day / (-static_cast<long long>(set.day)) *
                                        (-static_cast<long long>(set.day))
                                  : d.day / n * n;
        if (p.field == Field::Day) {
          res += day < 0 ? "00" : fmt_int(2, day);
          fd.day = day < 0 ? MISSING : static_cast<int>(day);
        } else {
          int jday = MISSING;
          if (day >= 0 && d.year >= 0 && d.month >= 0)
            DATE_monday_julian(d.year, d.month, static_cast<int>(day), &jday);
          res += jday == MISSING ? "000" : fmt_int(3, jday);
          fd.jday = jday;
          fd.month = d.month < 0 ? MISSING : d.month;
          fd.day = day < 0 ? MISSING : static_cast<int>(day);
        }
        break;
      }
      case Field::Hour:
      case Field::Minute: {
        const bool hour = p.field == Field::Hour;
        const std::int32_t field = hour ? set.hour : set.min;
        const std::int32_t value = hour ? d.hour : d.min;
        long long v = -1;
        if (fixed_value(field)) {
          v = field / n * n;
        } else if (value >= 0) {
          int stp = step_part(field);
          v = stp > 0 ? value / stp * stp + offset_part(field) : value / n * n;
        }
        res += v < 0 ? "00" : fmt_int(2, v);
        (hour ? fd.hour : fd.min) = v < 0 ? MISSING : static_cast<int>(v);
        break;
      }
      case Field::Ext: res += st.ext; break;
      case Field::Resource:
        put_directory(res, !extracted.empty() ? extracted : directory_text(p.resource, ""), reader);
        break;
      case Field::Directory:
        put_directory(res, !extracted.empty() ? extracted : directory_text(p.resource, "."),
                      reader);
        break;
      default: {
        const std::string &key = st.keys[static_cast<unsigned char>(p.c)];
        if (key.empty())
          res += '0';
        else
          res += p.has_n ? key.substr(0, static_cast<size_t>(p.n)) : key;
        break;
      }
    }
  }
  res = bounded(res);
  copy_out(res, out);
  st.filename = res;
  return 0;
}

// ---- listing ----------------------------------------------------------------------------

int FILE_list_file() {
  const NameState &st = g_files.name;
  const std::string &tpl = st.header == 1 ? st.hconv : st.conv;
  std::string pattern;
  TemplateReader reader(tpl);
  for (Piece p = reader.next(); !p.stops(); p = reader.next()) {
    if (p.kind == PieceKind::Open || p.kind == PieceKind::Close) continue;  // dropped
    if (p.kind == PieceKind::Text) {
      pattern += p.name_char();
      continue;
    }
    switch (p.field) {
      case Field::Percent: pattern += '%'; break;
      case Field::Year: pattern += "?[0-9]??"; break;
      case Field::Year2:
      case Field::Month:
      case Field::Day:
      case Field::Hour:
      case Field::Minute: pattern += "[0-9]?"; break;
      case Field::MonthName: pattern += "?[a-z]?"; break;
      case Field::DayOfYear: pattern += "?[0-9]?"; break;
      case Field::Ext: pattern += st.ext.empty() ? std::string("*") : st.ext; break;
      case Field::Resource: pattern += directory_text(p.resource, ""); break;
      case Field::Directory:
        pattern += directory_text(p.resource, ".");
        if (pattern.back() == '/') reader.skip('/');
        break;
      default: {
        const std::string &key = st.keys[static_cast<unsigned char>(p.c)];
        if (!key.empty())
          pattern += key;
        else if (p.has_n)
          pattern += std::string(static_cast<size_t>(p.n < NAME_MAX_LEN ? p.n : NAME_MAX_LEN), '?');
        else
          pattern += '*';
        break;
      }
    }
  }
  std::string cmd = "ls -x ";
  put_shell(cmd, pattern);
  MESS_print(M_DEBUG, "SEARCH: %s\n", cmd.c_str());
  std::fflush(nullptr);
  return std::system(cmd.c_str());
}

// ---- state ---------------------------------------------------------------------------------

void FILE_reset_state() { g_files = FilesState{}; }
