// The link to the companion display program ("ROVedoz" in messages): the client side
// of a System V message queue that the companion created.
//
// Every message carries 120 bytes of text: a control character, then a zero-
// terminated text of at most 118 characters. Messages to the companion have type 1
// and the control character '0' plus the client's connection number ('/' for the
// connection request, number -1). Messages to a client have its connection number as
// type (2 while connecting) and the control character '0' plus a status: 0 means more
// lines of the same answer follow, any other status ends the answer, '-' (status -3)
// means that the companion is not running its queue service.
//
// Every wait on the queue runs under a time-out (20 seconds): when it passes, the
// program prints "Queue not responding!!" and ends with status 7. The alarm signal
// only records that the time is up; the waits, which the signal interrupts, then call
// the time-out handler outside the signal.
#pragma once

#include <cstddef>
#include <string>

/// Size of a message's text area.
constexpr int MQ_TEXT_SIZE = 124;
/// Bytes every message carries: control character, text, terminating zero.
constexpr int MQ_MSG_SIZE = 120;
/// Longest text of a message.
constexpr int MQ_TEXT_MAX = MQ_MSG_SIZE - 2;
/// Seconds a wait on the queue may last.
constexpr unsigned MQ_TIMEOUT = 20;
/// Exit status after a time-out.
constexpr int MQ_TIMEOUT_STATUS = 7;
/// Type of every message to the companion.
constexpr long MQ_TO_COMPANION = 1;
/// Type of the answers to connection requests.
constexpr long MQ_CONNECT_TYPE = 2;
/// Connection number of the connection request.
constexpr int MQ_CONNECT_ID = -1;
/// Status of a connection answer that carries a connection number.
constexpr int MQ_CONNECTED = 2;
/// Status of the control character '-': the companion runs no queue service.
constexpr int MQ_NOT_RUNNING = '-' - '0';
/// Highest connection number whose control character is still one byte.
constexpr int MQ_CONN_MAX = 255 - '0';

/// One queue message.
struct mqueuebuf {
  long mtype;
  char mtext[MQ_TEXT_SIZE];
};

/// Installs the alarm handler and opens the existing queue of key `num` (never
/// creates one; the key 0 names no queue). Returns the queue identifier (0 or more);
/// -1 when no queue has that key; -2 when the queue exists but cannot be opened.
int MQ_open(int num);
/// Asks the companion for a connection: discards waiting answers of type 2, sends the
/// request with the process's user id, waits (under the time-out) for the answer of
/// type 2. Returns the connection number (3 to MQ_CONN_MAX) when the answer's status
/// is 2 and its text is such a number, after discarding waiting messages of that
/// type; else -1.
int MQ_connect(int msgqid);
/// Sends a message of type 1 with the control character '0' + `conn_id` and the
/// formatted text, waiting under the time-out while the queue is full; traced as
/// "PUT:%d:%s\n" with class M_DEBUG & M_SUB_D. A text over MQ_TEXT_MAX characters is not
/// sent (a warning says so). Returns 0, or -1 when nothing was sent.
int MQ_put(int msgqid, int conn_id, const char *format, ...) __attribute__((format(printf, 3, 4)));
/// Waits under the time-out for the next message of type `conn_id`, polling without
/// blocking (attempts 1 and 2 at once, then 0.1 s apart up to attempt 200, then 1 s
/// apart), each attempt traced as "GET-MSG:%d %d %d %d\n" and the message as
/// "GET:%s\n" (class M_DEBUG & M_SUB_D). Returns the status and the text in `item`; -1 and
/// an empty `item` when receiving failed for another reason than an empty queue.
int MQ_get(int msgqid, int conn_id, std::string &item);
/// Removes, without waiting, every waiting message of type `index` (a positive
/// type; others are refused). Returns the last receive result, -1.
int MQ_clear(int msgqid, int index);
/// Installs the alarm handler and arms the time-out. Returns 0.
int MQ_enable_alarm();
/// Cancels the time-out. Returns 0.
int MQ_disable_alarm();
/// The time-out: prints "Queue not responding!!\n" with class M_WARN and ends the
/// process with status 7.
[[noreturn]] void MQ_intrp();

/// Reads a received message of `received` bytes (at most MQ_TEXT_SIZE are looked
/// at): the status is the control character minus '0', the text runs to the first
/// zero byte or the end of the received bytes, at most MQ_TEXT_MAX characters. A
/// message without a control character gives -1 and an empty text.
int MQ_decode(const char *mtext, std::size_t received, std::string &item);
/// The connection number of a connection answer's text (digits, then at most blanks
/// and line ends): 3 to MQ_CONN_MAX, else -1.
int MQ_conn_number(const std::string &text);
/// The pause before poll attempt `attempt` (1 upwards) of MQ_get, in seconds.
float MQ_poll_pause(int attempt);

/// The time-out in seconds.
unsigned MQ_get_timeout();
/// Test hook: shortens (or restores) the time-out; 0 restores MQ_TIMEOUT. The
/// program never calls it.
void MQ_set_timeout(unsigned secs);
/// Test hook: what a time-out calls instead of MQ_intrp (null: MQ_intrp). When it
/// returns, the wait gives up: MQ_get returns -1 with an empty text, MQ_put -1.
void MQ_set_intrp(void (*handler)());
/// The queue identifier last opened, or -1.
int MQ_last_queue();
