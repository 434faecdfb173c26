// The station store: the selected stations of the station file in a keyed table,
// each with a data area for the caller, and the rules that select them.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <unordered_set>
#include <utility>
#include <vector>

#include "calc/calc.h"
#include "geo/map.h"
#include "messages/messages.h"
#include "resources/resources.h"
#include "station/station.h"
#include "station/station_testing.h"
#include "util/chars.h"
#include "util/number.h"
#include "util/table.h"

namespace {

// Entry of store type 1: the whole station record and its data area.
struct StatFull {
  CTY_data data;
  void *ptr;
};

// Entry of store types 2 and 3: the position entry and its data area.
struct StatXY {
  CTY_locate locate;
  void *ptr;
};

constexpr int kDefaultPrior = 10;
constexpr int kMaxLineWarnings = 10;  // bad station lines reported one by one

// The station store of the process.
struct StoreState {
  int store = 0;                                        // store type, 0 before any store
  int data_size = 0;                                    // bytes of each data area
  CTY_enter_fn enter = nullptr;                         // prepares each new data area
  int id_type = 0;                                      // locate identifier of types 2 and 3
  TAB_table table;                                      // the stations, in file order
  void *walked = nullptr;                               // the record CTY_next_data returned last
  std::vector<std::unique_ptr<unsigned char[]>> areas;  // the data areas
};
StoreState g_st;

// ---- selection items ------------------------------------------------------------

enum class Field {
  kName,
  kState,
  kRegion,
  kId,
  kRadius,
  kPrior,
  kLat,
  kLon,
  kElev,
  kWmoText,
  kWmo,
  kNone
};

struct Keyword {
  const char *word;  // keyword with its operator, matched without regard to case
  Field field;
  char op;  // '=' equal, '<' at most, '>' at least
};

constexpr Keyword kKeywords[] = {
    {"Name=", Field::kName, '='}, {"ST=", Field::kState, '='},  {"CN=", Field::kRegion, '='},
    {"ID=", Field::kId, '='},     {"RA<", Field::kRadius, '<'}, {"P=", Field::kPrior, '='},
    {"P<", Field::kPrior, '<'},   {"P>", Field::kPrior, '>'},   {"Lat=", Field::kLat, '='},
    {"Lat<", Field::kLat, '<'},   {"Lat>", Field::kLat, '>'},   {"Lon=", Field::kLon, '='},
    {"Lon<", Field::kLon, '<'},   {"Lon>", Field::kLon, '>'},   {"Elev=", Field::kElev, '='},
    {"Elev<", Field::kElev, '<'}, {"Elev>", Field::kElev, '>'}, {"WMO=", Field::kWmoText, '='},
    {"WMO<", Field::kWmo, '<'},   {"WMO>", Field::kWmo, '>'},
};

// One condition of an entry: a field, an operator and its value.
struct Cond {
  Field field = Field::kNone;  // kNone holds for no station
  char op = '=';
  std::string text;           // text value
  double num[3] = {0, 0, 0};  // numeric value; for RA<: latitude, longitude, radius
};

// The whole text as a number; white space may come before it, nothing after it.
bool to_number(const std::string &s, double *v) {
  size_t at = 0;
  while (at < s.size() && zyp::is_space(s[at])) ++at;
  return zyp::read_double_exact(std::string_view(s).substr(at), *v);
}

bool starts_with_nocase(const std::string &s, const char *word) {
  const size_t n = std::strlen(word);
  return s.size() >= n && strnicmp(s.c_str(), word, static_cast<int>(n)) == 0;
}

// Compiles the items of one entry into conditions, up to the first item that can
// hold for no station (which ends it as a kNone condition). `why`, when not null,
// gets what is wrong with a keyword item.
std::vector<Cond> compile(const std::string &entry, std::string *why) {
  std::vector<Cond> conds;
  ParsedList items;
  parse_string(entry.c_str(), ':', items);
  auto fail = [&](const std::string &reason) {
    if (why && why->empty()) *why = reason;
    conds.push_back(Cond{});
    return conds;
  };
  for (size_t i = 0; i < items.size(); ++i) {
    const std::string &item = items[i];
    Cond c;
    if (stricmp(item.c_str(), "ST") == 0 || stricmp(item.c_str(), "CN") == 0) {
      if (i + 1 >= items.size() || items[i + 1].empty())
        return fail(item + " without the item that follows it");
      c.field = stricmp(item.c_str(), "ST") == 0 ? Field::kState : Field::kRegion;
      c.text = items[++i];
    } else {
      const Keyword *kw = nullptr;
      for (const Keyword &k : kKeywords)
        if (starts_with_nocase(item, k.word)) {
          kw = &k;
          break;
        }
      if (!kw) {
        if (items.size() > 1) return fail("item " + item + " is no selection");
        return fail("");
      }
      c.field = kw->field;
      c.op = kw->op;
      c.text = item.substr(std::strlen(kw->word));
      if (c.text.empty()) return fail(item + " without a value");
      if (c.field == Field::kRadius) {
        if (i + 2 >= items.size()) return fail("RA< needs a latitude, a longitude and a radius");
        if (!to_number(c.text, &c.num[0]) || !to_number(items[i + 1], &c.num[1]) ||
            !to_number(items[i + 2], &c.num[2]))
          return fail("RA< needs a latitude, a longitude and a radius as numbers");
        i += 2;
      } else if (c.field != Field::kName && c.field != Field::kState && c.field != Field::kRegion &&
                 c.field != Field::kId && c.field != Field::kWmoText) {
        if (!to_number(c.text, &c.num[0])) return fail(item + ": the value is not a number");
      }
    }
    if (c.field == Field::kState && c.text.size() != 2 && c.text.size() != 5)
      return fail("state " + c.text + " is neither xx nor xx_yy");
    conds.push_back(std::move(c));
  }
  return conds;
}

// Compares the beginning of `name` with `text` without regard to case, a blank of the
// text standing for the "_" of a name.
bool name_begins(const char *name, const std::string &text) {
  const size_t n = std::strlen(name);
  if (text.size() > n) return false;
  for (size_t k = 0; k < text.size(); ++k) {
    const char t = text[k] == ' ' ? '_' : text[k];
    if (std::tolower(static_cast<unsigned char>(t)) !=
        std::tolower(static_cast<unsigned char>(name[k])))
      return false;
  }
  return true;
}

bool compare(double have, char op, double want) {
  return op == '=' ? have == want : op == '<' ? have <= want : have >= want;
}

bool holds(const Cond &c, const CTY_data *d) {
  char text[16];
  switch (c.field) {
    case Field::kName: return name_begins(d->name, c.text);
    case Field::kState:
      if (c.text.size() == 2) return stricmp(c.text.c_str(), d->state) == 0;
      std::snprintf(text, sizeof text, "%2s_%2s", d->state, d->region);
      return stricmp(c.text.c_str(), text) == 0;
    case Field::kRegion: return stricmp(c.text.c_str(), d->region) == 0;
    case Field::kId: return stricmp(c.text.c_str(), d->id) == 0;
    case Field::kRadius: {
      const float dist = calc_earth_dist(static_cast<float>(c.num[0]), static_cast<float>(c.num[1]),
                                         d->lat, d->lon);
      return dist != -9999.0f && dist <= c.num[2];
    }
    case Field::kPrior: return compare(d->prior, c.op, c.num[0]);
    case Field::kLat: return compare(d->lat, c.op, static_cast<float>(c.num[0]));
    case Field::kLon: return compare(d->lon, c.op, static_cast<float>(c.num[0]));
    case Field::kElev:
      return d->el != -9999.0f && compare(d->el, c.op, static_cast<float>(c.num[0]));
    case Field::kWmoText:
      std::snprintf(text, sizeof text, "%5.5d", d->wmo);
      return stricmp(c.text.c_str(), text) == 0;
    case Field::kWmo: return compare(d->wmo, c.op, c.num[0]);
    case Field::kNone: return false;
  }
  return false;
}

bool all_hold(const std::vector<Cond> &conds, const CTY_data *d) {
  for (const Cond &c : conds)
    if (!holds(c, d)) return false;
  return true;
}

// The plain forms of an entry: the WMO number as five digits, the identifier, the
// beginning of the name when the entry is longer than 4 characters.
bool plain_holds(const std::string &entry, const CTY_data *d) {
  char wmo[16];
  std::snprintf(wmo, sizeof wmo, "%5.5d", d->wmo);
  if (entry.size() == 5 && stricmp(entry.c_str(), wmo) == 0) return true;
  if (stricmp(entry.c_str(), d->id) == 0) return true;
  return entry.size() > 4 && name_begins(d->name, entry);
}

bool satisfies(const std::string &entry, const CTY_data *d) {
  if (entry.empty()) return false;  // an empty entry ("KDEN,,KBOU") asks for nothing
  return all_hold(compile(entry, nullptr), d) || plain_holds(entry, d);
}

std::string upper(const char *s, bool blanks_as_underscores) {
  std::string out(s);
  for (char &c : out) {
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (blanks_as_underscores && c == ' ') c = '_';
  }
  return out;
}

// A request list prepared once for the stations of a whole file: the entries whose
// items can hold are compiled, and the plain entries (an identifier, a WMO number,
// the beginning of a name) go into sets, so that a long list of names costs a few
// look-ups per station instead of a pass over the list.
class Request {
 public:
  explicit Request(const ParsedList &ids) : every_(ids.empty()) {
    for (const std::string &entry : ids) {
      if (entry.empty()) continue;
      std::vector<Cond> conds = compile(entry, nullptr);
      if (!conds.empty() && conds.front().field != Field::kNone) {
        selections_.push_back({entry, std::move(conds)});
        continue;
      }
      plain_.insert(upper(entry.c_str(), false));
      if (entry.size() > 4) {
        names_.insert(upper(entry.c_str(), true));
        if (entry.size() > longest_name_) longest_name_ = entry.size();
      }
    }
  }

  // True when some entry selects the station (CTY_data_cmp would not give -1).
  bool selects(const CTY_data *d) const {
    if (every_) return true;
    for (const auto &[entry, conds] : selections_)
      if (all_hold(conds, d) || plain_holds(entry, d)) return true;
    if (plain_.empty()) return false;
    char wmo[16];
    std::snprintf(wmo, sizeof wmo, "%5.5d", d->wmo);
    if (plain_.count(wmo) || plain_.count(upper(d->id, false))) return true;
    if (names_.empty()) return false;
    const std::string name = upper(d->name, false);
    for (size_t n = 5; n <= name.size() && n <= longest_name_; ++n)
      if (names_.count(name.substr(0, n))) return true;
    return false;
  }

 private:
  bool every_;
  std::vector<std::pair<std::string, std::vector<Cond>>> selections_;
  std::unordered_set<std::string> plain_;  // plain entries in capitals
  std::unordered_set<std::string>
      names_;  // plain entries of more than 4 characters, "_" for blanks
  size_t longest_name_ = 0;
};

// ---- keys ------------------------------------------------------------------------------

void wmo_key(const CTY_data &d, char *key, size_t size) {
  std::snprintf(key, size, std::strcmp(d.region, "B_") == 0 ? "b%05d" : "%05d", d.wmo);
}

void locate_id(const CTY_data &d, const char *wkey, char *out, size_t size) {
  const bool no_id = d.id[0] == '-';
  if (g_st.id_type == 1)
    std::snprintf(out, size, "%.10s", d.wmo == CTY_NO_WMO ? d.id : wkey);
  else if (g_st.id_type == 2 && no_id && std::strcmp(d.region, "B_") == 0)
    std::snprintf(out, size, "b%05d", d.wmo);
  else if (g_st.id_type == 2 && no_id)
    wmo_to_id(out, d.wmo);
  else
    std::snprintf(out, size, "%.10s", no_id && g_st.id_type == 0 ? wkey : d.id);
}

void release_store() {
  g_st.walked = nullptr;
  TAB_free(&g_st.table);
  g_st.areas.clear();
  g_st.store = 0;
}

// The data area of a record of the current store.
void *area_of(void *record) {
  if (!record) return nullptr;
  return g_st.store == 1 ? static_cast<StatFull *>(record)->ptr
                         : static_cast<StatXY *>(record)->ptr;
}

// Enters one station; false when memory ran out.
bool enter_station(const CTY_data &d, float x, float y) {
  char wkey[16];
  wmo_key(d, wkey, sizeof wkey);
  void *area = nullptr;
  if (g_st.data_size > 0) {
    try {
      g_st.areas.push_back(std::make_unique<unsigned char[]>(static_cast<size_t>(g_st.data_size)));
    } catch (const std::bad_alloc &) {
      return false;
    }
    area = g_st.areas.back().get();  // zero-filled
    if (g_st.enter) g_st.enter(&d, area);
  }
  if (g_st.store == 1) {
    const StatFull entry{d, area};
    return TAB_enter(&g_st.table, &entry, {d.id, wkey}) == 0;
  }
  StatXY entry{};
  locate_id(d, wkey, entry.locate.id, sizeof entry.locate.id);
  entry.locate.wmo = d.wmo;
  entry.locate.x = x;
  entry.locate.y = y;
  entry.locate.el = d.el;
  entry.locate.pr = d.prior;
  entry.ptr = area;
  if (g_st.store == 2) return TAB_enter(&g_st.table, &entry, {entry.locate.id, wkey}) == 0;
  char lkey[32];
  std::snprintf(lkey, sizeof lkey, "%5.0f%6.0f", d.lat * 10.0f, d.lon * 10.0f);
  return TAB_enter(&g_st.table, &entry, {entry.locate.id, wkey, lkey}) == 0;
}

}  // namespace

int CTY_data_size(int size) {
  g_st.data_size = size > 0 ? size : 0;
  return 0;
}

int CTY_enter_func(CTY_enter_fn func) {
  g_st.enter = func;
  return 0;
}

int CTY_set_id_type(int type) {
  g_st.id_type = type;
  return 0;
}

int CTY_get_prior() {
  int prior = kDefaultPrior;
  RES_getval("stat_prior", &prior, CV_int);
  return prior;
}

std::string CTY_check_entry(const std::string &entry) {
  std::string why;
  compile(entry, &why);
  return why;
}

int CTY_data_cmp(const ParsedList &ids, const CTY_data *data) {
  if (ids.empty()) return 1;
  if (!data) return -1;
  for (size_t i = 0; i < ids.size(); ++i)
    if (satisfies(ids[i], data)) return static_cast<int>(i);
  return -1;
}

int CTY_store(const char *filename, int type, const Domain *domain, int prior) {
  release_store();
  if (type < 1 || type > 3) return 0;
  int estimate = 0;
  const int fd = CTY_open_file(filename, &estimate);
  if (fd < 0) return 0;
  g_st.store = type;
  // Stations are projected into the domain and kept when inside it (widened by three
  // grid spacings); a point the projection cannot see is no station of the domain.
  if (domain) MAP_domain(domain);
  MESS_print(M_MESS, "Reading the city database file...\n");

  ParsedList ids;
  RES_getvals("identifier", ids);
  if (ids.size() == 1 && stricmp(ids[0].c_str(), "all") == 0) ids.clear();
  for (const std::string &entry : ids) {
    const std::string why = CTY_check_entry(entry);
    if (!why.empty())
      MESS_print(M_WARN, "CTY_store: Station selection %s: %s\n", entry.c_str(), why.c_str());
  }
  if (prior == -9999) prior = CTY_get_prior();
  const Request request(ids);

  const int size =
      type == 1 ? static_cast<int>(sizeof(StatFull)) : static_cast<int>(sizeof(StatXY));
  if (TAB_create(&g_st.table, estimate > 0 ? estimate : 1, size, type == 3 ? 3 : 2) != 0) {
    MESS_print(M_WARN, "CTY_store: Out of memory\n");
    return fd;
  }

  CTY_data d;
  int columns;
  int lines = 0, bad = 0;
  while ((columns = CTY_read(fd, &d)) > 0) {
    ++lines;
    if (columns < CTY_COLUMNS_NEEDED) {
      if (++bad <= kMaxLineWarnings)
        MESS_print(M_WARN, "CTY_store: Line %d of %s is no station line (column %d), skipped\n",
                   CTY_line_number(), CTY_path(), columns + 1);
      continue;
    }
    if (d.prior > prior) continue;
    if (!request.selects(&d)) continue;
    float x, y;
    if (MAP_tran(d.lat, d.lon, &x, &y) == 0 || !MAP_in_grid_domain(x, y)) continue;
    if (!enter_station(d, x, y)) {
      MESS_print(M_WARN, "CTY_store: Out of memory after %d stations\n", g_st.table.num_entry);
      break;
    }
  }
  if (bad > kMaxLineWarnings)
    MESS_print(M_WARN, "CTY_store: %d more bad lines of %s skipped\n", bad - kMaxLineWarnings,
               CTY_path());
  if (lines == bad) MESS_print(M_WARN, "CTY_store: No station in %s\n", CTY_path());
  return fd;
}

int CTY_store_count() { return g_st.store ? g_st.table.num_entry : 0; }

namespace {

// The WMO key an identifier stands for in a search, or null for the identifier key.
const char *search_wmo_key(const char *id, char *key, size_t size) {
  const size_t len = std::strlen(id);
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (len == 5 && digit(id[0]) && digit(id[1]) && digit(id[2]) && digit(id[3]) && digit(id[4]))
    return id;
  if (len == 6 && id[0] == 'b') return id;
  if (len == 5 && id[0] >= 'A' && id[0] <= 'Z' && digit(id[2]) && digit(id[3]) && digit(id[4])) {
    int wmo = CTY_NO_WMO;
    id_to_wmo(id, &wmo);
    std::snprintf(key, size, "%5.5d", wmo);
    return key;
  }
  return nullptr;
}

void *search_record(const char *id) {
  if (!g_st.store || !id) return nullptr;
  char key[16];
  const char *wkey = search_wmo_key(id, key, sizeof key);
  return wkey ? TAB_search(&g_st.table, 2, wkey) : TAB_search(&g_st.table, 1, id);
}

}  // namespace

int CTY_search(const char *id, CTY_data *data) {
  if (g_st.store != 1 || !data) return 0;
  const void *record = search_record(id);
  if (!record) return 0;
  *data = static_cast<const StatFull *>(record)->data;
  return 1;
}

int CTY_search(const char *id, CTY_locate *locate) {
  if ((g_st.store != 2 && g_st.store != 3) || !locate) return 0;
  const void *record = search_record(id);
  if (!record) return 0;
  *locate = static_cast<const StatXY *>(record)->locate;
  return 1;
}

void *CTY_get_data(const char *id) {
  if (!g_st.store || !id) return nullptr;
  const bool wmo = id[0] >= '0' && id[0] <= '9';
  return area_of(TAB_search(&g_st.table, wmo ? 2 : 1, id));
}

void *CTY_next_data(int next) {
  if (!g_st.store) return nullptr;
  if (next == 0) TAB_first(&g_st.table);
  g_st.walked = TAB_next(&g_st.table);
  return area_of(g_st.walked);
}

const CTY_data *CTY_current_station() {
  if (g_st.store != 1 || !g_st.walked) return nullptr;
  return &static_cast<const StatFull *>(g_st.walked)->data;
}

void CTY_reset_state() {
  release_store();
  CTY_close(0);
  g_st.data_size = 0;
  g_st.enter = nullptr;
  g_st.id_type = 0;
}
