#include "util/table.h"

#include <cstring>
#include <new>

int TAB_key(const TAB_table *tab, const char *key) {
  if (!tab || tab->tab_size <= 0 || !key) return 0;
  std::uint64_t hash = 0;
  for (const char *p = key; *p; ++p) {
    const auto byte =
        static_cast<std::uint64_t>(static_cast<std::int64_t>(static_cast<signed char>(*p)));
    hash = (hash * 257 + byte) % TAB_HASH_MOD;
  }
  return static_cast<int>(hash % static_cast<std::uint64_t>(tab->tab_size));
}

int TAB_init(TAB_table *tab) {
  tab->data_ptr = tab->head_ptr = tab->last_ptr = nullptr;
  tab->num_entry = 0;
  tab->numkey = 0;
  return 0;
}

int TAB_free(TAB_table *tab) {
  TAB_init(tab);
  for (auto &heads : tab->table) {
    heads.clear();
    heads.shrink_to_fit();
  }
  for (auto &tails : tab->tails) {
    tails.clear();
    tails.shrink_to_fit();
  }
  tab->chained.clear();
  tab->chained.shrink_to_fit();
  tab->records.clear();
  tab->records.shrink_to_fit();
  tab->tab_size = 0;
  tab->data_size = 0;
  return 0;
}

int TAB_create(TAB_table *tab, int tsize, int dsize, int nkey) {
  TAB_free(tab);
  if (tsize < 1 || dsize < 0 || nkey < 1 || nkey > TAB_MAX_KEYS) return -1;
  tab->tab_size = tsize;
  tab->data_size = dsize;
  tab->numkey = nkey;
  try {
    for (int k = 0; k < nkey; ++k) {
      tab->table[k].resize(static_cast<size_t>(tsize));
      tab->tails[k].assign(static_cast<size_t>(tsize), nullptr);
    }
  } catch (const std::bad_alloc &) {
    TAB_free(tab);
    return -1;
  }
  return 0;
}

namespace {

// Where a new key goes in its bucket: the bucket head when the bucket is empty, else
// a new entry, which the caller links behind the bucket's last one.
TAB_entry *free_entry(TAB_table *tab, int keynum, size_t bucket) {
  if (!tab->tails[keynum][bucket]) return &tab->table[keynum][bucket];
  tab->chained.push_back(std::make_unique<TAB_entry>());
  return tab->chained.back().get();
}

}  // namespace

int TAB_enter(TAB_table *tab, const void *data, std::initializer_list<const char *> keys) {
  if (!tab || tab->tab_size <= 0 || !data || static_cast<int>(keys.size()) != tab->numkey)
    return -1;
  for (const char *key : keys)
    if (!key) return -1;
  try {
    // Every allocation comes before the first change a reader could see.
    std::unique_ptr<char[]> copies[TAB_MAX_KEYS];
    int keynum = 0;
    for (const char *key : keys) {
      const size_t len = std::strlen(key);
      copies[keynum] = std::make_unique<char[]>(len + 1);
      std::memcpy(copies[keynum++].get(), key, len + 1);
    }
    auto record = std::make_unique<unsigned char[]>(
        static_cast<size_t>(tab->data_size > 0 ? tab->data_size : 1));
    std::memcpy(record.get(), data, static_cast<size_t>(tab->data_size));
    unsigned char *copy = record.get();
    tab->records.push_back(std::move(record));
    TAB_entry *entries[TAB_MAX_KEYS] = {};
    size_t buckets[TAB_MAX_KEYS] = {};
    keynum = 0;
    for (const char *key : keys) {
      buckets[keynum] = static_cast<size_t>(TAB_key(tab, key));
      entries[keynum] = free_entry(tab, keynum, buckets[keynum]);
      ++keynum;
    }
    // Nothing below allocates: the record is entered whole.
    for (int k = 0; k < keynum; ++k) {
      entries[k]->key = std::move(copies[k]);
      entries[k]->data = copy;
      TAB_entry *&tail = tab->tails[k][buckets[k]];
      if (tail) tail->link = entries[k];
      tail = entries[k];
    }
    if (tab->last_ptr)
      tab->last_ptr->next = entries[0];
    else
      tab->head_ptr = entries[0];
    tab->last_ptr = entries[0];
    ++tab->num_entry;
    return 0;
  } catch (const std::bad_alloc &) {
    return -1;
  }
}

void *TAB_search(const TAB_table *tab, int keynum, const char *key) {
  if (!tab || !key || tab->tab_size <= 0 || keynum < 1 || keynum > tab->numkey) return nullptr;
  const TAB_entry *entry = &tab->table[keynum - 1][static_cast<size_t>(TAB_key(tab, key))];
  for (; entry && entry->key; entry = entry->link)
    if (std::strcmp(entry->key.get(), key) == 0) return entry->data;
  return nullptr;
}

int TAB_first(TAB_table *tab) {
  tab->data_ptr = tab->head_ptr;
  return 0;
}

void *TAB_next(TAB_table *tab) {
  if (!tab || tab->tab_size <= 0 || !tab->data_ptr) return nullptr;
  void *data = tab->data_ptr->data;
  tab->data_ptr = tab->data_ptr->next;
  return data;
}
