// Raw bulletin reader: cuts raw hourly files of teletype bulletins into single
// reports and classifies them.
//
// A raw hourly file is the text stream of a data feed: bulletins opened by a WMO
// heading ("SAUS70 KWBC 121800") or a feed marker line ("** ..."), followed by
// METAR, SPECI, SA or SP reports of one or more lines, with control characters
// and other text between them. Each SFC_read_raw call returns the next report as
// one text, with its station identifier, its format code and the origin of its
// bulletin. Lines end with LF, CR LF, CR CR LF or a lone CR; a product whose
// line ends are doubled (every line followed by an empty one) reads like the same
// text with single line ends. The classifiers see the first SFC_RAW_LINE_LEN
// characters of a line, and a report takes at most SFC_DATA_LEN characters of it.
// There is one line of lookahead: the line that ended one report is examined first
// by the next call.
//
// State (module-level): the lookahead line, the format announced inside the
// current bulletin by a lone "METAR"/"SPECI" line (`pr_type`), the bulletin time
// (`prhour`, read by the decoders) and the bulletin origin. All of it belongs to
// the file being read: SFC_raw_new_file starts it afresh, and SFC_read_raw does
// so by itself when it is handed a different stream than at the last call.
//
// Errors: the reader prints nothing and never fails. A read that finds no report
// start before the end of the file returns SFC_RAW_NONE with empty outputs.
#pragma once

#include <cstdio>

#include "surface/report.h"

// ---- fixed sizes ---------------------------------------------------------------

/// The classifiers look at this many characters of a line; a longer line is still
/// one line, and the report text takes more of it.
constexpr int SFC_RAW_LINE_LEN = 160;
/// Longest word the classifiers keep (identifier, report word).
constexpr int SFC_RAW_WORD_LEN = 9;
/// Size of a buffer for such a word: one more, for its terminator.
constexpr int SFC_RAW_WORD_SIZE = SFC_RAW_WORD_LEN + 1;
/// Continuation lines joined to a report's first line at most.
constexpr int SFC_RAW_MAX_CONT = 4;

// ---- format codes and bulletin origins -------------------------------------------

/// No report (the format of an empty read).
constexpr int SFC_FMT_NONE = 0;
/// An SA report: SA, RS, SM, NIL, AMOS, corrected SA.
constexpr int SFC_FMT_SA = 1;
/// A METAR report.
constexpr int SFC_FMT_METAR = 2;
/// A special SA report (SP, USP).
constexpr int SFC_FMT_SP = 4;
/// A SPECI report.
constexpr int SFC_FMT_SPECI = 5;

/// A bulletin of the United States collectives (and their islands).
constexpr int SFC_ORIGIN_US = 0;
/// A Canadian bulletin.
constexpr int SFC_ORIGIN_CANADA = 1;
/// A Mexican bulletin.
constexpr int SFC_ORIGIN_MEXICO = 2;
/// Any other bulletin, or none seen yet.
constexpr int SFC_ORIGIN_OTHER = 9;

// ---- line classes (SFC_chk_type) ------------------------------------------------

/// Ends any report before it and starts none: an empty line, an SA/SP heading, a
/// feed marker line of two or more words, a "METAR" line with a date-time group.
constexpr int SFC_LINE_END = -1;
/// Other text: a continuation of the current report, or text between reports.
constexpr int SFC_LINE_TEXT = 0;
// A class above 0 is the format code of the report the line starts.

// ---- results of SFC_read_raw ---------------------------------------------------

/// A report was read and more may follow.
constexpr int SFC_RAW_OK = 0;
/// A report was read and it was the last one of the file.
constexpr int SFC_RAW_LAST = -1;
/// No report: the file ended before a report start. Outputs are empty, format 0.
constexpr int SFC_RAW_NONE = -2;

// ---- classifiers -----------------------------------------------------------------

/// Looks at one raw line for a bulletin heading or feed marker line; at one it
/// sets `*bulletin` (when not null), `prhour` and `pr_type`. A line that begins
/// with the control character 1 or 3 also clears `pr_type`. Returns 0 for a null
/// or empty line, else 1.
int SFC_chk_locate(const char *data, int *bulletin);

/// Classifies one cleaned line: writes its station identifier into `id` and the
/// word after it into `rep_type` (each SFC_RAW_WORD_SIZE bytes). Returns the line
/// class: SFC_LINE_END, SFC_LINE_TEXT or the format code of the report the line
/// starts. A null or empty line gives SFC_LINE_END with `id` and `rep_type`
/// untouched. A lone "METAR" or "SPECI" line sets `pr_type`.
int SFC_chk_type(const char *line, char *id, char *rep_type);

// ---- reading ---------------------------------------------------------------------

/// Reads the next report of `ifile` into `data` (SFC_DATA_SIZE bytes; at most
/// SFC_DATA_LEN characters), its identifier into `id` (SFC_DATA_ID_SIZE bytes)
/// and its format code into `*format`; `*bulletin` gets the origin of the report
/// (the origin of its bulletin, or for a METAR/SPECI of an "other" bulletin the
/// origin its identifier shows). Returns SFC_RAW_OK, SFC_RAW_LAST for the last
/// report of the file, or SFC_RAW_NONE when no report was left (outputs empty,
/// format 0; also for a null argument). A stream that cannot be read counts as
/// ended. The caller stops at SFC_RAW_LAST or SFC_RAW_NONE; the stream's own
/// end-of-file indicator is not a reliable end test, because the final line may
/// still wait in the lookahead when the stream has ended.
int SFC_read_raw(FILE *ifile, char *data, char *id, int *format, int *bulletin);

/// Makes the report text of one report that comes whole from elsewhere (a record of
/// a netCDF file) as the reader makes it from a bulletin line: control and high bytes
/// as blanks (cut at the end), at most SFC_DATA_LEN characters, one blank after it
/// when there is room, the last "=" a blank. Writes `data` (SFC_DATA_SIZE bytes) and
/// returns its length.
int SFC_tidy_report(const char *text, size_t n, char *data);

/// Decodes one report as this reader gives it into `report`, as the program decodes
/// a raw report: `report` initialised, area "UN", then the SA decoder for
/// SFC_FMT_SA and SFC_FMT_SP, the METAR decoder for SFC_FMT_METAR and SFC_FMT_SPECI;
/// a report of another format stays all missing.
void SFC_decode_raw(const data_struct &rep, SFC_report *report);

/// Starts the reader afresh for a newly opened file: empty lookahead, origin
/// "other" (9), `pr_type` 1, `prhour` 0.
void SFC_raw_new_file();

/// 1 when the current file can give no more reports (its end was reached and no
/// line waits in the lookahead), else 0.
int SFC_raw_eof();

/// Time of the current bulletin as HHMM, from its heading (0 before the first).
int SFC_get_prhour();

/// Sets the bulletin time the decoders read: gathering mode decodes a kept report
/// with the time of the bulletin it came under; tests of the decoders set it too.
void SFC_set_prhour(int hhmm);

// Test hooks and the reader's internals that tests use: surface/raw_reader_testing.h.
