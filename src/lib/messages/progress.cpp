// The progress line on standard error: drawn with a carriage return and an
// erase to the end of the line, so that each drawing replaces the last one.
#include "messages/progress.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "messages/messages.h"
#include "messages/messages_testing.h"

namespace mess_detail {
int progress_on = 0;
}  // namespace mess_detail

namespace {

// Reports read between two looks at the clock.
constexpr long kReportsPerLook = 256;
constexpr const char kErase[] = "\r\033[K";

// The indicator's state for the run (whether it is on: mess_detail::progress_on,
// outside the struct as the report path reads it inline).
struct ProgressState {
  int fd = STDERR_FILENO;      // where the line is drawn
  int out_fd = STDOUT_FILENO;  // where the rows go
  double (*now)() = nullptr;   // test clock
  int files = 0;               // input files of the run
  int done = 0;                // files done
  long reports = 0;            // reports read
  long unlooked = 0;           // reports since the last look at the clock
  double start = 0.0;          // when the run started (seconds)
  double drawn_at = 0.0;       // when the line was drawn last
  bool drawn = false;          // the line is on the screen
  bool exit_hook = false;      // the line is erased at exit
};
ProgressState g_progress;

double Now() {
  if (g_progress.now) return g_progress.now();
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void Put(const char *text, std::size_t n) {
  while (n > 0) {
    const ssize_t w = ::write(g_progress.fd, text, n);
    if (w <= 0) return;  // a terminal that cannot take it: nothing to tell
    text += w;
    n -= static_cast<std::size_t>(w);
  }
}

void AtExit() { MESS_progress_end(); }

void Draw(double t) {
  const double elapsed = t - g_progress.start;
  const double rate = elapsed > 0.0 ? static_cast<double>(g_progress.reports) / elapsed : 0.0;
  char text[128];
  const int n = std::snprintf(text, sizeof text, "\r%d of %d files done, %.0f reports/s\033[K",
                              g_progress.done, g_progress.files, rate);
  if (n > 0) Put(text, std::strlen(text));
  g_progress.drawn = true;
  g_progress.drawn_at = t;
  if (!g_progress.exit_hook) {
    // A run that ends early (a write error) still leaves a clean line.
    std::atexit(AtExit);
    g_progress.exit_hook = true;
  }
}

void Look() {
  g_progress.unlooked = 0;
  const double t = Now();
  if (t - g_progress.drawn_at >= MESS_PROGRESS_PERIOD) Draw(t);
}

}  // namespace

int MESS_progress_start(int files) {
  mess_detail::progress_on = 0;
  g_progress.drawn = false;
  if (files < 2 || MESS_get() == 0) return 0;
  if (!::isatty(g_progress.fd) || ::isatty(g_progress.out_fd)) return 0;
  g_progress.files = files;
  g_progress.done = 0;
  g_progress.reports = 0;
  g_progress.unlooked = 0;
  g_progress.start = Now();
  g_progress.drawn_at = g_progress.start;  // the first drawing after one period
  mess_detail::progress_on = 1;
  return 1;
}

void MESS_progress_count() {
  if (!mess_detail::progress_on) return;
  ++g_progress.reports;
  if (++g_progress.unlooked >= kReportsPerLook) Look();
}

void MESS_progress_file_done() {
  if (!mess_detail::progress_on) return;
  ++g_progress.done;
  Look();
}

void MESS_progress_clear() {
  if (!g_progress.drawn) return;
  Put(kErase, sizeof kErase - 1);
  g_progress.drawn = false;
}

void MESS_progress_end() {
  MESS_progress_clear();
  mess_detail::progress_on = 0;
}

void MESS_progress_test(int err_fd, int out_fd, double (*now)()) {
  g_progress.fd = err_fd;
  g_progress.out_fd = out_fd;
  g_progress.now = now;
}

void MESS_progress_reset() {
  const bool hook = g_progress.exit_hook;
  g_progress = ProgressState{};
  g_progress.exit_hook = hook;  // registered once per process
  mess_detail::progress_on = 0;
}
