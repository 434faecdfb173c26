// Variable lists: the text language, the variable file of definitions and the
// variable table.
//
// A variable text is read character by character. Items end at commas; a
// bracket opens a parameter block ("[...]", for the entry just made) or a nested
// list ("(...)", "{...}", "<...>", after a head entry). Every bracket is matched
// by counting its own kind only, so the work per nesting level is one pass over
// the text, and the nesting is bounded by VAR_NEST_MAX. Definitions from the
// variable file are expanded in place, bounded in depth by the base settings
// stack (VAR_BASE_MAX) and in number by VAR_EXPAND_MAX, so a definition that
// names itself ends with a note instead of a loop.
#include "var/var.h"

#include <cctype>
#include <cstring>
#include <string_view>
#include <vector>

#include "files/paths.h"
#include "messages/messages.h"
#include "resources/resources.h"
#include "util/chars.h"
#include "util/util.h"
#include "var/var_testing.h"

namespace {

constexpr M_type kWarnC = M_WARN & M_SUB_C;    // lesser warnings
constexpr M_type kDebugC = M_DEBUG & M_SUB_C;  // the list, entry by entry
constexpr int kMissing = -9999;
constexpr const char *kTableFile = "variable.lup";
constexpr int kPlotTypeUnset = -9999;
constexpr int kPlotTypeAny = 99;

// Time kinds of "anal-H<kind>", in millions of the encoded time.
struct TimeKind {
  const char *word;
  int code;
};
constexpr TimeKind kTimeKinds[] = {
    {"rng", 2}, {"avg", 3},   {"acc", 4},  {"dif", 5},   {"max", 6},
    {"min", 7}, {"iavg", 13}, {"var", 18}, {"uavg", 23},
};
constexpr int kTimeKindDefault = 2;
constexpr int kHoursMax = 999;  // range and hour fields hold three digits
constexpr int kTimeNow = -1;    // "time"
constexpr int kTimeInit = -2;   // "init"
constexpr int kTimeIn = -3;     // "in"

struct TypeWord {
  const char *word;
  int type;
};
constexpr TypeWord kTypeWords[] = {
    {"data", 1},   {"value", 2},  {"text", 3},   {"mark", 4},   {"mk", 4},     {"cont", 11},
    {"ln", 12},    {"dln", 13},   {"ndln", 14},  {"cf", 15},    {"lcf", 16},   {"gvalue", 17},
    {"wind", 20},  {"vect", 21},  {"barb", 22},  {"strm", 23},  {"track", 23}, {"plot", 30},
    {"cloud", 31}, {"wbarb", 32}, {"cbarb", 33}, {"dbarb", 34}, {"vbarb", 35}, {"symb", 36},
    {"wx", 36},    {"line", 37},
};

// First parts that make plot-element entries.
constexpr const char *kPlotElements[] = {"map", "plot", "frame", "panel"};

// Settings an item inherits when it names no time or level of its own.
struct Base {
  int type = kMissing;
  int time = kMissing;
  int level = kMissing;
  int ltype = kMissing;
};

struct Definition {
  std::string name;
  std::string text;
};

// The variable list being built and the tables it is built from.
struct VarState {
  VAR_data vars[VAR_MAX];        // the list, in order
  int num = 0;                   // entries of the list
  int func_depth = 0;            // open function brackets
  int group_depth = 0;           // open group brackets
  int vect_depth = 0;            // open vector brackets
  Base base[VAR_BASE_MAX];       // the base settings, one per open bracket
  int base_depth = 0;            // index of the current base setting
  int expansions = 0;            // named lists expanded so far (bounds recursion)
  bool stop = false;             // an unmatched or too deeply nested bracket ends processing
  bool deep_noted = false;       // the definition-depth warning was printed
  std::vector<Definition> defs;  // of the open variable file
  std::vector<VAR_desc> table;   // the variable table (variable.lup)
  bool table_read = false;       // the table has been looked for
};
VarState g_var;
// Lists built in the process, kept through VAR_reset_state (outside the state
// that it resets).
long builds = 0;

// ---- small text helpers ------------------------------------------------------

// Copies at most size-1 characters of `text` into `out` (size bytes).
void CopyText(char *out, std::size_t size, std::string_view text) {
  const std::size_t n = text.size() < size - 1 ? text.size() : size - 1;
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
}

template <std::size_t N>
void CopyField(char (&out)[N], std::string_view text) {
  CopyText(out, N, text);
}

// Characters a backslash makes ordinary.
bool IsSpecial(char c) { return std::strchr("[](){}<>,", c) != nullptr && c != '\0'; }

// Reads the digits at `p` as a number no larger than kHoursMax x 1000 (so that
// any product below stays in range). Returns the end, or null without digits.
const char *ReadCount(const char *p, int *value) {
  if (!zyp::is_digit(*p)) return nullptr;
  long v = 0;
  for (; zyp::is_digit(*p); ++p) {
    v = v * 10 + (*p - '0');
    if (v > 1000L * kHoursMax) v = 1000L * kHoursMax;
  }
  *value = static_cast<int>(v);
  return p;
}

int CapHours(long hours) { return static_cast<int>(hours > kHoursMax ? kHoursMax : hours); }

void InitEntry(VAR_data &v) {
  v.type = kMissing;
  v.name[0] = '\0';
  v.units[0] = '\0';
  for (int &n : v.var) n = kMissing;
  v.tstat = 0;
  v.time = kMissing;
  v.tunits[0] = '\0';
  v.lstat = 0;
  v.ltype = kMissing;
  v.level = kMissing;
  v.lunits[0] = '\0';
  v.format[0] = '\0';
  v.flag = 0;
}

// ---- variable table -------------------------------------------------------------

// Reads one table row: "i1,i2,i3,i4,i5 abbreviation description". False for a
// comment, an empty line or a row without an abbreviation.
bool ReadTableRow(const std::string &line, VAR_desc *row) {
  std::size_t i = 0;
  while (i < line.size() && zyp::is_space(line[i])) ++i;
  if (i >= line.size() || line[i] == '#') return false;
  std::size_t end = i;
  while (end < line.size() && !zyp::is_space(line[end])) ++end;
  ParsedList nums;
  parse_string(line.substr(i, end - i).c_str(), ',', nums);
  for (int k = 0; k < VAR_NUM_IND; ++k) {
    row->ind[k] = kMissing;
    if (k < static_cast<int>(nums.size()) && !nums[k].empty()) {
      const char *p = nums[k].c_str();
      const bool neg = *p == '-';
      int v = 0;
      if (ReadCount(neg ? p + 1 : p, &v)) row->ind[k] = neg ? -v : v;
    }
  }
  free_parsed_array(nums);
  i = end;
  while (i < line.size() && zyp::is_space(line[i])) ++i;
  end = i;
  while (end < line.size() && !zyp::is_space(line[end])) ++end;
  if (end == i) return false;
  CopyField(row->abbr, std::string_view(line).substr(i, end - i));
  i = end;
  while (i < line.size() && zyp::is_space(line[i])) ++i;
  std::size_t last = line.size();
  while (last > i && zyp::is_space(line[last - 1])) --last;
  CopyField(row->name, std::string_view(line).substr(i, last - i));
  return true;
}

// Reads one line of any length (without its end); false at the end of the file.
// A line longer than `keep` characters keeps its first `keep`.
bool ReadLine(std::FILE *f, std::string &line, std::size_t keep) {
  line.clear();
  int c = std::fgetc(f);
  if (c == EOF) return false;
  for (; c != EOF && c != '\n'; c = std::fgetc(f))
    if (line.size() < keep) line.push_back(static_cast<char>(c));
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

void ReadTable() {
  if (g_var.table_read) return;
  g_var.table_read = true;
  char path[FILE_PATH_MAX + 1];
  FILE_add_path(RES_get("file_path"), kTableFile, path);
  FilePtr file(FILE_open(path, "r"));
  if (!file) {
    MESS_print(kWarnC, "VAR_setup: Unable to open variable table: %s\n", path);
    return;
  }
  std::string line;
  VAR_desc row;
  while (static_cast<int>(g_var.table.size()) < VAR_TABLE_MAX &&
         ReadLine(file.get(), line, VAR_DEF_MAX))
    if (ReadTableRow(line, &row)) g_var.table.push_back(row);
}

void LookupTable(VAR_data &v) {
  for (const VAR_desc &row : g_var.table) {
    if (stricmp(row.abbr, v.name) == 0) {
      std::memcpy(v.var, row.ind, sizeof v.var);
      return;
    }
  }
}

// ---- building entries --------------------------------------------------------------

// The next free entry, or null when the list is full: then one warning names
// the first item dropped, and processing ends.
VAR_data *NextEntry(std::string_view what) {
  if (g_var.num >= VAR_MAX) {
    MESS_print(kWarnC, "VAR_process_var: More than %d variables, %.*s and later ones dropped\n",
               VAR_MAX, static_cast<int>(what.size() > 40 ? 40 : what.size()), what.data());
    g_var.stop = true;
    return nullptr;
  }
  VAR_data *v = &g_var.vars[g_var.num];
  InitEntry(*v);
  return v;
}

int Flag() { return 10 * g_var.func_depth + g_var.group_depth; }

void TypeFromWord(VAR_data &v, const std::string &word, bool plot_flag_rule) {
  const int t = VAR_dec_type(word.c_str());
  if (t < 0) return;
  if (plot_flag_rule) {
    const int plot = FLAG_get(FLAG_PLOT_TYPE);
    if (plot != kPlotTypeUnset && plot != kPlotTypeAny) return;
  }
  v.type = t;
}

// Joins parts[from...] with colons.
std::string JoinFrom(const ParsedList &parts, std::size_t from) {
  std::string out;
  for (std::size_t k = from; k < parts.size(); ++k) {
    if (k > from) out += ':';
    out += parts[k];
  }
  return out;
}

// Units, type and format from parts[from...]: the units, then a type slot (used
// when it holds a type word or is empty; anything else already begins the
// format), then the format.
void Trailing(VAR_data &v, const ParsedList &parts, std::size_t from, bool units_too,
              bool plot_flag_rule) {
  std::size_t k = from;
  if (k < parts.size()) {
    if (units_too) CopyField(v.units, parts[k]);
    ++k;
  }
  if (k < parts.size() && (parts[k].empty() || VAR_dec_type(parts[k].c_str()) >= 0)) {
    TypeFromWord(v, parts[k], plot_flag_rule);
    ++k;
  }
  if (k < parts.size()) CopyField(v.format, JoinFrom(parts, k));
}

void Process(std::string_view text);

// One item (VAR_process_var). Returns the index of the entry it made, or -1.
int ProcessVar(const std::string &item) {
  if (g_var.stop) return -1;
  ParsedList parts;
  parse_string(item.c_str(), ':', parts);
  if (parts.empty()) return -1;

  for (const char *word : kPlotElements) {
    if (stricmp(parts[0].c_str(), word) == 0) {
      VAR_data *v = NextEntry(item);
      if (!v) return -1;
      CopyField(v->name, parts[0]);
      v->type = -1;
      v->flag = -1;
      return g_var.num++;
    }
  }

  const Base &base = g_var.base[g_var.base_depth];
  int time = base.time, level = base.level, ltype = base.ltype;
  int tstat = 0, lstat = 0;
  char tunits[VAR_TUNITS_SIZE] = "", lunits[VAR_TUNITS_SIZE] = "";
  std::size_t at = 0;
  int t = kMissing;
  if (parts.size() > 2 && VAR_dec_time(parts[0].c_str(), &t, tunits)) {
    time = t;
    tstat = 1;
    int lt = kMissing, lv = kMissing;
    lstat = VAR_dec_level(parts[1].c_str(), &lt, &lv, lunits);
    if (lstat) {
      ltype = lt;
      level = lv;
    }
    at = 2;
  }
  std::string name = parts[at];
  if (name.empty()) return -1;

  if (name[0] == '+') {
    name.erase(0, 1);  // never a definition
    if (name.empty()) return -1;
  } else {
    std::string def;
    if (VAR_lookup(name.c_str(), def)) {
      if (g_var.expansions >= VAR_EXPAND_MAX) {
        MESS_print(kWarnC,
                   "VAR_process_var: More than %d definitions expanded, %s and later ones "
                   "dropped\n",
                   VAR_EXPAND_MAX, name.c_str());
        g_var.stop = true;
        return -1;
      }
      if (g_var.base_depth + 1 >= VAR_BASE_MAX) {
        // A definition that names itself, directly or through others.
        if (!g_var.deep_noted) {
          g_var.deep_noted = true;
          MESS_print(kWarnC, "VAR_process_var: Definitions nested too deeply at %s\n",
                     name.c_str());
        }
        return -1;
      }
      ++g_var.expansions;
      Base &next = g_var.base[++g_var.base_depth];
      next = Base{base.type, time, level, ltype};
      Process(def);
      --g_var.base_depth;
      return -1;
    }
  }

  VAR_data *v = NextEntry(name);
  if (!v) return -1;
  CopyField(v->name, name);
  v->type = name[0] == '#' ? VAR_TYPE_NUMBER : base.type;
  v->tstat = tstat;
  v->time = time;
  CopyField(v->tunits, tunits);
  v->lstat = lstat;
  v->ltype = ltype;
  v->level = level;
  CopyField(v->lunits, lunits);
  v->flag = Flag();
  LookupTable(*v);
  Trailing(*v, parts, at + 1, true, false);
  return g_var.num++;
}

// A head entry of a function, group or vector; no definition lookup.
int HeadEntry(const std::string &name, int mark) {
  if (name.empty()) return -1;
  VAR_data *v = NextEntry(name);
  if (!v) return -1;
  CopyField(v->name, name);
  v->type = g_var.base[g_var.base_depth].type;
  v->time = g_var.base[g_var.base_depth].time;
  v->level = g_var.base[g_var.base_depth].level;
  v->ltype = g_var.base[g_var.base_depth].ltype;
  v->flag = 10 * g_var.func_depth + mark;
  LookupTable(*v);
  return g_var.num++;
}

// A parameter block "[units:type:format]" for entry `index`.
void Block(int index, const std::string &block) {
  if (index < 0 || g_var.func_depth != 0) return;
  VAR_data &v = g_var.vars[index];
  ParsedList parts;
  parse_string(block.c_str(), ':', parts);
  Trailing(v, parts, 0, v.flag % 10 != 4, true);
}

// Position of the bracket that closes the one at `open`, counting only brackets
// of the same kind and skipping escaped characters; npos when there is none.
std::size_t Matching(std::string_view text, std::size_t open, char closer) {
  const char opener = text[open];
  int depth = 0;
  for (std::size_t i = open; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\\' && i + 1 < text.size() && IsSpecial(text[i + 1])) {
      ++i;
    } else if (c == opener) {
      ++depth;
    } else if (c == closer && --depth == 0) {
      return i;
    }
  }
  return std::string_view::npos;
}

// The text of a block without blanks, escapes resolved.
std::string Unescape(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (zyp::is_space(text[i])) continue;
    if (text[i] == '\\' && i + 1 < text.size() && IsSpecial(text[i + 1])) ++i;
    out += text[i];
  }
  return out;
}

void Unmatched(char bracket) {
  switch (bracket) {
    // clang-format off
    case '[': case ']': MESS_print(kWarnC, "Unmatched []\n"); break;
    case '(': case ')': MESS_print(kWarnC, "Unmatched ()\n"); break;
    case '{': case '}': MESS_print(kWarnC, "Unmatched {}\n"); break;
    // clang-format on
    default: MESS_print(kWarnC, "Unmatched <>\n"); break;
  }
  g_var.stop = true;
}

// A nested list after a head entry: one function level deeper for "(", one
// group level deeper for "{" and "<".
void Nested(std::string_view inner, char opener) {
  if (g_var.func_depth + g_var.group_depth >= VAR_NEST_MAX) {
    MESS_print(kWarnC, "VAR_process: Brackets nested too deeply\n");
    g_var.stop = true;
    return;
  }
  int &depth = opener == '(' ? g_var.func_depth : g_var.group_depth;
  ++depth;
  if (opener == '<') ++g_var.vect_depth;
  Process(inner);
  if (opener == '<') --g_var.vect_depth;
  --depth;
}

// A variable text (VAR_process); stops early once g_var.stop is set.
void Process(std::string_view text) {
  std::string item;
  int last = -1;  // the entry made by the current item
  std::size_t i = 0;
  while (i < text.size() && !g_var.stop) {
    const char c = text[i];
    if (zyp::is_space(c)) {
      ++i;
      continue;
    }
    if (c == '\\' && i + 1 < text.size() && IsSpecial(text[i + 1])) {
      item += text[i + 1];
      i += 2;
      continue;
    }
    switch (c) {
      case ',':
        if (!item.empty()) ProcessVar(item);
        item.clear();
        last = -1;
        ++i;
        break;
      case '[': {
        if (!item.empty()) {
          last = ProcessVar(item);
          item.clear();
        }
        const std::size_t end = Matching(text, i, ']');
        if (end == std::string_view::npos) {
          Unmatched('[');
          break;
        }
        Block(last, Unescape(text.substr(i + 1, end - i - 1)));
        i = end + 1;
        break;
      }
      case '(':
      case '{':
      case '<': {
        const char closer = c == '(' ? ')' : c == '{' ? '}' : '>';
        const std::size_t end = Matching(text, i, closer);
        if (end == std::string_view::npos) {
          Unmatched(c);
          break;
        }
        const int mark = c == '(' ? VAR_MARK_FUNC : c == '{' ? VAR_MARK_GROUP : VAR_MARK_VECT;
        last = HeadEntry(item, mark);
        item.clear();
        Nested(text.substr(i + 1, end - i - 1), c);
        i = end + 1;
        break;
      }
      case ']':
      case ')':
      case '}':
      case '>': Unmatched(c); break;
      default:
        item += c;
        ++i;
        break;
    }
  }
  if (!g_var.stop && !item.empty()) ProcessVar(item);
}

void DebugList() {
  for (int k = 0; k < g_var.num; ++k) {
    const VAR_data &v = g_var.vars[k];
    MESS_print(kDebugC, "VAR %d: %s units=%s type=%d time=%d level=%d format=%s flag=%d\n", k,
               v.name, v.units, v.type, v.time, v.level, v.format, v.flag);
  }
}

std::string DefaultFileName() { return RES_get_progname() + ".var"; }

// An empty list: every entry initial, no nesting, no notes given yet.
void ResetList() {
  for (VAR_data &v : g_var.vars) InitEntry(v);
  g_var.num = 0;
  g_var.func_depth = g_var.group_depth = g_var.vect_depth = 0;
  for (Base &b : g_var.base) b = Base{};
  g_var.base_depth = 0;
  g_var.expansions = 0;
  g_var.stop = false;
  g_var.deep_noted = false;
}

}  // namespace

int VAR_read_file(std::FILE *file) {
  g_var.defs.clear();
  if (!file) return 0;
  std::string line;
  bool more = ReadLine(file, line, VAR_DEF_MAX);
  while (more) {
    // "name word word definition"
    std::size_t i = 0;
    std::string_view words[3];
    for (auto &w : words) {
      while (i < line.size() && zyp::is_space(line[i])) ++i;
      const std::size_t start = i;
      while (i < line.size() && !zyp::is_space(line[i])) ++i;
      w = std::string_view(line).substr(start, i - start);
    }
    const bool skip = words[0].empty() || words[0][0] == '#';
    Definition def;
    def.name = std::string(words[0]);
    while (i < line.size() && zyp::is_space(line[i])) ++i;
    std::string text = line.substr(i);
    // Continuation lines: a definition ending in a backslash goes on.
    std::string next;
    more = ReadLine(file, next, VAR_DEF_MAX);
    for (;;) {
      while (!text.empty() && zyp::is_space(text.back())) text.pop_back();
      if (text.empty() || text.back() != '\\') break;
      text.pop_back();
      if (!more) break;
      std::size_t from = 0;
      while (from < next.size() && zyp::is_space(next[from])) ++from;
      if (text.size() < VAR_DEF_MAX) text += next.substr(from, VAR_DEF_MAX - text.size());
      more = ReadLine(file, next, VAR_DEF_MAX);
    }
    if (!skip) {
      def.text = std::move(text);
      g_var.defs.push_back(std::move(def));
    }
    line = std::move(next);
  }
  return static_cast<int>(g_var.defs.size());
}

int VAR_open_file(const char *file) {
  g_var.defs.clear();
  const std::string name = file && *file ? std::string(file) : DefaultFileName();
  char path[FILE_PATH_MAX + 1];
  FILE_add_path(RES_get("file_path"), name.c_str(), path);
  FilePtr f(FILE_open(path, "r"));
  if (!f) {
    MESS_print(kWarnC, "VAR_open_file: Unable to open var file: %s\n", path);
    return 0;
  }
  VAR_read_file(f.get());
  return 1;
}

int VAR_lookup(const char *name, std::string &str) {
  str.clear();
  if (!name) return 0;
  for (const Definition &d : g_var.defs) {
    if (stricmp(d.name.c_str(), name) == 0) {
      str = d.text;
      return 1;
    }
  }
  return 0;
}

int VAR_setup(const char *filename, const char *var_str) {
  ++builds;
  ResetList();
  std::string_view text = var_str ? var_str : "";
  std::string file = filename ? filename : "";
  if (text.size() >= 3 && strnicmp(text.data(), "fi:", 3) == 0) {
    text.remove_prefix(3);
    const std::size_t colon = text.find(':');
    file = std::string(text.substr(0, colon));
    text = colon == std::string_view::npos ? std::string_view() : text.substr(colon + 1);
  }
  if (!file.empty()) VAR_open_file(file.c_str());
  ReadTable();

  g_var.base[0].type = FLAG_get(FLAG_PLOT_TYPE);
  char tunits[VAR_TUNITS_SIZE], lunits[VAR_TUNITS_SIZE];
  VAR_dec_time("", &g_var.base[0].time, tunits);
  VAR_dec_level("", &g_var.base[0].ltype, &g_var.base[0].level, lunits);

  Process(text);
  DebugList();
  for (int k = 0; k < g_var.num; ++k)
    if (g_var.vars[k].flag >= 0) return 1;
  MESS_print(kDebugC, "Unable to determine variables\n");
  return 0;
}

const VAR_data *VAR_get_vars() { return g_var.vars; }

int VAR_get_num() { return g_var.num; }

long VAR_get_builds() { return builds; }

int VAR_dec_type(const char *str) {
  if (!str) return -1;
  for (const TypeWord &t : kTypeWords)
    if (stricmp(str, t.word) == 0) return t.type;
  return -1;
}

int VAR_dec_time(const char *str, int *time, char *tunits) {
  *time = kMissing;
  if (tunits) tunits[0] = '\0';
  if (!str || !*str) return 0;
  int value = 0;
  int result = kMissing;
  if (strnicmp(str, "anal", 4) == 0) {
    const char *p = str + 4;
    result = 0;
    if (*p == '-') {
      int hours = 0;
      const char *q = ReadCount(p + 1, &hours);
      if (!q) return 0;
      int kind = kTimeKindDefault;
      for (const TimeKind &k : kTimeKinds)
        if (*q && stricmp(q, k.word) == 0) kind = k.code;
      result = kind * 1000000 + CapHours(hours) * 1000;
    } else if (*p) {
      return 0;
    }
  } else if (stricmp(str, "time") == 0) {
    result = kTimeNow;
  } else if (stricmp(str, "init") == 0) {
    result = kTimeInit;
  } else if (stricmp(str, "in") == 0) {
    result = kTimeIn;
  } else if (stricmp(str, "miss") == 0) {
    result = kMissing;
  } else if (const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(*str)));
             (letter == 'h' || letter == 'd' || letter == 'e') && zyp::is_digit(str[1])) {
    // "hN" hours, "dN" days, "eN" days and a half
    const char *end = ReadCount(str + 1, &value);
    if (*end) return 0;
    const long hours = letter == 'h' ? value : letter == 'd' ? 24L * value : 24L * value + 12;
    result = CapHours(hours);
  } else if (const char *p = ReadCount(str, &value)) {
    // "N" hours, "Nday", "N.5day"
    long hours = value;
    if (stricmp(p, "day") == 0)
      hours = 24L * value;
    else if (stricmp(p, ".5day") == 0)
      hours = 24L * value + 12;
    else if (*p)
      return 0;
    result = CapHours(hours);
  } else {
    return 0;
  }
  *time = result;
  if (tunits && result >= 0) CopyText(tunits, VAR_TUNITS_SIZE, "hr");
  return 1;
}

int VAR_dec_level(const char *str, int *ltype, int *level, char *lunits) {
  *ltype = kMissing;
  *level = kMissing;
  if (lunits) lunits[0] = '\0';
  if (!str || !*str) return 0;
  if (stricmp(str, "sfc") == 0) {
    *ltype = 1;
    *level = 0;
    return 1;
  }
  if (stricmp(str, "msl") == 0) {
    *ltype = 102;
    *level = 0;
    return 1;
  }
  int value = 0;
  const char *p = ReadCount(str, &value);
  if (!p || *p) return 0;
  *ltype = 100;
  *level = value;
  if (lunits) CopyText(lunits, VAR_TUNITS_SIZE, "mb");
  return 1;
}

const VAR_desc *VAR_get_table(int *num) {
  ReadTable();
  if (num) *num = static_cast<int>(g_var.table.size());
  return g_var.table.data();
}

void VAR_reset_state() {
  ++builds;  // the list is emptied
  ResetList();
  g_var.defs.clear();
  g_var.table.clear();
  g_var.table_read = false;
}
