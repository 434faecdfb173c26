// The progress line: when it shows, what it draws and when, that it is erased at
// the end and before a warning, and that it never shows without a terminal.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "messages/messages.h"
#include "messages/messages_testing.h"
#include "messages/progress.h"

namespace {

double clock_now = 0.0;
double FakeClock() { return clock_now; }

// The indicator drawing on a pseudo-terminal (its standard error), standard output
// a pipe, on a clock the test moves.
class Progress : public testing::Test {
 protected:
  void SetUp() override {
    MESS_reset_state();
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master_, 0);
    ASSERT_EQ(grantpt(master_), 0);
    ASSERT_EQ(unlockpt(master_), 0);
    terminal_ = open(ptsname(master_), O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal_, 0);
    termios raw;
    tcgetattr(terminal_, &raw);
    cfmakeraw(&raw);  // the bytes as they are written
    tcsetattr(terminal_, TCSANOW, &raw);
    fcntl(master_, F_SETFL, O_NONBLOCK);
    ASSERT_EQ(pipe(out_), 0);
    clock_now = 100.0;
    MESS_progress_test(terminal_, out_[1], FakeClock);
  }
  void TearDown() override {
    MESS_reset_state();  // also the indicator
    for (int fd : {master_, terminal_, out_[0], out_[1]}) close(fd);
  }
  // Everything drawn since the last call.
  std::string Drawn() {
    std::string out;
    char buf[512];
    ssize_t n;
    while ((n = read(master_, buf, sizeof buf)) > 0) out.append(buf, static_cast<std::size_t>(n));
    return out;
  }
  static void Reports(int n) {
    for (int k = 0; k < n; ++k) MESS_progress_report();
  }
  int master_ = -1;
  int terminal_ = -1;
  int out_[2] = {-1, -1};
};

// Purpose: nothing before a period has passed; then one drawing with the files
// done and the reports per second since the start, in place; at most one per
// period; erased at the end.
TEST_F(Progress, DrawsAtMostEveryPeriodAndErasesAtTheEnd) {
  ASSERT_EQ(MESS_progress_start(3), 1);
  Reports(1000);
  EXPECT_EQ(Drawn(), "");
  clock_now += 0.1;
  MESS_progress_file_done();
  EXPECT_EQ(Drawn(), "");  // a tenth of a second: not yet
  clock_now += 0.4;        // 0.5 s since the start, 1,000 reports
  MESS_progress_file_done();
  EXPECT_EQ(Drawn(), "\r2 of 3 files done, 2000 reports/s\033[K");
  Reports(1000);  // the clock stands still: no drawing
  EXPECT_EQ(Drawn(), "");
  clock_now += 0.5;
  Reports(256);  // the clock is looked at every 256 reports
  int done = 0, files = 0, rate = 0;
  const std::string line = Drawn();
  ASSERT_EQ(std::sscanf(line.c_str(), "\r%d of %d files done, %d reports/s", &done, &files, &rate),
            3)
      << line;
  EXPECT_EQ(done, 2);
  EXPECT_EQ(files, 3);
  EXPECT_GT(rate, 2000);  // 2,001 to 2,256 reports in one second
  EXPECT_LE(rate, 2256);
  MESS_progress_end();
  EXPECT_EQ(Drawn(), "\r\033[K");
  MESS_progress_end();  // erased once
  EXPECT_EQ(Drawn(), "");
  Reports(10000);  // off: nothing counted, nothing drawn
  clock_now += 5.0;
  MESS_progress_file_done();
  EXPECT_EQ(Drawn(), "");
}

// Purpose: a warning erases the line first, so that it prints on a clean line.
TEST_F(Progress, WarningGetsACleanLine) {
  ASSERT_EQ(MESS_progress_start(2), 1);
  clock_now += 1.0;
  MESS_progress_file_done();
  EXPECT_EQ(Drawn(), "\r1 of 2 files done, 0 reports/s\033[K");
  testing::internal::CaptureStderr();
  MESS_print(M_WARN, "a warning\n");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "a warning\n");
  EXPECT_EQ(Drawn(), "\r\033[K");
  MESS_progress_end();
  EXPECT_EQ(Drawn(), "");  // already erased
}

// Purpose: one file, or the message level "none", shows nothing.
TEST_F(Progress, OneFileOrLevelNoneShowsNothing) {
  EXPECT_EQ(MESS_progress_start(1), 0);
  EXPECT_EQ(MESS_progress_start(0), 0);
  MESS_set_str("none");
  EXPECT_EQ(MESS_progress_start(5), 0);
  clock_now += 10.0;
  MESS_progress_file_done();
  MESS_progress_end();
  EXPECT_EQ(Drawn(), "");
}

// Purpose: standard output on the terminal too (rows on the screen), or standard
// error no terminal, shows nothing.
TEST_F(Progress, OnlyStandardErrorOnATerminal) {
  MESS_progress_test(terminal_, terminal_, FakeClock);
  EXPECT_EQ(MESS_progress_start(5), 0);
  MESS_progress_test(out_[1], out_[0], FakeClock);
  EXPECT_EQ(MESS_progress_start(5), 0);
  clock_now += 10.0;
  MESS_progress_file_done();
  MESS_progress_end();
  EXPECT_EQ(Drawn(), "");
}

}  // namespace
