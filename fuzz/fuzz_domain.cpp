// Fuzzes the decoding of domain strings together with a region file, and projects a
// few points into whatever domain came out.
// Input layout: the domain string up to the first newline, then the text of the
// region file "zyp.reg" (also readable as "r.reg"). '|', '/' and '~' are replaced so
// that no pipe is run and every file read is in the scratch directory; the standard
// input is /dev/null, so a file name that means it reads nothing. The scratch
// directory is in memory where the system offers one (rewriting a file on disk costs
// milliseconds), and the file is written only when its text changes.
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "files/files.h"
#include "files/files_testing.h"
#include "geo/geo.h"
#include "geo/geo_testing.h"
#include "geo/map.h"
#include "messages/messages.h"
#include "resources/resources.h"
#include "resources/resources_testing.h"

namespace {

std::string g_dir;

std::string sanitize(std::string s) {
  for (char &c : s)
    if (c == '|' || c == '/' || c == '~') c = '_';
  return s;
}

void remove_scratch() {
  std::remove((g_dir + "/zyp.reg").c_str());
  std::remove((g_dir + "/r.reg").c_str());
  rmdir(g_dir.c_str());
}

void set_up_once() {
  if (!g_dir.empty()) return;
  char shm[] = "/dev/shm/fuzz_domainXXXXXX";
  char tmp[] = "/tmp/fuzz_domainXXXXXX";
  const char *dir = mkdtemp(shm);
  if (!dir) dir = mkdtemp(tmp);
  if (!dir) std::abort();
  g_dir = dir;
  std::atexit(remove_scratch);
  if (symlink("zyp.reg", (g_dir + "/r.reg").c_str()) != 0) std::abort();
  if (!std::freopen("/dev/null", "r", stdin)) std::abort();
  MESS_set_str("none");
}

void write_region_file(const std::string &text) {
  static std::string last;
  static bool written = false;
  if (written && text == last) return;
  if (FILE *f = std::fopen((g_dir + "/zyp.reg").c_str(), "w")) {
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  }
  last = text;
  written = true;
}

// Stations whose identifier starts with K, placed by the identifier's letters.
int lookup(const char *file, const char *id, float *lat, float *lon) {
  if (file || id[0] != 'K' || !id[1]) return 0;
  *lat = static_cast<float>(static_cast<unsigned char>(id[1]) % 181) - 90.0f;
  unsigned char second = static_cast<unsigned char>(id[2] ? id[2] : id[1]);
  *lon = static_cast<float>(second % 361) - 180.0f;
  return 1;
}

void check_point(float lat, float lon) {
  float x = 0, y = 0;
  int seen = MAP_tran(lat, lon, &x, &y);
  if (seen && MAP_get_proj() != DOM_NONE && !(std::isfinite(x) && std::isfinite(y)))
    __builtin_trap();
  if (!seen && (x != -9999.0f || y != -9999.0f)) __builtin_trap();
  MAP_in_grid_domain(x, y);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  set_up_once();
  std::string input(reinterpret_cast<const char *>(data), size);
  size_t nl = input.find('\n');
  std::string str = sanitize(input.substr(0, nl));
  std::string file = nl == std::string::npos ? std::string() : sanitize(input.substr(nl + 1));
  if (str.find('\0') != std::string::npos) return 0;
  write_region_file(file);

  RES_reset_state();
  FILE_reset_state();
  DOM_reset_state();
  MAP_reset_state();
  RES_put("file_path", g_dir.c_str());
  DOM_set_station_lookup(lookup);

  Domain d;
  int result = DOM_decode(str.c_str(), &d);
  if (result != DOM_RES_UNSET && result != DOM_RES_INVALID && result != DOM_RES_PARAMS &&
      result != DOM_RES_REGION)
    __builtin_trap();
  if ((result == DOM_RES_UNSET || result == DOM_RES_INVALID) && d.proj != DOM_NONE)
    __builtin_trap();
  if (result != DOM_RES_UNSET && FLAG_get(FLAG_DOMAIN) != result) __builtin_trap();
  char key[64];
  FILE_get_key('r', key);
  if (std::string(key).size() > 29) __builtin_trap();

  MAP_domain(&d);
  float cx, cy;
  MAP_tran_center(&cx, &cy);
  for (float lat : {90.0f, 45.0f, 0.0f, -45.0f, -90.0f})
    for (float lon : {-180.0f, -100.0f, 0.0f, 100.0f, 180.0f}) check_point(lat, lon);
  check_point(-d.clat, d.clon + 180.0f);  // the antipode of the centre
  return 0;
}
