// Fuzzes start-up: a resource file and a command line from one input.
// Input layout: resource-file text, a 0xFF byte, then the command-line words
// separated by NUL or newline bytes. '|' and '/' are replaced so that no pipe is run
// and every file stays in the scratch directory.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "date/date.h"
#include "driver/sfc_parse.h"
#include "files/files.h"
#include "files/files_testing.h"
#include "messages/messages.h"
#include "resources/resources.h"

namespace {

std::string sanitize(std::string s) {
  for (char &c : s)
    if (c == '|' || c == '/') c = '_';
  return s;
}

void enter_scratch_dir() {
  static bool done = false;
  if (done) return;
  char tmpl[] = "/tmp/fuzz_startupXXXXXX";
  if (!mkdtemp(tmpl) || chdir(tmpl) != 0) std::abort();
  setenv("zypdefault", ".", 1);
  done = true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  enter_scratch_dir();
  std::string input(reinterpret_cast<const char *>(data), size);
  size_t split = input.find('\xff');
  std::string file = sanitize(input.substr(0, split));
  std::string line = split == std::string::npos ? std::string() : sanitize(input.substr(split + 1));
  if (FILE *f = std::fopen("zyp.cfg", "w")) {
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
  }
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
