#include <cstring>

#include "station/station.h"
#include "util/chars.h"

namespace {

constexpr const char *selection_prefixes[] = {
    "Name=", "ST=",  "ST:",  "CN=",  "CN:",  "ID=",   "RA<",   "P=",    "P<",   "P>",   "Lat=",
    "Lat<",  "Lat>", "Lon=", "Lon<", "Lon>", "Elev=", "Elev<", "Elev>", "WMO=", "WMO<", "WMO>",
};

bool is_selection(const std::string &entry) {
  for (const char *p : selection_prefixes) {
    size_t n = std::strlen(p);
    if (entry.size() >= n && strnicmp(entry.c_str(), p, static_cast<int>(n)) == 0) return true;
  }
  return false;
}

}  // namespace

int CTY_ids_select(const ParsedList &ids) {
  for (const std::string &e : ids)
    if (is_selection(e)) return 1;
  return 0;
}

int CTY_ids_cmp(const ParsedList &ids, const char *id) {
  if (ids.empty() || CTY_ids_select(ids)) return 1;
  for (const std::string &e : ids)
    if (stricmp(e.c_str(), id) == 0) return 1;
  return 0;
}

namespace {

std::string upper(const char *s) {
  std::string out(s);
  for (char &c : out)
    if (zyp::is_lower(c)) c = static_cast<char>(c - 'a' + 'A');
  return out;
}

}  // namespace

CTY_id_set::CTY_id_set(const ParsedList &ids) : every_(ids.empty() || CTY_ids_select(ids)) {
  if (!every_)
    for (const std::string &e : ids) upper_.insert(upper(e.c_str()));
}

int CTY_id_set::wanted(const char *id) const {
  return every_ || upper_.count(upper(id)) != 0 ? 1 : 0;
}
