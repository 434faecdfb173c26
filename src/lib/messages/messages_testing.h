// Test hooks of the messages module: resetting its state between tests, catching
// the ending of the program on a write error, and driving the progress indicator.
#pragma once

/// Test hook: closes the copy and log files and restores the initial state (level,
/// paging, flags, plot switches, the progress indicator).
void MESS_reset_state();
/// Test hook: what a write error calls instead of ending the program (null: end
/// it). When the hook returns, the output that failed is dropped and the run goes on.
void MESS_set_write_failed_exit(void (*hook)(int status));

/// Test hook: `err_fd` stands for standard error (where the line is drawn) and
/// `out_fd` for standard output, and `now` (seconds; null: the steady clock) is the
/// clock, from the next MESS_progress_start on.
void MESS_progress_test(int err_fd, int out_fd, double (*now)());
/// Test hook: off, nothing counted, standard error and the steady clock.
void MESS_progress_reset();
