// Fuzzes start-up: a resource file and a command line from one input.
// Input layout: resource-file text, a 0xFF byte, then the command-line words
// separated by NUL or newline bytes. '|' and '/' are replaced so that no pipe is run
// and every file name is relative to the working directory.
//
// The resource file is the text itself in a file in memory (the only item of the
// search path); nothing is written to the disk. Start-up runs in a working directory
// that was removed: a log file the input names cannot be created there (the write
// failure hook drops it), and nothing is left behind.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "date/date.h"
#include "date/date_testing.h"
#include "driver/sfc_parse.h"
#include "driver/sfc_parse_testing.h"
#include "files/files.h"
#include "files/files_testing.h"
#include "messages/messages.h"
#include "messages/messages_testing.h"
#include "resources/resources.h"
#include "resources/resources_testing.h"

#include "mem_file.h"

namespace {

std::string sanitize(std::string s) {
  for (char &c : s)
    if (c == '|' || c == '/') c = '_';
  return s;
}

// Moves into a folder made for the purpose and removes it at once: files cannot be
// created in a removed working directory, and relative names find nothing there.
void enter_removed_dir() {
  static bool done = false;
  if (done) return;
  char tmpl[] = "/tmp/fuzz_startupXXXXXX";
  if (!mkdtemp(tmpl) || chdir(tmpl) != 0 || rmdir(tmpl) != 0) std::abort();
  done = true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  enter_removed_dir();
  std::string input(reinterpret_cast<const char *>(data), size);
  size_t split = input.find('\xff');
  std::string file = sanitize(input.substr(0, split));
  std::string line = split == std::string::npos ? std::string() : sanitize(input.substr(split + 1));
  const MemFile resources(reinterpret_cast<const uint8_t *>(file.data()), file.size());
  if (resources.path().empty()) std::abort();
  setenv("zypdefault", resources.path().c_str(), 1);
  std::vector<std::string> words{"sfcparse"};
  std::string word;
  for (char c : line) {
    if (c == '\0' || c == '\n') {
      words.push_back(word);
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(word);
  std::vector<char *> argv;
  for (std::string &w : words) argv.push_back(w.data());
  argv.push_back(nullptr);

  RES_reset_state();
  DEF_reset_state();
  MESS_reset_state();
  FILE_reset_state();
  DATE_reset_state();
  MESS_set_str("none");  // keep the output quiet; start-up may set another level
  // A log file name that cannot be opened ends the program; here it only drops the log.
  MESS_set_write_failed_exit([](int) {});
  RES_init(static_cast<int>(words.size()), argv.data(), SFC_res_key, SFC_res_pos);
  SFC_reset_settings();
  SFC_dat_in_file();
  SFC_parameter();
  MESS_reset_state();
  return 0;
}
