// Message output and the process-wide flag table.
//
// Every text a program shows leaves through MESS_print with a message class; the
// process-wide level decides which classes are shown. The module also keeps a copy
// file (the per-station output files), a log file chosen by the level text, paging,
// and the program banner.
//
// Classes: a 32-bit mask in nine groups of bits.
//   print 0xF, error 0x30, warn 0xC0, mess 0xF00, out1 0xF000, out2 0xF0000,
//   out3 0xF00000, out4 0xF000000, debug 0xF0000000.
// Error and warning classes go to standard error, all others to standard output.
#pragma once

#include <cstdint>

/// A set of message classes: a 32-bit mask.
using M_type = std::uint32_t;

/// Plain output: prompts, help, the raw reports (print, parts a to d).
constexpr M_type M_PRINT = 0xF;
/// Errors (standard error).
constexpr M_type M_ERROR = 0x30;
/// Warnings (standard error).
constexpr M_type M_WARN = 0xC0;
/// Progress messages: the banner, "Searching for", the resource list.
constexpr M_type M_MESS = 0xF00;
/// First class of program output (the decoded tables).
constexpr M_type M_OUT1 = 0xF000;
/// Second class of program output.
constexpr M_type M_OUT2 = 0xF0000;
/// Third class of program output.
constexpr M_type M_OUT3 = 0xF00000;
/// Fourth class of program output.
constexpr M_type M_OUT4 = 0xF000000;
/// Traces for the developer.
constexpr M_type M_DEBUG = 0xF0000000;

// Each class has up to four parts, a to d (the final letter of a level word such
// as "debugd"): a class masked with one of these is that part of it alone, e.g.
// `M_DEBUG & M_SUB_D` (0x80000000) or `M_WARN & M_SUB_C` (64, the lesser warnings).
/// Part a of every class.
constexpr M_type M_SUB_A = 0x11111111u;
/// Part b of every class.
constexpr M_type M_SUB_B = 0x22222222u;
/// Part c of every class.
constexpr M_type M_SUB_C = 0x44444444u;
/// Part d of every class.
constexpr M_type M_SUB_D = 0x88888888u;

// ---- operation codes of MESS_set ----------------------------------------------
//
// Three families, each with set (the level becomes the given classes with every
// lower bit filled), add and remove:
//   user settings     count as the user's choice (MESS_check_set);
//   program changes   always applied, not counted;
//   program defaults  applied only while the user has set nothing.
// Any other code changes nothing (codes up to 4 still count as a user setting).

/// User setting: the level becomes these classes and every lower bit.
constexpr int MESS_USER_SET = 0;
/// User setting: these classes are added.
constexpr int MESS_USER_ADD = 1;
/// User setting: these classes are removed.
constexpr int MESS_USER_REMOVE = -1;
/// Program change: the level becomes these classes and every lower bit.
constexpr int MESS_PROGRAM_SET = 10;
/// Program change: these classes are added.
constexpr int MESS_PROGRAM_ADD = 11;
/// Program change: these classes are removed.
constexpr int MESS_PROGRAM_REMOVE = 9;
/// Program default: the level becomes these classes and every lower bit.
constexpr int MESS_DEFAULT_SET = 20;
/// Program default: these classes are added.
constexpr int MESS_DEFAULT_ADD = 21;
/// Program default: these classes are removed.
constexpr int MESS_DEFAULT_REMOVE = 19;

/// Prints `mess` (a printf format) when `type` is shown: to the copy file, the log
/// file and the console. Returns 1 when the console got it, else 0.
int MESS_print(M_type type, const char *mess, ...) __attribute__((format(printf, 2, 3)));
/// Holds the screen with `mess` until a character is read (not in batch mode,
/// without paging, or when `type` is not shown). Returns 0.
int MESS_hold(M_type type, const char *mess);
/// Prints the banner "      %s (Ver %s)\n\n" with class M_MESS. Returns 0.
int MESS_print_prog(const char *string);
namespace mess_detail {
/// The classes that are shown (read inline by MESS_check on hot paths).
extern M_type level;
}  // namespace mess_detail

/// 1 when `level` shares a bit with the message level.
inline int MESS_check(M_type level) { return (level & mess_detail::level) ? 1 : 0; }
/// How many times the user has set the level.
int MESS_check_set();
/// The classes that are shown.
M_type MESS_get();
/// Lines printed between two pauses when paging ("line=N"; 22 by default).
int MESS_get_max_lines();
/// Changes the level with one of the operation codes above (MESS_USER_SET ...).
/// Returns 0.
int MESS_set(int oper, M_type level);
/// Applies a level text ("mess", "+debug", "warn", "fi=log", "page", "line=30", ...).
/// Returns 0; counts as a user setting.
int MESS_set_str(const char *str);
/// Opens the copy file (closing any earlier one). Returns 0.
///
/// Output that cannot be written ends the program with status 1 after one message
/// naming the output and the system's reason: a copy or log file that cannot be
/// opened or written, standard output that cannot be written (a closed pipe ends it
/// without a message).
int MESS_file(const char *filename, const char *access);
/// Closes the copy file. Returns 0.
int MESS_file_close();
/// Closes the copy file and the log file (a log command is waited for) and flushes
/// standard output, with the write-error ending above. Returns 0. Called before the
/// program ends.
int MESS_flush();
/// Where messages go besides the copy file: 1 console and log file, 0 the log file
/// alone, -1 console and a log with a time stamp on each message, 2 console and a log
/// file opened anew for each message. Returns 0.
int MESS_set_out(int val);
/// Paging: 0 no pauses at all, 1 (the initial setting) pauses only where MESS_hold
/// is called, 2 also a pause after every MESS_get_max_lines lines. Returns 0.
int MESS_set_page(int val);
/// Ends the process with `status` after MESS_flush (output that could not be
/// written ends it with status 1 instead), flushing every stream.
[[noreturn]] void ZYP_exit(int status);

// ---- flags -----------------------------------------------------------------
//
// A process-wide table of FLAG_NUM numbered settings that start-up fills from the
// resources (device, domain, plot type, file parameter, batch, help), and the
// switches of the plot elements.

/// Number of flags.
constexpr int FLAG_NUM = 30;
/// Flag of the output device.
constexpr int FLAG_DEVICE = 2;
/// Flag of the plot domain.
constexpr int FLAG_DOMAIN = 5;
/// Flag of the plot type.
constexpr int FLAG_PLOT_TYPE = 11;
/// Flag of the file parameter.
constexpr int FLAG_FILE_PARAM = 15;
/// Flag of batch mode (no pauses, no questions).
constexpr int FLAG_BATCH = 19;
/// Flag of the help request.
constexpr int FLAG_HELP = 20;

/// The flag's value as an int; 0 for a flag number out of range.
int FLAG_get(int flag);
/// The flag's value; 0 for a flag number out of range.
long FLAG_getl(int flag);
/// Sets the flag. Returns 0, -1 for a flag number out of range.
int FLAG_set(int flag, int value);
/// Sets the flag. Returns 0, -1 for a flag number out of range.
int FLAG_setl(int flag, long value);
/// Sets every flag to `value`. Returns 0.
int FLAG_reset(int value);
/// Sets every flag to `value`. Returns 0.
int FLAG_resetl(long value);
/// 1 in batch mode (FLAG_BATCH above 0), else 0.
int FLAG_batch();
/// Sets FLAG_BATCH. Returns 0.
int FLAG_set_batch(int val);
/// 1 when help was asked for (FLAG_HELP above 0), else 0.
int FLAG_help();

/// Number of plot element switches: 1 to 6 the text elements, 0 their sum, 12 the
/// sum of 0 to 11.
constexpr int PLOT_NUM = 13;
/// Sets a switch (12 sets 0 to 11, 0 sets 1 to 6) and recomputes the sums. Returns 0.
int FLAG_setplot(int type, int val);
/// The switch; 0 for a number out of range.
int FLAG_getplot(int type);
/// Sets every switch to `val`. Returns 0.
int FLAG_resetplot(int val);
