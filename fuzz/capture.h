// Catching a standard stream in memory while the library writes to it (glibc lets
// the stream variables be replaced), for the fuzz targets that check what the
// printers print: no file is touched, so a run stays quick.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

class Capture {
 public:
  /// Catches `stream` (stdout or stderr) from now on.
  explicit Capture(FILE *&stream) : target_(stream), saved_(stream) {
    stream_ = open_memstream(&buf_, &len_);
    if (stream_) target_ = stream_;
  }
  Capture(const Capture &) = delete;
  Capture &operator=(const Capture &) = delete;
  ~Capture() { (void)Take(); }
  /// Everything written since the capture began; ends the capture.
  std::string Take() {
    if (!stream_) return {};
    std::fflush(stream_);
    target_ = saved_;
    std::fclose(stream_);
    stream_ = nullptr;
    std::string out(buf_, len_);
    std::free(buf_);
    buf_ = nullptr;
    return out;
  }

 private:
  FILE *&target_;
  FILE *saved_;
  FILE *stream_ = nullptr;
  char *buf_ = nullptr;
  std::size_t len_ = 0;
};
