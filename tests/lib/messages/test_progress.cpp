// The progress line: when it shows, what it draws and when, that it is erased at
// the end and before a warning, and that it never shows without a terminal.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "messages/messages.h"
#include "messages/progress.h"

namespace {

double clock_now = 0.0;
double FakeClock() { return clock_now; }

// The indicator drawing into a pipe, on a clock the test moves.
class Progress : public testing::Test {
 protected:
  void SetUp() override {
    MESS_reset_state();
    ASSERT_EQ(pipe(fds_), 0);
    fcntl(fds_[0], F_SETFL, O_NONBLOCK);
    clock_now = 100.0;
    MESS_progress_test(fds_[1], FakeClock);
  }
  void TearDown() override {
    MESS_reset_state();  // also the indicator
    close(fds_[0]);
    close(fds_[1]);
  }
  // Everything drawn since the last call.
  std::string Drawn() {
    std::string out;
    char buf[512];
    ssize_t n;
    while ((n = read(fds_[0], buf, sizeof buf)) > 0) out.append(buf, static_cast<std::size_t>(n));
    return out;
  }
  static void Reports(int n) {
    for (int k = 0; k < n; ++k) MESS_progress_report();
  }
  int fds_[2];
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
  Reports(1000);           // the clock stands still: no drawing
  EXPECT_EQ(Drawn(), "");
  clock_now += 0.5;
  Reports(256);            // the clock is looked at every 256 reports
  int done = 0, files = 0, rate = 0;
  const std::string line = Drawn();
  ASSERT_EQ(std::sscanf(line.c_str(), "\r%d of %d files done, %d reports/s", &done, &files, &rate), 3)
      << line;
  EXPECT_EQ(done, 2);
  EXPECT_EQ(files, 3);
  EXPECT_GT(rate, 2000);   // 2,001 to 2,256 reports in one second
  EXPECT_LE(rate, 2256);
  MESS_progress_end();
  EXPECT_EQ(Drawn(), "\r\033[K");
  MESS_progress_end();     // erased once
  EXPECT_EQ(Drawn(), "");
  Reports(10000);          // off: nothing counted, nothing drawn
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

// Purpose: without the test hook, a standard error that is no terminal (as
// under the test runner) shows nothing.
TEST_F(Progress, NoTerminalShowsNothing) {
  MESS_progress_reset();
  if (isatty(STDERR_FILENO) && !isatty(STDOUT_FILENO)) GTEST_SKIP() << "run on a terminal";
  EXPECT_EQ(MESS_progress_start(5), 0);
}

}  // namespace
