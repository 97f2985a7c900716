#pragma once
#include <string>

// Outputs are written under a temporary name in their own directory and renamed only once
// complete, so an interrupted or failed run never leaves a file that looks finished.
//
// What a path may name:
// - nothing yet, or a regular file: the temporary beside it is renamed onto it at the end;
// - a symbolic link to a regular file: the link stays and the file it names is replaced the
//   same way (the link is opened first, so the kernel's rules for following links apply);
// - a FIFO (also /dev/stdout on a pipe): written in place as a stream, never renamed over;
// - anything else (devices, sockets, directories, a link to nothing): refused.

// "dir/.name.part" for "dir/name".
std::string temporaryNameFor(const std::string& path);

// Where one output goes.
struct OutputTarget {
    std::string finalPath;  // the regular file replaced at the end; empty when in place
    std::string writePath;  // where the writer writes: the temporary, or the FIFO itself
    bool inPlace = false;   // a FIFO: written directly, cannot seek
};

// Decides how `path` is written (see above). False with a one-line reason.
bool planOutput(const std::string& path, OutputTarget& target, std::string& error);

// Plans `path` and proves that it can be written: creates the temporary file (left empty
// for the writer and removed if the run fails), or checks write access to a FIFO.
bool claimOutputFile(const std::string& path, OutputTarget& target, std::string& error);

// Creates the frame directory when missing (the last component only) and proves that files
// can be created in it.
bool prepareFrameDirectory(const std::string& dir, std::string& error);

// Renames the finished temporary onto its final path, provided that path still names a
// regular file or nothing. Nothing to do for an output written in place.
bool commitOutputFile(const OutputTarget& target, std::string& error);

// Temporary files to delete if the run fails or is interrupted.
void rememberTemporary(const std::string& temporaryPath);
void forgetTemporary(const std::string& temporaryPath);
void removeTemporaries();
