// Fuzzes the reading of a message received from the companion's queue: the input is
// the message's bytes as msgrcv delivered them (control character first; inputs over
// the buffer's 124 bytes stand for a received count that is too large), and the
// text read from it is also taken as a connection answer.
#include <cstdint>
#include <cstring>
#include <string>

#include "ipc/ipc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  char mtext[MQ_TEXT_SIZE] = {};
  if (size > 0) std::memcpy(mtext, data, size < sizeof mtext ? size : sizeof mtext);
  std::string item = "stale";
  int status = MQ_decode(mtext, size, item);

  if (size == 0) {
    if (status != -1 || !item.empty()) __builtin_trap();
    return 0;
  }
  if (status != static_cast<int>(data[0]) - '0') __builtin_trap();
  // The text is the bytes after the control character, up to a zero byte, the end of
  // what was received or the longest text.
  if (item.size() > static_cast<size_t>(MQ_TEXT_MAX)) __builtin_trap();
  if (item.find('\0') != std::string::npos) __builtin_trap();
  if (std::memcmp(item.data(), mtext + 1, item.size()) != 0) __builtin_trap();
  size_t end = 1 + item.size();
  if (end < size && end < sizeof mtext && item.size() < static_cast<size_t>(MQ_TEXT_MAX) &&
      mtext[end] != '\0')
    __builtin_trap();

  int conn = MQ_conn_number(item);
  if (conn != -1 && (conn <= MQ_CONNECT_TYPE || conn > MQ_CONN_MAX)) __builtin_trap();
  return 0;
}
