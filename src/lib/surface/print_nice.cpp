#include "surface/print_nice.h"

#include <cstring>
#include <string>
#include <string_view>

#include "util/util.h"

namespace {

// The printer's state: a buffer kept from call to call, so that a run does not
// allocate one per report. Nothing in it outlives a call.
struct NiceState {
  std::string text;  // the squeezed copy of the report being printed
};

NiceState g_nice;

// Where a line of at most `width` characters ends in `text` (longer than
// SFC_NICE_WHOLE_MAX): at the last blank from position `width` back to position
// 1, the blank itself leaving the text. A text without such a blank is cut hard
// after `width` characters, so that nothing is lost.
size_t BreakPoint(std::string_view text, size_t width) {
  size_t start = width < text.size() ? width : text.size() - 1;
  for (size_t i = start; i > 0; --i)
    if (text[i] == ' ') return i;
  return width < text.size() ? width : text.size();
}

// Prints `piece` as the first line ("%s\n") or as a continuation line
// ("     %s\n").
void PrintPiece(M_type mess, bool first, std::string_view piece) {
  char line[SFC_NICE_FIRST_WIDTH + 1];
  size_t n = piece.size() < sizeof line - 1 ? piece.size() : sizeof line - 1;
  std::memcpy(line, piece.data(), n);
  line[n] = '\0';
  if (first)
    MESS_print(mess, "%s\n", line);
  else
    MESS_print(mess, "     %s\n", line);
}

// The rest of the text after a line that ends at `cut`.
std::string_view After(std::string_view text, size_t cut) {
  if (cut < text.size() && text[cut] == ' ') ++cut;
  return text.substr(cut);
}

}  // namespace

// "KDEN 121853Z 00000KT ..." of 160 characters prints as a line of up to 75
// characters and two lines of five blanks and up to 70 characters, each break at a
// blank. A leading blank (left by the squeezing) is never a break point.
int SFC_print_nice(M_type mess, const char *string) {
  if (!string) return 0;
  std::string &text = g_nice.text;
  text.assign(string);
  strip_spaces(text.data());
  text.resize(std::strlen(text.c_str()));

  if (text.size() <= static_cast<size_t>(SFC_NICE_WHOLE_MAX)) {
    MESS_print(mess, "%s\n", text.c_str());
    return 0;
  }

  std::string_view rest = text;
  size_t cut = BreakPoint(rest, SFC_NICE_FIRST_WIDTH);
  PrintPiece(mess, true, rest.substr(0, cut));
  rest = After(rest, cut);

  while (rest.size() > static_cast<size_t>(SFC_NICE_NEXT_WIDTH)) {
    cut = BreakPoint(rest, SFC_NICE_NEXT_WIDTH);
    PrintPiece(mess, false, rest.substr(0, cut));
    rest = After(rest, cut);
  }
  if (!rest.empty()) PrintPiece(mess, false, rest);
  return 0;
}
