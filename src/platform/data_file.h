#pragma once
#include <cstdio>
#include <string>

// Opening the show's data files without ever blocking: a FIFO, a device or a directory in
// place of a data file would make a plain open wait for a writer or read without end, so
// anything that is not a regular file is refused as if it were missing.

// A read-only descriptor of the regular file `path` (close-on-exec), or -1 with errno set
// (ENOENT and the like from the open; EINVAL for a file that is not a regular file).
int openDataFileDescriptor(const char* path);

// The same as a stdio stream in binary mode; null on failure.
std::FILE* openDataFile(const std::string& path);
