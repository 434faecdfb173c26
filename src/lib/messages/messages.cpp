#include "messages/messages.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "date/date.h"
#include "files/paths.h"
#include "messages/progress.h"
#include "util/util.h"

namespace mess_detail {
M_type level = 0xFFFFF;
}  // namespace mess_detail

namespace {

constexpr M_type INITIAL_LEVEL = 0xFFFFF;
constexpr int DEFAULT_MAX_LINES = 22;
constexpr int LOG_NAME_MAX = 159;

M_type &mess_level = mess_detail::level;
int mess_set = 0;
int mess_out = 1;
int page = 1;
int lines = 0;
int max_lines = DEFAULT_MAX_LINES;
FILE *ofile = nullptr;
FILE *pfile = nullptr;
std::string filename;
std::string ofile_name;  // the copy file's name, for messages about it
std::string pfile_name;  // the log file's name (opened once), for messages about it

long flags[FLAG_NUM];
int plot_it[PLOT_NUM] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};

// The formatted text of the current message, reused between messages.
std::vector<char> text(512);

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

void exit_program(int status) { std::exit(status); }
void (*write_failed_exit)(int) = exit_program;

bool write_failed_reported = false;

void write_failed(const char *what, const std::string &name, int err) {
  if (write_failed_reported) return;  // only the first failure is told
  write_failed_reported = true;
  MESS_progress_clear();
  if (!(what == std::string("standard output") && err == EPIPE)) {
    if (name.empty())
      std::fprintf(stderr, "MESS_print: Unable to write %s (%s)\n", what, std::strerror(err));
    else
      std::fprintf(stderr, "MESS_print: Unable to write %s %s (%s)\n", what, name.c_str(),
                   std::strerror(err));
  }
  std::fflush(stderr);
  write_failed_exit(WRITE_FAILED_STATUS);
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
      if (n + 2 > text.size()) text.resize(n + 2);
      std::memcpy(text.data(), line, n);
      text[n] = '\n';
      text[n + 1] = '\0';
      return n + 1;
    }
  }
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(text.data(), text.size(), mess, copy);
  va_end(copy);
  if (n < 0) {
    text[0] = '\0';
    return 0;
  }
  if (static_cast<size_t>(n) >= text.size()) {
    text.resize(static_cast<size_t>(n) + 1);
    std::vsnprintf(text.data(), text.size(), mess, args);
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

  if (ofile) put(ofile, text.data(), n, "output file", ofile_name);
  if (mess_out == 2 && !filename.empty()) {
    pfile = FILE_open(filename.c_str(), "a");
    if (!pfile) write_failed("log file", filename, errno ? errno : EIO);
  }
  if (pfile) {
    if (mess_out == -1) {
      char now[40];
      const char *stamp = DATE_get_current_str(now);
      put(pfile, stamp, std::strlen(stamp), "log file", pfile_name);
      put(pfile, " -- ", 4, "log file", pfile_name);
    }
    put(pfile, text.data(), n, "log file", mess_out == 2 ? filename : pfile_name);
  }
  if (mess_out == 2) close_file(pfile, "log file", filename);
  if (mess_out == 0) return 0;

  if (type & (M_ERROR | M_WARN)) {
    MESS_progress_clear();  // the message gets a line of its own
    std::fwrite(text.data(), 1, n, stderr);  // nowhere to tell of its failure
  }
  else
    put(stdout, text.data(), n, "standard output", {});

  if (page == 2) {
    for (const char *p = mess; *p; ++p)
      if (*p == '\n') ++lines;
    if (lines > max_lines) MESS_hold(type, "Press return to continue\n");
  }
  return 1;
}

int MESS_hold(M_type type, const char *mess) {
  if (!(type & mess_level) || mess_out == 0 || FLAG_batch() || page == 0) return 0;
  FILE *out = ((type & M_ERROR) && (type & M_WARN)) ? stderr : stdout;
  std::fputs(mess, out);
  std::fflush(out);
  std::getchar();
  lines = 0;
  return 0;
}

int MESS_print_prog(const char *string) {
  MESS_print(3840, "      %s (Ver %s)\n\n", string, ZYP_version());
  return 0;
}

int MESS_check_set() { return mess_set; }
M_type MESS_get() { return mess_level; }
int MESS_get_max_lines() { return max_lines; }

int MESS_set(int oper, M_type level) {
  if (oper <= 4) ++mess_set;
  if (oper >= 16 && mess_set != 0) return 0;
  switch (oper) {
    case 0: case 10: case 20: mess_level = fill_lower(level); break;
    case 1: case 11: case 21: mess_level |= level; break;
    case -1: case 9: case 19: mess_level &= ~level; break;
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
    {"none", 0},           {"print", M_PRINT}, {"error", M_ERROR}, {"warn", M_WARN},
    {"mess", M_MESS},      {"out1", M_OUT1},   {"out2", M_OUT2},   {"out3", M_OUT3},
    {"out4", M_OUT4},      {"debug", M_DEBUG},
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
  close_file(pfile);
  pfile_name = name;
  if (name.empty()) return;
  errno = 0;
  pfile = FILE_open(name.c_str(), access);
  if (!pfile) write_failed("log file", name, errno ? errno : EIO);
}

}  // namespace

int MESS_set_str(const char *str) {
  ParsedList items;
  parse_string(str, ',', items);
  ++mess_set;
  for (const std::string &item : items) {
    if (starts_with(item, "@fi")) {
      open_log(name_after(item, 3), "a");
      mess_out = -1;
    } else if (starts_with(item, "+fi")) {
      open_log(name_after(item, 3), "a");
      mess_out = 1;
    } else if (starts_with(item, "-fi")) {
      open_log(name_after(item, 3), "w");
      mess_out = 1;
    } else if (starts_with(item, "dfi")) {
      close_file(pfile);
      filename = name_after(item, 3).substr(0, LOG_NAME_MAX);
      mess_out = 2;
    } else if (starts_with(item, "fi")) {
      open_log(name_after(item, 2), "a");
      mess_out = 0;
    } else if (stricmp(item.c_str(), "nopage") == 0) {
      page = 0;
    } else if (stricmp(item.c_str(), "page") == 0) {
      page = 2;
    } else if (starts_with(item, "line")) {
      int n = item.size() > 5 ? std::atoi(item.c_str() + 5) : 0;
      max_lines = n > 0 ? n : DEFAULT_MAX_LINES;
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
          case 'a': sel &= 0x11111111u; break;
          case 'b': sel &= 0x22222222u; break;
          case 'c': sel &= 0x44444444u; break;
          case 'd': sel &= 0x88888888u; break;
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
  close_file(ofile, "output file", ofile_name);
  ofile_name.clear();
  if (name && access) {
    errno = 0;
    ofile = FILE_open(name, access);
    if (!ofile) write_failed("output file", name, errno ? errno : EIO);
    ofile_name = name;
  }
  return 0;
}

int MESS_file_close() {
  close_file(ofile, "output file", ofile_name);
  ofile_name.clear();
  return 0;
}

void MESS_set_write_failed_exit(void (*hook)(int status)) {
  write_failed_exit = hook ? hook : exit_program;
}

int MESS_flush() {
  close_file(ofile, "output file", ofile_name);
  ofile_name.clear();
  if (pfile && (std::fflush(pfile) == EOF || std::ferror(pfile)))
    write_failed("log file", pfile_name, errno ? errno : EIO);
  errno = 0;
  if (std::fflush(stdout) == EOF || std::ferror(stdout))
    write_failed("standard output", {}, errno ? errno : EIO);
  return 0;
}

int MESS_set_out(int val) {
  mess_out = val;
  return 0;
}

int MESS_set_page(int val) {
  page = val;
  return 0;
}

void MESS_reset_state() {
  close_file(ofile);
  close_file(pfile);
  ofile_name.clear();
  pfile_name.clear();
  write_failed_exit = exit_program;
  write_failed_reported = false;
  mess_level = INITIAL_LEVEL;
  mess_set = 0;
  mess_out = 1;
  page = 1;
  lines = 0;
  max_lines = DEFAULT_MAX_LINES;
  MESS_progress_reset();
  filename.clear();
  FLAG_reset(-9999);
  FLAG_resetplot(1);
}

// ---- flags -----------------------------------------------------------------

namespace {
bool flag_ok(int flag) { return flag >= 0 && flag < FLAG_NUM; }
}  // namespace

int FLAG_get(int flag) { return flag_ok(flag) ? static_cast<int>(flags[flag]) : 0; }
long FLAG_getl(int flag) { return flag_ok(flag) ? flags[flag] : 0; }

int FLAG_set(int flag, int value) { return FLAG_setl(flag, value); }

int FLAG_setl(int flag, long value) {
  if (!flag_ok(flag)) return -1;
  flags[flag] = value;
  return 0;
}

int FLAG_reset(int value) { return FLAG_resetl(value); }

int FLAG_resetl(long value) {
  for (long &f : flags) f = value;
  return 0;
}

int FLAG_batch() { return flags[FLAG_BATCH] > 0 ? 1 : 0; }

int FLAG_set_batch(int val) {
  flags[FLAG_BATCH] = val;
  return 0;
}

int FLAG_help() { return flags[FLAG_HELP] > 0 ? 1 : 0; }

int FLAG_setplot(int type, int val) {
  if (type < 0 || type >= PLOT_NUM) return 0;
  plot_it[type] = val;
  if (type == 12)
    for (int i = 0; i < 12; ++i) plot_it[i] = val;
  if (type == 0)
    for (int i = 1; i <= 6; ++i) plot_it[i] = val;
  int text_sum = 0;
  for (int i = 1; i <= 6; ++i) text_sum += plot_it[i];
  plot_it[0] = text_sum;
  int all = 0;
  for (int i = 0; i < 12; ++i) all += plot_it[i];
  plot_it[12] = all;
  return 0;
}

int FLAG_getplot(int type) { return (type >= 0 && type < PLOT_NUM) ? plot_it[type] : 0; }

int FLAG_resetplot(int val) {
  for (int &p : plot_it) p = val;
  return 0;
}
