// Fuzzes the station file reader together with the station selection: a request
// list and a station file.
// Input layout: the request list (the "identifier" resource, comma-separated) up to
// the first newline, then one byte of settings (bits 0-1 store type, 2-3 locate
// identifier kind, 4-7 priority limit), then the station file.
// Checks: every stored station came from a complete line, has bounded fields and
// satisfies the request, and every complete line of sufficient priority that the
// request selects (CTY_data_cmp, entry by entry) is stored (the store matches with a
// prepared form of the request); look-ups of stored identifiers find a station with
// that identifier; the data areas stay as their preparer left them.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "messages/messages.h"
#include "resources/resources.h"
#include "resources/resources_testing.h"
#include "station/station.h"
#include "station/station_testing.h"
#include "util/util.h"

namespace {

constexpr int kAreaSize = 48;
constexpr size_t kMaxEntries = 64;

struct Area {
  int prior;
  int wmo;
  char id[CTY_ID_LEN + 1];
  char fill[kAreaSize - 2 * sizeof(int) - CTY_ID_LEN - 1];
};
static_assert(sizeof(Area) == kAreaSize);

int Prepare(const CTY_data *d, void *area) {
  Area *a = static_cast<Area *>(area);
  std::memcpy(a->id, d->id, sizeof a->id);
  a->prior = d->prior;
  a->wmo = d->wmo;
  std::memset(a->fill, 0x5A, sizeof a->fill);
  return 0;
}

bool Bounded(const char *s, size_t size) { return std::memchr(s, '\0', size) != nullptr; }

void CheckRecord(const CTY_data &d) {
  if (!Bounded(d.name, sizeof d.name) || !Bounded(d.state, sizeof d.state) ||
      !Bounded(d.region, sizeof d.region) || !Bounded(d.id, sizeof d.id))
    __builtin_trap();
}

const std::string &ScratchFile() {
  static const std::string path = [] {
    // In memory where there is a memory file system: a disk file per input is slow.
    char tmpl[] = "/dev/shm/fuzz_station_XXXXXX";
    int fd = mkstemp(tmpl);
    if (fd < 0) {
      std::strcpy(tmpl, "/tmp/fuzz_station_XXXXXX");
      fd = mkstemp(tmpl);
    }
    if (fd >= 0) close(fd);
    std::atexit([] { std::remove(ScratchFile().c_str()); });
    return std::string(tmpl);
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string input(reinterpret_cast<const char *>(data), size);
  const size_t nl = input.find('\n');
  if (nl == std::string::npos || nl + 1 >= input.size()) return 0;
  const std::string request = input.substr(0, nl);
  if (request.find('\0') != std::string::npos) return 0;
  const uint8_t settings = data[nl + 1];
  const std::string database = input.substr(nl + 2);

  static bool quiet = false;
  if (!quiet) {
    MESS_set_str("none");
    quiet = true;
  }
  FILE *f = std::fopen(ScratchFile().c_str(), "wb");
  if (!f) return 0;
  std::fwrite(database.data(), 1, database.size(), f);
  std::fclose(f);

  RES_reset_state();
  CTY_reset_state();
  RES_put("identifier", request.c_str());
  const int type = 1 + settings % 3;
  const int prior = (settings >> 4) % 11;
  CTY_set_id_type((settings >> 2) % 3);
  CTY_data_size(kAreaSize);
  CTY_enter_func(Prepare);
  CTY_store(ScratchFile().c_str(), type, nullptr, prior);

  ParsedList ids;
  parse_string(request.c_str(), ',', ids);
  if (ids.size() > kMaxEntries) return 0;  // the line-by-line check below is quadratic
  if (ids.size() == 1 && stricmp(ids[0].c_str(), "all") == 0) ids.clear();
  for (const std::string &entry : ids) CTY_check_entry(entry);

  // Every stored station: a prepared area, and (store type 1) a record that the
  // request selects, found again by its identifier.
  int walked = 0;
  for (auto *a = static_cast<Area *>(CTY_next_data(0)); a;
       a = static_cast<Area *>(CTY_next_data(1))) {
    ++walked;
    if (!Bounded(a->id, sizeof a->id) || a->prior < 0 || a->prior > prior || a->wmo < 0 ||
        a->wmo > CTY_NO_WMO)
      __builtin_trap();
    for (unsigned char c : a->fill)
      if (c != 0x5A) __builtin_trap();
    char wmo_id[CTY_WMO_ID_SIZE];
    wmo_to_id(wmo_id, a->wmo);
    int back = 0;
    if (id_to_wmo(wmo_id, &back) == 0 && back != a->wmo) __builtin_trap();
    if (type != 1) continue;
    CTY_data d;
    if (CTY_search(a->id, &d)) {
      CheckRecord(d);
      if (a->id[0] < '0' || a->id[0] > '9') {
        // An identifier key: the first station with this identifier.
        if (std::strcmp(d.id, a->id) != 0 && std::strlen(a->id) != 5 && std::strlen(a->id) != 6)
          __builtin_trap();
      }
      if (CTY_data_cmp(ids, &d) == -1) __builtin_trap();
    }
    if (a->id[0] < '0' || a->id[0] > '9') {
      const auto *first = static_cast<const Area *>(CTY_get_data(a->id));
      if (!first || std::strcmp(first->id, a->id) != 0) __builtin_trap();
    }
    CTY_ids_cmp(ids, a->id);
  }
  if (walked != CTY_store_count()) __builtin_trap();

  // The file reader on its own, and the request against every line read: the
  // stations selected entry by entry are the stations stored.
  const int stored = CTY_store_count();
  if (CTY_open(ScratchFile().c_str(), 0, 0) >= 0) {
    CTY_data d;
    int columns, selected = 0;
    while ((columns = CTY_read(0, &d)) > 0) {
      if (columns > CTY_COLUMNS) __builtin_trap();
      CheckRecord(d);
      const int index = CTY_data_cmp(ids, &d);
      if (index < -1 || (index >= static_cast<int>(ids.size()) && !ids.empty())) __builtin_trap();
      if (columns >= CTY_COLUMNS_NEEDED && d.prior <= prior && index != -1) ++selected;
    }
    CTY_close(0);
    if (selected != stored) __builtin_trap();
  }
  return 0;
}
