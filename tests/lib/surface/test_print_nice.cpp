#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "messages/messages.h"
#include "messages/messages_testing.h"
#include "surface/print_nice.h"

namespace {

std::string Nice(M_type mess, const char *text) {
  testing::internal::CaptureStdout();
  EXPECT_EQ(SFC_print_nice(mess, text), 0);
  std::fflush(stdout);
  return testing::internal::GetCapturedStdout();
}

// Words "W01xxxxxx" of nine characters each, joined by blanks.
std::string Words(int n) {
  std::string s;
  for (int i = 1; i <= n; ++i) {
    char w[16];
    std::snprintf(w, sizeof w, "W%02dxxxxxx", i);
    if (!s.empty()) s += ' ';
    s += w;
  }
  return s;
}

class PrintNice : public testing::Test {
 protected:
  void SetUp() override { MESS_reset_state(); }
};

// Purpose: squeezing and wrapping at the widths of the first and further lines.
TEST_F(PrintNice, WrapsAtBlanks) {
  struct Case {
    const char *name;
    std::string in;
    std::string out;
  };
  const std::string a75(75, 'A');
  const std::string b70(70, 'B');
  const Case cases[] = {
      {"short report, one line", "KDEN RMK AO2", "KDEN RMK AO2\n"},
      {"blanks squeezed", "KDEN   121853Z    00000KT   ", "KDEN 121853Z 00000KT\n"},
      {"leading run kept as one blank", "   KDEN  RMK", " KDEN RMK\n"},
      {"74 characters, one line", std::string(74, 'K'), std::string(74, 'K') + "\n"},
      {"75 characters wrap at the last blank", std::string(40, 'A') + " " + std::string(34, 'B'),
       std::string(40, 'A') + "\n     " + std::string(34, 'B') + "\n"},
      {"160 characters: three lines",  // 16 words of 9: 7, 7 and 2 words
       Words(16),
       Words(7) + "\n     " + Words(16).substr(70, 69) + "\n     " + Words(16).substr(140) + "\n"},
      {"full first and continuation lines", a75 + " " + b70 + " C",
       a75 + "\n     " + b70 + "\n     C\n"},
      {"empty text", "", "\n"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Nice(1, c.in.c_str()), c.out);
  }
}

// Purpose: a run without blanks longer than a line is cut hard at the line width;
// no character is lost and no empty line is printed.
TEST_F(PrintNice, LongRunWithoutBlanks) {
  std::string x200(200, 'X');
  EXPECT_EQ(Nice(1, x200.c_str()), std::string(75, 'X') + "\n     " + std::string(70, 'X') +
                                       "\n     " + std::string(55, 'X') + "\n");
  std::string x75(75, 'X');
  EXPECT_EQ(Nice(1, x75.c_str()), x75 + "\n");
  // A leading blank is no break point.
  std::string lead = " " + std::string(80, 'Y');
  EXPECT_EQ(Nice(1, lead.c_str()),
            " " + std::string(74, 'Y') + "\n     " + std::string(6, 'Y') + "\n");
}

// Purpose: a real report text as the reader hands it over, and the caller's text
// left as it was.
TEST_F(PrintNice, RealReport) {
  const char *text =
      "KBTV 312354Z 18013G21KT 10SM BKN041 BKN048 OVC060 M05/M13 A2986      RMK AO2 PK WND "
      "18028/2322 SNB03E43 SLP119 4/001 P0000 60000      T10501133 11044 21067 56034  ";
  std::string before = text;
  EXPECT_EQ(Nice(1, text),
            "KBTV 312354Z 18013G21KT 10SM BKN041 BKN048 OVC060 M05/M13 A2986 RMK AO2 PK\n"
            "     WND 18028/2322 SNB03E43 SLP119 4/001 P0000 60000 T10501133 11044 21067\n"
            "     56034\n");
  EXPECT_EQ(before, text);
}

// Purpose: the caller's message class decides where the text goes.
TEST_F(PrintNice, UsesCallersClass) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(Nice(192, "KDEN RMK AO2"), "");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "KDEN RMK AO2\n");
  EXPECT_EQ(Nice(0, "KDEN RMK AO2"), "");
  EXPECT_EQ(Nice(1, nullptr), "");
}

}  // namespace
