// Fuzz target for the reader of netCDF observation files of raw reports (MADIS).
//
// The netCDF library's own header parser allocates whatever a header claims (a
// fuzzed header asked it for 5.5 GB at once), so the target does not hand it fuzzed
// headers: it builds a netCDF file in memory with the library from fuzzed contents
// and shapes, then opens those bytes with nc_open_mem as the reader does. Input
// layout: a flag byte (SA or METAR file; a time variable and its type; a report-type
// variable of the wrong type or rank; the raw text of the wrong type), three lengths
// (raw text, station name, report type), then records separated by 0xFF bytes, each
// "raw text" NUL "station name" NUL "report type" NUL "time bytes".
//
// Checks that the reader comes to an end, that every report keeps the limits of the
// report record (text, identifier, format code, origin) and holds no control or high
// bytes, and that the reports decode. Seeds: inputs of this layout in
// fuzz/corpus/madis, written by hand after the real MADIS SAO file and METAR files.
#include <netcdf.h>
#include <netcdf_mem.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "raw_check.h"
#include "surface/madis_reader.h"
#include "surface/raw_reader.h"
#include "surface/report.h"

namespace {

using raw_check::Check;
using raw_check::CheckReport;

struct Record {
  std::string raw, name, type, time;
};

// Splits `s` at `sep` into at most `max` parts.
std::vector<std::string> Split(const std::string &s, char sep, size_t max) {
  std::vector<std::string> parts;
  size_t pos = 0;
  while (parts.size() + 1 < max) {
    const size_t at = s.find(sep, pos);
    if (at == std::string::npos) break;
    parts.push_back(s.substr(pos, at - pos));
    pos = at + 1;
  }
  parts.push_back(s.substr(pos));
  return parts;
}

void PutText(int ncid, int var, size_t rec, std::string text, size_t len) {
  text.resize(len, ' ');
  const size_t start[2] = {rec, 0}, count[2] = {1, len};
  nc_put_vara_text(ncid, var, start, count, text.data());
}

// The file's bytes, or empty when the library refused to build it.
std::vector<unsigned char> Build(uint8_t flags, size_t raw_len, size_t name_len, size_t type_len,
                                 const std::vector<Record> &records) {
  std::vector<unsigned char> bytes;
  int ncid = -1;
  if (nc_create_mem("fuzz", NC_CLOBBER, 4096, &ncid) != NC_NOERR) return bytes;
  int rec = -1, d_raw = -1, d_name = -1, d_type = -1;
  nc_def_dim(ncid, "recNum", NC_UNLIMITED, &rec);
  nc_def_dim(ncid, "maxRawLen", raw_len, &d_raw);
  nc_def_dim(ncid, "maxStaNamLen", name_len, &d_name);
  nc_def_dim(ncid, "maxRepLen", type_len, &d_type);
  const char *raw_name = (flags & 1) ? "rawSAO" : "rawMETAR";
  int v_raw = -1, v_name = -1, v_type = -1, v_time = -1;
  const int raw_dims[2] = {rec, d_raw}, name_dims[2] = {rec, d_name}, type_dims[2] = {rec, d_type};
  nc_def_var(ncid, raw_name, (flags & 32) ? NC_INT : NC_CHAR, 2, raw_dims, &v_raw);
  nc_def_var(ncid, "stationName", NC_CHAR, 2, name_dims, &v_name);
  if (flags & 16)
    nc_def_var(ncid, "reportType", NC_CHAR, 1, type_dims, &v_type);
  else
    nc_def_var(ncid, "reportType", NC_CHAR, 2, type_dims, &v_type);
  if (flags & 2)
    nc_def_var(ncid, (flags & 8) ? "timeObs" : "timeNominal", (flags & 4) ? NC_FLOAT : NC_DOUBLE, 1,
               &rec, &v_time);
  if (nc_enddef(ncid) != NC_NOERR) {
    NC_memio io{};
    nc_close_memio(ncid, &io);
    std::free(io.memory);
    return bytes;
  }
  for (size_t i = 0; i < records.size(); ++i) {
    const Record &r = records[i];
    if (!(flags & 32)) PutText(ncid, v_raw, i, r.raw, raw_len);
    PutText(ncid, v_name, i, r.name, name_len);
    if (!(flags & 16)) PutText(ncid, v_type, i, r.type, type_len);
    if (v_time >= 0) {
      double t = 0;
      std::memcpy(&t, r.time.data(), r.time.size() < sizeof t ? r.time.size() : sizeof t);
      const size_t start[1] = {i};
      nc_put_var1_double(ncid, v_time, start, &t);
    }
  }
  NC_memio io{};
  if (nc_close_memio(ncid, &io) == NC_NOERR && io.memory)
    bytes.assign(static_cast<unsigned char *>(io.memory),
                 static_cast<unsigned char *>(io.memory) + io.size);
  std::free(io.memory);
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 4) return 0;
  const uint8_t flags = data[0];
  const size_t raw_len = 1 + data[1] % 255;
  const size_t name_len = 1 + data[2] % 70;  // beyond the reader's limit of 64 too
  const size_t type_len = 1 + data[3] % 70;
  std::vector<Record> records;
  for (const std::string &part :
       Split(std::string(reinterpret_cast<const char *>(data) + 4, size - 4), '\xff', 64)) {
    const std::vector<std::string> f = Split(part, '\0', 4);
    records.push_back(
        {f[0], f.size() > 1 ? f[1] : "", f.size() > 2 ? f[2] : "", f.size() > 3 ? f[3] : ""});
  }
  const std::vector<unsigned char> bytes = Build(flags, raw_len, name_len, type_len, records);
  if (bytes.empty()) return 0;

  SFC_madis m;
  if (!m.open_memory(bytes.data(), bytes.size())) return 0;
  data_struct d;
  int prhour = 0;
  size_t reads = 0;
  while (m.read(&d, &prhour) == 0) {
    Check(++reads <= records.size() * 256 + 1);
    CheckReport(d);
    Check(prhour == -9999 || (prhour >= 0 && prhour <= 2359));
    SFC_report r;
    SFC_decode_raw(d, &r);  // CheckReport made sure of a format it decodes
  }
  Check(m.read(&d, &prhour) == -1);
  return 0;
}
