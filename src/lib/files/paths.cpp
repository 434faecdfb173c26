// Paths as texts: full paths, joining a directory and a name.
#include "files/paths.h"

#include <cstdio>
#include <cstring>
#include <string>

int FILE_fullpath(const char *name) {
  return name && (name[0] == '/' || name[0] == '.' || name[0] == '~') ? 1 : 0;
}

void FILE_add_path_delim(char *dir) {
  if (!dir) return;
  size_t n = std::strlen(dir);
  if (n > 0 && dir[n - 1] != '/') {
    dir[n] = '/';
    dir[n + 1] = '\0';
  }
}

char *FILE_add_path(const char *dir, const char *name, char *out) {
  if (!name) name = "";
  if (FILE_is_stdio(name) || FILE_fullpath(name)) {
    std::snprintf(out, FILE_PATH_MAX + 1, "%s", name);
    return out;
  }
  std::string path = dir ? dir : "";
  if (!path.empty() && path.back() != '/') path += '/';
  path += name;
  std::snprintf(out, FILE_PATH_MAX + 1, "%s", path.c_str());
  return out;
}
