// cvt_write: makes converted surface files from a raw hourly file, for the tests,
// the samples and the benchmarks of the converted-file reader.
//
//   cvt_write [-i ID,ID,...] [-c STATIONS] [-n NAME] FORM YYYYMMDDHH RAWFILE > OUT
//
// Every report of RAWFILE (METAR, SPECI, SA, SP) is decoded as the parser decodes
// it and written in FORM:
//   old      the old text form (kind 2): the date label, then dotted fields
//   new      the new text form (kind 3): "ZYPSFC", the date label, blank-separated
//            fields
//   station  CDL text of the netCDF station form (kind 11), for ncgen
//   report   CDL text of the netCDF report form (kind 12), for ncgen
// NIL reports (no observation) and lines that are no report are left out. -i keeps
// only the named stations. The station database (-c, default share/sao.cty of the
// source tree) gives the netCDF forms each station's position, elevation, WMO
// number and priority; the text forms carry none of them. The date gives the date
// label of the header and the hour that decides whether an extreme temperature is
// a maximum or a minimum. -n names the netCDF dataset in the CDL (default "sfc").
//
// Each form is written the way its reader reads it back, so that a value comes
// back as the reader's rules give it: the old form keeps whole degrees, tenths of
// miles and one ceiling layer; a value a form cannot hold is written as missing or
// left out.
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "date/date.h"
#include "station/station.h"
#include "surface/cvt_reader.h"
#include "surface/raw_reader.h"
#include "surface/report.h"
#include "surface/weather.h"
#include "util/number.h"
#include "util/util.h"

namespace {

bool Present(float v) { return v != SFC_MISSING_F; }

// printf into a std::string.
std::string Format(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char *fmt, ...) {
  char buf[512];
  va_list ap;
  va_start(ap, fmt);
  std::vsnprintf(buf, sizeof buf, fmt, ap);
  va_end(ap);
  return buf;
}

// A field of the record up to its terminator, never past the field.
template <std::size_t N>
std::string Field(const char (&f)[N]) {
  return std::string(f, strnlen(f, N));
}

// The short weather code of the report; empty for none.
std::string ShortWeather(const SFC_report &r) {
  char code[WX_CODE_SIZE];
  WX_short_code(r.weather, code, sizeof code);
  std::string s = code;
  return s == " " ? "" : s;
}

// The extreme temperature of the old form and the station form: the maximum in the
// evening and night hours of the file, the minimum otherwise.
float Extreme(const SFC_report &r, int hour) {
  return (hour < 10 || hour > 21) ? r.max_t : r.min_t;
}

// ---- old text form ------------------------------------------------------------------

// Whole degrees in three characters; -99 is missing.
int Whole3(float v) {
  if (!Present(v)) return -99;
  const long w = std::lround(v);
  return (w > -99 && w <= 999) ? static_cast<int>(w) : -99;
}

// The extreme temperature as the reader takes it back, given the temperature now.
long OldExtremeRead(long v, float t) {
  if (!Present(t)) return v;
  if (v >= 0 && v <= 29 && t > 70) return v + 100;
  if (v >= 61 && v <= 99 && t < 30) return v - 100;
  return v;
}

std::string OldLine(const SFC_report &r, int hour) {
  const int t = Whole3(r.t), td = Whole3(r.td);
  int wind = -99;
  if (Present(r.w_dir) && Present(r.w_spd) && r.w_dir >= 0 && r.w_spd >= 0 && r.w_spd < 99.5f)
    wind = static_cast<int>(std::lround(r.w_dir / 10.0f) * 100 + std::lround(r.w_spd));
  int alt = -99;
  if (Present(r.alt)) {
    const long a = std::lround(r.alt * 100.0f);
    if (a >= 2501 && a <= 2999)
      alt = static_cast<int>(a - 2000);
    else if (a >= 3000 && a <= 3500)
      alt = static_cast<int>(a - 3000);
  }
  int pres = -99;
  if (Present(r.pmb)) {
    const long p = std::lround(r.pmb * 10.0f);
    if (p >= 9501 && p <= 9999)
      pres = static_cast<int>(p - 9000);
    else if (p >= 10000 && p <= 10500)
      pres = static_cast<int>(p - 10000);
  }
  const int vis = Present(r.vis) && r.vis >= 0
                      ? static_cast<int>(std::min(std::lround(r.vis * 10.0f), 999L))
                      : -99;
  char cover = ' ';
  float height = SFC_MISSING_F;
  WX_set_cloud(&r, &cover, &height);
  if (cover == '\0') cover = ' ';
  const int ceil = Present(height) && height >= 0
                       ? static_cast<int>(std::min(std::lround(height / 100.0f), 999L))
                       : -99;
  std::string wx = ShortWeather(r);
  if (wx.empty() || wx.size() > 9) wx = " ";

  std::string line =
      Format("%-5s %3d.%3d.%4d.%03d.%03d.%3d.", Field(r.id).c_str(), t, td, wind, alt, pres, vis);
  line += ceil >= 0 ? Format("%03d%c.", ceil, cover) : Format("%3d%c.", ceil, cover);
  line += wx + ".";
  if (Present(r.ptend)) {
    const long pp = std::lround(std::fabs(r.ptend) * 10.0f);
    int a = r.ptend_t >= 0 && r.ptend_t <= 8 ? r.ptend_t : (r.ptend < 0 ? 7 : 2);
    if ((r.ptend < 0) != (a >= 5)) a = r.ptend < 0 ? 7 : 2;
    if (pp <= 99) line += Format("P%03ld.", a * 100 + pp);
  }
  for (auto [letter, amount] : {std::pair{'r', r.rain6}, std::pair{'R', r.rain24}}) {
    if (!Present(amount) || amount < 0) continue;
    const long h = std::lround(amount * 100.0f);
    line +=
        h >= 100 ? Format("%c%ld.%02ld.", letter, h / 100, h % 100) : Format("%c%ld.", letter, h);
  }
  const float extreme = Extreme(r, hour);
  if (Present(extreme)) {
    const long v = std::lround(extreme);
    long enc = v;
    if (Present(r.t) && v >= 100 && v <= 129 && r.t > 70)
      enc = v - 100;
    else if (Present(r.t) && v >= -39 && v <= -1 && r.t < 30)
      enc = v + 100;
    if (OldExtremeRead(enc, r.t) == v) line += Format("T%ld.", enc);
  }
  if (Present(r.scover) && r.scover >= 0) line += Format("S%ld.", std::lround(r.scover));
  bool types = true;
  for (char c : r.cld_type) types = types && c > ' ' && c < 127 && c != '.';
  if (types) line += Format("C%.3s.", r.cld_type);
  if (Present(r.w_gust) && r.w_gust >= 0) line += Format("G%ld.", std::lround(r.w_gust));
  return line;
}

// ---- new text form ------------------------------------------------------------------

// The value with `prec` decimals, or as "%g" writes it when prec is negative.
std::string Real(float v, int prec = -1) {
  if (!Present(v)) return "-99";
  return prec < 0 ? Format("%g", static_cast<double>(v))
                  : Format("%.*f", prec, static_cast<double>(v));
}

std::string NewLine(const SFC_report &r) {
  std::string line =
      Format("%-5s %s %s", Field(r.id).c_str(), Real(r.t, 1).c_str(), Real(r.td, 1).c_str());
  long wind = -99;
  if (Present(r.w_dir) && Present(r.w_spd) && r.w_dir >= 0 && r.w_spd >= 0) {
    const long dir = std::lround(r.w_dir), spd = std::lround(r.w_spd);
    if ((spd >= 100 || dir % 10 != 0) && dir >= 5 && spd <= 999)
      wind = dir * 1000 + spd;
    else if (spd < 100)
      wind = (dir / 10) * 100 + spd;
  }
  line += Format(" %ld", wind);
  line += Present(r.alt) ? Format(" %ld", std::lround(r.alt * 100.0f)) : " -99";
  line += Present(r.pmb) ? Format(" %ld", std::lround(r.pmb * 10.0f)) : " -99";
  line += " " + Real(r.vis);

  std::string clouds;
  for (int k = 0; k < r.num_cld && k < SFC_MAX_CLD; ++k) {
    const char c = r.cld_cover[k];
    if (c == ' ' || c == '\0') continue;
    if (!clouds.empty()) clouds += ",";
    clouds += Present(r.cld_height[k]) ? Format("%g", r.cld_height[k] / 100.0f) : "-99";
    if (c >= '0' && c <= '9') clouds += ":";
    clouds += c;
  }
  line += " " + (clouds.empty() ? std::string("-99M") : clouds);

  std::string wx = Field(r.weather);
  if (wx.empty() || wx == " " || wx.size() > SFC_CVT_WEATHER_LEN ||
      wx.find(' ') != std::string::npos)
    wx = ShortWeather(r);
  line += " " + (wx.empty() ? std::string("-") : wx);

  if (r.time >= 0 && r.time <= 2359) line += Format(" @%04d", r.time);
  if (r.ptend_t >= 0 && r.ptend_t <= 8 && Present(r.ptend))
    line += Format(" P%d%ld", r.ptend_t, std::lround(r.ptend * 10.0f));
  const std::pair<char, float> amounts[] = {
      {'p', r.rain1}, {'Q', r.rain3}, {'r', r.rain6}, {'q', r.rain12}, {'R', r.rain24}};
  for (auto [letter, v] : amounts)
    if (Present(v) && v >= 0) line += Format(" %c%ld", letter, std::lround(v * 100.0f));
  const std::pair<char, float> values[] = {
      {'X', r.max_t}, {'x', r.max6_t}, {'N', r.min_t}, {'n', r.min6_t}, {'S', r.scover}};
  for (auto [letter, v] : values)
    if (Present(v)) line += Format(" %c%g", letter, v);
  bool types = false;
  for (char c : r.cld_type) types = types || (c > ' ' && c < 127);
  if (types) {
    line += " C";
    for (char c : r.cld_type) line += (c >= ' ' && c < 127) ? c : ' ';
  }
  const std::pair<char, float> more[] = {
      {'G', r.w_gust}, {'s', r.solar}, {'t', r.sst}, {'p', r.wav_per}, {'h', r.wav_hgt}};
  for (auto [letter, v] : more)
    if (Present(v)) line += Format(" %c%g", letter, v);
  std::string comment = Field(r.comment).substr(0, SFC_CVT_COMMENT_LEN);
  for (char &c : comment)
    if (c == '$' || c == '\n' || c == '\r') c = ' ';
  line += comment.find_first_not_of(' ') != std::string::npos ? " #" + comment + "$" : " $";
  return line;
}

// ---- CDL text of the netCDF forms -------------------------------------------------------

// A CDL string literal of at most `len` characters.
std::string Quoted(const std::string &s, std::size_t len) {
  std::string out = "\"";
  for (char c : s.substr(0, len)) {
    if (c == '"' || c == '\\') out += '\\';
    out += (c >= ' ' && c < 127) ? c : ' ';
  }
  return out + "\"";
}

std::string Cdl(float v, const char *fill) { return Present(v) ? Format("%.7g", v) : fill; }

// One data section entry: "name =\n  v, v, v ;\n", `per_line` values a line.
std::string Values(const char *name, const std::vector<std::string> &v, std::size_t per_line = 8) {
  std::string out = Format(" %s =\n  ", name);
  for (std::size_t k = 0; k < v.size(); ++k) {
    out += v[k];
    if (k + 1 < v.size()) out += (k + 1) % per_line == 0 ? ",\n  " : ", ";
  }
  return out + " ;\n\n";
}

struct Station {
  float lat = SFC_MISSING_F, lon = SFC_MISSING_F, elev = SFC_MISSING_F;
  int wmo = SFC_MISSING, prior = SFC_MISSING;
};

using StationMap = std::unordered_map<std::string, Station>;

// The report with its station's position, elevation, WMO number and priority.
SFC_report Located(const SFC_report &in, const StationMap &stations) {
  SFC_report r = in;
  auto it = stations.find(Field(r.id));
  if (it == stations.end()) return r;
  r.lat = it->second.lat;
  r.lon = it->second.lon;
  r.elev = it->second.elev;
  r.wmo = it->second.wmo;
  r.prior = it->second.prior;
  return r;
}

std::string StationCdl(const std::vector<SFC_report> &reports, const std::string &name,
                       const char *label, int hour) {
  constexpr const char *kMissF = "-999";
  constexpr const char *kMissI = "-999";
  std::string out =
      Format("netcdf %s {\ndimensions:\n\tstation = %zu ;\n", name.c_str(), reports.size());
  out +=
      "\tidata = 13 ;\n\tfdata = 15 ;\n\tstring_len = 11 ;\n\tcld_len = 3 ;\n\tname_len = 8 ;\n"
      "variables:\n"
      "\tchar id(station, string_len) ;\n\tchar region(station, string_len) ;\n"
      "\tchar wx(station, string_len) ;\n\tchar cld(station, cld_len) ;\n"
      "\tint intdata(station, idata) ;\n\tfloat fltdata(station, fdata) ;\n"
      "\tchar intname(idata, name_len) ;\n\tchar intunit(idata, name_len) ;\n"
      "\tchar fltname(fdata, name_len) ;\n\tchar fltunit(fdata, name_len) ;\n\n"
      "// global attributes:\n"
      "\t\t:missing_val_f = -999.f ;\n\t\t:missing_val_i = -999 ;\n\t\t:missing_val_c = \"/\" ;\n";
  out +=
      Format("\t\t:datetime = %s ;\n\t\t:version = 1.1f ;\ndata:\n\n", Quoted(label, 40).c_str());
  std::vector<std::string> ids, regions, wxs, clds, ints, flts;
  for (const SFC_report &r : reports) {
    ids.push_back(Quoted(Field(r.id), 11));
    regions.push_back(Quoted(Field(r.area), 11));
    const std::string wx = ShortWeather(r);
    wxs.push_back(Quoted(wx.empty() ? "/" : wx, 11));
    std::string types;
    for (char c : r.cld_type) types += (c > ' ' && c < 127) ? c : '/';
    clds.push_back(Quoted(types, 3));
    auto I = [&](int v) { ints.push_back(v == SFC_MISSING ? kMissI : Format("%d", v)); };
    I(r.time);
    I(r.prior);
    I(Present(r.elev) ? static_cast<int>(std::lround(r.elev)) : SFC_MISSING);
    I(r.wmo);
    I(r.type);
    const int layers = std::min(r.num_cld, 4);
    for (int k = 0; k < 4; ++k)
      I(k < layers && Present(r.cld_height[k]) ? static_cast<int>(std::lround(r.cld_height[k]))
                                               : SFC_MISSING);
    for (int k = 0; k < 4; ++k) I(k < layers ? static_cast<unsigned char>(r.cld_cover[k]) : ' ');
    for (float v : {r.lat, r.lon, r.vis, r.pmb, r.t, r.td, r.w_dir, r.w_spd, r.w_gust, r.alt,
                    r.rain6, r.rain24, Extreme(r, hour), r.scover, r.ptend})
      flts.push_back(Cdl(v, kMissF));
  }
  out += Values("id", ids) + Values("region", regions) + Values("wx", wxs) + Values("cld", clds);
  out += Values("intdata", ints, 13) + Values("fltdata", flts, 15);
  out += Values("intname", {"\"time\"", "\"prior\"", "\"elev\"", "\"wmo\"", "\"type\"", "\"chgt1\"",
                            "\"chgt2\"", "\"chgt3\"", "\"chgt4\"", "\"ccov1\"", "\"ccov2\"",
                            "\"ccov3\"", "\"ccov4\""});
  out += Values("intunit", {"\"HHMM\"", "\"\"", "\"m\"", "\"\"", "\"\"", "\"ft\"", "\"ft\"",
                            "\"ft\"", "\"ft\"", "\"\"", "\"\"", "\"\"", "\"\""});
  out += Values("fltname", {"\"lat\"", "\"lon\"", "\"vis\"", "\"pmb\"", "\"t\"", "\"td\"",
                            "\"w_dir\"", "\"w_spd\"", "\"w_gust\"", "\"alt\"", "\"rain6\"",
                            "\"rain24\"", "\"extreme\"", "\"scover\"", "\"ptend\""});
  out += Values("fltunit",
                {"\"deg_N\"", "\"deg_E\"", "\"mi\"", "\"mb\"", "\"F\"", "\"F\"", "\"deg\"",
                 "\"kt\"", "\"kt\"", "\"inHg\"", "\"in\"", "\"in\"", "\"F\"", "\"in\"", "\"mb\""});
  return out + "}\n";
}

// Short weather codes back to WMO present-weather numbers: the first number whose
// code is the same.
std::map<std::string, int> WmoNumbers() {
  std::map<std::string, int> numbers;
  for (int n = 0; n < 100; ++n) {
    char code[WX_CODE_SIZE];
    WX_wmo_weather(n, code);
    if (std::strcmp(code, " ") != 0) numbers.emplace(code, n);
  }
  return numbers;
}

// The WMO number of the report's weather: the code itself, else its longest head
// that has one ("RW-F" is taken as "RW-"). Empty for none.
std::string WmoWeather(const SFC_report &r, const std::map<std::string, int> &numbers) {
  for (std::string code = ShortWeather(r); !code.empty(); code.pop_back()) {
    auto it = numbers.find(code);
    if (it != numbers.end()) return Format("%d", it->second);
  }
  return "_";
}

std::string ReportCdl(const std::vector<SFC_report> &reports, const std::string &name,
                      const char *label) {
  std::string out = Format("netcdf %s {\ndimensions:\n\treport = UNLIMITED ; // (%zu currently)\n",
                           name.c_str(), reports.size());
  out +=
      "\ttime_len = 10 ;\n\tid_len = 10 ;\n\tlayers = 4 ;\n\tremarks_len = 100 ;\n\ttype_len = 3 "
      ";\n"
      "variables:\n"
      "\tchar id(report, id_len) ;\n\tchar region(report, id_len) ;\n\tchar time(report, time_len) "
      ";\n"
      "\tfloat lat(report) ;\n\t\tlat:units = \"degrees_north\" ;\n"
      "\tfloat lon(report) ;\n\t\tlon:units = \"degrees_east\" ;\n"
      "\tfloat elev(report) ;\n\t\telev:units = \"m\" ;\n";
  const char *floats[][2] = {{"T", "Celsius"},
                             {"TD", "Celsius"},
                             {"Tmax", "Celsius"},
                             {"Tmin", "Celsius"},
                             {"Tmax6", "Celsius"},
                             {"Tmin6", "Celsius"},
                             {"PSL", "hPa"},
                             {"DIR", "degree"},
                             {"delP", "hPa"},
                             {"SST", "Celsius"},
                             {"wave_per", "s"},
                             {"wave_hgt", "m"},
                             {"sunshine", "min"},
                             {"ALTIM", "hPa"},
                             {"SPD", "m/s"},
                             {"GUST", "m/s"},
                             {"VIS", "km"},
                             {"PRECIP", "mm"},
                             {"reftime_PRECIP", "hour"},
                             {"SNOW", "mm"}};
  for (auto &f : floats)
    out += Format("\tfloat %s(report) ;\n\t\t%s:units = \"%s\" ;\n", f[0], f[0], f[1]);
  out +=
      "\tbyte WX(report) ;\n\t\tWX:long_name = \"WMO present weather\" ;\n"
      "\tfloat ZCL(report, layers) ;\n\t\tZCL:units = \"m\" ;\n\tchar CC(report, layers) ;\n"
      "\tchar Ptend(report) ;\n\tchar cloudtype(report, type_len) ;\n\tchar remarks(report, "
      "remarks_len) ;\n\n"
      "// global attributes:\n";
  out += Format("\t\t:filetime = %s ;\ndata:\n\n", Quoted(label, 40).c_str());

  const auto numbers = WmoNumbers();
  std::map<std::string, std::vector<std::string>> data;
  for (const SFC_report &r : reports) {
    auto F = [](float v, float scale = 1, float offset = 0) {
      return Present(v) ? Format("%.7g", v * scale + offset) : "_";
    };
    const float to_c = 1 / 1.8f;
    data["id"].push_back(Quoted(Field(r.id), 10));
    data["region"].push_back(Quoted(Field(r.area), 10));
    data["time"].push_back(r.time >= 0 ? Quoted(Format("%04d", r.time), 10) : "\"\"");
    data["lat"].push_back(F(r.lat));
    data["lon"].push_back(F(r.lon));
    data["elev"].push_back(F(r.elev));
    data["T"].push_back(F(r.t, to_c, -32 * to_c));
    data["TD"].push_back(F(r.td, to_c, -32 * to_c));
    data["Tmax"].push_back(F(r.max_t, to_c, -32 * to_c));
    data["Tmin"].push_back(F(r.min_t, to_c, -32 * to_c));
    data["Tmax6"].push_back(F(r.max6_t, to_c, -32 * to_c));
    data["Tmin6"].push_back(F(r.min6_t, to_c, -32 * to_c));
    data["PSL"].push_back(F(r.pmb));
    data["DIR"].push_back(F(r.w_dir));
    data["delP"].push_back(F(r.ptend));
    data["SST"].push_back(F(r.sst));
    data["wave_per"].push_back(F(r.wav_per));
    data["wave_hgt"].push_back(F(r.wav_hgt));
    data["sunshine"].push_back(F(r.solar));
    data["ALTIM"].push_back(F(r.alt, 1 / 0.0295386f));
    data["SPD"].push_back(F(r.w_spd, 1 / 1.944f));
    data["GUST"].push_back(F(r.w_gust, 1 / 1.944f));
    data["VIS"].push_back(F(r.vis, 1 / 0.62137f));
    const bool day = Present(r.rain24);
    data["PRECIP"].push_back(F(day ? r.rain24 : r.rain6, 1 / 0.03937f));
    data["reftime_PRECIP"].push_back(day ? "24" : Present(r.rain6) ? "6" : "_");
    data["SNOW"].push_back(F(r.scover, 1 / 0.03937f));
    data["WX"].push_back(WmoWeather(r, numbers));
    std::string covers;
    for (int k = 0; k < 4; ++k) {
      const bool layer = k < r.num_cld && r.cld_cover[k] != ' ' && r.cld_cover[k] != '\0';
      data["ZCL"].push_back(layer ? F(r.cld_height[k], 1 / 3.2808f) : "_");
      covers += layer ? r.cld_cover[k] : '/';
    }
    data["CC"].push_back(Quoted(covers, 4));
    data["Ptend"].push_back(r.ptend_t >= 0 && r.ptend_t <= 9 ? Format("\"%d\"", r.ptend_t)
                                                             : "\" \"");
    std::string types;
    for (char c : r.cld_type) types += (c > ' ' && c < 127 && c != '-') ? c : '/';
    data["cloudtype"].push_back(Quoted(types, 3));
    data["remarks"].push_back(Quoted(Field(r.comment), 100));
  }
  const char *order[] = {"id",        "region",   "time",     "lat",      "lon",
                         "elev",      "T",        "TD",       "Tmax",     "Tmin",
                         "Tmax6",     "Tmin6",    "PSL",      "DIR",      "delP",
                         "SST",       "wave_per", "wave_hgt", "sunshine", "ALTIM",
                         "SPD",       "GUST",     "VIS",      "PRECIP",   "reftime_PRECIP",
                         "SNOW",      "WX",       "ZCL",      "CC",       "Ptend",
                         "cloudtype", "remarks"};
  for (const char *v : order) out += Values(v, data[v], std::string(v) == "ZCL" ? 4 : 8);
  return out + "}\n";
}

// ---- reading ---------------------------------------------------------------------------

StationMap ReadStations(const char *path) {
  StationMap stations;
  const int fd = CTY_open(path, 0, 1);
  if (fd < 0) {
    std::fprintf(stderr, "cvt_write: no station file %s\n", path);
    return stations;
  }
  CTY_data d;
  int n;
  while ((n = CTY_read(fd, &d)) >= 0) {
    if (n < CTY_COLUMNS_NEEDED || d.id[0] == '\0' || d.id[0] == '-') continue;
    Station s;
    s.lat = d.lat;
    s.lon = d.lon;
    s.elev = d.el;
    s.wmo = d.wmo == CTY_NO_WMO ? SFC_MISSING : d.wmo;
    s.prior = d.prior;
    stations.emplace(d.id, s);  // the first line of an identifier counts
  }
  CTY_close(fd);
  return stations;
}

// Decodes every report of the raw file as the parser does; NIL reports and lines
// that are no report are left out.
std::vector<SFC_report> Decode(const char *path, const ParsedList &ids) {
  std::vector<SFC_report> reports;
  FILE *f = std::fopen(path, "r");
  if (!f) {
    std::fprintf(stderr, "cvt_write: cannot open %s\n", path);
    return reports;
  }
  const CTY_id_set wanted(ids);
  SFC_raw_new_file();
  data_struct d;
  for (;;) {
    const int result = SFC_read_raw(f, d.data, d.id, &d.format, &d.bulletin);
    if (result == SFC_RAW_NONE) break;
    if (wanted.wanted(d.id)) {
      SFC_report r;
      SFC_decode_raw(d, &r);
      if (d.format != SFC_FMT_NONE && r.type != 0 && r.id[0]) reports.push_back(r);
    }
    if (result == SFC_RAW_LAST) break;
  }
  std::fclose(f);
  return reports;
}

int Usage() {
  std::fprintf(stderr,
               "usage: cvt_write [-i ID,...] [-c STATIONS] [-n NAME] old|new|station|report "
               "YYYYMMDDHH RAWFILE\n");
  return 2;
}

}  // namespace

int main(int argc, char **argv) {
  std::string ids_text, stations_path = SOURCE_DIR "/share/sao.cty", name = "sfc";
  int k = 1;
  for (; k + 1 < argc && argv[k][0] == '-'; k += 2) {
    if (std::strcmp(argv[k], "-i") == 0)
      ids_text = argv[k + 1];
    else if (std::strcmp(argv[k], "-c") == 0)
      stations_path = argv[k + 1];
    else if (std::strcmp(argv[k], "-n") == 0)
      name = argv[k + 1];
    else
      return Usage();
  }
  if (argc - k != 3) return Usage();
  const std::string form = argv[k], when = argv[k + 1];
  if (when.size() != 10 || when.find_first_not_of("0123456789") != std::string::npos)
    return Usage();
  Date date;
  DATE_init(&date);
  // Ten digits (checked above): YYYYMMDDHH.
  const std::string_view digits = when;
  date.year = zyp::leading_int(digits.substr(0, 4));
  date.month = zyp::leading_int(digits.substr(4, 2));
  date.day = zyp::leading_int(digits.substr(6, 2));
  date.hour = zyp::leading_int(digits.substr(8, 2));
  date.min = DATE_MISSING;
  char label[DATE_LABEL_SIZE];
  DATE_make_label(&date, label);

  ParsedList ids;
  if (!ids_text.empty()) parse_string(ids_text.c_str(), ',', ids);
  std::vector<SFC_report> reports = Decode(argv[k + 2], ids);

  if (form == "old") {
    std::printf("%s\n", label);
    for (const SFC_report &r : reports) std::printf("%s\n", OldLine(r, date.hour).c_str());
  } else if (form == "new") {
    std::printf("%s\n%s\n", SFC_CVT_HEADER, label);
    for (const SFC_report &r : reports) std::printf("%s\n", NewLine(r).c_str());
  } else if (form == "station" || form == "report") {
    const StationMap stations = ReadStations(stations_path.c_str());
    for (SFC_report &r : reports) r = Located(r, stations);
    const std::string cdl = form == "station" ? StationCdl(reports, name, label, date.hour)
                                              : ReportCdl(reports, name, label);
    std::fwrite(cdl.data(), 1, cdl.size(), stdout);
  } else {
    return Usage();
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}
