#include "files/paths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstring>
#include <set>
#include <string>

#include "util/util.h"

namespace {

constexpr int USER_NAME_MAX = 19;

// The streams opened by popen, which need pclose.
std::set<FILE *> &pipes() {
  static std::set<FILE *> open_pipes;
  return open_pipes;
}

void copy_path(const std::string &src, char *out) {
  size_t n = src.size() < FILE_PATH_MAX ? src.size() : FILE_PATH_MAX;
  std::memcpy(out, src.data(), n);
  out[n] = '\0';
}

// "~" and "~user" expanded, unbounded.
std::string expand(const char *name) {
  if (!name) return std::string();
  if (name[0] != '~') return name;
  const char *slash = std::strchr(name, '/');
  std::string user(name + 1, slash ? static_cast<size_t>(slash - name - 1) : std::strlen(name + 1));
  const char *home = nullptr;
  if (user.empty()) {
    struct passwd *pw = getpwuid(getuid());
    if (pw) home = pw->pw_dir;
  } else if (user.size() <= USER_NAME_MAX) {
    struct passwd *pw = getpwnam(user.c_str());
    if (pw) home = pw->pw_dir;
  }
  if (!home) return name;
  return std::string(home) + (slash ? slash : "");
}

}  // namespace

int FILE_fullpath(const char *name) {
  return name && (name[0] == '/' || name[0] == '.' || name[0] == '~') ? 1 : 0;
}

int FILE_is_stdio(const char *name) {
  if (!name) return 0;
  return (name[0] == '\0' || std::strcmp(name, "-") == 0 || stricmp(name, "std") == 0 ||
          stricmp(name, "stdn") == 0)
             ? 1
             : 0;
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
    copy_path(name, out);
    return out;
  }
  std::string path = dir ? dir : "";
  if (!path.empty() && path.back() != '/') path += '/';
  path += name;
  copy_path(path, out);
  return out;
}

char *FILE_add_user_path(const char *name, char *out) {
  copy_path(expand(name), out);
  return out;
}

int FILE_exist(const char *name) {
  if (!name) return 0;
  if (FILE_is_stdio(name)) return 1;
  struct stat st;
  return stat(expand(name).c_str(), &st) == 0 ? 1 : 0;
}

int FILE_is_dir(const char *name) {
  if (!name) return 0;
  struct stat st;
  return stat(expand(name).c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? 1 : 0;
}

long FILE_size(const char *name) {
  if (!name) return -1;
  struct stat st;
  if (stat(expand(name).c_str(), &st) != 0) return -1;
  return static_cast<long>(st.st_size);
}

int FILE_check_text(const char *name, const char **why) {
  const char *reason = nullptr;
  struct stat st;
  if (!name) {
    reason = "no name";
  } else if (name[0] == '|') {
    // A command's output: its size cannot be told beforehand.
  } else if (stat(expand(name).c_str(), &st) != 0) {
    reason = "cannot be read";
  } else if (!S_ISREG(st.st_mode)) {
    reason = "not a regular file";
  } else if (st.st_size > FILE_TEXT_MAX) {
    reason = "larger than 16 MB";
  }
  if (why) *why = reason;
  return reason ? -1 : 0;
}

int FILE_make_dir(char *path, int flag) {
  if (!path) return 1;
  fill_string(path, '\\', '/');
  const char *last = std::strrchr(path + (path[0] ? 1 : 0), '/');
  if (!last) return 1;  // no directory part
  std::string parent(path, static_cast<size_t>(last - path));
  if (FILE_exist(parent.c_str())) return 1;
  ParsedList parts;
  parse_string(path, '/', parts);
  int keep = static_cast<int>(parts.size()) - flag;
  std::string built;
  for (int i = 0; i < keep; ++i) {
    const std::string &part = parts[static_cast<size_t>(i)];
    if (part.empty()) {
      if (built.empty() || built.back() != '/') built += '/';
      continue;
    }
    built += part;
    built += '/';
    mkdir(expand(built.c_str()).c_str(), 0755);
  }
  return 0;
}

FILE *FILE_open(const char *name, const char *access) {
  if (!name || !access) return nullptr;
  if (FILE_is_stdio(name)) return access[0] == 'r' ? stdin : stdout;
  if (name[0] == '|') {
    std::fflush(nullptr);
    FILE *p = popen(name + 1, access);
    if (p) pipes().insert(p);
    return p;
  }
  std::string path = expand(name);
  // A directory opens for reading on some systems, but holds no lines.
  struct stat st;
  if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return nullptr;
  if (access[0] == 'w' || access[0] == 'a') {
    std::string dirs = path;
    FILE_make_dir(dirs.data(), 1);
  }
  return std::fopen(path.c_str(), access);
}

int FILE_close(FILE *file) {
  if (!file) return -1;
  if (file == stdin || file == stdout || file == stderr) {
    std::fflush(file);
    return 0;
  }
  auto it = pipes().find(file);
  if (it != pipes().end()) {
    pipes().erase(it);
    return pclose(file);
  }
  return std::fclose(file);
}
