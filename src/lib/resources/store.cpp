// The resource store: one process-wide list of name/value pairs, in order of first
// storage. Records live in a deque so that a value handed out by RES_get stays where
// it is while other resources are added.
#include <cstring>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "messages/messages.h"
#include "resources/resources.h"
#include "resources/resources_testing.h"
#include "resources/table.h"

namespace {

struct res_obj {
  int index = -9999;
  std::string name;
  std::optional<std::string> data;
  DEF_convert cvt = CV_none;
};

// The store of the process.
struct StoreState {
  std::deque<res_obj> root_res;  // the records, in order of first storage
  // The records by name (a deque keeps its records where they are as it grows), so
  // that storing many resources costs one look-up each, not a walk of the list.
  std::unordered_map<std::string_view, res_obj *> by_name;
  int clargc = 0;  // the command line given to RES_setCL
  char **clargv = nullptr;
};
StoreState g_store;

res_obj *find(const char *name) {
  if (!name) return nullptr;
  auto it = g_store.by_name.find(std::string_view(name));
  return it == g_store.by_name.end() ? nullptr : it->second;
}

}  // namespace

int RES_new(int index, const char *name, const char *data, DEF_convert cvt) {
  if (!name) return -1;
  res_obj *r = find(name);
  if (!r) {
    g_store.root_res.push_back(res_obj{});
    r = &g_store.root_res.back();
    r->name = name;
    g_store.by_name.emplace(std::string_view(r->name), r);
  }
  if (data)
    r->data = data;
  else
    r->data.reset();
  r->cvt = cvt;
  r->index = index;
  return 0;
}

int RES_append(int index, const char *name, const char *data, DEF_convert cvt) {
  res_obj *r = find(name);
  if (!r) return RES_new(index, name, data, cvt);
  if (!data) return 0;
  if (!r->data) {
    r->data = data;
  } else {
    r->data->push_back('\n');
    r->data->append(data);
  }
  return 0;
}

int RES_put(const char *name, const char *value) { return RES_new(-9999, name, value, CV_string); }

const char *RES_get(const char *name) {
  const res_obj *r = find(name);
  if (!r) return nullptr;
  return r->data ? r->data->c_str() : "";
}

int RES_getval(const char *name, void *data, DEF_convert cvt) {
  const res_obj *r = find(name);
  if (!r || !data) return 0;
  return RES_conv_data(r->data ? r->data->c_str() : nullptr, data, cvt);
}

int RES_getvals(const char *name, ParsedList &items) {
  items.clear();
  const res_obj *r = find(name);
  if (!r) return 0;
  parse_string(r->data ? r->data->c_str() : nullptr, r->cvt == CV_strings ? '\n' : ',', items);
  return static_cast<int>(items.size());
}

int RES_list() {
  for (const res_obj &r : g_store.root_res) {
    if (r.data)
      MESS_print(M_PRINT & M_SUB_D, "%s: %s\n", r.name.c_str(), r.data->c_str());
    else
      MESS_print(M_PRINT & M_SUB_D, "%s:\n", r.name.c_str());
  }
  return 0;
}

int RES_setCL(int argc, char **argv) {
  g_store.clargc = argc;
  g_store.clargv = argv;
  return 1;
}

const char *RES_get_prog() {
  return (g_store.clargv && g_store.clargc > 0) ? g_store.clargv[0] : nullptr;
}

std::string RES_get_progname() {
  const char *prog = RES_get_prog();
  if (!prog) return "ZYP";
  const char *slash = std::strrchr(prog, '/');
  return slash ? slash + 1 : prog;
}

int RES_fill_obj(RES_defobj *obj, const char *def, const char *env, const char *cmd, int pos,
                 DEF_convert cvt, void *out, int *num) {
  obj->def = def;
  obj->env = env;
  obj->cmd = cmd;
  obj->pos = pos;
  obj->cvt = cvt;
  obj->out = out;
  obj->num = num;
  return 1;
}

void RES_reset_state() {
  g_store.by_name.clear();
  g_store.root_res.clear();
  g_store.clargc = 0;
  g_store.clargv = nullptr;
}

void RES_convert_rows(const RES_defobj *table) {
  int rows = 0;
  while (table[rows].def) ++rows;
  for (const res_obj &r : g_store.root_res) {
    if (r.index < 0 || r.index >= rows) continue;
    const RES_defobj &row = table[r.index];
    const char *value = r.data ? r.data->c_str() : nullptr;
    if (r.cvt == CV_strings && row.out) {
      auto *list = static_cast<ParsedList *>(row.out);
      parse_string(value, '\n', *list);
      if (row.num) *row.num = static_cast<int>(list->size());
    } else {
      RES_conv_data(value, row.out, r.cvt);
    }
  }
}
