// File name entry: the choice of the first input file and the reading of a typed
// name against the template of the selected naming convention.
#include <cstring>
#include <string>

#include "files/files.h"
#include "files/files_state.h"
#include "files/paths.h"
#include "files/template.h"
#include "messages/messages.h"
#include "resources/resources.h"
#include "resources/prompt.h"
#include "util/chars.h"
#include "util/number.h"
#include "util/util.h"

using namespace file_detail;

namespace {

// Where the walk of a typed name stands.
enum Where {
  W_NOTHING = 0,    // nothing of the typed name has been placed yet
  W_DIRECTORY = 1,  // a directory part has just been placed
  W_FIELD = 2,      // a date or key field has just been read
  W_USED_UP = 3,    // the typed name was used up by a literal character
};

bool all_digits(const std::string &s) {
  for (char c : s)
    if (!zyp::is_digit(c)) return false;
  return true;
}

bool all_letters(const std::string &s) {
  for (char c : s)
    if (!zyp::is_alpha(c)) return false;
  return true;
}

// A typed name read against a template: the name being built and the place reached
// in the typed name.
struct TypedWalk {
  const std::string &typed;
  std::string &res;  // the name built so far
  size_t s = 0;      // the next character of the typed name
  int where = W_NOTHING;
  bool done = false;  // the rest of the typed name was written: the walk ends

  // Writes the rest of the typed name as it is and ends the walk.
  void write_rest() {
    res += typed.substr(s);
    s = typed.size();
    done = true;
  }
};

// A date field ("%Y", "%b", ...) of `p.width()` characters: the typed characters must
// be digits (letters of a month name for "%b"); they fix that field of `fd`.
void read_date_field(TypedWalk &w, const Piece &p, Date &fd) {
  w.where = W_FIELD;
  const size_t width = static_cast<size_t>(p.width());
  std::string field = w.typed.substr(w.s, width);
  bool ok = field.size() == width;
  int value = 0;
  if (ok && p.field == Field::MonthName) {
    value = all_letters(field) ? DATE_decode_month(field.c_str()) : 0;
    ok = value != 0;
  } else if (ok) {
    ok = all_digits(field) && zyp::read_int(field, value);
  }
  if (!ok) {
    w.write_rest();
    return;
  }
  w.res += field;
  w.s += width;
  switch (p.field) {
    case Field::Year: fd.year = value; break;
    case Field::Year2: fd.year = value + (value > 49 ? 1900 : 2000); break;
    case Field::Month:
    case Field::MonthName: fd.month = value; break;
    case Field::Day: fd.day = value; break;
    case Field::Hour: fd.hour = value; break;
    case Field::Minute: fd.min = value; break;
    case Field::DayOfYear:
      fd.jday = value;
      DATE_julian_monday(fd.year, value, &fd.month, &fd.day);
      break;
    default: break;
  }
}

// The extension ("%e"): it ends where the literal text that follows it in the template
// (up to the next directive, brace or "*"; `reader` stands after the "%e") occurs in
// the typed name. A known extension is written instead of the typed one; else the
// typed one becomes the extension.
void read_extension(TypedWalk &w, const TemplateReader &reader, std::string &ext) {
  w.where = W_FIELD;
  std::string literal;
  TemplateReader ahead = reader;
  Piece q = ahead.next();
  for (; q.kind == PieceKind::Text && q.c != '*'; q = ahead.next()) literal += q.name_char();
  size_t pos = std::string::npos;
  if (!literal.empty())
    pos = w.typed.find(literal, w.s);
  else if (q.kind == PieceKind::End)
    pos = w.typed.size();  // the extension ends the name
  if (!ext.empty()) {
    w.res += ext;
    if (pos != std::string::npos) w.s = pos;
  } else if (pos != std::string::npos) {
    std::string part = w.typed.substr(w.s, pos - w.s);
    ext = bounded(part, EXT_MAX_LEN);
    w.res += part;
    w.s = pos;
  } else {
    w.write_rest();
  }
}

// The directory part of a typed full path for the directory directive at `from` of
// `tpl`: matched from the end of the typed name against the separators of the
// template from the directive on.
void take_typed_directory(TypedWalk &w, const std::string &tpl, size_t from) {
  int n = 0;
  for (size_t k = from; k < tpl.size(); ++k)
    if (tpl[k] == '/' || tpl[k] == '\\' || tpl[k] == ':') ++n;
  long last = -1;
  if (n == 0) {
    size_t slash = w.typed.rfind('/');
    if (slash != std::string::npos) last = static_cast<long>(slash) + 1;
  } else {
    int found = 0;
    for (long k = static_cast<long>(w.typed.size()) - 1; k >= 0 && found < n; --k) {
      char ch = w.typed[static_cast<size_t>(k)];
      if (ch == '/' || (ch == ':' && k == 1)) {
        ++found;
        last = k;
      }
    }
  }
  if (last >= 0 && static_cast<size_t>(last) >= w.s) {
    w.res += w.typed.substr(w.s, static_cast<size_t>(last) - w.s);
    w.s = static_cast<size_t>(last);
  }
}

// A directory directive ("%D", "%{name}"): the directory of the typed full path, or
// the resource's directory (a "/" after it in the template is written once).
void place_directory(TypedWalk &w, const Piece &p, const std::string &tpl, TemplateReader &reader,
                     bool full) {
  if (full) {
    take_typed_directory(w, tpl, p.pos);
  } else {
    const char *dir = resource_dir(std::string(p.resource).c_str());
    w.res += dir ? dir : (p.field == Field::Resource ? "" : ".");
    if (reader.skip('/')) {
      if (w.res.empty() || w.res.back() != '/') w.res += '/';
    }
  }
  w.where = W_DIRECTORY;
}

// A key directive: the key's value (its first n characters with a number) stands for
// as many typed characters; without a value the typed name is written as it is.
void place_key(TypedWalk &w, const Piece &p, const std::string &key) {
  if (key.empty()) {
    w.write_rest();
    return;
  }
  std::string v = p.has_n ? key.substr(0, static_cast<size_t>(p.n)) : key;
  w.res += v;
  w.s = w.s + v.size() < w.typed.size() ? w.s + v.size() : w.typed.size();
  w.where = W_FIELD;
}

// A literal character of the template against the next typed character.
void match_literal(TypedWalk &w, char lit, bool has_slash) {
  const char tc = w.s < w.typed.size() ? w.typed[w.s] : '\0';
  if (w.where >= W_DIRECTORY && tc == lit) {
    w.res += lit;
    ++w.s;
    if (w.s >= w.typed.size()) w.where = W_USED_UP;
  } else if ((w.where >= W_FIELD && tc != '\0') || (w.where == W_NOTHING && tc != lit)) {
    w.write_rest();
  } else {
    w.res += lit;
    // A typed character that matched is used, whatever the name holds.
    if (tc != '\0' && (tc == lit || w.where >= W_FIELD || !has_slash)) ++w.s;
  }
}

// Reads the typed name against the template into `res`; returns the final `where`.
int walk_template(const std::string &typed, std::string &res) {
  NameState &st = g_files.name;
  const std::string tpl = st.header == 1 ? st.hconv : st.conv;
  st.late_off = template_period(tpl);

  TypedWalk w{typed, res};
  const bool has_slash = typed.find('/') != std::string::npos;
  const bool full = FILE_fullpath(typed.c_str()) != 0;
  bool braces = false;  // inside "{...}": a directory part the user does not type
  TemplateReader reader(tpl);
  while (!reader.at_end() && !w.done) {
    MESS_print(DEBUG_D, "FILES:%s:%s:%s:%s:%s:%d\n", tpl.c_str(), tpl.c_str() + reader.pos(),
               typed.c_str(), typed.c_str() + w.s, res.c_str(), w.where);
    const Piece p = reader.next();
    if (p.kind == PieceKind::Cut) break;
    if (p.kind == PieceKind::Close) {
      if (braces) w.where = W_DIRECTORY;
      braces = false;
    } else if (braces && p.kind != PieceKind::Directive) {
      res += p.c;
    } else if (p.kind == PieceKind::Open) {
      braces = true;
    } else if (p.kind == PieceKind::Text) {
      if (p.c == '*')
        w.write_rest();
      else
        match_literal(w, p.name_char(), has_slash);
    } else if (p.field == Field::Percent) {
      res += '%';
      if (w.s < typed.size() && typed[w.s] == '%') ++w.s;
    } else if (p.width() > 0) {
      read_date_field(w, p, st.file_date);
    } else if (p.field == Field::Ext) {
      read_extension(w, reader, st.ext);
    } else if (p.field == Field::Directory || p.field == Field::Resource) {
      place_directory(w, p, tpl, reader, full);
    } else {
      place_key(w, p, st.keys[static_cast<unsigned char>(p.c)]);
    }
  }
  // A typed name longer than the template keeps its rest: the suffix of a compressed
  // file ("26010712_sao.wmo.gz") is part of the file's name.
  if (!w.done && w.s < typed.size()) res += typed.substr(w.s);
  res = bounded(res);
  return w.where;
}

// Hands a "#...", "cu..." or "la..." text to FILE_set_current and reports the file.
void current_file(const char *text, char *buf) {
  FILE_set_current(text, buf);
  MESS_print(M_MESS, "Current filename: %s\n", buf);
}

// True (and the file named into buf) when `name` asks for the current or latest file.
bool current_request(const char *name, char *buf) {
  if (name[0] == '#' || strnicmp(name, "la", 2) == 0) {
    current_file(name, buf);
  } else if (strnicmp(name, "cu", 2) == 0) {
    current_file(name + 2, buf);
  } else {
    return false;
  }
  return true;
}

}  // namespace

int FILE_set_file(const char *typed_in, char *out) {
  NameState &st = g_files.name;
  std::string name = bounded(typed_in ? typed_in : "");
  Date &fd = st.file_date;
  fd.year = fd.month = fd.day = fd.hour = fd.min = MISSING;

  // A date suffix after "#" fixes date fields.
  size_t hash = name.size() > 1 ? name.find('#', 1) : std::string::npos;
  if (hash != std::string::npos) {
    const std::string digits = name.substr(hash + 1);
    name.resize(hash);
    read_digit_date(digits.c_str(), st.set);
  }
  // The fixed fields of `set` are the date known so far; steps are no date.
  fd = st.set;
  if (!fixed_value(st.set.day)) fd.day = MISSING;
  if (!fixed_value(st.set.hour)) fd.hour = MISSING;
  if (!fixed_value(st.set.min)) fd.min = MISSING;

  if (stricmp(name.c_str(), "exit") == 0) ZYP_exit(0);

  char buf[FILE_NAME_SIZE];
  if (!name.empty() && name[0] == '@') {
    st.filename = name.substr(1);
    st.filename_type = 1;
    copy_out(st.filename, out);
    return 0;
  }
  if (FILE_is_stdio(name.c_str()) || (!st.conv.empty() && FILE_is_stdio(st.conv.c_str()))) {
    copy_out("-", out);
    return 0;
  }
  if (!st.conv.empty()) {
    if (current_request(name.c_str(), buf)) {
      copy_out(buf, out);
      return 0;
    }
    if (stricmp(name.c_str(), "none") == 0 ||
        (FILE_fullpath(name.c_str()) && FILE_fullpath(st.conv.c_str()))) {
      copy_out(name, out);
      return 0;
    }
    std::string res;
    int where = walk_template(name, res);
    copy_out(res, out);
    MESS_print(DEBUG_D, "FILES:%s:%s:%d\n", name.c_str(), res.c_str(), where);
    DATE_print(M_DEBUG, &st.file_date);
    return 0;
  }
  st.filename = name;
  st.filename_type = 1;
  copy_out(name, out);
  return 0;
}

int FILE_get_file_only(const char *prompt, char *out) {
  NameState &st = g_files.name;
  char buf[FILE_NAME_SIZE];
  ParsedList values;
  RES_getvals("filename", values);
  const char *current = RES_get("current");

  if (!values.empty()) {
    if (stricmp(values[0].c_str(), "list") == 0) {
      FILE_list_file();
      ZYP_exit(0);
    }
    // A name from the user: the files of other times are looked for where it is.
    st.filename_type = 1;
    FILE_set_file(values[0].c_str(), buf);
    st.filename = buf;
  } else if (current || FLAG_batch()) {
    FILE_set_current(current ? current : "la", buf);
    st.filename = buf;
    if (FILE_exist(buf)) MESS_print(M_MESS, "Current filename: %s\n", buf);
  } else {
    MESS_print(M_PRINT, "List of available files:\n");
    FILE_list_file();
    MESS_print(M_PRINT, "\n");
    char answer[FILE_ANSWER_SIZE] = "";
    ZYP_prompts(prompt ? prompt : "", answer, FILE_ANSWER_SIZE);
    st.filename_type = 1;
    if (stricmp(answer, "exit") == 0) {
      ZYP_exit(0);
    } else if (stricmp(answer, "list") == 0) {
      FILE_list_file();
    } else if (current_request(answer, buf)) {
      st.filename = buf;
    } else {
      FILE_set_file(answer, buf);
      st.filename = buf;
    }
  }
  copy_out(st.filename, out);
  return FILE_exist(st.filename.c_str());
}
