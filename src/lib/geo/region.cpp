// Predefined regions, region files and the region menu.
#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "files/paths.h"
#include "geo/geo.h"
#include "geo/geo_testing.h"
#include "messages/messages.h"
#include "resources/resources.h"
#include "resources/prompt.h"
#include "util/chars.h"
#include "util/number.h"
#include "util/util.h"

namespace {

constexpr M_type kDebugClass = M_DEBUG & M_SUB_D;  // debug d: a region file that cannot be opened
constexpr M_type kLesserWarn = M_WARN & M_SUB_C;   // a line of a region file that is skipped

// Module state of the region menu.
struct MenuState {
  std::array<MENU_item, DOM_MENU_SLOTS> slots;  // slot 0 is "back"
  int num_regs = 0;                             // one more than the filled slots; 0 before a read
  MenuState() {
    slots[0].has_name = true;
    slots[0].name = "Return to previous menu";
    slots[0].abbr = "back";
  }
};
MenuState g_menu;

struct DefRegion {
  const char *name;
  float clat, clon, spacing;
};

// All polar stereographic, 25 by 17 points.
constexpr DefRegion def_regions[] = {
    {"us", 39.0f, -97.0f, 2.3f},  {"ne", 42.0f, -76.0f, 0.9f},  {"at", 37.0f, -82.0f, 0.9f},
    {"se", 31.0f, -88.0f, 1.1f},  {"mw", 43.0f, -93.0f, 1.1f},  {"sp", 32.5f, -100.0f, 1.2f},
    {"nw", 44.0f, -112.0f, 1.0f}, {"sw", 37.0f, -112.0f, 1.0f},
};

// The region file's path in the directory of "file_path"; null when it cannot be opened.
FilePtr open_region_file(const char *file, std::string &path) {
  char full[FILE_PATH_MAX + 1];
  FILE_add_path(RES_get("file_path"), file, full);
  path = full;
  FilePtr f(FILE_open(full, "r"));
  if (!f) MESS_print(kDebugClass, "Unable to open region file: %s\n", full);
  return f;
}

// One line of a region file, split at white space.
struct RegionLine {
  enum Kind { Skip, Bare, Entry } kind = Skip;
  std::vector<std::string>
      fields;  // Bare: the domain string; Entry: abbr, description, flag, domain
  int disp = 0;
};

// Reads the next line that is no comment; false at the end of the file. Blank,
// overlong and malformed lines come back as Skip (the last two with a warning).
bool next_line(FILE *f, const std::string &path, int &number, RegionLine &out) {
  char line[DOM_LINE_MAX + 1];
  int n = fgetnline(f, line, DOM_LINE_MAX);
  if (n < 0) return false;
  ++number;
  out = RegionLine{};
  if (n == DOM_LINE_MAX) {
    int c = std::getc(f);
    if (c != EOF && c != '\n') {
      while (c != EOF && c != '\n') c = std::getc(f);
      MESS_print(kLesserWarn, "DOM_search_file: Line %d of %s is longer than %d characters\n",
                 number, path.c_str(), DOM_LINE_MAX);
      return true;
    }
    if (c == '\n') std::ungetc(c, f);
  }
  if (line[0] == '#') return true;
  // Fields are separated by blanks and carriage returns (of a file with CR LF line
  // ends); a vertical tab or form feed stays inside a field, as it always has.
  const auto separates = [](char c) { return zyp::is_blank(c) || c == '\r'; };
  std::vector<std::string> fields;
  for (const char *p = line; *p;) {
    while (separates(*p)) ++p;
    const char *start = p;
    while (*p && !separates(*p)) ++p;
    if (p > start) fields.emplace_back(start, static_cast<size_t>(p - start));
    if (fields.size() == 4) break;
  }
  if (fields.empty()) return true;
  bool ok = fields.size() == 1 || fields.size() == 4;
  auto too_long = [](const std::string &field) {
    return field.size() > static_cast<size_t>(DOM_STR_MAX);
  };
  if (ok && (too_long(fields[0]) || too_long(fields.back()))) ok = false;  // abbreviation, domain
  if (ok && fields.size() == 4) {
    long disp = 0;
    ok = zyp::read_long_exact(fields[2], disp) && disp > -1000000 && disp < 1000000;
    out.disp = static_cast<int>(disp);
  }
  if (!ok) {
    MESS_print(kLesserWarn, "DOM_search_file: Line %d of %s is no region entry\n", number,
               path.c_str());
    return true;
  }
  out.kind = fields.size() == 1 ? RegionLine::Bare : RegionLine::Entry;
  out.fields = std::move(fields);
  return true;
}

}  // namespace

int DOM_get_def_region(const char *region, Domain *domain) {
  Domain scratch;
  if (!domain) domain = &scratch;
  domain->proj = DOM_POLAR;
  domain->nx = DOM_NX_DEFAULT;
  domain->ny = DOM_NY_DEFAULT;
  domain->dx = domain->dy = DOM_DX_DEFAULT;
  if (!region) return 0;
  for (const DefRegion &r : def_regions) {
    if (stricmp(region, r.name) != 0) continue;
    domain->clat = r.clat;
    domain->clon = r.clon;
    domain->dx = domain->dy = r.spacing;
    domain->plon = domain->clon;
    return 1;
  }
  if (stricmp(region, "var") == 0) {
    domain->clat = ZYP_promptf("Enter the central latitude: ");
    domain->clon = ZYP_promptf("Enter the central longitude: ");
    domain->plon = domain->clon;
    return 1;
  }
  return 0;
}

int DOM_search_file(const char *file, const char *str, std::string &domstr) {
  if (!file) return 0;
  std::string path;
  FilePtr f = open_region_file(file, path);
  if (!f) return 0;
  int number = 0;
  RegionLine line;
  while (next_line(f.get(), path, number, line)) {
    if (line.kind == RegionLine::Bare) {
      domstr = line.fields[0];
      return 1;
    }
    if (line.kind == RegionLine::Entry && (!str || stricmp(str, line.fields[0].c_str()) == 0)) {
      domstr = line.fields[3];
      return 1;
    }
  }
  return 0;
}

int DOM_read_menu(const char *file) {
  if (g_menu.num_regs == 0)
    for (int i = 1; i <= DOM_MENU_FILLED; ++i) g_menu.slots[static_cast<size_t>(i)] = MENU_item{};
  if (!file) return 0;
  std::string path;
  FilePtr f = open_region_file(file, path);
  if (!f) return 0;
  int slot = 1;
  int number = 0;
  RegionLine line;
  while (slot <= DOM_MENU_FILLED && next_line(f.get(), path, number, line)) {
    if (line.kind != RegionLine::Entry || line.disp == 0) continue;
    MENU_item &item = g_menu.slots[static_cast<size_t>(slot)];
    item = MENU_item{};
    item.has_name = true;
    item.name = line.fields[1].substr(0, DOM_DESC_MAX);
    for (char &c : item.name)
      if (c == '_') c = ' ';
    item.abbr = line.fields[0];
    item.index = slot;
    item.disp[0] = line.disp;
    ++slot;
  }
  g_menu.num_regs = slot;
  g_menu.slots[static_cast<size_t>(slot)] = MENU_item{};
  return 1;
}

const MENU_item *DOM_get_menu() { return g_menu.slots.data(); }

int DOM_num_regs() { return g_menu.num_regs; }

void DOM_reset_menu() { g_menu = MenuState{}; }
