// Internal to the resources module: the fixed definition row and help entry of an
// identifier.
#pragma once

#include "resources/resources.h"

/// The fixed row and help entry of one resource identifier.
struct ResEntry {
  res_type key;
  const char *def;  // resource name
  const char *env;  // environment variable
  const char *cmd;  // option word, null for positional rows
  int pos;          // positional marker (1..9, 10) or 0
  DEF_convert cvt;
  const char *synopsis;     // option with its argument, as the help shows it
  const char *description;  // help text (the title line for domain entries)
  int help;                 // kind of help entry
};

/// The entry of `key`, or null for an identifier without a row.
const ResEntry *RES_entry(res_type key);

/// Converts every stored value that belongs to a row of `table`, in store order.
/// A CV_strings row with an out receives the newline-split list (a ParsedList*).
void RES_convert_rows(const RES_defobj *table);
