// The two netCDF forms of converted surface files, read through the netCDF library:
// what the converted-file reader (surface/cvt_reader.h) uses for kinds 11 and 12.
//
// Station form (kind 11): dimension "station" (records); text variables "id",
// "region", "wx" (station, 11) and "cld" (station, 3); "intdata" (station, 13) and
// "fltdata" (station, 15); global attributes "missing_val_f", "missing_val_i",
// "missing_val_c", "datetime" (the date label) and "version" (without it the
// longitudes are west positive).
//   intdata: time, priority, elevation, WMO number, report type, heights of layers
//            1 to 4 (feet), cover characters of layers 1 to 4
//   fltdata: lat, lon, vis, pmb, t, td, w_dir, w_spd, w_gust, alt, rain6, rain24,
//            extreme temperature, scover, ptend (the record's units)
// Report form (kind 12): one report per step of the unlimited dimension (or of
// "report" or "ob"), one variable per quantity in metric units (degrees Celsius,
// metres per second, kilometres, metres, hectopascals, millimetres), converted to
// the record's units on the way in; global attribute "filetime" (the date label).
//
// A variable counts only with the right kind of type (characters or numbers) and
// shape (the record dimension first, at most one more); otherwise, or when the file
// lacks it, its fields read as missing. Values equal to the variable's
// "_FillValue" (or the library's default fill), its "missing_value", or the station
// form's missing values, and not-a-numbers, read as missing.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "surface/report.h"

namespace sfc_cvt {

/// 11 when the open netCDF file `ncid` has a dimension "station", else 12.
int CdfKind(int ncid);

/// A plausibility check of a classic netCDF header (format versions 1, 2 and 5)
/// before the library sees it: every count and length the header declares (names,
/// dimensions, attributes and their values, variables and their dimension lists)
/// must fit in the bytes the file has, names at most NC_MAX_NAME characters and a
/// variable at most NC_MAX_VAR_DIMS dimensions. The library takes such counts as
/// they come: a damaged header of a few bytes can make it allocate gigabytes, spend
/// seconds, or crash when an allocation fails. Nothing of the file is read here but
/// the header's counts and lengths.
bool CdfHeaderFits(const unsigned char *bytes, std::size_t size);

/// Records read from a variable in one library call (and kept until another block
/// is needed): reading record by record costs a call per variable and record.
constexpr std::size_t CDF_BLOCK = 256;

/// One variable of a converted file as it is read, with its block of records.
struct CdfVar {
  int id = -1;          // -1: not in the file, or of the wrong type or shape
  std::size_t len = 0;  // elements per record
  bool has_fill = false;
  float fill = 0;  // "_FillValue", or the default fill of the type
  bool has_missing = false;
  float missing = 0;  // "missing_value"
  // The block read last: records first .. first+count-1, `width` elements each.
  mutable std::size_t first = 0, count = 0, width = 0;
  mutable std::vector<float> nums;  // numbers, missing values already NaN
  mutable std::vector<char> chars;  // characters
};

/// The netCDF side of an open converted file: its record count, its variables and
/// missing values, found once when the file is attached.
// The reserved name clang-tidy finds here is the compiler's own, the loop variable of
// the implicit assignment that copies an array member.
// NOLINTNEXTLINE(bugprone-reserved-identifier)
class CdfReader {
 public:
  /// Looks up everything the form `kind` (11 or 12) reads in the open file `ncid`.
  void Attach(int ncid, int kind);
  /// Number of records (0 when the record dimension is missing).
  int records() const { return records_; }
  /// The date label of the file ("datetime" or "filetime"; empty without it).
  const std::string &label() const { return label_; }
  /// Reads record `rec` (below records()) into `r`, which the caller initialised;
  /// `hour` is the file's hour. False on a read error of the library, and for a
  /// file without any of the form's variables.
  bool Read(std::size_t rec, int rep_type, int hour, SFC_report &r) const;

 private:
  bool ReadStation(std::size_t rec, int rep_type, int hour, SFC_report &r) const;
  bool ReadReport(std::size_t rec, int rep_type, SFC_report &r) const;
  CdfVar Find(const char *name, bool text) const;
  // Makes record `rec` of `v` available with up to `want` elements: from the block
  // in memory, else by reading the block that holds it. False on a library error.
  bool Load(const CdfVar &v, bool text, std::size_t rec, std::size_t want) const {
    const std::size_t width = want < v.len ? want : v.len;
    if (width == v.width && rec - v.first < v.count) return true;  // rec >= first as well
    return Fill(v, text, rec, width);
  }
  bool Fill(const CdfVar &v, bool text, std::size_t rec, std::size_t width) const;
  bool GetText(const CdfVar &v, std::size_t rec, char *out, std::size_t n) const;
  bool TextView(const CdfVar &v, std::size_t rec, std::size_t n, std::string_view &out) const;
  bool GetNums(const CdfVar &v, std::size_t rec, double *out, std::size_t n) const;
  double GetNum(const CdfVar &v, std::size_t rec, bool &ok) const;

  int ncid_ = -1;
  int kind_ = 0;
  int rec_dim_ = -1;
  int records_ = 0;
  bool has_data_ = false;  // any variable of the form found
  std::string label_;
  // Station form.
  bool has_version_ = false;
  double missing_f_ = SFC_MISSING_F, missing_i_ = SFC_MISSING;
  bool has_missing_c_ = false;
  char missing_c_ = '\0';
  CdfVar id_, region_, wx_, cld_, intdata_, fltdata_;
  // Report form (id_ and region_ too).
  CdfVar time_, wmo_wx_, zcl_, cc_, ptend_t_, precip_, precip_ref_, cloudtype_, remarks_;
  CdfVar floats_[21];
};

}  // namespace sfc_cvt
