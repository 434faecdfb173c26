// Fuzz target for the netCDF forms of converted surface files: the input is a whole
// netCDF file, opened as the program opens it (read into memory and handed to the
// netCDF library).
//
// Checks: files that open have a kind of 11 or 12 and a terminated date label;
// every record read keeps the record's limits; reading ends (at the record count,
// at most kMaxRecords here, or at the first record the file does not hold); reading
// a record again gives the same record, and its identifier and location parts agree
// with the whole record.
#include <cstdint>
#include <cstring>
#include <vector>

#include "cvt_check.h"
#include "surface/cvt_reader.h"

namespace {

constexpr int kMaxRecords = 300;

}  // namespace

// The netCDF library allocates what a damaged header claims (a name of 4 GB, the
// shapes of a variable of a billion dimensions) before it finds that the file is too
// short for it, and then fails the open. In the program such an allocation stays
// virtual and costs nothing (17 MB resident, 0.01 s for such a file); under the
// address sanitizer every allocation has its shadow marked, which takes seconds for
// gigabytes. So this target runs as a process whose allocations are capped at 2 GB:
// a larger one gives null, which the library takes as a failed open. libFuzzer's own
// limit on single allocations is lifted for that; resident memory is still limited by
// -rss_limit_mb.
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  static std::vector<char *> args;
  static char malloc_limit[] = "-malloc_limit_mb=1048576";
  args.assign(*argv, *argv + *argc);
  args.insert(args.begin() + 1, malloc_limit);
  args.push_back(nullptr);
  *argc = static_cast<int>(args.size()) - 1;
  *argv = args.data();
  return 0;
}

extern "C" const char *__asan_default_options() {
  return "allocator_may_return_null=1:max_allocation_size_mb=2048";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const CvtInput input(data, size);
  const int fd = input.fd();
  if (fd < 0) return 0;
  const int kind = input.kind();
  const SFC_info &info = input.info();
  if (kind != SFC_CVT_CDF_STATION && kind != SFC_CVT_CDF_REPORT) {
    SFC_close(fd);
    return 0;
  }
  CvtCheck(info.num_stat >= 0);
  SFC_report whole, part;
  int k = 0;
  for (; k < kMaxRecords && k < info.num_stat; ++k) {
    if (SFC_read(fd, &whole, SFC_CVT_FULL, &k) != 0) break;
    CvtCheckReport(whole);
    const int again = -1;
    CvtCheck(SFC_read(fd, &part, SFC_CVT_FULL, &again) == 0);
    CvtCheck(std::memcmp(&whole, &part, sizeof whole) == 0);
    CvtCheck(SFC_read(fd, &part, SFC_CVT_ID, &k) == 0);
    CvtCheck(std::strcmp(part.id, whole.id) == 0);
    CvtCheck(SFC_read(fd, &part, SFC_CVT_LOCATION, &k) == 0);
    CvtCheck(std::memcmp(&part.lat, &whole.lat, sizeof part.lat) == 0 &&
             std::memcmp(&part.elev, &whole.elev, sizeof part.elev) == 0);
  }
  if (k == info.num_stat) CvtCheck(SFC_read(fd, &whole, SFC_CVT_FULL, &k) == -1);
  CvtCheck(SFC_rewind(fd) == 0);
  CvtCheck(SFC_close(fd) == 0);
  return 0;
}
