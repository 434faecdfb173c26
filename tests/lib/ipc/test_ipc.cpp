#include <gtest/gtest.h>

#include <sys/ipc.h>
#include <sys/msg.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "companion.h"
#include "ipc/ipc.h"
#include "ipc/ipc_testing.h"
#include "messages/messages.h"
#include "messages/messages_testing.h"

namespace {

int timeouts_seen = 0;
void count_timeout() { ++timeouts_seen; }

// Messages waiting in a queue.
unsigned long waiting(int queue) {
  msqid_ds ds{};
  if (msgctl(queue, IPC_STAT, &ds) != 0) return 0;
  return ds.msg_qnum;
}

// Takes the next message of `type` off the queue; its size in `size` (-1 for none).
std::string take(int queue, long type, ssize_t &size) {
  mqueuebuf buf{};
  size = msgrcv(queue, &buf, sizeof buf.mtext, type, IPC_NOWAIT | MSG_NOERROR);
  return size < 0 ? std::string() : std::string(buf.mtext, static_cast<size_t>(size));
}

// Fills the queue with messages of type 9 until it takes no more.
void fill(int queue) {
  mqueuebuf buf{};
  buf.mtype = 9;
  std::strcpy(buf.mtext, "0filler");
  while (msgsnd(queue, &buf, MQ_MSG_SIZE, IPC_NOWAIT) == 0) {
  }
}

// Private queues (key 0) in the system; no test creates one.
int private_queues() {
  std::ifstream in("/proc/sysvipc/msg");
  std::string line;
  std::getline(in, line);  // the heading
  int n = 0;
  long key;
  while (in >> key) {
    if (key == 0) ++n;
    std::getline(in, line);
  }
  return n;
}

class Queue : public ::testing::Test {
 protected:
  void SetUp() override {
    MQ_reset_state();
    MESS_reset_state();
    timeouts_seen = 0;
    ASSERT_TRUE(companion_.ok());
  }
  void TearDown() override {
    MQ_reset_state();
    MESS_reset_state();
    std::remove(log_.c_str());
  }
  // Messages of every class go to a log file only.
  void trace_to_log() { MESS_set_str(("debug,fi=" + log_).c_str()); }
  std::string log_text() {
    MESS_reset_state();  // closes the log
    std::ifstream in(log_);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  int q() const { return companion_.queue(); }

  TestCompanion companion_;
  std::string log_ = "/tmp/ipc_test_log." + std::to_string(getpid());
};

// ---- opening -------------------------------------------------------------

TEST_F(Queue, OpenFindsOnlyAnExistingQueue) {
  EXPECT_EQ(MQ_open(companion_.key()), q());
  EXPECT_EQ(MQ_last_queue(), q());

  int gone_key;
  {
    TestCompanion gone;
    ASSERT_TRUE(gone.ok());
    gone_key = gone.key();
  }
  EXPECT_EQ(MQ_open(gone_key), -1);
}

TEST_F(Queue, KeyZeroCreatesNoQueue) {
  // The key 0 would make msgget create a private queue: it is no queue at all.
  int before = private_queues();
  EXPECT_EQ(MQ_open(0), -1);
  EXPECT_EQ(private_queues(), before);
}

// ---- sending -----------------------------------------------------------------

TEST_F(Queue, TextOf118CharactersIsCarriedWhole) {
  const std::string text(MQ_TEXT_MAX, 'x');
  ASSERT_EQ(MQ_put(q(), 3, "%s", text.c_str()), 0);
  ssize_t size;
  std::string got = take(q(), MQ_TO_COMPANION, size);
  ASSERT_EQ(size, MQ_MSG_SIZE);
  EXPECT_EQ(got[0], '3');
  EXPECT_EQ(got.substr(1, MQ_TEXT_MAX), text);
  EXPECT_EQ(got[MQ_MSG_SIZE - 1], '\0');

  // And back: a companion's 118 characters arrive whole.
  companion_.send({3, "1" + text});
  std::string item;
  EXPECT_EQ(MQ_get(q(), 3, item), 1);
  EXPECT_EQ(item, text);
}

TEST_F(Queue, LongerTextIsRefusedNotCut) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(MQ_put(q(), 3, "set res identifier %s", std::string(100, 'K').c_str()), -1);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(waiting(q()), 0u);
  EXPECT_NE(
      err.find(
          "MQ_put: Message not sent, 119 characters are more than 118: set res identifier KKK"),
      std::string::npos)
      << err;
}

TEST_F(Queue, ControlCharacterIsTheConnectionNumber) {
  struct Case {
    int conn;
    char control;
  };
  for (Case c : {Case{-1, '/'}, Case{0, '0'}, Case{3, '3'}, Case{9, '9'}, Case{10, ':'}}) {
    ASSERT_EQ(MQ_put(q(), c.conn, "quit"), 0);
    ssize_t size;
    std::string got = take(q(), MQ_TO_COMPANION, size);
    EXPECT_EQ(got[0], c.control) << c.conn;
    EXPECT_STREQ(got.c_str() + 1, "quit");
  }
}

TEST_F(Queue, PutWaitsForRoomInAFullQueue) {
  fill(q());
  ASSERT_GT(waiting(q()), 0u);
  // The companion takes one message after a while: the waiting send then goes through.
  std::thread drain([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ssize_t size;
    take(q(), 9, size);
  });
  EXPECT_EQ(MQ_put(q(), 3, "quit"), 0);
  drain.join();
  ssize_t size;
  EXPECT_STREQ(take(q(), MQ_TO_COMPANION, size).c_str(), "3quit");
}

TEST_F(Queue, PutToAFullQueueEndsWithTheTimeOut) {
  fill(q());
  MQ_set_timeout(1);
  MQ_set_intrp(count_timeout);
  EXPECT_EQ(MQ_put(q(), 3, "quit"), -1);
  EXPECT_EQ(timeouts_seen, 1);
}

// ---- receiving ---------------------------------------------------------------

TEST_F(Queue, StatusIsTheControlCharacterMinusZero) {
  struct Case {
    std::string bytes;
    int status;
    const char *text;
  };
  const Case cases[] = {
      {"0KDEN\n", 0, "KDEN\n"}, {"1", 1, ""},    {"2", 2, ""}, {"-", -3, ""},
      {"/x", -1, "x"},          {"z!", 74, "!"},
  };
  for (const Case &c : cases) {
    ASSERT_TRUE(companion_.send({4, c.bytes}));
    std::string item = "stale";
    EXPECT_EQ(MQ_get(q(), 4, item), c.status) << c.bytes;
    EXPECT_EQ(item, c.text) << c.bytes;
  }
}

TEST_F(Queue, OnlyMessagesOfTheConnectionAreTaken) {
  companion_.send({5, "1other"});
  companion_.send({4, "0mine"});
  std::string item;
  EXPECT_EQ(MQ_get(q(), 4, item), 0);
  EXPECT_EQ(item, "mine");
  EXPECT_EQ(waiting(q()), 1u);
}

TEST_F(Queue, DecodeStaysInsideTheReceivedBytes) {
  struct Case {
    std::string bytes;
    size_t received;
    int status;
    std::string text;
  };
  const std::string no_zero(MQ_TEXT_SIZE, 'A');
  const Case cases[] = {
      {"", 0, -1, ""},                                                   // no control character
      {"1", 1, 1, ""},                                                   // control character only
      {"0abc", 2, 0, "a"},                                               // text ends with the bytes
      {std::string("0ab\0cd", 6), 6, 0, "ab"},                           // text ends at a zero
      {no_zero, MQ_MSG_SIZE, 'A' - '0', std::string(MQ_TEXT_MAX, 'A')},  // no zero at all
      {no_zero, MQ_TEXT_SIZE, 'A' - '0', std::string(MQ_TEXT_MAX, 'A')},
      {no_zero, 100000, 'A' - '0', std::string(MQ_TEXT_MAX, 'A')},  // more than the buffer
      {"\xff\x01\x02", 3, 0xff - '0', "\x01\x02"},
  };
  for (const Case &c : cases) {
    std::string buffer = c.bytes;
    buffer.resize(MQ_TEXT_SIZE, '\0');
    std::string item;
    EXPECT_EQ(MQ_decode(buffer.data(), c.received, item), c.status) << c.received;
    EXPECT_EQ(item, c.text) << c.received;
  }
}

TEST_F(Queue, MessagesWithoutTerminatorOrControlCharacter) {
  companion_.send({4, std::string(MQ_TEXT_SIZE, 'B'), MQ_TEXT_SIZE});  // no zero byte
  companion_.send({4, "", 0});                                         // nothing at all
  std::string item;
  EXPECT_EQ(MQ_get(q(), 4, item), 'B' - '0');
  EXPECT_EQ(item, std::string(MQ_TEXT_MAX, 'B'));
  EXPECT_EQ(MQ_get(q(), 4, item), -1);
  EXPECT_EQ(item, "");
}

TEST_F(Queue, RemovedQueueFailsAtOnce) {
  MQ_set_timeout(1);
  MQ_set_intrp(count_timeout);
  int id = q();
  companion_.remove_queue();
  std::string item = "stale";
  EXPECT_EQ(MQ_get(id, 4, item), -1);
  EXPECT_EQ(item, "");
  EXPECT_EQ(MQ_put(id, 4, "quit"), -1);
  EXPECT_EQ(timeouts_seen, 0);
}

TEST_F(Queue, PollingSchedule) {
  struct Case {
    int attempt;
    float pause;
  };
  for (Case c : {Case{1, 0.0f}, Case{2, 0.0f}, Case{3, 0.1f}, Case{200, 0.1f}, Case{201, 1.0f},
                 Case{5000, 1.0f}})
    EXPECT_FLOAT_EQ(MQ_poll_pause(c.attempt), c.pause) << c.attempt;
}

TEST_F(Queue, SilentQueueTimesOutWithTheHandler) {
  MQ_set_timeout(1);
  MQ_set_intrp(count_timeout);
  std::string item = "stale";
  EXPECT_EQ(MQ_get(q(), 4, item), -1);
  EXPECT_EQ(item, "");
  EXPECT_EQ(timeouts_seen, 1);
}

TEST_F(Queue, TimeOutIsTwentySecondsUnlessATestShortensIt) {
  EXPECT_EQ(MQ_get_timeout(), 20u);
  MQ_set_timeout(2);
  EXPECT_EQ(MQ_get_timeout(), 2u);
  MQ_set_timeout(0);
  EXPECT_EQ(MQ_get_timeout(), 20u);
  MQ_set_timeout(2);
  MQ_reset_state();
  EXPECT_EQ(MQ_get_timeout(), 20u);
}

using QueueDeathTest = Queue;

TEST_F(QueueDeathTest, SilentQueueEndsTheProgramWithStatus7) {
  EXPECT_EXIT(
      {
        MQ_set_timeout(1);
        std::string item;
        MQ_get(q(), 4, item);
      },
      testing::ExitedWithCode(MQ_TIMEOUT_STATUS), "^Queue not responding!!\n$");
}

TEST_F(QueueDeathTest, AnswersOfAnotherTypeEndInTheTimeOut) {
  companion_.send({2, "23"});
  companion_.send({5, "1"});
  EXPECT_EXIT(
      {
        MQ_set_timeout(1);
        std::string item;
        MQ_get(q(), 4, item);
      },
      testing::ExitedWithCode(MQ_TIMEOUT_STATUS), "Queue not responding!!");
}

TEST_F(QueueDeathTest, UnansweredConnectionRequestEndsTheProgram) {
  EXPECT_EXIT(
      {
        MQ_set_timeout(1);
        MQ_connect(q());
      },
      testing::ExitedWithCode(MQ_TIMEOUT_STATUS), "Queue not responding!!");
}

TEST_F(Queue, Traces) {
  trace_to_log();
  MQ_put(q(), 3, "query res %s", "help");
  companion_.send({3, "0KDEN"});
  std::string item;
  MQ_get(q(), 3, item);
  EXPECT_EQ(log_text(), "PUT:3:3query res help\nGET-MSG:3 120 0 1\nGET:0KDEN\n");
}

TEST_F(Queue, EachAttemptIsTraced) {
  MQ_set_timeout(1);
  MQ_set_intrp(count_timeout);
  trace_to_log();
  std::string item;
  MQ_get(q(), 4, item);
  std::string log = log_text();
  std::string first = "GET-MSG:4 -1 " + std::to_string(ENOMSG) + " 1\n";
  EXPECT_EQ(log.substr(0, first.size()), first);
  EXPECT_NE(log.find(" 2\nGET-MSG:4 -1 " + std::to_string(ENOMSG) + " 3\n"), std::string::npos);
  EXPECT_EQ(log.find("GET:"), std::string::npos);
}

// ---- connecting ----------------------------------------------------------------

TEST_F(Queue, ConnectSendsTheUserIdAndTakesTheNumber) {
  companion_.set_connection(7);
  companion_.start();
  EXPECT_EQ(MQ_connect(q()), 7);
  companion_.stop();
  ASSERT_EQ(companion_.received().size(), 1u);
  EXPECT_EQ(companion_.received()[0], "/" + std::to_string(getuid()));
}

TEST_F(Queue, ConnectionAnswerWithAnotherStatusFails) {
  for (int status : {0, 1, 3, -3}) {
    TestCompanion companion;
    companion.set_connection(5, status);
    companion.start();
    EXPECT_EQ(MQ_connect(companion.queue()), -1) << status;
  }
}

TEST_F(Queue, ConnectionNumbersOutsideTheRangeFail) {
  for (const char *text : {"x", "", "1", "2", "-4", "208", "99999999999999999999", "4 5", "4x"}) {
    TestCompanion companion;
    companion.set_responder([text](const std::string &) {
      return std::vector<TestCompanion::Reply>{{MQ_CONNECT_TYPE, std::string("2") + text}};
    });
    companion.start();
    EXPECT_EQ(MQ_connect(companion.queue()), -1) << text;
  }
  struct Case {
    const char *text;
    int number;
  };
  for (Case c : {Case{"3", 3}, Case{"12\n", 12}, Case{"207 ", 207}, Case{"208", -1}, Case{"03", 3}})
    EXPECT_EQ(MQ_conn_number(c.text), c.number) << c.text;
}

TEST_F(Queue, StaleAnswersAreDiscardedBeforeConnecting) {
  // An earlier client's answers, left behind.
  companion_.send({MQ_CONNECT_TYPE, "1"});
  companion_.send({MQ_CONNECT_TYPE, "29"});
  // The companion leaves a stray message for the new connection before its answer.
  companion_.set_responder([this](const std::string &message) {
    std::vector<TestCompanion::Reply> out{{4, "1stray"}};
    for (auto &reply : companion_.protocol(message)) out.push_back(reply);
    return out;
  });
  companion_.set_connection(4);
  companion_.start();
  EXPECT_EQ(MQ_connect(q()), 4);
  companion_.stop();
}

TEST_F(Queue, StrayMessagesOfTheNewConnectionAreDiscarded) {
  companion_.set_responder([this](const std::string &message) {
    std::vector<TestCompanion::Reply> out{{4, "1stray"}, {4, "0stray"}};
    for (auto &reply : companion_.protocol(message)) out.push_back(reply);
    return out;
  });
  companion_.set_connection(4);
  companion_.start();
  ASSERT_EQ(MQ_connect(q()), 4);
  ssize_t size;
  take(q(), 4, size);
  EXPECT_EQ(size, -1);
}

// ---- clearing ------------------------------------------------------------------

TEST_F(Queue, ClearTakesOnlyItsType) {
  companion_.send({3, "0a"});
  companion_.send({4, "0b"});
  companion_.send({3, "1c"});
  EXPECT_EQ(MQ_clear(q(), 3), -1);
  EXPECT_EQ(waiting(q()), 1u);
  EXPECT_EQ(MQ_clear(q(), 0), -1);  // refused: type 0 would take everything
  EXPECT_EQ(MQ_clear(q(), -5), -1);
  EXPECT_EQ(waiting(q()), 1u);
}

}  // namespace
