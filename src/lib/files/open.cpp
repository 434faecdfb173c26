// Opening files: files, pipes and the standard streams, gzip-compressed files read
// through zlib, file tests, "~" expansion and the creation of missing directories.
#include "files/open.h"

#include <pwd.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <zlib.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "util/util.h"

namespace {

constexpr int USER_NAME_MAX = 19;

struct GzStream;

// The streams FILE_open gave that need more than fclose.
struct OpenState {
  std::set<FILE *> pipes;                   // opened by popen: closed by pclose
  std::map<FILE *, GzStream *> gz_streams;  // gzip files read through zlib, with their state
};
// Never destroyed: a stream held by a static object of another module may be closed
// after this file's static objects are gone.
OpenState &g_open = *new OpenState;

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

int FILE_is_stdio(const char *name) {
  if (!name) return 0;
  return (name[0] == '\0' || std::strcmp(name, "-") == 0 || stricmp(name, "std") == 0 ||
          stricmp(name, "stdn") == 0)
             ? 1
             : 0;
}

char *FILE_add_user_path(const char *name, char *out) {
  std::snprintf(out, FILE_PATH_MAX + 1, "%s", expand(name).c_str());
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
  // The directory to make: the path without its ending "/"s and its last `flag` parts
  // (an empty part between two "/" counts as a part).
  std::string dir = path;
  while (!dir.empty() && dir.back() == '/') dir.pop_back();
  for (int k = 0; k < flag && !dir.empty(); ++k) {
    const size_t slash = dir.rfind('/');
    dir.resize(slash == std::string::npos ? 0 : slash);
  }
  if (dir.empty()) return 0;
  // Each directory on the way, from the top. mkdir with 0755 (create_directory would
  // give 0777) less the umask; a directory that exists or cannot be made is passed.
  std::filesystem::path made;
  for (const std::filesystem::path &part : std::filesystem::path(expand(dir.c_str()))) {
    made /= part;
    if (part.empty() || part.has_root_directory()) continue;
    mkdir(made.c_str(), 0755);
  }
  return 0;
}

namespace {

// ---- gzip-compressed files ------------------------------------------------------
//
// A file that begins with the gzip signature is read through zlib behind an ordinary
// stream (glibc's fopencookie), so every reader of text takes it as it is. zlib's
// reason for a damaged or truncated stream is kept for FILE_read_error.

struct GzStream {
  gzFile gz;
  std::string path;   // zlib puts it before its reasons
  std::string error;  // zlib's reason once a read failed
};

ssize_t gz_read(void *cookie, char *buf, size_t size) {
  auto *g = static_cast<GzStream *>(cookie);
  const unsigned want = size > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<unsigned>(size);
  const int n = gzread(g->gz, buf, want);
  int code = Z_OK;
  const char *why = gzerror(g->gz, &code);
  // A truncated stream ends with a read of 0 and the error "unexpected end of file".
  if (n < 0 || (code != Z_OK && code != Z_STREAM_END)) {
    if (n > 0) return n;  // the bytes before the fault first
    std::string reason = why && *why ? why : "damaged compressed data";
    if (reason.compare(0, g->path.size() + 2, g->path + ": ") == 0)
      reason.erase(0, g->path.size() + 2);
    g->error = reason;
    errno = EIO;
    return -1;
  }
  return n;
}

int gz_close(void *cookie) {
  auto *g = static_cast<GzStream *>(cookie);
  const int rc = gzclose(g->gz);
  delete g;
  return rc == Z_OK ? 0 : EOF;
}

FILE *open_gzip(const std::string &path) {
  gzFile gz = gzopen(path.c_str(), "rb");
  if (!gz) return nullptr;
  gzbuffer(gz, 64 * 1024);
  auto *g = new GzStream{gz, path, {}};
  cookie_io_functions_t io{gz_read, nullptr, nullptr, gz_close};
  FILE *f = fopencookie(g, "r", io);
  if (!f) {
    gzclose(gz);
    delete g;
    return nullptr;
  }
  g_open.gz_streams[f] = g;
  return f;
}

bool is_gzip(FILE *f) {
  const int a = std::getc(f);
  const int b = std::getc(f);
  return a == 0x1f && b == 0x8b;
}

}  // namespace

int FILE_signature(const char *name, unsigned char *bytes, int n) {
  if (!name || !bytes || n <= 0 || name[0] == '|' || FILE_is_stdio(name)) return 0;
  const std::string path = expand(name);
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
  FILE *f = std::fopen(path.c_str(), "rb");
  if (!f) return 0;
  const size_t got = std::fread(bytes, 1, static_cast<size_t>(n), f);
  std::fclose(f);
  return static_cast<int>(got);
}

const char *FILE_read_error(FILE *file) {
  auto it = g_open.gz_streams.find(file);
  if (it != g_open.gz_streams.end() && !it->second->error.empty()) return it->second->error.c_str();
  return file && std::ferror(file) ? "read error" : nullptr;
}

FILE *FILE_open(const char *name, const char *access) {
  if (!name || !access) return nullptr;
  if (FILE_is_stdio(name)) return access[0] == 'r' ? stdin : stdout;
  if (name[0] == '|') {
    std::fflush(nullptr);
    // A command is read from or written to; appending to it is writing to it
    // (popen knows only "r" and "w").
    FILE *p = popen(name + 1, access[0] == 'r' ? "r" : "w");
    if (p) g_open.pipes.insert(p);
    return p;
  }
  std::string path = expand(name);
  // A directory opens for reading on some systems, but holds no lines.
  struct stat st;
  const bool known = stat(path.c_str(), &st) == 0;
  if (known && S_ISDIR(st.st_mode)) return nullptr;
  if (access[0] == 'w' || access[0] == 'a') {
    std::string dirs = path;
    FILE_make_dir(dirs.data(), 1);
  }
  FILE *f = std::fopen(path.c_str(), access);
  // A regular file read as text may be gzip-compressed.
  if (f && known && access[0] == 'r' && !std::strchr(access, '+') && S_ISREG(st.st_mode)) {
    const bool gz = is_gzip(f);
    if (gz) {
      std::fclose(f);
      return open_gzip(path);
    }
    std::rewind(f);
  }
  return f;
}

int FILE_close(FILE *file) {
  if (!file) return -1;
  if (file == stdin || file == stdout || file == stderr) {
    std::fflush(file);
    return 0;
  }
  auto it = g_open.pipes.find(file);
  if (it != g_open.pipes.end()) {
    g_open.pipes.erase(it);
    return pclose(file);
  }
  g_open.gz_streams.erase(file);  // the stream's own close frees its state
  return std::fclose(file);
}
