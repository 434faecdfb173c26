#include "ipc/ipc.h"

#include <sys/ipc.h>
#include <sys/msg.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ipc/ipc_testing.h"
#include "messages/messages.h"
#include "util/util.h"

namespace {

constexpr M_type TRACE = M_DEBUG & M_SUB_D;
constexpr int FAST_ATTEMPTS = 2;     // attempts made one after the other
constexpr int SHORT_ATTEMPTS = 200;  // last attempt after a short pause
constexpr float SHORT_PAUSE = 0.1f;
constexpr float LONG_PAUSE = 1.0f;
constexpr float FULL_QUEUE_PAUSE = 0.1f;  // between tries to send to a full queue

// The link's state in this process.
struct MqState {
  int queue_id = -1;                    // the queue, or -1 before MQ_open
  unsigned timeout = MQ_TIMEOUT;        // seconds the companion may stay silent
  void (*timeout_handler)() = nullptr;  // called when it does (null: end the program)
  bool handler_installed = false;       // the alarm handler is in place
  struct sigaction previous_alarm {};   // the alarm handler it replaced
};
MqState g_mq;

// Set by the alarm signal; read by the waits. A lone object of its own, outside
// the struct, as a signal handler may only write such a flag.
volatile std::sig_atomic_t time_is_up = 0;

void on_alarm(int) { time_is_up = 1; }

// The signal is installed without SA_RESTART: a pause or a blocked call that it
// interrupts returns at once and the wait sees the time-out.
void install_alarm_handler() {
  struct sigaction action {};
  action.sa_handler = on_alarm;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;
  struct sigaction old {};
  sigaction(SIGALRM, &action, &old);
  if (!g_mq.handler_installed) g_mq.previous_alarm = old;
  g_mq.handler_installed = true;
}

// Called by a wait that saw the time-out: ends the process, or returns when a test
// has set a handler of its own.
void timed_out() {
  MQ_disable_alarm();
  if (g_mq.timeout_handler) {
    g_mq.timeout_handler();
    return;
  }
  MQ_intrp();
}

}  // namespace

int MQ_open(int num) {
  install_alarm_handler();
  // The key 0 is IPC_PRIVATE, which would create a new queue: it names none.
  if (num == IPC_PRIVATE) return -1;
  int id = msgget(static_cast<key_t>(num), 0);
  if (id < 0) return errno == ENOENT ? -1 : -2;
  g_mq.queue_id = id;
  return id;
}

int MQ_connect(int msgqid) {
  MQ_clear(msgqid, MQ_CONNECT_TYPE);
  if (MQ_put(msgqid, MQ_CONNECT_ID, "%d", static_cast<int>(getuid())) != 0) return -1;
  std::string answer;
  int status = MQ_get(msgqid, MQ_CONNECT_TYPE, answer);
  MQ_disable_alarm();
  if (status != MQ_CONNECTED) return -1;
  int conn = MQ_conn_number(answer);
  if (conn < 0) return -1;
  MQ_clear(msgqid, conn);
  return conn;
}

int MQ_put(int msgqid, int conn_id, const char *format, ...) {
  char text[MQ_MSG_SIZE];
  va_list args;
  va_start(args, format);
  int len = std::vsnprintf(text, sizeof text - 1, format, args);
  va_end(args);
  if (len < 0) return -1;
  if (len > MQ_TEXT_MAX) {
    MESS_print(M_WARN, "MQ_put: Message not sent, %d characters are more than %d: %.40s...\n", len,
               MQ_TEXT_MAX, text);
    return -1;
  }
  mqueuebuf buf{};
  buf.mtype = MQ_TO_COMPANION;
  buf.mtext[0] = static_cast<char>('0' + conn_id);
  std::memcpy(buf.mtext + 1, text, static_cast<size_t>(len) + 1);
  MESS_print(TRACE, "PUT:%d:%s\n", conn_id, buf.mtext);

  MQ_enable_alarm();
  int result;
  while ((result = msgsnd(msgqid, &buf, MQ_MSG_SIZE, IPC_NOWAIT)) != 0) {
    if (errno != EAGAIN && errno != EINTR) break;  // the queue is gone or refuses us
    if (!time_is_up) ZYP_sleep(FULL_QUEUE_PAUSE);  // a full queue: wait for room
    if (time_is_up) {
      timed_out();
      return -1;
    }
  }
  MQ_disable_alarm();
  return result == 0 ? 0 : -1;
}

int MQ_get(int msgqid, int conn_id, std::string &item) {
  item.clear();
  mqueuebuf buf{};
  ssize_t got = -1;
  MQ_enable_alarm();
  for (int attempt = 1;; ++attempt) {
    if (attempt > 1 && !time_is_up) ZYP_sleep(MQ_poll_pause(attempt));
    if (time_is_up) {
      timed_out();
      return -1;
    }
    got = msgrcv(msgqid, &buf, sizeof buf.mtext, conn_id, IPC_NOWAIT | MSG_NOERROR);
    int err = got < 0 ? errno : 0;
    MESS_print(TRACE, "GET-MSG:%d %d %d %d\n", conn_id, static_cast<int>(got), err, attempt);
    if (got >= 0 || err != ENOMSG) break;
  }
  MQ_disable_alarm();
  if (got < 0) return -1;
  int status = MQ_decode(buf.mtext, static_cast<size_t>(got), item);
  if (MESS_check(TRACE)) {
    std::string shown = got > 0 ? std::string(1, buf.mtext[0]) + item : std::string();
    MESS_print(TRACE, "GET:%s\n", shown.c_str());
  }
  return status;
}

int MQ_clear(int msgqid, int index) {
  if (index <= 0) return -1;  // type 0 or below would take other clients' messages too
  mqueuebuf buf{};
  ssize_t got;
  do {
    got = msgrcv(msgqid, &buf, sizeof buf.mtext, index, IPC_NOWAIT | MSG_NOERROR);
  } while (got >= 0);
  return -1;
}

int MQ_enable_alarm() {
  install_alarm_handler();
  time_is_up = 0;
  alarm(g_mq.timeout);
  return 0;
}

int MQ_disable_alarm() {
  alarm(0);
  return 0;
}

void MQ_intrp() {
  MESS_print(M_WARN, "Queue not responding!!\n");
  ZYP_exit(MQ_TIMEOUT_STATUS);
}

int MQ_decode(const char *mtext, std::size_t received, std::string &item) {
  item.clear();
  if (!mtext || received == 0) return -1;
  if (received > static_cast<std::size_t>(MQ_TEXT_SIZE)) received = MQ_TEXT_SIZE;
  const char *text = mtext + 1;
  std::size_t avail = received - 1;
  std::size_t len = 0;
  while (len < avail && len < static_cast<std::size_t>(MQ_TEXT_MAX) && text[len] != '\0') ++len;
  item.assign(text, len);
  return static_cast<unsigned char>(mtext[0]) - '0';
}

int MQ_conn_number(const std::string &text) {
  size_t i = 0;
  long number = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9' && number <= MQ_CONN_MAX)
    number = number * 10 + (text[i++] - '0');
  if (i == 0) return -1;
  for (; i < text.size(); ++i)
    if (!std::strchr(" \t\r\n", text[i])) return -1;
  if (number <= MQ_CONNECT_TYPE || number > MQ_CONN_MAX) return -1;
  return static_cast<int>(number);
}

float MQ_poll_pause(int attempt) {
  if (attempt <= FAST_ATTEMPTS) return 0.0f;
  return attempt <= SHORT_ATTEMPTS ? SHORT_PAUSE : LONG_PAUSE;
}

unsigned MQ_get_timeout() { return g_mq.timeout; }

void MQ_set_timeout(unsigned secs) { g_mq.timeout = secs ? secs : MQ_TIMEOUT; }

void MQ_set_intrp(void (*handler)()) { g_mq.timeout_handler = handler; }

void MQ_reset_state() {
  alarm(0);
  if (g_mq.handler_installed) sigaction(SIGALRM, &g_mq.previous_alarm, nullptr);
  g_mq.handler_installed = false;
  time_is_up = 0;
  g_mq.timeout = MQ_TIMEOUT;
  g_mq.timeout_handler = nullptr;
  g_mq.queue_id = -1;
}

int MQ_last_queue() { return g_mq.queue_id; }
