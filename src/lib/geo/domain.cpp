#include "geo/geo.h"

#include "messages/messages.h"
#include "util/util.h"

int DOM_init(Domain *domain) {
  if (domain) *domain = Domain{};
  return 0;
}

// Domain strings are not decoded yet: every non-empty string is refused.
int DOM_decode(const char *str, Domain *domain) {
  DOM_init(domain);
  if (!str || !*str || stricmp(str, "miss") == 0) return -9999;
  FLAG_set(FLAG_DOMAIN, -1);
  return -1;
}
