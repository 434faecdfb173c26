#include "surface/print_line.h"

namespace {
int print_type = 2;
int miss_dash = 0;
}  // namespace

int SFC_set_print(int type) {
  print_type = type;
  return 0;
}

int SFC_get_print() { return print_type; }

int SFC_set_miss_dash(int flag) {
  miss_dash = flag;
  return 0;
}

int SFC_get_miss_dash() { return miss_dash; }

void SFC_print_reset_state() {
  print_type = 2;
  miss_dash = 0;
}
