// Shared set-up of the domain and projection tests: fresh resources, messages, flags,
// file-name keys, decoder and projection state, a scratch directory as "file_path",
// and a fake station database behind "id:" items.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "files/files.h"
#include "files/files_testing.h"
#include "geo/geo.h"
#include "geo/geo_testing.h"
#include "geo/map.h"
#include "messages/messages.h"
#include "messages/messages_testing.h"
#include "resources/resources.h"
#include "resources/resources_testing.h"
#include "util/util.h"

namespace geo_test {

struct FakeStation {
  const char *file;  // null: the default database
  const char *id;
  float lat, lon;
};

// A few real stations (positions of the public station table) and one of another file.
inline constexpr FakeStation kStations[] = {
    {nullptr, "KDEN", 39.85f, -104.65f},
    {nullptr, "KLAF", 40.41f, -86.93f},
    {nullptr, "KMSN", 43.13f, -89.33f},
    {"other.cty", "XTST", 10.0f, 20.0f},
};

inline std::string g_last_lookup_file;  // the file the last look-up was asked for

inline int fake_lookup(const char *file, const char *id, float *lat, float *lon) {
  g_last_lookup_file = file ? file : "(default)";
  for (const FakeStation &s : kStations) {
    bool same_file = (file == nullptr && s.file == nullptr) ||
                     (file && s.file && std::strcmp(file, s.file) == 0);
    if (same_file && stricmp(id, s.id) == 0) {
      *lat = s.lat;
      *lon = s.lon;
      return 1;
    }
  }
  return 0;
}

class GeoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RES_reset_state();
    MESS_reset_state();
    FILE_reset_state();
    DOM_reset_state();
    MAP_reset_state();
    char tmpl[] = "/tmp/geo_test_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    RES_put("file_path", dir_.c_str());
    DOM_set_station_lookup(fake_lookup);
  }
  void TearDown() override {
    std::system(("rm -rf " + dir_).c_str());
    RES_reset_state();
    MESS_reset_state();
    FILE_reset_state();
    DOM_reset_state();
    MAP_reset_state();
  }
  // Writes a file into the scratch directory; returns its full path.
  std::string Write(const std::string &name, const std::string &text) const {
    std::ofstream(dir_ + "/" + name) << text;
    return dir_ + "/" + name;
  }
  // Decodes `str`, catching the warnings; returns the result.
  int Decode(const char *str, Domain &d) {
    testing::internal::CaptureStderr();
    int r = DOM_decode(str, &d);
    warnings_ = testing::internal::GetCapturedStderr();
    return r;
  }
  std::string Key(char k) const {
    char buf[64] = "";
    FILE_get_key(k, buf);
    return buf;
  }

  std::string dir_;
  std::string warnings_;
};

}  // namespace geo_test
