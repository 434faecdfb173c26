// The fuzz input as a file in memory (memfd_create), under a path that the library's
// file functions open like any other file: no disk is touched.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

class MemFile {
 public:
  MemFile(const uint8_t *data, std::size_t size) {
    fd_ = memfd_create("fuzz_input", 0);
    if (fd_ < 0) return;
    std::size_t done = 0;
    while (done < size) {
      const ssize_t n = write(fd_, data + done, size - done);
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    if (done == size) path_ = "/proc/self/fd/" + std::to_string(fd_);
  }
  MemFile(const MemFile &) = delete;
  MemFile &operator=(const MemFile &) = delete;
  ~MemFile() {
    if (fd_ >= 0) close(fd_);
  }
  /// The path of the file; empty when it could not be made.
  const std::string &path() const { return path_; }

 private:
  int fd_ = -1;
  std::string path_;
};
