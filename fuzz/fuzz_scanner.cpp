// Fuzz target for the pattern scanner: an arbitrary pattern over an arbitrary text.
//
// Input: the pattern up to the first newline, then the text. Checks that the
// compiled form, the pattern-text form with typed targets and (for short target
// lists) the varargs form agree exactly, that results stay within the text and
// the pattern's counts, and that no target is written past its size (every text
// target is its own heap block of the size the scanner is told).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "surface/report.h"
#include "surface/scanner.h"

namespace {

constexpr int kMaxTargets = 12;

struct Slots {
  int i[kMaxTargets];
  float f[kMaxTargets];
  std::unique_ptr<char[]> t[kMaxTargets];
  int size[kMaxTargets];

  explicit Slots(const int *sizes) {
    for (int k = 0; k < kMaxTargets; ++k) {
      i[k] = 0x13579;
      f[k] = 1.5f;
      size[k] = sizes[k];
      t[k] = std::make_unique<char[]>(static_cast<std::size_t>(size[k]));
      std::memset(t[k].get(), '~', static_cast<std::size_t>(size[k]));
    }
  }
  bool operator==(const Slots &o) const {
    for (int k = 0; k < kMaxTargets; ++k) {
      if (i[k] != o.i[k] || std::memcmp(&f[k], &o.f[k], sizeof(float)) != 0) return false;
      if (size[k] != o.size[k] ||
          std::memcmp(t[k].get(), o.t[k].get(), static_cast<std::size_t>(size[k])) != 0)
        return false;
    }
    return true;
  }
};

std::vector<ScanTarget> Targets(const ScanPattern &pat, Slots &s) {
  std::vector<ScanTarget> out;
  for (int k = 0; k < pat.arguments() && k < kMaxTargets; ++k) {
    switch (pat.argument_kind(k)) {
      case ScanTarget::Kind::INT: out.push_back({ScanTarget::Kind::INT, &s.i[k], 0}); break;
      case ScanTarget::Kind::FLOAT: out.push_back({ScanTarget::Kind::FLOAT, &s.f[k], 0}); break;
      case ScanTarget::Kind::TEXT:
        out.push_back({ScanTarget::Kind::TEXT, s.t[k].get(), s.size[k]});
        break;
    }
  }
  return out;
}

struct Result {
  int ret, len, done, assigned, matched;
  bool operator==(const Result &) const = default;
};

Result Take(int ret, const parse_param &p) { return {ret, p.len, p.done, p.assigned, p.matched}; }

// Varargs calls for up to three targets, typed by the pattern's kinds.
template <class... P>
int CallVa(parse_param *p, const char *pat, const ScanPattern &c, Slots &s, int k, P... args) {
  if (k == c.arguments()) return scanp(p, pat, args...);
  if constexpr (sizeof...(P) < 3) {
    switch (c.argument_kind(k)) {
      case ScanTarget::Kind::INT: return CallVa(p, pat, c, s, k + 1, args..., &s.i[k]);
      case ScanTarget::Kind::FLOAT: return CallVa(p, pat, c, s, k + 1, args..., &s.f[k]);
      case ScanTarget::Kind::TEXT: return CallVa(p, pat, c, s, k + 1, args..., s.t[k].get());
    }
  }
  std::abort();
}

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string_view in(reinterpret_cast<const char *>(data), size);
  const std::size_t nl = in.find('\n');
  if (nl == std::string_view::npos || nl > 400 || size - nl > 2000) return 0;
  const ScanPattern compiled(in.substr(0, nl));
  std::string text(in.substr(nl + 1));
  const int length = static_cast<int>(std::strlen(text.c_str()));

  // Text target sizes: full size for the varargs form, and sizes taken from the
  // text for the typed forms.
  int full[kMaxTargets], sizes[kMaxTargets];
  for (int k = 0; k < kMaxTargets; ++k) {
    full[k] = SCANP_TEXT_SIZE;
    sizes[k] = length > k ? 1 + static_cast<unsigned char>(text[static_cast<std::size_t>(k)]) % 90
                          : SCANP_TEXT_SIZE;
  }
  const char *pat = compiled.text().c_str();

  parse_param p;
  scanp_set(&p, text.data());
  for (int off = 0; off <= length; off += 1 + off / 4) {
    scanp_off(&p, off);

    Slots a(sizes), b(sizes);
    std::vector<ScanTarget> ta = Targets(compiled, a), tb = Targets(compiled, b);
    const Result fast =
        Take(scanp_targets(&p, compiled, ta.data(), static_cast<int>(ta.size())), p);
    const Result slow = Take(scanp_targets(&p, pat, tb.data(), static_cast<int>(tb.size())), p);
    Check(fast == slow);
    Check(a == b);

    if (compiled.arguments() <= 3) {
      Slots c(full), d(full);
      std::vector<ScanTarget> td = Targets(compiled, d);
      const Result va = Take(CallVa(&p, pat, compiled, c, 0), p);
      const Result typed =
          Take(scanp_targets(&p, compiled, td.data(), static_cast<int>(td.size())), p);
      Check(va == typed);
      Check(c == d);
    }

    Check(p.off == off);
    if (fast.ret == -1) {
      Check(fast.len == 0 && fast.done == 0 && fast.assigned == 0 && fast.matched == 0);
      Check(off >= length || compiled.text().empty());
    } else {
      Check(fast.ret == fast.matched);
      Check(fast.matched >= 0 && fast.matched <= compiled.directives());
      Check(fast.assigned >= 0 && fast.assigned <= fast.matched);
      Check(fast.assigned <= compiled.arguments());
      Check(fast.len >= 0 && fast.len <= length - off);
      Check(fast.done == 0 || fast.done == 1);
    }

    // Cursor operations over the same state.
    scanp_inc(&p);
    Check(p.off >= 0 && p.off <= length);
    (void)scanp_char(&p, -3);
    (void)scanp_char(&p, 5000);
    (void)scanp_str(&p);
  }

  // Word copying into the remarks never overruns the comment.
  SFC_report r;
  SFC_initialize(&r);
  SFC_add_remark_sections(&r, text.c_str(), 12);
  Check(std::strlen(r.comment) <= static_cast<std::size_t>(SFC_COMMENT_LEN));
  return 0;
}
