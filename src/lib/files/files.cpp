#include "files/files.h"

#include <string>

namespace {

Date unset_date() { return Date{-9999, -9999, -9999, -9999, -9999, -9999, -9999, -9999}; }

Date set = unset_date();
std::string name_conv;

}  // namespace

int FILE_set_time(const Date *date) {
  set = date ? *date : unset_date();
  return 0;
}

const Date &FILE_get_set_time() { return set; }

int FILE_set_name(const char *name) {
  name_conv = name ? name : "";
  return 0;
}

void FILE_reset_state() {
  set = unset_date();
  name_conv.clear();
}
