// mq_companion: the test companion as a program, for end-to-end tests.
//
//   mq_companion --key-file FILE [--log FILE] [--value NAME=VALUE]... [--silent]
//                [--connect-status N] [--lifetime SECONDS]
//
// Creates a queue of its own, writes its key to the key file (once the queue is ready),
// answers the protocol and logs every received message, one per line (the connection
// request's user id shows as "UID" when it is this process's own). Ends after "quit"
// was answered, on SIGTERM, SIGINT or SIGHUP, or after the lifetime (60 s unless set),
// and always removes its queue.
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "companion.h"

namespace {

std::atomic<bool> stop_now{false};

void on_signal(int) { stop_now = true; }

int usage() {
  std::fprintf(stderr,
               "usage: mq_companion --key-file FILE [--log FILE] [--value NAME=VALUE]... "
               "[--silent] [--connect-status N] [--lifetime SECONDS]\n");
  return 2;
}

}  // namespace

int main(int argc, char **argv) {
  std::string key_file, log_file;
  double lifetime = 60.0;
  int connect_status = 2;
  bool silent = false;
  std::vector<std::pair<std::string, std::string>> values;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    bool has_next = i + 1 < argc;
    if (arg == "--silent") {
      silent = true;
    } else if (arg == "--key-file" && has_next) {
      key_file = argv[++i];
    } else if (arg == "--log" && has_next) {
      log_file = argv[++i];
    } else if (arg == "--lifetime" && has_next) {
      lifetime = std::atof(argv[++i]);
    } else if (arg == "--connect-status" && has_next) {
      connect_status = std::atoi(argv[++i]);
    } else if (arg == "--value" && has_next) {
      std::string v = argv[++i];
      size_t eq = v.find('=');
      if (eq == std::string::npos) return usage();
      values.emplace_back(v.substr(0, eq), v.substr(eq + 1));
    } else {
      return usage();
    }
  }
  if (key_file.empty()) return usage();

  struct sigaction action {};
  action.sa_handler = on_signal;
  sigemptyset(&action.sa_mask);
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &action, nullptr);

  TestCompanion companion;
  if (!companion.ok()) {
    std::perror("mq_companion: no queue");
    return 1;
  }
  std::map<std::string, std::vector<std::string>> lines;
  for (auto &[name, value] : values) lines[name].push_back(value);
  for (auto &[name, list] : lines) companion.set_value(name, list);
  companion.set_connection(3, connect_status);
  companion.set_silent(silent);

  FILE *log = log_file.empty() ? nullptr : std::fopen(log_file.c_str(), "w");
  const std::string own_uid = "/" + std::to_string(getuid());
  companion.on_receive([&](const std::string &message) {
    if (!log) return;
    std::fprintf(log, "%s\n", message == own_uid ? "/UID" : message.c_str());
    std::fflush(log);
  });

  // The key file appears whole, and only once the queue is there.
  std::string tmp = key_file + ".tmp";
  if (FILE *f = std::fopen(tmp.c_str(), "w")) {
    std::fprintf(f, "%d\n", companion.key());
    std::fclose(f);
    std::rename(tmp.c_str(), key_file.c_str());
  }
  bool quit = companion.serve(&stop_now, lifetime);
  companion.stop();
  if (log) std::fclose(log);
  return quit || silent ? 0 : 1;
}
