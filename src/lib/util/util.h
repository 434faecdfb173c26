// String and system utilities shared by every module: in-place text editing,
// case-insensitive comparison, splitting a text into a list, line reading, pauses
// and the version text. The ground layer: util includes no other module (the
// prompts live in resources/prompt.h, ZYP_exit in messages/messages.h).
//
// Texts are plain zero-terminated byte strings edited in place; characters are
// single bytes. Null texts are accepted wherever a result for them is stated.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// ---- in-place editing ----------------------------------------------------

/// Every `tar` becomes `fill`. Returns 0.
int fill_string(char *string, char tar, char fill);
/// Every `tar` is removed and the rest closes up. Returns 0.
int strip_string(char *string, char tar);
/// Removes every newline and carriage return anywhere, then trailing blanks. Returns 1.
int wstrim_string(char *string);
/// Removes trailing blanks (the space character only). Returns 0.
int trim_string(char *string);
/// Removes trailing carriage returns. Returns 0.
int trim_cr_string(char *string);
/// Removes trailing blanks, then reduces every run of blanks to one (a leading run too). Returns 0.
int strip_spaces(char *string);
/// Removes every backslash; the character after it stays unexamined. Returns 0.
int strip_escape(char *string);
/// Lowers A-Z. Returns 0 for a null or empty text, else 1.
int low_string(char *string);
/// Prepares a raw bulletin line: trailing control bytes are cut off, the last kept
/// character becomes a blank when it has the high bit, and every earlier control or
/// high byte becomes a blank. Returns 0 for a null or empty text, else 1.
int clean_line(unsigned char *line);
/// As clean_line, for the first `n` bytes of `line`, which may hold NUL bytes (a
/// raw line read by count): trailing control bytes, NULs included, become NULs, an
/// earlier NUL a blank like any control byte. Bytes from `line[n]` on are not read.
/// Returns 0 for a null text or `n` of 0, else 1.
int clean_line_n(unsigned char *line, std::size_t n);
/// Appends `s2` so that `s1` holds at most `m` characters. Returns 1 when something
/// was appended, 0 when either text is null or nothing fitted.
int strmcat(char *s1, const char *s2, int m);

// ---- comparison ----------------------------------------------------------

/// Case-insensitive compare: lowered s1 char minus lowered s2 char at the first
/// difference (0 when equal); 1 when either text is null.
int stricmp(const char *s1, const char *s2);
/// The same over at most `n` characters; at least one character is compared.
int strnicmp(const char *s1, const char *s2, int n);

// ---- lists -----------------------------------------------------------------

/// A parsed list: the items of a text split at a delimiter.
using ParsedList = std::vector<std::string>;

/// Splits `string` at every `delim` into `items` (cleared first). Trailing delimiters
/// are dropped; empty inner items and blanks around items remain; a text of nothing
/// but delimiters gives one empty item. Returns -1 for a null or empty text, else 0.
int parse_string(const char *string, char delim, ParsedList &items);
/// Releases a parsed list. Returns 0.
int free_parsed_array(ParsedList &items);

// ---- reading lines -------------------------------------------------------

/// Reads the next line (at most `len` characters; `string` holds len+1). The newline
/// stays in the stream and is skipped by the next call; a longer line continues on
/// the next call. Returns the number of characters stored (0 for an empty line) or
/// -1 at the end of the file.
int fgetnline(FILE *ifile, char *string, int len);
/// As fgetnline, but returns 1 for a line, 0 for an empty line and -1 at the end.
int fgetstring(FILE *ifile, char *string, int len);

// ---- process ------------------------------------------------------------------

/// Sleeps `secs` seconds; -1 at once for 0 or less, else 0.
int ZYP_sleep(float secs);
/// Total seconds slept by ZYP_sleep.
float ZYP_slept();
/// The library's version text.
const char *ZYP_version();
