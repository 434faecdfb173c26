// Fuzz target for the printers of decoded reports: whatever a report text decodes
// to, every line format prints it as well-formed lines.
//
// Input: one report text (report_input.h), made what the raw reader gives
// (printable, at most SFC_DATA_LEN characters). The record
// is decoded as the program does it, then printed in formats 1 to 6, with blanks
// and with dashes for missing values, and the tidied raw text too; standard output
// is caught in memory meanwhile. Checks: only printable characters and line ends; formats 2, 4 and 5
// give one line per report, starting with the identifier, format 1 two or three,
// format 6 none; every line ends with a line end.
// Seeds: real reports (fuzz/corpus/print, the seeds of fuzz/corpus/budget).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "messages/messages.h"
#include "surface/metar.h"
#include "surface/print_line.h"
#include "surface/print_nice.h"
#include "surface/raw_reader.h"
#include "surface/report.h"
#include "surface/sa.h"
#include "capture.h"
#include "report_input.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

int Lines(const std::string &s) {
  int n = 0;
  for (char c : s) {
    if (c == '\n') {
      ++n;
      continue;
    }
    const auto u = static_cast<unsigned char>(c);
    Check(u >= ' ' && u < 127);
  }
  Check(s.empty() || s.back() == '\n');
  return n;
}

// The lines format `type` prints for `r` (blanks or dashes for missing values).
// The one-line formats start with the identifier (after a blank in format 5).
int PrintedLines(int type, int dash, const SFC_report &r) {
  SFC_set_print(type);
  SFC_set_miss_dash(dash);
  Capture cap(stdout);
  SFC_print_line(1, &r);
  const std::string out = cap.Take();
  if (type == 2 || type == 4 || type == 5) {
    const std::string id(r.id, strnlen(r.id, 6));
    const std::size_t at = out.find_first_not_of(' ');
    Check(id.empty() || (at != std::string::npos && out.compare(at, id.size(), id) == 0));
  }
  return Lines(out);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size == 0 || size > 1000) return 0;
  const ReportInput in = PickReport(data, size);

  char text[SFC_DATA_SIZE];
  ReaderText(in, text);

  MESS_reset_state();
  SFC_report r;
  SFC_initialize(&r);
  std::snprintf(r.area, sizeof r.area, "UN");
  DecodeReport(in, text, &r);

  for (int dash = 0; dash <= 1; ++dash) {
    for (int type : {2, 4, 5}) Check(PrintedLines(type, dash, r) == 1);
    const int two = PrintedLines(1, dash, r);
    Check(two == 2 || two == 3);
    Check(PrintedLines(3, dash, r) >= 1);
    Check(PrintedLines(6, dash, r) == 0);
  }
  // Headers of every format, and the tidied raw text.
  for (int type = 1; type <= 6; ++type) {
    SFC_set_print(type);
    Capture cap(stdout);
    SFC_print_line(1, nullptr);
    (void)Lines(cap.Take());
  }
  Capture cap(stdout);
  SFC_print_nice(1, text);
  (void)Lines(cap.Take());

  SFC_print_reset_state();
  MESS_reset_state();
  return 0;
}
