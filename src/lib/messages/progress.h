// A one-line progress indicator on standard error for runs over many files:
// "3 of 24 files done, 245112 reports/s", redrawn in place at most every
// MESS_PROGRESS_PERIOD seconds and erased at the end of the run (and before any
// message that goes to standard error, which then prints on a clean line).
//
// It shows only when more than one file is visited, standard error is a
// terminal, standard output is not (rows on the screen show the progress by
// themselves, and the line would end up among them), and the message level
// shows anything at all (not "none"). Standard output never sees it.
//
// State (module-level, for the run): whether it shows, the files and reports
// counted, the start time and the time of the last drawing.
#pragma once

namespace mess_detail {
/// 1 while the indicator is on (read inline on the report path).
extern int progress_on;
}  // namespace mess_detail

/// Least time between two drawings, in seconds.
constexpr double MESS_PROGRESS_PERIOD = 0.25;

/// Starts the indicator for a run of `files` input files when it is to show (see
/// above). Returns 1 when it is on, else 0.
int MESS_progress_start(int files);
/// Counts one report read; redraws the line when its time has come.
void MESS_progress_count();
/// Counts one report read when the indicator is on (inline: nearly free when off).
inline void MESS_progress_report() {
  if (mess_detail::progress_on) MESS_progress_count();
}
/// Counts one file done; redraws the line when its time has come.
void MESS_progress_file_done();
/// Erases the line when it is drawn (it comes back at the next drawing).
void MESS_progress_clear();
/// Erases the line and turns the indicator off.
void MESS_progress_end();
