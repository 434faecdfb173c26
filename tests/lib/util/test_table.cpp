// Keyed tables: the key hash, entry order, equal keys, several keys per record.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "util/table.h"

namespace {

struct Rec {
  int n;
  char text[12];
};

Rec MakeRec(int n, const char *text) {
  Rec r{};
  r.n = n;
  std::snprintf(r.text, sizeof r.text, "%s", text);
  return r;
}

TEST(Table, KeyHash) {
  // hash = (hash * 257 + signed byte) mod 35177 in unsigned 64-bit arithmetic, then
  // modulo the bucket count; values worked out independently of the code.
  struct Case {
    const char *key;
    int tsize;
    int bucket;
  } const cases[] = {
      {"", 4000, 0},
      {"A", 1 << 30, 65},
      {"A", 7, 2},
      {"KDEN", 1 << 30, 10155},
      {"KDEN", 4000, 2155},
      {"72565", 4000, 3445},
      {"b41001", 4000, 537},
      {"\xe9", 1 << 30, 11717},  // a byte above 127 counts as negative
      {"K\xe9X", 4000, 3072},
  };
  for (const Case &c : cases) {
    TAB_table tab;
    ASSERT_EQ(TAB_create(&tab, c.tsize > 100000 ? 1 : c.tsize, sizeof(Rec), 1), 0);
    tab.tab_size = c.tsize;  // the hash alone, without allocating a huge table
    EXPECT_EQ(TAB_key(&tab, c.key), c.bucket) << c.key << " " << c.tsize;
  }
  EXPECT_EQ(TAB_key(nullptr, "A"), 0);
}

TEST(Table, CreateChecksItsArguments) {
  TAB_table tab;
  EXPECT_EQ(TAB_create(&tab, 0, 8, 1), -1);
  EXPECT_EQ(TAB_create(&tab, 10, 8, 0), -1);
  EXPECT_EQ(TAB_create(&tab, 10, 8, TAB_MAX_KEYS + 1), -1);
  EXPECT_EQ(tab.tab_size, 0);
  const Rec r = MakeRec(1, "x");
  EXPECT_EQ(TAB_enter(&tab, &r, {"x"}), -1);  // no buckets
  EXPECT_EQ(TAB_search(&tab, 1, "x"), nullptr);
  TAB_first(&tab);
  EXPECT_EQ(TAB_next(&tab), nullptr);
  EXPECT_EQ(TAB_create(&tab, 10, sizeof(Rec), TAB_MAX_KEYS), 0);
}

TEST(Table, EqualKeysFindTheFirstEntered) {
  TAB_table tab;
  ASSERT_EQ(TAB_create(&tab, 5, sizeof(Rec), 1), 0);
  for (int n = 1; n <= 3; ++n) {
    const Rec r = MakeRec(n, "same");
    ASSERT_EQ(TAB_enter(&tab, &r, {"KDEN"}), 0);
  }
  const auto *found = static_cast<const Rec *>(TAB_search(&tab, 1, "KDEN"));
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->n, 1);
  EXPECT_EQ(tab.num_entry, 3);
  // All three are walked, in order of entry.
  TAB_first(&tab);
  for (int n = 1; n <= 3; ++n) EXPECT_EQ(static_cast<const Rec *>(TAB_next(&tab))->n, n);
  EXPECT_EQ(TAB_next(&tab), nullptr);
}

TEST(Table, SearchIsExact) {
  TAB_table tab;
  ASSERT_EQ(TAB_create(&tab, 3, sizeof(Rec), 2), 0);
  const Rec r = MakeRec(7, "x");
  ASSERT_EQ(TAB_enter(&tab, &r, {"KDEN", "72565"}), 0);
  EXPECT_EQ(TAB_search(&tab, 1, "kden"), nullptr);  // letter case counts
  EXPECT_EQ(TAB_search(&tab, 1, "KDE"), nullptr);
  EXPECT_EQ(TAB_search(&tab, 1, "72565"), nullptr);  // the other key's index
  EXPECT_EQ(TAB_search(&tab, 3, "KDEN"), nullptr);   // key number above numkey
  EXPECT_EQ(TAB_search(&tab, 0, "KDEN"), nullptr);
  EXPECT_EQ(TAB_search(&tab, 1, nullptr), nullptr);
  EXPECT_EQ(TAB_search(nullptr, 1, "KDEN"), nullptr);
  EXPECT_NE(TAB_search(&tab, 2, "72565"), nullptr);
}

TEST(Table, IterationKeepsOrderOfEntryNotBuckets) {
  TAB_table tab;
  ASSERT_EQ(TAB_create(&tab, 7, sizeof(Rec), 1), 0);
  const char *keys[] = {"Z", "A", "M", "B", "Y", "", "KDEN", "A"};
  for (int n = 0; n < 8; ++n) {
    const Rec r = MakeRec(n, keys[n]);
    ASSERT_EQ(TAB_enter(&tab, &r, {keys[n]}), 0);
  }
  TAB_first(&tab);
  for (int n = 0; n < 8; ++n) {
    const auto *r = static_cast<const Rec *>(TAB_next(&tab));
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->n, n);
  }
  EXPECT_EQ(TAB_next(&tab), nullptr);
  EXPECT_EQ(TAB_next(&tab), nullptr);
  // An empty key lives in bucket 0 and is found.
  EXPECT_EQ(TAB_key(&tab, ""), 0);
  EXPECT_EQ(static_cast<const Rec *>(TAB_search(&tab, 1, ""))->n, 5);
  EXPECT_EQ(static_cast<const Rec *>(TAB_search(&tab, 1, "A"))->n, 1);
}

TEST(Table, ThreeKeysShareOneCopy) {
  TAB_table tab;
  ASSERT_EQ(TAB_create(&tab, 11, sizeof(Rec), 3), 0);
  Rec r = MakeRec(42, "denver");
  ASSERT_EQ(TAB_enter(&tab, &r, {"KDEN", "72565", "  398 -1047"}), 0);
  r.n = 0;  // the table holds its own copy
  void *a = TAB_search(&tab, 1, "KDEN");
  void *b = TAB_search(&tab, 2, "72565");
  void *c = TAB_search(&tab, 3, "  398 -1047");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a, b);
  EXPECT_EQ(a, c);
  EXPECT_EQ(static_cast<const Rec *>(a)->n, 42);
  EXPECT_STREQ(static_cast<const Rec *>(a)->text, "denver");
  // The number of keys must match the table.
  EXPECT_EQ(TAB_enter(&tab, &r, {"KBOU", "99999"}), -1);
  EXPECT_EQ(TAB_enter(&tab, &r, {"KBOU", nullptr, "x"}), -1);
  EXPECT_EQ(tab.num_entry, 1);
}

TEST(Table, CollidingKeysChainInOrder) {
  // One bucket: every key collides, and each is still found, the first of equal
  // keys first, with the chain extended at its end.
  TAB_table tab;
  ASSERT_EQ(TAB_create(&tab, 1, sizeof(Rec), 2), 0);
  for (int n = 0; n < 500; ++n) {
    const std::string id = "S" + std::to_string(n % 250);
    const Rec r = MakeRec(n, id.c_str());
    ASSERT_EQ(TAB_enter(&tab, &r, {id.c_str(), "99999"}), 0);
  }
  for (int n = 0; n < 250; ++n) {
    const std::string id = "S" + std::to_string(n);
    const auto *r = static_cast<const Rec *>(TAB_search(&tab, 1, id.c_str()));
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->n, n);
  }
  EXPECT_EQ(static_cast<const Rec *>(TAB_search(&tab, 2, "99999"))->n, 0);
  // The bucket head is in the array; the rest hang behind it.
  EXPECT_TRUE(tab.table[0][0].key);
  EXPECT_EQ(tab.table[0][0].data, TAB_search(&tab, 1, "S0"));
}

TEST(Table, CreateAgainReleasesTheOldRecords) {
  TAB_table tab;
  ASSERT_EQ(TAB_create(&tab, 4, sizeof(Rec), 1), 0);
  const Rec r = MakeRec(1, "a");
  ASSERT_EQ(TAB_enter(&tab, &r, {"a"}), 0);
  ASSERT_EQ(TAB_create(&tab, 4, sizeof(Rec), 1), 0);
  EXPECT_EQ(tab.num_entry, 0);
  EXPECT_EQ(TAB_search(&tab, 1, "a"), nullptr);
  TAB_first(&tab);
  EXPECT_EQ(TAB_next(&tab), nullptr);
  TAB_free(&tab);
  EXPECT_EQ(tab.tab_size, 0);
}

}  // namespace
