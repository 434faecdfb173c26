// Reading the netCDF forms of converted surface files (see cvt_netcdf.h).
#include "surface/cvt_netcdf.h"

#include <netcdf.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "surface/cvt_fields.h"
#include "surface/cvt_reader.h"
#include "surface/weather.h"
#include "util/chars.h"
#include "util/number.h"

namespace sfc_cvt {

namespace {

constexpr std::size_t kIntData = 13;  // intdata elements read
constexpr std::size_t kFltData = 15;  // fltdata elements read
constexpr std::size_t kTextLen = 11;  // id, region, wx of the station form
constexpr std::size_t kReportIdLen = 10;
constexpr std::size_t kTimeLen = 10;
constexpr std::size_t kLayers = 4;  // layers either form holds
constexpr std::size_t kAttTextMax = 4096;
constexpr double kAbsent = NAN;

// Units of the report form into the record's.
constexpr double kHpaToInHg = 0.0295386;
constexpr double kMsToKnots = 1.944;
constexpr double kKmToMiles = 0.62137;
constexpr double kMetresToFeet = 3.2808;
constexpr double kMmToInches = 0.03937;

enum class Conv { NONE, C_TO_F, HPA_TO_INHG, MS_TO_KT, KM_TO_MI, MM_TO_IN };

struct FloatVar {
  const char *name;
  float SFC_report::*field;
  Conv conv;
};

// The report form's quantities that are one number each. The first three are the
// location.
// clang-format off
constexpr FloatVar kReportFloats[] = {
    {"lat", &SFC_report::lat, Conv::NONE},
    {"lon", &SFC_report::lon, Conv::NONE},
    {"elev", &SFC_report::elev, Conv::NONE},
    {"T", &SFC_report::t, Conv::C_TO_F},
    {"TD", &SFC_report::td, Conv::C_TO_F},
    {"Tmax", &SFC_report::max_t, Conv::C_TO_F},
    {"Tmin", &SFC_report::min_t, Conv::C_TO_F},
    {"Tmax6", &SFC_report::max6_t, Conv::C_TO_F},
    {"Tmin6", &SFC_report::min6_t, Conv::C_TO_F},
    {"PSL", &SFC_report::pmb, Conv::NONE},
    {"DIR", &SFC_report::w_dir, Conv::NONE},
    {"delP", &SFC_report::ptend, Conv::NONE},
    {"SST", &SFC_report::sst, Conv::NONE},
    {"wave_per", &SFC_report::wav_per, Conv::NONE},
    {"wave_hgt", &SFC_report::wav_hgt, Conv::NONE},
    {"sunshine", &SFC_report::solar, Conv::NONE},
    {"ALTIM", &SFC_report::alt, Conv::HPA_TO_INHG},
    {"SPD", &SFC_report::w_spd, Conv::MS_TO_KT},
    {"GUST", &SFC_report::w_gust, Conv::MS_TO_KT},
    {"VIS", &SFC_report::vis, Conv::KM_TO_MI},
    {"SNOW", &SFC_report::scover, Conv::MM_TO_IN},
};
// clang-format on
constexpr std::size_t kLocationFloats = 3;
static_assert(std::size(kReportFloats) == 21, "one slot per variable");

double Convert(double v, Conv c) {
  switch (c) {
    case Conv::NONE: return v;
    case Conv::C_TO_F: return v * 1.8 + 32.0;
    case Conv::HPA_TO_INHG: return v * kHpaToInHg;
    case Conv::MS_TO_KT: return v * kMsToKnots;
    case Conv::KM_TO_MI: return v * kKmToMiles;
    case Conv::MM_TO_IN: return v * kMmToInches;
  }
  return v;
}

bool Present(double v) { return !std::isnan(v); }

// A value for a float field: missing when absent or beyond the float range.
float ToFloat(double v) {
  if (!Present(v) || std::fabs(v) > FLT_MAX) return SFC_MISSING_F;
  return static_cast<float>(v);
}

// A value for an integer field (truncated): missing when absent or beyond an int.
int ToInt(double v) {
  if (!Present(v) || v >= 2147483648.0 || v <= -2147483649.0) return SFC_MISSING;
  return static_cast<int>(v);
}

bool Numeric(nc_type t) {
  return t == NC_BYTE || t == NC_SHORT || t == NC_INT || t == NC_FLOAT || t == NC_DOUBLE ||
         t == NC_UBYTE || t == NC_USHORT || t == NC_UINT || t == NC_INT64 || t == NC_UINT64;
}

// The library's fill value of a numeric type.
double DefaultFill(nc_type t) {
  switch (t) {
    case NC_BYTE: return NC_FILL_BYTE;
    case NC_SHORT: return NC_FILL_SHORT;
    case NC_INT: return NC_FILL_INT;
    case NC_FLOAT: return NC_FILL_FLOAT;
    case NC_UBYTE: return NC_FILL_UBYTE;
    case NC_USHORT: return NC_FILL_USHORT;
    case NC_UINT: return NC_FILL_UINT;
    case NC_INT64: return static_cast<double>(NC_FILL_INT64);
    case NC_UINT64: return static_cast<double>(NC_FILL_UINT64);
    default: return NC_FILL_DOUBLE;
  }
}

// A numeric attribute of one value.
bool AttNumber(int ncid, int varid, const char *name, double &out) {
  nc_type type;
  std::size_t len = 0;
  if (nc_inq_att(ncid, varid, name, &type, &len) != NC_NOERR || len != 1 || !Numeric(type))
    return false;
  return nc_get_att_double(ncid, varid, name, &out) == NC_NOERR;
}

// A text attribute, up to its first NUL (false when absent or not text).
bool AttText(int ncid, int varid, const char *name, std::string &out) {
  nc_type type;
  std::size_t len = 0;
  if (nc_inq_att(ncid, varid, name, &type, &len) != NC_NOERR || type != NC_CHAR ||
      len > kAttTextMax)
    return false;
  std::string buf(len, '\0');
  if (len > 0 && nc_get_att_text(ncid, varid, name, buf.data()) != NC_NOERR) return false;
  out.assign(buf.c_str());
  return true;
}

// `text` without leading and trailing blanks (and NULs at the end).
std::string_view Trim(std::string_view text) {
  if (text.empty()) return text;
  text = text.substr(0, strnlen(text.data(), text.size()));
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// A cover character held as a number; blank, missing and other values are none.
char CoverOf(double v) {
  const int c = ToInt(v);
  if (c <= ' ' || c > 126) return '\0';
  return std::strchr(kCoverCodes, c) ? static_cast<char>(c) : '\0';
}

}  // namespace

namespace {

// Walks a classic header, checking each count against the bytes left.
class HeaderWalk {
 public:
  HeaderWalk(const unsigned char *bytes, std::size_t size) : p_(bytes), size_(size) {}

  bool Check() {
    if (size_ < 4 || p_[0] != 'C' || p_[1] != 'D' || p_[2] != 'F') return false;
    const unsigned char version = p_[3];
    if (version != 1 && version != 2 && version != 5) return false;
    wide_ = version == 5;
    offset_bytes_ = version == 1 ? 4 : 8;
    pos_ = 4;
    std::uint64_t count = 0;
    if (!Count(count)) return false;  // numrecs
    return List(kDimensionTag,
                [&] {
                  if (!Name() || !Count(count)) return false;
                  dims_.push_back(count);
                  return true;
                }) &&
           Attributes() && Variables();
  }

 private:
  static constexpr std::uint32_t kDimensionTag = 0x0A;
  static constexpr std::uint32_t kVariableTag = 0x0B;
  static constexpr std::uint32_t kAttributeTag = 0x0C;

  std::size_t Left() const { return size_ - pos_; }

  bool Word(std::uint64_t &v, std::size_t n) {
    if (Left() < n) return false;
    v = 0;
    for (std::size_t k = 0; k < n; ++k) v = v << 8 | p_[pos_ + k];
    pos_ += n;
    return true;
  }
  // A count: 4 bytes, 8 in the 64-bit data format.
  bool Count(std::uint64_t &v) { return Word(v, wide_ ? 8 : 4); }
  bool Skip(std::uint64_t n) {
    if (n > Left()) return false;
    pos_ += static_cast<std::size_t>(n);
    return true;
  }
  static std::uint64_t Padded(std::uint64_t n) { return (n + 3) / 4 * 4; }

  // Bytes of a value of each external type: byte, char, short, int, float, double,
  // and (64-bit data format only) the unsigned types and the 64-bit integers. Any
  // other type (a string type, found by fuzzing, made the library divide by 0).
  static constexpr std::uint64_t kTypeSizes[] = {0, 1, 1, 2, 4, 4, 8, 1, 2, 4, 8, 8};
  bool KnownType(std::uint64_t type) const { return type >= 1 && type <= (wide_ ? 11u : 6u); }

  bool Name() {
    std::uint64_t len = 0;
    return Count(len) && len <= NC_MAX_NAME && Skip(Padded(len));
  }

  // A list: its tag (or zero for none) and its element count, each element read by
  // `element`. A count larger than the bytes left cannot be right.
  template <typename Element>
  bool List(std::uint32_t tag, Element element) {
    std::uint64_t t = 0, n = 0;
    if (!Word(t, 4) || !Count(n)) return false;
    if (t == 0) return n == 0;
    if (t != tag || n > Left()) return false;
    for (std::uint64_t k = 0; k < n; ++k)
      if (!element()) return false;
    return true;
  }

  bool Attributes() {
    return List(kAttributeTag, [&] {
      std::uint64_t type = 0, n = 0;
      if (!Name() || !Word(type, 4) || !Count(n) || !KnownType(type)) return false;
      if (n > Left() / kTypeSizes[type]) return false;
      return Skip(Padded(n * kTypeSizes[type]));
    });
  }

  bool Variables() {
    return List(kVariableTag, [&] {
      std::uint64_t ndims = 0, v = 0;
      if (!Name() || !Count(ndims) || ndims > NC_MAX_VAR_DIMS) return false;
      // Each dimension must exist, and the record dimension (length 0) can only be
      // a variable's first: elsewhere the library divides by its length.
      for (std::uint64_t k = 0; k < ndims; ++k)
        if (!Count(v) || v >= dims_.size() || (k > 0 && dims_[static_cast<std::size_t>(v)] == 0))
          return false;
      std::uint64_t type = 0;
      return Attributes() && Word(type, 4) && KnownType(type) && Count(v) && Word(v, offset_bytes_);
    });
  }

  const unsigned char *p_;
  std::size_t size_;
  std::size_t pos_ = 0;
  bool wide_ = false;
  std::size_t offset_bytes_ = 4;
  std::vector<std::uint64_t> dims_;  // the lengths of the dimensions, in order
};

}  // namespace

bool CdfHeaderFits(const unsigned char *bytes, std::size_t size) {
  return bytes && HeaderWalk(bytes, size).Check();
}

int CdfKind(int ncid) {
  int dim = -1;
  return nc_inq_dimid(ncid, "station", &dim) == NC_NOERR ? 11 : 12;
}

CdfVar CdfReader::Find(const char *name, bool text) const {
  CdfVar v;
  int id = -1;
  nc_type type;
  int ndims = 0;
  if (nc_inq_varid(ncid_, name, &id) != NC_NOERR) return v;
  if (nc_inq_varndims(ncid_, id, &ndims) != NC_NOERR || ndims < 1 || ndims > 2) return v;
  int dims[2] = {-1, -1};
  if (nc_inq_vartype(ncid_, id, &type) != NC_NOERR || nc_inq_vardimid(ncid_, id, dims) != NC_NOERR)
    return v;
  if (text ? type != NC_CHAR : !Numeric(type)) return v;
  if (dims[0] != rec_dim_) return v;
  std::size_t len = 1;
  if (ndims == 2 && nc_inq_dimlen(ncid_, dims[1], &len) != NC_NOERR) return v;
  if (len == 0) return v;
  v.id = id;
  v.len = len;
  if (!text) {
    // Values are read as floats: the markers are compared as floats too.
    double fill = 0, missing = 0;
    if (!AttNumber(ncid_, id, "_FillValue", fill)) fill = DefaultFill(type);
    v.has_fill = std::fabs(fill) <= FLT_MAX;
    v.fill = v.has_fill ? static_cast<float>(fill) : 0.0f;
    v.has_missing = AttNumber(ncid_, id, "missing_value", missing) && std::fabs(missing) <= FLT_MAX;
    v.missing = v.has_missing ? static_cast<float>(missing) : 0.0f;
  }
  return v;
}

// Reads the block of `v` that holds record `rec`, `width` elements a record (or,
// when that fails, the one record). False on a library error.
bool CdfReader::Fill(const CdfVar &v, bool text, std::size_t rec, std::size_t width) const {
  v.count = 0;
  v.width = width;
  auto read = [&](std::size_t first, std::size_t n) {
    const std::size_t start[2] = {first, 0};
    const std::size_t count[2] = {n, width};
    int status;
    // The library fills all n * width elements; the blocks only grow.
    if (text) {
      if (v.chars.size() < n * width) v.chars.resize(n * width);
      status = nc_get_vara_text(ncid_, v.id, start, count, v.chars.data());
    } else {
      if (v.nums.size() < n * width) v.nums.resize(n * width);
      status = nc_get_vara_float(ncid_, v.id, start, count, v.nums.data());
      // A value beyond the float range reads all the same, flagged (and then missing).
      if (status == NC_ERANGE) status = NC_NOERR;
      for (std::size_t k = 0; k < n * width; ++k) {
        float &x = v.nums[k];
        if ((v.has_fill && x == v.fill) || (v.has_missing && x == v.missing)) x = kAbsent;
      }
    }
    if (status != NC_NOERR) return false;
    v.first = first;
    v.count = n;
    return true;
  };
  const std::size_t first = rec - rec % CDF_BLOCK;
  const std::size_t n = std::min(CDF_BLOCK, static_cast<std::size_t>(records_) - first);
  return read(first, n) || read(rec, 1);
}

// Up to `n` characters of record `rec` into `out` (zero-filled first). True when
// read or when the variable is absent; false on a library error.
bool CdfReader::GetText(const CdfVar &v, std::size_t rec, char *out, std::size_t n) const {
  std::size_t got = 0;
  if (v.id >= 0) {
    if (!Load(v, true, rec, n)) return false;
    got = v.width;
    std::memcpy(out, v.chars.data() + (rec - v.first) * v.width, got);
  }
  std::memset(out + got, 0, n - got);
  return true;
}

// The characters of record `rec` (up to `n` of them, as many as the view holds)
// where the block keeps them: no copy. An absent variable gives an empty view.
bool CdfReader::TextView(const CdfVar &v, std::size_t rec, std::size_t n,
                         std::string_view &out) const {
  out = {};
  if (v.id < 0) return true;
  if (!Load(v, true, rec, n)) return false;
  out = std::string_view(v.chars.data() + (rec - v.first) * v.width, v.width);
  return true;
}

// Up to `n` numbers of record `rec` into `out`; absent variables, elements beyond
// the variable and missing values give kAbsent. False on a library error.
bool CdfReader::GetNums(const CdfVar &v, std::size_t rec, double *out, std::size_t n) const {
  for (std::size_t k = 0; k < n; ++k) out[k] = kAbsent;
  if (v.id < 0) return true;
  if (!Load(v, false, rec, n)) return false;
  const float *from = v.nums.data() + (rec - v.first) * v.width;
  for (std::size_t k = 0; k < v.width; ++k) out[k] = from[k];
  return true;
}

double CdfReader::GetNum(const CdfVar &v, std::size_t rec, bool &ok) const {
  if (v.id < 0) return kAbsent;
  if (!Load(v, false, rec, 1)) {
    ok = false;
    return kAbsent;
  }
  return v.nums[(rec - v.first) * v.width];
}

void CdfReader::Attach(int ncid, int kind) {
  *this = CdfReader();
  ncid_ = ncid;
  kind_ = kind;
  std::size_t n = 0;
  if (kind == SFC_CVT_CDF_STATION) {
    if (nc_inq_dimid(ncid, "station", &rec_dim_) != NC_NOERR) rec_dim_ = -1;
    AttText(ncid, NC_GLOBAL, "datetime", label_);
    AttNumber(ncid, NC_GLOBAL, "missing_val_f", missing_f_);
    AttNumber(ncid, NC_GLOBAL, "missing_val_i", missing_i_);
    std::string c;
    if (AttText(ncid, NC_GLOBAL, "missing_val_c", c) && !c.empty()) {
      has_missing_c_ = true;
      missing_c_ = c[0];
    }
    nc_type type;
    has_version_ = nc_inq_att(ncid, NC_GLOBAL, "version", &type, &n) == NC_NOERR;
    id_ = Find("id", true);
    region_ = Find("region", true);
    wx_ = Find("wx", true);
    cld_ = Find("cld", true);
    intdata_ = Find("intdata", false);
    fltdata_ = Find("fltdata", false);
  } else {
    if (nc_inq_unlimdim(ncid, &rec_dim_) != NC_NOERR || rec_dim_ < 0) {
      if (nc_inq_dimid(ncid, "report", &rec_dim_) != NC_NOERR &&
          nc_inq_dimid(ncid, "ob", &rec_dim_) != NC_NOERR)
        rec_dim_ = -1;
    }
    AttText(ncid, NC_GLOBAL, "filetime", label_);
    id_ = Find("id", true);
    region_ = Find("region", true);
    time_ = Find("time", true);
    for (std::size_t k = 0; k < std::size(kReportFloats); ++k)
      floats_[k] = Find(kReportFloats[k].name, false);
    wmo_wx_ = Find("WX", false);
    zcl_ = Find("ZCL", false);
    cc_ = Find("CC", true);
    ptend_t_ = Find("Ptend", true);
    precip_ = Find("PRECIP", false);
    precip_ref_ = Find("reftime_PRECIP", false);
    cloudtype_ = Find("cloudtype", true);
    remarks_ = Find("remarks", true);
  }
  // A file that holds none of the form's variables has nothing to read, however
  // many records its dimension counts.
  for (const CdfVar *v : {&id_, &region_, &wx_, &cld_, &intdata_, &fltdata_, &time_, &wmo_wx_,
                          &zcl_, &cc_, &ptend_t_, &precip_, &precip_ref_, &cloudtype_, &remarks_})
    has_data_ = has_data_ || v->id >= 0;
  for (const CdfVar &v : floats_) has_data_ = has_data_ || v.id >= 0;
  if (rec_dim_ >= 0 && nc_inq_dimlen(ncid, rec_dim_, &n) == NC_NOERR)
    records_ = n > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(n);
}

bool CdfReader::Read(std::size_t rec, int rep_type, int hour, SFC_report &r) const {
  if (rec >= static_cast<std::size_t>(records_) || !has_data_) return false;
  return kind_ == 11 ? ReadStation(rec, rep_type, hour, r) : ReadReport(rec, rep_type, r);
}

bool CdfReader::ReadStation(std::size_t rec, int rep_type, int hour, SFC_report &r) const {
  char text[kTextLen];
  // A character equal to the file's missing character reads as a blank.
  auto text_of = [&](std::size_t n) {
    for (std::size_t k = 0; k < n; ++k)
      if (has_missing_c_ && text[k] == missing_c_) text[k] = ' ';
    return Trim(std::string_view(text, n));
  };
  if (!GetText(id_, rec, text, kTextLen)) return false;
  CopyField(r.id, text_of(kTextLen));
  if (rep_type == SFC_CVT_ID) return true;

  double in[kIntData], fl[kFltData];
  if (!GetNums(intdata_, rec, in, kIntData) || !GetNums(fltdata_, rec, fl, kFltData)) return false;
  for (double &v : in)
    if (v == missing_i_) v = kAbsent;
  for (double &v : fl)
    if (v == missing_f_) v = kAbsent;
  r.lat = ToFloat(fl[0]);
  r.lon = ToFloat(fl[1]);
  // Files without a version count longitudes west positive.
  if (!has_version_ && r.lon != SFC_MISSING_F) r.lon = -r.lon;
  r.elev = ToFloat(in[2]);
  r.wmo = ToInt(in[3]);
  if (rep_type == SFC_CVT_LOCATION) return true;

  r.time = ToInt(in[0]);
  r.prior = ToInt(in[1]);
  r.type = ToInt(in[4]);
  if (r.type == SFC_MISSING) r.type = 0;
  for (std::size_t k = 0; k < kLayers; ++k) {
    const char cover = CoverOf(in[9 + k]);
    if (!cover) continue;  // a blank cover is no layer
    r.cld_cover[r.num_cld] = cover;
    r.cld_height[r.num_cld] = ToFloat(in[5 + k]);
    ++r.num_cld;
  }
  r.vis = ToFloat(fl[2]);
  r.pmb = ToFloat(fl[3]);
  r.t = ToFloat(fl[4]);
  r.td = ToFloat(fl[5]);
  r.w_dir = ToFloat(fl[6]);
  r.w_spd = ToFloat(fl[7]);
  r.w_gust = ToFloat(fl[8]);
  r.alt = ToFloat(fl[9]);
  r.rain6 = ToFloat(fl[10]);
  r.rain24 = ToFloat(fl[11]);
  if (Present(fl[12])) PlaceExtreme(r, hour, ToFloat(fl[12]));
  r.scover = ToFloat(fl[13]);
  r.ptend = ToFloat(fl[14]);

  if (!GetText(region_, rec, text, kTextLen)) return false;
  CopyField(r.area, text_of(kTextLen));
  if (!GetText(wx_, rec, text, kTextLen)) return false;
  const std::string_view wx = text_of(kTextLen);
  if (!wx.empty()) CopyField(r.weather, wx);
  if (!GetText(cld_, rec, text, SFC_CLD_TYPE_LEN)) return false;
  for (std::size_t k = 0; k < SFC_CLD_TYPE_LEN; ++k) {
    const char c = text[k];
    if (c > ' ' && c < 127 && !(has_missing_c_ && c == missing_c_)) r.cld_type[k] = c;
  }
  return true;
}

bool CdfReader::ReadReport(std::size_t rec, int rep_type, SFC_report &r) const {
  char text[SFC_COMMENT_SIZE];
  if (!GetText(id_, rec, text, kReportIdLen)) return false;
  CopyField(r.id, Trim(std::string_view(text, kReportIdLen)));
  if (rep_type == SFC_CVT_ID) return true;

  bool ok = true;
  const std::size_t n_floats =
      rep_type == SFC_CVT_LOCATION ? kLocationFloats : std::size(kReportFloats);
  for (std::size_t k = 0; k < n_floats; ++k) {
    const double v = GetNum(floats_[k], rec, ok);
    if (Present(v)) r.*kReportFloats[k].field = ToFloat(Convert(v, kReportFloats[k].conv));
  }
  if (!ok) return false;
  if (rep_type == SFC_CVT_LOCATION) return true;

  if (region_.id < 0) {
    CopyField(r.area, "UN");
  } else {
    if (!GetText(region_, rec, text, kReportIdLen)) return false;
    CopyField(r.area, Trim(std::string_view(text, kReportIdLen)));
  }
  // The observation time is text: "2353".
  if (!GetText(time_, rec, text, kTimeLen)) return false;
  text[kTimeLen] = '\0';
  // Any white space before the number is passed over, line ends included; the
  // number ends at the first other character (the terminator at the latest).
  std::string_view digits(text, kTimeLen);
  while (!digits.empty() && zyp::is_space(digits.front())) digits.remove_prefix(1);
  long t = 0;
  if (zyp::read_long_prefix(digits, t) > 0 && t >= 0 && t <= 9999) r.time = static_cast<int>(t);

  // Present weather as a WMO number.
  const int wmo_wx = ToInt(GetNum(wmo_wx_, rec, ok));
  if (wmo_wx >= 0 && wmo_wx < 100) {
    char code[WX_CODE_SIZE];
    WX_wmo_weather(wmo_wx, code);
    if (code[0] && code[0] != ' ') CopyField(r.weather, code);
  }

  // Cloud layers: heights in metres and cover characters; '/' ends them.
  double heights[kLayers];
  char covers[kLayers];
  if (!GetNums(zcl_, rec, heights, kLayers) || !GetText(cc_, rec, covers, kLayers)) return false;
  for (std::size_t k = 0; k < kLayers; ++k) {
    if (!IsCover(covers[k])) break;
    r.cld_cover[r.num_cld] = covers[k];
    r.cld_height[r.num_cld] =
        Present(heights[k]) ? ToFloat(heights[k] * kMetresToFeet) : SFC_MISSING_F;
    ++r.num_cld;
  }

  // The tendency characteristic is one character; a blank is missing.
  if (!GetText(ptend_t_, rec, text, 1)) return false;
  if (zyp::is_digit(text[0])) r.ptend_t = text[0] - '0';

  const double precip = GetNum(precip_, rec, ok);
  const double ref = GetNum(precip_ref_, rec, ok);
  if (Present(precip)) (ref == 24.0 ? r.rain24 : r.rain6) = ToFloat(precip * kMmToInches);

  if (!GetText(cloudtype_, rec, text, SFC_CLD_TYPE_LEN)) return false;
  for (std::size_t k = 0; k < SFC_CLD_TYPE_LEN; ++k) {
    const char c = text[k];
    if (c > ' ' && c < 127 && c != '/') r.cld_type[k] = c;
  }

  std::string_view remarks;
  if (!TextView(remarks_, rec, SFC_COMMENT_LEN, remarks)) return false;
  remarks = Trim(remarks);
  if (!remarks.empty()) {
    // Remarks are words each followed by a blank.
    CopyField(r.comment, remarks.substr(0, SFC_COMMENT_LEN - 1));
    std::strcat(r.comment, " ");
  }
  return ok;
}

}  // namespace sfc_cvt
