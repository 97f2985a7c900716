#pragma once
#include <string>

// A file for one writer alone, to be renamed into place once complete: created exclusively
// in `dir` under a short unique name, "<dir>/.<prefix>-<8 random hex digits>.part"
// (short, so that a final name of any legal length still has room beside it), open for
// writing, with the usual permissions (0666 less the umask). Nothing that existed under
// the name is reused or followed. Returns the descriptor (close-on-exec) and sets `path`; -1 with errno set
// when no such file can be created. Desktop only (the tools).
int createTemporaryFile(const std::string& dir, const char* prefix, std::string& path);

// The directory that holds `path`: "." for a bare name, "/" for a name in the root.
std::string directoryOf(const std::string& path);
