// Fuzz target for the raw bulletin reader: the input is a whole raw hourly file.
//
// The bytes are read through a memory stream, report by report, the way the
// driver reads a file. An input that begins with the gzip signature is written to a
// scratch file in memory (/dev/shm) and opened with FILE_open, which reads it
// decompressed: damaged and truncated compressed files, and compressed files that
// unpack to much more, take the same path as real archives. Checks that the reader comes to an end (every read takes
// at least one line of the input), that every report keeps the limits of the
// report record (text, identifier, format code, origin), that the text holds no
// control or high bytes, and that nothing is returned after the end.
// Seeds: the real bulletins of tests/data/bulletins.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

#include <string>

#include "files/paths.h"
#include "surface/raw_reader.h"
#include "surface/report.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// The length of a NUL-terminated text within `size` bytes; aborts when there is
// no terminator.
size_t Terminated(const char *s, size_t size) {
  const void *end = std::memchr(s, '\0', size);
  Check(end != nullptr);
  return static_cast<size_t>(static_cast<const char *>(end) - s);
}

void CheckReport(const data_struct &d) {
  size_t len = Terminated(d.data, sizeof d.data);
  Check(len >= 1 && len <= static_cast<size_t>(SFC_DATA_LEN));
  size_t id_len = Terminated(d.id, sizeof d.id);
  Check(id_len >= 1 && id_len <= static_cast<size_t>(SFC_RAW_WORD_LEN));
  Check(d.format == SFC_FMT_SA || d.format == SFC_FMT_METAR || d.format == SFC_FMT_SP ||
        d.format == SFC_FMT_SPECI);
  Check(d.bulletin == SFC_ORIGIN_US || d.bulletin == SFC_ORIGIN_CANADA ||
        d.bulletin == SFC_ORIGIN_MEXICO || d.bulletin == SFC_ORIGIN_OTHER);
  for (size_t i = 0; i < len; ++i) {
    auto c = static_cast<unsigned char>(d.data[i]);
    Check(c >= ' ' && c < 128);
  }
  // The text ends with the blank after its last line unless it was cut.
  Check(len == static_cast<size_t>(SFC_DATA_LEN) || d.data[len - 1] == ' ');
}

}  // namespace

// A scratch file holding the input, removed when done.
struct Scratch {
  std::string path;
  Scratch(const uint8_t *data, size_t size) {
    if (!data) return;
    char tmpl[] = "/dev/shm/fuzz_rawXXXXXX";
    const int fd = mkstemp(tmpl);
    if (fd < 0) return;
    path = tmpl;
    Check(write(fd, data, size) == static_cast<ssize_t>(size));
    close(fd);
  }
  ~Scratch() {
    if (!path.empty()) unlink(path.c_str());
  }
};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const bool gzip = size >= 2 && data[0] == 0x1f && data[1] == 0x8b;
  Scratch scratch(gzip ? data : nullptr, gzip ? size : 0);
  // fmemopen reads the caller's bytes in place; it never writes in read mode.
  FILE *f = gzip ? FILE_open(scratch.path.c_str(), "r")
                 : fmemopen(const_cast<uint8_t *>(data), size, "r");
  if (!f) return 0;
  // The unpacked text may be far longer than the input: reads are bounded by it.
  const size_t bound = gzip ? 64 * 1024 * 1024 : size;

  SFC_raw_new_file();
  data_struct d;
  size_t reads = 0;
  for (;;) {
    std::memset(&d, 0x5A, sizeof d);
    int r = SFC_read_raw(f, d.data, d.id, &d.format, &d.bulletin);
    Check(++reads <= bound + 2);
    if (r == SFC_RAW_NONE) {
      Check(d.data[0] == '\0' && d.id[0] == '\0' && d.format == SFC_FMT_NONE);
      break;
    }
    Check(r == SFC_RAW_OK || r == SFC_RAW_LAST);
    CheckReport(d);
    if (r == SFC_RAW_LAST) break;
  }
  Check(SFC_raw_eof() == 1);
  Check(SFC_read_raw(f, d.data, d.id, &d.format, &d.bulletin) == SFC_RAW_NONE);
  FILE_close(f);
  return 0;
}
