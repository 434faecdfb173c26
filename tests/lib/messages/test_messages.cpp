#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "date/date.h"
#include "messages/messages.h"
#include "messages/messages_testing.h"

namespace {

std::string slurp(const std::string &path) {
  std::ifstream in(path);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

class Messages : public ::testing::Test {
 protected:
  void SetUp() override {
    MESS_reset_state();
    char tmpl[] = "/tmp/mess_testXXXXXX";
    dir_ = mkdtemp(tmpl);
  }
  void TearDown() override {
    MESS_reset_state();
    std::system(("rm -rf " + dir_).c_str());
  }
  std::string dir_;
};

TEST_F(Messages, LevelTexts) {
  struct Case {
    const char *text;
    M_type level;
  };
  const Case cases[] = {
      {"warn", 0xFF},         {"mess", 0xFFF},    {"debug", 0xFFFFFFFF}, {"none", 0},
      {"messb", 0x3FF},       {"print", 0xF},     {"out1", 0xFFFF},      {"MESS", 0xFFF},
      {"error", 0x3F},        {"bogus", 0},       {"mess,out1", 0xFFFF}, {"out4c", 0x7FFFFFF},
      {"+debug", 0xF00FFFFF}, {"-warn", 0xFFF3F}, {"+out4d", 0x80FFFFF}, {"warn,-error", 0xCF},
  };
  for (const Case &c : cases) {
    MESS_reset_state();
    MESS_set_str(c.text);
    EXPECT_EQ(MESS_get(), c.level) << c.text;
    EXPECT_EQ(MESS_check_set(), 1) << c.text;
  }
}

TEST_F(Messages, SetOperations) {
  MESS_set(MESS_USER_SET, M_PRINT | M_ERROR | M_WARN);
  EXPECT_EQ(MESS_get(), 0xFFu);
  EXPECT_EQ(MESS_check_set(), 1);
  MESS_set(MESS_USER_ADD, M_OUT1);
  EXPECT_EQ(MESS_get(), 0xF0FFu);
  MESS_set(MESS_USER_REMOVE, M_PRINT);
  EXPECT_EQ(MESS_get(), 0xF0F0u);
  EXPECT_EQ(MESS_check_set(), 3);
  MESS_set(3, 0);  // no operation, but a user setting all the same
  EXPECT_EQ(MESS_get(), 0xF0F0u);
  EXPECT_EQ(MESS_check_set(), 4);
}

TEST_F(Messages, ProgramDefaultsYieldToTheUser) {
  MESS_set(MESS_DEFAULT_SET, M_PRINT | M_ERROR | M_WARN);
  EXPECT_EQ(MESS_get(), 0xFFu);  // no user level yet
  MESS_set(MESS_DEFAULT_ADD, M_OUT1);
  EXPECT_EQ(MESS_get(), 0xF0FFu);
  EXPECT_EQ(MESS_check_set(), 0);
  MESS_reset_state();
  MESS_set_str("mess");
  MESS_set(MESS_DEFAULT_SET, M_PRINT | M_ERROR | M_WARN);
  EXPECT_EQ(MESS_get(), 0xFFFu);
}

// Each family of operation codes: whether it counts as the user's setting and
// whether it applies after the user has set the level.
TEST_F(Messages, OperationCodeFamilies) {
  struct Case {
    int oper;
    M_type before;  // the level the user set first (with MESS_set_str)
    M_type classes;
    M_type after;
    int user_settings;  // MESS_check_set afterwards
  } const cases[] = {
      {MESS_USER_SET, M_WARN, M_OUT1, 0xFFFFu, 2},
      {MESS_USER_ADD, M_WARN, M_OUT1, 0xF0FFu, 2},
      {MESS_USER_REMOVE, M_WARN, M_PRINT, 0xF0u, 2},
      {MESS_PROGRAM_SET, M_WARN, M_OUT1, 0xFFFFu, 1},
      {MESS_PROGRAM_ADD, M_WARN, M_OUT1, 0xF0FFu, 1},
      {MESS_PROGRAM_REMOVE, M_WARN, M_PRINT, 0xF0u, 1},
      {MESS_DEFAULT_SET, M_WARN, M_OUT1, 0xFFu, 1},  // the user's level stays
      {MESS_DEFAULT_ADD, M_WARN, M_OUT1, 0xFFu, 1},
      {MESS_DEFAULT_REMOVE, M_WARN, M_PRINT, 0xFFu, 1},
  };
  for (const Case &c : cases) {
    MESS_reset_state();
    MESS_set_str("warn");
    ASSERT_EQ(MESS_get(), 0xFFu);
    MESS_set(c.oper, c.classes);
    EXPECT_EQ(MESS_get(), c.after) << c.oper;
    EXPECT_EQ(MESS_check_set(), c.user_settings) << c.oper;
  }
}

// The parts of the classes are the bits the level words' final letters select.
TEST_F(Messages, ClassPartsMatchTheLevelWords) {
  struct Case {
    const char *word;
    M_type part;
  } const cases[] = {
      {"+printa", M_PRINT & M_SUB_A}, {"+printd", M_PRINT & M_SUB_D},
      {"+errorb", M_ERROR & M_SUB_B}, {"+warnc", M_WARN & M_SUB_C},
      {"+messd", M_MESS & M_SUB_D},   {"+debugc", M_DEBUG & M_SUB_C},
      {"+debugd", M_DEBUG & M_SUB_D},
  };
  for (const Case &c : cases) {
    MESS_reset_state();
    MESS_set_str("none");
    MESS_set_str(c.word);
    EXPECT_EQ(MESS_get(), c.part) << c.word;
  }
  EXPECT_EQ(M_WARN & M_SUB_C, 64u);
  EXPECT_EQ(M_MESS & M_SUB_D, 2048u);
  EXPECT_EQ(M_DEBUG & M_SUB_D, 0x80000000u);
}

TEST_F(Messages, ClassesGoToTheirStreams) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  EXPECT_EQ(MESS_print(0, "never\n"), 0);
  EXPECT_EQ(MESS_print(M_PRINT, "print %d\n", 1), 1);
  EXPECT_EQ(MESS_print(M_WARN, "warn\n"), 1);
  EXPECT_EQ(MESS_print(M_ERROR & M_SUB_B, "error\n"), 1);
  EXPECT_EQ(MESS_print(M_MESS, "mess\n"), 1);
  EXPECT_EQ(MESS_print(M_DEBUG & M_SUB_A, "debug\n"), 0);  // not in the initial level
  std::fflush(stdout);
  std::string out = testing::internal::GetCapturedStdout();
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(out, "print 1\nmess\n");
  EXPECT_EQ(err, "warn\nerror\n");
}

TEST_F(Messages, NoneShowsNothingNotEvenInTheCopyFile) {
  std::string copy = dir_ + "/copy.txt";
  MESS_file(copy.c_str(), "a");
  MESS_set_str("none");
  testing::internal::CaptureStdout();
  EXPECT_EQ(MESS_print(M_PRINT, "hidden\n"), 0);
  std::fflush(stdout);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  MESS_file_close();
  EXPECT_EQ(slurp(copy), "");
}

TEST_F(Messages, CopyFileGetsShownMessages) {
  std::string copy = dir_ + "/sub/dir/KDEN.txt";  // directories are created
  MESS_file(copy.c_str(), "a");
  testing::internal::CaptureStdout();
  MESS_print(M_PRINT & M_SUB_A, "KDEN %s\n", "report");
  std::fflush(stdout);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "KDEN report\n");
  MESS_file_close();
  MESS_file(copy.c_str(), "a");
  testing::internal::CaptureStdout();
  MESS_print(M_PRINT & M_SUB_A, "second\n");
  std::fflush(stdout);
  testing::internal::GetCapturedStdout();
  MESS_file_close();
  EXPECT_EQ(slurp(copy), "KDEN report\nsecond\n");
}

TEST_F(Messages, FileOnlyLog) {
  std::string log = dir_ + "/log.txt";
  MESS_set_str(("fi=" + log).c_str());
  testing::internal::CaptureStdout();
  EXPECT_EQ(MESS_print(M_PRINT, "to the file\n"), 0);
  std::fflush(stdout);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  MESS_reset_state();
  EXPECT_EQ(slurp(log), "to the file\n");
}

TEST_F(Messages, FlushWaitsForALogCommand) {
  // A log that is a command: when MESS_flush returns (the program's end), the
  // command has written everything, however slowly it starts.
  std::string log = dir_ + "/piped.txt";
  MESS_set_str(("fi=|sleep 0.2; cat > " + log).c_str());
  testing::internal::CaptureStdout();
  MESS_print(M_PRINT, "through the pipe\n");
  EXPECT_EQ(MESS_flush(), 0);
  std::fflush(stdout);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(slurp(log), "through the pipe\n");
}

TEST_F(Messages, LogModes) {
  std::string log = dir_ + "/log.txt";
  { std::ofstream(log) << "old\n"; }
  MESS_set_str(("+fi=" + log).c_str());  // append, console too
  testing::internal::CaptureStdout();
  EXPECT_EQ(MESS_print(M_PRINT, "a\n"), 1);
  std::fflush(stdout);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "a\n");
  MESS_reset_state();
  EXPECT_EQ(slurp(log), "old\na\n");

  MESS_set_str(("-fi=" + log).c_str());  // truncate
  testing::internal::CaptureStdout();
  MESS_print(M_PRINT, "b\n");
  std::fflush(stdout);
  testing::internal::GetCapturedStdout();
  MESS_reset_state();
  EXPECT_EQ(slurp(log), "b\n");

  MESS_set_str(("dfi=" + log).c_str());  // opened and closed around every message
  testing::internal::CaptureStdout();
  MESS_print(M_PRINT, "c\n");
  EXPECT_EQ(slurp(log), "b\nc\n");  // already on disk
  std::fflush(stdout);
  testing::internal::GetCapturedStdout();
  MESS_reset_state();

  MESS_set_str(("@fi=" + log).c_str());  // time-stamped
  testing::internal::CaptureStdout();
  char before[DATE_CURRENT_STR_SIZE];
  char after[DATE_CURRENT_STR_SIZE];
  DATE_get_current_str(before);
  MESS_print(M_PRINT, "d\n");
  DATE_get_current_str(after);
  std::fflush(stdout);
  testing::internal::GetCapturedStdout();
  MESS_reset_state();
  std::string text = slurp(log);
  ASSERT_GT(text.size(), 26u);
  EXPECT_EQ(text.substr(text.size() - 6), " -- d\n");
  EXPECT_EQ(text[text.size() - 7], 'Z');
  // The stamp is the date module's current-time label of the moment of writing.
  const std::string stamp = text.substr(text.size() - 26, 20);
  EXPECT_TRUE(stamp == before || stamp == after) << stamp << " / " << before << " / " << after;
}

int g_exit_status = -1;

// Purpose: a log file that cannot be created is a write error: one message naming
// it, and the program ends with status 1 (here the hook records the status).
TEST_F(Messages, LogFileThatCannotOpenEndsTheProgram) {
  g_exit_status = -1;
  MESS_set_write_failed_exit([](int status) { g_exit_status = status; });
  testing::internal::CaptureStderr();
  MESS_set_str("fi=/dev/null/log");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "MESS_print: Unable to write log file /dev/null/log (Not a directory)\n");
  EXPECT_EQ(g_exit_status, 1);
  testing::internal::CaptureStdout();
  EXPECT_EQ(MESS_print(M_PRINT, "lost\n"), 0);  // the mode stays: nothing on the console
  std::fflush(stdout);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

// Purpose: a copy file that cannot be written is reported once with its name.
TEST_F(Messages, CopyFileWriteErrorEndsTheProgram) {
  g_exit_status = -1;
  MESS_set_write_failed_exit([](int status) { g_exit_status = status; });
  testing::internal::CaptureStderr();
  MESS_file("/dev/full", "a");
  testing::internal::CaptureStdout();
  MESS_print(M_PRINT & M_SUB_A, "%s\n", std::string(8192, 'x').c_str());
  MESS_file_close();
  std::fflush(stdout);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "MESS_print: Unable to write output file /dev/full (No space left on device)\n");
  EXPECT_EQ(g_exit_status, 1);
}

TEST_F(Messages, PagingHoldsAfterAScreenful) {
  MESS_set_str("page,line=5");
  EXPECT_EQ(MESS_get_max_lines(), 5);
  // The hold reads a character from standard input: give it one.
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  ASSERT_EQ(write(fds[1], "\n", 1), 1);
  close(fds[1]);
  int saved = dup(0);
  dup2(fds[0], 0);
  testing::internal::CaptureStdout();
  for (int i = 0; i < 6; ++i) MESS_print(M_PRINT, "line\n");
  std::fflush(stdout);
  std::string out = testing::internal::GetCapturedStdout();
  dup2(saved, 0);
  close(saved);
  close(fds[0]);
  std::clearerr(stdin);
  EXPECT_EQ(out, "line\nline\nline\nline\nline\nline\nPress return to continue\n");
}

TEST_F(Messages, NoHoldInBatchMode) {
  MESS_set_str("page,line=1");
  FLAG_set_batch(1);
  testing::internal::CaptureStdout();
  for (int i = 0; i < 3; ++i) MESS_print(M_PRINT, "x\n");
  std::fflush(stdout);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "x\nx\nx\n");
}

TEST_F(Messages, LineItemDefaults) {
  MESS_set_str("line=0");
  EXPECT_EQ(MESS_get_max_lines(), 22);
  MESS_set_str("line");
  EXPECT_EQ(MESS_get_max_lines(), 22);
  MESS_set_str("line:40");
  EXPECT_EQ(MESS_get_max_lines(), 40);
}

TEST_F(Messages, Banner) {
  testing::internal::CaptureStdout();
  MESS_print_prog("HOURLY FILE SURFACE OBSERVATION PARSER");
  std::fflush(stdout);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "      HOURLY FILE SURFACE OBSERVATION PARSER (Ver 5.60.2-LINUX-X11)\n\n");
}

TEST_F(Messages, LongMessagesAreWhole) {
  std::string big(5000, 'x');
  testing::internal::CaptureStdout();
  MESS_print(M_PRINT, "%s\n", big.c_str());
  std::fflush(stdout);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), big + "\n");
}

TEST(Flags, Table) {
  FLAG_reset(-9999);
  EXPECT_EQ(FLAG_set(30, 1), -1);
  EXPECT_EQ(FLAG_set(-1, 1), -1);
  EXPECT_EQ(FLAG_get(-1), 0);
  EXPECT_EQ(FLAG_get(30), 0);
  EXPECT_EQ(FLAG_get(19), -9999);
  EXPECT_EQ(FLAG_batch(), 0);
  EXPECT_EQ(FLAG_set(19, 1), 0);
  EXPECT_EQ(FLAG_batch(), 1);
  EXPECT_EQ(FLAG_setl(29, 1L << 40), 0);
  EXPECT_EQ(FLAG_getl(29), 1L << 40);
  EXPECT_EQ(FLAG_help(), 0);
  FLAG_set(20, 2);
  EXPECT_EQ(FLAG_help(), 1);
  FLAG_reset(-9999);
}

TEST(Flags, PlotSwitches) {
  FLAG_resetplot(1);
  FLAG_setplot(0, 0);
  for (int i = 1; i <= 6; ++i) EXPECT_EQ(FLAG_getplot(i), 0) << i;
  for (int i = 7; i <= 11; ++i) EXPECT_EQ(FLAG_getplot(i), 1) << i;
  EXPECT_EQ(FLAG_getplot(0), 0);
  EXPECT_EQ(FLAG_getplot(12), 5);
  FLAG_setplot(12, 1);
  EXPECT_EQ(FLAG_getplot(0), 6);
  EXPECT_EQ(FLAG_getplot(12), 17);
  FLAG_resetplot(1);
}

}  // namespace
