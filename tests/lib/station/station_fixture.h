// A scratch directory as "file_path" for station files, and captured messages.
#pragma once

#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "messages/messages.h"
#include "messages/messages_testing.h"
#include "resources/resources.h"
#include "resources/resources_testing.h"
#include "station/station.h"
#include "station/station_testing.h"

class StationFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/station_test_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    RES_reset_state();
    MESS_reset_state();
    CTY_reset_state();
    RES_put("file_path", dir_.c_str());
  }
  void TearDown() override {
    CTY_reset_state();
    RES_reset_state();
    MESS_reset_state();
    std::system(("rm -rf '" + dir_ + "'").c_str());
  }
  // Writes `text` as the file `name` of the scratch directory; returns its path.
  std::string Write(const std::string &name, const std::string &text) const {
    const std::string path = dir_ + "/" + name;
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    return path;
  }
  // Runs `f` and returns what it wrote to standard error.
  template <class F>
  static std::string Stderr(F f) {
    testing::internal::CaptureStderr();
    f();
    std::fflush(stderr);
    return testing::internal::GetCapturedStderr();
  }

  std::string dir_;
};
