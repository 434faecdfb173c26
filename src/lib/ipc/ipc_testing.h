// Test hooks of the companion link.
#pragma once

/// Test hook: cancels the alarm, restores the earlier alarm handler, the time-out and
/// the time-out handler, and forgets the queue.
void MQ_reset_state();
