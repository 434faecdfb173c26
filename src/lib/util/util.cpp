#include "util/util.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "messages/messages.h"
#include "resources/resources.h"

namespace {

float g_slept = 0.0f;
FILE *g_prompt_in = nullptr;

FILE *prompt_input() { return g_prompt_in ? g_prompt_in : stdin; }

int lower(unsigned char c) { return std::tolower(c); }

}  // namespace

int fill_string(char *string, char tar, char fill) {
  if (!string) return 0;
  for (char *p = string; *p; ++p)
    if (*p == tar) *p = fill;
  return 0;
}

int strip_string(char *string, char tar) {
  if (!string) return 0;
  char *out = string;
  for (char *p = string; *p; ++p)
    if (*p != tar) *out++ = *p;
  *out = '\0';
  return 0;
}

int wstrim_string(char *string) {
  if (!string) return 1;
  char *out = string;
  for (char *p = string; *p; ++p)
    if (*p != '\n' && *p != '\r') *out++ = *p;
  *out = '\0';
  trim_string(string);
  return 1;
}

int trim_string(char *string) {
  if (!string) return 0;
  size_t n = std::strlen(string);
  while (n > 0 && string[n - 1] == ' ') --n;
  string[n] = '\0';
  return 0;
}

int trim_cr_string(char *string) {
  if (!string) return 0;
  size_t n = std::strlen(string);
  while (n > 0 && string[n - 1] == '\r') --n;
  string[n] = '\0';
  return 0;
}

int strip_spaces(char *string) {
  if (!string) return 0;
  trim_string(string);
  char *out = string;
  bool blank = false;
  for (char *p = string; *p; ++p) {
    if (*p == ' ') {
      if (blank) continue;
      blank = true;
    } else {
      blank = false;
    }
    *out++ = *p;
  }
  *out = '\0';
  return 0;
}

int strip_escape(char *string) {
  if (!string) return 0;
  char *out = string;
  for (char *p = string; *p; ++p) {
    if (*p == '\\') {
      ++p;
      if (!*p) break;
    }
    *out++ = *p;
  }
  *out = '\0';
  return 0;
}

int low_string(char *string) {
  if (!string || !*string) return 0;
  for (char *p = string; *p; ++p)
    if (*p >= 'A' && *p <= 'Z') *p = static_cast<char>(*p - 'A' + 'a');
  return 1;
}

int clean_line(unsigned char *line) {
  if (!line || !*line) return 0;
  return clean_line_n(line, std::strlen(reinterpret_cast<char *>(line)));
}

int strmcat(char *s1, const char *s2, int m) {
  if (!s1 || !s2) return 0;
  size_t len = std::strlen(s1);
  if (m < 0 || len >= static_cast<size_t>(m)) return 0;
  size_t room = static_cast<size_t>(m) - len;
  size_t add = std::strlen(s2);
  if (add > room) add = room;
  if (add == 0) return 0;
  std::memcpy(s1 + len, s2, add);
  s1[len + add] = '\0';
  return 1;
}

int stricmp(const char *s1, const char *s2) {
  if (!s1 || !s2) return 1;
  for (;; ++s1, ++s2) {
    int a = lower(static_cast<unsigned char>(*s1));
    int b = lower(static_cast<unsigned char>(*s2));
    if (a != b || a == 0) return a - b;
  }
}

int strnicmp(const char *s1, const char *s2, int n) {
  if (!s1 || !s2) return 1;
  if (n < 1) n = 1;
  for (int i = 0; i < n; ++i) {
    int a = lower(static_cast<unsigned char>(s1[i]));
    int b = lower(static_cast<unsigned char>(s2[i]));
    if (a != b || a == 0) return a - b;
  }
  return 0;
}

int parse_string(const char *string, char delim, ParsedList &items) {
  items.clear();
  if (!string || !*string) return -1;
  std::string_view text(string);
  while (!text.empty() && text.back() == delim) text.remove_suffix(1);
  size_t start = 0;
  for (;;) {
    size_t at = text.find(delim, start);
    if (at == std::string_view::npos) {
      items.emplace_back(text.substr(start));
      break;
    }
    items.emplace_back(text.substr(start, at - start));
    start = at + 1;
  }
  return 0;
}

int free_parsed_array(ParsedList &items) {
  items.clear();
  items.shrink_to_fit();
  return 0;
}

namespace {

// One scan of at most len characters other than a newline, which stays in the stream.
// Returns the count read, 0 when the next character is a newline, -1 at the end.
int scan_piece(FILE *f, char *s, int len) {
  int n = 0;
  int c = EOF;
  while (n < len && (c = std::getc(f)) != EOF) {
    if (c == '\n') {
      std::ungetc(c, f);
      break;
    }
    s[n++] = static_cast<char>(c);
  }
  s[n] = '\0';
  if (n > 0) return n;
  return c == EOF ? -1 : 0;
}

}  // namespace

int fgetnline(FILE *ifile, char *string, int len) {
  if (!ifile || !string) return -1;
  if (len < 1) len = 1;
  int n = scan_piece(ifile, string, len);
  if (n != 0) return n;
  std::getc(ifile);  // the newline that ended the previous line
  return scan_piece(ifile, string, len);
}

int fgetstring(FILE *ifile, char *string, int len) {
  int n = fgetnline(ifile, string, len);
  if (n < 0) return -1;
  return n > 0 ? 1 : 0;
}

namespace {

// Reads one answer line of at most 79 characters; false at the end of the input.
bool read_answer(char *line, size_t size) {
  std::fflush(stdout);
  if (!std::fgets(line, static_cast<int>(size), prompt_input())) {
    line[0] = '\0';
    return false;
  }
  size_t n = std::strlen(line);
  if (n > 0 && line[n - 1] != '\n') {
    // Drop the rest of an over-long line.
    int c;
    while ((c = std::getc(prompt_input())) != EOF && c != '\n') {
    }
  }
  return true;
}

constexpr int ANSWER_MAX = 79;

}  // namespace

char *ZYP_prompts(const char *prompt, char *str, int length) {
  if (length < 2) length = 2;
  if (!str) {
    str = new (std::nothrow) char[static_cast<size_t>(length) + 1];
    if (!str) return nullptr;
    str[0] = '\0';
  }
  char line[ANSWER_MAX + 2];
  for (;;) {
    MESS_print(15, "%s", prompt);
    bool got = read_answer(line, sizeof line);
    wstrim_string(line);
    if (!got) return str;  // end of input: as an empty answer
    // First blank-separated word, at most length-1 characters.
    const char *p = line;
    while (*p == ' ' || *p == '\t') ++p;
    size_t n = 0;
    char word[ANSWER_MAX + 1];
    while (p[n] && p[n] != ' ' && p[n] != '\t' && n < static_cast<size_t>(length - 1)) {
      word[n] = p[n];
      ++n;
    }
    word[n] = '\0';
    // A command is no answer: it leaves the caller's text as it was.
    if (ZYP_set_command(line)) continue;
    if (n > 0) std::memcpy(str, word, n + 1);
    if (line[0] == '\0') return str;
    if (n > 0) return str;
  }
}

float ZYP_promptf(const char *prompt) {
  char line[ANSWER_MAX + 2];
  for (;;) {
    MESS_print(15, "%s", prompt);
    bool got = read_answer(line, sizeof line);
    wstrim_string(line);
    if (!got || line[0] == '\0') return 0.0f;
    if (ZYP_set_command(line)) continue;
    float value;
    if (std::sscanf(line, "%f", &value) == 1) return value;
  }
}

int ZYP_set_command(const char *string) {
  if (!string) return 0;
  if (strnicmp(string, "set", 3) == 0) {
    const char *p = string + 3;
    // The command word may run on ("settings"); the name starts after the first blank.
    while (*p && *p != ' ' && *p != '=') ++p;
    while (*p == ' ' || *p == '=') ++p;
    std::string name;
    while (*p && *p != ' ' && *p != '=') name += *p++;
    if (name.empty()) {
      MESS_print(2048, "Set resources\n");
      RES_list();
      MESS_print(2048, "\n");
      return 1;
    }
    while (*p == ' ' || *p == '=') ++p;
    RES_put(name.c_str(), p);
    return 1;
  }
  if (strnicmp(string, "exit", 4) == 0) ZYP_exit(0);
  return 0;
}

void ZYP_exit(int status) {
  MESS_flush();  // output that could not be written ends with status 1 instead
  std::fflush(nullptr);
  std::exit(status);
}

int ZYP_sleep(float secs) {
  if (secs <= 0.0f) return -1;
  g_slept += secs;
  usleep(static_cast<useconds_t>(secs * 1e6f));
  return 0;
}

float ZYP_slept() { return g_slept; }

const char *ZYP_version() { return "5.60.2-LINUX-X11"; }

void ZYP_set_input(FILE *in) { g_prompt_in = in; }

int clean_line_n(unsigned char *line, std::size_t n) {
  if (!line || n == 0) return 0;
  long i = static_cast<long>(n) - 1;
  // The trailing part: control bytes are cut off; the first printable byte from the
  // end ends it and becomes a blank when it has the high bit.
  for (; i >= 0; --i) {
    if (line[i] < ' ') {
      line[i] = '\0';
      continue;
    }
    if (line[i] >= 128) line[i] = ' ';
    --i;
    break;
  }
  // Below the blank or with the high bit set: c - ' ' wraps above 95 (one test, so
  // that the loop compiles to a vector loop on long lines).
  for (long k = 0; k <= i; ++k) {
    const unsigned char c = line[k];
    line[k] = static_cast<unsigned char>(c - ' ') > 95 ? ' ' : c;
  }
  return 1;
}
