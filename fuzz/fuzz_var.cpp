// Fuzz target for the variable lists and the variable-list line: whatever the
// variable file and the variable text hold, the list stays within its limits and
// one decoded report prints as one well-formed row.
//
// Input: three parts separated by NUL bytes: the text of a variable file, a
// variable text, and one report (report_input.h: a byte that picks the decoder,
// then the text). Missing parts are empty (an empty report prints as a fresh one).
// The definitions are read from memory (VAR_read_file), the list built with
// VAR_setup, and the report printed in line format 6 with blanks and with dashes
// for missing values, and its header; standard output and standard error are
// caught in memory. Checks: at most VAR_MAX entries, every text field of every
// entry terminated within its size; the header is two lines and the row one,
// each ending with a line end; every column text of SFC_set_print_str, with each
// entry's own format and units, fits its buffer.
// Seeds: fuzz/corpus/var (the shipped variable file and lists of the README and
// the tests, with the bad inputs: many items, deep brackets, self-naming
// definitions, formats that are not one float conversion).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "calc/calc.h"
#include "messages/messages.h"
#include "messages/messages_testing.h"
#include "resources/resources.h"
#include "surface/metar.h"
#include "surface/print_line.h"
#include "surface/print_var.h"
#include "surface/report.h"
#include "surface/sa.h"
#include "var/var.h"
#include "capture.h"
#include "report_input.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

template <std::size_t N>
bool Terminated(const char (&field)[N]) {
  return std::memchr(field, '\0', N) != nullptr;
}

int Lines(const std::string &s) {
  Check(s.empty() || s.back() == '\n');
  return static_cast<int>(std::count(s.begin(), s.end(), '\n'));
}

// The next part of the input up to a NUL byte (or its end).
std::string NextPart(const std::uint8_t *&data, std::size_t &size) {
  const auto *end = static_cast<const std::uint8_t *>(std::memchr(data, 0, size));
  const std::size_t n = end ? static_cast<std::size_t>(end - data) : size;
  std::string part(reinterpret_cast<const char *>(data), n);
  const std::size_t used = end ? n + 1 : n;
  data += used;
  size -= used;
  return part;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size > 8192) return 0;
  std::string file = NextPart(data, size);
  const std::string text = NextPart(data, size);

  // The units file and the variable table are read once for the run, as in the
  // program; the list and the definitions are new for every input.
  static const bool once = [] {
    RES_put("file_path", SOURCE_DIR "/share");
    return true;
  }();
  (void)once;
  MESS_reset_state();
  Capture err(stderr);
  Capture out(stdout);

  if (FILE *f = fmemopen(file.data(), file.size(), "r")) {
    VAR_read_file(f);
    std::fclose(f);
  }
  VAR_setup(nullptr, text.c_str());
  const int num = VAR_get_num();
  Check(num >= 0 && num <= VAR_MAX);
  const VAR_data *vars = VAR_get_vars();
  for (int k = 0; k < num; ++k) {
    const VAR_data &v = vars[k];
    Check(Terminated(v.name) && Terminated(v.units) && Terminated(v.format) &&
          Terminated(v.tunits) && Terminated(v.lunits));
  }

  SFC_report r;
  SFC_initialize(&r);
  std::snprintf(r.area, sizeof r.area, "UN");
  std::snprintf(r.id, sizeof r.id, "TEST");
  if (size > 0) {
    const ReportInput in = PickReport(data, size);
    char report[SFC_DATA_SIZE];
    ReaderText(in, report);
    DecodeReport(in, report, &r);
  }
  r.elev = 190.0f;  // so that the quantities needing the station pressure are made

  (void)out.Take();
  for (int dash = 0; dash <= 1; ++dash) {
    SFC_set_miss_dash(dash);
    Capture lines(stdout);
    SFC_print_var(M_PRINT & M_SUB_C, nullptr);
    Check(Lines(lines.Take()) == 2);
    Capture row(stdout);
    SFC_print_var(M_PRINT & M_SUB_A, &r);
    Check(Lines(row.Take()) == 1);
  }
  for (int k = 0; k < num; ++k) {
    char str[SFC_PRINT_STR_SIZE];
    str[sizeof str - 1] = 'x';
    SFC_set_print_str(r.t == SFC_MISSING_F ? 12.5f : r.t, "F", vars[k].units, vars[k].format, str,
                      sizeof str);
    Check(std::memchr(str, '\0', sizeof str) != nullptr);
    SFC_set_print_str(-3.0e38f, "F", "", vars[k].format, str, sizeof str);
    Check(std::strlen(str) < sizeof str - 1);  // a checked format never fills it
  }
  (void)err.Take();

  SFC_set_miss_dash(0);
  MESS_reset_state();
  return 0;
}
