// Surface report records: initial values, remarks text and word copying.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "surface/report.h"
#include "surface/scanner.h"

namespace {

// Purpose: a fresh record is all-missing, with the blank codes the printers expect.
TEST(SfcReport, InitializeGivesAllMissing) {
  SFC_report r;
  std::memset(&r, 0x5A, sizeof r);  // garbage everywhere first
  EXPECT_EQ(SFC_initialize(&r), 0);

  EXPECT_STREQ(r.id, "");
  EXPECT_STREQ(r.area, "");
  EXPECT_STREQ(r.weather, " ");
  EXPECT_EQ(std::string(r.cld_cover, SFC_MAX_CLD), "     ");
  EXPECT_EQ(std::string(r.cld_type, SFC_CLD_TYPE_LEN), "   ");
  EXPECT_EQ(r.cld_low, ' ');
  EXPECT_STREQ(r.comment, "");
  EXPECT_EQ(r.type, 0);
  EXPECT_EQ(r.num_cld, 0);
  EXPECT_EQ(r.flag, 0);
  for (int v : {r.wmo, r.prior, r.time, r.ptend_t, r.rain_per}) EXPECT_EQ(v, SFC_MISSING);
  for (float v :
       {r.lat,    r.lon,   r.elev,   r.vis,    r.pmb,    r.t,     r.td,     r.w_dir,   r.w_spd,
        r.w_gust, r.alt,   r.ptend,  r.rain1,  r.rain3,  r.rain6, r.rain12, r.rain24,  r.rain,
        r.max_t,  r.min_t, r.max6_t, r.min6_t, r.scover, r.solar, r.sst,    r.wav_per, r.wav_hgt})
    EXPECT_EQ(v, SFC_MISSING_F);
  for (float h : r.cld_height) EXPECT_EQ(h, SFC_MISSING_F);

  // Two initialised records are equal byte for byte (padding included), so a
  // record can be compared and copied whole.
  SFC_report other;
  std::memset(&other, 0xA5, sizeof other);
  SFC_initialize(&other);
  EXPECT_EQ(std::memcmp(&r, &other, sizeof r), 0);
  EXPECT_EQ(SFC_initialize(nullptr), -1);
}

// Purpose: the stored missing real has the bit pattern converted files carry.
TEST(SfcReport, MissingRealBitPattern) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &SFC_MISSING_F, sizeof bits);
  EXPECT_EQ(bits, 0xC61C3C00u);
}

// Purpose: the remarks grow word by word and never pass 99 characters.
TEST(SfcReport, AddRemarksIsBounded) {
  SFC_report r;
  SFC_initialize(&r);
  EXPECT_EQ(SFC_add_remarks(&r, "AO2"), 0);
  EXPECT_STREQ(r.comment, "AO2 ");
  SFC_add_remarks(&r, "SLP132");
  EXPECT_STREQ(r.comment, "AO2 SLP132 ");

  // 97 characters, then a word that only partly fits: cut at 99, no blank.
  SFC_initialize(&r);
  const std::string base(97, 'X');
  std::strcpy(r.comment, base.c_str());
  SFC_add_remarks(&r, "ABC");
  EXPECT_EQ(std::string(r.comment), base + "AB");

  // Full: nothing more goes in, and the text stays terminated.
  const std::string full(SFC_COMMENT_LEN, 'Y');
  std::strcpy(r.comment, full.c_str());
  r.flag = 0x12345678;  // the field after the comment
  SFC_add_remarks(&r, "MORE");
  EXPECT_EQ(std::string(r.comment), full);
  EXPECT_EQ(r.comment[SFC_COMMENT_LEN], '\0');
  EXPECT_EQ(r.flag, 0x12345678);

  SFC_initialize(&r);
  SFC_add_remarks(&r, nullptr);  // only the separating blank
  EXPECT_STREQ(r.comment, " ");
  EXPECT_EQ(SFC_add_remarks(nullptr, "X"), -1);
}

// Purpose: word copying as the decoders use it for remark groups.
TEST(SfcReport, AddRemarkSections) {
  struct Case {
    const char *text;
    int sects;
    const char *comment;
  };
  const std::string long_word = std::string(25, 'A') + " B";
  const Case cases[] = {
      {"PK WND 28045/15", 3, "PK WND 28045/15 "},             // three words, last at the end
      {"PK WND 28045/15 RMK", 3, "PK WND 28045/15 "},         // stops after three
      {"WSHFT 1715", 3, "WSHFT 1715 "},                       // only two words there
      {"A0A  \t B", 2, "A0A B "},                             // any run of blanks separates
      {long_word.c_str(), 2, "AAAAAAAAAAAAAAAAAAAA AAAAA "},  // a long word in pieces of 20
      {" LEADING", 2, ""},                                    // no word starts at the text
      {"", 3, ""},
      {"WORD", 0, ""},
      {"WORD", -1, ""},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.text);
    SFC_report r;
    SFC_initialize(&r);
    EXPECT_EQ(SFC_add_remark_sections(&r, c.text, c.sects), 0);
    EXPECT_STREQ(r.comment, c.comment);
  }
  SFC_report r;
  SFC_initialize(&r);
  EXPECT_EQ(SFC_add_remark_sections(&r, nullptr, 2), 0);
  EXPECT_STREQ(r.comment, "");
  EXPECT_EQ(SFC_add_remark_sections(nullptr, "X", 1), -1);
}

// Purpose: the caller's cursor stays where it was while words are copied from it.
TEST(SfcReport, AddRemarkSectionsLeavesCallerCursor) {
  char text[] = "RMK PK WND 28045/15 SLP132";
  parse_param p;
  scanp_set(&p, text);
  scanp_off(&p, 4);
  int v = 0;
  ASSERT_EQ(scanp(&p, "PK WND %d", &v), 1);
  const int len = p.len;
  SFC_report r;
  SFC_initialize(&r);
  SFC_add_remark_sections(&r, scanp_str(&p), 3);
  EXPECT_EQ(scanp_get_off(&p), 4);
  EXPECT_EQ(p.len, len);
  EXPECT_STREQ(r.comment, "PK WND 28045/15 ");
  EXPECT_STREQ(text, "RMK PK WND 28045/15 SLP132");
}

// Purpose: raw and decoded records share one station slot size.
TEST(SfcReport, RecordSizes) {
  EXPECT_EQ(sizeof(SFC_report), 320u);
  EXPECT_EQ(sizeof(data_struct), 320u);
  EXPECT_EQ(sizeof(data_struct::data), 300u);
  EXPECT_EQ(sizeof(SFC_report::comment), 100u);
  EXPECT_EQ(sizeof(SFC_report::weather), 21u);
}

}  // namespace
