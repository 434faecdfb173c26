#include "surface/madis_reader.h"

#include <netcdf.h>
#include <netcdf_mem.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "surface/raw_reader.h"

namespace {

// A character variable of two dimensions whose first is `record_dim`; its second
// dimension's length goes to `*len`. False when the variable is of another type or
// shape, or longer than `max_len`.
bool text_variable(int ncid, const char *name, int record_dim, std::size_t max_len, int *var,
                   std::size_t *len) {
  if (nc_inq_varid(ncid, name, var) != NC_NOERR) return false;
  nc_type type;
  int ndims = 0;
  if (nc_inq_vartype(ncid, *var, &type) != NC_NOERR || type != NC_CHAR) return false;
  if (nc_inq_varndims(ncid, *var, &ndims) != NC_NOERR || ndims != 2) return false;
  int dims[2];
  if (nc_inq_vardimid(ncid, *var, dims) != NC_NOERR || dims[0] != record_dim) return false;
  if (nc_inq_dimlen(ncid, dims[1], len) != NC_NOERR) return false;
  return *len >= 1 && *len <= max_len;
}

// A numeric variable of the record dimension alone (the times).
bool time_variable(int ncid, const char *name, int record_dim, int *var) {
  if (nc_inq_varid(ncid, name, var) != NC_NOERR) return false;
  nc_type type;
  int ndims = 0;
  int dim = -1;
  if (nc_inq_vartype(ncid, *var, &type) != NC_NOERR ||
      (type != NC_DOUBLE && type != NC_FLOAT && type != NC_INT))
    return false;
  if (nc_inq_varndims(ncid, *var, &ndims) != NC_NOERR || ndims != 1) return false;
  return nc_inq_vardimid(ncid, *var, &dim) == NC_NOERR && dim == record_dim;
}

// The text of one record of a character variable, up to its first NUL byte.
std::string record_text(int ncid, int var, std::size_t record, std::size_t len) {
  std::string text(len, '\0');
  const std::size_t start[2] = {record, 0};
  const std::size_t count[2] = {1, len};
  if (nc_get_vara_text(ncid, var, start, count, text.data()) != NC_NOERR) return {};
  const std::size_t nul = text.find('\0');
  if (nul != std::string::npos) text.resize(nul);
  return text;
}

std::string trimmed(const std::string &s) {
  const std::size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

int format_of_type(const std::string &type) {
  if (type == "METAR") return SFC_FMT_METAR;
  if (type == "SPECI") return SFC_FMT_SPECI;
  if (type == "SA") return SFC_FMT_SA;
  if (type == "SP") return SFC_FMT_SP;
  return SFC_FMT_NONE;
}

int origin_of(const char *id, int format, bool sao) {
  switch (id[0]) {
    case 'K':
    case 'P':
    case 'T': return SFC_ORIGIN_US;
    case 'C': return SFC_ORIGIN_CANADA;
    case 'M': return SFC_ORIGIN_MEXICO;
    default: break;
  }
  if (sao && (format == SFC_FMT_SA || format == SFC_FMT_SP)) return SFC_ORIGIN_CANADA;
  return SFC_ORIGIN_OTHER;
}

}  // namespace

SFC_madis::~SFC_madis() { close(); }

void SFC_madis::close() {
  if (ncid_ >= 0) nc_close(ncid_);
  ncid_ = -1;
  pending_.clear();
  pending_next_ = 0;
  records_ = next_record_ = 0;
}

int SFC_madis::open(const char *filename) {
  close();
  if (!filename || nc_open(filename, NC_NOWRITE, &ncid_) != NC_NOERR) {
    ncid_ = -1;
    return 0;
  }
  return setup();
}

int SFC_madis::open_memory(const void *bytes, std::size_t size) {
  close();
  if (!bytes || size == 0 ||
      nc_open_mem("madis", NC_NOWRITE, size, const_cast<void *>(bytes), &ncid_) != NC_NOERR) {
    ncid_ = -1;
    return 0;
  }
  return setup();
}

int SFC_madis::setup() {
  int record_dim = -1;
  if (nc_inq_unlimdim(ncid_, &record_dim) != NC_NOERR || record_dim < 0) {
    // Some files keep the records in a fixed dimension: the one of the raw text.
    int var = -1;
    int dims[2];
    int ndims = 0;
    if ((nc_inq_varid(ncid_, "rawMETAR", &var) == NC_NOERR ||
         nc_inq_varid(ncid_, "rawSAO", &var) == NC_NOERR) &&
        nc_inq_varndims(ncid_, var, &ndims) == NC_NOERR && ndims == 2 &&
        nc_inq_vardimid(ncid_, var, dims) == NC_NOERR)
      record_dim = dims[0];
  }
  if (record_dim < 0 || nc_inq_dimlen(ncid_, record_dim, &records_) != NC_NOERR) {
    close();
    return 0;
  }
  sao_ = false;
  if (!text_variable(ncid_, "rawMETAR", record_dim, SFC_MADIS_TEXT_MAX, &raw_var_, &text_len_)) {
    if (!text_variable(ncid_, "rawSAO", record_dim, SFC_MADIS_TEXT_MAX, &raw_var_, &text_len_)) {
      close();
      return 0;
    }
    sao_ = true;
  }
  if (!text_variable(ncid_, "stationName", record_dim, SFC_MADIS_NAME_MAX, &name_var_,
                     &name_len_) ||
      !text_variable(ncid_, "reportType", record_dim, SFC_MADIS_NAME_MAX, &type_var_, &type_len_)) {
    close();
    return 0;
  }
  if (!time_variable(ncid_, "timeNominal", record_dim, &time_var_) &&
      !time_variable(ncid_, "timeObs", record_dim, &time_var_))
    time_var_ = -1;
  next_record_ = 0;
  return 1;
}

// Cuts the next record into its reports; false when no record is left.
bool SFC_madis::load_record() {
  pending_.clear();
  pending_next_ = 0;
  if (ncid_ < 0 || next_record_ >= records_) return false;
  const std::size_t record = next_record_++;

  const std::string raw = record_text(ncid_, raw_var_, record, text_len_);
  const std::string name = trimmed(record_text(ncid_, name_var_, record, name_len_));
  const int type_format = format_of_type(trimmed(record_text(ncid_, type_var_, record, type_len_)));

  prhour_ = -9999;
  if (time_var_ >= 0) {
    double t = 0;
    const std::size_t start[1] = {record};
    if (nc_get_var1_double(ncid_, time_var_, start, &t) == NC_NOERR && std::isfinite(t) && t >= 0 &&
        t < 1e13) {
      const long long secs = static_cast<long long>(t) % 86400;
      prhour_ = static_cast<int>(secs / 3600 * 100 + secs % 3600 / 60);
    }
  }

  // Reports of one record are separated by line ends.
  std::size_t pos = 0;
  bool first = true;
  while (pos < raw.size()) {
    const std::size_t end = raw.find_first_of("\r\n", pos);
    const std::size_t stop = end == std::string::npos ? raw.size() : end;
    std::string piece = raw.substr(pos, stop - pos);
    pos = end == std::string::npos ? raw.size() : raw.find_first_not_of("\r\n", end);
    if (pos == std::string::npos) pos = raw.size();
    const std::size_t last = piece.find_last_not_of(' ');
    if (last == std::string::npos) continue;  // blanks only
    piece.resize(last + 1);

    data_struct rep{};
    SFC_tidy_report(piece.data(), piece.size(), rep.data);
    if (std::strspn(rep.data, " ") == std::strlen(rep.data)) continue;

    // The report's own shape: its identifier and format code.
    char id[SFC_RAW_WORD_SIZE] = "";
    char word[SFC_RAW_WORD_SIZE] = "";
    const int shape = SFC_chk_type(rep.data, id, word);
    const std::string &use_id = first && !name.empty() ? name : std::string(id);
    first = false;
    if (use_id.empty()) continue;
    std::snprintf(rep.id, sizeof rep.id, "%s", use_id.c_str());
    rep.format = type_format != SFC_FMT_NONE ? type_format : (shape > 0 ? shape : SFC_FMT_NONE);
    if (rep.format == SFC_FMT_NONE) continue;
    rep.bulletin = origin_of(rep.id, rep.format, sao_);
    pending_.push_back(rep);
  }
  return true;
}

int SFC_madis::read(data_struct *rep, int *prhour) {
  if (!rep) return -1;
  while (pending_next_ >= pending_.size())
    if (!load_record()) return -1;
  *rep = pending_[pending_next_++];
  if (prhour) *prhour = prhour_;
  return 0;
}
