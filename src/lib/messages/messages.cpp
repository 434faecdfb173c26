#include "messages/messages.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "files/open.h"
#include "messages/messages_testing.h"
#include "messages/progress.h"
#include "util/number.h"
#include "util/util.h"

namespace {
// The level before any setting: everything up to the second class of program output.
constexpr M_type INITIAL_LEVEL = M_PRINT | M_ERROR | M_WARN | M_MESS | M_OUT1 | M_OUT2;
static_assert(INITIAL_LEVEL == 0xFFFFF);
}  // namespace

namespace mess_detail {
M_type level = INITIAL_LEVEL;
}  // namespace mess_detail

namespace {

constexpr int DEFAULT_MAX_LINES = 22;
constexpr int LOG_NAME_MAX = 159;

M_type &mess_level = mess_detail::level;  // the shown classes (outside the struct: read inline)

void exit_program(int status) { std::exit(status); }

// The module's state, one record for the process.
// clang-format off
struct MessState {
  int mess_set = 0;                    // user settings of the level so far
  int mess_out = 1;                    // where messages go (MESS_set_out)
  int page = 1;                        // paging (MESS_set_page)
  int lines = 0;                       // lines printed since the last pause
  int max_lines = DEFAULT_MAX_LINES;   // lines between two pauses
  FILE *ofile = nullptr;               // the copy file, or null
  FILE *pfile = nullptr;               // the log file, or null
  std::string filename;                // the log opened anew for each message ("dfi=")
  std::string ofile_name;              // the copy file's name, for messages about it
  std::string pfile_name;              // the log file's name (opened once), for messages about it
  void (*write_failed_exit)(int) = exit_program;  // what a write error calls (std::exit but in tests)
  bool write_failed_reported = false;  // a write error has been told
  long flags[FLAG_NUM] = {};           // the flag table
  int plot_it[PLOT_NUM] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};  // the plot switches
  std::vector<char> text = std::vector<char>(512);  // the current message, formatted (reused)
};
// clang-format on
MessState g_mess;

M_type fill_lower(M_type level) {
  if (level == 0) return 0;
  M_type bit = 0x80000000u;
  while (!(level & bit)) bit >>= 1;
  return bit | (bit - 1);
}

// ---- write errors ----------------------------------------------------------
//
// Output that cannot be written is no success: the first failure on standard
// output, the copy file or the log file ends the program with status 1, after one
// message naming the output and the system's reason. A closed standard output (the
// reader of a pipe has gone) ends it quietly.

constexpr int WRITE_FAILED_STATUS = 1;

void write_failed(const char *what, const std::string &name, int err) {
  if (g_mess.write_failed_reported) return;  // only the first failure is told
  g_mess.write_failed_reported = true;
  MESS_progress_clear();
  if (!(what == std::string("standard output") && err == EPIPE)) {
    if (name.empty())
      std::fprintf(stderr, "MESS_print: Unable to write %s (%s)\n", what, std::strerror(err));
    else
      std::fprintf(stderr, "MESS_print: Unable to write %s %s (%s)\n", what, name.c_str(),
                   std::strerror(err));
  }
  std::fflush(stderr);
  g_mess.write_failed_exit(WRITE_FAILED_STATUS);
}

void put(FILE *f, const char *data, size_t n, const char *what, const std::string &name) {
  if (std::fwrite(data, 1, n, f) != n) write_failed(what, name, errno ? errno : EIO);
}

void close_file(FILE *&f, const char *what = nullptr, const std::string &name = {}) {
  if (f) {
    errno = 0;
    const bool bad = std::ferror(f) != 0;
    const int rc = FILE_close(f);
    f = nullptr;
    // A pipe's status is its command's, not a write error.
    if (what && (bad || rc == EOF)) write_failed(what, name, errno ? errno : EIO);
  }
  f = nullptr;
}

// The time stamp of a line of a time-stamped log: the current UTC time as
// "26 DEC 07  08:51:59Z" (the same text as the date module's current-time label,
// written here so that messages needs nothing above it). Returns its length; an
// empty stamp when the clock cannot be read.
constexpr size_t LOG_STAMP_SIZE = 21;
size_t log_stamp(char (&stamp)[LOG_STAMP_SIZE]) {
  static constexpr const char *kMonths[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                              "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  if (gmtime_r(&now, &tm) == nullptr) {
    stamp[0] = '\0';
    return 0;
  }
  const int n = std::snprintf(stamp, sizeof stamp, "%2.2d %s %2.2d  %2.2d:%2.2d:%2.2dZ",
                              (tm.tm_year + 1900) % 100, kMonths[tm.tm_mon], tm.tm_mday, tm.tm_hour,
                              tm.tm_min, tm.tm_sec);
  return n < 0 ? 0 : std::strlen(stamp);
}

// The caller's printf format (MESS_print's, checked at its call sites) and arguments.
size_t format(const char *mess, va_list args) __attribute__((format(printf, 1, 0)));
size_t format(const char *mess, va_list args) {
  // Rows of the tables come as one "%s\n" line each: copy them without the
  // formatter (the bytes are the same).
  if (mess[0] == '%' && mess[1] == 's' && mess[2] == '\n' && mess[3] == '\0') {
    va_list copy;
    va_copy(copy, args);
    const char *line = va_arg(copy, const char *);
    va_end(copy);
    if (line) {
      const size_t n = std::strlen(line);
      if (n + 2 > g_mess.text.size()) g_mess.text.resize(n + 2);
      std::memcpy(g_mess.text.data(), line, n);
      g_mess.text[n] = '\n';
      g_mess.text[n + 1] = '\0';
      return n + 1;
    }
  }
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(g_mess.text.data(), g_mess.text.size(), mess, copy);
  va_end(copy);
  if (n < 0) {
    g_mess.text[0] = '\0';
    return 0;
  }
  if (static_cast<size_t>(n) >= g_mess.text.size()) {
    g_mess.text.resize(static_cast<size_t>(n) + 1);
    std::vsnprintf(g_mess.text.data(), g_mess.text.size(), mess, args);
  }
  return static_cast<size_t>(n);
}

}  // namespace

int MESS_print(M_type type, const char *mess, ...) {
  if (!(type & mess_level) || !mess) return 0;
  va_list args;
  va_start(args, mess);
  size_t n = format(mess, args);
  va_end(args);

  if (g_mess.ofile) put(g_mess.ofile, g_mess.text.data(), n, "output file", g_mess.ofile_name);
  if (g_mess.mess_out == 2 && !g_mess.filename.empty()) {
    g_mess.pfile = FILE_open(g_mess.filename.c_str(), "a");
    if (!g_mess.pfile) write_failed("log file", g_mess.filename, errno ? errno : EIO);
  }
  if (g_mess.pfile) {
    if (g_mess.mess_out == -1) {
      char stamp[LOG_STAMP_SIZE];
      const size_t len = log_stamp(stamp);
      put(g_mess.pfile, stamp, len, "log file", g_mess.pfile_name);
      put(g_mess.pfile, " -- ", 4, "log file", g_mess.pfile_name);
    }
    put(g_mess.pfile, g_mess.text.data(), n, "log file",
        g_mess.mess_out == 2 ? g_mess.filename : g_mess.pfile_name);
  }
  if (g_mess.mess_out == 2) close_file(g_mess.pfile, "log file", g_mess.filename);
  if (g_mess.mess_out == 0) return 0;

  if (type & (M_ERROR | M_WARN)) {
    MESS_progress_clear();                          // the message gets a line of its own
    std::fwrite(g_mess.text.data(), 1, n, stderr);  // nowhere to tell of its failure
  } else
    put(stdout, g_mess.text.data(), n, "standard output", {});

  if (g_mess.page == 2) {
    for (const char *p = mess; *p; ++p)
      if (*p == '\n') ++g_mess.lines;
    if (g_mess.lines > g_mess.max_lines) MESS_hold(type, "Press return to continue\n");
  }
  return 1;
}

int MESS_hold(M_type type, const char *mess) {
  if (!(type & mess_level) || g_mess.mess_out == 0 || FLAG_batch() || g_mess.page == 0) return 0;
  FILE *out = ((type & M_ERROR) && (type & M_WARN)) ? stderr : stdout;
  std::fputs(mess, out);
  std::fflush(out);
  std::getchar();
  g_mess.lines = 0;
  return 0;
}

void ZYP_exit(int status) {
  MESS_flush();  // output that could not be written ends with status 1 instead
  std::fflush(nullptr);
  std::exit(status);
}

int MESS_print_prog(const char *string) {
  MESS_print(M_MESS, "      %s (Ver %s)\n\n", string, ZYP_version());
  return 0;
}

int MESS_check_set() { return g_mess.mess_set; }
M_type MESS_get() { return mess_level; }
int MESS_get_max_lines() { return g_mess.max_lines; }

int MESS_set(int oper, M_type level) {
  // Codes up to this one are the user's; from the other on, program defaults.
  constexpr int kLastUserCode = 4;
  constexpr int kFirstDefaultCode = 16;
  if (oper <= kLastUserCode) ++g_mess.mess_set;
  if (oper >= kFirstDefaultCode && g_mess.mess_set != 0) return 0;
  switch (oper) {
    case MESS_USER_SET:
    case MESS_PROGRAM_SET:
    case MESS_DEFAULT_SET: mess_level = fill_lower(level); break;
    case MESS_USER_ADD:
    case MESS_PROGRAM_ADD:
    case MESS_DEFAULT_ADD: mess_level |= level; break;
    case MESS_USER_REMOVE:
    case MESS_PROGRAM_REMOVE:
    case MESS_DEFAULT_REMOVE: mess_level &= ~level; break;
    default: break;
  }
  return 0;
}

namespace {

struct LevelWord {
  const char *word;
  M_type mask;
};

constexpr LevelWord level_words[] = {
    {"none", 0},      {"print", M_PRINT}, {"error", M_ERROR}, {"warn", M_WARN}, {"mess", M_MESS},
    {"out1", M_OUT1}, {"out2", M_OUT2},   {"out3", M_OUT3},   {"out4", M_OUT4}, {"debug", M_DEBUG},
};

bool starts_with(const std::string &item, const char *prefix) {
  size_t n = std::strlen(prefix);
  return item.size() >= n && strnicmp(item.c_str(), prefix, static_cast<int>(n)) == 0;
}

// The file name after a prefix and one separator character.
std::string name_after(const std::string &item, size_t prefix) {
  return item.size() > prefix + 1 ? item.substr(prefix + 1) : std::string();
}

void open_log(const std::string &name, const char *access) {
  close_file(g_mess.pfile);
  g_mess.pfile_name = name;
  if (name.empty()) return;
  errno = 0;
  g_mess.pfile = FILE_open(name.c_str(), access);
  if (!g_mess.pfile) write_failed("log file", name, errno ? errno : EIO);
}

}  // namespace

int MESS_set_str(const char *str) {
  ParsedList items;
  parse_string(str, ',', items);
  ++g_mess.mess_set;
  for (const std::string &item : items) {
    if (starts_with(item, "@fi")) {
      open_log(name_after(item, 3), "a");
      g_mess.mess_out = -1;
    } else if (starts_with(item, "+fi")) {
      open_log(name_after(item, 3), "a");
      g_mess.mess_out = 1;
    } else if (starts_with(item, "-fi")) {
      open_log(name_after(item, 3), "w");
      g_mess.mess_out = 1;
    } else if (starts_with(item, "dfi")) {
      close_file(g_mess.pfile);
      g_mess.filename = name_after(item, 3).substr(0, LOG_NAME_MAX);
      g_mess.mess_out = 2;
    } else if (starts_with(item, "fi")) {
      open_log(name_after(item, 2), "a");
      g_mess.mess_out = 0;
    } else if (stricmp(item.c_str(), "nopage") == 0) {
      g_mess.page = 0;
    } else if (stricmp(item.c_str(), "page") == 0) {
      g_mess.page = 2;
    } else if (starts_with(item, "line")) {
      int n = item.size() > 5 ? zyp::leading_int(std::string_view(item).substr(5)) : 0;
      g_mess.max_lines = n > 0 ? n : DEFAULT_MAX_LINES;
    } else {
      size_t at = 0;
      char sign = 0;
      if (!item.empty() && (item[0] == '+' || item[0] == '-')) {
        sign = item[0];
        at = 1;
      }
      std::string word = item.substr(at);
      M_type sel = 0;
      for (const LevelWord &w : level_words) {
        if (starts_with(word, w.word)) {
          sel = w.mask;
          break;
        }
      }
      if (!item.empty()) {
        switch (item.back()) {
          case 'a': sel &= M_SUB_A; break;
          case 'b': sel &= M_SUB_B; break;
          case 'c': sel &= M_SUB_C; break;
          case 'd': sel &= M_SUB_D; break;
          default: break;
        }
      }
      if (sign == '+')
        mess_level |= sel;
      else if (sign == '-')
        mess_level &= ~sel;
      else
        mess_level = fill_lower(sel);
    }
  }
  return 0;
}

int MESS_file(const char *name, const char *access) {
  close_file(g_mess.ofile, "output file", g_mess.ofile_name);
  g_mess.ofile_name.clear();
  if (name && access) {
    errno = 0;
    g_mess.ofile = FILE_open(name, access);
    if (!g_mess.ofile) write_failed("output file", name, errno ? errno : EIO);
    g_mess.ofile_name = name;
  }
  return 0;
}

int MESS_file_close() {
  close_file(g_mess.ofile, "output file", g_mess.ofile_name);
  g_mess.ofile_name.clear();
  return 0;
}

void MESS_set_write_failed_exit(void (*hook)(int status)) {
  g_mess.write_failed_exit = hook ? hook : exit_program;
}

int MESS_flush() {
  close_file(g_mess.ofile, "output file", g_mess.ofile_name);
  g_mess.ofile_name.clear();
  // The log is closed, not only flushed: a log that is a command ("|cat > x") is
  // waited for, so that what it writes is there when the program has ended.
  errno = 0;
  if (g_mess.pfile && (std::fflush(g_mess.pfile) == EOF || std::ferror(g_mess.pfile)))
    write_failed("log file", g_mess.pfile_name, errno ? errno : EIO);
  close_file(g_mess.pfile, "log file", g_mess.pfile_name);
  g_mess.pfile_name.clear();
  errno = 0;
  if (std::fflush(stdout) == EOF || std::ferror(stdout))
    write_failed("standard output", {}, errno ? errno : EIO);
  return 0;
}

int MESS_set_out(int val) {
  g_mess.mess_out = val;
  return 0;
}

int MESS_set_page(int val) {
  g_mess.page = val;
  return 0;
}

void MESS_reset_state() {
  close_file(g_mess.ofile);
  close_file(g_mess.pfile);
  g_mess.ofile_name.clear();
  g_mess.pfile_name.clear();
  g_mess.write_failed_exit = exit_program;
  g_mess.write_failed_reported = false;
  mess_level = INITIAL_LEVEL;
  g_mess.mess_set = 0;
  g_mess.mess_out = 1;
  g_mess.page = 1;
  g_mess.lines = 0;
  g_mess.max_lines = DEFAULT_MAX_LINES;
  MESS_progress_reset();
  g_mess.filename.clear();
  FLAG_reset(-9999);
  FLAG_resetplot(1);
}

// ---- flags -----------------------------------------------------------------

namespace {
bool flag_ok(int flag) { return flag >= 0 && flag < FLAG_NUM; }
}  // namespace

int FLAG_get(int flag) { return flag_ok(flag) ? static_cast<int>(g_mess.flags[flag]) : 0; }
long FLAG_getl(int flag) { return flag_ok(flag) ? g_mess.flags[flag] : 0; }

int FLAG_set(int flag, int value) { return FLAG_setl(flag, value); }

int FLAG_setl(int flag, long value) {
  if (!flag_ok(flag)) return -1;
  g_mess.flags[flag] = value;
  return 0;
}

int FLAG_reset(int value) { return FLAG_resetl(value); }

int FLAG_resetl(long value) {
  for (long &f : g_mess.flags) f = value;
  return 0;
}

int FLAG_batch() { return g_mess.flags[FLAG_BATCH] > 0 ? 1 : 0; }

int FLAG_set_batch(int val) {
  g_mess.flags[FLAG_BATCH] = val;
  return 0;
}

int FLAG_help() { return g_mess.flags[FLAG_HELP] > 0 ? 1 : 0; }

int FLAG_setplot(int type, int val) {
  if (type < 0 || type >= PLOT_NUM) return 0;
  g_mess.plot_it[type] = val;
  if (type == 12)
    for (int i = 0; i < 12; ++i) g_mess.plot_it[i] = val;
  if (type == 0)
    for (int i = 1; i <= 6; ++i) g_mess.plot_it[i] = val;
  int text_sum = 0;
  for (int i = 1; i <= 6; ++i) text_sum += g_mess.plot_it[i];
  g_mess.plot_it[0] = text_sum;
  int all = 0;
  for (int i = 0; i < 12; ++i) all += g_mess.plot_it[i];
  g_mess.plot_it[12] = all;
  return 0;
}

int FLAG_getplot(int type) { return (type >= 0 && type < PLOT_NUM) ? g_mess.plot_it[type] : 0; }

int FLAG_resetplot(int val) {
  for (int &p : g_mess.plot_it) p = val;
  return 0;
}
