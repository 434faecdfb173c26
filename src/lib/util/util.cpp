#include "util/util.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

// The module's only state.
struct UtilState {
  float slept = 0.0f;  // seconds paused by ZYP_sleep in this process
};
UtilState g_util;

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

int ZYP_sleep(float secs) {
  if (secs <= 0.0f) return -1;
  g_util.slept += secs;
  usleep(static_cast<useconds_t>(secs * 1e6f));
  return 0;
}

float ZYP_slept() { return g_util.slept; }

const char *ZYP_version() { return "5.60.2-LINUX-X11"; }

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
