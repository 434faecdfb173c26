// A stand-in for the companion display program, for tests of the queue link.
//
// It creates a queue of its own under a key that no queue had (IPC_EXCL), answers
// the link's requests ("/uid" connection, "query res NAME", "set res NAME VALUE",
// "quit"), records every message it receives, and removes its queue when it is
// destroyed or stopped. It never opens a queue that it did not create.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class TestCompanion {
 public:
  /// One message to a client: its type and its bytes (control character first); the
  /// size sent is `size` when given, else the 120 bytes of every message.
  struct Reply {
    long type;
    std::string bytes;
    int size = -1;
  };
  /// What the companion does with one received message (control character first).
  using Responder = std::function<std::vector<Reply>(const std::string &message)>;

  /// Creates the queue; ok() tells whether that worked.
  TestCompanion();
  /// Stops serving and removes the queue.
  ~TestCompanion();
  TestCompanion(const TestCompanion &) = delete;
  TestCompanion &operator=(const TestCompanion &) = delete;

  bool ok() const { return queue_ >= 0; }
  int key() const { return key_; }
  int queue() const { return queue_; }

  /// The companion's value of a resource: one status-0 line (a newline is added) per
  /// entry. A resource without values is answered with the ending line alone.
  void set_value(const std::string &name, std::vector<std::string> lines) {
    values_[name] = std::move(lines);
  }
  /// Connection number handed out (3 unless set) and the status of that answer (2).
  void set_connection(int number, int status = 2) {
    conn_ = number;
    connect_status_ = status;
  }
  /// Never answers anything.
  void set_silent(bool silent) { silent_ = silent; }
  /// Replaces the protocol: every received message is answered with what `responder`
  /// returns (the default protocol is still available as protocol()).
  void set_responder(Responder responder) { responder_ = std::move(responder); }
  /// The answers of the protocol to one received message.
  std::vector<Reply> protocol(const std::string &message) const;

  /// Serves in a thread of its own until stop() or the destructor.
  void start();
  /// Serves in the calling thread until "quit" was answered, `*stop` became true, or
  /// `lifetime` seconds passed. Returns true when "quit" ended it.
  bool serve(const std::atomic<bool> *stop, double lifetime);
  /// Stops the thread, receives what is still waiting for the companion, and removes
  /// the queue (also done by the destructor).
  void stop();
  /// Sends one message to a client (for tests that place stale or stray messages),
  /// waiting up to five seconds while the queue is full.
  bool send(const Reply &reply) const;
  /// Removes the queue at once (a companion that goes away in the middle).
  void remove_queue();

  /// Every received message so far, in order, control character first.
  std::vector<std::string> received() const;
  /// Called with each received message as it arrives (the program's log).
  void on_receive(std::function<void(const std::string &)> hook) { on_receive_ = std::move(hook); }

 private:
  int key_ = -1;
  std::atomic<int> queue_{-1};
  int conn_ = 3;
  int connect_status_ = 2;
  bool silent_ = false;
  std::map<std::string, std::vector<std::string>> values_;
  Responder responder_;
  std::function<void(const std::string &)> on_receive_;
  mutable std::mutex mutex_;
  std::vector<std::string> received_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};
