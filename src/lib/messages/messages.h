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

using M_type = std::uint32_t;

constexpr M_type M_PRINT = 0xF;
constexpr M_type M_ERROR = 0x30;
constexpr M_type M_WARN = 0xC0;
constexpr M_type M_MESS = 0xF00;
constexpr M_type M_OUT1 = 0xF000;
constexpr M_type M_OUT2 = 0xF0000;
constexpr M_type M_OUT3 = 0xF00000;
constexpr M_type M_OUT4 = 0xF000000;
constexpr M_type M_DEBUG = 0xF0000000;

/// Prints `mess` (a printf format) when `type` is shown: to the copy file, the log
/// file and the console. Returns 1 when the console got it, else 0.
int MESS_print(M_type type, const char *mess, ...) __attribute__((format(printf, 2, 3)));
/// Holds the screen with `mess` until a character is read (not in batch mode,
/// without paging, or when `type` is not shown). Returns 0.
int MESS_hold(M_type type, const char *mess);
/// Prints the banner "      %s (Ver %s)\n\n" with class 3840. Returns 0.
int MESS_print_prog(const char *string);
namespace mess_detail {
/// The classes that are shown (read inline by MESS_check on hot paths).
extern M_type level;
}  // namespace mess_detail

/// 1 when `level` shares a bit with the message level.
inline int MESS_check(M_type level) { return (level & mess_detail::level) ? 1 : 0; }
/// How many times the user has set the level.
int MESS_check_set();
M_type MESS_get();
int MESS_get_max_lines();
/// Changes the level: codes up to 4 are user settings, 16 and up program defaults
/// that yield to a user setting; 0/10/20 set (lower bits filled), 1/11/21 add,
/// -1/9/19 remove. Returns 0.
int MESS_set(int oper, M_type level);
/// Applies a level text ("mess", "+debug", "warn", "fi=log", "page", "line=30", ...).
int MESS_set_str(const char *str);
/// Opens the copy file (closing any earlier one). Returns 0.
///
/// Output that cannot be written ends the program with status 1 after one message naming the output and the system's reason: a copy or log file
/// that cannot be opened or written, standard output that cannot be written (a
/// closed pipe ends it without a message).
int MESS_file(const char *filename, const char *access);
/// Closes the copy file. Returns 0.
int MESS_file_close();
/// Closes the copy file and flushes the log file and standard output, with the
/// write-error ending above. Returns 0. Called before the program ends.
int MESS_flush();
int MESS_set_out(int val);
int MESS_set_page(int val);

/// Test hook: closes the copy and log files and restores the initial state.
void MESS_reset_state();
/// Test hook: what a write error calls instead of ending the program (null: end
/// it). When the hook returns, the output that failed is dropped and the run goes on.
void MESS_set_write_failed_exit(void (*hook)(int status));

// ---- flags -----------------------------------------------------------------

constexpr int FLAG_NUM = 30;
constexpr int FLAG_DEVICE = 2;
constexpr int FLAG_DOMAIN = 5;
constexpr int FLAG_PLOT_TYPE = 11;
constexpr int FLAG_FILE_PARAM = 15;
constexpr int FLAG_BATCH = 19;
constexpr int FLAG_HELP = 20;

int FLAG_get(int flag);
long FLAG_getl(int flag);
int FLAG_set(int flag, int value);
int FLAG_setl(int flag, long value);
int FLAG_reset(int value);
int FLAG_resetl(long value);
int FLAG_batch();
int FLAG_set_batch(int val);
int FLAG_help();

constexpr int PLOT_NUM = 13;
int FLAG_setplot(int type, int val);
int FLAG_getplot(int type);
int FLAG_resetplot(int val);
