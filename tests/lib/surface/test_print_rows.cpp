// CSV and JSON Lines rows (line formats 7 and 8): the columns of the record and
// of variable lists, values of a real report, missing values, numbers, texts
// with every kind of byte, the observation time, the raw text, and the dispatch.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "../../../fuzz/rows_check.h"
#include "print_fixture.h"
#include "calc/calc.h"
#include "calc/calc_testing.h"
#include "messages/messages.h"
#include "messages/messages_testing.h"
#include "resources/resources.h"
#include "resources/resources_testing.h"
#include "surface/metar.h"
#include "surface/print_line.h"
#include "surface/print_rows.h"
#include "surface/report.h"
#include "var/var.h"
#include "var/var_testing.h"

namespace {

using print_fixture::Capture;
using print_fixture::DecodedKTVC;
using print_fixture::Fresh;
using print_fixture::kKTVC;
using print_fixture::PrinterTest;
using rows_check::Field;
using rows_check::Member;

// The record's columns in order, as the header names them (raw input).
const std::vector<std::string> kColumns = {
    "obs_time",     "id",           "area",         "type",         "wmo",
    "lat",          "lon",          "elev",         "prior",        "time",
    "cld_height_1", "cld_height_2", "cld_height_3", "cld_height_4", "cld_height_5",
    "cld_cover_1",  "cld_cover_2",  "cld_cover_3",  "cld_cover_4",  "cld_cover_5",
    "num_cld",      "vis",          "weather",      "pmb",          "t",
    "td",           "w_dir",        "w_spd",        "w_gust",       "alt",
    "ptend_t",      "ptend",        "rain1",        "rain3",        "rain6",
    "rain12",       "rain24",       "rain",         "rain_per",     "cld_low",
    "cld_type_1",   "cld_type_2",   "cld_type_3",   "max_t",        "min_t",
    "max6_t",       "min6_t",       "scover",       "solar",        "sst",
    "wav_per",      "wav_hgt",      "comment",      "flag",         "raw"};

// The lines of `out`, each of which must end with a line end.
std::vector<std::string> Lines(const std::string &out) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < out.size()) {
    const std::size_t nl = out.find('\n', at);
    EXPECT_NE(nl, std::string::npos) << "unterminated line";
    if (nl == std::string::npos) break;
    lines.push_back(out.substr(at, nl - at));
    at = nl + 1;
  }
  return lines;
}

SFC_report KTVC() { return DecodedKTVC(); }

// The file of 00 UTC on 6 January 2020, the sample hour.
Date SampleHour() { return Date{2020, 1, 6, DATE_MISSING, DATE_MISSING, 0, 0, 0}; }

class PrintRows : public PrinterTest {
 protected:
  static void Input(bool raw = true) {
    const Date d = SampleHour();
    SFC_rows_set_input(&d, raw ? 1 : 0);
  }
  // One printed line of the row or header; `list` uses the current variable list.
  static std::string Line(const SFC_report *r, bool json, bool list = false) {
    const std::vector<std::string> lines =
        Lines(Capture([&] { SFC_print_rows(M_PRINT & M_SUB_A, r, json ? 1 : 0, list ? 1 : 0); }));
    EXPECT_EQ(lines.size(), 1u);
    return lines.empty() ? std::string() : lines[0];
  }
  static std::vector<Field> Csv(const SFC_report *r, bool list = false) {
    std::vector<Field> fields;
    const std::string line = Line(r, false, list);
    EXPECT_TRUE(rows_check::ReadCsv(line, fields)) << line;
    return fields;
  }
  static std::map<std::string, Member> Json(const SFC_report &r, bool list = false) {
    std::vector<Member> members;
    const std::string line = Line(&r, true, list);
    EXPECT_TRUE(rows_check::ReadJson(line, members)) << line;
    std::map<std::string, Member> by_key;
    for (const Member &m : members) by_key[m.key] = m;
    EXPECT_EQ(by_key.size(), members.size()) << "a key twice";
    return by_key;
  }
  static std::vector<std::string> Texts(const std::vector<Field> &fields) {
    std::vector<std::string> texts;
    for (const Field &f : fields) texts.push_back(f.text);
    return texts;
  }
};

// ---- columns of the record --------------------------------------------------------

// Purpose: the header names the record's fields in record order, with the
// observation time first and the raw text last for raw input; converted input
// has no raw text and no "raw" column; JSON Lines have no header.
TEST_F(PrintRows, HeaderNamesTheRecordFields) {
  Input(true);
  EXPECT_EQ(Texts(Csv(nullptr)), kColumns);
  Input(false);
  std::vector<std::string> without_raw(kColumns.begin(), kColumns.end() - 1);
  EXPECT_EQ(Texts(Csv(nullptr)), without_raw);
  EXPECT_EQ(Capture([] { SFC_print_rows(M_PRINT & M_SUB_A, nullptr, 1, 0); }), "");
}

// Purpose: a real report in both formats, value by value against the report's
// own text, in the record's units: 00/M02 with the T-group 0.0 C / -2.2 C gives
// 32 F and 28.04 F (28.039999 in single precision); A2968 29.68 inHg; SLP056
// 1005.6 mb; 55002 a fall of 0.2 mb; P0003 0.03 in; 60009 0.09 in; 4/003 3 in.
TEST_F(PrintRows, RealReportValues) {
  Input();
  const SFC_report r = KTVC();
  SFC_rows_set_raw(kKTVC);
  const std::vector<Field> csv = Csv(&r);
  ASSERT_EQ(csv.size(), kColumns.size());
  std::map<std::string, std::string> by_name;
  for (std::size_t k = 0; k < csv.size(); ++k) by_name[kColumns[k]] = csv[k].text;

  const std::map<std::string, std::string> expected = {
      {"obs_time", "2020-01-05T23:53Z"},  // 2353 in the 00 UTC file: the day before
      {"id", "KTVC"},
      {"area", "ME"},
      {"type", "1"},
      {"wmo", ""},
      {"time", "2353"},
      {"cld_height_1", "800"},
      {"cld_height_2", "1400"},
      {"cld_height_3", ""},
      {"cld_cover_1", "F"},
      {"cld_cover_2", "O"},
      {"cld_cover_3", ""},
      {"num_cld", "2"},
      {"vis", "1"},
      {"weather", "!-SN_BR"},
      {"pmb", "1005.6"},
      {"t", "32"},
      {"td", "28.039999"},  // -2.2 C in single precision
      {"w_dir", "240"},
      {"w_spd", "8"},
      {"w_gust", ""},
      {"alt", "29.68"},
      {"ptend_t", "5"},
      {"ptend", "-0.2"},
      {"rain1", "0.03"},
      {"rain6", "0.09"},
      {"rain24", ""},
      {"max6_t", "33.08"},
      {"min6_t", "30.92"},
      {"scover", "3"},
      {"flag", "1"},
      {"raw", kKTVC},
  };
  for (const auto &[name, value] : expected) EXPECT_EQ(by_name[name], value) << name;
  EXPECT_NE(by_name["comment"].find("SNINCR"), std::string::npos);

  // The same row in JSON: numbers as numbers, texts as strings, missing as null.
  SFC_rows_set_raw(kKTVC);
  const std::map<std::string, Member> json = Json(r);
  ASSERT_EQ(json.size(), kColumns.size());
  for (const auto &[name, value] : expected) {
    const Member &m = json.at(name);
    if (value.empty()) {
      EXPECT_EQ(m.kind, Member::kNull) << name;
    } else {
      EXPECT_EQ(m.value, value) << name;
      const bool text = name == "obs_time" || name == "id" || name == "area" ||
                        name.rfind("cld_cover", 0) == 0 || name == "weather" || name == "raw";
      EXPECT_EQ(m.kind, text ? Member::kString : Member::kNumber) << name;
    }
  }
}

// Purpose: a report without values: every value missing (empty, null) except
// the identifier and the counts that are zero, not missing; without a time
// there is no observation time either.
TEST_F(PrintRows, FreshRecordIsMissingEverywhere) {
  Input();
  const SFC_report r = Fresh("KXYZ");
  std::vector<std::string> expected(kColumns.size());
  expected[1] = "KXYZ";
  expected[3] = "0";   // type
  expected[20] = "0";  // num_cld
  expected[53] = "0";  // flag
  EXPECT_EQ(Texts(Csv(&r)), expected);
  const std::map<std::string, Member> json = Json(r);
  EXPECT_EQ(json.at("id").value, "KXYZ");
  for (const char *zero : {"type", "num_cld", "flag"}) EXPECT_EQ(json.at(zero).value, "0") << zero;
  for (const auto &[key, m] : json) {
    if (key != "id" && key != "type" && key != "num_cld" && key != "flag") {
      EXPECT_EQ(m.kind, Member::kNull) << key;
    }
  }
}

// ---- numbers --------------------------------------------------------------------------

struct NumberCase {
  float value;
  const char *text;  // "" for missing
};

// Purpose: the shortest decimal in fixed notation that reads back as the same
// single-precision value, never an exponent, no locale; missing and non-finite
// values missing; the largest and smallest floats fit.
TEST_F(PrintRows, NumbersTable) {
  Input(false);
  const NumberCase cases[] = {
      {29.92f, "29.92"},
      {1013.25f, "1013.25"},
      {-0.2f, "-0.2"},
      {39.92f, "39.92"},
      {0.0f, "0"},
      {-0.0f, "0"},
      {10.0f, "10"},
      {1.0f / 3.0f, "0.33333334"},
      {123456.7f, "123456.7"},
      {12345678.0f, "12345678"},
      {0.00001f, "0.00001"},
      {(4.4f * 9.0f / 5.0f + 32.0f - 32.0f) * 5.0f / 9.0f, "4.400001"},
      {std::numeric_limits<float>::max(), "340282346638528859811704183484516925440"},
      {-std::numeric_limits<float>::denorm_min(),
       "-0.000000000000000000000000000000000000000000001"},
      {-9999.0f, ""},
      {-9999.5f, "-9999.5"},
      {std::numeric_limits<float>::quiet_NaN(), ""},
      {std::numeric_limits<float>::infinity(), ""},
      {-std::numeric_limits<float>::infinity(), ""},
  };
  for (const NumberCase &c : cases) {
    SCOPED_TRACE(c.text);
    SFC_report r = Fresh();
    r.t = c.value;
    const std::vector<Field> csv = Csv(&r);
    ASSERT_EQ(csv.size(), kColumns.size() - 1);
    EXPECT_EQ(csv[24].text, c.text);  // "t"
    const Member m = Json(r).at("t");
    EXPECT_EQ(m.kind, *c.text ? Member::kNumber : Member::kNull);
    EXPECT_EQ(m.value, c.text);
  }
}

// ---- texts ------------------------------------------------------------------------------

struct TextCase {
  const char *name;
  std::string text;  // put into the remarks
  const char *csv;   // the field as written
  const char *json;  // the string as written, with its quotes; "null" for none
};

// Purpose: every kind of byte in a text comes out as valid CSV and JSON: commas
// and quotes quoted (CSV) or escaped (JSON), backslashes escaped in JSON, tabs
// and line ends as blanks, other control bytes and bytes above 127 as "?",
// blanks trimmed at both ends.
TEST_F(PrintRows, TextsTable) {
  Input(false);
  const TextCase cases[] = {
      {"plain", "AO2 SLP130", "AO2 SLP130", "\"AO2 SLP130\""},
      {"comma", "A,B", "\"A,B\"", "\"A,B\""},
      {"quote", "say \"hi\"", "\"say \"\"hi\"\"\"", "\"say \\\"hi\\\"\""},
      {"backslash", "a\\b", "a\\b", "\"a\\\\b\""},
      {"tab and line ends", "a\tb\r\nc", "a b  c", "\"a b  c\""},
      {"control",
       std::string("a\x01"
                   "b\x1f"
                   "c\x7f",
                   6),
       "a?b?c?", "\"a?b?c?\""},
      {"high bytes", "caf\xc3\xa9 \xff", "caf?? ?", "\"caf?? ?\""},
      {"trimmed", "  AO2  ", "AO2", "\"AO2\""},
      {"inner blanks kept", "A  B", "A  B", "\"A  B\""},
      {"only blanks", "   ", "", "null"},
      {"only line ends", "\r\n", "", "null"},
      {"quote alone", "\"", "\"\"\"\"", "\"\\\"\""},
  };
  for (const TextCase &c : cases) {
    SCOPED_TRACE(c.name);
    SFC_report r = Fresh();
    std::snprintf(r.comment, sizeof r.comment, "%s", c.text.c_str());
    const std::string csv_line = Line(&r, false);
    std::vector<Field> fields;
    ASSERT_TRUE(rows_check::ReadCsv(csv_line, fields)) << csv_line;
    ASSERT_EQ(fields.size(), kColumns.size() - 1);
    // The comment is the second last field; its written form ends the line
    // before ",0" (the flag).
    const std::string written = csv_line.substr(0, csv_line.size() - 2);
    EXPECT_EQ(written.substr(written.size() - std::strlen(c.csv)), c.csv);
    const std::string json_line = Line(&r, true);
    EXPECT_NE(json_line.find(std::string("\"comment\":") + c.json + ","), std::string::npos)
        << json_line;
    std::vector<Member> members;
    EXPECT_TRUE(rows_check::ReadJson(json_line, members)) << json_line;
  }
}

// Purpose: every byte value in every text field of the record (and a record
// whose texts fill their fields without a terminator) gives one valid line with
// the right number of fields.
TEST_F(PrintRows, EveryByteValueGivesValidRows) {
  Input(true);
  for (int b = 0; b < 256; ++b) {
    SCOPED_TRACE(b);
    SFC_report r = Fresh();
    std::memset(r.id, b, sizeof r.id);  // no terminator
    std::memset(r.area, b, sizeof r.area);
    std::memset(r.weather, b, sizeof r.weather);
    std::memset(r.comment, b, sizeof r.comment);
    std::memset(r.cld_cover, b, sizeof r.cld_cover);
    std::memset(r.cld_type, b, sizeof r.cld_type);
    r.cld_low = static_cast<char>(b);
    char raw[SFC_DATA_SIZE];
    std::memset(raw, b == 0 ? 'x' : b, sizeof raw);  // no terminator either
    SFC_rows_set_raw(raw);
    EXPECT_EQ(Csv(&r).size(), kColumns.size());
    SFC_rows_set_raw(raw);
    EXPECT_EQ(Json(r).size(), kColumns.size());
  }
}

// ---- observation time -------------------------------------------------------------------

struct ObsCase {
  Date file;
  int hhmm;
  const char *expected;  // "" for none
};

constexpr int M = DATE_MISSING;

Date Hour(int year, int month, int day, int hour) {
  return Date{year, month, day, M, M, hour, M, M};
}

// Purpose: the day of the observation is the one that puts it nearest to the
// file's hour: a time more than 12 hours later belongs to the day before, more
// than 12 hours earlier to the day after; month, year and leap-day boundaries;
// missing or impossible times and undated files give none.
TEST_F(PrintRows, ObservationTimeTable) {
  const ObsCase cases[] = {
      {Hour(2020, 1, 6, 0), 2351, "2020-01-05T23:51Z"},
      {Hour(2020, 1, 6, 0), 20, "2020-01-06T00:20Z"},
      {Hour(2020, 1, 6, 0), 0, "2020-01-06T00:00Z"},
      {Hour(2020, 1, 6, 0), 1200, "2020-01-06T12:00Z"},  // exactly 12 hours: the same day
      {Hour(2020, 1, 6, 0), 1201, "2020-01-05T12:01Z"},
      {Hour(2020, 1, 6, 12), 1155, "2020-01-06T11:55Z"},
      {Hour(2020, 1, 6, 12), 1305, "2020-01-06T13:05Z"},
      {Hour(2020, 1, 6, 12), 1, "2020-01-06T00:01Z"},
      {Hour(2020, 1, 6, 23), 5, "2020-01-07T00:05Z"},  // early report in a late file
      {Hour(2020, 1, 1, 0), 2355, "2019-12-31T23:55Z"},
      {Hour(2019, 12, 31, 23), 10, "2020-01-01T00:10Z"},
      {Hour(2020, 3, 1, 0), 2350, "2020-02-29T23:50Z"},
      {Hour(2021, 3, 1, 0), 2350, "2021-02-28T23:50Z"},
      {Hour(2020, 1, 6, 0), 2359, "2020-01-05T23:59Z"},
      {Hour(2020, 1, 6, 0), -9999, ""},
      {Hour(2020, 1, 6, 0), -1, ""},
      {Hour(2020, 1, 6, 0), 2400, ""},
      {Hour(2020, 1, 6, 0), 1260, ""},
      {Hour(2020, 1, 6, 0), 123456, ""},
      {Hour(M, 1, 6, 0), 2351, ""},
      {Hour(2020, 1, 6, M), 2351, ""},
      {Date{2020, 1, 6, M, M, 0, 30, 0}, 1231, "2020-01-05T12:31Z"},  // file at 00:30
  };
  for (const ObsCase &c : cases) {
    SCOPED_TRACE(std::to_string(c.hhmm) + " " + c.expected);
    char out[SFC_OBS_TIME_SIZE] = "junk";
    EXPECT_EQ(SFC_rows_obs_time(&c.file, c.hhmm, out, sizeof out), *c.expected ? 1 : 0);
    EXPECT_STREQ(out, c.expected);
  }
  char small[8] = "junk";
  const Date d = SampleHour();
  EXPECT_EQ(SFC_rows_obs_time(&d, 2351, small, sizeof small), 0);
  EXPECT_STREQ(small, "");
  EXPECT_EQ(SFC_rows_obs_time(nullptr, 2351, small, sizeof small), 0);
}

// ---- raw text ---------------------------------------------------------------------------

// Purpose: the raw text is squeezed and trimmed, belongs to the next row only,
// and a row without one has an empty "raw".
TEST_F(PrintRows, RawTextIsSqueezedAndTakenOnce) {
  Input(true);
  const SFC_report r = KTVC();
  SFC_rows_set_raw("  KTVC   052353Z \r\n     24008KT  ");
  EXPECT_EQ(Csv(&r).back().text, "KTVC 052353Z 24008KT");
  EXPECT_EQ(Csv(&r).back().text, "");
  EXPECT_EQ(Json(r).at("raw").kind, Member::kNull);
}

// ---- variable lists -------------------------------------------------------------------------

// Purpose: with a variable list the columns are its variables, named by the
// variable and the unit of the values (the list's units, else the unit the
// value is held in: "%" as "pct", "/" as "_", "^" dropped), texts by the name
// alone, a name met twice numbered, "obs_time" and "raw" as those columns, signs
// that a format would quote or escape as "_".
TEST_F(PrintRows, ListColumnNames) {
  Input(true);
  VAR_setup(nullptr,
            "id,obs_time,temp:C,dewp,rhum,wspd:m/s,wchilf,alt,cldcv,fr,txtwx,otime,raw,nosuch,"
            "temp:C,TEMP:c,odd\"na\\me");
  const std::vector<std::string> expected = {
      "id",          "obs_time",  "temp_C",   "dewp_F",   "rhum_pct", "wspd_m_s",
      "wchilf_W_m2", "alt_in_Hg", "cldcv",    "fr",       "txtwx",    "otime",
      "raw",         "nosuch",    "temp_C_2", "TEMP_c_3", "odd_na_me"};
  EXPECT_EQ(Texts(Csv(nullptr, true)), expected);
  // No name needs quoting: the header is the names joined by commas.
  std::string joined;
  for (const std::string &name : expected) joined += (joined.empty() ? "" : ",") + name;
  EXPECT_EQ(Line(nullptr, false, true), joined);
}

// Purpose: the values of a list: converted and derived as in format 6 but not
// cut or rounded to a print format; texts whole; the cover of no ceiling and an
// unknown name missing.
TEST_F(PrintRows, ListValuesOfARealReport) {
  Input(true);
  VAR_setup(nullptr,
            "id,obs_time,otime,temp:C::%3.0f,dewp:C,dewp,rhum,wspd:m/s,vis:km,cldcl,cldcv,fr,"
            "saowx,txtwx,rmk,prec6:mm,nosuch,raw");
  SFC_report r = KTVC();
  SFC_rows_set_raw(kKTVC);
  const std::map<std::string, Member> json = Json(r, true);
  const std::map<std::string, std::string> expected = {
      {"id", "KTVC"},           {"obs_time", "2020-01-05T23:53Z"},
      {"otime", "2353"},        {"temp_C", "0"},
      {"dewp_C", "-2.2000005"},                            // back from 28.039999 F
      {"dewp_F", "28.039999"},  {"rhum_pct", "85.10092"},  // format 6 with "%.2f": 85.10
      {"wspd_m_s", "4.115556"},                            // 8 knots
      {"vis_km", "1.609344"},   {"cldcl_100ft", "14"},
      {"cldcv", "OVC"},         {"fr", "IFR"},
      {"saowx", "S-"},          {"txtwx", "light snow"},
      {"prec6_mm", "2.286"},    {"raw", kKTVC},
  };
  for (const auto &[name, value] : expected) EXPECT_EQ(json.at(name).value, value) << name;
  EXPECT_EQ(json.at("nosuch").kind, Member::kNull);
  EXPECT_EQ(json.at("otime").kind, Member::kNumber);
  EXPECT_NE(json.at("rmk").value.find("SNINCR 1/3"), std::string::npos);

  // No cloud layer: the cover is missing (format 6 writes "M"), the height too;
  // a clear sky is a cover of its own.
  const std::map<std::string, Member> none = Json(Fresh("KNON"), true);
  EXPECT_EQ(none.at("cldcv").kind, Member::kNull);
  EXPECT_EQ(none.at("cldcl_100ft").kind, Member::kNull);
  EXPECT_EQ(none.at("fr").value, "VFR");
  SFC_report clear = Fresh("KCLR");
  clear.num_cld = 1;
  clear.cld_cover[0] = 'C';
  EXPECT_EQ(Json(clear, true).at("cldcv").value, "CLR");
}

// Purpose: a value whose conversion cannot be made (no units file) is missing,
// where format 6 writes 0.
TEST_F(PrintRows, UnconvertibleValueIsMissing) {
  Input(false);
  RES_put("file_path", "/nonexistent/dir");
  VAR_setup(nullptr, "temp:C,temp");
  const SFC_report r = KTVC();
  const std::vector<Field> csv = Csv(&r, true);
  ASSERT_EQ(csv.size(), 2u);
  EXPECT_EQ(csv[0].text, "");
  EXPECT_EQ(csv[1].text, "32");
}

// ---- dispatch -------------------------------------------------------------------------------

// Purpose: line formats 7 and 8 through SFC_print_line: the header only for CSV,
// the variable list of the "variable" resource when there is one, nothing at a
// message class that is not shown.
TEST_F(PrintRows, DispatchOfTheLinePrinter) {
  Input(false);
  const SFC_report r = KTVC();
  SFC_set_print(SFC_PRINT_CSV);
  EXPECT_EQ(Lines(Capture([] { SFC_print_line(M_PRINT & M_SUB_C, nullptr); })).at(0).substr(0, 12),
            "obs_time,id,");
  EXPECT_EQ(Lines(Capture([&] { SFC_print_line(M_PRINT & M_SUB_A, &r); })).size(), 1u);
  MESS_set(MESS_USER_SET, 0);
  EXPECT_EQ(Capture([&] { SFC_print_line(M_PRINT & M_SUB_A, &r); }), "");
  MESS_reset_state();

  SFC_set_print(SFC_PRINT_JSON);
  EXPECT_EQ(Capture([] { SFC_print_line(M_PRINT & M_SUB_C, nullptr); }), "");
  EXPECT_EQ(Lines(Capture([&] { SFC_print_line(M_PRINT & M_SUB_A, &r); })).at(0).substr(0, 12),
            "{\"obs_time\":");

  RES_put("variable", "id,temp:C");
  EXPECT_EQ(Capture([&] { SFC_print_line(M_PRINT & M_SUB_A, &r); }),
            "{\"id\":\"KTVC\",\"temp_C\":0}\n");
  SFC_set_print(SFC_PRINT_CSV);
  EXPECT_EQ(Capture([] { SFC_print_line(M_PRINT & M_SUB_C, nullptr); }), "id,temp_C\n");
  EXPECT_EQ(Capture([&] { SFC_print_line(M_PRINT & M_SUB_A, &r); }), "KTVC,0\n");
}

}  // namespace
