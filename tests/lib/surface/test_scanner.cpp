// Pattern scanner: directive semantics, cursor operations, trace output, and the
// compiled form against the pattern-text form over real reports.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "messages/messages.h"
#include "messages/messages_testing.h"
#include "surface/scanner.h"

namespace {

// ---- harness ------------------------------------------------------------------

constexpr int kMaxTargets = 16;
constexpr int kIntUnset = -7777777;

// Target storage for any pattern: slot k holds the k-th target of its kind.
struct Slots {
  int i[kMaxTargets];
  float f[kMaxTargets];
  char t[kMaxTargets][SCANP_TEXT_SIZE];

  Slots() {
    for (int k = 0; k < kMaxTargets; ++k) {
      i[k] = kIntUnset;
      f[k] = NAN;
      std::memset(t[k], 0, sizeof(t[k]));
      t[k][0] = '~';
    }
  }
  template <char K>
  auto Ptr(std::size_t k) {
    if constexpr (K == 'i')
      return &i[k];
    else if constexpr (K == 'f')
      return &f[k];
    else
      return t[k];
  }
};

struct Outcome {
  int ret, len, done, assigned, matched;
  std::string values;  // stored values joined by '|', "~" for untouched targets
  bool operator==(const Outcome &) const = default;
};

std::ostream &operator<<(std::ostream &os, const Outcome &o) {
  return os << "ret " << o.ret << " len " << o.len << " done " << o.done << " assigned "
            << o.assigned << " matched " << o.matched << " values [" << o.values << "]";
}

std::string Signature(const ScanPattern &pat) {
  std::string sig;
  for (int k = 0; k < pat.arguments(); ++k) {
    switch (pat.argument_kind(k)) {
      case ScanTarget::Kind::INT: sig += 'i'; break;
      case ScanTarget::Kind::FLOAT: sig += 'f'; break;
      case ScanTarget::Kind::TEXT: sig += 't'; break;
    }
  }
  return sig;
}

std::string Render(const std::string &sig, const Slots &s) {
  std::string out;
  for (std::size_t k = 0; k < sig.size(); ++k) {
    if (k) out += '|';
    char buf[64];
    if (sig[k] == 'i') {
      if (s.i[k] == kIntUnset)
        out += '~';
      else
        out += std::to_string(s.i[k]);
    } else if (sig[k] == 'f') {
      if (std::isnan(s.f[k]))
        out += '~';
      else {
        std::snprintf(buf, sizeof buf, "%g", static_cast<double>(s.f[k]));
        out += buf;
      }
    } else {
      out += s.t[k];
    }
  }
  return out;
}

Outcome Collect(int ret, const parse_param &p, const std::string &sig, const Slots &s) {
  return {ret, p.len, p.done, p.assigned, p.matched, Render(sig, s)};
}

// The C varargs form needs its pointers typed at compile time: one caller per
// target signature.
using VaCaller = int (*)(parse_param *, const char *, Slots &);

template <char... K, std::size_t... I>
int CallVaImpl(parse_param *p, const char *pat, Slots &s, std::index_sequence<I...>) {
  return scanp(p, pat, s.template Ptr<K>(I)...);
}
template <char... K>
int CallVa(parse_param *p, const char *pat, Slots &s) {
  return CallVaImpl<K...>(p, pat, s, std::make_index_sequence<sizeof...(K)>{});
}

const std::map<std::string, VaCaller> &VaCallers() {
  static const std::map<std::string, VaCaller> callers = {
      {"", CallVa<>},
      {"i", CallVa<'i'>},
      {"ii", CallVa<'i', 'i'>},
      {"iii", CallVa<'i', 'i', 'i'>},
      {"iiit", CallVa<'i', 'i', 'i', 't'>},
      {"iit", CallVa<'i', 'i', 't'>},
      {"it", CallVa<'i', 't'>},
      {"iti", CallVa<'i', 't', 'i'>},
      {"f", CallVa<'f'>},
      {"ff", CallVa<'f', 'f'>},
      {"fff", CallVa<'f', 'f', 'f'>},
      {"ffff", CallVa<'f', 'f', 'f', 'f'>},
      {"fffff", CallVa<'f', 'f', 'f', 'f', 'f'>},
      {"ffffff", CallVa<'f', 'f', 'f', 'f', 'f', 'f'>},
      {"fffffff", CallVa<'f', 'f', 'f', 'f', 'f', 'f', 'f'>},
      {"t", CallVa<'t'>},
      {"tt", CallVa<'t', 't'>},
      {"tf", CallVa<'t', 'f'>},
      {"tftf", CallVa<'t', 'f', 't', 'f'>},
      {"ti", CallVa<'t', 'i'>},
      {"tif", CallVa<'t', 'i', 'f'>},
  };
  return callers;
}

std::vector<ScanTarget> Targets(const std::string &sig, Slots &s) {
  std::vector<ScanTarget> out;
  for (std::size_t k = 0; k < sig.size(); ++k) {
    if (sig[k] == 'i')
      out.push_back({ScanTarget::Kind::INT, &s.i[k], 0});
    else if (sig[k] == 'f')
      out.push_back({ScanTarget::Kind::FLOAT, &s.f[k], 0});
    else
      out.push_back({ScanTarget::Kind::TEXT, s.t[k], SCANP_TEXT_SIZE});
  }
  return out;
}

// Runs `pat` at offset `off` of `text` three ways: pattern text with varargs,
// pattern text with typed targets, compiled pattern. All three must agree; the
// common outcome is returned.
Outcome RunAll(const ScanPattern &compiled, const std::string &text, int off = 0) {
  const std::string sig = Signature(compiled);
  const char *pat = compiled.text().c_str();
  std::vector<char> buf(text.begin(), text.end());
  buf.push_back('\0');

  parse_param p;
  scanp_set(&p, buf.data());
  scanp_off(&p, off);
  Slots s1;
  const auto caller = VaCallers().find(sig);
  EXPECT_NE(caller, VaCallers().end()) << "add a varargs caller for signature " << sig;
  const Outcome va =
      caller == VaCallers().end() ? Outcome{} : Collect(caller->second(&p, pat, s1), p, sig, s1);
  EXPECT_EQ(p.off, off) << "a try never moves the cursor";

  Slots s2;
  std::vector<ScanTarget> t2 = Targets(sig, s2);
  const Outcome text_targets =
      Collect(scanp_targets(&p, pat, t2.data(), static_cast<int>(t2.size())), p, sig, s2);

  Slots s3;
  std::vector<ScanTarget> t3 = Targets(sig, s3);
  const Outcome fast =
      Collect(scanp_targets(&p, compiled, t3.data(), static_cast<int>(t3.size())), p, sig, s3);

  EXPECT_EQ(va, fast) << "pattern " << pat << " over [" << text.substr(off) << "]";
  EXPECT_EQ(text_targets, fast) << "pattern " << pat << " over [" << text.substr(off) << "]";
  return fast;
}

Outcome ScanOnce(const char *pat, const std::string &text, int off = 0) {
  return RunAll(ScanPattern(pat), text, off);
}

struct Case {
  const char *pat;
  const char *text;
  Outcome want;
};

void RunCases(const std::vector<Case> &cases) {
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string("pattern \"") + c.pat + "\" over \"" + c.text + "\"");
    EXPECT_EQ(ScanOnce(c.pat, c.text), c.want);
  }
}

// ---- the scan language ------------------------------------------------------------

// Purpose: the worked examples of the decoders' own groups.
TEST(Scanp, DecoderGroups) {
  const std::string wind = "%*!!(E)%3d%2!//!d%*(/|G)%2d%!!(KTS|KT|MPS|KMH) ";
  const std::string temp = "%!!(M)%<3!XX!f/%!!(M)%<3!XX!f ";
  // clang-format off
  RunCases({
      {"%4s ", "KDEN 121753Z", {1, 5, 1, 1, 1, "KDEN"}},        // word and its blank
      {"%4s ", "KDEN", {1, 4, 0, 1, 1, "KDEN"}},                // blank fails at the end
      {"%4s ", "KDENX 1", {1, 4, 0, 1, 1, "KDEN"}},             // exact width stops at 4
      {wind.c_str(), "27015G25KT ", {6, 11, 1, 4, 6, "270|15|25|KT"}},  // KTS tried first
      {wind.c_str(), "270//KT ", {3, 5, 0, 2, 3, "270|-9999|~|~"}},     // gust separator fails
      {"%*!!(E)%3d%2!//!d%!!(KTS|KT|MPS|KMH) ", "270//KT ", {4, 8, 1, 3, 4, "270|-9999|KT"}},
      {"%*!!(E)%3d%2!//!d%!!(KTS|KT|MPS|KMH) ", "E27015 ", {4, 7, 1, 3, 4, "270|15|"}},
      {temp.c_str(), "M05/M12 ", {4, 8, 1, 4, 4, "M|5|M|12"}},
      {temp.c_str(), "XX/10 ", {4, 6, 1, 4, 4, "|-9999||10"}},  // XX is missing, no sign
      {temp.c_str(), "12/M03 A2992", {4, 7, 1, 4, 4, "|12|M|3"}},
      {"%*(M|)%1d/%<2d%(SM|NM) ", "M1/4SM ", {4, 7, 1, 3, 4, "1|4|SM"}},
      {"%*(M|)%1d/%<2d%(SM|NM) ", "1/16SM ", {4, 7, 1, 3, 4, "1|16|SM"}},
      {"%*(M|)%1d %1d/%<2d%(SM|NM) ", "1 1/2SM ", {5, 8, 1, 4, 5, "1|1|2|SM"}},
      {"%*!!(E)%3d%3d%!!(KTS|KT|MPS|KMH) ", "CLR ", {1, 0, 0, 0, 1, "~|~|~"}},  // optional E only
      {"%*(M|)%*<(P)%1d/%<2d ", "X", {2, 0, 0, 0, 2, "~|~"}},   // two optional leads
      {"%*(M|)%*<(P)%1d/%<2d ", "M1/2 ", {4, 5, 1, 2, 4, "1|2"}},
      {"PRESFR ", "PRESFR ", {0, 7, 1, 0, 0, ""}},              // no directives: only len tells
      {"PRESFR ", "PRESRR ", {0, 4, 0, 0, 0, ""}},              // partial literal still covered
      {"%1d%2[/A]%3d ", "8SC030 ", {3, 7, 1, 3, 3, "8|SC|30"}},
      {"VV%3!///!d ", "VV/// ", {1, 6, 1, 1, 1, "-9999"}},
      {"%3[/A]%3!///!d ", "FEW020 ", {2, 7, 1, 2, 2, "FEW|20"}},
      {"%3[/A]%3!///!d ", "BKN/// ", {2, 7, 1, 2, 2, "BKN|-9999"}},
      {"(%3[/A]) ", "(TCU) BKN050", {1, 6, 1, 1, 1, "TCU"}},    // literal parentheses
      {"8/%3c%*(/| ) ", "8/9// ", {2, 6, 0, 1, 2, "9//"}},      // blank taken by the alternative
      {"T%4d%4d ", "T01221028 ", {2, 10, 1, 2, 2, "122|1028"}},
      {"6%4!////!f ", "6//// ", {1, 6, 1, 1, 1, "-9999"}},
      {"%(A|Q)%4f ", "Q1013 ", {2, 6, 1, 2, 2, "Q|1013"}},
      {"%3!M!f/%<3!!f/%<3!!f%*(<|/)%2!!f%2!!f+%2f/%3!-!f", "166/-04/-08/2910/M/",
       {6, 16, 0, 5, 6, "166|-4|-8|29|10|~|~"}},                // '+' gust sign absent
      {"%*!!(E)%3!M!f/%<3!M!f/%<3!M!f/%*!!(E)%2!MM!f%2!MM!f", "M/-20/-22/MMMM/M/",
       {7, 14, 1, 5, 7, "-9999|-20|-22|-9999|-9999"}},          // M and MM markers
  });
  // clang-format on
}

// Purpose: integer conversions, widths, signs and markers.
TEST(Scanp, Integers) {
  // clang-format off
  RunCases({
      {"%d", "123abc", {1, 3, 1, 1, 1, "123"}},
      {"%d", "-45 ", {1, 3, 1, 1, 1, "-45"}},
      {"%d", "-x", {0, 0, 0, 0, 0, "~"}},                       // a lone '-' is no digit
      {"%d", "abc", {0, 0, 0, 0, 0, "~"}},
      {"%3d", "2701", {1, 3, 1, 1, 1, "270"}},                  // exact width stops early
      {"%3d", "27K", {0, 0, 0, 0, 0, "~"}},                     // exact width not reached
      {"%3d", "-12", {1, 3, 1, 1, 1, "-12"}},                   // the sign counts
      {"%1d", "-5", {0, 0, 0, 0, 0, "~"}},                      // width leaves only the sign
      {"%<3d", "5SM", {1, 1, 1, 1, 1, "5"}},
      {"%<3d", "1234", {1, 3, 1, 1, 1, "123"}},
      {"%0d", "123", {1, 3, 1, 1, 1, "123"}},                   // width 0 is no width
      {"%d", "99999999999", {1, 11, 1, 1, 1, "2147483647"}},    // stops at the int range
      {"%d", "-99999999999", {1, 12, 1, 1, 1, "-2147483648"}},
      {"%d", "-0", {1, 2, 1, 1, 1, "0"}},
      {"%3!///!d ", "/// ", {1, 4, 1, 1, 1, "-9999"}},
      {"%3!///!d", "//5", {0, 0, 1, 0, 0, "~"}},                // passed over: pattern used up
      {"%3!///!dX", "X", {0, 1, 1, 0, 0, "~"}},                 // walk goes on at the same place
      {"%3!///!d%d", "//5", {0, 0, 0, 0, 0, "~|~"}},            // next directive sees "//5"
      {"%3!///!d", "1//", {0, 0, 0, 0, 0, "~"}},                // digits found: no marker try
      {"%2!MM!d%d", "MM5", {2, 3, 1, 2, 2, "-9999|5"}},
      {"%!!d/", "/", {1, 1, 1, 1, 1, "-9999"}},                 // empty marker: empty field
      {"%D", "  42  x", {1, 6, 1, 1, 1, "42"}},                 // blanks around are taken
      {"%4D", " 12 X", {1, 4, 1, 1, 1, "12"}},
      {"%3D", " 1 2", {1, 3, 1, 1, 1, "1"}},
      {"%D", "   ", {0, 0, 0, 0, 0, "~"}},
      {"%D", "\t-7\n", {1, 4, 1, 1, 1, "-7"}},
      {"%*2d%d", "1234", {2, 4, 1, 1, 2, "34"}},                // '*' takes no target
      {"%*d%d", "12", {1, 2, 0, 0, 1, "~"}},
  });
  // clang-format on
}

// Purpose: real conversions: fraction, exponent, markers.
TEST(Scanp, Reals) {
  // clang-format off
  RunCases({
      {"%f", "12.5x", {1, 4, 1, 1, 1, "12.5"}},
      {"%f", "-.5", {1, 3, 1, 1, 1, "-0.5"}},
      {"%f", "5.", {1, 2, 1, 1, 1, "5"}},
      {"%f", "1.2.3", {1, 3, 1, 1, 1, "1.2"}},                  // one '.' only
      {"%f", ".", {0, 0, 0, 0, 0, "~"}},
      {"%f", "-", {0, 0, 0, 0, 0, "~"}},
      {"%f", "2e3 ", {1, 3, 1, 1, 1, "2000"}},
      {"%f", "2E-2", {1, 4, 1, 1, 1, "0.02"}},
      {"%f", "2e", {1, 1, 1, 1, 1, "2"}},                       // 'e' without digits not taken
      {"%f", "2e+", {1, 1, 1, 1, 1, "2"}},
      {"%f", "1e400", {1, 5, 1, 1, 1, "inf"}},
      {"%f", "1013.2", {1, 6, 1, 1, 1, "1013.2"}},
      {"%f", "1234567890123456789.5", {1, 21, 1, 1, 1, "1.23457e+18"}},  // long mantissa
      {"%3f", "12e5", {0, 0, 0, 0, 0, "~"}},                    // exponent does not fit the width
      {"%4f", "29921", {1, 4, 1, 1, 1, "2992"}},
      {"%<3!XX!f", "XX", {1, 2, 1, 1, 1, "-9999"}},
      {"%3!-!f", "-", {1, 1, 1, 1, 1, "-9999"}},                // marker compared from the start
      {"%3!-!f", "-12", {1, 3, 1, 1, 1, "-12"}},
      {"%3!MMM!f/", "MMM/", {1, 4, 1, 1, 1, "-9999"}},
      {"%3!MMM!f/", "MM/", {0, 0, 0, 0, 0, "~"}},               // marker absent: passed over
      {"%F", " 3.5 /", {1, 5, 1, 1, 1, "3.5"}},
      {"%2f%2fG%2f", "2710G20", {3, 7, 1, 3, 3, "27|10|20"}},
  });
  // clang-format on
}

// Purpose: text conversions and their widths.
TEST(Scanp, Texts) {
  const std::string long_word(100, 'X');
  const std::string cut(SCANP_TEXT_MAX, 'X');
  // clang-format off
  RunCases({
      {"%s", "ABC DEF", {1, 3, 1, 1, 1, "ABC"}},
      {"%s", " ABC", {0, 0, 0, 0, 0, "~"}},
      {"%s", "A\tB", {1, 1, 1, 1, 1, "A"}},
      {"%s", "A\vB", {1, 1, 1, 1, 1, "A"}},                     // vertical tab ends a word
      {"%<2s", "ABC", {1, 2, 1, 1, 1, "AB"}},
      {"%s", long_word.c_str(), {1, 100, 1, 1, 1, cut}},        // consumed whole, stored cut
      {"%S", "AB CD\n", {1, 6, 1, 1, 1, "AB CD\n"}},
      {"%3S", "AB", {0, 0, 0, 0, 0, "~"}},
      {"%<3S", "ABCD", {1, 3, 1, 1, 1, "ABC"}},
      {"%A", "ABc1", {1, 3, 1, 1, 1, "ABc"}},
      {"%2A", "A1", {0, 0, 0, 0, 0, "~"}},
      {"%N", "0123X", {1, 4, 1, 1, 1, "0123"}},
      {"%w", " \n\tX", {1, 3, 1, 1, 1, " \n\t"}},
      {"%W", " \n", {1, 1, 1, 1, 1, " "}},                      // W stops at a newline
      {"%c", "XY", {1, 1, 1, 1, 1, "X"}},
      {"%3c", "8/9 ", {1, 3, 1, 1, 1, "8/9"}},
      {"%3c", "8/", {0, 0, 0, 0, 0, "~"}},
      {"%2c", "  ", {1, 2, 1, 1, 1, "  "}},                     // blanks are characters too
      {"AB%n", "ABC", {1, 2, 1, 1, 1, "2"}},
      {"%*n", "ABC", {1, 0, 1, 0, 1, ""}},
      {"%%%d", "%5", {1, 2, 1, 1, 1, "5"}},                     // "%%" is a literal '%'
  });
  // clang-format on
}

// Purpose: character sets, with the slash notations and their quirks.
TEST(Scanp, Sets) {
  // clang-format off
  RunCases({
      {"%[/A]", "ab1", {1, 2, 1, 1, 1, "ab"}},
      {"%[/N]", "12N3x", {1, 4, 1, 1, 1, "12N3"}},              // 'N' is a member too
      {"%[/A]", "/AB", {0, 0, 0, 0, 0, "~"}},                   // the slash itself is not
      {"%[//]", "//A", {1, 2, 1, 1, 1, "//"}},
      {"%[/A-+]", "-SHRA+ BR", {1, 6, 1, 1, 1, "-SHRA+"}},      // '-' is no range
      {"%[^/]", "AB/C", {1, 2, 1, 1, 1, "AB"}},
      {"%[^ ]", "A-B C", {1, 3, 1, 1, 1, "A-B"}},
      {"%2[/A]", "ABC", {1, 2, 1, 1, 1, "AB"}},
      {"%3[/A]", "AB1", {0, 0, 0, 0, 0, "~"}},
      {"%*[/A/N]", "R2A/", {1, 3, 1, 0, 1, ""}},
      {"%[AB", "A", {0, 0, 0, 0, 0, ""}},                        // unclosed set never matches
  });
  // clang-format on
}

// Purpose: alternatives, optional forms and their markers.
TEST(Scanp, Alternatives) {
  // clang-format off
  RunCases({
      {"%(KTS|KT|MPS|KMH)", "KTS", {1, 3, 1, 1, 1, "KTS"}},
      {"%(KT|KTS)", "KTS", {1, 2, 1, 1, 1, "KT"}},              // first in written order
      {"%(A|B)", "C", {0, 0, 0, 0, 0, "~"}},
      {"%(A|B)", "b", {0, 0, 0, 0, 0, "~"}},                    // case matters
      {"%*(M|)", "X", {1, 0, 1, 0, 1, ""}},                     // empty alternative: optional
      {"%(A||B)", "B", {1, 0, 1, 1, 1, ""}},                    // the empty one comes first
      {"%(A||B)", "A", {1, 1, 1, 1, 1, "A"}},
      {"%(M|)", "", {-1, 0, 0, 0, 0, "~"}},                     // nothing left to scan
      {"%d%(M|)", "5", {2, 1, 1, 2, 2, "5|"}},                  // empty alternative at the end
      {"%*!!(E)", "X", {1, 0, 1, 0, 1, ""}},
      {"%!!(E)", "X", {1, 0, 1, 1, 1, ""}},                     // stores an empty text
      {"%!AB!(XYZ)", "AC", {1, 1, 1, 1, 1, ""}},                // consumes what agrees: "A"
      {"%!AB!(XYZ)Q", "ABQ", {1, 3, 1, 1, 1, ""}},
      {"%<(/)", "X", {1, 0, 1, 0, 1, "~"}},                     // optional, target unchanged
      {"%*<(/)WEA", "WEA", {1, 3, 1, 0, 1, ""}},
      {"%<(/)", "/X", {1, 1, 1, 1, 1, "/"}},
      {"%<2(/)", "X", {0, 0, 0, 0, 0, "~"}},                    // with a width it is required
      {"%2(ABC|AB)", "ABC", {1, 2, 1, 1, 1, "AB"}},             // width picks the alternative
      {"%(A|B", "A", {0, 0, 0, 0, 0, ""}},                       // unclosed: never matches
      {"%*( |/)", " x", {1, 1, 1, 0, 1, ""}},
      {"%(METAR|SPECI) ", "SPECI KDEN", {1, 6, 1, 1, 1, "SPECI"}},
      // An optional leading directive with a marker still takes the part of the
      // input that agrees with the marker (the compiled form had settled these
      // as misses from the first character).
      {"%*<!%!(E)S", "%S", {1, 2, 1, 0, 1, ""}},
      {"%*<!%X!(E)S", "%S", {1, 2, 1, 0, 1, ""}},
      {"%*<!%!(E)S", "S", {1, 1, 1, 0, 1, ""}},
  });
  // clang-format on
}

// Purpose: blanks, literals, malformed directives and the -1 result.
TEST(Scanp, WalkAndResults) {
  // clang-format off
  RunCases({
      {" ", "\r\n X", {0, 3, 1, 0, 0, ""}},                     // one or more whitespace
      {" ", "X", {0, 0, 0, 0, 0, ""}},
      {"A B", "A\tB", {0, 3, 1, 0, 0, ""}},
      {"A  B", "A B", {0, 2, 0, 0, 0, ""}},                     // a second blank finds none
      {"%d ", "12", {1, 2, 0, 1, 1, "12"}},                     // trailing blank at the end
      {"%", "X", {0, 0, 0, 0, 0, ""}},
      {"%q", "X", {0, 0, 0, 0, 0, ""}},                         // unknown conversion
      {"%3", "123", {0, 0, 0, 0, 0, ""}},
      {"%!xy", "xy", {0, 0, 0, 0, 0, ""}},                      // unclosed marker
      {"AB%q", "AB", {0, 2, 0, 0, 0, ""}},
      {"%!ABCDEFGHIJKLMNOPQRSTUVWXYZ!d", "ABCDEFGHIJKLMNOPQRSTUV", {1, 19, 1, 1, 1, "-9999"}},
  });
  // clang-format on
  EXPECT_EQ(ScanOnce("%d", "123", 3).ret, -1);  // cursor at the end of the text
  EXPECT_EQ(ScanOnce("%d", "", 0).ret, -1);
  EXPECT_EQ(ScanOnce("", "123", 0), (Outcome{-1, 0, 0, 0, 0, ""}));

  char text[] = "12 34";
  parse_param p;
  scanp_set(&p, text);
  int v = 0;
  ASSERT_EQ(scanp(&p, "%d ", &v), 1);
  EXPECT_EQ(p.len, 3);
  // A -1 try clears the results of the one before.
  p.off = p.length;
  EXPECT_EQ(scanp(&p, "%d", &v), -1);
  EXPECT_EQ(p.len + p.matched + p.assigned + p.done, 0);
  EXPECT_EQ(scanp(nullptr, "%d", &v), -1);
  EXPECT_EQ(scanp(&p, nullptr), -1);
}

// Purpose: a try starts at the cursor and reads no further than the text.
TEST(Scanp, ReadsFromCursor) {
  EXPECT_EQ(ScanOnce("%4d%*(Z|UTC) ", "KDEN 121753Z 27015KT", 7), (Outcome{2, 6, 1, 1, 2, "1753"}));
  // A text whose last word ends exactly at its end.
  EXPECT_EQ(ScanOnce("%s%s", "AB", 0), (Outcome{1, 2, 0, 1, 1, "AB|~"}));
}

// ---- typed targets -------------------------------------------------------------

// Purpose: array targets are never overrun and bad targets are not written.
TEST(CompiledPattern, TypedTargets) {
  static const ScanPattern kWord("%s");
  static const ScanPattern kCover("%3c");
  static const ScanPattern kTwo("%d%f");
  char text[] = "ABCDEFGHIJ 12.5";
  parse_param p;
  scanp_set(&p, text);

  char small[5];
  std::memset(small, '#', sizeof small);
  EXPECT_EQ(scanp(&p, kWord, small), 1);
  EXPECT_STREQ(small, "ABCD");  // cut to the array, terminated
  EXPECT_EQ(p.len, 10);

  struct {
    char cover[3];
    char guard;
  } c3 = {{'#', '#', '#'}, '!'};
  EXPECT_EQ(scanp(&p, kCover, c3.cover), 1);
  EXPECT_EQ(std::string(c3.cover, 3), "ABC");
  EXPECT_EQ(c3.guard, '!');

  scanp_off(&p, 11);
  int i = 0;
  float f = 0;
  char wrong[8] = "x";
  // A float directive given a text target: not written, results unchanged.
  EXPECT_EQ(scanp(&p, kTwo, &i, wrong), 2);
  EXPECT_EQ(i, 12);
  EXPECT_STREQ(wrong, "x");
  EXPECT_EQ(p.assigned, 2);
  EXPECT_EQ(p.matched, 2);
  // Too few targets: the rest are simply not stored.
  i = 0;
  EXPECT_EQ(scanp(&p, kTwo, &i), 2);
  EXPECT_EQ(i, 12);
  EXPECT_EQ(scanp(&p, kTwo, &i, &f), 2);
  EXPECT_FLOAT_EQ(f, 0.5f);
}

// Purpose: counts a decoder compares against.
TEST(CompiledPattern, Counts) {
  const ScanPattern wind("%*!!(E)%3d%2!//!d%*(/|G)%2d%!!(KTS|KT|MPS|KMH) ");
  EXPECT_EQ(wind.directives(), 6);
  EXPECT_EQ(wind.arguments(), 4);
  EXPECT_EQ(wind.argument_kind(0), ScanTarget::Kind::INT);
  EXPECT_EQ(wind.argument_kind(3), ScanTarget::Kind::TEXT);
  const ScanPattern literal("PRESFR %%");
  EXPECT_EQ(literal.directives(), 0);
  const ScanPattern copy = wind;
  EXPECT_EQ(copy.text(), wind.text());
  EXPECT_EQ(RunAll(copy, "27015G25KT "), RunAll(wind, "27015G25KT "));
}

// Purpose: a very long pattern (more elements than the per-call stack buffer).
TEST(CompiledPattern, LongPattern) {
  std::string pat, text;
  for (int k = 0; k < 60; ++k) {
    pat += "%*d/";
    text += std::to_string(k) + "/";
  }
  const Outcome o = ScanOnce(pat.c_str(), text);
  EXPECT_EQ(o, (Outcome{60, static_cast<int>(text.size()), 1, 0, 60, ""}));
}

// ---- cursor operations ----------------------------------------------------------

// Purpose: cursor moves stay inside the text; reads outside it are harmless.
TEST(ScanpCursor, Moves) {
  char text[] = "KDEN 121753Z";
  parse_param p;
  EXPECT_EQ(scanp_set(&p, text), 1);
  EXPECT_EQ(p.length, 12);
  char id[SCANP_TEXT_SIZE];
  ASSERT_EQ(scanp(&p, "%4s ", id), 1);
  EXPECT_EQ(scanp_get_off(&p), 0);
  EXPECT_EQ(scanp_inc(&p), 1);
  EXPECT_EQ(scanp_get_off(&p), 5);
  EXPECT_STREQ(scanp_str(&p), "121753Z");
  EXPECT_EQ(scanp_char(&p, 0), '1');
  EXPECT_EQ(scanp_char(&p, -1), ' ');
  EXPECT_EQ(scanp_char(&p, 7), '\0');    // end of text
  EXPECT_EQ(scanp_char(&p, 100), '\0');  // past it
  EXPECT_EQ(scanp_char(&p, -100), '\0');
  EXPECT_EQ(scanp_inc_off(&p, 2), 1);
  EXPECT_EQ(scanp_get_off(&p), 7);
  EXPECT_EQ(scanp_inc_off(&p, 1000), 1);
  EXPECT_EQ(scanp_get_off(&p), 12);
  EXPECT_STREQ(scanp_str(&p), "");
  EXPECT_EQ(scanp_off(&p, -5), 1);
  EXPECT_EQ(scanp_get_off(&p), 0);
  EXPECT_EQ(scanp_off(&p, 4), 1);
  EXPECT_EQ(scanp_get_off(&p), 4);

  parse_param empty;
  EXPECT_EQ(scanp_set(&empty, nullptr), 1);
  EXPECT_EQ(empty.length, 0);
  EXPECT_STREQ(scanp_str(&empty), "");
  EXPECT_EQ(scanp(&empty, "%s", id), -1);
  parse_param unset;  // never pointed at a text
  EXPECT_EQ(scanp(&unset, "%s", id), -1);
  EXPECT_STREQ(scanp_str(&unset), "");
}

// Purpose: in-place repair of the text and whole-text search.
TEST(ScanpCursor, ReplaceAndSearch) {
  char text[] = "FEW020 0VC050 RMK AO2";
  parse_param p;
  scanp_set(&p, text);
  scanp_off(&p, 7);
  EXPECT_EQ(scanp_replace(&p, 0, 'O'), 'O');
  EXPECT_STREQ(text, "FEW020 OVC050 RMK AO2");
  EXPECT_EQ(scanp_replace(&p, 100, 'X'), 'X');  // outside: nothing written
  EXPECT_EQ(scanp_replace(&p, -100, 'X'), 'X');
  EXPECT_STREQ(text, "FEW020 OVC050 RMK AO2");

  EXPECT_EQ(scanp_search(&p, "RMK"), 1);
  EXPECT_EQ(scanp_get_off(&p), 14);
  EXPECT_EQ(scanp_search(&p, "FEW"), 1);  // from the start of the whole text
  EXPECT_EQ(scanp_get_off(&p), 0);
  scanp_off(&p, 5);
  EXPECT_EQ(scanp_search(&p, "SLP"), 0);
  EXPECT_EQ(scanp_get_off(&p), 5);
  EXPECT_EQ(scanp_search(&p, nullptr), 0);
}

// Purpose: a second state looks ahead and the first is re-pointed after it.
TEST(ScanpCursor, LookAhead) {
  char text[] = "KDEN 121753Z 27015KT 10SM 12/M03 A2992";
  parse_param main_p;
  scanp_set(&main_p, text);
  scanp_off(&main_p, 13);
  parse_param look;
  scanp_set(&look, scanp_str(&main_p));
  char word[SCANP_TEXT_SIZE];
  float t = 0, td = 0;
  char s1[SCANP_TEXT_SIZE], s2[SCANP_TEXT_SIZE];
  int words = 0;
  while (scanp(&look, "%!!(M)%<3!XX!f/%!!(M)%<3!XX!f ", s1, &t, s2, &td) != 4) {
    ASSERT_GE(scanp(&look, "%s ", word), 1);
    scanp_inc(&look);
    ++words;
  }
  scanp_inc(&look);
  EXPECT_EQ(words, 2);
  scanp_set(&main_p, scanp_str(&look));
  EXPECT_STREQ(scanp_str(&main_p), "A2992");
  EXPECT_FLOAT_EQ(t, 12.0f);
  EXPECT_FLOAT_EQ(td, 3.0f);
}

// ---- printed text --------------------------------------------------------------------

// Purpose: the state dump and the debug trace lines, byte for byte.
TEST(ScanpOutput, PrintAndTrace) {
  char text[] = "12 X";
  parse_param p;
  scanp_set(&p, text);
  int v = 0;
  ASSERT_EQ(scanp(&p, "%d ", &v), 1);
  testing::internal::CaptureStdout();
  EXPECT_EQ(scanp_print(&p), 1);
  std::fflush(stdout);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "scanp:12 X:3:1:1:1\n");

  MESS_reset_state();
  MESS_set(MESS_USER_SET, M_DEBUG & M_SUB_D);
  testing::internal::CaptureStdout();
  scanp(&p, "%d A", &v);
  static const ScanPattern kCompiled("%d A");
  scanp(&p, kCompiled, &v);
  std::fflush(stdout);
  const std::string trace = testing::internal::GetCapturedStdout();
  MESS_reset_state();
  const std::string one =
      "     : A: X:\n"
      "     :A:X:\n"
      "     ::X:\n"
      "SCANP:12 X:%d A:0:3:0:1:1\n";
  EXPECT_EQ(trace, one + one);
}

// ---- compiled against text form over real reports ------------------------------

const char *const kDecoderPatterns[] = {
    "%!!(M)%<3!XX!f%*(/) ",
    "%!!(M)%<3!XX!f/ ",
    "%!!(M)%<3!XX!f/%!!(M)%<3!XX!f ",
    "%!!(M)%<3!XX!f/// ",
    "%(-) ",
    "%(A02A|AO2A|A02|AO2) ",
    "%(A0A) ",
    "%(AMOS|RAMOS|AWOS) ",
    "%(AO1|AO2A|AO2) ",
    "%(AUTO) ",
    "%(AUTO1|AUTO2|AUTO3|AUTO4|AUTO5|AUTO6|AUTO7|AUTO8|AUTOB) ",
    "%(A|Q)%4f ",
    "%(CCA|CCB|CCC|CCD) ",
    "%(CLR) ",
    "%(COR) ",
    "%(COR|RTD) ",
    "%(DESP|DSP|MNU|NUB|CDO|X) ",
    "%(METAR|SPECI) ",
    "%(METAR|SPECI|LWIS) ",
    "%(UA|FINO|TEST|RTD|SAWR|RADAT|AUTO|DLAD) ",
    "%(X|CLR|SCT|BKN|BRK|OVC|0VC) ",
    "%*!!(B|P|A|W|V|M|E)%<3f ",
    "%*!!(E)%*(VRB)%2d%*(/|G)%2d%!!(KTS|KT|MPS|KMH) ",
    "%*!!(E)%2d%2d%!!(KTS|KT|MPS|KMH) ",
    "%*!!(E)%2d%2d%*(/|G)%2d%!!(KTS|KT|MPS|KMH) ",
    "%*!!(E)%2f%2f",
    "%*!!(E)%2f%2f/%*!!(E)%3!M!f",
    "%*!!(E)%2f%2fG%2f",
    "%*!!(E)%2f%2fG%2f/%*!!(E)%3!M!f",
    "%*!!(E)%3!M!f/%<3!M!f/%<3!M!f/%*!!(E)%2!M!f%2fG%2f/%*!!(E)%3!M!f",
    "%*!!(E)%3!M!f/%<3!M!f/%<3!M!f/%*!!(E)%2!MM!f%2!MM!f",
    "%*!!(E)%3!M!f/%<3!M!f/%<3!M!f/%*!!(E)%2!MM!f%2!MM!f/%*!!(E)%3!M!f",
    "%*!!(E)%3!M!f/%<3!M!f/%<3!M!f/CALM/%*!!(E)%3!M!f",
    "%*!!(E)%3!MMM!f/%<3!MMM!f/%<3!MM!f/%*!!(E)%2!MM!f%2!MM!f",
    "%*!!(E)%3d%2!//!d%!!(KTS|KT|MPS|KMH) ",
    "%*!!(E)%3d%2!//!d%*(/|G)%2d%!!(KTS|KT|MPS|KMH) ",
    "%*!!(E)%3d%3d%!!(KTS|KT|MPS|KMH) ",
    "%*!!(E)%3d%3d%*(/|G)%2d%!!(KTS|KT|MPS|KMH) ",
    "%*(/) ",
    "%*(//) ",
    "%*(///)%2d%!!(KTS|KT|MPS|KMH) ",
    "%*(////) ",
    "%*(/////) ",
    "%*(/////)%(KTS|KT|MPS|KMH) ",
    "%*(//////) ",
    "%*(<)",
    "%*(ALSTG) %3f ",
    "%*(CALM) ",
    "%*(CAVOK) ",
    "%*(COR) ",
    "%*(M) ",
    "%*(MMM/)",
    "%*(M|)%1d %1d/%<2d ",
    "%*(M|)%1d %1d/%<2d%(SM|NM) ",
    "%*(M|)%1d%1d/%1d ",
    "%*(M|)%1d%1d/%1d%(SM|NM) ",
    "%*(M|)%1d/%<2d ",
    "%*(M|)%1d/%<2d%(SM|NM) ",
    "%*(M|)%2d/%*(M|)%2d ",
    "%*(M|)%<3d%(SM|NM|KM) ",
    "%*(M|R|P|Q)%d ",
    "%*(NCD) ",
    "%*(NIL) ",
    "%*(NSC) ",
    "%*(P)%<4d ",
    "%*(P)%<4d%(SM|NM|KM) ",
    "%*(RMK) ",
    "%*(RMK|SKC|CLR|FEW|SCT|-SCT|BKN|-BKN|OVC|-OVC|0VC|-0VC|VV)",
    "%*(RNO|RM) %*d ",
    "%*(RTD|COR) ",
    "%*(RVRNO) ",
    "%*(SA|SP|RS|SM) %*4d ",
    "%*(SKC|CLR) ",
    "%*(VRB)%2d%!!(KTS|KT|MPS|KMH) ",
    "%*(VRB)%3d%!!(KTS|KT|MPS|KMH) ",
    "%*2d %*(X|CLR|SCT|BKN|BRK|OVC|0VC) V %*3[/A]%*( |/) ",
    "%*2d%4d ",
    "%*2d%4d%*(Z|UTC) ",
    "%*3!MMM!f%*(/)",
    "%*4f",
    "%*5d ",
    "%*<(/)CITY %*d ",
    "%*<(/)WEA%*(:| ) %s ",
    "%*<3!M!f/%*<3!M!f",
    "%*<3!M!f/%*<3!M!f/%*<4!M!f",
    "%*<3!MMM!f/%*<3!M!f",
    "%1!/!f%2!//!f%2f ",
    "%1d %1d/%<2d ",
    "%1d%1d/%1d ",
    "%1d%2[/A]%*(///) ",
    "%1d%2[/A]%3d ",
    "%1d%4[/A]%3d ",
    "%1d/%<2d ",
    "%1f%2f ",
    "%2!M!f/%2!M!f%2f%2f%*!!(E)%*( |/)%3!M!f",
    "%2d%[/A] ",
    "%2f ",
    "%3!M!f%*( |/)%2!M!f/%2!M!f%*( |/)%2f%2f%*!!(E)%*( |/)%3!M!f",
    "%3!M!f%*( |/)%2!M!f/%2!M!f%*( |/)C%*( |/)%3!M!f",
    "%3!M!f%*( |/)%2!M!f/%2!M!f%2f%2f%*!!(E)%*( |/)%3!M!f",
    "%3!M!f/%<3!!f%*(<|/)%<3!!f%*(<|/)%2!!f%2!!f%*!!(E)/%3!-!f",
    "%3!M!f/%<3!!f/%<3!!f%*(<|/)%2!!f%2!!f+%2f/%3!-!f",
    "%3!M!f/%<3!M!f/%<3!M!f/%2f%2f+%2f/%3!M!f",
    "%3!MMM!f/%<3!MMM!f/%<3!MMM!f/%2f%2f+%2f/%3!-!f",
    "%3[/A]%3!///!d ",
    "%3[/A]%3!///!d%*(///) ",
    "%3[/A]%3!///!d%*[/A] ",
    "%3d%*(V)%3d ",
    "%4d ",
    "%4d%*(Z|UTC) ",
    "%4d%*[/A] ",
    "%4f ",
    "%4f%*(INS) ",
    "%4s ",
    "%<3!M!f/%<3!M!f%*( |/)%2f%2f%*!!(E)%*( |/)%3!M!f",
    "%<3!M!f/%<3!M!f%*( |/)%2f%2fMAS%2f%*!!(E)%*( |/)%3!M!f",
    "%<3!M!f/%<3!M!f%*( |/)C%*( |/)%3!M!f",
    "%<3!M!f/%<3!M!f/%*!!(E)%2!M!f%2!M!f/%*!!(E)%3!M!f",
    "%<3!M!f/%<3!M!f/%*!!(E)%2!M!f%2fG%2f/%*!!(E)%3!M!f",
    "%<3!M!f/%<3!M!f/CALM/%*!!(E)%3!M!f",
    "%<3!MM!f/%<3!MM!f/%*!!(E)%2!MM!f%2!MM!f/%*!!(E)%3!MMM!f",
    "%<3d ",
    "%<3f ",
    "%<3f%*(+) ",
    "%<40s ",
    "%<4s %(SA|SP|RS|SM) ",
    "%<9[/A-+] ",
    "%[/A-+] ",
    "%s ",
    "(%3[/A]) ",
    "1%3s ",
    "1%4f%*(/| ) ",
    "2%4f%*(/| ) ",
    "20%3f%*( |/)",
    "24 HR MAX %<3f ",
    "24 HR MIN %<3f ",
    "4%2f%2f ",
    "4%4f%4f ",
    "4/%3f%*(/| ) ",
    "5%1f%3f%*(/| ) ",
    "6%3!///!f/%*( |/) ",
    "6%4!////!f ",
    "7%4!////!f%*( |/) ",
    "8/%3c%*(/| ) ",
    "902%*2f ",
    "904%2f ",
    "931%3f %*(/| ) ",
    "933%3f%*(/| ) ",
    "98%3f ",
    "BLO %*<3d ",
    "BV%1d ",
    "MAX%<3f ",
    "MIN%<3f ",
    "MRNG MIN %<3f ",
    "OBS TAKEN +%d ",
    "P%*d ",
    "P%4f %*(/| ) ",
    "PCPN %*d ",
    "PK WND %*s ",
    "R%*d%*c/%*s ",
    "R%*d/%*s ",
    "R%*dVR%*d%*[/A/N]%*( |/) ",
    "RADAR %*d ",
    "RVR%*d/%*s ",
    "SFC VIS %*d ",
    "SFC VIS %*d/%*d ",
    "SLP %d ",
    "SLP%d ",
    "SNOINCR %*s ",
    "T%4d%4d ",
    "TWR ALSTG %d ",
    "TWR VIS %*d ",
    "TWR VIS %*d/%*d ",
    "TWR VSBY %d ",
    "VV%3!///!d ",
    "WEA: %<20s ",
    "WEA:%<20s ",
    "WSHFT %*d ",
    "PRESFR ",
    "PRESRR ",
    "MMMM ",
    "M ",
    "MM ",
};

std::vector<std::string> ReadReports() {
  std::vector<std::string> lines;
  std::ifstream in(SOURCE_DIR "/tests/data/scanner/reports.txt");
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) lines.push_back(line);
  return lines;
}

// Purpose: every decoder pattern, tried at every word of real reports, gives the
// same results through the compiled form and both pattern-text forms.
TEST(CompiledPattern, SameAsTextFormOverRealReports) {
  const std::vector<std::string> reports = ReadReports();
  ASSERT_GE(reports.size(), 200u);
  std::vector<ScanPattern> patterns;
  for (const char *pat : kDecoderPatterns) patterns.emplace_back(pat);

  long tries = 0, full = 0;
  for (const std::string &report : reports) {
    for (std::size_t off = 0; off < report.size(); ++off) {
      if (off > 0 && report[off - 1] != ' ') continue;  // word starts only
      for (const ScanPattern &pat : patterns) {
        const Outcome o = RunAll(pat, report, static_cast<int>(off));
        ++tries;
        if (o.ret == pat.directives() && o.ret > 0) ++full;
        if (HasFailure()) {
          ADD_FAILURE() << "stopping at report: " << report;
          return;
        }
      }
    }
  }
  EXPECT_GT(tries, 100000);
  EXPECT_GT(full, 1000);  // the corpus really exercises matches, not only misses
}

}  // namespace
