// Fuzz target for the reader of netCDF observation files of raw reports (MADIS):
// the input is a whole netCDF file, opened in memory by the netCDF library.
//
// Checks that the reader comes to an end, that every report keeps the limits of the
// report record (text, identifier, format code, origin) and holds no control or high
// bytes, and that the reports decode. Only the classic netCDF forms are fed to the
// library (inputs that begin with "CDF\1" or "CDF\2"); the reader itself treats any
// file alike. Seeds: small MADIS-like files made with ncgen from the CDL texts in
// tests/data/netcdf/madis_seeds, and files of other kinds.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "surface/madis_reader.h"
#include "surface/metar.h"
#include "surface/raw_reader.h"
#include "surface/report.h"
#include "surface/sa.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

void CheckReport(const data_struct &d) {
  const void *end = std::memchr(d.data, '\0', sizeof d.data);
  Check(end != nullptr);
  const size_t len = static_cast<size_t>(static_cast<const char *>(end) - d.data);
  Check(len >= 1 && len <= static_cast<size_t>(SFC_DATA_LEN));
  Check(std::memchr(d.id, '\0', sizeof d.id) != nullptr && d.id[0] != '\0');
  Check(d.format == SFC_FMT_SA || d.format == SFC_FMT_METAR || d.format == SFC_FMT_SP ||
        d.format == SFC_FMT_SPECI);
  Check(d.bulletin == SFC_ORIGIN_US || d.bulletin == SFC_ORIGIN_CANADA ||
        d.bulletin == SFC_ORIGIN_MEXICO || d.bulletin == SFC_ORIGIN_OTHER);
  for (size_t i = 0; i < len; ++i) {
    const auto c = static_cast<unsigned char>(d.data[i]);
    Check(c >= ' ' && c < 128);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 4 || std::memcmp(data, "CDF", 3) != 0 || (data[3] != 1 && data[3] != 2)) return 0;
  SFC_madis m;
  if (!m.open_memory(data, size)) return 0;
  data_struct d;
  int prhour = 0;
  size_t reads = 0;
  while (m.read(&d, &prhour) == 0) {
    Check(++reads <= 1000000);
    CheckReport(d);
    Check(prhour == -9999 || (prhour >= 0 && prhour <= 2359));
    SFC_report r;
    SFC_initialize(&r);
    if (d.format == SFC_FMT_SA || d.format == SFC_FMT_SP)
      SFC_decode_SA(d.data, d.format, d.bulletin, &r);
    else
      SFC_decode_METAR(d.data, d.format, d.bulletin, &r);
  }
  Check(m.read(&d, &prhour) == -1);
  return 0;
}
