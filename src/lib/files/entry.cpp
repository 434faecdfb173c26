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

// Reads the typed name against the template into `res`; returns the final `where`.
int walk_template(const std::string &typed, std::string &res) {
  NameState &st = g_files.name;
  const std::string tpl = st.header == 1 ? st.hconv : st.conv;
  st.late_off = template_period(tpl);
  Date &fd = st.file_date;

  int where = W_NOTHING;
  const bool has_slash = typed.find('/') != std::string::npos;
  const bool full = FILE_fullpath(typed.c_str()) != 0;
  bool braces = false;
  bool done = false;
  size_t s = 0;
  auto write_rest = [&] {
    res += typed.substr(s);
    s = typed.size();
    done = true;
  };

  TemplateReader reader(tpl);
  while (!reader.at_end() && !done) {
    MESS_print(DEBUG_D, "FILES:%s:%s:%s:%s:%s:%d\n", tpl.c_str(), tpl.c_str() + reader.pos(), typed.c_str(),
               typed.c_str() + s, res.c_str(), where);
    const Piece p = reader.next();
    if (braces && p.kind != PieceKind::Directive && p.kind != PieceKind::Cut && p.kind != PieceKind::Close) {
      res += p.c;  // a directory part the user does not type
      continue;
    }
    if (p.kind == PieceKind::Close) {
      if (braces) where = W_DIRECTORY;
      braces = false;
      continue;
    }
    if (p.kind == PieceKind::Open) {
      braces = true;
      continue;
    }
    if (p.kind == PieceKind::Text && p.c == '*') {
      write_rest();
      break;
    }
    if (p.kind == PieceKind::Cut) break;
    if (p.kind == PieceKind::Directive) {
      if (p.field == Field::Percent) {
        res += '%';
        if (s < typed.size() && typed[s] == '%') ++s;
        continue;
      }
      if (const int width = p.width()) {
        where = W_FIELD;
        std::string field = typed.substr(s, static_cast<size_t>(width));
        bool ok = field.size() == static_cast<size_t>(width);
        int value = 0;
        if (ok && p.field == Field::MonthName) {
          value = all_letters(field) ? DATE_decode_month(field.c_str()) : 0;
          ok = value != 0;
        } else if (ok) {
          ok = all_digits(field) && zyp::read_int(field, value);
        }
        if (!ok) {
          write_rest();
          break;
        }
        res += field;
        s += static_cast<size_t>(width);
        switch (p.field) {
          case Field::Year: fd.year = value; break;
          case Field::Year2: fd.year = value + (value > 49 ? 1900 : 2000); break;
          case Field::Month: case Field::MonthName: fd.month = value; break;
          case Field::Day: fd.day = value; break;
          case Field::Hour: fd.hour = value; break;
          case Field::Minute: fd.min = value; break;
          case Field::DayOfYear:
            fd.jday = value;
            DATE_julian_monday(fd.year, value, &fd.month, &fd.day);
            break;
          default: break;
        }
        continue;
      }
      if (p.field == Field::Ext) {
        // The extension ends where the literal text that follows it in the template
        // (up to the next directive, brace or "*") occurs in the typed name.
        where = W_FIELD;
        std::string literal;
        TemplateReader ahead = reader;
        Piece q = ahead.next();
        for (; q.kind == PieceKind::Text && q.c != '*'; q = ahead.next()) literal += q.name_char();
        size_t pos = std::string::npos;
        if (!literal.empty())
          pos = typed.find(literal, s);
        else if (q.kind == PieceKind::End)
          pos = typed.size();  // the extension ends the name
        if (!st.ext.empty()) {
          res += st.ext;
          if (pos != std::string::npos) s = pos;
        } else if (pos != std::string::npos) {
          std::string part = typed.substr(s, pos - s);
          st.ext = bounded(part, EXT_MAX_LEN);
          res += part;
          s = pos;
        } else {
          write_rest();
        }
        continue;
      }
      if (p.field == Field::Directory || p.field == Field::Resource) {
        if (full) {
          // The directory part of the typed full path, matched from its end against the
          // separators of the template from this directive on.
          int n = 0;
          for (size_t k = p.pos; k < tpl.size(); ++k)
            if (tpl[k] == '/' || tpl[k] == '\\' || tpl[k] == ':') ++n;
          long last = -1;
          if (n == 0) {
            size_t slash = typed.rfind('/');
            if (slash != std::string::npos) last = static_cast<long>(slash) + 1;
          } else {
            int found = 0;
            for (long k = static_cast<long>(typed.size()) - 1; k >= 0 && found < n; --k) {
              char ch = typed[static_cast<size_t>(k)];
              if (ch == '/' || (ch == ':' && k == 1)) {
                ++found;
                last = k;
              }
            }
          }
          if (last >= 0 && static_cast<size_t>(last) >= s) {
            res += typed.substr(s, static_cast<size_t>(last) - s);
            s = static_cast<size_t>(last);
          }
        } else {
          const char *dir = resource_dir(std::string(p.resource).c_str());
          res += dir ? dir : (p.field == Field::Resource ? "" : ".");
          if (reader.skip('/')) {
            if (res.empty() || res.back() != '/') res += '/';
          }
        }
        where = W_DIRECTORY;
        continue;
      }
      // A key.
      const std::string &key = st.keys[static_cast<unsigned char>(p.c)];
      if (key.empty()) {
        write_rest();
        break;
      }
      std::string v = p.has_n ? key.substr(0, static_cast<size_t>(p.n)) : key;
      res += v;
      s = s + v.size() < typed.size() ? s + v.size() : typed.size();
      where = W_FIELD;
      continue;
    }

    // A literal character of the template.
    const char lit = p.name_char();
    const char tc = s < typed.size() ? typed[s] : '\0';
    if (where >= W_DIRECTORY && tc == lit) {
      res += lit;
      ++s;
      if (s >= typed.size()) where = W_USED_UP;
    } else if ((where >= W_FIELD && tc != '\0') || (where == W_NOTHING && tc != lit)) {
      write_rest();
    } else {
      res += lit;
      // A typed character that matched is used, whatever the name holds.
      if (tc != '\0' && (tc == lit || where >= W_FIELD || !has_slash)) ++s;
    }
  }
  // A typed name longer than the template keeps its rest: the suffix of a compressed
  // file ("26010712_sao.wmo.gz") is part of the file's name.
  if (!done && s < typed.size()) res += typed.substr(s);
  res = bounded(res);
  return where;
}

// Hands a "#...", "cu..." or "la..." text to FILE_set_current and reports the file.
void current_file(const char *text, char *buf) {
  FILE_set_current(text, buf);
  MESS_print(M_MESS, "Current filename: %s\n", buf);
}

// True (and the file named into buf) when `name` asks for the current or latest file.
bool current_request(const char *name, char *buf) {
  if (name[0] == '#') {
    current_file(name, buf);
  } else if (strnicmp(name, "cu", 2) == 0) {
    current_file(name + 2, buf);
  } else if (strnicmp(name, "la", 2) == 0) {
    current_file(name, buf);
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
    if (stricmp(name.c_str(), "none") == 0 || (FILE_fullpath(name.c_str()) && FILE_fullpath(st.conv.c_str()))) {
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
