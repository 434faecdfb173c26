// Fuzz target for the SA decoder: the input is one report text.
//
// The first byte chooses the bulletin origin (United States, Canada, Mexico,
// other), the second the bulletin time; the rest, up to the first NUL and at
// most the length of a raw report text, is the report. Checks that the decoder
// returns 0 or -1, leaves a refused record exactly as it was set up, keeps every
// text of a decoded record terminated and within its size, writes only codes the
// printers know, keeps the temperature within its limits, fills no field that SA
// reports never carry, leaves the report text unchanged, and decodes the same
// text the same way twice.
// Seeds: fuzz/corpus/sa (real Canadian reports and United States forms).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "surface/raw_reader.h"
#include "surface/raw_reader_testing.h"
#include "surface/report.h"
#include "surface/sa.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

size_t Terminated(const char *s, size_t size) {
  const void *end = std::memchr(s, '\0', size);
  Check(end != nullptr);
  return static_cast<size_t>(static_cast<const char *>(end) - s);
}

SFC_report Fresh() {
  SFC_report r;
  SFC_initialize(&r);
  std::strcpy(r.area, "UN");
  return r;
}

bool KnownCover(char c) { return std::strchr("CSBOXsbox", c) != nullptr && c != '\0'; }

void CheckDecoded(const SFC_report &r, const SFC_report &fresh) {
  const size_t id_len = Terminated(r.id, sizeof r.id);
  Check(id_len >= 1 && id_len <= 4);
  for (size_t i = 0; i < id_len; ++i) Check(r.id[i] != ' ');
  Check(!std::strcmp(r.area, "SA") || !std::strcmp(r.area, "SP") || !std::strcmp(r.area, "RS") ||
        !std::strcmp(r.area, "SM"));
  Check(r.type >= 1 && r.type <= 3);
  Check(r.num_cld >= 0 && r.num_cld <= SFC_MAX_CLD);
  for (int i = 0; i < SFC_MAX_CLD; ++i) {
    if (i < r.num_cld) {
      Check(KnownCover(r.cld_cover[i]));
    } else {
      Check(r.cld_cover[i] == ' ');
      Check(r.cld_height[i] == SFC_MISSING_F);
    }
  }
  const size_t wx_len = Terminated(r.weather, sizeof r.weather);
  Check(wx_len >= 1 && wx_len <= 9);
  const size_t rem_len = Terminated(r.comment, sizeof r.comment);
  Check(rem_len <= static_cast<size_t>(SFC_COMMENT_LEN));
  Check(std::memchr(r.comment, '$', rem_len) == nullptr);
  Check(r.t == SFC_MISSING_F || (r.t >= -70 && r.t <= 130));
  Check(r.td == SFC_MISSING_F || r.t == SFC_MISSING_F || r.td <= r.t);
  Check(r.ptend_t == SFC_MISSING || (r.ptend_t >= 0 && r.ptend_t <= 9));
  // Fields no SA report carries stay as the caller set them.
  Check(r.wmo == fresh.wmo && r.lat == fresh.lat && r.lon == fresh.lon && r.elev == fresh.elev);
  Check(r.prior == fresh.prior && r.rain1 == fresh.rain1 && r.rain12 == fresh.rain12);
  Check(r.rain == fresh.rain && r.rain_per == fresh.rain_per && r.cld_low == fresh.cld_low);
  Check(r.sst == fresh.sst && r.wav_per == fresh.wav_per && r.wav_hgt == fresh.wav_hgt);
  Check(r.flag == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 2) return 0;
  static const int kOrigins[] = {SFC_ORIGIN_US, SFC_ORIGIN_CANADA, SFC_ORIGIN_MEXICO,
                                 SFC_ORIGIN_OTHER};
  const int bulletin = kOrigins[data[0] % 4];
  SFC_set_prhour((data[1] % 24) * 100 + (data[1] / 24 % 4) * 15);

  std::string text(reinterpret_cast<const char *>(data + 2), size - 2);
  text = text.substr(0, std::min<size_t>(text.find('\0'), SFC_DATA_SIZE - 1));
  const std::string before = text;

  const SFC_report fresh = Fresh();
  SFC_report r = fresh;
  const int rc = SFC_decode_SA(text.c_str(), SFC_FMT_SA, bulletin, &r);
  Check(rc == 0 || rc == -1);
  Check(text == before);
  if (rc == -1) {
    Check(std::memcmp(&r, &fresh, sizeof r) == 0);
  } else {
    CheckDecoded(r, fresh);
  }

  SFC_report again = fresh;
  Check(SFC_decode_SA(text.c_str(), SFC_FMT_SA, bulletin, &again) == rc);
  Check(std::memcmp(&r, &again, sizeof r) == 0);
  SFC_raw_reset_state();
  return 0;
}
