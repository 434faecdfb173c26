// What the two files of the METAR decoder share: metar.cpp decodes the body and
// calls the remarks loop of metar_remarks.cpp. Internal to the surface module.
#pragma once

#include <cstdlib>
#include <string_view>

#include "surface/decoder_internal.h"
#include "surface/report.h"
#include "surface/scanner.h"

namespace metar_detail {

/// The METAR decoder's state (shared by its two files, defined in metar.cpp).
struct MetarState {
  bool quick_checks = true;  // the switch of the quick checks (metar_testing.h)
  bool quick_now = true;     // whether they apply to the report being decoded: set
                             // at its start, off while the scanner's trace is shown
};
extern MetarState g_metar;

/// Whether a try is worth making on what the characters at the cursor show:
/// `could_fit` (a necessary condition of the pattern) when the quick checks
/// apply, always when they are off.
inline bool Maybe(bool could_fit) { return !g_metar.quick_now || could_fit; }

/// The remarks loop over the text at the cursor of `param` (through the end of
/// the text), for SFC_decode_METAR; also replaces every '$' of the comment by a
/// blank at the end.
void DecodeRemarks(parse_param &param, int bulletin, SFC_report *report);

/// A compiled pattern whose target kinds are checked once, at construction,
/// against the kinds the decoder passes ('i' int, 'f' float, 't' text), so that no
/// value can silently go astray.
class Pat : public ScanPattern {
 public:
  Pat(const char *text, std::string_view kinds) : ScanPattern(text) {
    bool ok = arguments() == static_cast<int>(kinds.size());
    for (int k = 0; ok && k < arguments(); ++k) {
      const char want = kinds[static_cast<std::size_t>(k)];
      switch (argument_kind(k)) {
        case ScanTarget::Kind::INT: ok = want == 'i'; break;
        case ScanTarget::Kind::FLOAT: ok = want == 'f'; break;
        case ScanTarget::Kind::TEXT: ok = want == 't'; break;
      }
    }
    if (!ok) std::abort();  // a decoder table out of step with its code
  }
};

}  // namespace metar_detail
