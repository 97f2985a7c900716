#pragma once
// Desktop-only services of the player and its tools: where the data is, and a fresh run
// of the same program. The show never needs them; a platform without processes or files
// (a browser page) need not offer them.
#include <string>
#include <vector>

// Directory of the running executable (from /proc/self/exe), empty if unknown.
std::string executableDirectory();

// Places where the show's data/ may be, in the order they are tried: the working
// directory; the executable's own directory (a build tree); the install's data directory
// reached from the executable's directory by the relative path `fromExecutable` (so an
// installed tree works wherever it was unpacked); the absolute `installDir` the build
// installs to (for a program copied elsewhere). Paths are normalised, repeats dropped, and
// an empty argument adds nothing.
std::vector<std::string> dataRootCandidates(const std::string& executableDir,
                                            const std::string& fromExecutable,
                                            const std::string& installDir);

// True when `root`/data is a directory.
bool hasDataDirectory(const std::string& root);

// The first of `roots` (dataRootCandidates) that holds data/; empty when none does, and
// then `searched` lists the places looked in ("./data, /opt/bin/data, ...").
std::string findDataRoot(const std::vector<std::string>& roots, std::string& searched);

// Makes `root` the working directory; false on failure.
bool enterDirectory(const std::string& root);

// Replaces the process with a fresh run of the same executable and arguments. Returns
// only on failure.
void restartProcess(char** argv);
