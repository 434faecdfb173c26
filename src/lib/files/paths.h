// Paths as texts: full paths, the "/" that ends a directory, a directory joined with a
// name. Opening files, file tests and "~" expansion are in files/open.h, included
// here for the callers of both.
//
// Paths are at most FILE_PATH_MAX characters.
#pragma once

#include "files/open.h"

/// 1 when the name starts with "/", "." or "~".
int FILE_fullpath(const char *name);
/// Appends "/" to a non-empty directory text that lacks one. `dir` must hold one more char.
void FILE_add_path_delim(char *dir);
/// Joins `dir` and `name` into `out` (FILE_PATH_MAX+1 bytes); standard-stream names and
/// full paths are copied unchanged. Returns `out`.
char *FILE_add_path(const char *dir, const char *name, char *out);
