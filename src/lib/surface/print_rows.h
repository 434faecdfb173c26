// Rows for data tools: a decoded report as one CSV record (line format 7,
// "pcsv") or one JSON object on a line of its own (line format 8, "pjson"), for
// pandas, R, DuckDB and the like. Nothing is cut to a column width.
//
// Columns without a variable list: "obs_time", the observation time in ISO 8601
// UTC ("2020-01-05T23:51Z", from the input file's date and the report's time,
// see SFC_rows_obs_time), then every field of the SFC_report in record order,
// named by the field (the arrays as cld_height_1 ... cld_height_5, cld_cover_1
// ... cld_cover_5, cld_type_1 ... cld_type_3), in the record's own units; with
// raw input last "raw", the report's raw text with its blanks squeezed.
// With a variable list (var/var.h) the columns are the list's variables, values
// converted and derived as in the variable-list line (surface/print_var.h),
// named by the variable and the unit of its values ("temp_C", "wspd_knt",
// "rhum_pct"; texts and unknown names by the variable alone; a quote, comma,
// backslash or blank of a name as "_", so that no name needs quoting); the
// names "obs_time" and "raw" in the list give those two columns.
//
// Values: a number is the shortest decimal in fixed notation that reads back as
// exactly the single-precision value the program holds (39.92; a value computed
// from others may show the residue of its binary fraction, 4.400001), written
// without the locale (always a dot), so that a reader can repeat any result the
// program derives from it;
// a missing value (-9999, or a value that is not finite) is an empty CSV field
// and a JSON null; texts are trimmed, and an empty text is missing too. Control
// bytes become blanks (tab, line ends) or "?", as do bytes above 127, so every
// row is one line of printable ASCII. CSV fields are quoted only when they hold
// a comma or a quote (RFC 4180: quotes doubled); JSON texts escape the quote and
// the backslash.
// The CSV header is the line of column names; JSON Lines have none.
//
// State (module-level, for the run): the date of the current input file and
// whether it gives raw texts (SFC_rows_set_input), the raw text of the report
// printed next, the column names of the current variable list, the row buffer.
#pragma once

#include <cstddef>

#include "date/date.h"
#include "messages/messages.h"
#include "surface/report.h"

/// Line format of the parameter word "pcsv".
constexpr int SFC_PRINT_CSV = 7;
/// Line format of the parameter word "pjson".
constexpr int SFC_PRINT_JSON = 8;
/// 1 when `type` is one of the two row formats.
inline int SFC_print_is_rows(int type) {
  return type == SFC_PRINT_CSV || type == SFC_PRINT_JSON ? 1 : 0;
}

/// Room for an observation time "YYYY-MM-DDThh:mmZ" and its terminator.
constexpr std::size_t SFC_OBS_TIME_SIZE = 24;

/// The input the next rows come from: the date of the input file (null or a date
/// without year, month, day or hour: no observation times) and whether its
/// reports carry a raw text (1: the "raw" column). Called for each file before
/// its header and rows.
void SFC_rows_set_input(const Date *file_date, int raw_column);

/// The raw text of the report printed next (null: none). Only the next row reads
/// it; the text must live until then.
void SFC_rows_set_raw(const char *text);

/// Prints the row of `report` with message class `level`, or the CSV header when
/// `report` is null (nothing for JSON): CSV unless `json` is 1, the columns of
/// the current variable list when `list` is 1. Returns 0.
int SFC_print_rows(M_type level, const SFC_report *report, int json, int list);

/// The observation time of a report of time `hhmm` (HHMM UTC) in a file of date
/// `file`: the day of the file, or the day before or after when that puts the
/// time nearer to the file's time (a report more than 12 hours later than the
/// file's hour belongs to the day before: 2351 in the file of 00 UTC on the 6th
/// is 23:51 on the 5th). Written into `out` (`size` bytes, SFC_OBS_TIME_SIZE
/// suffice) as "2020-01-05T23:51Z". Returns 1, or 0 with `out` empty when the
/// file's date or the time is missing or out of range.
int SFC_rows_obs_time(const Date *file, int hhmm, char *out, std::size_t size);
