// Naming conventions: lookup in the naming-convention file, keys, template expansion
// and the listing of the data files.
#include <string>
#include <vector>

#include "files/paths.h"
#include "files_fixture.h"
#include "resources/resources_testing.h"

namespace {

constexpr int M = DATE_MISSING;

const char *const kConv =
    "\n"
    "# name template header min_size\n"
    "sfc_dat %D/%y%m%d%h_sao.wmo - 100\n"
    "sfc_datx %D/never.wmo -\n"
    "sfc_cvt %C/%y%m%d%h_sao.cvt %C/%y%m%d_hdr.cvt\n"
    "sfc_par %i.txt -\n"
    "lonely\n"
    "sfc_ext %D/%y%m%d%h.%e -\n";

struct LookupCase {
  const char *name;
  int result;
  const char *conv;
  const char *ext;
  int min_size;
};

class NamingTest : public FilesTest {};

TEST_F(NamingTest, LookupTable) {
  WriteConv(kConv);
  const LookupCase cases[] = {
      {"sfc_dat", 1, "%D/%y%m%d%h_sao.wmo", "", 100},
      {"SFC_DAT", 1, "%D/%y%m%d%h_sao.wmo", "", 100},
      {"sfc_dat_XX", 1, "%D/%y%m%d%h_sao.wmo", "XX", 100},
      // The shorter entry placed first hides the longer one.
      {"sfc_datx", 1, "%D/%y%m%d%h_sao.wmo", "datx", 100},
      {"sfc_cvt", 1, "%C/%y%m%d%h_sao.cvt", "", 0},
      {"sfc_par:i=KMSN", 1, "%i.txt", "", 0},
      {"unknown", 0, "unknown", "", 0},
      {"sf", 0, "sf", "", 0},
      {"lonely", 0, "lonely", "", 0},  // a line without a template is no entry
      {"none", 0, "", "", 0},
      {"@%y.dat", 1, "%y.dat", "", 0},
  };
  for (const LookupCase &c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FILE_set_name(c.name), c.result);
    EXPECT_STREQ(FILE_get_template(), c.conv);
    if (c.result == 1 && c.name[0] != '@') {
      EXPECT_STREQ(FILE_get_ext(), c.ext);
      EXPECT_EQ(FILE_get_min_size(), c.min_size);
    }
  }
}

TEST_F(NamingTest, MinimumSizeField) {
  struct SizeCase {
    const char *field;
    int min_size;
  };
  const SizeCase cases[] = {
      {"100", 100},
      {"+7", 7},
      {"-5", -5},
      {"12abc", 12},  // the number the field begins with
      {"abc", 0},
      {"-", 0},
      {"+-5", 0},
      {"99999999999", 2147483647},  // cut to the range of an int
      {"-99999999999", -2147483647 - 1},
      {"99999999999999999999999", 2147483647},  // beyond a long as well
      {"-99999999999999999999999", -2147483647 - 1},
  };
  for (const SizeCase &c : cases) {
    SCOPED_TRACE(c.field);
    WriteConv(std::string("sfc_dat %D/%y%m%d%h_sao.wmo - ") + c.field + "\n");
    EXPECT_EQ(FILE_set_name("sfc_dat"), 1);
    EXPECT_EQ(FILE_get_min_size(), c.min_size);
  }
}

TEST_F(NamingTest, KeyAssignmentsInTheName) {
  WriteConv(kConv);
  EXPECT_EQ(FILE_set_name("sfc_par:i=KMSN:r=front range"), 1);
  EXPECT_STREQ(FILE_get_template(), "%i.txt");
  char key[FILE_KEY_SIZE];
  FILE_get_key('i', key);
  EXPECT_STREQ(key, "KMSN");
  FILE_get_key('r', key);
  EXPECT_STREQ(key, "front_range");
  Date d = MakeDate(2026, 1, 7, 12);
  EXPECT_EQ(Expand(&d), "KMSN.txt");
  // A colon without an assignment stays in the name.
  EXPECT_EQ(FILE_set_name("odd:name"), 0);
  EXPECT_STREQ(FILE_get_template(), "odd:name");
}

TEST_F(NamingTest, KeysAreBoundedAndBlanksBecomeUnderscores) {
  FILE_set_key('i', "A B C");
  char key[FILE_KEY_SIZE];
  EXPECT_EQ(FILE_get_key('i', key), 5);
  EXPECT_STREQ(key, "A_B_C");
  FILE_set_key('x', std::string(40, 'k').c_str());
  EXPECT_EQ(FILE_get_key('x', key), 29);
  FILE_set_key(200, "high");
  EXPECT_EQ(FILE_get_key(200, key), 4);
  // A key set before the first convention is chosen stays.
  WriteConv(kConv);
  FILE_set_name("sfc_par");
  FILE_get_key('i', key);
  EXPECT_STREQ(key, "A_B_C");
}

TEST_F(NamingTest, MissingConventionFileWarnsAndUsesTheName) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(FILE_set_name("%y%m%d.dat"), 0);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "FILE_set_name: No file name convention file: " + dir_ + "/name_conv\n");
  EXPECT_STREQ(FILE_get_template(), "%y%m%d.dat");
  Date d = MakeDate(2026, 1, 7, 12);
  EXPECT_EQ(Expand(&d), "260107.dat");
}

TEST_F(NamingTest, ConventionFileThatIsADirectoryWarns) {
  std::filesystem::create_directory(dir_ + "/name_conv");
  testing::internal::CaptureStderr();
  EXPECT_EQ(FILE_set_name("sfc_dat"), 0);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("No file name convention file"),
            std::string::npos);
  EXPECT_STREQ(FILE_get_template(), "sfc_dat");
}

TEST_F(NamingTest, ConventionFileNamedByResource) {
  Write("other.nc", "sfc_dat %D/other_%h -\n");
  RES_put("name_conv", "other.nc");
  EXPECT_EQ(FILE_set_name("sfc_dat"), 1);
  EXPECT_STREQ(FILE_get_template(), "%D/other_%h");
  // An absolute name is used as it is.
  std::string abs = Write("sub/abs.nc", "sfc_dat abs%h -\n");
  RES_put("name_conv", abs.c_str());
  EXPECT_EQ(FILE_set_name("sfc_dat"), 1);
  EXPECT_STREQ(FILE_get_template(), "abs%h");
  // An empty value means the default name.
  WriteConv("sfc_dat default%h -\n");
  RES_put("name_conv", "");
  EXPECT_EQ(FILE_set_name("sfc_dat"), 1);
  EXPECT_STREQ(FILE_get_template(), "default%h");
}

// ---- expansion ----------------------------------------------------------------------

struct ExpandCase {
  const char *tpl;
  Date set;  // the fixed fields
  Date date;
  const char *expected;
  int late_off;
};

Date Set(int year = M, int month = M, int day = M, int hour = M, int min = M) {
  return Date{year, month, day, M, M, hour, min, 0};
}

TEST_F(NamingTest, ExpansionTable) {
  RES_put("data_path", "/data/raw");
  RES_put("raw_path", "/r");
  FILE_set_key('i', "KMSNXX");
  const Date d = MakeDate(2026, 1, 7, 11, 34);
  const ExpandCase cases[] = {
      {"%D/%y%m%d%h_sao.wmo", Set(), MakeDate(2026, 1, 7, 12, 34), "/data/raw/26010712_sao.wmo",
       3600},
      {"%Y%m%d", Set(), d, "20260107", 86400},
      {"a b%y", Set(), d, "a_b26", -9999},
      {"x.dat", Set(), d, "x.dat", -9999},
      {"%3h", Set(), d, "09", 10800},
      {"%0h", Set(), d, "11", 3600},  // a number of 0 counts as none
      {"%h", Set(M, M, M, -306), d, "09", 21600},
      {"%h", Set(M, M, M, 12), d, "12", 3600},
      {"%h", Set(M, M, M, -300), d, "11", 3600},  // a step of 0 is no step
      {"%h%n", Set(M, M, M, M, -15), d, "1130", 900},
      {"%n", Set(M, M, M, M, -100), d, "34", 60},
      {"%d", Set(M, M, -5), d, "05", 432000},
      {"%d%h", Set(M, M, 3), d, "0311", 3600},
      {"%b%d", Set(), d, "jan07", 86400},
      {"%j", Set(), d, "007", 86400},
      {"%j", Set(), MakeDate(2024, 3, 1), "061", 86400},
      {"%2j", Set(), MakeDate(2026, 3, 3), "061", 172800},
      {"%Y%m", Set(1999, 12), d, "199912", -9999},
      {"%y", Set(1999), d, "99", -9999},
      {"%10Y", Set(), d, "2020", -9999},
      {"%%%y", Set(), d, "%26", -9999},
      {"{%D}/x", Set(), d, "/data/raw/x", -9999},
      {"%{raw_path}/x", Set(), d, "/r/x", -9999},
      {"%{unset_path}/x", Set(), d, "/x", -9999},
      {"%G/x", Set(), d, "./x", -9999},
      {"%i.txt", Set(), d, "KMSNXX.txt", -9999},
      {"%4i.txt", Set(), d, "KMSN.txt", -9999},
      {"%9i.txt", Set(), d, "KMSNXX.txt", -9999},  // a shorter key is written whole
      {"%k.txt", Set(), d, "0.txt", -9999},
      {"%q", Set(), d, "0", -9999},
      {"%y%", Set(), d, "26", -9999},
      {"%h%n", Set(), MakeDate(2026, 1, 7), "0000", 60},
      {"%Y%b", Set(), MakeDate(-5, -1, 7), "0000xxx", -9999},
  };
  for (const ExpandCase &c : cases) {
    SCOPED_TRACE(c.tpl);
    std::string name = std::string("@") + c.tpl;
    FILE_set_name(name.c_str());
    FILE_set_time(&c.set);
    EXPECT_EQ(Expand(&c.date), c.expected);
    EXPECT_EQ(FILE_get_late_off(), c.late_off);
  }
}

TEST_F(NamingTest, ExpansionSetsTheFileDate) {
  RES_put("data_path", "/data/raw");
  FILE_set_name("@%D/%y%m%d%h_sao.wmo");
  Date d = MakeDate(2026, 1, 7, 12, 34);
  EXPECT_EQ(Expand(&d), "/data/raw/26010712_sao.wmo");
  Date fd;
  FILE_get_date(&fd);
  EXPECT_EQ(fd.year, 2026);
  EXPECT_EQ(fd.month, 1);
  EXPECT_EQ(fd.day, 7);
  EXPECT_EQ(fd.hour, 12);
  EXPECT_EQ(fd.min, M);
  // Without data_path the directory is ".".
  RES_reset_state();
  EXPECT_EQ(Expand(&d), "./26010712_sao.wmo");
  // A null date expands the date of the last file.
  EXPECT_EQ(Expand(nullptr), "./26010712_sao.wmo");
  // Fields written as zeros are missing in the file date.
  FILE_set_name("@%Y%j%h");
  Date partial = MakeDate(2026, 2, 1);
  EXPECT_EQ(Expand(&partial), "202603200");
  FILE_get_date(&fd);
  EXPECT_EQ(fd.jday, 32);
  EXPECT_EQ(fd.hour, M);
}

TEST_F(NamingTest, ExpansionWithoutTemplate) {
  char out[FILE_NAME_SIZE];
  FILE_set_name("none");
  Date d = MakeDate(2026, 1, 7, 12);
  EXPECT_EQ(FILE_set_date(&d, out), 1);
  EXPECT_STREQ(out, "filename");
  FILE_set_file("mine.dat", out);
  EXPECT_EQ(FILE_set_date(&d, out), 1);
  EXPECT_STREQ(out, "mine.dat");
  FILE_set_name("@-");
  EXPECT_EQ(FILE_set_date(&d, out), 1);
  EXPECT_STREQ(out, "-");
}

TEST_F(NamingTest, PathTakenFromTheUsersFile) {
  RES_put("data_path", "/data");
  FILE_set_name("@%D/%y%m%d%h_sao.wmo");
  char out[FILE_NAME_SIZE];
  FILE_set_file("@/tmp/x/26010712_sao.wmo", out);
  Date d = MakeDate(2026, 1, 7, 13);
  EXPECT_EQ(Expand(&d), "/tmp/x/26010713_sao.wmo");
  // A name built from the template keeps the directory for later dates.
  d.hour = 14;
  EXPECT_EQ(Expand(&d), "/tmp/x/26010714_sao.wmo");
}

TEST_F(NamingTest, DateMissingUsesTheLastName) {
  FILE_set_name("@%y%m%d%h.wmo");
  char out[FILE_NAME_SIZE];
  Date d = MakeDate(2026, 1, 7, 12);
  FILE_set_date(&d, out);
  Date none = MakeDate(M, M, M);
  EXPECT_EQ(FILE_set_date(&none, out), 1);
  EXPECT_STREQ(out, "26010712.wmo");
}

TEST_F(NamingTest, SaveAndRestoreKeepTheExtension) {
  WriteConv(kConv);
  RES_put("data_path", "/d");
  FILE_set_name("sfc_ext_abc");
  Date d = MakeDate(2026, 1, 7, 12);
  EXPECT_EQ(Expand(&d), "/d/26010712.abc");
  FILE_save_name_conv();
  FILE_set_name("sfc_par:i=KDEN");
  EXPECT_EQ(Expand(&d), "KDEN.txt");
  FILE_restore_name_conv();
  EXPECT_STREQ(FILE_get_template(), "%D/%y%m%d%h.%e");
  EXPECT_EQ(Expand(&d), "/d/26010712.abc");
  EXPECT_EQ(FILE_get_late_off(), 3600);
}

TEST_F(NamingTest, HeaderTemplate) {
  WriteConv(kConv);
  RES_put("con_path", "/c");
  FILE_set_name("sfc_cvt");
  FILE_set_header(1);
  Date d = MakeDate(2026, 1, 7, 12);
  EXPECT_EQ(Expand(&d), "/c/260107_hdr.cvt");
  EXPECT_EQ(FILE_get_late_off(), 86400);
}

TEST_F(NamingTest, OverlongNamesAreCut) {
  FILE_set_key('i', std::string(29, 'k').c_str());
  FILE_set_name("@%i%i%i%i%i%i%i");
  Date d = MakeDate(2026, 1, 7, 12);
  EXPECT_EQ(Expand(&d), std::string(159, 'k'));
  std::string tpl = "@" + std::string(300, 'a');
  FILE_set_name(tpl.c_str());
  EXPECT_EQ(std::string(FILE_get_template()), std::string(158, 'a'));
}

// ---- listing -----------------------------------------------------------------------------

TEST_F(NamingTest, ListingShowsTheFilesThatFit) {
  RES_put("data_path", dir_.c_str());
  Write("26010712_sao.wmo", "x");
  Write("26010713_sao.wmo", "x");
  Write("other.txt", "x");
  FILE_set_name("@%D/%y%m%d%h_sao.wmo");
  testing::internal::CaptureStdout();
  EXPECT_EQ(FILE_list_file(), 0);
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("26010712_sao.wmo"), std::string::npos);
  EXPECT_NE(out.find("26010713_sao.wmo"), std::string::npos);
  EXPECT_EQ(out.find("other.txt"), std::string::npos);
}

TEST_F(NamingTest, ListingPatternOfKeysAndExtension) {
  RES_put("data_path", dir_.c_str());
  Write("KDEN_26.abc", "x");
  Write("KBOU_26.abc", "x");
  Write("KDEN_26.xyz", "x");
  FILE_set_name("@%D/%4i_%y.%e");
  FILE_set_key('i', "KDEN");
  testing::internal::CaptureStdout();
  FILE_list_file();
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("KDEN_26.abc"), std::string::npos);
  EXPECT_NE(out.find("KDEN_26.xyz"), std::string::npos);
  EXPECT_EQ(out.find("KBOU"), std::string::npos);
  FILE_set_key('i', "");
  testing::internal::CaptureStdout();
  FILE_list_file();
  out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("KBOU_26.abc"), std::string::npos);
}

TEST_F(NamingTest, ListingDoesNotRunShellCommandsOfTheTemplate) {
  RES_put("data_path", dir_.c_str());
  std::string tpl =
      "@%D/x;touch\t" + dir_ + "/INJ1;$(touch\t" + dir_ + "/INJ2)`touch\t" + dir_ + "/INJ3`";
  FILE_set_name(tpl.c_str());
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  FILE_list_file();
  testing::internal::GetCapturedStdout();
  testing::internal::GetCapturedStderr();
  EXPECT_FALSE(std::filesystem::exists(dir_ + "/INJ1"));
  EXPECT_FALSE(std::filesystem::exists(dir_ + "/INJ2"));
  EXPECT_FALSE(std::filesystem::exists(dir_ + "/INJ3"));
}

}  // namespace
