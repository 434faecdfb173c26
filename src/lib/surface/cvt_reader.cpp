// The converted-file reader: kind detection, opening, the header, record
// positioning, closing. The forms themselves are read in cvt_text.cpp and
// cvt_netcdf.cpp.
//
// Text files are read one line per record. The reader keeps the line of the record
// read last, so that reading that record again (the driver reads each record first
// for its identifier, then whole when the station is wanted) parses the kept line
// and never touches the file; a later record is reached by reading on, an earlier
// one by going back to the first record (seeking, or opening the file again where
// the stream cannot seek, as for a pipe) and reading on. Lines of nothing but
// white space are no records.
#include "surface/cvt_reader.h"
#include "surface/cvt_reader_testing.h"

#include <netcdf.h>
#include <netcdf_mem.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "files/paths.h"
#include "messages/messages.h"
#include "surface/cvt_netcdf.h"

namespace {

// Bytes of a netCDF file too large for memory in which its header must lie.
constexpr std::size_t kLargeHeaderMax = std::size_t{16} * 1024 * 1024;

// Zero bytes added behind a netCDF file in memory that does not open without them.
constexpr std::size_t kHeaderSlack = 64;

// What SFC_open gives for a stream that has no file descriptor.
constexpr int kNoDescriptor = 1 << 24;

// The lesser warning class ("warn c") of the reader's one message: the lower bit
// of the warning group.
constexpr M_type kLesserWarning = M_WARN & ~(M_WARN << 1);
static_assert(kLesserWarning == 0x40);

// Reads a text stream line by line through its own block of bytes (a line costs a
// search for its end, not a call per character), counting the bytes taken so that
// the position of a line is known without asking the stream.
class LineReader {
 public:
  void Attach(FILE *f, long offset) {
    f_ = f;
    begin_ = end_ = 0;
    eof_ = false;
    offset_ = offset;
  }
  /// Bytes of the stream taken so far (the position of the next line).
  long offset() const { return offset_; }

  /// One line into `line` (at most SFC_CVT_LINE_MAX characters; the rest of a longer
  /// line is passed over), without its line end and trailing carriage returns.
  /// False at the end of the stream.
  bool Next(std::string &line) {
    line.clear();
    bool any = false;
    for (;;) {
      if (begin_ == end_ && !Fill()) return any;
      any = true;
      const char *from = block_.get() + begin_;
      const auto *nl = static_cast<const char *>(std::memchr(from, '\n', end_ - begin_));
      const std::size_t len = nl ? static_cast<std::size_t>(nl - from) : end_ - begin_;
      const std::size_t room = static_cast<std::size_t>(SFC_CVT_LINE_MAX) - line.size();
      line.append(from, len < room ? len : room);
      begin_ += len + (nl ? 1 : 0);
      offset_ += static_cast<long>(len + (nl ? 1 : 0));
      if (nl) break;
    }
    while (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
  }

 private:
  bool Fill() {
    if (eof_ || !f_) return false;
    // The block is made at the first read (left uninitialised: only what was read is
    // looked at), so that resetting the reader's state costs no copy of it.
    if (!block_) block_.reset(new char[kBlockSize]);
    end_ = std::fread(block_.get(), 1, kBlockSize, f_);
    begin_ = 0;
    eof_ = end_ == 0;
    return !eof_;
  }

  FILE *f_ = nullptr;
  static constexpr std::size_t kBlockSize = 65536;
  std::unique_ptr<char[]> block_;
  std::size_t begin_ = 0, end_ = 0;
  bool eof_ = false;
  long offset_ = 0;
};

// The reader's state: the one converted file open at a time.
struct CvtState {
  int kind = -1;              // kind of the open file; -1: none open
  int access = SFC_CVT_READ;  // 0 read, 1 write, 2 append
  int fd = -1;                // what SFC_open returned for it
  std::string name;           // its name, to open it again
  FilePtr stream;             // text and binary kinds
  int ncid = -1;              // netCDF kinds
  std::vector<char> memory;   // a netCDF file read into memory
  sfc_cvt::CdfReader cdf;     // netCDF kinds opened for reading or appending
  std::string label;          // the header's date label
  Date date{};                // decoded from it; its hour places extreme temperatures
  long first_pos = -1;        // offset of the first record from the stream's start
  int next = 0;               // index of the next record the stream holds / counter
  int last = -1;              // index of the record read last; -1 none
  std::string line;           // text of record `last` (text kinds)
  LineReader lines;           // the open text file's lines
};

CvtState g_cvt;

bool IsOldText(int kind) { return kind == SFC_CVT_OLD_1 || kind == SFC_CVT_OLD; }
bool IsNewText(int kind) { return kind == SFC_CVT_NEW || kind == SFC_CVT_NEW_4; }
bool IsReadText(int kind) { return IsOldText(kind) || IsNewText(kind); }
bool IsCdf(int kind) { return kind == SFC_CVT_CDF_STATION || kind == SFC_CVT_CDF_REPORT; }
bool IsStreamKind(int kind) {
  return IsReadText(kind) || kind == SFC_CVT_TEXT || kind == SFC_CVT_TAGGED ||
         kind == SFC_CVT_BINARY;
}

// The text kind a first character announces: the hour of a date label (or the
// blank before a one-digit hour) for the old form, the header word for the new.
int TextKindOf(int c) {
  if (c == ' ' || c == '0' || c == '1' || c == '2') return SFC_CVT_OLD;
  if (c == SFC_CVT_HEADER[0]) return SFC_CVT_NEW;
  return -1;
}

// The classic netCDF signature: "CDF" and the format version (1 classic, 2 64-bit
// offsets, 5 64-bit data). Other files that begin with 'C' are no converted files,
// and are never handed to the library.
bool IsCdfSignature(const unsigned char *head, std::size_t n) {
  return n >= 4 && head[0] == 'C' && head[1] == 'D' && head[2] == 'F' &&
         (head[3] == 1 || head[3] == 2 || head[3] == 5);
}

std::string CdfPath(const char *name) {
  char path[FILE_PATH_MAX + 1];
  FILE_add_user_path(name, path);
  return path;
}

int OpenCdf(const char *name, int mode) {
  int ncid = -1;
  if (nc_open(CdfPath(name).c_str(), mode, &ncid) != NC_NOERR) return -1;
  return ncid;
}

// The next record line: one that holds more than white space (in the new form,
// before the '$' that ends its data), so that every record has an identifier.
bool ReadRecordLine(bool new_form, std::string &line) {
  while (g_cvt.lines.Next(line)) {
    const std::size_t end = new_form ? line.find('$') : std::string::npos;
    if (line.find_first_not_of(" \t\n\r\f\v") < end) return true;
  }
  return false;
}

// Passes over the header lines of a text file (two in the new form, one in the
// old); the last one is the date label.
void ReadHeader() {
  std::string line;
  for (int k = IsNewText(g_cvt.kind) ? 2 : 1; k > 0; --k)
    if (g_cvt.lines.Next(line)) g_cvt.label = line;
}

// Back to the first record of a text file. A stream that cannot seek is opened
// again and its header passed over; standard input cannot go back.
bool RewindText() {
  FILE *f = g_cvt.stream.get();
  if (!f) return false;
  if (g_cvt.first_pos >= 0 && std::fseek(f, g_cvt.first_pos, SEEK_SET) == 0) {
    g_cvt.lines.Attach(f, g_cvt.first_pos);
    g_cvt.next = 0;
    return true;
  }
  if (FILE_is_stdio(g_cvt.name.c_str())) return false;
  g_cvt.stream.reset(FILE_open(g_cvt.name.c_str(), "r"));
  if (!g_cvt.stream) return false;
  g_cvt.lines.Attach(g_cvt.stream.get(), 0);
  const std::string label = g_cvt.label;
  ReadHeader();
  g_cvt.label = label;
  g_cvt.next = 0;
  return true;
}

// Makes record `index` of a text file the kept line. False past the last record.
bool TextRecord(int index) {
  if (index == g_cvt.last) return true;
  if (index < g_cvt.next && !RewindText()) return false;
  std::string line;
  while (g_cvt.next <= index) {
    if (!ReadRecordLine(IsNewText(g_cvt.kind), line)) return false;
    ++g_cvt.next;
  }
  g_cvt.line.swap(line);
  g_cvt.last = index;
  return true;
}

// The descriptor SFC_open gives for a stream: its file descriptor, or for a stream
// without one (a decompressing stream, say) a number no descriptor has.
int Descriptor(FILE *f) {
  const int fd = fileno(f);
  return fd >= 0 ? fd : kNoDescriptor;
}

bool IsOpen(int cvt_fd) { return g_cvt.kind > 0 && cvt_fd == g_cvt.fd; }

void CloseAll() {
  if (g_cvt.stream && g_cvt.kind == SFC_CVT_TAGGED && g_cvt.access != SFC_CVT_READ)
    std::fprintf(g_cvt.stream.get(), "%s\n", SFC_CVT_TAG_END);
  g_cvt.lines.Attach(nullptr, 0);
  g_cvt.stream.reset();
  if (g_cvt.ncid >= 0) nc_close(g_cvt.ncid);
  g_cvt = CvtState();
}

// A converted file opened for reading: a text stream at its start, or a netCDF file
// read into memory (so that data the header promises but the file lacks, as in a
// truncated file, is a read error rather than zeros) and its identifier.
struct ReadHandle {
  FilePtr stream;
  std::vector<char> memory;
  int ncid = -1;
  int kind = 0;
  ~ReadHandle() {
    if (ncid >= 0) nc_close(ncid);
  }
};

// Opens a netCDF file through the library from the disk (a file too large for
// memory, or one opened for appending), once its header, which must lie in its first
// part, has passed the check. The identifier, or -1.
int OpenCdfFromDisk(const char *name, int mode) {
  std::vector<unsigned char> head(kLargeHeaderMax);
  FilePtr f(FILE_open(name, "r"));
  if (!f) return -1;
  head.resize(std::fread(head.data(), 1, head.size(), f.get()));
  if (!IsCdfSignature(head.data(), head.size()) ||
      !sfc_cvt::CdfHeaderFits(head.data(), head.size()))
    return -1;
  return OpenCdf(name, mode);
}

// Reads the rest of `f` into `bytes`. False on a read error or when it holds more
// than SFC_CVT_MEMORY_MAX bytes.
bool ReadAll(FILE *f, std::vector<char> &bytes) {
  bytes.clear();
  // A regular file is read in one piece, straight into the buffer.
  struct stat st;
  if (fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode) && std::ftell(f) == 0) {
    if (static_cast<unsigned long long>(st.st_size) > SFC_CVT_MEMORY_MAX) return false;
    bytes.resize(static_cast<std::size_t>(st.st_size));
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
    if (std::ferror(f)) return false;
    if (std::feof(f) || bytes.size() < static_cast<std::size_t>(st.st_size)) return true;
  }
  char buf[65536];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
    if (bytes.size() + n > SFC_CVT_MEMORY_MAX) return false;
    bytes.insert(bytes.end(), buf, buf + n);
  }
  return !std::ferror(f);
}

// Opens the netCDF file whose stream `h.stream` is: into memory, or, for a regular
// file too large for that, through the library from the disk.
bool OpenCdfFile(const char *name, ReadHandle &h) {
  const bool whole = ReadAll(h.stream.get(), h.memory);
  h.stream.reset();
  if (!whole) {
    h.memory.clear();
    if (FILE_is_stdio(name) || name[0] == '|') return false;
    h.ncid = OpenCdfFromDisk(name, NC_NOWRITE);
    return h.ncid >= 0;
  }
  const auto *head = reinterpret_cast<const unsigned char *>(h.memory.data());
  if (!IsCdfSignature(head, h.memory.size()) || !sfc_cvt::CdfHeaderFits(head, h.memory.size()))
    return false;
  if (nc_open_mem(name, NC_NOWRITE, h.memory.size(), h.memory.data(), &h.ncid) == NC_NOERR)
    return true;
  // The library reads a few bytes beyond the header while it reads the header, so a
  // tiny file whose data ends right after it opens only with some room behind it.
  h.memory.resize(h.memory.size() + kHeaderSlack, '\0');
  return nc_open_mem(name, NC_NOWRITE, h.memory.size(), h.memory.data(), &h.ncid) == NC_NOERR;
}

// Opens `name` for reading as `kind`, or (kind 0) as the kind its first character
// and dimensions show. False when it cannot be opened or is no converted file.
bool OpenForReading(const char *name, int kind, ReadHandle &h) {
  h.stream.reset(FILE_open(name, "r"));
  if (!h.stream) return false;
  const int c = std::getc(h.stream.get());
  if (c == EOF) return false;
  std::ungetc(c, h.stream.get());
  const bool detect = kind == 0;
  if (detect) kind = c == 'C' ? SFC_CVT_CDF_STATION : TextKindOf(c);
  if (kind <= 0) return false;
  if (IsCdf(kind)) {
    if (!OpenCdfFile(name, h)) return false;
    if (detect) kind = sfc_cvt::CdfKind(h.ncid);
  } else if (!IsStreamKind(kind)) {
    return false;
  }
  h.kind = kind;
  return true;
}

// Takes over an opened file as the open converted file.
int TakeOver(ReadHandle &h) {
  g_cvt.kind = h.kind;
  if (IsCdf(h.kind)) {
    g_cvt.memory.swap(h.memory);
    g_cvt.ncid = h.ncid;
    h.ncid = -1;
    g_cvt.cdf.Attach(g_cvt.ncid, g_cvt.kind);
    g_cvt.label = g_cvt.cdf.label();
    return g_cvt.ncid;
  }
  g_cvt.stream = std::move(h.stream);
  if (IsReadText(g_cvt.kind)) {
    // The stream may not tell its position (a pipe): the first record is where the
    // header ended, counted from the start.
    g_cvt.lines.Attach(g_cvt.stream.get(), 0);
    ReadHeader();
    g_cvt.first_pos = g_cvt.lines.offset();
  }
  return Descriptor(g_cvt.stream.get());
}

int OpenWrite(const char *name, int kind, bool append) {
  if (IsCdf(kind)) {
    if (append) {
      g_cvt.ncid = OpenCdfFromDisk(name, NC_WRITE);
      if (g_cvt.ncid >= 0) g_cvt.cdf.Attach(g_cvt.ncid, kind);
    } else if (nc_create(CdfPath(name).c_str(), NC_CLOBBER, &g_cvt.ncid) != NC_NOERR) {
      g_cvt.ncid = -1;
    }
    return g_cvt.ncid;
  }
  if (append ? !IsReadText(kind) : !IsStreamKind(kind)) return -1;
  const char *mode = append ? "a" : (kind == SFC_CVT_BINARY ? "wb" : "w");
  g_cvt.stream.reset(FILE_open(name, mode));
  return g_cvt.stream ? Descriptor(g_cvt.stream.get()) : -1;
}

}  // namespace

int SFC_chktype(const char *filename) {
  ReadHandle h;
  if (!filename || !OpenForReading(filename, 0, h)) return -1;
  return h.kind;
}

int SFC_open(const char *filename, int f_access, int *f_type) {
  CloseAll();
  if (!filename || !f_type) return -1;
  const int given = *f_type;
  int fd = -1;
  if (f_access == SFC_CVT_READ) {
    ReadHandle h;
    if (OpenForReading(filename, given, h)) {
      *f_type = h.kind;
      g_cvt.name = filename;
      fd = TakeOver(h);
    }
  } else if (f_access == SFC_CVT_WRITE || f_access == SFC_CVT_APPEND) {
    int kind = given;
    if (kind == 0 && f_access == SFC_CVT_APPEND) {
      ReadHandle h;
      if (OpenForReading(filename, 0, h)) kind = h.kind;
    }
    if (kind > 0) {
      g_cvt.kind = kind;
      g_cvt.access = f_access;
      g_cvt.name = filename;
      fd = OpenWrite(filename, kind, f_access == SFC_CVT_APPEND);
      if (fd >= 0 && given == 0) *f_type = kind;
    }
  }
  if (fd < 0) {
    CloseAll();
    if (given == 0) *f_type = -1;
    return -1;
  }
  g_cvt.fd = fd;
  DATE_decode_label(g_cvt.label.c_str(), &g_cvt.date);
  return fd;
}

int SFC_getinfo(int cvt_fd, SFC_info *info) {
  if (!info || !IsOpen(cvt_fd)) return -1;
  const int kind = g_cvt.kind;
  if (g_cvt.stream && g_cvt.access == SFC_CVT_WRITE) return 1;
  if (!IsReadText(kind) && !IsCdf(kind)) return -1;
  std::snprintf(info->datim, sizeof info->datim, "%s", g_cvt.label.c_str());
  const std::size_t slash = g_cvt.name.rfind('/');
  std::snprintf(info->file, sizeof info->file, "%s",
                g_cvt.name.c_str() + (slash == std::string::npos ? 0 : slash + 1));
  info->cmdline = "";
  info->num_stat = IsCdf(kind) ? g_cvt.cdf.records() : SFC_MISSING;
  DATE_decode_label(info->datim, &info->date);
  g_cvt.date = info->date;
  return 0;
}

int SFC_read(int cvt_fd, SFC_report *report, int rep_type, const int *statnum) {
  if (!report) return -1;
  SFC_initialize(report);
  if (!statnum || !IsOpen(cvt_fd) || g_cvt.access == SFC_CVT_WRITE) return -1;
  if (rep_type != SFC_CVT_FULL && rep_type != SFC_CVT_ID && rep_type != SFC_CVT_LOCATION) return -1;
  int index = *statnum;
  if (index == -1) index = g_cvt.last;
  if (index < 0) return -1;
  const int hour = g_cvt.date.hour;
  if (IsReadText(g_cvt.kind)) {
    if (!TextRecord(index)) return -1;
    const int r = IsOldText(g_cvt.kind) ? SFC_cvt_parse_old(g_cvt.line, hour, rep_type, report)
                                        : SFC_cvt_parse_new(g_cvt.line, hour, rep_type, report);
    return r < 0 ? -1 : 0;
  }
  if (IsCdf(g_cvt.kind)) {
    if (index >= g_cvt.cdf.records()) return -1;
    if (!g_cvt.cdf.Read(static_cast<std::size_t>(index), rep_type, hour, *report)) {
      // The header promises more than the file holds (a truncated or damaged file).
      MESS_print(kLesserWarning, "SFC_read: Unable to read record %d of %s\n", index,
                 g_cvt.name.c_str());
      SFC_initialize(report);
      return -1;
    }
    g_cvt.last = index;
    g_cvt.next = index + 1;
    return 0;
  }
  return -1;
}

int SFC_rewind(int cvt_fd) {
  if (!IsOpen(cvt_fd)) return -1;
  if (IsCdf(g_cvt.kind)) {
    g_cvt.next = 0;
    return 0;
  }
  if (!IsReadText(g_cvt.kind) || g_cvt.access == SFC_CVT_WRITE) return -1;
  return RewindText() ? 0 : -1;
}

int SFC_close(int cvt_fd) {
  if (!IsOpen(cvt_fd)) return -1;
  CloseAll();
  return 0;
}

void SFC_cvt_reset_state() { CloseAll(); }
