#include "companion.h"

#include <sys/ipc.h>
#include <sys/msg.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "ipc/ipc.h"

namespace {

constexpr int KEY_TRIES = 1000;
constexpr auto POLL = std::chrono::milliseconds(2);
constexpr auto SEND_WAIT = std::chrono::seconds(5);

char status_char(int status) { return static_cast<char>('0' + status); }

}  // namespace

TestCompanion::TestCompanion() {
  // A key of our own: start from the process id and take the first free key.
  unsigned base = static_cast<unsigned>(getpid()) * 7919u;
  for (int i = 0; i < KEY_TRIES && queue_ < 0; ++i) {
    int key =
        static_cast<int>(0x5A000000u + ((base + static_cast<unsigned>(i) * 104729u) & 0xFFFFFFu));
    int id = msgget(key, IPC_CREAT | IPC_EXCL | 0600);
    if (id >= 0) {
      key_ = key;
      queue_ = id;
    } else if (errno != EEXIST) {
      break;
    }
  }
}

TestCompanion::~TestCompanion() { stop(); }

void TestCompanion::stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  // What was sent but not yet served is received all the same.
  mqueuebuf buf{};
  ssize_t got;
  while (queue_ >= 0 && (got = msgrcv(queue_, &buf, sizeof buf.mtext, MQ_TO_COMPANION,
                                      IPC_NOWAIT | MSG_NOERROR)) >= 0) {
    std::lock_guard<std::mutex> lock(mutex_);
    received_.emplace_back(buf.mtext, strnlen(buf.mtext, static_cast<size_t>(got)));
  }
  remove_queue();
}

void TestCompanion::remove_queue() {
  int id = queue_.exchange(-1);
  if (id >= 0) msgctl(id, IPC_RMID, nullptr);
}

bool TestCompanion::send(const Reply &reply) const {
  mqueuebuf buf{};
  buf.mtype = reply.type;
  std::memcpy(buf.mtext, reply.bytes.data(), std::min(reply.bytes.size(), sizeof buf.mtext));
  size_t size = reply.size >= 0 ? static_cast<size_t>(reply.size) : MQ_MSG_SIZE;
  size = std::min(size, sizeof buf.mtext);
  auto until = std::chrono::steady_clock::now() + SEND_WAIT;
  while (msgsnd(queue_, &buf, size, IPC_NOWAIT) != 0) {
    if (errno != EAGAIN || stop_ || std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(POLL);
  }
  return true;
}

std::vector<TestCompanion::Reply> TestCompanion::protocol(const std::string &message) const {
  std::vector<Reply> out;
  if (message.empty()) return out;
  if (message[0] == '/') {  // connection request
    out.push_back(
        {MQ_CONNECT_TYPE, std::string(1, status_char(connect_status_)) + std::to_string(conn_)});
    return out;
  }
  long type = static_cast<unsigned char>(message[0]) - '0';
  std::string text = message.substr(1);
  const std::string query = "query res ";
  if (text.compare(0, query.size(), query) == 0) {
    auto it = values_.find(text.substr(query.size()));
    if (it != values_.end())
      for (const std::string &line : it->second)
        out.push_back({type, status_char(0) + line + "\n"});
  }
  out.push_back({type, std::string(1, status_char(1))});  // ends every answer
  return out;
}

bool TestCompanion::serve(const std::atomic<bool> *stop, double lifetime) {
  auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(lifetime);
  while (!(stop && *stop) && std::chrono::steady_clock::now() < until) {
    mqueuebuf buf{};
    ssize_t got = msgrcv(queue_, &buf, sizeof buf.mtext, MQ_TO_COMPANION, IPC_NOWAIT | MSG_NOERROR);
    if (got < 0) {
      if (errno != ENOMSG) return false;  // the queue is gone
      std::this_thread::sleep_for(POLL);
      continue;
    }
    std::string message(buf.mtext, strnlen(buf.mtext, static_cast<size_t>(got)));
    {
      std::lock_guard<std::mutex> lock(mutex_);
      received_.push_back(message);
    }
    if (on_receive_) on_receive_(message);
    if (silent_) continue;
    for (const Reply &reply : responder_ ? responder_(message) : protocol(message))
      if (!send(reply)) break;  // the client no longer reads
    if (message.size() > 1 && message.substr(1) == "quit") return true;
  }
  return false;
}

void TestCompanion::start() {
  stop_ = false;
  thread_ = std::thread([this] { serve(&stop_, 600.0); });
}

std::vector<std::string> TestCompanion::received() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return received_;
}
