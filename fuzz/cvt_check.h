// Checks shared by the fuzz targets of the converted-file reader: every record the
// reader gives keeps the limits of the report record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "mem_file.h"
#include "messages/messages.h"
#include "surface/cvt_fields.h"
#include "surface/cvt_reader.h"
#include "surface/report.h"

inline void CvtCheck(bool ok) {
  if (!ok) std::abort();
}

inline bool CvtTerminated(const char *s, std::size_t size) {
  return std::memchr(s, '\0', size) != nullptr;
}

/// Aborts unless the record's texts are terminated within their fields, its layer
/// count is within 0 to 5 and each layer has a cover code.
inline void CvtCheckReport(const SFC_report &r) {
  CvtCheck(CvtTerminated(r.id, sizeof r.id) && std::strlen(r.id) <= 10);
  CvtCheck(CvtTerminated(r.area, sizeof r.area));
  CvtCheck(CvtTerminated(r.weather, sizeof r.weather));
  CvtCheck(CvtTerminated(r.comment, sizeof r.comment));
  CvtCheck(r.num_cld >= 0 && r.num_cld <= SFC_MAX_CLD);
  for (int k = 0; k < r.num_cld; ++k) CvtCheck(sfc_cvt::IsCover(r.cld_cover[k]));
  for (int k = r.num_cld; k < SFC_MAX_CLD; ++k) CvtCheck(r.cld_cover[k] == ' ');
}

/// Opens the converted file at `path` as the program does, quietly, and checks that
/// detection agrees and the header reads: the descriptor (and *kind, *info), or -1
/// when it is no converted file.
inline int CvtOpen(const std::string &path, int *kind, SFC_info *info) {
  static bool quiet = false;
  if (!quiet) {
    MESS_set_str("none");
    quiet = true;
  }
  *kind = 0;
  const int fd = SFC_open(path.c_str(), SFC_CVT_READ, kind);
  CvtCheck(SFC_chktype(path.c_str()) == (fd >= 0 ? *kind : -1));
  if (fd < 0) return -1;
  CvtCheck(SFC_getinfo(fd, info) == 0);
  CvtCheck(CvtTerminated(info->datim, sizeof info->datim));
  return fd;
}

/// The fuzz input as a converted file in memory, opened with CvtOpen: fd() is the
/// descriptor, or -1 when the file could not be made or is no converted file. The
/// caller closes the descriptor (and checks that it closes); the file in memory
/// stays while this object lives.
class CvtInput {
 public:
  CvtInput(const uint8_t *data, std::size_t size) : file_(data, size) {
    if (!file_.path().empty()) fd_ = CvtOpen(file_.path(), &kind_, &info_);
  }
  int fd() const { return fd_; }
  int kind() const { return kind_; }
  const SFC_info &info() const { return info_; }

 private:
  MemFile file_;
  int fd_ = -1;
  int kind_ = 0;
  SFC_info info_;
};
