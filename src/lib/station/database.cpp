// The station file: opening, reading one station line, searching the file.
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "files/paths.h"
#include "messages/messages.h"
#include "resources/resources.h"
#include "station/station.h"
#include "util/chars.h"
#include "util/number.h"

namespace {

// The station file being read.
struct DatabaseState {
  FilePtr file;      // the open station file
  int type = 0;      // the type it was opened with
  int line = 0;      // number of the line read last
  std::string path;  // path CTY_open_file tried last
};
DatabaseState g_db;

// Copies `text` into a field of `len` characters; false when it is longer.
bool take_text(std::string_view text, char *field, size_t len) {
  if (text.size() > len) return false;
  std::memcpy(field, text.data(), text.size());
  field[text.size()] = '\0';
  return true;
}

// The priority column: an optional "*", one digit, an optional "*".
bool take_priority(std::string_view text, CTY_data *data) {
  size_t at = 0;
  if (at < text.size() && text[at] == '*') {
    data->mos = '*';
    ++at;
  }
  if (at >= text.size() || text[at] < '0' || text[at] > '9') return false;
  data->prior = text[at++] - '0';
  if (at < text.size() && text[at] == '*') {
    data->ua = '*';
    ++at;
  }
  return at == text.size();
}

// A whole token as a finite real within +-limit.
bool take_real(std::string_view text, float limit, float *out) {
  double v = 0;
  if (!zyp::read_double_exact(text, v) || std::fabs(v) > limit) return false;
  *out = static_cast<float>(v);
  return true;
}

// A whole token as an integer within [lo, hi].
bool take_int(std::string_view text, long lo, long hi, int *out) {
  long v = 0;
  if (!zyp::read_long_exact(text, v) || v < lo || v > hi) return false;
  *out = static_cast<int>(v);
  return true;
}

// Reads one line of at most CTY_LINE_MAX characters, passing over the rest of a
// longer one. False at the end of the file.
bool read_line(FILE *f, std::string &line) {
  line.clear();
  int c;
  while ((c = std::getc(f)) != EOF && c != '\n')
    if (line.size() < static_cast<size_t>(CTY_LINE_MAX)) line.push_back(static_cast<char>(c));
  return c != EOF || !line.empty();
}

// Fills the record from the columns of one line; returns the count of leading
// columns that were valid. Columns are separated by any white space (a line comes
// without its newline, so a space, tab, CR, vertical tab or form feed).
int parse_line(std::string_view line, CTY_data *data) {
  int column = 0;
  size_t at = 0;
  while (column < CTY_COLUMNS) {
    while (at < line.size() && zyp::is_space(line[at])) ++at;
    if (at >= line.size()) break;
    size_t end = at;
    while (end < line.size() && !zyp::is_space(line[end])) ++end;
    const std::string_view word = line.substr(at, end - at);
    at = end;
    bool ok = false;
    switch (column) {
      case 0: ok = take_text(word.substr(0, CTY_NAME_LEN), data->name, CTY_NAME_LEN); break;
      case 1: ok = take_text(word, data->state, CTY_STATE_LEN); break;
      case 2: ok = take_text(word, data->region, CTY_REGION_LEN); break;
      case 3: ok = take_text(word, data->id, CTY_ID_LEN); break;
      case 4: ok = take_priority(word, data); break;
      case 5: ok = take_real(word, 90.0f, &data->lat); break;
      case 6: ok = take_real(word, 360.0f, &data->lon); break;
      case 7:
        ok = take_real(word, 1.0e7f, &data->el);
        if (ok && data->el > CTY_ELEV_MAX) data->el = -9999.0f;
        break;
      case 8: ok = take_int(word, 0, CTY_NO_WMO, &data->wmo); break;
      case 9: ok = take_int(word, -2147483647L, 2147483647L, &data->num); break;
    }
    if (!ok) break;
    ++column;
  }
  return column;
}

void clear_record(CTY_data *data) {
  *data = CTY_data{};
  data->mos = data->ua = ' ';
  data->lat = data->lon = data->el = -9999.0f;
  data->wmo = CTY_NO_WMO;
  data->prior = -9999;
  data->num = 0;
}

}  // namespace

int CTY_open(const char *filename, int access, int type) {
  if (access != 0 && access != 1) return -1;
  g_db.file.reset();
  g_db.line = 0;
  if (!filename || (access == 0 && FILE_is_dir(filename))) return -1;
  g_db.file.reset(FILE_open(filename, access == 0 ? "r" : "w"));
  if (!g_db.file) return -1;
  g_db.type = type;
  return fileno(g_db.file.get());
}

int CTY_read(int, CTY_data *data) {
  if (!g_db.file || !data) return -1;
  std::string line;
  for (;;) {
    if (!read_line(g_db.file.get(), line)) return -1;
    ++g_db.line;
    size_t at = 0;
    while (at < line.size() && zyp::is_space(line[at])) ++at;
    if (at < line.size()) break;
  }
  clear_record(data);
  return parse_line(line, data);
}

int CTY_rewind(int) {
  if (!g_db.file) return -1;
  std::rewind(g_db.file.get());
  g_db.line = 0;
  return 0;
}

int CTY_close(int) {
  if (!g_db.file) return -1;
  g_db.file.reset();
  return 0;
}

int CTY_line_number() { return g_db.line; }

const char *CTY_path() { return g_db.path.c_str(); }

int CTY_open_file(const char *filename, int *count) {
  std::string name = filename && *filename ? filename : CTY_DEFAULT_FILE;
  if (const char *res = RES_get("city_file")) {
    if (stricmp(res, "none") == 0) return -1;
    // An empty value, or one naming a standard stream, keeps the default name:
    // the station file is never read from the terminal.
    if (!FILE_is_stdio(res)) name = res;
  }
  if (FILE_is_stdio(name.c_str())) name = CTY_DEFAULT_FILE;
  char path[FILE_PATH_MAX + 1];
  FILE_add_path(RES_get("file_path"), name.c_str(), path);
  g_db.path = path;
  if (count) {
    const long size = FILE_size(path);
    const long estimate = size > 0 ? size / CTY_BYTES_PER_LINE : 0;
    *count = static_cast<int>(estimate < CTY_MAX_ESTIMATE ? estimate : CTY_MAX_ESTIMATE);
  }
  const int fd = CTY_open(path, 0, 0);
  if (fd < 0) MESS_print(M_WARN, "CTY_open_file: Database file not found: %s\n", path);
  return fd;
}

int CTY_get(const char *filename, const char *id, CTY_data *data) {
  if (!id || !data) return 0;
  const int fd = CTY_open_file(filename, nullptr);
  if (fd < 0) return 0;
  MESS_print(M_MESS, "Searching the city database file for: %s ...\n", id);
  int found = 0;
  char wmo[16];
  while (!found && CTY_read(fd, data) > 0) {
    std::snprintf(wmo, sizeof wmo, "%05d", data->wmo);
    found = stricmp(id, data->id) == 0 || stricmp(id, data->name) == 0 || stricmp(id, wmo) == 0;
  }
  CTY_close(fd);
  return found;
}

int CTY_get_loc(const char *filename, const char *id, float *lat, float *lon) {
  CTY_data data;
  if (!CTY_get(filename, id, &data)) return 0;
  if (lat) *lat = data.lat;
  if (lon) *lon = data.lon;
  return 1;
}
