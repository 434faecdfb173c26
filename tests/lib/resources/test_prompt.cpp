#include <gtest/gtest.h>

#include <cstdio>

#include "messages/messages.h"
#include "messages/messages_testing.h"
#include "resources/prompt.h"
#include "resources/resources.h"
#include "resources/resources_testing.h"

namespace {

class Prompts : public ::testing::Test {
 protected:
  void SetUp() override {
    RES_reset_state();
    MESS_reset_state();
    MESS_set_str("none");  // keep the prompt texts off the test output
  }
  void TearDown() override {
    ZYP_set_input(nullptr);
    if (in_) std::fclose(in_);
    MESS_reset_state();
  }
  void answer(const char *text) {
    in_ = std::tmpfile();
    std::fputs(text, in_);
    std::rewind(in_);
    ZYP_set_input(in_);
  }
  FILE *in_ = nullptr;
};

TEST_F(Prompts, SetCommandStoresAndAsksAgain) {
  answer("set zz_res=some value\nKDEN rest\n");
  char word[60] = "";
  ZYP_prompts("Enter the station: ", word, 60);
  EXPECT_STREQ(word, "KDEN");
  EXPECT_STREQ(RES_get("zz_res"), "some value");
}

TEST_F(Prompts, SetWithoutNameListsAndAsksAgain) {
  answer("SETTINGS\nKBOU\n");
  char word[60] = "";
  ZYP_prompts("? ", word, 60);
  EXPECT_STREQ(word, "KBOU");
}

TEST_F(Prompts, SetNameWithoutValueStoresEmpty) {
  answer("set flagonly\n\n");
  char word[60] = "old";
  ZYP_prompts("? ", word, 60);
  EXPECT_STREQ(word, "old");  // a command is no answer
  EXPECT_STREQ(RES_get("flagonly"), "");
}

TEST_F(Prompts, EmptyLineAndEndOfInputLeaveTextUnchanged) {
  answer("\n");
  char word[60] = "keep";
  ZYP_prompts("? ", word, 60);
  EXPECT_STREQ(word, "keep");
  ZYP_prompts("? ", word, 60);  // end of input: no loop
  EXPECT_STREQ(word, "keep");
}

TEST_F(Prompts, WordIsCutToLength) {
  answer("ABCDEFGHIJ\n");
  char word[8] = "";
  ZYP_prompts("? ", word, 5);
  EXPECT_STREQ(word, "ABCD");
}

TEST_F(Prompts, PromptfAsksAgainForNonNumbers) {
  answer("abc\n  42.5\n");
  EXPECT_FLOAT_EQ(ZYP_promptf("? "), 42.5f);
  EXPECT_FLOAT_EQ(ZYP_promptf("? "), 0.0f);  // end of input
}

// The number at the start of an answer, as the prompt has always read it; a number
// beyond a float's range, or none at all, is asked again (the next line answers).
TEST_F(Prompts, PromptfReadsTheLeadingNumber) {
  struct Case {
    const char *answers;
    float value;
  } const cases[] = {
      {"39.75\n", 39.75f},     {"-104.9 degrees\n", -104.9f}, {"+.5\n", 0.5f}, {"\t 1e2\n", 100.0f},
      {"7.\n", 7.0f},          {"1e39\n12\n", 12.0f},  // too large for a float
      {"-1e400\n-3\n", -3.0f},                         // too large for any number
      {"inf\nnan\n5\n", 5.0f},                         // no number
      {"--5\n6\n", 6.0f},                              // two signs
  };
  for (const Case &c : cases) {
    answer(c.answers);
    EXPECT_FLOAT_EQ(ZYP_promptf("? "), c.value) << c.answers;
    ZYP_set_input(nullptr);
    std::fclose(in_);
    in_ = nullptr;
  }
}

TEST_F(Prompts, ExitEndsTheProcess) {
  EXPECT_EXIT(
      {
        answer("exit\n");
        char word[10];
        ZYP_prompts("? ", word, 10);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
