// Fuzz target for the METAR decoder: the input is one report text.
//
// The first byte picks the bulletin origin (US, Canada, Mexico, other), the
// format code (METAR or SPECI) and the bulletin time; the rest is the report,
// cut at a NUL byte. The text is handed over in a heap block of exactly its
// size plus the terminator, so any read past it is caught. Checks that the
// decoder returns 0 or -1, leaves the caller's text as it was, keeps every text
// of the record terminated within its field and the layers within the record,
// and gives the same record with its quick checks off.
// Seeds: real reports (fuzz/corpus/metar, from tests/data/metar).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "surface/metar.h"
#include "surface/metar_testing.h"
#include "surface/raw_reader.h"
#include "surface/report.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

bool Terminated(const char *s, std::size_t size) { return std::memchr(s, '\0', size) != nullptr; }

void CheckRecord(int rc, const SFC_report &r) {
  Check(rc == 0 || rc == -1);
  Check(Terminated(r.id, sizeof r.id) && std::strlen(r.id) <= 4);
  Check(Terminated(r.area, sizeof r.area) && std::strcmp(r.area, "ME") == 0);
  Check(rc == -1 ? r.type == 0 : (r.type == 1 || r.type == 2));
  Check(r.num_cld >= 0 && r.num_cld <= SFC_MAX_CLD);
  for (int i = r.num_cld; i < SFC_MAX_CLD; ++i)
    Check(r.cld_cover[i] == ' ' && r.cld_height[i] == SFC_MISSING_F);
  Check(Terminated(r.weather, sizeof r.weather) && r.weather[0] != '\0');
  Check(Terminated(r.comment, sizeof r.comment) && std::strchr(r.comment, '$') == nullptr);
  Check(r.w_dir == SFC_MISSING_F || (r.w_dir >= 0 && r.w_dir <= 360));
  Check(r.flag == 0 || r.flag == 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size == 0 || size > 1000) return 0;
  static const int kOrigins[] = {SFC_ORIGIN_US, SFC_ORIGIN_CANADA, SFC_ORIGIN_MEXICO,
                                 SFC_ORIGIN_OTHER};
  const unsigned pick = data[0];
  const int bulletin = kOrigins[pick & 3];
  const int format = (pick & 4) ? SFC_FMT_SPECI : SFC_FMT_METAR;
  SFC_set_prhour(static_cast<int>((pick >> 3) % 24) * 100);

  const char *body = reinterpret_cast<const char *>(data + 1);
  const std::size_t n = strnlen(body, size - 1);
  auto text = std::make_unique<char[]>(n + 1);
  std::memcpy(text.get(), body, n);
  text[n] = '\0';
  auto before = std::make_unique<char[]>(n + 1);
  std::memcpy(before.get(), text.get(), n + 1);

  SFC_report quick;
  SFC_initialize(&quick);
  SFC_metar_set_quick_checks(true);
  const int rc = SFC_decode_METAR(text.get(), format, bulletin, &quick);
  Check(std::memcmp(text.get(), before.get(), n + 1) == 0);
  CheckRecord(rc, quick);

  SFC_report full;
  SFC_initialize(&full);
  SFC_metar_set_quick_checks(false);
  const int rc_full = SFC_decode_METAR(text.get(), format, bulletin, &full);
  SFC_metar_set_quick_checks(true);
  Check(rc_full == rc && std::memcmp(&quick, &full, sizeof quick) == 0);
  return 0;
}
