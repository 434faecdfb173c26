// The interactive prompts and their commands.

#include "resources/prompt.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <string>

#include "messages/messages.h"
#include "resources/resources.h"
#include "resources/resources_testing.h"
#include "util/chars.h"
#include "util/number.h"
#include "util/util.h"

namespace {

// The module's state for the prompts.
struct PromptState {
  FILE *in = nullptr;  // where answers are read; null is standard input
};
PromptState g_prompt;

FILE *prompt_input() { return g_prompt.in ? g_prompt.in : stdin; }

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
    MESS_print(M_PRINT, "%s", prompt);
    bool got = read_answer(line, sizeof line);
    wstrim_string(line);
    if (!got) return str;  // end of input: as an empty answer
    // First blank-separated word, at most length-1 characters.
    const char *p = line;
    while (zyp::is_blank(*p)) ++p;
    size_t n = 0;
    char word[ANSWER_MAX + 1];
    while (p[n] && !zyp::is_blank(p[n]) && n < static_cast<size_t>(length - 1)) {
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
    MESS_print(M_PRINT, "%s", prompt);
    bool got = read_answer(line, sizeof line);
    wstrim_string(line);
    if (!got || line[0] == '\0') return 0.0f;
    if (ZYP_set_command(line)) continue;
    // The number at the start of the answer; an answer that starts with none, or
    // whose number does not fit a float, is asked again.
    const char *p = line;
    while (zyp::is_space(*p)) ++p;
    double value = 0;
    if (zyp::read_double_prefix(p, value) != 0 &&
        std::fabs(value) <= std::numeric_limits<float>::max())
      return static_cast<float>(value);
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
      MESS_print(M_MESS & M_SUB_D, "Set resources\n");
      RES_list();
      MESS_print(M_MESS & M_SUB_D, "\n");
      return 1;
    }
    while (*p == ' ' || *p == '=') ++p;
    RES_put(name.c_str(), p);
    return 1;
  }
  if (strnicmp(string, "exit", 4) == 0) ZYP_exit(0);
  return 0;
}

void ZYP_set_input(FILE *in) { g_prompt.in = in; }
