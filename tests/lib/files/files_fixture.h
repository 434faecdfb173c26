// Shared fixture of the files module tests: a fresh temporary directory that serves
// as "file_path" (where the naming-convention file is looked for) and as data
// directory, clean module state, and a fixed clock through "zypcurtime".
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "date/date.h"
#include "date/date_testing.h"
#include "files/files.h"
#include "files/files_testing.h"
#include "messages/messages.h"
#include "messages/messages_testing.h"
#include "resources/resources.h"
#include "resources/resources_testing.h"
#include "util/util.h"

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RES_reset_state();
    MESS_reset_state();
    DATE_reset_state();
    FILE_reset_state();
    unsetenv("zypcurtime");
    char tmpl[] = "/tmp/files_test_XXXXXX";
    const char *made = mkdtemp(tmpl);
    ASSERT_NE(made, nullptr);
    dir_ = made;
    RES_put("file_path", dir_.c_str());
  }

  void TearDown() override {
    unsetenv("zypcurtime");
    ZYP_set_input(nullptr);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
    FILE_reset_state();
    RES_reset_state();
    MESS_reset_state();
  }

  /// Writes the naming-convention file "name_conv" into the directory.
  void WriteConv(const std::string &text) { Write("name_conv", text); }

  /// Writes a file under the directory and returns its path.
  std::string Write(const std::string &rel, const std::string &text) {
    std::filesystem::path p = std::filesystem::path(dir_) / rel;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p) << text;
    return p.string();
  }

  /// The file name of a template expanded for a date.
  static std::string Expand(const Date *d) {
    char out[FILE_NAME_SIZE];
    FILE_set_date(d, out);
    return out;
  }

  static std::string Typed(const char *typed) {
    char out[FILE_NAME_SIZE];
    EXPECT_EQ(FILE_set_file(typed, out), 0);
    return out;
  }

  static Date MakeDate(int year, int month, int day, int hour = DATE_MISSING,
                       int min = DATE_MISSING) {
    return Date{year, month, day, DATE_MISSING, DATE_MISSING, hour, min, 0};
  }

  std::string dir_;
};
