// Fuzz target for the text forms of converted surface files: the input is a whole
// file (its first character picks the form: '0' to '2' or a blank the old form, 'Z'
// the new one).
//
// Every line goes through both line readers (with a report type and file hour taken
// from its length); then the file is
// opened as the program opens it, its records are read forward, and a sequence of
// indices taken from the input is read again (forward, the same record, backward,
// the record read last). Checks: every record keeps the record's limits, the reads
// end, and record i is always the same record whichever way it is reached.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "cvt_check.h"
#include "surface/cvt_reader.h"

namespace {

constexpr int kMaxRecords = 5000;

bool Same(const SFC_report &a, const SFC_report &b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string_view text(reinterpret_cast<const char *>(data), size);
  SFC_report r;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    // The report type and the file's hour from the line's length.
    const int rep_type = static_cast<int>(line.size() % 3);
    const int hour = line.size() % 2 ? 12 : SFC_MISSING;
    if (SFC_cvt_parse_old(line, hour, rep_type, &r) == 0) CvtCheckReport(r);
    if (SFC_cvt_parse_new(line, hour, rep_type, &r) == 0) CvtCheckReport(r);
    start = end + 1;
  }

  const CvtInput input(data, size);
  const int fd = input.fd();
  if (fd < 0) return 0;
  const int kind = input.kind();
  CvtCheck(kind == SFC_CVT_OLD || kind == SFC_CVT_NEW || kind == SFC_CVT_CDF_STATION ||
           kind == SFC_CVT_CDF_REPORT);

  std::vector<SFC_report> records;
  for (int k = 0; k < kMaxRecords && SFC_read(fd, &r, SFC_CVT_FULL, &k) == 0; ++k) {
    CvtCheckReport(r);
    records.push_back(r);
  }
  CvtCheck(records.size() <= size);  // one line at least per record
  const int n = static_cast<int>(records.size());
  if (n < kMaxRecords) {
    CvtCheck(SFC_read(fd, &r, SFC_CVT_FULL, &n) == -1);
    const int beyond = n + 7;
    CvtCheck(SFC_read(fd, &r, SFC_CVT_FULL, &beyond) == -1);
  }
  // Indices from the input's first bytes: -1 (the record read last) to n.
  int last = n - 1;  // the forward reads ended on the last record
  for (std::size_t k = 0; k < 8 && k < size && n > 0 && n < kMaxRecords; ++k) {
    int index = static_cast<int>(data[k] % (n + 2)) - 1;
    const int rep_type = data[size - 1 - k] % 3;
    const int got = SFC_read(fd, &r, rep_type, &index);
    const int expected = index == -1 ? last : index;
    if (expected < 0 || expected >= n) {
      CvtCheck(got == -1);
      continue;
    }
    CvtCheck(got == 0);
    CvtCheckReport(r);
    if (rep_type == SFC_CVT_FULL) CvtCheck(Same(r, records[static_cast<std::size_t>(expected)]));
    CvtCheck(std::strcmp(r.id, records[static_cast<std::size_t>(expected)].id) == 0);
    last = expected;
  }
  CvtCheck(SFC_rewind(fd) == 0);
  CvtCheck(SFC_close(fd) == 0);
  return 0;
}
