// Raw reports from netCDF observation files of the MADIS kind.
//
// Such a file keeps one report per record of its unlimited dimension: the raw text
// in "rawMETAR" (METAR and SPECI files) or "rawSAO" (SA files), blank-padded, beside
// the station's name in "stationName" and the kind of report in "reportType". A
// record may hold several reports separated by line ends (NIL reports packed
// together: "WJI NIL=\r\r\nWJM NIL="), which come out one by one. Each report text
// is tidied as the bulletin reader tidies its lines, so it decodes and prints like
// a report cut from an hourly bulletin file.
//
// The identifier comes from "stationName" (for reports packed after the first one,
// from the report's own first word); the format code from "reportType" ("METAR" 2,
// "SPECI" 5, "SA" 1, "SP" 4; other types from the report's own shape); the origin
// from the identifier (K, P, T the United States, C Canada, M Mexico, else other).
// SA and SP reports of an SA file are Canadian unless their identifier says
// otherwise: the three-letter identifiers of Canadian stations ("WJI") carry no C.
// The bulletin time for the decoders is the record's nominal time ("timeNominal",
// else "timeObs") as HHMM.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "surface/report.h"

/// Longest raw text of one record that is read; a longer one makes the file no
/// MADIS file (a sane bound against huge dimensions).
constexpr std::size_t SFC_MADIS_TEXT_MAX = 65536;
/// Longest station name or report type dimension that is accepted.
constexpr std::size_t SFC_MADIS_NAME_MAX = 64;

/// An open MADIS file and the reports of its current record.
class SFC_madis {
 public:
  SFC_madis() = default;
  ~SFC_madis();
  SFC_madis(const SFC_madis &) = delete;
  SFC_madis &operator=(const SFC_madis &) = delete;

  /// Opens `filename`: 1 when it is a netCDF file with the variables of a MADIS file
  /// of raw reports (of the expected types and shapes), 0 otherwise (nothing open).
  int open(const char *filename);
  /// The same for a netCDF file held in memory (`bytes` must outlive the reading).
  int open_memory(const void *bytes, std::size_t size);
  /// The next report: 0 with `rep` filled and `*prhour` set to the record's time
  /// (HHMM, or -9999 when the record has none), -1 when no report is left.
  int read(data_struct *rep, int *prhour);
  /// Closes the file (also done by the destructor).
  void close();
  /// The record (from 0) the last report read came from.
  std::size_t record() const { return next_record_ - 1; }

 private:
  int setup();
  bool load_record();

  int ncid_ = -1;
  int raw_var_ = -1, name_var_ = -1, type_var_ = -1, time_var_ = -1;
  bool sao_ = false;         // "rawSAO": a file of SA reports
  std::size_t records_ = 0;  // records in the file
  std::size_t next_record_ = 0;
  std::size_t text_len_ = 0, name_len_ = 0, type_len_ = 0;
  std::vector<data_struct> pending_;  // reports of the current record not yet given
  std::size_t pending_next_ = 0;
  int prhour_ = -9999;
};
