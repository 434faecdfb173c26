// Variable lists: a user's variable text (the "variable" resource) turned into a
// list of variable descriptions that the printers walk.
//
// The text language, as far as this program uses it:
//   - items are separated by commas; blanks are skipped; a backslash before a
//     bracket or a comma makes it an ordinary character;
//   - an item is [time:level:]name[:units[:type[:format]]] ("temp:C::%5.1f");
//     the time and level parts count only when the item has more than two parts
//     and its first part reads as a time (VAR_dec_time);
//   - name[units:type:format] is the same as name:units:type:format ("temp[C::%5.1f]");
//   - name(...), name{...} and name<...> make a function, group or vector head
//     entry and process the bracketed text as a nested list;
//   - a name defined in the variable file is replaced by its definition (a name
//     written with a leading "+" never is);
//   - a text that begins with "fi:NAME:" reads its definitions from the file NAME.
//
// Variable file (default: "<program>.var" in the "file_path" directory): one
// definition per line, "name word word definition", where the two middle words
// (the kind of data and a display type) are not read by this program and the
// definition is a variable text; a definition ending in a backslash continues on
// the next line; empty lines and lines beginning with "#" are skipped.
// Variable table ("variable.lup" in the "file_path" directory, read once): one
// row per line, "i1,i2,i3,i4,i5 abbreviation description"; "#" lines are comments.
//
// Limits: at most VAR_MAX entries (further items are dropped after one warning),
// brackets nested at most VAR_NEST_MAX deep, definitions expanded at most
// VAR_BASE_MAX deep and VAR_EXPAND_MAX times per list. Bad input gets a note and
// keeps the entries made so far.
//
// State (module-level, for the run): the list and its count, the nesting depths,
// the stack of base settings, the definitions of the open variable file and the
// variable table. VAR_reset_state forgets all of it.
#pragma once

#include <cstdio>
#include <string>

/// Entries of a list.
constexpr int VAR_MAX = 60;
/// Name, 19 characters.
constexpr int VAR_NAME_SIZE = 20;
/// Output units, 14 characters.
constexpr int VAR_UNITS_SIZE = 15;
/// Print format, 100 characters.
constexpr int VAR_FORMAT_SIZE = 101;
/// Time and level units, 4 characters.
constexpr int VAR_TUNITS_SIZE = 5;
/// Variable-table numbers per entry.
constexpr int VAR_NUM_IND = 5;
/// Base settings stack: definition depth.
constexpr int VAR_BASE_MAX = 10;
/// Bracket nesting depth.
constexpr int VAR_NEST_MAX = 16;
/// Definition expansions per list.
constexpr int VAR_EXPAND_MAX = 1000;
/// Rows of the variable table.
constexpr int VAR_TABLE_MAX = 750;
/// Table abbreviation, 9 characters.
constexpr int VAR_ABBR_SIZE = 10;
/// Table description, 49 characters.
constexpr int VAR_DESC_SIZE = 50;
/// Characters of one definition.
constexpr int VAR_DEF_MAX = 4000;

/// Nesting marks: the last digit of `flag` for head entries.
constexpr int VAR_MARK_FUNC = 2;
/// Nesting mark of a group head.
constexpr int VAR_MARK_GROUP = 5;
/// Nesting mark of a vector head.
constexpr int VAR_MARK_VECT = 6;

/// Type of an entry whose name begins with "#".
constexpr int VAR_TYPE_NUMBER = 40;

/// One variable of a list.
struct VAR_data {
  int type;                      // display type (VAR_dec_type), -9999 none
  char name[VAR_NAME_SIZE];      // the name as written
  char units[VAR_UNITS_SIZE];    // output units; empty: no conversion
  int var[VAR_NUM_IND];          // numbers of the variable table, -9999 each
  int tstat;                     // 1 when the time was decoded
  int time;                      // kind x 1000000 + range hours x 1000 + hour
  char tunits[VAR_TUNITS_SIZE];  // time units
  int lstat;                     // 1 when the level was decoded
  int ltype;                     // level type
  int level;                     // level value
  char lunits[VAR_TUNITS_SIZE];  // level units
  char format[VAR_FORMAT_SIZE];  // print format of the value
  int flag;                      // 10 x function depth + group depth (or mark); -1 plot element
};

/// One row of the variable table.
struct VAR_desc {
  int ind[VAR_NUM_IND];
  char abbr[VAR_ABBR_SIZE];
  char name[VAR_DESC_SIZE];
};

/// Opens the variable file `file` (joined to "file_path"; the default
/// "<program>.var" when null or empty) and reads its definitions, forgetting
/// those of an earlier file. Returns 1, or 0 after "VAR_open_file: Unable to open
/// var file: %s\n" (class M_WARN & M_SUB_C) with no definitions.
int VAR_open_file(const char *file);
/// Reads the definitions of an open variable file (as VAR_open_file does),
/// forgetting earlier ones. Returns the number of definitions.
int VAR_read_file(std::FILE *file);

/// Builds the list from `var_str` (a leading "fi:NAME:" opens the variable file
/// NAME; so does a non-empty `filename`). Returns 1 when at least one entry has a
/// non-negative flag, else 0 after the note "Unable to determine variables\n"
/// (class M_DEBUG & M_SUB_C).
int VAR_setup(const char *filename, const char *var_str);

/// The list (VAR_MAX entries, VAR_get_num of them in use).
const VAR_data *VAR_get_vars();
/// Entries of the list in use.
int VAR_get_num();
/// How many lists have been built in this process (never reset): a printer that
/// prepares something per entry prepares it again when this changes.
long VAR_get_builds();

/// Copies the definition of `name` (any case) from the variable file into `str`.
/// Returns 1 when found, else 0 (`str` emptied).
int VAR_lookup(const char *name, std::string &str);

/// The display type of a type word (any case), or -1 for any other word.
int VAR_dec_type(const char *str);

/// Decodes a time text into `time` (kind x 1000000 + range hours x 1000 + hour):
///   "anal[-H[kind]]" hour 0 of an analysis, over H hours (kinds "rng" 2, "avg" 3,
///       "acc" 4, "dif" 5, "max" 6, "min" 7, "iavg" 13, "var" 18, "uavg" 23, any
///       other 2);
///   "time" -1, "init" -2, "in" -3, "miss" -9999;
///   "hN" N hours, "dN" N days, "eN" N and a half days, "Nday", "N.5day", "N" hours.
/// Hours beyond 999 are cut to 999. Returns 1 when the text is a time, else 0 with
/// `time` -9999. `tunits` (VAR_TUNITS_SIZE) gets "hr" or "".
int VAR_dec_time(const char *str, int *time, char *tunits);
/// Decodes a level text: "sfc" (type 1, level 0), "msl" (102, 0), a whole number
/// (type 100, the number). Returns 1 when decoded, else 0 with both -9999.
int VAR_dec_level(const char *str, int *ltype, int *level, char *lunits);

/// The variable table (read from "variable.lup" at the first VAR_setup; a missing
/// table gives the warning "VAR_setup: Unable to open variable table: %s\n",
/// class M_WARN & M_SUB_C, once, and an empty table).
const VAR_desc *VAR_get_table(int *num);
