#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "files/paths.h"

namespace {

TEST(Paths, AddPath) {
  struct Case {
    const char *dir;
    const char *name;
    const char *out;
  };
  const Case cases[] = {
      {"/data", "raw/x", "/data/raw/x"},
      {"/data/", "x", "/data/x"},
      {nullptr, "x", "x"},
      {"/data", "~/x", "~/x"},
      {"/data", "-", "-"},
      {"/data", "./y", "./y"},
      {"", "x", "x"},
      {"/data", "STD", "STD"},
      {"d", "/abs", "/abs"},
  };
  for (const Case &c : cases) {
    char out[FILE_PATH_MAX + 1];
    EXPECT_STREQ(FILE_add_path(c.dir, c.name, out), c.out) << c.name;
  }
}

TEST(Paths, AddPathIsBounded) {
  std::string dir(300, 'd');
  char out[FILE_PATH_MAX + 1];
  FILE_add_path(dir.c_str(), "x", out);
  EXPECT_EQ(std::strlen(out), static_cast<size_t>(FILE_PATH_MAX));
}

TEST(Paths, StdioAndFullPath) {
  for (const char *n : {"", "-", "std", "STD", "stdn", "StdN"}) EXPECT_EQ(FILE_is_stdio(n), 1) << n;
  for (const char *n : {"stdx", "--", "x"}) EXPECT_EQ(FILE_is_stdio(n), 0) << n;
  for (const char *n : {"/a", "./a", "~a"}) EXPECT_EQ(FILE_fullpath(n), 1) << n;
  EXPECT_EQ(FILE_fullpath("a/b"), 0);
  EXPECT_EQ(FILE_exist("-"), 1);
}

TEST(Paths, UserPath) {
  char out[FILE_PATH_MAX + 1];
  const char *home = std::getenv("HOME");
  FILE_add_user_path("~/x/y", out);
  if (home) {
    EXPECT_EQ(std::string(out).substr(std::string(out).size() - 4), "/x/y");
    EXPECT_NE(out[0], '~');
  }
  FILE_add_user_path("~root/etc", out);
  EXPECT_EQ(std::string(out).substr(std::string(out).size() - 4), "/etc");
  FILE_add_user_path("~no_such_user_zz/etc", out);
  EXPECT_STREQ(out, "~no_such_user_zz/etc");
  FILE_add_user_path("plain", out);
  EXPECT_STREQ(out, "plain");
}

class PathFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/paths_testXXXXXX";
    dir_ = mkdtemp(tmpl);
  }
  void TearDown() override { std::system(("rm -rf " + dir_).c_str()); }
  std::string dir_;
};

TEST_F(PathFiles, SizeExistDir) {
  std::string empty = dir_ + "/empty";
  { std::ofstream(empty.c_str()); }
  EXPECT_EQ(FILE_size(empty.c_str()), 0);
  EXPECT_EQ(FILE_size((dir_ + "/missing").c_str()), -1);
  EXPECT_EQ(FILE_exist(empty.c_str()), 1);
  EXPECT_EQ(FILE_exist((dir_ + "/missing").c_str()), 0);
  EXPECT_EQ(FILE_is_dir(dir_.c_str()), 1);
  EXPECT_EQ(FILE_is_dir(empty.c_str()), 0);
}

TEST_F(PathFiles, OpenForWritingCreatesDirectories) {
  std::string name = dir_ + "/a/b/c.txt";
  FilePtr f(FILE_open(name.c_str(), "w"));
  ASSERT_TRUE(f);
  std::fputs("x", f.get());
  f.reset();
  EXPECT_EQ(FILE_is_dir((dir_ + "/a/b").c_str()), 1);
  EXPECT_EQ(FILE_size(name.c_str()), 1);
}

TEST_F(PathFiles, MakeDirWithBackslashesAndDirectoryFlag) {
  std::string path = dir_ + "\\x\\y";
  EXPECT_EQ(FILE_make_dir(path.data(), 0), 0);
  EXPECT_EQ(FILE_is_dir((dir_ + "/x/y").c_str()), 1);
  std::string again = dir_ + "/x/y/file";
  EXPECT_EQ(FILE_make_dir(again.data(), 1), 1);  // parent exists
}

struct MakeDirCase {
  const char *path;  // under the test directory
  int flag;
  int result;
  const char *made;  // the directories made, in order of a walk
};

TEST_F(PathFiles, MakeDirTable) {
  const MakeDirCase cases[] = {
      {"a/b/c", 0, 0, "a a/b a/b/c"},
      {"a/b/c", 1, 0, "a a/b"},
      {"a/b/c", 3, 0, ""},
      {"a/b/c/", 1, 0, "a a/b"},  // ending "/"s do not make a part
      {"a//b/c", 2, 0, "a"},      // an empty part between two "/" counts
      {"a/./b/c", 1, 0, "a a/b"},
      {"a/../b/c", 1, 0, "a b"},
      {"a\\b\\c", 1, 0, "a a/b"},  // backslashes are separators
      {"a/b", -2, 0, "a a/b"},     // a negative count leaves out nothing
      {"x", 1, 1, ""},             // the test directory exists
  };
  for (const MakeDirCase &c : cases) {
    SCOPED_TRACE(std::string(c.path) + " " + std::to_string(c.flag));
    const std::string base = dir_ + "/t";
    std::filesystem::remove_all(base);
    std::filesystem::create_directory(base);
    std::string path = base + "/" + c.path;
    EXPECT_EQ(FILE_make_dir(path.data(), c.flag), c.result);
    EXPECT_EQ(path.find('\\'), std::string::npos);
    std::vector<std::string> made;
    for (const auto &e : std::filesystem::recursive_directory_iterator(base))
      made.push_back(std::filesystem::relative(e.path(), base).string());
    std::sort(made.begin(), made.end());
    std::string joined;
    for (const std::string &m : made) joined += (joined.empty() ? "" : " ") + m;
    EXPECT_EQ(joined, c.made);
  }
  // No directory part, or nothing at all: nothing to make.
  std::string plain = "plain";
  EXPECT_EQ(FILE_make_dir(plain.data(), 0), 1);
  EXPECT_EQ(FILE_make_dir(nullptr, 0), 1);
}

TEST_F(PathFiles, MakeDirGivesDirectoriesOfMode0755) {
  const mode_t old = umask(0);
  std::string path = dir_ + "/m/n/file";
  EXPECT_EQ(FILE_make_dir(path.data(), 1), 0);
  umask(old);
  struct stat st;
  ASSERT_EQ(stat((dir_ + "/m/n").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0755u);
}

TEST_F(PathFiles, OpenStreamsAndPipes) {
  EXPECT_EQ(FILE_open("-", "r"), stdin);
  EXPECT_EQ(FILE_open("STD", "w"), stdout);
  EXPECT_EQ(FILE_open("", "a"), stdout);
  FilePtr p(FILE_open("|echo piped", "r"));
  ASSERT_TRUE(p);
  char buf[32] = "";
  ASSERT_TRUE(std::fgets(buf, sizeof buf, p.get()));
  EXPECT_STREQ(buf, "piped\n");
  EXPECT_EQ(FILE_close(p.release()), 0);
  EXPECT_EQ(FILE_open((dir_ + "/missing").c_str(), "r"), nullptr);
  EXPECT_EQ(FILE_close(stdout), 0);                  // standard streams stay open
  EXPECT_EQ(FILE_open(dir_.c_str(), "r"), nullptr);  // a directory is no file
}

}  // namespace
