// Converted surface files: files of already decoded reports, one report per record,
// read into SFC_report records, with their header read into SFC_info.
//
// Kinds of file (the value SFC_open reports in *f_type):
//   1, 2  old text form: line 1 the date label, then one report per line in dotted
//         fields ("KDEN   35. 19.1614.008.190.100120F. .P201.")
//   3, 4  new text form: line 1 "ZYPSFC", line 2 the date label, then one report per
//         line in blank-separated fields ending with "$"
//         (in both text forms a line with nothing but white space, before the '$'
//         in the new form, is no record)
//   11    netCDF station form: one record per station along the dimension
//         "station", values packed in integer and float arrays
//   12    netCDF report form: one record per report along the unlimited
//         dimension, one variable per quantity, in metric units
//   5, 51, 41  the writers' other text, tagged text and binary kinds: opened for
//         writing and closed here, never read
// The kind is detected from the first character of the file: a blank or '0' to '2'
// (the hour of a date label) kind 2, 'Z' kind 3, and the netCDF signature ("CDF"
// and a version byte of 1, 2 or 5) kind 11 when the file has a dimension "station",
// else kind 12. Anything else is no converted file.
//
// State (module-level): one converted file is open at a time: its text stream or
// netCDF handle, kind, access mode, the index of the next record, the last record
// read (kept, so that reading it again costs no file access), the header's date,
// and for netCDF the variables found and the file's missing values. SFC_open
// closes any file left open.
//
// Errors: functions return -1 (detection, open, a kind they do not handle, the end
// of the records or a read error) and the caller reports; only a netCDF record that
// the file promises but does not hold (a truncated file) is also reported here, as
// "SFC_read: Unable to read record N of FILE" (class 64), since its -1 looks like
// the end of the file. Values
// that are missing, unreadable or out of their field's range become SFC_MISSING
// (blank for characters); a text line that stops matching its form leaves the rest
// of its fields missing.
#pragma once

#include <cstddef>
#include <string_view>

#include "surface/report.h"

// ---- kinds and access ------------------------------------------------------------

/// The old text form.
constexpr int SFC_CVT_OLD = 2;
/// The old text form's other kind number, read alike.
constexpr int SFC_CVT_OLD_1 = 1;
/// The new text form.
constexpr int SFC_CVT_NEW = 3;
/// The new text form's other kind number, read alike.
constexpr int SFC_CVT_NEW_4 = 4;
/// The writers' text kind (not read).
constexpr int SFC_CVT_TEXT = 5;
/// The writers' tagged text kind (not read).
constexpr int SFC_CVT_TAGGED = 51;
/// The writers' binary kind (not read).
constexpr int SFC_CVT_BINARY = 41;
/// The netCDF station form.
constexpr int SFC_CVT_CDF_STATION = 11;
/// The netCDF report form.
constexpr int SFC_CVT_CDF_REPORT = 12;

/// Access of SFC_open: reading.
constexpr int SFC_CVT_READ = 0;
/// Access of SFC_open: writing a new file.
constexpr int SFC_CVT_WRITE = 1;
/// Access of SFC_open: appending to a file.
constexpr int SFC_CVT_APPEND = 2;

/// What SFC_read fills: the whole report.
constexpr int SFC_CVT_FULL = 0;
/// What SFC_read fills: the identifier only.
constexpr int SFC_CVT_ID = 1;
/// What SFC_read fills: the identifier and the location (latitude, longitude,
/// elevation, WMO number).
constexpr int SFC_CVT_LOCATION = 2;

/// The header line of the new text form.
constexpr const char *SFC_CVT_HEADER = "ZYPSFC";
/// The closing line of the tagged text kind.
constexpr const char *SFC_CVT_TAG_END = "</zypsfc>";
/// Characters of a text line that are read; the rest of a longer line is skipped.
constexpr int SFC_CVT_LINE_MAX = 1023;
/// Characters of the new form's comment group.
constexpr int SFC_CVT_COMMENT_LEN = 69;
/// Characters of the new form's weather word.
constexpr int SFC_CVT_WEATHER_LEN = 19;
/// Largest netCDF file read into memory; a larger regular file is read from the disk.
constexpr std::size_t SFC_CVT_MEMORY_MAX = std::size_t{512} * 1024 * 1024;
/// Identifier characters read from a text line.
constexpr int SFC_CVT_ID_LEN = 10;

// ---- the reader ---------------------------------------------------------------------

/// The kind of the file by its first character (and, for netCDF, its dimensions),
/// or -1 when it is no converted file or cannot be opened.
int SFC_chktype(const char *filename);

/// Opens a converted file, closing one left open. `f_access`: 0 read, 1 write, 2
/// append. When *f_type is 0 it is detected (reading and appending only) and set.
/// Reading positions at the first record; writing creates the file (text and
/// binary kinds, or a netCDF kind). Returns the stream's file descriptor (for a
/// stream without one, as a decompressing stream, a number no descriptor has) or the
/// netCDF identifier, or -1 (nothing open then) for a file that cannot be opened, an
/// unknown kind, or a kind that the access does not allow. netCDF files are read
/// into memory and their header checked before the library reads it.
int SFC_open(const char *filename, int f_access, int *f_type);

/// Fills the header: `datim` the date label (kinds 1 to 4: the label line; 11:
/// "datetime"; 12: "filetime"), `date` decoded from it (it also becomes the file
/// date, whose hour decides where an extreme temperature goes), `num_stat` the
/// number of records (-9999 for text), `file` the file's name, `cmdline` empty.
/// Returns 0; 1 at once for a text file open for writing; -1 when `cvt_fd` is not
/// the open file or its kind is not read here.
int SFC_getinfo(int cvt_fd, SFC_info *info);

/// Reads record *statnum (0-based; -1 the record read last) into `report`, which is
/// initialised first; `rep_type` is SFC_CVT_FULL, SFC_CVT_ID or SFC_CVT_LOCATION.
/// Text files move forward line by line, read the last record again from memory
/// and go back to the first record for a lower index. Returns 0, or -1 past the
/// last record, on a read error, or for a kind or file it cannot read (the report
/// is then left initialised). *statnum is not changed.
int SFC_read(int cvt_fd, SFC_report *report, int rep_type, const int *statnum);

/// Back to the first record (text: after the header lines; netCDF: the counter
/// only). Returns 0, or -1 for another kind or when the text cannot go back.
int SFC_rewind(int cvt_fd);

/// Closes the open file (the tagged kind written gets its closing line). Returns 0,
/// or -1 when `cvt_fd` is not the open file or its kind is not listed.
int SFC_close(int cvt_fd);

// Test hook: surface/cvt_reader_testing.h.

// ---- one text line -------------------------------------------------------------------

/// Reads one record line of the old text form (kinds 1 and 2) into `report`
/// (initialised first); `hour` is the file's hour (-9999 when unknown). Fields are
/// read in order; the first one that does not match ends the line. Returns 0, or
/// -1 when not even an identifier could be read.
int SFC_cvt_parse_old(std::string_view line, int hour, int rep_type, SFC_report *report);

/// The same for one record line of the new text form (kinds 3 and 4); the line ends
/// at its first '$'.
int SFC_cvt_parse_new(std::string_view line, int hour, int rep_type, SFC_report *report);
