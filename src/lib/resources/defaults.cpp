// Defaults (resource) files: entries "pattern: value" with DEF/UNDEF tags and
// IF/ELIF/ELSE/END sections, matched against program-qualified resource names.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "files/paths.h"
#include "messages/messages.h"
#include "resources/resources.h"
#include "resources/resources_testing.h"
#include "util/chars.h"

namespace {

constexpr int PROG_NAME_MAX = 29;

// The state of the defaults files: the file being read and its sections.
struct DefState {
  FILE *def_file = nullptr;       // the defaults file open, or null
  std::string prog_name = "Zyp";  // the program's name, first part of resource names
  std::string prog_title;         // DEF_name's name ("+name": a middle part)
  std::vector<std::string> tag;   // tags defined (DEF_tag, "DEF" lines)
  std::vector<int> match;         // per open section: 1 active, 0 not (yet), 99 a branch was taken
  int overflow = 0;               // sections opened beyond the depth limit (all inactive)
  bool matches = true;            // every open section is active: entries are read
};
DefState g_def;

void recompute() {
  g_def.matches = g_def.overflow == 0;
  for (int m : g_def.match)
    if (m != 1) g_def.matches = false;
}

bool tag_defined(const std::string &t) {
  for (const std::string &d : g_def.tag)
    if (stricmp(d.c_str(), t.c_str()) == 0) return true;
  return false;
}

void add_tag(const std::string &t) {
  if (static_cast<int>(g_def.tag.size()) >= DEF_MAX_TAGS) {
    MESS_print(M_WARN, "DEF_get: too many tags, %s ignored\n", t.c_str());
    return;
  }
  g_def.tag.push_back(t);
}

std::string qualified(const char *resrc) {
  std::string r = resrc ? resrc : "";
  if (!g_def.prog_title.empty() && g_def.prog_title[0] == '+')
    return g_def.prog_name + "." + g_def.prog_title.substr(1) + "." + r;
  return (g_def.prog_title.empty() ? g_def.prog_name : g_def.prog_title) + "." + r;
}

// Pattern match: ordinary characters match exactly; "*" skips to the first occurrence
// of the pattern text that follows it (up to the next "*"); both must end together.
bool pattern_match(const char *pattern, const std::string &name) {
  size_t n = 0;
  const char *p = pattern;
  while (*p) {
    if (*p == '*') {
      const char *seg = p + 1;
      const char *end = std::strchr(seg, '*');
      size_t len = end ? static_cast<size_t>(end - seg) : std::strlen(seg);
      size_t at = name.find(std::string(seg, len), n);
      if (at == std::string::npos) return false;
      n = at;
      ++p;
      continue;
    }
    if (n >= name.size() || name[n] != *p) return false;
    ++n;
    ++p;
  }
  return n == name.size();
}

const char *last_component(const char *str) {
  const char *last = str;
  for (const char *p = str; *p; ++p)
    if (*p == '.' || *p == '*') last = p + 1;
  return last;
}

// Splits a line into blank-separated words.
std::vector<std::string> words_of(const char *line, size_t max_words, const char **second) {
  std::vector<std::string> words;
  const char *p = line;
  *second = nullptr;
  while (*p && words.size() < max_words) {
    while (zyp::is_blank(*p)) ++p;
    if (!*p) break;
    if (words.size() == 1) *second = p;
    const char *start = p;
    while (*p && !zyp::is_blank(*p)) ++p;
    words.emplace_back(start, static_cast<size_t>(p - start));
  }
  return words;
}

// Handles a directive line; false when the line is an entry.
bool directive(const std::vector<std::string> &w) {
  const std::string &d = w[0];
  bool has_arg = w.size() > 1;
  if (d == "DEF") {
    if (has_arg) add_tag(w[1]);
    return true;
  }
  if (d == "UNDEF") {
    if (has_arg) {
      for (auto it = g_def.tag.begin(); it != g_def.tag.end(); ++it) {
        if (stricmp(it->c_str(), w[1].c_str()) == 0) {
          g_def.tag.erase(it);
          break;
        }
      }
    }
    return true;
  }
  if (d == "IF") {
    if (!has_arg) return true;
    if (g_def.overflow > 0 || static_cast<int>(g_def.match.size()) >= DEF_MAX_DEPTH) {
      if (g_def.overflow == 0) MESS_print(M_WARN, "DEF_get: sections nested too deeply\n");
      ++g_def.overflow;
    } else {
      g_def.match.push_back(tag_defined(w[1]) ? 1 : 0);
    }
    recompute();
    return true;
  }
  if (d == "ELIF" || d == "ELSE" || d == "END") {
    if (d == "ELIF" && !has_arg) return true;
    if (g_def.overflow > 0) {
      if (d == "END") --g_def.overflow;
      recompute();
      return true;
    }
    if (g_def.match.empty()) {
      if (d == "ELSE") MESS_print(M_WARN, "DEF_get: else without an if\n");
      if (d == "ELIF") MESS_print(M_WARN, "DEF_get: elif without an if\n");
      if (d == "END") MESS_print(M_WARN, "DEF_get: end without an if\n");
      return true;
    }
    int &top = g_def.match.back();
    if (d == "END")
      g_def.match.pop_back();
    else if (top == 1 || top == 99)
      top = 99;
    else
      top = (d == "ELSE" || tag_defined(w[1])) ? 1 : 0;
    recompute();
    return true;
  }
  return !has_arg;  // any other line of one word is ignored
}

}  // namespace

namespace {

// After a line read to its limit: passes over the rest of the physical line.
// Returns true when there was a rest (the line was longer than the limit).
bool drop_rest_of_line(FILE *f) {
  int c = std::getc(f);
  if (c == EOF) return false;
  if (c == '\n') {
    std::ungetc(c, f);  // the line reader takes the newline itself
    return false;
  }
  while ((c = std::getc(f)) != EOF && c != '\n') {
  }
  if (c == '\n') std::ungetc(c, f);
  return true;
}

}  // namespace

int DEF_prog() {
  g_def.prog_name = RES_get_progname().substr(0, PROG_NAME_MAX);
  return 0;
}

int DEF_name(const char *name) {
  g_def.prog_title = std::string(name ? name : "").substr(0, PROG_NAME_MAX);
  return 0;
}

int DEF_clr_tag() {
  g_def.tag.clear();
  return 0;
}

int DEF_tag(const char *str) {
  if (static_cast<int>(g_def.tag.size()) >= DEF_MAX_TAGS) return -1;
  g_def.tag.emplace_back(str ? str : "");
  return 0;
}

int DEF_open(const char *filename) {
  DEF_close();
  std::string name = (filename && *filename) ? filename : ".zypdef";
  if (FILE_is_dir(name.c_str())) {
    std::string dir = name;
    if (dir.back() != '/') dir += '/';
    for (const char *f : {"zyp.cfg", ".zypdef", "Zyp.res"}) {
      name = dir + f;
      if (FILE_exist(name.c_str())) break;
    }
  }
  // A standard-stream name would read the terminal: resource files are real files.
  if (FILE_is_stdio(name.c_str()) || FILE_is_dir(name.c_str())) return -1;
  // A device (/dev/zero) or a huge file would be read without end.
  const char *why = nullptr;
  if (FILE_exist(name.c_str()) && FILE_check_text(name.c_str(), &why) != 0) {
    MESS_print(M_WARN, "DEF_open: Resource file %s not read: %s\n", name.c_str(), why);
    return -1;
  }
  g_def.def_file = FILE_open(name.c_str(), "r");
  g_def.match.clear();
  g_def.overflow = 0;
  recompute();
  return g_def.def_file ? 0 : -1;
}

int DEF_close() {
  if (g_def.def_file) FILE_close(g_def.def_file);
  g_def.def_file = nullptr;
  return 0;
}

int DEF_get(std::string &resrc, std::string &value) {
  if (!g_def.def_file) return -1;
  char line[DEF_LINE_MAX + 1];
  int n;
  while ((n = fgetnline(g_def.def_file, line, DEF_LINE_MAX)) >= 0) {
    if (n == DEF_LINE_MAX && drop_rest_of_line(g_def.def_file)) {
      // Its start, shown with other bytes than printable ones as '?'.
      std::string start(line, 40);
      for (char &c : start)
        if (c < ' ' || c > '~') c = '?';
      MESS_print(M_WARN, "DEF_get: Line longer than %d characters, rest dropped: %s...\n",
                 DEF_LINE_MAX, start.c_str());
    }
    if (n == 0 || line[0] == '#') continue;
    // Resource files may come from other systems: carriage returns are blanks.
    fill_string(line, '\r', ' ');
    const char *second = nullptr;
    std::vector<std::string> w = words_of(line, 2, &second);
    if (w.empty()) continue;
    if (directive(w)) continue;
    if (!g_def.matches) continue;
    std::string name = w[0];
    low_string(name.data());
    if (!name.empty() && name.back() == ':') name.pop_back();
    if (second && *second == '"') {
      const char *close = std::strchr(second + 1, '"');
      value = close ? std::string(second + 1, static_cast<size_t>(close - second - 1))
                    : std::string(second + 1);
    } else {
      value = w[1];
    }
    resrc = name;
    return 1;
  }
  return -1;
}

int DEF_cmp(const char *resrc, const char *string) {
  if (!resrc || !string) return 0;
  return pattern_match(string, qualified(resrc)) ? 1 : 0;
}

int DEF_valid(const char *string) {
  if (!string) return 0;
  return DEF_cmp(last_component(string), string);
}

std::string DEF_parse_name(const char *str) { return str ? last_component(str) : ""; }

int DEF_env(const char *resrc, const char *env, std::string &value) {
  if (!resrc) return 0;
  std::string names[3] = {"zyp" + qualified(resrc), env ? env : "", std::string("zyp") + resrc};
  for (const std::string &n : names) {
    if (n.empty()) continue;
    if (const char *v = std::getenv(n.c_str())) {
      value = v;
      return 1;
    }
  }
  return 0;
}

void DEF_reset_state() {
  DEF_close();
  g_def.prog_name = "Zyp";
  g_def.prog_title.clear();
  g_def.tag.clear();
  g_def.match.clear();
  g_def.overflow = 0;
  g_def.matches = true;
}
