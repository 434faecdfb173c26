#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "files/paths.h"
#include "messages/messages.h"
#include "messages/messages_testing.h"
#include "surface/raw_reader.h"
#include "surface/raw_reader_testing.h"
#include "surface/report.h"

namespace {

const std::string kDataDir = SOURCE_DIR "/tests/data/bulletins/";

// One read of SFC_read_raw.
struct Read {
  int result;
  int format;
  int bulletin;
  std::string id;
  std::string text;
};

// A temporary stream holding `bytes` (NUL bytes included), read from the start.
struct Stream {
  FILE *f;
  explicit Stream(const std::string &bytes) : f(std::tmpfile()) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::rewind(f);
  }
  ~Stream() { std::fclose(f); }
  Stream(const Stream &) = delete;
  Stream &operator=(const Stream &) = delete;
};

// Reads every report of `f` the way the driver does: a fresh reader for the
// file, then reads until the last report or until no report is left. Each read
// consumes at least one line, so more reads than bytes would mean a hang.
std::vector<Read> ReadStream(FILE *f, size_t max_reads) {
  SFC_raw_new_file();
  std::vector<Read> out;
  data_struct d{};
  for (size_t i = 0; i <= max_reads; ++i) {
    std::memset(&d, 0x5A, sizeof d);
    int r = SFC_read_raw(f, d.data, d.id, &d.format, &d.bulletin);
    if (r == SFC_RAW_NONE) {
      EXPECT_STREQ(d.data, "");
      EXPECT_EQ(d.format, SFC_FMT_NONE);
      break;
    }
    out.push_back({r, d.format, d.bulletin, d.id, d.data});
    if (r == SFC_RAW_LAST) break;
    EXPECT_LT(i, max_reads) << "reader does not come to an end";
  }
  EXPECT_EQ(SFC_raw_eof(), 1);
  return out;
}

std::vector<Read> ReadAll(const std::string &bytes) {
  Stream s(bytes);
  return ReadStream(s.f, bytes.size() + 2);
}

std::string Slurp(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

class RawReader : public testing::Test {
 protected:
  void SetUp() override {
    MESS_reset_state();
    SFC_raw_reset_state();
  }
  void TearDown() override { SFC_raw_reset_state(); }
};

// ---- SFC_chk_type ---------------------------------------------------------------

// Purpose: each report-start rule of the line classifier, and the lines it must not
// take for report starts.
TEST_F(RawReader, ChkTypeRules) {
  struct Case {
    const char *announce;  // line classified first ("SPECI" announces SPECI), or null
    const char *line;
    int cls;
    const char *id;
    const char *word;
  };
  // clang-format off
  const Case cases[] = {
      {nullptr, "KDEN 121853Z 00000KT 10SM CLR 10/M02 A3012 RMK AO2=", SFC_FMT_METAR, "KDEN", "121853Z"},  // plain METAR
      {nullptr, "METAR KDEN 121853Z 00000KT", SFC_FMT_METAR, "KDEN", "121853Z"},        // METAR prefix
      {nullptr, "METAR COR KDEN 121853Z 00000KT", SFC_FMT_METAR, "KDEN", "121853Z"},    // corrected METAR
      {nullptr, "SPECI KDEN 121905Z 00000KT", SFC_FMT_SPECI, "KDEN", "121905Z"},        // SPECI prefix
      {nullptr, "SPECI COR KDEN 121905Z", SFC_FMT_SPECI, "KDEN", "121905Z"},            // corrected SPECI
      {nullptr, "LWIS KXYZ 121853Z", SFC_FMT_METAR, "KXYZ", "121853Z"},                 // LWIS prefix
      {"SPECI", "KDEN 121905Z 00000KT", SFC_FMT_SPECI, "KDEN", "121905Z"},              // announced SPECI
      {"METAR", "KDEN 121905Z 00000KT", SFC_FMT_METAR, "KDEN", "121905Z"},              // announced METAR
      {nullptr, "KDEN RMK AO2", SFC_FMT_METAR, "KDEN", "RMK"},                          // remarks only
      {nullptr, "KDEN VRB05KT 10SM", SFC_FMT_METAR, "KDEN", "VRB05KT"},                 // wind group V R B
      {nullptr, "KDEN E123 10SM", SFC_FMT_METAR, "KDEN", "E123"},                       // "E" first
      {nullptr, "KDEN AUTO 00000KT", SFC_FMT_METAR, "KDEN", "AUTO"},                    // AUTO accepted at once
      {nullptr, "KDEN METAR 121853Z", SFC_FMT_METAR, "KDEN", "METAR"},                  // METAR after the id
      {nullptr, "KDEN 12A4Z", SFC_LINE_TEXT, "KDEN", "12A4Z"},                          // fourth char no digit
      {nullptr, "KDEN NOSIG", SFC_LINE_TEXT, "KDEN", "NOSIG"},                          // no group shape
      {nullptr, "1QQQ 081354Z AUTO", SFC_LINE_TEXT, "1QQQ", "081354Z"},                 // id not a letter first
      {nullptr, "QQQQ O81354Z AUTO", SFC_LINE_TEXT, "QQQQ", "O81354Z"},                 // letter O for zero
      {nullptr, "  KDEN 121853Z 00000KT", SFC_LINE_TEXT, "KDEN", "121853Z"},            // indented: continuation
      {nullptr, " KDEN 121853Z 00000KT", SFC_FMT_METAR, "KDEN", "121853Z"},             // one blank is no indent
      {nullptr, "     KBOS 1234 T0122", SFC_LINE_TEXT, "KBOS", "1234"},                 // indented group line
      {nullptr, "   DEN SA 1850 CLR", SFC_FMT_SA, "DEN", "SA"},                      // indented SA still starts
      {nullptr, "PCPN 1234", SFC_LINE_TEXT, "PCPN", "1234"},                            // remark word, not a station
      {nullptr, "TSNO 1234", SFC_LINE_TEXT, "TSNO", "1234"},                            // remark word, not a station
      {nullptr, "DEN SA 1850 CLR", SFC_FMT_SA, "DEN", "SA"},                         // SA
      {nullptr, "DEN SP 1905 CLR", SFC_FMT_SP, "DEN", "SP"},                         // SP
      {nullptr, "DEN USP 1905", SFC_FMT_SP, "DEN", "USP"},                           // urgent SP
      {nullptr, "DEN RS 1850", SFC_FMT_SA, "DEN", "RS"},                             // record special
      {nullptr, "DEN SM 1850", SFC_FMT_SA, "DEN", "SM"},                             // SM
      {nullptr, "CWIQ NIL=", SFC_FMT_SA, "CWIQ", "NIL="},                            // NIL report
      {nullptr, "CWIQ NIL", SFC_FMT_SA, "CWIQ", "NIL"},                              // NIL without =
      {nullptr, "XYZ AMOS 1850", SFC_FMT_SA, "XYZ", "AMOS"},                         // AMOS
      {nullptr, "DEN COR 1850", SFC_FMT_SA, "DEN", "COR"},                           // corrected SA
      {nullptr, "METAR CWIQ NIL=", SFC_FMT_METAR, "CWIQ", "NIL="},                      // METAR prefix keeps 2
      {nullptr, "METAR KDEN SP", SFC_FMT_SP, "KDEN", "SP"},                          // SP word wins
      {nullptr, "SAUS70 KWBC 121800", SFC_LINE_END, "SAUS70", "KWBC"},                // SA heading
      {nullptr, "SPUS80 KWBC 060000", SFC_LINE_END, "SPUS80", "KWBC"},                // SP heading
      {nullptr, "SACN31 CWAO 121800 RRB", SFC_LINE_END, "SACN31", "CWAO"},            // heading with suffix
      {nullptr, "METAR SAUS70", SFC_LINE_END, "SAUS70", "SAUS70"},                    // heading word alone
      {nullptr, "SXUS70 KWBC 060000", SFC_LINE_TEXT, "SXUS70", "KWBC"},                 // other heading: text
      {nullptr, "SAEW KAWN 020100 RRG", SFC_LINE_TEXT, "SAEW", "KAWN"},                 // heading without digits
      {nullptr, "METAR 060000Z", SFC_LINE_END, "060000Z", "060000Z"},                 // date-time group
      {nullptr, "METAR 060000", SFC_LINE_END, "060000", "060000"},                    // the group without Z
      {nullptr, "SPECI 060000", SFC_LINE_END, "060000", "060000"},                    // likewise after SPECI
      {nullptr, "METAR KDEN", SFC_LINE_TEXT, "KDEN", "KDEN"},                           // nothing after the id
      {nullptr, "** SAUS70 KWBC 060000", SFC_LINE_END, "**", "SAUS70"},               // feed marker line
      {nullptr, "METAR", SFC_LINE_TEXT, "METAR", ""},                                   // lone METAR
      {nullptr, "NNNN", SFC_LINE_TEXT, "NNNN", ""},                                     // end marker
      {nullptr, "      ", SFC_LINE_TEXT, "", ""},                                       // blanks only: text
      {nullptr, "ABCDEFGHIJKLSA 1850", SFC_LINE_TEXT, "ABCDEFGHI", "1850"},             // long word cut, not split
      {nullptr, "ABCDEFGHIJKL SA", SFC_FMT_SA, "ABCDEFGHI", "SA"},                   // long id kept to 9
  };
  // clang-format on
  for (const Case &c : cases) {
    SCOPED_TRACE(c.line);
    SFC_raw_reset_state();
    char id[SFC_RAW_WORD_SIZE] = "x";
    char word[SFC_RAW_WORD_SIZE] = "y";
    if (c.announce) SFC_chk_type(c.announce, id, word);
    EXPECT_EQ(SFC_chk_type(c.line, id, word), c.cls);
    EXPECT_STREQ(id, c.id);
    EXPECT_STREQ(word, c.word);
  }
}

// Purpose: an empty line ends reports and leaves the word buffers alone.
TEST_F(RawReader, ChkTypeEmptyLineLeavesBuffers) {
  char id[SFC_RAW_WORD_SIZE] = "KDEN";
  char word[SFC_RAW_WORD_SIZE] = "SA";
  EXPECT_EQ(SFC_chk_type("", id, word), SFC_LINE_END);
  EXPECT_EQ(SFC_chk_type(nullptr, id, word), SFC_LINE_END);
  EXPECT_STREQ(id, "KDEN");
  EXPECT_STREQ(word, "SA");
}

// Purpose: lone "METAR"/"SPECI" lines announce the format; headings clear it.
TEST_F(RawReader, ChkTypeAnnouncesFormat) {
  char id[SFC_RAW_WORD_SIZE];
  char word[SFC_RAW_WORD_SIZE];
  EXPECT_EQ(SFC_get_pr_type(), SFC_FMT_SA);
  SFC_chk_type("SPECI", id, word);
  EXPECT_EQ(SFC_get_pr_type(), SFC_FMT_SPECI);
  SFC_chk_type("METAR", id, word);
  EXPECT_EQ(SFC_get_pr_type(), SFC_FMT_METAR);
  SFC_chk_locate("SAUS70 KWBC 121800", nullptr);
  EXPECT_EQ(SFC_get_pr_type(), 0);
}

// Purpose: the trace line of the classifier, shown at the debug level only.
TEST_F(RawReader, ChkTypeTraceLine) {
  char id[SFC_RAW_WORD_SIZE];
  char word[SFC_RAW_WORD_SIZE];
  testing::internal::CaptureStdout();
  SFC_chk_type("KDEN 121853Z 00000KT", id, word);
  MESS_set(MESS_USER_ADD, M_DEBUG & M_SUB_D);  // the classifier's trace class
  SFC_chk_type("KDEN 121853Z 00000KT", id, word);
  SFC_chk_type("   ", id, word);
  std::fflush(stdout);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "LINE:2:KDEN:121853Z:KDEN 121853Z 00000KT:\nLINE:-1:::   :\n");
}

// ---- SFC_chk_locate -------------------------------------------------------------

// Purpose: origins and bulletin times of headings and feed marker lines, and the
// lines that change nothing (or only the announced format).
TEST_F(RawReader, ChkLocateRules) {
  struct Case {
    const char *line;
    int result;
    int origin;   // origin after the call; 5 = unchanged
    int prhour;   // 1234 = unchanged
    int pr_type;  // 2 = unchanged
  };
  const Case cases[] = {
      {"", 0, 5, 1234, 2},                       // empty line: nothing
      {"SAUS70 KWBC 121800", 1, 0, 1800, 0},     // United States
      {"SAUS70 KWBC 060000\r\r", 1, 0, 0, 0},    // raw line with its CRs
      {"SACN31 CWAO 121800", 1, 1, 1800, 0},     // Canada
      {"SPCN31 CWAO 121815", 1, 1, 1815, 0},     // Canadian specials
      {"SAMX10 MMMX 121800", 1, 2, 1800, 0},     // Mexico
      {"SAFR31 LFPW 121800", 1, 9, 1800, 0},     // other
      {"SAAK41 PAFC 120900", 1, 0, 900, 0},      // Alaska
      {"SXUS23 KWBC 121800", 1, 9, 1800, 0},     // any 6+4 heading
      {"SAUS70 KWBC 060930 RRB", 1, 0, 930, 0},  // suffix after the time
      {"SAUS70 KWBC RRA", 1, 0, 1234, 0},        // no time group: time kept
      {"SAUS70 KWBC 06", 1, 0, 1234, 0},         // day only: time kept
      {"SAUS70 KWBC", 1, 0, 1234, 0},            // two words only
      {"SAEW KAWN 020100 RRG", 1, 5, 1234, 2},   // first word of 4: no heading
      {"** SAUS70 KWBC 121800", 1, 0, 1800, 0},  // feed marker, US
      {"** SACN31 CWAO 121800", 1, 1, 1800, 0},  // feed marker, Canada
      {"** SAMX10 MMMX 121800", 1, 2, 1800, 0},  // feed marker, Mexico
      {"** 215 CWAO 121800", 1, 1, 1800, 0},     // numbered Canadian feed
      {"** 216 CWAO 121800", 1, 1, 1800, 0},     // numbered Canadian feed
      {"** 217 MMMX 121800", 1, 2, 1800, 0},     // numbered Mexican feed
      {"** XXXX YYYY 121800", 1, 9, 1800, 0},    // other feed
      {"**SAUS70 KWBC 121800", 1, 5, 1800, 0},   // no blank: origin kept
      {"\x01\r\r", 1, 5, 1234, 0},               // start of a product
      {"\x03\x01\r\r", 1, 5, 1234, 0},           // end and start of products
      {"KDEN 121853Z 00000KT", 1, 5, 1234, 2},   // a report: nothing
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.line);
    SFC_raw_reset_state();
    char id[SFC_RAW_WORD_SIZE];
    char word[SFC_RAW_WORD_SIZE];
    SFC_chk_type("METAR", id, word);
    SFC_set_prhour(1234);
    int origin = 5;
    EXPECT_EQ(SFC_chk_locate(c.line, &origin), c.result);
    EXPECT_EQ(origin, c.origin);
    EXPECT_EQ(SFC_get_prhour(), c.prhour);
    EXPECT_EQ(SFC_get_pr_type(), c.pr_type);
  }
}

// Purpose: the origin of a METAR of an "other" bulletin, by its identifier: the
// United States with its islands, Canada, and the rest (one letter or none too).
TEST_F(RawReader, OriginOfIdentifier) {
  const std::pair<const char *, int> cases[] = {
      {"KDEN", SFC_ORIGIN_US},    {"PANC", SFC_ORIGIN_US},    {"PHNL", SFC_ORIGIN_US},
      {"PGUM", SFC_ORIGIN_US},    {"PKWA", SFC_ORIGIN_US},    {"PTRO", SFC_ORIGIN_US},
      {"TJSJ", SFC_ORIGIN_US},    {"TIST", SFC_ORIGIN_US},    {"CYYZ", SFC_ORIGIN_CANADA},
      {"PLCH", SFC_ORIGIN_OTHER}, {"TNCM", SFC_ORIGIN_OTHER}, {"EGLL", SFC_ORIGIN_OTHER},
      {"MMMX", SFC_ORIGIN_OTHER}, {"K", SFC_ORIGIN_US},       {"P", SFC_ORIGIN_OTHER},
      {"", SFC_ORIGIN_OTHER},     {"kden", SFC_ORIGIN_OTHER},
  };
  for (const auto &[id, origin] : cases) EXPECT_EQ(SFC_raw_origin_of_id(id), origin) << id;
  EXPECT_EQ(SFC_raw_origin_of_id(nullptr), SFC_ORIGIN_OTHER);
  // Through the reader: a METAR after a heading of another origin.
  const auto r = ReadAll("SAFR31 LFPW 121800\nPHNL 121853Z 1=\nCYVR 121853Z 2=\nTNCM 121853Z 3=\n");
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[0].bulletin, SFC_ORIGIN_US);
  EXPECT_EQ(r[1].bulletin, SFC_ORIGIN_CANADA);
  EXPECT_EQ(r[2].bulletin, SFC_ORIGIN_OTHER);
}

// Purpose: a report as read is decoded by the decoder of its format (which names
// the area after the format); a report of no format stays all missing with the
// area "UN", and a report filled before is started afresh.
TEST_F(RawReader, DecodeRawPicksTheDecoder) {
  const auto r = ReadAll(
      "SAUS70 KWBC 121800\nKDEN 121853Z 27005KT 10SM CLR 10/M02 A3012=\n"
      "DEN SA 1850 CLR 15 131/55/32/3610/001=\n");
  ASSERT_EQ(r.size(), 2u);
  for (const Read &rd : r) {
    SCOPED_TRACE(rd.text);
    data_struct d{};
    std::snprintf(d.data, sizeof d.data, "%s", rd.text.c_str());
    std::snprintf(d.id, sizeof d.id, "%s", rd.id.c_str());
    d.format = rd.format;
    d.bulletin = rd.bulletin;
    SFC_report got;
    std::memset(&got, 0x5A, sizeof got);
    SFC_decode_raw(d, &got);
    EXPECT_STREQ(got.area, rd.format == SFC_FMT_METAR ? "ME" : "SA");
    EXPECT_STREQ(got.id, rd.format == SFC_FMT_METAR ? "KDEN" : "DEN");
    EXPECT_EQ(got.time, rd.format == SFC_FMT_METAR ? 1853 : 1850);
  }
  data_struct none{};
  SFC_report got;
  std::memset(&got, 0x5A, sizeof got);
  SFC_decode_raw(none, &got);
  SFC_report fresh;
  SFC_initialize(&fresh);
  std::snprintf(fresh.area, sizeof fresh.area, "UN");
  EXPECT_EQ(std::memcmp(&got, &fresh, sizeof got), 0);
  SFC_decode_raw(none, nullptr);  // nothing to fill: no crash
}

// ---- whole files ------------------------------------------------------------------

struct FileCase {
  const char *name;
  std::string input;
  std::vector<Read> expect;
};

void ExpectReads(const std::vector<Read> &got, const std::vector<Read> &want) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE("report " + std::to_string(i));
    EXPECT_EQ(got[i].text, want[i].text);
    EXPECT_EQ(got[i].id, want[i].id);
    EXPECT_EQ(got[i].format, want[i].format);
    EXPECT_EQ(got[i].bulletin, want[i].bulletin);
    EXPECT_EQ(got[i].result, want[i].result);
  }
}

// Purpose: cutting of whole files: joins, stops, headings, origins, file ends.
TEST_F(RawReader, CutsFiles) {
  const std::string six_text = "L1 x\nL2 x\nL3 x\nL4 x\nL5 x\nL6 x\n";
  // clang-format off
  const std::vector<FileCase> cases = {
      {"one-line reports, = replaced",
       "KDEN 121853Z 00000KT 10SM CLR 10/M02 A3012 RMK AO2=\nKBOU 121853Z 27005KT=\n",
       {{SFC_RAW_OK, SFC_FMT_METAR, SFC_ORIGIN_US, "KDEN", "KDEN 121853Z 00000KT 10SM CLR 10/M02 A3012 RMK AO2  "},
        {SFC_RAW_LAST, SFC_FMT_METAR, SFC_ORIGIN_US, "KBOU", "KBOU 121853Z 27005KT  "}}},
      {"prefixes",
       "METAR KDEN 121853Z 1=\nMETAR COR KBOU 121853Z 2=\nSPECI KAPA 121905Z 3=\n",
       {{SFC_RAW_OK, SFC_FMT_METAR, SFC_ORIGIN_US, "KDEN", "METAR KDEN 121853Z 1  "},
        {SFC_RAW_OK, SFC_FMT_METAR, SFC_ORIGIN_US, "KBOU", "METAR COR KBOU 121853Z 2  "},
        {SFC_RAW_LAST, SFC_FMT_SPECI, SFC_ORIGIN_US, "KAPA", "SPECI KAPA 121905Z 3  "}}},
      {"lone SPECI, then a new heading",
       "SPUS70 KWBC 121900\nSPECI\nKDEN 121905Z 1=\nSAUS70 KWBC 121900\nKDEN 121905Z 1=\n",
       {{SFC_RAW_OK, SFC_FMT_SPECI, SFC_ORIGIN_US, "KDEN", "KDEN 121905Z 1  "}, {SFC_RAW_LAST, SFC_FMT_METAR, SFC_ORIGIN_US, "KDEN", "KDEN 121905Z 1  "}}},
      {"SA, SP and RS",
       "SAUS80 KWBC 121800\nDEN SA 1850 CLR 15\nDEN SP 1905 CLR 15\nDEN RS 1850 CLR\n",
       {{SFC_RAW_OK, SFC_FMT_SA, SFC_ORIGIN_US, "DEN", "DEN SA 1850 CLR 15 "},
        {SFC_RAW_OK, SFC_FMT_SP, SFC_ORIGIN_US, "DEN", "DEN SP 1905 CLR 15 "},
        {SFC_RAW_LAST, SFC_FMT_SA, SFC_ORIGIN_US, "DEN", "DEN RS 1850 CLR "}}},
      {"three lines joined",
       "KDEN 121853Z 00000KT\n10SM CLR\nA3012 RMK AO2=\nKBOU 121853Z 1=\n",
       {{SFC_RAW_OK, SFC_FMT_METAR, SFC_ORIGIN_US, "KDEN", "KDEN 121853Z 00000KT 10SM CLR A3012 RMK AO2  "},
        {SFC_RAW_LAST, SFC_FMT_METAR, SFC_ORIGIN_US, "KBOU", "KBOU 121853Z 1  "}}},
      {"at most four continuation lines",
       "KDEN 121853Z 00000KT\n" + six_text + "KBOU 121853Z 1=\n",
       {{SFC_RAW_OK, SFC_FMT_METAR, SFC_ORIGIN_US, "KDEN", "KDEN 121853Z 00000KT L1 x L2 x L3 x L4 x "},
        {SFC_RAW_LAST, SFC_FMT_METAR, SFC_ORIGIN_US, "KBOU", "KBOU 121853Z 1  "}}},
      {"indented METAR-shaped line is a continuation, indented SA a report after \"=\"",
       "KDEN 121853Z 00000KT\n  KBOS 1234 T0122=\n  DEN SA 1850 CLR\n",
       {{SFC_RAW_OK, SFC_FMT_METAR, SFC_ORIGIN_US, "KDEN", "KDEN 121853Z 00000KT   KBOS 1234 T0122  "},
        {SFC_RAW_LAST, SFC_FMT_SA, SFC_ORIGIN_OTHER, "DEN", "  DEN SA 1850 CLR "}}},
      {"an indented report start continues a report that has no \"=\" yet",
       "LIBQ 060055Z 36036KT 9999 -SN BKN004 M08/M08 Q1012 RMK BKN MON LIB\n"
       " VAL NIL VIS MIN 9999=\nLIBV 060055Z 36025G38KT=\n",
       {{SFC_RAW_OK, SFC_FMT_METAR, SFC_ORIGIN_OTHER, "LIBQ",
         "LIBQ 060055Z 36036KT 9999 -SN BKN004 M08/M08 Q1012 RMK BKN MON LIB  VAL NIL VIS MIN "
         "9999  "},
        {SFC_RAW_LAST, SFC_FMT_METAR, SFC_ORIGIN_OTHER, "LIBV", "LIBV 060055Z 36025G38KT  "}}},
      {"a recent-weather group starts no report",
       "METAR RPVM 060000Z 01006KT 340V040 9999 FEW020 SCT100 27/24 Q1014\nRERA RMK A2994=\n"
       "RESN 121853Z 1=\n",
       {{SFC_RAW_OK, SFC_FMT_METAR, SFC_ORIGIN_OTHER, "RPVM",
         "METAR RPVM 060000Z 01006KT 340V040 9999 FEW020 SCT100 27/24 Q1014 RERA RMK A2994  "}}},
      {"trend-forecast prefix before the keyword",
       "SAAU41 AMMC 060000\nTTF METAR YPAD 060000Z 1=\nTTF SPECI YPPF 060010Z 2=\nTTF YPAD\n",
       {{SFC_RAW_OK, SFC_FMT_METAR, SFC_ORIGIN_OTHER, "YPAD", "TTF METAR YPAD 060000Z 1  "},
        {SFC_RAW_OK, SFC_FMT_SPECI, SFC_ORIGIN_OTHER, "YPPF", "TTF SPECI YPPF 060010Z 2  "}}},
      {"identifier decides the origin in other bulletins, report by report",
       "SAFR31 LFPW 121800\nCYYZ 121800Z 1=\nLFPG 121800Z 2=\nPANC 121800Z 3=\n"
       "DEN SA 1800 CLR=\nSPECI KDEN 121805Z 4=\n",
       {{SFC_RAW_OK, SFC_FMT_METAR, SFC_ORIGIN_CANADA, "CYYZ", "CYYZ 121800Z 1  "},
        {SFC_RAW_OK, SFC_FMT_METAR, SFC_ORIGIN_OTHER, "LFPG", "LFPG 121800Z 2  "},
        {SFC_RAW_OK, SFC_FMT_METAR, SFC_ORIGIN_US, "PANC", "PANC 121800Z 3  "},
        {SFC_RAW_OK, SFC_FMT_SA, SFC_ORIGIN_OTHER, "DEN", "DEN SA 1800 CLR  "},
        {SFC_RAW_LAST, SFC_FMT_SPECI, SFC_ORIGIN_US, "KDEN", "SPECI KDEN 121805Z 4  "}}},
      {"reports before the first heading are of origin other",
       "DEN SA 1800 CLR=\nKDEN 121800Z 1=\nSACN31 CWAO 121800\nYYZ SA 1800 CLR=\n",
       {{SFC_RAW_OK, SFC_FMT_SA, SFC_ORIGIN_OTHER, "DEN", "DEN SA 1800 CLR  "},
        {SFC_RAW_OK, SFC_FMT_METAR, SFC_ORIGIN_US, "KDEN", "KDEN 121800Z 1  "},
        {SFC_RAW_LAST, SFC_FMT_SA, SFC_ORIGIN_CANADA, "YYZ", "YYZ SA 1800 CLR  "}}},
      {"a report ending in = takes no continuation (NNNN end marker)",
       "SAAT31 TKPK 060000\nMETAR TKPK 060000Z 04005KT 9999 SCT019 25/20 Q1015=\nNNNN\n",
       {{SFC_RAW_OK, SFC_FMT_METAR, SFC_ORIGIN_OTHER, "TKPK", "METAR TKPK 060000Z 04005KT 9999 SCT019 25/20 Q1015  "}}},
      {"= on a continuation line ends the report",
       "KDEN 121853Z 1\n2=\n3\nKBOU 121853Z 1=\n",
       {{SFC_RAW_OK, SFC_FMT_METAR, SFC_ORIGIN_US, "KDEN", "KDEN 121853Z 1 2  "}, {SFC_RAW_LAST, SFC_FMT_METAR, SFC_ORIGIN_US, "KBOU", "KBOU 121853Z 1  "}}},
      {"only the last = is replaced",
       "KDEN 121853Z A=B\nC=\n",
       {{SFC_RAW_LAST, SFC_FMT_METAR, SFC_ORIGIN_US, "KDEN", "KDEN 121853Z A=B C  "}}},
      {"empty line ends a report, a blank line continues it",
       "KDEN 121853Z 1\n   \n2\n\n3\n",
       {{SFC_RAW_OK, SFC_FMT_METAR, SFC_ORIGIN_US, "KDEN", "KDEN 121853Z 1     2 "}}},
      {"CR LF and CR CR LF line ends, control bytes",
       "\x01\r\r\n123 \r\r\nSAUS70 KWBC 121800\r\r\nMETAR\r\r\nKDEN 121853Z\x07" "1\r\n"
       "     2=\r\r\n\x03",
       {{SFC_RAW_OK, SFC_FMT_METAR, SFC_ORIGIN_US, "KDEN", "KDEN 121853Z 1      2  "}}},
      {"NUL and high bytes become blanks",
       std::string("KDEN 121853Z A\0B\xC2\xA0" "C\xFF\n", 21),
       {{SFC_RAW_LAST, SFC_FMT_METAR, SFC_ORIGIN_US, "KDEN", "KDEN 121853Z A B  C  "}}},
      {"the last line is a report start without a line end",
       "KDEN 121853Z 1=\nKBOU 121853Z 2=",
       {{SFC_RAW_OK, SFC_FMT_METAR, SFC_ORIGIN_US, "KDEN", "KDEN 121853Z 1  "}, {SFC_RAW_LAST, SFC_FMT_METAR, SFC_ORIGIN_US, "KBOU", "KBOU 121853Z 2  "}}},
      {"last report complete at the last line",
       "KDEN 121853Z 1\n     2\n     3",
       {{SFC_RAW_LAST, SFC_FMT_METAR, SFC_ORIGIN_US, "KDEN", "KDEN 121853Z 1      2      3 "}}},
      {"a heading as the last line", "KDEN 121853Z 1\nSAUS70 KWBC 121800",
       {{SFC_RAW_OK, SFC_FMT_METAR, SFC_ORIGIN_US, "KDEN", "KDEN 121853Z 1 "}}},
      {"no heading at all", "CYYZ 121800Z 1=\nEGLL 121800Z 2=\n",
       {{SFC_RAW_OK, SFC_FMT_METAR, SFC_ORIGIN_CANADA, "CYYZ", "CYYZ 121800Z 1  "}, {SFC_RAW_LAST, SFC_FMT_METAR, SFC_ORIGIN_OTHER, "EGLL", "EGLL 121800Z 2  "}}},
      {"METAR line with the bulletin's date-time group",
       "SASO31 AGGG 060000\nMETAR 060000\n\nMETAR AGGM 060000Z 14005KT=\n",
       {{SFC_RAW_LAST, SFC_FMT_METAR, SFC_ORIGIN_OTHER, "AGGM", "METAR AGGM 060000Z 14005KT  "}}},
      {"feed marker lines", "** SACN31 CWAO 121800\nYYZ SA 1800 CLR=\n** 217 MMMX\nMMMX 121800Z 1=\n",
       {{SFC_RAW_OK, SFC_FMT_SA, SFC_ORIGIN_CANADA, "YYZ", "YYZ SA 1800 CLR  "}, {SFC_RAW_LAST, SFC_FMT_METAR, SFC_ORIGIN_MEXICO, "MMMX", "MMMX 121800Z 1  "}}},
      {"empty file", "", {}},
      {"only trailer lines", "\x03\r\r\nNNNN\n\n", {}},
      {"empty lines at the start", "\n\n\nKDEN 121853Z 1=\n",
       {{SFC_RAW_LAST, SFC_FMT_METAR, SFC_ORIGIN_US, "KDEN", "KDEN 121853Z 1  "}}},
  };
  // clang-format on
  for (const FileCase &c : cases) {
    SCOPED_TRACE(c.name);
    ExpectReads(ReadAll(c.input), c.expect);
  }
}

// Purpose: the bulletin time of the current bulletin is there for the decoders.
TEST_F(RawReader, BulletinTimeFollowsHeadings) {
  Stream s("SAUS70 KWBC 121800\nKDEN 121753Z 1=\nSAUS70 KWBC 121900\nKDEN 121853Z 2=\n");
  data_struct d{};
  SFC_raw_new_file();
  ASSERT_EQ(SFC_read_raw(s.f, d.data, d.id, &d.format, &d.bulletin), SFC_RAW_OK);
  EXPECT_EQ(SFC_get_prhour(), 1800);
  ASSERT_EQ(SFC_read_raw(s.f, d.data, d.id, &d.format, &d.bulletin), SFC_RAW_LAST);
  EXPECT_EQ(SFC_get_prhour(), 1900);
}

// Purpose: a line over 160 characters stays one line: its text is joined without a
// blank (no group is split), and only its first 160 characters are classified, so
// no later part of it starts a report.
TEST_F(RawReader, LongLinesStayWhole) {
  const std::string head = "KDEN 121853Z ";
  std::string line200 = head + std::string(200 - head.size(), 'A');
  auto r = ReadAll(line200 + "\n");
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].text, line200 + " ");

  // A report start after the 160th character is part of the line.
  std::string pad(160, 'x');
  r = ReadAll(pad + "KDEN 121853Z 1=\nKBOU 121853Z 2=\n");
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].id, "KBOU");

  // A group across the 160th character is not split (a real report of a
  // one-report-per-line file, tests/data/metar/awc_metars_sample.txt).
  std::string real =
      "KTCM 180752Z AUTO 20004KT 6SM -RA BR BKN005 BKN011 OVC026 06/06 A2993 RMK AO2 "
      "RAE05DZB05E08RAB08E09RAB11E13DZB13E19RAB19E28DZB28E38DZB42E51 RAB51 CIG 005V011 "
      "BKN005 V SCT $";
  ASSERT_GT(real.size(), 160u);
  r = ReadAll(real + "\n");
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].text, real + " ");

  std::string line160 = head + std::string(160 - head.size(), 'B');
  r = ReadAll(line160 + "\nCONT\n\nKBOU 121853Z 1=\n");
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0].text, line160 + " CONT ");
  EXPECT_EQ(r[1].id, "KBOU");
}

// Rewrites every line end of `bytes` (LF, CR LF, CR CR LF) as `eol`.
std::string WithLineEnds(const std::string &bytes, const std::string &eol) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r') {
      size_t j = i;
      while (j < bytes.size() && bytes[j] == '\r') ++j;
      if (j < bytes.size() && bytes[j] == '\n') {
        out += eol;
        i = j;
        continue;
      }
    }
    if (bytes[i] == '\n') {
      out += eol;
      continue;
    }
    out += bytes[i];
  }
  return out;
}

// Purpose: the line ends of a real file, single (LF), doubled by archive tools
// (LF LF, CR LF CR LF) or old-style (CR only), make no difference to the reports.
TEST_F(RawReader, LineEndsOfEveryKindReadAlike) {
  const std::string slice = Slurp(kDataDir + "2020010600_sao_slice.wmo");
  ASSERT_FALSE(slice.empty());
  const auto want = ReadAll(slice);
  ASSERT_GT(want.size(), 500u);
  for (const char *eol : {"\n", "\r\n", "\n\n", "\r\n\r\n", "\r", "\r\r\n"}) {
    SCOPED_TRACE(testing::PrintToString(std::string(eol)));
    const auto got = ReadAll(WithLineEnds(slice, eol));
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
      EXPECT_EQ(got[i].id, want[i].id) << i;
      EXPECT_EQ(got[i].text, want[i].text) << i;
      EXPECT_EQ(got[i].format, want[i].format) << i;
      EXPECT_EQ(got[i].bulletin, want[i].bulletin) << i;
    }
  }
}

// Purpose: in a product with doubled line ends, a continuation line after the
// artificial empty line belongs to its report, and a real empty line (doubled, so
// two or more in a row) still ends one. Products decide for themselves.
TEST_F(RawReader, DoubledLineEnds) {
  // clang-format off
  const std::vector<FileCase> cases = {
      {"continuation after the doubled line end",
       "\x01\n\n001 \n\nSAUS70 KWBC 060000\n\nPAKU 060000Z 09/09\n\nA3002=\n\n\x03",
       {{SFC_RAW_OK, SFC_FMT_METAR, SFC_ORIGIN_US, "PAKU", "PAKU 060000Z 09/09 A3002  "}}},
      {"a real empty line ends the report",
       "SAUS70 KWBC 060000\n\nMETAR\n\nKDEN 060000Z 1\n\n\n\nTEXT\n\nKBOU 060000Z 2=\n\n",
       {{SFC_RAW_OK, SFC_FMT_METAR, SFC_ORIGIN_US, "KDEN", "KDEN 060000Z 1 "}, {SFC_RAW_LAST, SFC_FMT_METAR, SFC_ORIGIN_US, "KBOU", "KBOU 060000Z 2  "}}},
      {"a product with single line ends after a doubled one",
       "\x01\n\nSAUS70 KWBC 060000\n\nKDEN 060000Z 1\n\n2=\n\n\x03\x01\nSAUS70 KWBC 060000\n"
       "KBOU 060000Z 3\n\nTEXT\n",
       {{SFC_RAW_OK, SFC_FMT_METAR, SFC_ORIGIN_US, "KDEN", "KDEN 060000Z 1 2  "}, {SFC_RAW_OK, SFC_FMT_METAR, SFC_ORIGIN_US, "KBOU", "KBOU 060000Z 3 "}}},
      {"single line ends with an empty line between reports",
       "SAUS70 KWBC 060000\nKDEN 060000Z 1\n\nTEXT\nKBOU 060000Z 2\n",
       {{SFC_RAW_OK, SFC_FMT_METAR, SFC_ORIGIN_US, "KDEN", "KDEN 060000Z 1 "}, {SFC_RAW_LAST, SFC_FMT_METAR, SFC_ORIGIN_US, "KBOU", "KBOU 060000Z 2 "}}},
  };
  // clang-format on
  for (const FileCase &c : cases) {
    SCOPED_TRACE(c.name);
    ExpectReads(ReadAll(c.input), c.expect);
  }
}

// Purpose: reports longer than 250 characters are cut there and the next report
// is untouched; lines of thousands of characters end.
TEST_F(RawReader, LongReportsAreCut) {
  std::string body(150, 'A');
  std::string input = "KDEN 121853Z " + body + "\n" + body + "\n" + body + "\nKBOU 121853Z 1=\n";
  auto r = ReadAll(input);
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0].text.size(), static_cast<size_t>(SFC_DATA_LEN));
  EXPECT_EQ(r[0].text.substr(0, 13), "KDEN 121853Z ");
  EXPECT_EQ(r[1].text, "KBOU 121853Z 1  ");

  std::string huge = "KDEN 121853Z ";
  for (int i = 0; i < 800; ++i) huge += "GROUP ";
  r = ReadAll(huge + "\nKBOU 121853Z 1=\n");
  ASSERT_EQ(r.size(), 2u);
  EXPECT_LE(r[0].text.size(), static_cast<size_t>(SFC_DATA_LEN));
  EXPECT_EQ(r[1].text, "KBOU 121853Z 1  ");
}

// Purpose: the reader state belongs to one file: the lookahead, the announced
// format and the bulletin origin do not carry into the next file.
TEST_F(RawReader, StateStartsAfreshForEachFile) {
  // The first file is left after its first report, with a report start (KBOU)
  // waiting in the lookahead.
  Stream first("SACN31 CWAO 121800\nSPECI\nKDEN 121853Z 1\nKBOU 121853Z 2");
  Stream second("LFPG 121900Z 3=\nKAPA 121900Z 4=\n");
  data_struct d{};
  SFC_raw_new_file();
  ASSERT_EQ(SFC_read_raw(first.f, d.data, d.id, &d.format, &d.bulletin), SFC_RAW_OK);
  EXPECT_EQ(d.format, SFC_FMT_SPECI);
  EXPECT_EQ(d.bulletin, SFC_ORIGIN_CANADA);

  auto r = ReadStream(second.f, 100);
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0].id, "LFPG");                  // not KBOU of the first file
  EXPECT_EQ(r[0].bulletin, SFC_ORIGIN_OTHER);  // not Canada
  EXPECT_EQ(r[1].format, SFC_FMT_METAR);       // not SPECI
  EXPECT_EQ(SFC_get_prhour(), 0);
}

// Purpose: a new stream starts a fresh reader even without SFC_raw_new_file.
TEST_F(RawReader, NewStreamResetsByItself) {
  Stream first("SPECI\nKDEN 121853Z 1=\nKBOU");
  Stream second("KAPA 121900Z 4=\n");
  data_struct d{};
  SFC_read_raw(first.f, d.data, d.id, &d.format, &d.bulletin);
  EXPECT_EQ(d.format, SFC_FMT_SPECI);
  ASSERT_EQ(SFC_read_raw(second.f, d.data, d.id, &d.format, &d.bulletin), SFC_RAW_LAST);
  EXPECT_STREQ(d.id, "KAPA");
  EXPECT_EQ(d.format, SFC_FMT_METAR);
}

// Purpose: after the end, further reads give no report and do not touch the stream.
TEST_F(RawReader, ReadsAfterTheEnd) {
  Stream s("KDEN 121853Z 1=\n");
  data_struct d{};
  SFC_raw_new_file();
  EXPECT_EQ(SFC_raw_eof(), 0);
  EXPECT_EQ(SFC_read_raw(s.f, d.data, d.id, &d.format, &d.bulletin), SFC_RAW_LAST);
  EXPECT_EQ(SFC_raw_eof(), 1);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(SFC_read_raw(s.f, d.data, d.id, &d.format, &d.bulletin), SFC_RAW_NONE);
  EXPECT_EQ(SFC_read_raw(nullptr, d.data, d.id, &d.format, &d.bulletin), SFC_RAW_NONE);
  EXPECT_EQ(SFC_read_raw(s.f, nullptr, d.id, &d.format, &d.bulletin), SFC_RAW_NONE);
}

// Purpose: a directory given as input gives no report and no hang. FILE_open
// refuses it; a stream opened on it anyway (the C library opens a directory for
// reading, and every read of it then fails) reads as an ended file, read again too.
TEST_F(RawReader, DirectoryGivesNoReport) {
  EXPECT_EQ(FILE_open(SOURCE_DIR "/tests", "r"), nullptr);
  FILE *f = std::fopen(SOURCE_DIR "/tests", "r");
  ASSERT_NE(f, nullptr);
  EXPECT_TRUE(ReadStream(f, 10).empty());
  EXPECT_NE(std::ferror(f), 0);
  data_struct d{};
  EXPECT_EQ(SFC_read_raw(f, d.data, d.id, &d.format, &d.bulletin), SFC_RAW_NONE);
  EXPECT_EQ(SFC_raw_eof(), 1);
  std::fclose(f);
}

// Purpose: binary input of every byte value ends, and everything it gives keeps the
// report limits.
TEST_F(RawReader, BinaryBytes) {
  std::string bytes;
  unsigned x = 12345;
  for (int i = 0; i < 20000; ++i) {
    x = x * 1103515245u + 12345u;
    bytes.push_back(static_cast<char>(x >> 16));
  }
  bytes += "\nKDEN 121853Z 1=\n";
  auto r = ReadAll(bytes);
  ASSERT_FALSE(r.empty());
  EXPECT_EQ(r.back().id, "KDEN");
  for (const Read &rd : r) {
    EXPECT_LE(rd.text.size(), static_cast<size_t>(SFC_DATA_LEN));
    EXPECT_LE(rd.id.size(), static_cast<size_t>(SFC_RAW_WORD_LEN));
    for (unsigned char c : rd.text) EXPECT_TRUE(c >= ' ' && c < 128);
  }
}

// ---- real bulletins -----------------------------------------------------------------

// Purpose: the real snippets, each with a known quirk.
TEST_F(RawReader, RealSnippets) {
  struct Case {
    const char *file;
    size_t count;
    int last_result;
    const char *first_id;
    int first_format;
    int first_origin;
    const char *must_contain;  // in the first report that has it
  };
  // clang-format off
  const Case cases[] = {
      {"metpx_SACN74_CWAO_051100.txt", 1, -1, "NBB", 1, 1, "5000 76MM"},        // split SA report
      {"pyiem_sa.txt", 4, -1, "WXL", 1, 1, "WZR SA 1400"},                      // Canadian SA
      {"pyiem_nullbyte.txt", 1, 0, "KNZY", 5, 0, "RMK A)&HCCT01560133"},        // NUL inside SPECI
      {"pyiem_badchars.txt", 3, 0, "HKJK", 2, 9, "SCT100   21/16 Q1021  NOSIG"},  // UTF-8 NBSP
      {"pyiem_rtd_bbb.txt", 1, 0, "MUCL", 2, 9, "Q1014"},                       // mixed line ends
      {"pyiem_kawn.txt", 3, 0, "LFBA", 2, 9, "TEMPO 4000 SHRA"},                // heading no digits
      {"pyiem_kmwn.txt", 1, -1, "KMWN", 2, 0, "RMK VRY LGT ICG "},              // no = and no ETX
      {"pyiem_collective.txt", 12, 0, "KSPS", 2, 0, "QQQQ 081354Z  "},          // test stations
      {"pyiem_collective2.txt", 35, 0, "KDMH", 2, 0, "20000 55008"},            // SAUS80 collective
      {"pyiem_first.txt", 2, 0, "KSPS", 2, 0, "T01890156 58046"},               // one product
      {"pywwa_METAR.txt", 10, 0, "KSPS", 2, 0, "PK WND 18049/2025"},            // edited times
  };
  // clang-format on
  for (const Case &c : cases) {
    SCOPED_TRACE(c.file);
    std::string bytes = Slurp(kDataDir + c.file);
    ASSERT_FALSE(bytes.empty());
    auto r = ReadAll(bytes);
    ASSERT_EQ(r.size(), c.count);
    EXPECT_EQ(r[0].id, c.first_id);
    EXPECT_EQ(r[0].format, c.first_format);
    EXPECT_EQ(r[0].bulletin, c.first_origin);
    bool found = false;
    for (const Read &rd : r) found = found || rd.text.find(c.must_contain) != std::string::npos;
    EXPECT_TRUE(found) << c.must_contain;
    // The last report is the last of the file when nothing but its own lines
    // follow; after a trailer, one more read ends without a report.
    EXPECT_EQ(r.back().result, c.last_result);
  }
}

// The report starts of a raw file, found independently of the reader: unindented
// lines "[METAR |SPECI ][COR ]IDNT DDHHMMZ ..." and "IDN SA HHMM ...".
std::multiset<std::string> StartLineIds(const std::string &bytes, const std::regex &start) {
  std::multiset<std::string> ids;
  std::istringstream in(bytes);
  std::string line;
  while (std::getline(in, line)) {
    while (!line.empty() && line.back() == '\r') line.pop_back();
    std::smatch m;
    if (line.size() <= 160 && std::regex_search(line, m, start)) ids.insert(m[1]);
  }
  return ids;
}

// Purpose: a slice of a real hourly file: no report lost, none merged into its
// neighbour, no end marker or date-time line taken for a report, limits kept.
TEST_F(RawReader, RealHourlySlice) {
  const std::string bytes = Slurp(kDataDir + "2020010600_sao_slice.wmo");
  ASSERT_GT(bytes.size(), 10000u);
  Stream s(bytes);
  // Read without the helper so that the end can be seen.
  SFC_raw_new_file();
  std::vector<Read> r;
  data_struct d{};
  int res = SFC_RAW_OK;
  while (res == SFC_RAW_OK && r.size() < bytes.size()) {
    res = SFC_read_raw(s.f, d.data, d.id, &d.format, &d.bulletin);
    if (res != SFC_RAW_NONE) r.push_back({res, d.format, d.bulletin, d.id, d.data});
  }
  EXPECT_EQ(res, SFC_RAW_NONE);  // the file ends with its trailer

  const std::regex metar_start("^(?:METAR |SPECI )?(?:COR )?([A-Z][A-Z0-9]{3}) [0-9]{6}Z");
  const std::regex sa_start("^([A-Z0-9]{3}) SA [0-9]{4} ");
  std::multiset<std::string> want_metar = StartLineIds(bytes, metar_start);
  std::multiset<std::string> want_sa = StartLineIds(bytes, sa_start);
  ASSERT_GT(want_metar.size(), 800u);
  ASSERT_GT(want_sa.size(), 20u);

  std::multiset<std::string> got_metar;
  std::multiset<std::string> got_sa;
  for (const Read &rd : r) {
    SCOPED_TRACE(rd.text);
    std::smatch m;
    if (std::regex_search(rd.text, m, metar_start)) {
      got_metar.insert(m[1]);
      EXPECT_EQ(rd.id, m[1]);
      EXPECT_TRUE(rd.format == SFC_FMT_METAR || rd.format == SFC_FMT_SPECI);
      // A report that swallowed its neighbour would hold a second start.
      std::string rest = rd.text.substr(static_cast<size_t>(m.length(0)));
      EXPECT_FALSE(std::regex_search(rest, std::regex(" [A-Z]{4} [0-9]{6}Z ")));
    } else if (std::regex_search(rd.text, m, sa_start)) {
      got_sa.insert(m[1]);
      EXPECT_EQ(rd.format, SFC_FMT_SA);
      EXPECT_EQ(rd.bulletin, SFC_ORIGIN_CANADA);
    }
    EXPECT_NE(rd.id, "060000");
    EXPECT_EQ(rd.text.find("NNNN"), std::string::npos);
    EXPECT_LE(rd.text.size(), static_cast<size_t>(SFC_DATA_LEN));
    for (unsigned char c : rd.text) EXPECT_TRUE(c >= ' ' && c < 128);
    EXPECT_TRUE(rd.bulletin == SFC_ORIGIN_US || rd.bulletin == SFC_ORIGIN_CANADA ||
                rd.bulletin == SFC_ORIGIN_MEXICO || rd.bulletin == SFC_ORIGIN_OTHER);
  }
  EXPECT_EQ(got_metar, want_metar);
  EXPECT_EQ(got_sa, want_sa);

  // Origins: Mexican collectives, and US stations in an "other" bulletin.
  std::map<std::string, int> origin;
  for (const Read &rd : r) origin[rd.id] = rd.bulletin;
  EXPECT_EQ(origin["MMCE"], 2);
  EXPECT_EQ(origin["KTQH"], 0);
  EXPECT_EQ(origin["SBSN"], 9);
}

}  // namespace
