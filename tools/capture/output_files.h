#pragma once
#include <string>

// Outputs are written under a temporary name in their own directory and renamed only once
// complete, so an interrupted or failed run never leaves a file that looks finished.

// "dir/.name.part" for "dir/name".
std::string temporaryNameFor(const std::string& path);

// Proves that `path` can be written by creating its temporary file (left empty in place
// for the writer). False with a one-line reason otherwise.
bool claimOutputFile(const std::string& path, std::string& error);

// Creates the frame directory when missing (the last component only) and proves that files
// can be created in it.
bool prepareFrameDirectory(const std::string& dir, std::string& error);

// Renames the finished temporary file onto `path`.
bool commitOutputFile(const std::string& path, std::string& error);

// Temporary files to delete if the run fails or is interrupted.
void rememberTemporary(const std::string& temporaryPath);
void forgetTemporary(const std::string& temporaryPath);
void removeTemporaries();
