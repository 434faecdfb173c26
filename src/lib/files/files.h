// File naming conventions, file times and stepping, and file name entry.
//
// A naming convention maps a name ("sfc_dat", "sfc_par", ...) to a file name template
// read from the naming-convention file (resource "name_conv", default "name_conv", in
// the directory of resource "file_path"). Each line of that file holds a convention
// name, its template, a header template ("-" for none) and optionally a minimum file
// size in bytes; lines starting with "#" are comments.
//
// Template language: literal text ("{" and "}" are dropped, a blank becomes "_") and
// directives "%" [number N] character:
//   %% "%"   %Y %y %m %b %d %j %h %n  year, 2-digit year, month, month name, day,
//   day of year, hour, minute (rounded down to a multiple of N)   %e the extension of a
//   partly matched name   %C %D %F %R %G %I %W %T %M %S  the directory of a path
//   resource ("con_path", "data_path", "file_path", "raw_path", "grid_path",
//   "image_path", "watch_path", "text_path", "model_path", "sat_path")
//   %{name} the value of resource "name"   %k any other character: the value of key k
//   ("0" when empty; with N its first N characters).
// A directive number of 0 counts as no number.
//
// The module keeps one naming state per process (template, keys, fixed date fields,
// the date of the last file named) and the stepping state of the driver loop.
// Nothing is thrown; failures are status results and warning messages.
#pragma once

#include <cstdint>

#include "date/date.h"

/// Size of the file name buffers handed to this module (159 characters and the end).
constexpr int FILE_NAME_SIZE = 160;
/// Size of a key buffer for FILE_get_key (29 characters and the end).
constexpr int FILE_KEY_SIZE = 30;
/// Size of the extension of a partly matched convention name (19 characters and the end).
constexpr int FILE_EXT_SIZE = 20;
/// Size of the answer buffer of the file prompt (79 characters and the end).
constexpr int FILE_ANSWER_SIZE = 80;

// ---- naming conventions ------------------------------------------------------------

/// Selects the naming convention: "none" clears it (returns 0); "@template" uses the
/// rest of the name as template (returns 1); ":k=value" parts set keys and are cut
/// off; otherwise the name is looked up in the naming-convention file, exactly or as
/// the beginning of the name (the rest after the last "_" becomes the extension).
/// Returns 1 when an entry matched, else 0 (the name is then its own template).
int FILE_set_name(const char *name);
/// Stores the first 29 characters of `value` under key `key`, blanks turned into "_".
/// Returns 0.
int FILE_set_key(int key, const char *value);
/// Copies the value of key `key` into `buf` (FILE_KEY_SIZE bytes). Returns its length.
int FILE_get_key(int key, char *buf);
/// Saves the selected convention, its extension and period and the last file name.
/// Returns 0.
int FILE_save_name_conv();
/// Brings back what FILE_save_name_conv saved. Returns 0.
int FILE_restore_name_conv();
/// Builds the file name of `date` (null: the date of the last file named) from the
/// template into `out` (FILE_NAME_SIZE bytes). Returns 0 when the template was
/// expanded, 1 when the output is the last file name, "-" or "filename" instead.
int FILE_set_date(const Date *date, char *out);
/// Lists the data files that fit the template ("ls -x pattern" through the shell).
/// Returns the status of the shell.
int FILE_list_file();

/// The selected template ("" when no convention is selected).
const char *FILE_get_template();
/// The extension of a partly matched convention name.
const char *FILE_get_ext();
/// The smallest size a found file must exceed (latest-file search).
int FILE_get_min_size();
/// The file period in seconds worked out by the last expansion or reading of a name;
/// -9999 when the template has no day, hour or minute directive.
int FILE_get_late_off();
/// When 1, the header template of the convention is used instead of the template.
int FILE_set_header(int header);

// ---- file times and stepping --------------------------------------------------------

/// Sets the fixed date fields and steps (the "hour" resource); null clears them.
int FILE_set_time(const Date *date);
/// The fixed date fields and steps.
const Date &FILE_get_set_time();
/// Clears year, month, day, hour and minute of the fixed fields.
int FILE_reset_time();
/// Copies the date of the last file named into `date`.
int FILE_get_date(Date *date);
/// Names the current or latest file into `out` from a text such as "la", "la#24",
/// "3", "+1", "1d6:30", "#2026010712la" (null means "la"). The clock is the
/// environment variable "zypcurtime" ("[#]YYYYMMDDhhmm") when set. Returns the chosen
/// time in seconds, rounded down to a whole file period.
std::int64_t FILE_set_current(const char *text, char *out);
/// Names the file of `date` plus `offset` seconds into `out`; the date is normalised
/// in place. Returns the offset in file periods.
int FILE_set_date_off(Date *date, int offset, char *out);
/// The file period when known, else 100000 seconds.
int FILE_get_offset();
/// The span of "num_hour" ("[-]h[:m][,h[:m]]") in seconds, or the default span.
int FILE_num_hour();
/// The step of "num_hour" in seconds, or the file period when none is given.
int FILE_get_skip();
/// Starts stepping from `date` (null: the date of the last file named).
int FILE_first(const Date *date);
/// The next file name into `out`: 1, or 0 when there are no more.
int FILE_get_next(char *out);
/// The span in seconds when stepping, else the number of "filename" values less one;
/// non-zero means several files are read.
int FILE_get_num_file();
/// The number of file names FILE_get_next has still to give (all of them right
/// after FILE_first); changes nothing.
int FILE_count_files();

// ---- file name entry ------------------------------------------------------------------

/// Chooses the first file: from "filename" ("list" lists and exits), "current", batch
/// mode (the latest file) or the prompt. Copies the name into `out` (FILE_NAME_SIZE
/// bytes, may be null). Returns 1 when the file exists, else 0.
int FILE_get_file_only(const char *prompt, char *out);
/// Reads a typed name against the template into `out` (FILE_NAME_SIZE bytes):
/// completes it, takes the date from it ("name#YYYYMMDDhhmm" fixes date fields) and
/// works out the file period. "@name" is taken literally. Returns 0.
int FILE_set_file(const char *typed, char *out);
