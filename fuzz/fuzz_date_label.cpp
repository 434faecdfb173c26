// Fuzzes the reading of date labels and month names, and the making of labels
// from whatever was read, under the time-zone setting given by the first line.
#include <cstdint>
#include <cstring>
#include <string>

#include "date/date.h"
#include "date/date_testing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  std::string input(reinterpret_cast<const char *>(data), size);
  size_t nl = input.find('\n');
  std::string tz = nl == std::string::npos ? std::string() : input.substr(0, nl);
  std::string label = nl == std::string::npos ? input : input.substr(nl + 1);
  DATE_reset_state();
  if (!tz.empty()) DATE_set_TZ(tz.c_str());
  Date d;
  DATE_decode_label(label.c_str(), &d);
  DATE_decode_month(label.c_str());
  char out[DATE_LABEL_SIZE];
  DATE_make_label(&d, out);
  if (std::strlen(out) >= DATE_LABEL_SIZE) __builtin_trap();
  DATE_num_sec(&d);
  return 0;
}
