// Taking typed values and byte runs off the front of a fuzz input: a value that
// does not fit in what is left reads as zero and ends the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

struct ByteReader {
  const uint8_t *p;
  size_t left;
  /// The next value of type T (zero when too few bytes are left).
  template <typename T>
  T take() {
    T v{};
    if (left >= sizeof v) {
      std::memcpy(&v, p, sizeof v);
      p += sizeof v;
      left -= sizeof v;
    } else {
      left = 0;
    }
    return v;
  }
  /// Copies up to `n` bytes into `out`; returns how many were copied.
  size_t bytes(void *out, size_t n) {
    n = n < left ? n : left;
    std::memcpy(out, p, n);
    p += n;
    left -= n;
    return n;
  }
};
