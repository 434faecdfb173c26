// Start-up with the companion display program: the "#N" items of the search path.
#include <gtest/gtest.h>

#include <sys/msg.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "companion.h"
#include "files/files.h"
#include "files/files_testing.h"
#include "ipc/ipc.h"
#include "ipc/ipc_testing.h"
#include "messages/messages.h"
#include "messages/messages_testing.h"
#include "resources/resources.h"
#include "resources/resources_testing.h"

namespace {

using Replies = std::vector<TestCompanion::Reply>;

const res_type keys[] = {RES_batch,    RES_message,    RES_city_file, RES_stat_prior,
                         RES_num_hour, RES_identifier, RES_parameter, RES_null};
const res_type positional[] = {RES_filenames, RES_null};

// The queries of start-up for the rows above, on connection 3.
std::vector<std::string> queries() {
  std::vector<std::string> out;
  for (const char *name : {"batch", "message", "city_file", "stat_prior", "num_hour", "identifier",
                           "parameter", "filename"})
    out.push_back(std::string("3query res ") + name);
  return out;
}

std::vector<std::string> joined(std::vector<std::string> a, const std::vector<std::string> &b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

int timeouts_seen = 0;
void count_timeout() { ++timeouts_seen; }

class CompanionLink : public ::testing::Test {
 protected:
  void SetUp() override {
    reset();
    char tmpl[] = "/tmp/link_testXXXXXX";
    dir_ = mkdtemp(tmpl);
    for (const char *v :
         {"zypident", "zypmess", "zypidentifier", "zypparam", "zypcity", "zypnumhour", "zyptz"})
      unsetenv(v);
    ASSERT_TRUE(companion_.ok());
    uid_ = "/" + std::to_string(getuid());
  }
  void TearDown() override {
    unsetenv("zypdefault");
    unsetenv("zypident");
    std::system(("rm -rf " + dir_).c_str());
    reset();
  }
  static void reset() {
    RES_reset_state();
    MESS_reset_state();
    DEF_reset_state();
    FILE_reset_state();
    MQ_reset_state();
  }
  void write(const std::string &sub, const std::string &text) {
    std::system(("mkdir -p " + dir_ + "/" + sub).c_str());
    std::ofstream(dir_ + "/" + sub + "/zyp.cfg") << text;
  }
  std::string link(const TestCompanion &c) const { return "#" + std::to_string(c.key()); }
  // Start-up with the search path `path` and the command line `words`; returns what
  // it printed on standard error.
  std::string init(const std::string &path, std::vector<std::string> words) {
    setenv("zypdefault", path.c_str(), 1);
    words.insert(words.begin(), "sfcparse");
    words_ = std::move(words);
    argv_.clear();
    for (std::string &w : words_) argv_.push_back(w.data());
    argv_.push_back(nullptr);
    testing::internal::CaptureStderr();
    RES_init(static_cast<int>(words_.size()), argv_.data(), keys, positional);
    return testing::internal::GetCapturedStderr();
  }
  std::string get(const char *name) {
    const char *v = RES_get(name);
    return v ? v : "(null)";
  }

  TestCompanion companion_;
  std::string dir_;
  std::string uid_;
  std::vector<std::string> words_;
  std::vector<char *> argv_;
};

TEST_F(CompanionLink, ValuesTakeTheirPlaceInThePrecedence) {
  companion_.set_value("identifier", {"KDEN"});
  companion_.set_value("parameter", {"dec"});
  companion_.set_value("num_hour", {"3"});
  companion_.set_value("city_file", {"companion.cty"});
  companion_.set_value("stat_prior", {"3"});
  companion_.start();
  write("before", "*city_file: before.cty\n*stat_prior: 1\n");
  write("after", "*stat_prior: 5\n");
  setenv("zypident", "KBOU", 1);
  std::string err =
      init(dir_ + "/before:" + link(companion_) + ":" + dir_ + "/after", {"-pa", "pln"});
  EXPECT_EQ(err, "");
  EXPECT_EQ(get("identifier"), "KBOU");          // the environment over the companion
  EXPECT_EQ(get("parameter"), "pln");            // the command line over the companion
  EXPECT_EQ(get("num_hour"), "3");               // the companion's own
  EXPECT_EQ(get("city_file"), "companion.cty");  // the companion over an earlier file
  EXPECT_EQ(get("stat_prior"), "5");             // a later file over the companion
}

TEST_F(CompanionLink, MessagesInOrder) {
  companion_.set_value("identifier", {"KDEN"});
  companion_.start();
  write("before", "*city_file: before.cty\n*identifier: KXXX\n");
  std::string err = init(dir_ + "/before:" + link(companion_),
                         {"-ba", "-pa", "pln", "-xyz=1", "file1", "-id", "KBOU"});
  EXPECT_EQ(err, "");
  companion_.stop();
  // The settings the companion lacks, then every option of the command line
  // (positional arguments are no options), then "quit".
  std::vector<std::string> expected = joined({uid_}, queries());
  expected = joined(expected,
                    {"3set res city_file before.cty", "3set res batch ", "3set res parameter pln",
                     "3set res xyz 1", "3set res identifier KBOU", "3quit"});
  EXPECT_EQ(companion_.received(), expected);
  EXPECT_EQ(get("identifier"), "KBOU");
  EXPECT_EQ(get("filename"), "file1");
}

TEST_F(CompanionLink, ValueLinesThatCarryNoValue) {
  companion_.set_responder([this](const std::string &message) {
    const std::string text = message.substr(1);
    if (text == "query res identifier")
      return Replies{{3, "0"}, {3, "0!none"}, {3, "0\nKDEN"}, {3, "1"}};
    if (text == "query res parameter") return Replies{{3, "0dec\n"}, {3, "0pln\n"}, {3, "1"}};
    if (text == "query res num_hour") return Replies{{3, "012"}, {3, "1"}};  // no newline
    return companion_.protocol(message);
  });
  companion_.start();
  write("before", "*identifier: KXXX\n");
  std::string err = init(dir_ + "/before:" + link(companion_), {});
  companion_.stop();
  EXPECT_EQ(get("identifier"), "KXXX");
  EXPECT_EQ(get("parameter"), "pln");  // the last of several lines
  EXPECT_EQ(get("num_hour"), "12");    // only a newline is cut off
  std::vector<std::string> expected = joined({uid_}, queries());
  expected = joined(expected, {"3set res identifier KXXX", "3quit"});
  EXPECT_EQ(companion_.received(), expected);
}

TEST_F(CompanionLink, NoQueueOfThatKey) {
  int gone;
  {
    TestCompanion c;
    gone = c.key();
  }
  std::string err = init("#" + std::to_string(gone) + ":#0:#abc:#:" + dir_, {"-id", "KDEN"});
  std::string expected;
  for (std::string name :
       {std::to_string(gone), std::string("0"), std::string("abc"), std::string()})
    expected += "ROVedoz window: " + name + " not running or no message queue exists\n";
  EXPECT_EQ(err, expected);
  EXPECT_EQ(get("identifier"), "KDEN");
}

TEST_F(CompanionLink, ConnectionRefused) {
  companion_.set_value("identifier", {"KDEN"});
  companion_.set_connection(3, 1);
  companion_.start();
  std::string err = init(link(companion_), {"-pa", "pln"});
  companion_.stop();
  EXPECT_EQ(err, "ROVedoz window: " + std::to_string(companion_.key()) + " unable to connect\n");
  EXPECT_EQ(companion_.received(), std::vector<std::string>{uid_});
  EXPECT_EQ(get("identifier"), "(null)");
}

TEST_F(CompanionLink, CompanionNotRunning) {
  companion_.set_responder([this](const std::string &message) {
    if (message.substr(1) == "query res message") return Replies{{3, "-"}};
    return companion_.protocol(message);
  });
  companion_.start();
  std::string err = init(link(companion_), {});
  EXPECT_EQ(err, "ROVedoz not running!\n");
}

TEST_F(CompanionLink, CommandsAreNotTakenFromTheCompanion) {
  companion_.set_value("message", {"mess,fi=|touch " + dir_ + "/ran"});
  companion_.start();
  std::string err = init(link(companion_), {});
  EXPECT_NE(
      err.find("RES_decode: Commands are not taken from the companion: message: mess,fi=|touch"),
      std::string::npos)
      << err;
  EXPECT_EQ(get("message"), "(null)");
  EXPECT_NE(access((dir_ + "/ran").c_str(), F_OK), 0);
}

TEST_F(CompanionLink, LongOptionValueIsNotSent) {
  companion_.start();
  const std::string ids(120, 'K');
  std::string err = init(link(companion_), {"-id", ids, "-pa", "pln"});
  companion_.stop();
  EXPECT_NE(err.find("MQ_put: Message not sent, 139 characters are more than 118"),
            std::string::npos)
      << err;
  EXPECT_EQ(get("identifier"), ids);  // the program keeps its own setting
  std::vector<std::string> expected = joined({uid_}, queries());
  expected = joined(expected, {"3set res parameter pln", "3quit"});
  EXPECT_EQ(companion_.received(), expected);
}

TEST_F(CompanionLink, SecondLinkEndsTheFirst) {
  TestCompanion second;
  ASSERT_TRUE(second.ok());
  companion_.set_value("identifier", {"KDEN"});
  second.set_value("identifier", {"KBOU"});
  second.set_connection(4);
  companion_.start();
  second.start();
  init(link(companion_) + ":" + link(second), {"-pa", "pln"});
  companion_.stop();
  second.stop();
  EXPECT_EQ(get("identifier"), "KBOU");
  EXPECT_EQ(companion_.received(), joined(joined({uid_}, queries()), {"3quit"}));
  std::vector<std::string> second_expected{uid_};
  for (std::string q : queries()) second_expected.push_back("4" + q.substr(1));
  // The second has a value of its own for everything the store holds: only the
  // option is told.
  EXPECT_EQ(second.received(), joined(second_expected, {"4set res parameter pln", "4quit"}));
}

// ---- a companion that answers garbage ----

TEST_F(CompanionLink, GarbageAnswersCrashNothing) {
  const std::string no_zero(MQ_TEXT_SIZE, 'Q');
  const std::string binary = std::string("0") + std::string("\x01\xfe\x7f\x80 x", 6) + "\n";
  companion_.set_responder([&](const std::string &message) {
    const std::string text = message.substr(1);
    if (text == "query res batch") return Replies{{3, "", 0}};  // no control character
    if (text == "query res message") return Replies{{3, "z"}};  // status outside the table
    if (text == "query res city_file")
      return Replies{{3, "0" + no_zero, MQ_TEXT_SIZE}, {3, "1"}};  // no zero
    if (text == "query res stat_prior") return Replies{{3, binary}, {3, "\x01"}};
    if (text == "query res identifier")
      return Replies{{7, "0KDEN\n"}, {3, "1"}};  // another type first
    if (text == "query res num_hour")            // more lines than asked for
      return Replies{{3, "01\n"}, {3, "02\n"}, {3, "03\n"}, {3, "04\n"}, {3, "1"}};
    return companion_.protocol(message);
  });
  companion_.start();
  init(link(companion_), {"-id", "KDEN"});
  companion_.stop();
  EXPECT_EQ(get("city_file"), std::string(MQ_TEXT_MAX, 'Q'));  // 118 characters, no newline to cut
  EXPECT_EQ(get("stat_prior"), binary.substr(1, binary.size() - 2));
  EXPECT_EQ(get("num_hour"), "4");
  EXPECT_EQ(get("identifier"), "KDEN");
  EXPECT_EQ(companion_.received().back(), "3quit");
}

TEST_F(CompanionLink, AnswerWithoutEndDropsTheLink) {
  companion_.set_responder([this](const std::string &message) {
    if (message.substr(1) == "query res batch") return Replies(1500, {3, "0more\n"});
    return companion_.protocol(message);
  });
  companion_.start();
  std::string err = init(link(companion_), {"-id", "KDEN"});
  companion_.stop();
  EXPECT_EQ(err, "ROVedoz window: " + std::to_string(companion_.key()) +
                     " answers without end, link dropped\n");
  EXPECT_EQ(get("batch"), "(null)");  // a broken answer gives nothing
  EXPECT_EQ(get("identifier"), "KDEN");
  EXPECT_EQ(companion_.received(), joined({uid_}, queries()));  // no more messages after the drop
}

TEST_F(CompanionLink, QueueRemovedInTheMiddle) {
  MQ_set_timeout(2);
  MQ_set_intrp(count_timeout);
  timeouts_seen = 0;
  companion_.set_responder([this](const std::string &message) {
    if (message.substr(1) == "query res city_file") companion_.remove_queue();
    return companion_.protocol(message);
  });
  companion_.set_value("batch", {"1"});
  companion_.start();
  init(link(companion_), {"-id", "KDEN"});
  EXPECT_EQ(timeouts_seen, 0);
  EXPECT_EQ(get("identifier"), "KDEN");
}

using CompanionLinkDeathTest = CompanionLink;

TEST_F(CompanionLinkDeathTest, SilentCompanionEndsTheProgram) {
  setenv("zypdefault", link(companion_).c_str(), 1);
  char prog[] = "sfcparse";
  std::vector<char *> argv{prog, nullptr};
  EXPECT_EXIT(
      {
        MQ_set_timeout(1);
        RES_init(1, argv.data(), keys, positional);
      },
      testing::ExitedWithCode(7), "^Queue not responding!!\n$");
}

}  // namespace
