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
#include "raw_check.h"
#include "surface/raw_reader.h"
#include "surface/report.h"

namespace {

using raw_check::Check;

// The common limits, and the reader's own: an identifier of at most
// SFC_RAW_WORD_LEN characters, a text that ends with the blank after its last line
// unless it was cut.
void CheckReader(const data_struct &d) {
  const size_t len = raw_check::CheckReport(d);
  Check(raw_check::Terminated(d.id, sizeof d.id) <= static_cast<size_t>(SFC_RAW_WORD_LEN));
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
    CheckReader(d);
    if (r == SFC_RAW_LAST) break;
  }
  Check(SFC_raw_eof() == 1);
  Check(SFC_read_raw(f, d.data, d.id, &d.format, &d.bulletin) == SFC_RAW_NONE);
  FILE_close(f);
  return 0;
}
