// File paths and access: joining directories and names, "~" expansion, the names
// that stand for the standard streams, file tests, directory creation, and one
// opening call for files, pipes ("|command") and the standard streams.
//
// Paths are at most FILE_PATH_MAX characters.
#pragma once

#include <cstdio>
#include <memory>

constexpr int FILE_PATH_MAX = 159;

/// 1 when the name starts with "/", "." or "~".
int FILE_fullpath(const char *name);
/// 1 for "", "-", "std" or "stdn" (any case).
int FILE_is_stdio(const char *name);
/// Appends "/" to a non-empty directory text that lacks one. `dir` must hold one more char.
void FILE_add_path_delim(char *dir);
/// Joins `dir` and `name` into `out` (FILE_PATH_MAX+1 bytes); standard-stream names and
/// full paths are copied unchanged. Returns `out`.
char *FILE_add_path(const char *dir, const char *name, char *out);
/// Expands a leading "~" or "~user" into `out` (FILE_PATH_MAX+1 bytes). Returns `out`.
char *FILE_add_user_path(const char *name, char *out);
int FILE_exist(const char *name);
int FILE_is_dir(const char *name);
long FILE_size(const char *name);
/// Largest file of settings (resources, naming conventions) that is read.
constexpr long FILE_TEXT_MAX = 16L * 1024 * 1024;
/// Checks a file of settings before it is read: 0 for a regular file of at most
/// FILE_TEXT_MAX bytes or a "|command"; else -1 with `*why` (when not null) saying
/// why ("not a regular file" for a device such as /dev/zero, a directory or a FIFO).
int FILE_check_text(const char *name, const char **why);
/// Creates the missing directories of `path`, leaving out its last `flag` parts.
/// Returns 1 when nothing needed creating, else 0.
int FILE_make_dir(char *path, int flag);
/// Opens a file, a pipe ("|command") or a standard stream; null on failure. Missing
/// parent directories are created for "w" and "a" access. A regular file opened for
/// reading that begins with the gzip signature is read decompressed.
FILE *FILE_open(const char *name, const char *access);
/// Why reading a stream of FILE_open failed (zlib's reason for a damaged or truncated
/// compressed file, else "read error"); null when it did not fail.
const char *FILE_read_error(FILE *file);
/// Reads the first `n` bytes of a regular file (not a pipe or standard stream) into
/// `bytes`, to tell its kind. Returns the count read (0 when none).
int FILE_signature(const char *name, unsigned char *bytes, int n);
/// Closes what FILE_open gave: pclose for a pipe, nothing for a standard stream.
int FILE_close(FILE *file);

/// Owning handle for FILE_open results.
struct FileCloser {
  void operator()(FILE *f) const { FILE_close(f); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;
