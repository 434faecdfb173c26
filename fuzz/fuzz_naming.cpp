// Fuzzes the naming services: the reader of a template, its expansion for a date and
// a typed file name.
// Input layout: the template up to the first newline, then six bytes of date
// fields (year offset, month, day, hour, minute, key length), then the typed name.
// The typed name "exit" ends the program by design, so it is left out.
#include <cstdint>
#include <cstring>
#include <string>

#include "date/date.h"
#include "files/files.h"
#include "files/files_testing.h"
#include "files/template.h"
#include "messages/messages.h"
#include "resources/resources.h"
#include "util/util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  std::string input(reinterpret_cast<const char *>(data), size);
  size_t nl = input.find('\n');
  if (nl == std::string::npos || input.size() < nl + 7) return 0;
  std::string tmpl = input.substr(0, nl);
  const uint8_t *f = data + nl + 1;
  std::string typed = input.substr(nl + 7);
  if (tmpl.find('\0') != std::string::npos || typed.find('\0') != std::string::npos) return 0;
  if (strnicmp(typed.c_str(), "exit", 4) == 0) return 0;

  static bool quiet = false;
  if (!quiet) {
    MESS_set_str("none");
    quiet = true;
  }
  // The reader of the template moves on with every piece and stops at its end.
  file_detail::TemplateReader reader(tmpl);
  for (file_detail::Piece p = reader.next(); !p.stops(); p = reader.next())
    if (p.next <= p.pos || p.next > tmpl.size()) __builtin_trap();

  FILE_reset_state();
  RES_put("data_path", "/nonexistent/data");
  FILE_set_name(("@" + tmpl).c_str());
  FILE_set_key('i', std::string(f[5] % 40, 'K').c_str());

  Date d{1950 + f[0] % 120,
         f[1] % 14 - 1,
         f[2] % 33 - 1,
         -9999,
         -9999,
         f[3] % 26 - 1,
         f[4] % 62 - 1,
         0};
  char out[FILE_NAME_SIZE];
  FILE_set_date(&d, out);
  if (std::strlen(out) >= FILE_NAME_SIZE) __builtin_trap();
  FILE_set_date(nullptr, out);

  FILE_set_file(typed.c_str(), out);
  if (std::strlen(out) >= FILE_NAME_SIZE) __builtin_trap();
  Date got;
  FILE_get_date(&got);
  return 0;
}
