// Keyed tables: fixed-size records, each copied in by value and reachable through up
// to four text keys, with a hashed index per key and a list that keeps the records in
// the order they were entered. Duplicate keys are allowed; a search finds the first
// record entered with the key.
//
// Every key has an array of `tab_size` bucket heads. The first entry of a bucket lives
// in the array itself and further entries are chained behind it through `link`, so a
// table with fewer records than buckets allocates nothing per entry beyond the key
// and record copies. The table owns its entries, key copies and record copies, and
// releases them when it is destroyed or created again.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

/// Most keys a record can have.
constexpr int TAB_MAX_KEYS = 4;
/// Modulus of the key hash (before the bucket count is applied).
constexpr std::uint64_t TAB_HASH_MOD = 35177;

/// One index entry: a key and the record it leads to.
struct TAB_entry {
  std::unique_ptr<char[]> key;  // private copy of the key; null in an empty bucket head
  void *data = nullptr;         // the record copy, shared by the entries of all its keys
  TAB_entry *link = nullptr;    // next entry of the same bucket chain
  TAB_entry *next = nullptr;    // next record in order of entry (first key's entry only)
};

/// A keyed table. Not copyable: entries point into its own storage.
struct TAB_table {
  int tab_size = 0;                            // buckets per key
  int data_size = 0;                           // bytes of one record
  TAB_entry *data_ptr = nullptr;               // iteration cursor
  TAB_entry *head_ptr = nullptr;               // first record entered
  TAB_entry *last_ptr = nullptr;               // last record entered
  int num_entry = 0;                           // records entered
  int numkey = 0;                              // keys per record, 1 to TAB_MAX_KEYS
  std::vector<TAB_entry> table[TAB_MAX_KEYS];  // per key, the bucket heads

  TAB_table() = default;
  TAB_table(const TAB_table &) = delete;
  TAB_table &operator=(const TAB_table &) = delete;

  // Per key and bucket, the last entry of the chain that holds a key (null for an
  // empty bucket): a new entry goes behind it without a walk of a long chain of
  // equal keys.
  std::vector<TAB_entry *> tails[TAB_MAX_KEYS];
  // Storage behind the pointers above: chained entries and record copies.
  std::vector<std::unique_ptr<TAB_entry>> chained;
  std::vector<std::unique_ptr<unsigned char[]>> records;
};

/// The bucket of `key`: hash = (hash * 257 + byte) mod TAB_HASH_MOD over the key's
/// bytes taken as signed, in unsigned 64-bit arithmetic, then modulo `tab_size`.
/// 0 for a null key or a table without buckets.
int TAB_key(const TAB_table *tab, const char *key);
/// Clears the cursor, the first and last record, the record count and the key count.
/// Returns 0.
int TAB_init(TAB_table *tab);
/// Makes `tab` an empty table of `tsize` buckets per key for records of `dsize` bytes
/// with `nkey` keys, releasing whatever it held. Returns 0, or -1 for a size below 1
/// or a key count outside 1 to TAB_MAX_KEYS.
int TAB_create(TAB_table *tab, int tsize, int dsize, int nkey);
/// Releases every entry, key and record: the table is empty, without buckets. Returns 0.
int TAB_free(TAB_table *tab);
/// Enters a copy of the `data_size` bytes at `data` under exactly `numkey` keys, in
/// key order; the record goes behind any earlier record with an equal key. Returns 0,
/// or -1 (nothing entered) for a table without buckets, a wrong number of keys or a
/// null key.
int TAB_enter(TAB_table *tab, const void *data, std::initializer_list<const char *> keys);
/// The first record entered whose key number `keynum` (1 to `numkey`) equals `key`
/// exactly; null when there is none, for a null table or key, a table without buckets
/// or a key number out of range.
void *TAB_search(const TAB_table *tab, int keynum, const char *key);
/// Sets the cursor to the first record entered. Returns 0.
int TAB_first(TAB_table *tab);
/// The record under the cursor, advancing the cursor; null after the last record or
/// for a table without buckets. Records come in order of entry.
void *TAB_next(TAB_table *tab);
