// Fuzz target for the printers of decoded reports: whatever a report text decodes
// to, every line format prints it as well-formed lines.
//
// Input: one report text (report_input.h), made what the raw reader gives
// (printable, at most SFC_DATA_LEN characters). The record
// is decoded as the program does it, then printed in formats 1 to 8, with blanks
// and with dashes for missing values, and the tidied raw text too; standard output
// is caught in memory meanwhile. Checks: only printable characters and line ends; formats 2, 4 and 5
// give one line per report, starting with the identifier, format 1 two or three,
// format 6 none; every line ends with a line end.
// The CSV and JSON rows (formats 7 and 8) are printed for the decoded record with
// the input's own bytes as its raw text (control and high bytes as they come), for
// a record whose text fields are filled with the input's bytes, and through a
// variable list; each must be one valid CSV record with as many fields as its
// header, or one valid JSON object with the header's names as its keys.
// Seeds: real reports (fuzz/corpus/print, the seeds of fuzz/corpus/budget) and
// texts with quotes, commas, backslashes, control and high bytes.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "messages/messages.h"
#include "messages/messages_testing.h"
#include "surface/metar.h"
#include "surface/print_line.h"
#include "surface/print_nice.h"
#include "surface/print_rows.h"
#include "surface/print_testing.h"
#include "surface/raw_reader.h"
#include "surface/report.h"
#include "surface/sa.h"
#include "capture.h"
#include "report_input.h"
#include "rows_check.h"
#include "resources/resources.h"
#include "var/var.h"

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
  SFC_print_line(M_PRINT & M_SUB_A, &r);
  const std::string out = cap.Take();
  if (type == 2 || type == 4 || type == 5) {
    const std::string id(r.id, strnlen(r.id, 6));
    const std::size_t at = out.find_first_not_of(' ');
    Check(id.empty() || (at != std::string::npos && out.compare(at, id.size(), id) == 0));
  }
  return Lines(out);
}

// The CSV header and row and the JSON row of `r` (with `raw` as its raw text):
// valid, one line each, as many fields as the header names, the names as keys.
void CheckRows(const SFC_report &r, const char *raw, int list) {
  auto line = [&](int json, const SFC_report *rep) {
    SFC_set_print(json ? SFC_PRINT_JSON : SFC_PRINT_CSV);
    SFC_rows_set_raw(raw);
    Capture cap(stdout);
    SFC_print_rows(M_PRINT & M_SUB_A, rep, json, list);
    const std::string out = cap.Take();
    Check(Lines(out) == 1);
    return out.substr(0, out.size() - 1);
  };
  std::vector<rows_check::Field> header, row;
  Check(rows_check::ReadCsv(line(0, nullptr), header));
  Check(rows_check::ReadCsv(line(0, &r), row));
  Check(row.size() == header.size());
  std::vector<rows_check::Member> members;
  Check(rows_check::ReadJson(line(1, &r), members));
  Check(members.size() == header.size());
  for (std::size_t k = 0; k < header.size(); ++k) {
    Check(members[k].key == header[k].text);
    // The same value in both: a JSON null is an empty field, a string its text.
    if (members[k].kind == rows_check::Member::kNull)
      Check(row[k].text.empty());
    else
      Check(members[k].value == row[k].text);
  }
}

// Fills every text field of `r` with bytes of `in`, with or without terminators.
void FillTexts(const std::string &in, SFC_report *r) {
  std::size_t at = 0;
  auto fill = [&](char *field, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) field[i] = in.empty() ? '"' : in[at++ % in.size()];
  };
  fill(r->id, sizeof r->id);
  fill(r->area, sizeof r->area);
  fill(r->cld_cover, sizeof r->cld_cover);
  fill(r->weather, sizeof r->weather);
  fill(&r->cld_low, 1);
  fill(r->cld_type, sizeof r->cld_type);
  fill(r->comment, sizeof r->comment);
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
    for (int type : {2, 4, 5, 7, 8}) Check(PrintedLines(type, dash, r) == 1);
    const int two = PrintedLines(1, dash, r);
    Check(two == 2 || two == 3);
    Check(PrintedLines(3, dash, r) >= 1);
    Check(PrintedLines(6, dash, r) == 0);
  }

  // CSV and JSON rows: the file's hour from the first byte, the input's own bytes
  // (up to a NUL) as the raw text; then a record of the input's bytes; then a list.
  const Date file{
      2020, 1 + data[0] % 12, 1 + data[0] % 28, DATE_MISSING, DATE_MISSING, data[0] % 24, 0, 0};
  SFC_rows_set_input(&file, data[0] & 1);
  CheckRows(r, in.text.c_str(), 0);
  SFC_report bytes;
  SFC_initialize(&bytes);
  FillTexts(in.text, &bytes);
  bytes.time = static_cast<int>(size * 37 % 2500);
  bytes.t = static_cast<float>(size) / 7.0f;
  CheckRows(bytes, in.text.c_str(), 0);
  // A list of every kind of column, with the program's variable table and units
  // file, made once for the run.
  static const bool once = [] {
    RES_put("file_path", SOURCE_DIR "/share");
    VAR_setup(nullptr,
              "obs_time,id,temp:C,dewp,rhum,wspd:m/s,cldcv,fr,txtwx,rmk,raw,nosuch,temp:C");
    return true;
  }();
  (void)once;
  CheckRows(r, in.text.c_str(), 1);
  CheckRows(bytes, nullptr, 1);

  // Headers of every format, and the tidied raw text.
  for (int type = 1; type <= 8; ++type) {
    SFC_set_print(type);
    Capture cap(stdout);
    SFC_print_line(M_PRINT & M_SUB_A, nullptr);
    (void)Lines(cap.Take());
  }
  Capture cap(stdout);
  SFC_print_nice(M_PRINT & M_SUB_A, text);
  (void)Lines(cap.Take());

  SFC_print_reset_state();
  MESS_reset_state();
  return 0;
}
