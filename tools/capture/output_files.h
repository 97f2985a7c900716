#pragma once
#include <string>
#include <vector>

// Outputs are written under a temporary name in their own directory and renamed only once
// complete, so an interrupted or failed run never leaves a file that looks finished. Every
// temporary belongs to one run alone: a short unique name (".demo-capture-", eight
// random hex digits, ".part": short so that an output name of any legal length works)
// created exclusively, and written through the descriptor opened then; two runs on one
// path each publish a whole file.
//
// What a path may name:
// - nothing yet, or a regular file: the temporary beside it is renamed onto it at the end;
// - a symbolic link to a regular file: the link stays and the file it names is replaced the
//   same way (the link is opened first, so the kernel's rules for following links apply);
// - a FIFO (also /dev/stdout on a pipe): written in place as a stream, never renamed over;
// - anything else (devices, sockets, directories, a link to nothing): refused.

// Where one output goes.
struct OutputTarget {
    std::string finalPath;  // the regular file replaced at the end; empty when in place
    std::string writePath;  // where the writer writes: the temporary, or the FIFO itself
    bool inPlace = false;   // a FIFO: written directly, cannot seek
    int fd = -1;            // the temporary, open for writing once created; -1 otherwise
};

// Decides how `path` is written (see above) and checks that it can be, creating nothing:
// the directory it lies in must exist and be writable. False with a one-line reason.
bool planOutput(const std::string& path, OutputTarget& target, std::string& error);

// Checks, creating nothing, that `dir` can take the frames: an existing writable directory,
// or one that can be created (its parent exists and is writable).
bool checkFrameDirectory(const std::string& dir, std::string& error);

// Refuses outputs that would overwrite each other or what the run reads: two outputs naming
// one file, an output that is one of the files in `inputDir` (the show's data, the
// soundtrack among them), frames written into `inputDir`, and a file that --png's frames
// would replace. Each output is given with its option name; `pngDir` may be empty.
struct NamedOutput {
    const char* option;  // "--video", "--sheet"
    OutputTarget* target;
};
bool checkOutputsApart(const std::vector<NamedOutput>& outputs, const std::string& pngDir,
                       const std::string& inputDir, std::string& error);

// Second step, after every check passed: creates the temporary of a planned file (removed
// if the run fails) or, in place, checks write access to the FIFO.
bool claimOutputFile(OutputTarget& target, std::string& error);

// Opens an output written in place (a FIFO; waits for its reader) as target.fd, for a
// writer that takes a descriptor. Nothing to do for a claimed temporary.
bool openInPlace(OutputTarget& target, std::string& error);

// Creates the frame directory when missing (the last component only; removed again by
// removeTemporaries while it is empty) and proves that files can be created in it.
bool prepareFrameDirectory(const std::string& dir, std::string& error);

// Writes `text` as the whole content of a claimed output (opening it first when in place).
bool writeOutputText(OutputTarget& target, const std::string& text, std::string& error);

// Renames the finished temporary onto its final path, provided the temporary is still the
// file this run created and the final path still names a regular file or nothing; closes
// it. An output written in place is only closed.
bool commitOutputFile(OutputTarget& target, std::string& error);

// A name of this run's own beside `besidePath`, ending in `suffix` (".mkv"), for an
// intermediate result (a part of a split recording): the run's temporary name is claimed
// (an empty file) and the suffix added. Both are removed with the temporaries unless
// removed before with removeScratchFile.
bool createScratchFile(const std::string& besidePath, const char* suffix, std::string& path,
                       std::string& error);
void removeScratchFile(const std::string& path);

// Removes what this run created and has not committed: its temporaries, and a frame
// directory it made that is still empty. Async-signal-safe, so that a signal handler can
// call it before ending the process.
void removeTemporaries();
