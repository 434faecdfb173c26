// Start-up: definition rows from the program's identifier lists, then values gathered
// in rising precedence (resource files along the search path and the companion display
// program, environment variables, command line) and converted by their kind.
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "date/date.h"
#include "ipc/ipc.h"
#include "messages/messages.h"
#include "resources/resources.h"
#include "resources/table.h"
#include "util/chars.h"
#include "util/number.h"

namespace {

constexpr const char *DEFAULT_SEARCH_PATH = ".:/home/zyp/etc:/usr/local/zyp/etc";
constexpr M_type TRACE = M_DEBUG & M_SUB_D;

bool is_option(const char *arg) {
  if (!arg || arg[0] != '-') return false;
  if (zyp::is_alpha(arg[1])) return true;
  return arg[1] == '-' && zyp::is_alpha(arg[2]);
}

// An option written with one dash and a letter (the pre-scan looks only at these).
bool is_single_dash_option(const char *arg) {
  return arg && arg[0] == '-' && zyp::is_alpha(arg[1]);
}

struct Option {
  std::string name;
  bool has_value = false;
  std::string value;
  bool from_next = false;  // the value was the next argument
};

// Reads the option at argv[i] (after `dashes` dashes), consuming the next argument as
// its value when it has no "=" and the next argument is no option.
Option read_option(int &i, int argc, char **argv, int dashes) {
  Option opt;
  const char *text = argv[i] + dashes;
  const char *eq = std::strchr(text, '=');
  size_t len = eq ? static_cast<size_t>(eq - text) : std::strlen(text);
  if (len > RES_OPTION_MAX) len = RES_OPTION_MAX;
  opt.name.assign(text, len);
  if (eq) {
    opt.has_value = true;
    opt.value = eq + 1;
  } else if (i + 1 < argc && !is_single_dash_option(argv[i + 1])) {
    opt.has_value = true;
    opt.value = argv[++i];
    opt.from_next = true;
  }
  return opt;
}

// "n", "na", "nam", "name" (case as given when `exact`, else any case).
bool abbreviates_name(const std::string &name, bool exact) {
  if (name.empty() || name.size() > 4) return false;
  return exact ? std::strncmp("name", name.c_str(), name.size()) == 0
               : strnicmp("name", name.c_str(), static_cast<int>(name.size())) == 0;
}

bool names_default(const std::string &name, bool exact) {
  if (exact) return name.rfind("default", 0) == 0 || name.rfind("df", 0) == 0;
  return strnicmp(name.c_str(), "default", 7) == 0 || strnicmp(name.c_str(), "df", 2) == 0;
}

bool row_named(const RES_defobj &row) { return row.def && row.def[0] != '\0'; }

void store_for_row(RES_defobj *table, int row, const char *value) {
  RES_new(row, table[row].def, value, table[row].cvt);
}

void store_loose(const char *name, const char *value) { RES_new(-9999, name, value, CV_string); }

int find_option_row(RES_defobj *table, const std::string &name) {
  const char *n = name.c_str();
  for (int pass = 0; pass < 3; ++pass) {
    for (int r = 0; table[r].def; ++r) {
      const RES_defobj &row = table[r];
      if (!row_named(row) || !row.cmd) continue;
      bool hit = false;
      switch (pass) {
        case 0: hit = stricmp(row.cmd, n) == 0; break;
        case 1: hit = stricmp(row.def, n) == 0; break;
        default:
          hit = !name.empty() && strnicmp(row.def, n, static_cast<int>(name.size())) == 0;
          break;
      }
      if (hit) return r;
    }
  }
  return -1;
}

// Whether a value holds a name that would run a command: a "|" that begins the value
// or one of its items ("a,|b", "fi=|b", "a:|b", "a |b").
bool names_a_command(const std::string &value) {
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '|') continue;
    if (i == 0 || std::strchr(",=: \t\n", value[i - 1])) return true;
  }
  return false;
}

void read_resource_file(RES_defobj *table, const std::string &item) {
  DEF_open(item.c_str());
  std::string name, value;
  while (DEF_get(name, value) == 1) {
    // A resource file can lie in whatever directory the program is run from: the
    // commands of "|" names are taken only from what the user types.
    if (names_a_command(value)) {
      MESS_print(M_WARN, "RES_decode: Commands are not taken from resource files: %s: %s\n",
                 name.c_str(), value.c_str());
      continue;
    }
    bool matched = false;
    for (int r = 0; table[r].def; ++r) {
      if (!row_named(table[r]) || !DEF_cmp(table[r].def, name.c_str())) continue;
      MESS_print(TRACE, "RESRC: %s=%s\n", name.c_str(), value.c_str());
      store_for_row(table, r, value.c_str());
      matched = true;
    }
    if (!matched && DEF_valid(name.c_str()))
      store_loose(DEF_parse_name(name.c_str()).c_str(), value.c_str());
  }
  DEF_close();
}

// ---- the companion display program ----------------------------------------------
//
// A "#N" item of the search path links to the companion over its message queue of key
// N: the companion's values of the rows are taken at that place of the path, the
// companion is told the settings it lacks and, later, every option of the command
// line, and "quit" ends the exchange. Every wait is bounded by the queue's time-out.

// Status-0 lines that one answer may carry before the companion counts as broken.
constexpr int COMPANION_MAX_LINES = 1000;

struct Companion {
  std::string name;  // the text after "#", for messages
  int queue = -1;
  int conn = -1;
  bool open() const { return conn > 0; }
};

// The queue key of a "#N" item: a whole decimal number.
bool companion_key(const std::string &text, int &key) {
  // White space may come before the number, nothing after it.
  size_t at = 0;
  while (at < text.size() && zyp::is_space(text[at])) ++at;
  long value = 0;
  if (!zyp::read_long_exact(std::string_view(text).substr(at), value) || value < INT_MIN ||
      value > INT_MAX)
    return false;
  key = static_cast<int>(value);
  return true;
}

// Reads the lines of one answer up to its ending line and returns the ending status;
// `lines` (when given) receives the status-0 lines. A companion that never ends an
// answer loses the link.
int read_answer(Companion &link, std::vector<std::string> *lines) {
  std::string item;
  for (int count = 0; link.open(); ++count) {
    if (count > COMPANION_MAX_LINES) {
      MESS_print(M_WARN, "ROVedoz window: %s answers without end, link dropped\n",
                 link.name.c_str());
      link.conn = -1;
      break;
    }
    int status = MQ_get(link.queue, link.conn, item);
    if (status != 0) return status;
    if (lines) lines->push_back(item);
  }
  return -1;
}

// Sends one message that the companion acknowledges, and reads the acknowledgement.
void tell_companion(Companion &link, const char *name, const char *value) {
  if (!link.open()) return;
  if (MQ_put(link.queue, link.conn, "set res %s %s", name, value ? value : "") == 0)
    read_answer(link, nullptr);
}

void close_companion(Companion &link) {
  if (link.open() && MQ_put(link.queue, link.conn, "quit") == 0) read_answer(link, nullptr);
  link = Companion{};
}

// A value line of an answer: stored for the row unless it is empty, starts with "!"
// or a newline, or names a command. Returns whether it was stored.
bool store_companion_value(RES_defobj *table, int row, std::string line) {
  if (line.empty() || line[0] == '!' || line[0] == '\n') return false;
  if (line.back() == '\n') line.pop_back();
  if (names_a_command(line)) {
    MESS_print(M_WARN, "RES_decode: Commands are not taken from the companion: %s: %s\n",
               table[row].def, line.c_str());
    return false;
  }
  MESS_print(TRACE, "RESRC: %s=%s\n", table[row].def, line.c_str());
  store_for_row(table, row, line.c_str());
  return true;
}

void link_companion(RES_defobj *table, Companion &link, const std::string &number) {
  close_companion(link);  // an earlier link ends before the next begins
  link.name = number;
  int key = 0;
  int queue = companion_key(number, key) ? MQ_open(key) : -1;
  if (queue == -1) {
    MESS_print(M_WARN, "ROVedoz window: %s not running or no message queue exists\n",
               number.c_str());
    return;
  }
  int conn = queue < 0 ? -1 : MQ_connect(queue);
  if (conn < 0) {
    MESS_print(M_WARN, "ROVedoz window: %s unable to connect\n", number.c_str());
    return;
  }
  link.queue = queue;
  link.conn = conn;

  // All questions first, then the answers in the same order.
  std::vector<bool> asked;
  for (int r = 0; table[r].def; ++r)
    asked.push_back(row_named(table[r]) && MQ_put(queue, conn, "query res %s", table[r].def) == 0);
  int owed = 0;
  std::vector<std::string> lines;
  for (int r = 0; table[r].def && link.open(); ++r) {
    if (!asked[r]) continue;
    lines.clear();
    int status = read_answer(link, &lines);
    if (!link.open()) break;
    bool stored = false;
    for (const std::string &line : lines) stored = store_companion_value(table, r, line) || stored;
    const char *held = RES_get(table[r].def);
    if (!stored && held && MQ_put(queue, conn, "set res %s %s", table[r].def, held) == 0) ++owed;
    if (status == MQ_NOT_RUNNING) MESS_print(M_WARN, "ROVedoz not running!\n");
  }
  for (; owed > 0 && link.open(); --owed) read_answer(link, nullptr);
}

}  // namespace

int RES_decode(const char *progname, const char *cls, int argc, char **argv,
               RES_defobj *def_table) {
  (void)progname;
  (void)cls;
  RES_setCL(argc, argv);
  DEF_prog();

  if (const char *env = std::getenv("zypdefault")) store_loose("default", env);

  // Pre-scan for the options that steer the reading of resource files.
  for (int i = 1; i < argc; ++i) {
    if (!is_single_dash_option(argv[i])) continue;
    Option opt = read_option(i, argc, argv, 1);
    if (!opt.has_value) continue;
    if (abbreviates_name(opt.name, true)) {
      store_loose("name", opt.value.c_str());
      DEF_name(opt.value.c_str());
    } else if (names_default(opt.name, true)) {
      store_loose("default", opt.value.c_str());
    }
  }

  // Resource files along the search path; a later item overrides an earlier one.
  const char *path = RES_get("default");
  std::string search = path ? path : DEFAULT_SEARCH_PATH;
  ParsedList items;
  if (parse_string(search.c_str(), ':', items) < 0) items.assign(1, std::string());
  DEF_clr_tag();
  Companion companion;
  for (const std::string &item : items) {
    if (!item.empty() && item[0] == '+') {
      DEF_tag(item.c_str() + 1);
    } else if (!item.empty() && item[0] == '#') {
      link_companion(def_table, companion, item.substr(1));
    } else {
      read_resource_file(def_table, item);
    }
  }

  // Environment variables.
  for (int r = 0; def_table[r].def; ++r) {
    if (!row_named(def_table[r])) continue;
    std::string value;
    if (DEF_env(def_table[r].def, def_table[r].env, value))
      store_for_row(def_table, r, value.c_str());
  }

  // The command line.
  int positional = 0;
  for (int i = 1; i < argc; ++i) {
    const char *arg = argv[i];
    if (std::strcmp(arg, "--") == 0) continue;
    if (is_option(arg)) {
      int dashes = arg[1] == '-' ? 2 : 1;
      Option opt = read_option(i, argc, argv, dashes);
      if (abbreviates_name(opt.name, false) || names_default(opt.name, false)) continue;
      int row = find_option_row(def_table, opt.name);
      if (row < 0) {
        store_loose(opt.name.c_str(), opt.has_value ? opt.value.c_str() : nullptr);
        tell_companion(companion, opt.name.c_str(), opt.has_value ? opt.value.c_str() : nullptr);
        continue;
      }
      DEF_convert cvt = def_table[row].cvt;
      if (opt.from_next && (cvt == CV_bool || cvt == CV_batch || cvt == CV_help)) {
        --i;  // a switch gives its argument back
        opt.has_value = false;
      }
      store_for_row(def_table, row, opt.has_value ? opt.value.c_str() : nullptr);
      tell_companion(companion, def_table[row].def, opt.has_value ? opt.value.c_str() : nullptr);
      continue;
    }
    ++positional;
    int row = -1;
    for (int r = 0; def_table[r].def && row < 0; ++r)
      if (def_table[r].pos == positional) row = r;
    for (int r = 0; def_table[r].def && row < 0; ++r)
      if (def_table[r].pos == RES_POS_ALL) row = r;
    if (row < 0) continue;
    if (def_table[row].pos == RES_POS_ALL && positional > 1)
      RES_append(row, def_table[row].def, arg, def_table[row].cvt);
    else
      store_for_row(def_table, row, arg);
  }

  close_companion(companion);

  // Conversion of every value that belongs to a row, in store order.
  RES_convert_rows(def_table);
  return 0;
}

int RES_init(int argc, char **argv, const res_type *res_key, const res_type *res_pos) {
  FLAG_reset(-9999);
  RES_defobj table[RES_TABLE_ROWS];
  int n = 0;
  for (const res_type *r = res_key; r && *r != RES_null && n < RES_TABLE_ROWS - 1; ++r)
    RES_enter(&table[n++], *r);
  for (const res_type *r = res_pos; r && *r != RES_null && n < RES_TABLE_ROWS - 1; ++r)
    RES_enter(&table[n++], *r);
  table[n] = RES_defobj{};
  RES_decode(argc > 0 ? argv[0] : "", "Zyp", argc, argv, table);
  if (const char *tz = std::getenv("zyptz")) DATE_set_TZ(tz);
  return 1;
}
