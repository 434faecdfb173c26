// Station matching: the rules by which the requested identifiers (the "identifier"
// resource) are matched against report identifiers.
#pragma once

#include <string>
#include <unordered_set>

#include "util/util.h"

/// 1 when the list holds a station-selection entry ("ST=WI", "P<3", "RA<...", ...):
/// such requests are decided by the station store, so every report passes.
int CTY_ids_select(const ParsedList &ids);
/// 1 when a report with identifier `id` is wanted: always for an empty list or a list
/// with a selection entry, else when an entry equals `id` (any case).
int CTY_ids_cmp(const ParsedList &ids, const char *id);

/// The requested identifiers prepared once for matching every report of a file:
/// the same answers as CTY_ids_cmp, in a time that does not grow with the list.
class CTY_id_set {
 public:
  explicit CTY_id_set(const ParsedList &ids);
  /// 1 when a report with identifier `id` is wanted (as CTY_ids_cmp).
  int wanted(const char *id) const;

 private:
  bool every_;
  std::unordered_set<std::string> upper_;  // the entries in capitals
};
