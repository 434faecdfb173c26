// Opening files: one call for files, pipes ("|command") and the standard streams,
// gzip-compressed files read through zlib, the reasons of failed reads, file tests,
// "~" expansion and the creation of missing directories.
//
// The ground layer of file access: it uses nothing of the system but util, so every
// module may open its files through it.
#pragma once

#include <cstdio>
#include <memory>

/// Longest path handled (the path buffers hold FILE_PATH_MAX + 1 characters).
constexpr int FILE_PATH_MAX = 159;

/// 1 for "", "-", "std" or "stdn" (any case): the names of the standard streams.
int FILE_is_stdio(const char *name);
/// Expands a leading "~" or "~user" into `out` (FILE_PATH_MAX+1 bytes); a name
/// without one, or of an unknown user, is copied. Returns `out`.
char *FILE_add_user_path(const char *name, char *out);
/// 1 when the file or directory exists (the standard streams always do), else 0.
int FILE_exist(const char *name);
/// 1 when `name` is a directory, else 0.
int FILE_is_dir(const char *name);
/// The size of the file in bytes, -1 when it cannot be told.
long FILE_size(const char *name);
/// Largest file of settings (resources, naming conventions) that is read.
constexpr long FILE_TEXT_MAX = 16L * 1024 * 1024;
/// Checks a file of settings before it is read: 0 for a regular file of at most
/// FILE_TEXT_MAX bytes or a "|command"; else -1 with `*why` (when not null) saying
/// why ("not a regular file" for a device such as /dev/zero, a directory or a FIFO).
int FILE_check_text(const char *name, const char **why);
/// Creates the missing directories of `path`, leaving out its last `flag` parts (a
/// part ends at a "/"; "\\" is turned into "/" in `path` first; a negative `flag`
/// counts as 0). Returns 1 when nothing needed creating (no directory part, or the
/// directory of the last part exists), else 0. Failures are silent.
int FILE_make_dir(char *path, int flag);
/// Opens a file, a pipe ("|command", read with "r" access, written with "w" or "a")
/// or a standard stream; null on failure. Missing parent directories are created for
/// "w" and "a" access. A regular file opened for reading that begins with the gzip
/// signature is read decompressed.
FILE *FILE_open(const char *name, const char *access);
/// Why reading a stream of FILE_open failed (zlib's reason for a damaged or truncated
/// compressed file, else "read error"); null when it did not fail.
const char *FILE_read_error(FILE *file);
/// Reads the first `n` bytes of a regular file (not a pipe or standard stream) into
/// `bytes`, to tell its kind. Returns the count read (0 when none).
int FILE_signature(const char *name, unsigned char *bytes, int n);
/// Closes what FILE_open gave: pclose for a pipe, nothing for a standard stream
/// (only flushed). Returns the status of the close, -1 for a null stream.
int FILE_close(FILE *file);

/// Deleter of FilePtr: FILE_close.
struct FileCloser {
  /// Closes `f` with FILE_close.
  void operator()(FILE *f) const { FILE_close(f); }
};
/// Owning handle for FILE_open results.
using FilePtr = std::unique_ptr<FILE, FileCloser>;
