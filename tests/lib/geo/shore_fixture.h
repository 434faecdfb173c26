// Shared set-up of the shoreline and map tests: fresh messages, projection and
// shoreline state, and the shoreline database directory ("zypshore") pointed at an
// empty scratch directory, put back afterwards.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <string>

#include "geo/geo_testing.h"
#include "geo/map.h"
#include "geo/shore.h"
#include "messages/messages.h"
#include "messages/messages_testing.h"

namespace shore_test {

/// A domain of one spacing in both directions.
inline Domain make_domain(int proj, float clat, float clon, int nx, int ny, float dx) {
  Domain d;
  d.proj = proj;
  d.clat = clat;
  d.clon = clon;
  d.nx = nx;
  d.ny = ny;
  d.dx = d.dy = dx;
  return d;
}

class ShoreDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MESS_reset_state();
    MAP_reset_state();
    MAP_shore_reset_state();
    char tmpl[] = "/tmp/shore_test_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    const char *env = std::getenv(MAP_SHORE_ENV);
    had_env_ = env != nullptr;
    if (env) saved_env_ = env;
    setenv(MAP_SHORE_ENV, dir_.c_str(), 1);
  }
  void TearDown() override {
    if (had_env_)
      setenv(MAP_SHORE_ENV, saved_env_.c_str(), 1);
    else
      unsetenv(MAP_SHORE_ENV);
    std::system(("rm -rf " + dir_).c_str());
    MAP_shore_reset_state();
    MAP_reset_state();
    MESS_reset_state();
  }

  std::string dir_;       // the scratch directory, the shoreline directory at first
  std::string warnings_;  // what the last call under test wrote to standard error

 private:
  bool had_env_ = false;
  std::string saved_env_;
};

}  // namespace shore_test
