// METAR decoder on bad input: truncated groups, groups of the wrong length,
// slashes and letters where digits belong, one-word reports, overlong words,
// unterminated buffers. The decoder takes what is there, never reads past the
// text, and keeps the record within its limits (the sanitizer build checks the
// reads).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "messages/messages.h"
#include "surface/metar.h"
#include "surface/raw_reader.h"
#include "surface/report.h"
#include "test_metar_harness.h"

namespace {

using metar_test::Decode;
using metar_test::Decoded;
using metar_test::Expect;
using metar_test::Options;

constexpr const char *kFull =
    "KDEN 121753Z 27015G25KT 240V300 1 1/2SM R24L/1200FT -SHRA BR FEW020 BKN050 12/M03 A2992 "
    "RMK AO2 PK WND 28045/15 SLP132 P0015 60012 70125 T01221028 10142 20012 52032 8/6// 4/010 "
    "401001015";

class MetarBadInput : public metar_test::FreshState {
 protected:
  // Decodes `text` as every origin and checks the record, also against the
  // decoding without quick checks. With `notes`, the decoder's notes are shown
  // (and captured), so that their formatting runs too.
  static void Survives(const std::string &text, bool notes = false) {
    for (int bulletin : {0, 1, 9}) {
      Options o;
      o.bulletin = bulletin;
      o.blank = false;
      if (notes) o.notes = SFC_METAR_NOTE_CLASS | SFC_METAR_LOST_CLASS;
      SFC_metar_set_quick_checks(true);
      const Decoded d = Decode(text, o);
      metar_test::ExpectInvariants(d, text);
      SFC_metar_set_quick_checks(false);
      const Decoded full = Decode(text, o);
      EXPECT_EQ(std::memcmp(&d.r, &full.r, sizeof(SFC_report)), 0) << text;
    }
  }
};

// Purpose: the report cut after every character: each prefix decodes what it
// holds, and what it holds is a prefix of the full result where it is whole.
TEST_F(MetarBadInput, TruncatedAtEveryCharacter) {
  const std::string full = kFull;
  for (std::size_t n = 0; n <= full.size(); ++n) Survives(full.substr(0, n));
  // Spot checks of what the cut groups still give.
  Expect(Decode("KDEN 121753Z 2701", 0), "w_dir=270|w_spd=0.53996|time=1753");  // tens of degrees
  Expect(Decode("KDEN 121753Z 27015G", Options{0, 2, 1800, 0, false}), "w_dir=270|w_spd=8.0994");
  Expect(Decode("KDEN 121753Z 27015KT 1 1/", 0), "vis=1");  // the whole group "1"
  Expect(Decode("KDEN 121753Z 27015KT 10SM FEW0", 0), "clouds=");
  Expect(Decode("KDEN 121753Z 27015KT 10SM FEW020 12/M", 0), "t=53.6|td=-9999");
  Expect(Decode("KDEN 121753Z 27015KT 10SM FEW020 12/10 A29", 0), "alt=-9999|comment=A29 ");
  Expect(Decode("KDEN 121753Z 27015KT 10SM FEW020 12/10 A2992 RMK SLP", 0),
         "pmb=-9999|comment=SLP ");
  Expect(Decode("KDEN 121753Z 27015KT 10SM FEW020 12/10 A2992 RMK T0122", 0),
         "t=53.6|flag=0|comment=T0122 ");
  Expect(Decode("KDEN 121753Z 27015KT 10SM FEW020 12/10 A2992 RMK 8/6", 0),
         "cld_type=   |comment=8/6 ");
}

// Purpose: every character of the report replaced by '/', by a letter, by a
// digit and by a blank in turn.
TEST_F(MetarBadInput, EveryCharacterReplaced) {
  const std::string full = kFull;
  for (char with : {'/', 'X', '9', ' ', '-', '$'}) {
    for (std::size_t i = 0; i < full.size(); ++i) {
      std::string text = full;
      text[i] = with;
      Survives(text);
    }
  }
}

// Purpose: groups of the wrong length and letters where digits belong.
TEST_F(MetarBadInput, WrongShapes) {
  struct Row {
    const char *text;
    const char *expect;
  };
  static const Row rows[] = {
      {"KDEN 12175Z 27015KT 10SM", "time=1800|w_dir=121"},      // five digits: no time but a wind
      {"KDEN 1217533Z 27015KT 10SM", "time=1753"},              // day and time fit by their count
      {"KDEN 121753Z 2701KT 10SM", "w_dir=270|w_spd=1"},        // tens of degrees and one knot
      {"KDEN 121753Z 27O15KT 10SM", "w_dir=-9999|vis=-9999"},   // letter O in the direction
      {"KDEN 121753Z 27015XT 10SM", "w_dir=270|w_spd=8.0994"},  // unknown unit: none
      {"KDEN 121753Z 27015KT 1O SM", "vis=-9999"},
      {"KDEN 121753Z 27015KT 10SM FEWO20 12/10", "clouds=|t=53.6"},  // no layer, lost
      {"KDEN 121753Z 27015KT 10SM FEW02 12/10", "clouds=|t=53.6"},
      {"KDEN 121753Z 27015KT 10SM FEW020 1X/10 A2992", "t=-9999|alt=-9999|comment=1X/10 A2992 "},
      {"KDEN 121753Z 27015KT 10SM FEW020 12/10 AXXXX", "alt=-9999|comment=AXXXX "},
      {"KDEN 121753Z 27015KT 10SM FEW020 12/10 A2992 RMK SLPXXX T0X221028", "pmb=-9999|flag=0"},
      {"//// ////// ///// //// // /////", "id=////|w_dir=-9999|vis=-9999"},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.text);
    const Decoded d = Decode(row.text, 0);
    EXPECT_GT(Expect(d, row.expect), 0);
    metar_test::ExpectInvariants(d, row.text);
  }
}

// Purpose: numbers too large for their fields: an observation time offset of
// ten digits (found by fuzzing) stays within the int range.
TEST_F(MetarBadInput, HugeNumbers) {
  Expect(Decode("KDEN 121753Z 27015KT RMK OBS TAKEN +9999999999999 OBS TAKEN +5", 9),
         "time=2147483647");
  Expect(Decode("KDEN 121753Z 27015KT RMK OBS TAKEN +-9999999999999", 9),
         "time=-2147481895");  // the number is cut at the int range first
  Survives(
      "KDEN 121753Z 99999999999999KT 99999999999999SM 99999999/99999999 A99999999 RMK "
      "SLP99999999999 T9999999999999999 TWR ALSTG 99999999999 4/99999999");
}

// Purpose: empty and one-word reports, and a null text or record.
TEST_F(MetarBadInput, TinyReports) {
  for (const char *text :
       {"", " ", "\x1e", "KDEN", "METAR", "SPECI", "NIL", "RMK", "CAVOK", "$", "12/10", "A2992",
        "KDEN ", "KDEN 121753Z", "METAR KDEN", "KDEN 121753Z RMK", "\x1e\x1e\x1e   \x1e"})
    Survives(text);
  Expect(Decode("KDEN", Options{}), "rc=0|id=KDEN|type=1|time=1800|area=ME");
  Expect(Decode("", Options{}), "rc=0|id=|type=1|area=ME");

  SFC_report r;
  SFC_initialize(&r);
  EXPECT_EQ(SFC_decode_METAR(nullptr, 2, 0, &r), 0);  // as an empty text
  EXPECT_STREQ(r.area, "ME");
  EXPECT_EQ(SFC_decode_METAR("KDEN 121753Z 27015KT", 2, 0, nullptr), -1);
}

// Purpose: 299 characters of one word (the longest report text), of digits, of
// slashes, of blanks; and a longer text, of which only 299 characters are read.
TEST_F(MetarBadInput, LongWords) {
  const int n = SFC_DATA_SIZE - 1;
  for (char c : {'A', '9', '/', ' ', 'M', '$'})
    Survives(std::string(static_cast<std::size_t>(n), c));
  Survives("KDEN 121753Z " + std::string(286, 'X'));
  Survives("KDEN 121753Z 27015KT 10SM FEW020 12/10 A2992 RMK " + std::string(250, 'Q'));
  // A long text: its end is not seen.
  const std::string longer =
      std::string("KDEN 121753Z 27015KT 10SM ") + std::string(300, 'X') + " 12/10";
  const Decoded d = Decode(longer, Options{});
  Expect(d, "t=-9999|w_dir=270");
}

// Purpose: an unterminated buffer of exactly the report size is read no further
// than the report text can reach (the sanitizer build catches any overread).
TEST_F(MetarBadInput, UnterminatedBuffer) {
  const std::size_t n = SFC_DATA_SIZE - 1;
  auto buf = std::make_unique<char[]>(n);
  std::memset(buf.get(), 'K', n);
  std::memcpy(buf.get(), "KDEN 121753Z 27015KT 10SM ", 26);
  SFC_report r;
  SFC_initialize(&r);
  EXPECT_EQ(SFC_decode_METAR(buf.get(), 2, 0, &r), 0);
  EXPECT_STREQ(r.id, "KDEN");
  EXPECT_EQ(r.w_dir, 270.0f);
}

// Purpose: remarks that overflow the 99-character comment, one word or many, and
// the words lost before a temperature group that fill the notes.
TEST_F(MetarBadInput, Overflows) {
  std::string many = "KDEN 121753Z 27015KT 10SM FEW020 12/10 A2992 RMK";
  for (int i = 0; i < 60; ++i) many += " W" + std::to_string(i) + "$";
  Survives(many);
  const Decoded d = Decode(many, Options{});
  EXPECT_EQ(std::strlen(d.r.comment), static_cast<std::size_t>(SFC_COMMENT_LEN));

  std::string lost = "KDEN 121753Z 27015KT 10SM FEW020";
  for (int i = 0; i < 40; ++i) lost += " XYZ" + std::to_string(i);
  lost += " 12/10 A2992";
  Options o;
  o.notes = SFC_METAR_LOST_CLASS;
  const Decoded l = Decode(lost, o);
  Expect(l, "t=53.6|alt=29.92|comment=");
  EXPECT_EQ(l.notes.substr(0, 24), "Unaccounted data: XYZ0\nU");
}

// Purpose: random damage to real reports (a fixed seed: the same inputs on every
// run): characters replaced, dropped, doubled and blanks inserted.
TEST_F(MetarBadInput, DamagedRealReports) {
  const std::vector<metar_test::RealReport> reports = metar_test::LoadRealReports();
  ASSERT_FALSE(reports.empty());
  std::uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return seed >> 8;
  };
  const char kChars[] = "/ M0123456789ABCDEFGKLNOPQRSTUVWXYZ-+$()";
  for (int k = 0; k < 1500; ++k) {
    std::string text = reports[next() % reports.size()].text;
    for (int edits = 1 + next() % 4; edits > 0 && !text.empty(); --edits) {
      const std::size_t at = next() % text.size();
      switch (next() % 4) {
        case 0: text[at] = kChars[next() % (sizeof kChars - 1)]; break;
        case 1: text.erase(at, 1); break;
        case 2: text.insert(at, 1, text[at]); break;
        default: text.insert(at, 1, ' '); break;
      }
    }
    Survives(text, k % 4 == 0);
    if (HasFailure()) return;
  }
}

}  // namespace
