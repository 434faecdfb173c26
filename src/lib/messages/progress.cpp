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

struct Progress {
  int fd = STDERR_FILENO;      // where the line is drawn
  int out_fd = STDOUT_FILENO;  // where the rows go
  double (*now)() = nullptr;   // test clock
  int files = 0;
  int done = 0;
  long reports = 0;
  long unlooked = 0;  // reports since the last look at the clock
  double start = 0.0;
  double drawn_at = 0.0;
  bool drawn = false;
  bool exit_hook = false;
};

Progress progress;

double Now() {
  if (progress.now) return progress.now();
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void Put(const char *text, std::size_t n) {
  while (n > 0) {
    const ssize_t w = ::write(progress.fd, text, n);
    if (w <= 0) return;  // a terminal that cannot take it: nothing to tell
    text += w;
    n -= static_cast<std::size_t>(w);
  }
}

void AtExit() { MESS_progress_end(); }

void Draw(double t) {
  const double elapsed = t - progress.start;
  const double rate = elapsed > 0.0 ? progress.reports / elapsed : 0.0;
  char text[128];
  const int n = std::snprintf(text, sizeof text, "\r%d of %d files done, %.0f reports/s\033[K",
                              progress.done, progress.files, rate);
  if (n > 0) Put(text, std::strlen(text));
  progress.drawn = true;
  progress.drawn_at = t;
  if (!progress.exit_hook) {
    // A run that ends early (a write error) still leaves a clean line.
    std::atexit(AtExit);
    progress.exit_hook = true;
  }
}

void Look() {
  progress.unlooked = 0;
  const double t = Now();
  if (t - progress.drawn_at >= MESS_PROGRESS_PERIOD) Draw(t);
}

}  // namespace

int MESS_progress_start(int files) {
  mess_detail::progress_on = 0;
  progress.drawn = false;
  if (files < 2 || MESS_get() == 0) return 0;
  if (!::isatty(progress.fd) || ::isatty(progress.out_fd)) return 0;
  progress.files = files;
  progress.done = 0;
  progress.reports = 0;
  progress.unlooked = 0;
  progress.start = Now();
  progress.drawn_at = progress.start;  // the first drawing after one period
  mess_detail::progress_on = 1;
  return 1;
}

void MESS_progress_count() {
  if (!mess_detail::progress_on) return;
  ++progress.reports;
  if (++progress.unlooked >= kReportsPerLook) Look();
}

void MESS_progress_file_done() {
  if (!mess_detail::progress_on) return;
  ++progress.done;
  Look();
}

void MESS_progress_clear() {
  if (!progress.drawn) return;
  Put(kErase, sizeof kErase - 1);
  progress.drawn = false;
}

void MESS_progress_end() {
  MESS_progress_clear();
  mess_detail::progress_on = 0;
}

void MESS_progress_test(int err_fd, int out_fd, double (*now)()) {
  progress.fd = err_fd;
  progress.out_fd = out_fd;
  progress.now = now;
}

void MESS_progress_reset() {
  const bool hook = progress.exit_hook;
  progress = Progress{};
  progress.exit_hook = hook;  // registered once per process
  mess_detail::progress_on = 0;
}
